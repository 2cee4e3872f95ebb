#include "UI_SetNetSub.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSet_netsub::TSet_netsub(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TSet_netsub"), GetLanguageString(3155),
                   QStringLiteral("The saved connection profiles and the default one used to "
                                  "connect."),
                   FeatureWindowKind::Page)
{
}
