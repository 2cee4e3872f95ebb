#include "UI_SetNetPopEditForm.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSet_netpopeditform::TSet_netpopeditform(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TSet_netpopeditform"), GetLanguageString(3054),
                   QStringLiteral("Changes a connection profile."), FeatureWindowKind::Dialog)
{
}
