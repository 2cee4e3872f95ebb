#include "UI_Affixation.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TAffixationfrm::TAffixationfrm(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TAffixationfrm"), GetLanguageString(1099),
                   QStringLiteral("The SIM card's own services and USSD requests."),
                   FeatureWindowKind::Page)
{
}
