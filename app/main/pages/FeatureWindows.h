// The feature windows of the program that are not built yet, each under its own class name.
// They are created once at start-up like every window and shown where the finished windows will
// be shown; none of them does its feature's work.
#pragma once

#include "UI_FeaturePage.h"

#include <QTimer>

// Settings menu: the left-hand column of the settings area.
class TSetMenuForm final : public TFeaturePage {
    Q_OBJECT
public:
    TSetMenuForm();
};

// SMS settings.
class TSet_msgform final : public TFeaturePage {
    Q_OBJECT
public:
    TSet_msgform();
};

// Add a connection profile.
class TSet_netpopform final : public TFeaturePage {
    Q_OBJECT
public:
    TSet_netpopform();
};

// Edit a connection profile.
class TSet_netpopeditform final : public TFeaturePage {
    Q_OBJECT
public:
    TSet_netpopeditform();
};

// Network settings.
class TSet_netform final : public TFeaturePage {
    Q_OBJECT
public:
    TSet_netform();
};

// Manual operator selection.
class TManual_Set final : public TFeaturePage {
    Q_OBJECT
public:
    TManual_Set();
};

// Security settings.
class TSet_securityform final : public TFeaturePage {
    Q_OBJECT
public:
    TSet_securityform();
};

// Sound settings.
class TSet_soundform final : public TFeaturePage {
    Q_OBJECT
public:
    TSet_soundform();
};

// Contact copy notice.
class TFrmCopyTips final : public TFeaturePage {
    Q_OBJECT
public:
    TFrmCopyTips();
};

// Contact editor.
class TFmEditPB final : public TFeaturePage {
    Q_OBJECT
public:
    TFmEditPB();
};

// Contacts.
class TFrmContacts final : public TFeaturePage {
    Q_OBJECT
public:
    TFrmContacts();
    // Loads the SIM's contacts once the SIM is ready; stands still during a voice call.
    QTimer TimerLoadSIMData;
};

// Contact selection.
class TFrmSel final : public TFeaturePage {
    Q_OBJECT
public:
    TFrmSel();
};

// SMS main window.
class TFrmSmsMain final : public TFeaturePage {
    Q_OBJECT
public:
    TFrmSmsMain();
    // The store-loading timers; they stand still during a voice call.
    QTimer tmrSmsInitSet;
    QTimer tmrLoadMeMsg;
    QTimer tmrLoadSimMsg;
};

// SMS list.
class TFrmSmsList final : public TFeaturePage {
    Q_OBJECT
public:
    TFrmSmsList();
};

// SMS editor.
class TFrmSmsEdit final : public TFeaturePage {
    Q_OBJECT
public:
    TFrmSmsEdit();
};

// SMS reader.
class TFrmSmsRead final : public TFeaturePage {
    Q_OBJECT
public:
    TFrmSmsRead();
};

// SIM toolkit input.
class TgetInput final : public TFeaturePage {
    Q_OBJECT
public:
    TgetInput();
};

// SIM toolkit menu.
class TSatMenuDisplayForm final : public TFeaturePage {
    Q_OBJECT
public:
    TSatMenuDisplayForm();
};

// Data connection: the Internet page.
class TData_connectform final : public TFeaturePage {
    Q_OBJECT
public:
    TData_connectform();

    // 0 idle, 1 dialling, 2 cancelling, 3 connected, 4 disconnecting. Nothing dials yet, so it
    // stays idle unless set.
    int ConnectionState() const { return m_connectionState; }
    void setConnectionState(int state) { m_connectionState = state; }
    // The status text shown as the tray hint while connected; empty while not connected.
    QString StatusText() const { return {}; }
    // The user asked to take the card off line (or power it off): no automatic reconnection.
    void UserAskedOffline() { m_userAskedOffline = true; }
    bool userAskedOffline() const { return m_userAskedOffline; }

private:
    int m_connectionState = 0;
    bool m_userAskedOffline = false;
};

// Call records.
class TCrForm final : public TFeaturePage {
    Q_OBJECT
public:
    TCrForm();
};

// Connection profile page.
class TSet_netsub final : public TFeaturePage {
    Q_OBJECT
public:
    TSet_netsub();
};

// Supplementary services.
class TSet_SS final : public TFeaturePage {
    Q_OBJECT
public:
    TSet_SS();
};

// Call-ended notice.
class TCallHangupMsgDfm final : public TFeaturePage {
    Q_OBJECT
public:
    TCallHangupMsgDfm();
};

// Call window.
class TCall_managerform final : public TFeaturePage {
    Q_OBJECT
public:
    TCall_managerform();

    // The call state, 0 idle ... 16. Nothing dials yet, so it stays idle unless set.
    int CallState() const { return m_callState; }
    void setCallState(int state) { m_callState = state; }

private:
    int m_callState = 0;
};

// SIM toolkit entry window.
class TAffixationfrm final : public TFeaturePage {
    Q_OBJECT
public:
    TAffixationfrm();
};

// USSD.
class Tussdfrm final : public TFeaturePage {
    Q_OBJECT
public:
    Tussdfrm();
};

// Connection log.
class TDataLogForm final : public TFeaturePage {
    Q_OBJECT
public:
    TDataLogForm();
};

// Contact viewer.
class TFrmViewPB final : public TFeaturePage {
    Q_OBJECT
public:
    TFrmViewPB();
};
