#include "UI_DataConnectForm.h"

#include "FeatureMessages.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

using platform::GetLanguageString;

TData_connectform::TData_connectform(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TData_connectform"), GetLanguageString(1003),
                   QStringLiteral("Connects this computer to the Internet through the data card "
                                  "and shows the traffic while connected."),
                   FeatureWindowKind::Page)
{
}

void TData_connectform::setConnectionState(int state)
{
    if (state == m_connectionState)
        return;
    m_connectionState = state;
    platform::PostMessage(host().messageTarget(), platform::WM_CONNECTION_STATE,
                          static_cast<uint32_t>(state), 0);
}
