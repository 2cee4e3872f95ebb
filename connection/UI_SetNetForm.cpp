#include "UI_SetNetForm.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSet_netform::TSet_netform(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TSet_netform"), GetLanguageString(3020),
                   QStringLiteral("Network mode and operator selection, automatic or manual."),
                   FeatureWindowKind::Page)
{
    wearSkin({"SETNET.BKIMAGE", "SETNET.TITLEIMAGE", {}});
}
