// Data connection: the Internet page.
#pragma once

#include "UI_FeaturePage.h"

class TData_connectform final : public TFeaturePage {
    Q_OBJECT
public:
    explicit TData_connectform(feature::FeatureHost &host);

    // 0 idle, 1 dialling, 2 cancelling, 3 connected, 4 disconnecting. Nothing dials yet, so it
    // stays idle unless set; each change is posted to the main window (WM_CONNECTION_STATE).
    int ConnectionState() const { return m_connectionState; }
    void setConnectionState(int state);
    // The status text shown as the tray hint while connected; empty while not connected.
    QString StatusText() const { return {}; }
    // The user asked to take the card off line (or power it off): no automatic reconnection.
    void UserAskedOffline() { m_userAskedOffline = true; }
    bool userAskedOffline() const { return m_userAskedOffline; }

private:
    int m_connectionState = 0;
    bool m_userAskedOffline = false;
};
