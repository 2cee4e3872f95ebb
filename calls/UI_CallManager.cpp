#include "UI_CallManager.h"

#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

using platform::GetLanguageString;

TCall_managerform::TCall_managerform(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TCall_managerform"), GetLanguageString(5016),
                   QStringLiteral("Makes and answers voice calls."), FeatureWindowKind::Page)
{
    wearSkin({"CALLMANAGER.CALLINTERFACEBKIMAGE", "CALLMANAGER.TITLEIMAGE", {}});
}

void TCall_managerform::setCallState(int state)
{
    if (state == m_callState)
        return;
    m_callState = state;
    platform::PostMessage(host().messageTarget(), platform::WM_CALL_STATE,
                          static_cast<uint32_t>(state), 0);
}
