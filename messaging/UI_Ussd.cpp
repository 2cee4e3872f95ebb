#include "UI_Ussd.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

Tussdfrm::Tussdfrm(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("Tussdfrm"), QStringLiteral("USSD"),
                   QStringLiteral("Sends a service code to the network and shows its reply."),
                   FeatureWindowKind::Page)
{
    wearSkin({"USSD.BKIMAGE", "USSD.TITLEIMAGE", {}});
}
