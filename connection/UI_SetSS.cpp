#include "UI_SetSS.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSet_SS::TSet_SS(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TSet_SS"), GetLanguageString(3128),
                   QStringLiteral("Call forwarding, call barring, caller ID and call waiting."),
                   FeatureWindowKind::Page)
{
    wearSkin({"SETSUPPLY.IMAGEFORM", "SETSUPPLY.TITLEIMAGE", {}});
}
