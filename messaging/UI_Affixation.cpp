#include "UI_Affixation.h"

#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

using platform::GetLanguageString;

TAffixationfrm::TAffixationfrm(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TAffixationfrm"), GetLanguageString(text::kSimToolkit),
                   QStringLiteral("The SIM card's own services and USSD requests."),
                   FeatureWindowKind::Page)
{
    wearSkin({"SETMENUDISPLAY.BKIMAGE", "USSD.TITLEIMAGE", {}});
}
