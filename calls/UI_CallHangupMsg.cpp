#include "UI_CallHangupMsg.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TCallHangupMsgDfm::TCallHangupMsgDfm(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TCallHangupMsgDfm"), GetLanguageString(5016),
                   QStringLiteral("Offers the choices when a call ends."),
                   FeatureWindowKind::Dialog)
{
    wearSkin({"CALLHANGUP.BKIMAGE", "CALLHANGUP.TITLEIMAGE", {}});
}
