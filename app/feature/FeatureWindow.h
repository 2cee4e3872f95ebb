// The contract between the main window and the feature windows.
//
// Every feature window (SMS, contacts, calls, the data connection, the settings pages, ...) is a
// QWidget that also implements FeatureWindow. The main window never names a window to tell it
// something: the card monitor tells every window through this interface, and the routing table
// (WindowTable) sends each engine message to the one window registered for its number. A window
// asks the main window for what it needs through FeatureHost.
//
// Every call comes on the window thread.
#pragma once

#include <QPoint>
#include <QString>

#include <cstdint>
#include <vector>

class QObject;
class QTimer;
class QWidget;

namespace platform {
class WindowMessageEvent;
}

namespace feature {

// The notices the windows raise on the main window: its indicators, tray icon, pop-ups and
// sounds. Each does nothing in a card state where it does not apply.
class Notices {
public:
    virtual ~Notices() = default;
    // A new message from `text` (the sender), and the user having seen it.
    virtual void newSmsArrived(const QString &text) = 0;
    virtual void clearNewSms() = 0;
    // The phone rings; updateOnly: only the text of a call pop-up already shown changes.
    virtual void incomingCall(const QString &number, bool updateOnly) = 0;
    virtual void callAccepted() = 0;
    virtual void callStopped() = 0;
    virtual void missedCall() = 0;
    virtual void clearMissedCall() = 0;
    // The data connection is up (state 3) or down (state 0).
    virtual void connectionUp() = 0;
    virtual void connectionDown() = 0;
    // The navigation row, the toolkit button and the tray's card commands, off and on again.
    virtual void disableNavigation() = 0;
    virtual void enableNavigation() = 0;
};

// What a feature window may ask of the main window.
class FeatureHost {
public:
    virtual ~FeatureHost() = default;
    // Shows the window inside the main window's content panel (Mainpanel) at `position`, in
    // front, with its caption as the page title; the other pages are hidden.
    virtual void showInPanel(QWidget &window, QPoint position = {}) = 0;
    // Where the windows post what the main window follows: the call state (WM_CALL_STATE) and
    // the connection state (WM_CONNECTION_STATE).
    virtual QObject *messageTarget() = 0;
    // The owner of the boxes and dialogs a window opens.
    virtual QWidget *dialogOwner() = 0;
    // The notices of the status strip, the tray and the sounds.
    virtual Notices &notices() = 0;
    // The card state (1 card absent ... 12 SIM ready).
    virtual uint8_t cardState() const = 0;
    // The busy flag: set while a long SMS or phonebook operation runs (close, off line, power
    // off and suspend are refused meanwhile).
    virtual void setBusy(bool busy) = 0;
    // The card is registered on a network (the main window's in-service flag).
    virtual bool inService() const { return true; }
};

class FeatureWindow {
public:
    virtual ~FeatureWindow() = default;

    // The card state (1 card absent ... 12 SIM ready) at every change, in the fixed order of
    // the windows that take it; each window decides for itself what to enable.
    virtual void cardStateChanged(uint8_t state) { (void)state; }
    // The call window's state (0 idle ... 16) and the data connection's state (0 idle,
    // 1 dialling, 2 cancelling, 3 connected, 4 disconnecting), as they change.
    virtual void callStateChanged(int callState) { (void)callState; }
    virtual void connectionStateChanged(int connectionState) { (void)connectionState; }
    // A message the routing table sends to this window (the numbers it was registered for).
    // A block or text it carries belongs to the event; the window copies what it keeps.
    virtual void messageArrived(platform::WindowMessageEvent &message) { (void)message; }
    // The window was just shown inside Mainpanel.
    virtual void shownInPanel() {}
    // Timers of the window that stand still during a voice call: stopped when the call begins
    // and set back as they were when it ends.
    virtual std::vector<QTimer *> timersStoppedDuringCall() { return {}; }
};

}  // namespace feature
