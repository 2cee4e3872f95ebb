#include "UI_SetSecurityFrm.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSet_securityform::TSet_securityform(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TSet_securityform"), GetLanguageString(3019),
                   QStringLiteral("PIN protection, changing the PIN, standby, and backup and "
                                  "restore of contacts, messages and call records."),
                   FeatureWindowKind::Page)
{
    wearSkin({"SETSECURITY.BKIMAGE", "SETSECURITY.TITLEIMAGE", {}});
}
