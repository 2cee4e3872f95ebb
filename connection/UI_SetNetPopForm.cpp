#include "UI_SetNetPopForm.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSet_netpopform::TSet_netpopform(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TSet_netpopform"), GetLanguageString(3054),
                   QStringLiteral("Adds a connection profile."), FeatureWindowKind::Dialog)
{
}
