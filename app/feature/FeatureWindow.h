// The contract between the main window and the feature windows.
//
// Every feature window (SMS, contacts, calls, the data connection, the settings pages, ...) is a
// QWidget that also implements FeatureWindow. The main window never names a window to tell it
// something: the card monitor tells every window the states through this interface, and the
// routing table (WindowTable) sends each message to the one window registered for its number. A
// window asks the main window for what it needs through FeatureHost, its peers included: a
// window of its own folder by class, a window of another folder by the role it plays (an
// interface of FeatureRoles.h), so no feature folder knows another's classes.
//
// Every call comes on the window thread.
#pragma once

#include "logic/EngineValues.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <typeindex>
#include <typeinfo>
#include <vector>

class QObject;
class QTimer;

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
    // Plays a sound file once, as the user chose it (path as the sound settings keep it).
    virtual void previewSound(const QString &file) { (void)file; }
    // The navigation row, the toolkit button and the tray's card commands, off and on again.
    virtual void disableNavigation() = 0;
    virtual void enableNavigation() = 0;
    // A notice of the data budget in the tray (the warning share or the limit reached).
    virtual void budgetNotice(const QString &text) { (void)text; }
};

// The main window's navigation buttons; a registration names the one that shows its window.
enum class NavigationButton {
    None,
    Internet,
    Calls,
    Messages,
    Contacts,
    Settings,
    CallRecords,
    Toolkit,
};

// The settings menu's entries; the window an entry shows stands beside the settings column.
enum class SettingsEntry {
    None,
    Profiles,
    Sms,
    // Pages that stand beside the settings column before the column has their buttons.
    Security,
    Network,
    Sound,
    CallServices,
    Budget,
};

// What a feature window may ask of the main window.
class FeatureHost {
public:
    virtual ~FeatureHost() = default;

    // The program's one window of that class, or null (a window made alone in a test finds
    // only what its test registered).
    template <typename Window>
    Window *window() const
    {
        for (QWidget *widget : registeredWindows())
            if (auto *found = dynamic_cast<Window *>(widget))
                return found;
        return nullptr;
    }
    // The one window registered to play the role (an interface of FeatureRoles.h), or null.
    template <typename Role>
    Role *role() const
    {
        return dynamic_cast<Role *>(windowPlaying(typeid(Role)));
    }
    // The registered windows, in the order they were made.
    virtual std::vector<QWidget *> registeredWindows() const = 0;
    virtual QWidget *windowPlaying(std::type_index role) const = 0;

    // Shows the window registered for the navigation button or the settings entry, as the
    // button or the entry does.
    virtual void show(NavigationButton button) = 0;
    virtual void show(SettingsEntry entry) = 0;
    // Shows again the page that was on show before the current one (a window opened from
    // another goes back to it); nothing when there was none.
    virtual void showPreviousPage() = 0;

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
    // The card state last told.
    virtual uint8_t cardState() const = 0;
    // The busy flag: set while a long SMS or phonebook operation runs (close, off line, power
    // off and suspend are refused meanwhile).
    virtual void setBusy(bool busy) = 0;
    // The card is registered on a network (the main window's in-service flag).
    virtual bool inService() const { return true; }
    // The card is registered on a network other than its home network.
    virtual bool roaming() const { return false; }
};

class FeatureWindow {
public:
    virtual ~FeatureWindow() = default;

    // Every registered window is told each state as it changes, and decides for itself what it
    // means for it; no window passes a state on to another. The card state comes first to the
    // windows with a place in the card-state order, in that order, then to the others.
    virtual void cardStateChanged(CardState state) { (void)state; }
    virtual void callStateChanged(CallState state) { (void)state; }
    virtual void connectionStateChanged(ConnectionState state) { (void)state; }
    virtual void ussdSessionChanged(UssdSession session) { (void)session; }
    // A message the routing table sends to this window (the numbers it was registered for).
    // A block or text it carries belongs to the event; the window copies what it keeps.
    virtual void messageArrived(platform::WindowMessageEvent &message) { (void)message; }
    // The window was just shown inside Mainpanel.
    virtual void shownInPanel() {}
    // The window was shown by its navigation button (after shownInPanel).
    virtual void shownByNavigation() {}
    // Timers of the window that stand still during a voice call: stopped when the call begins
    // and set back as they were when it ends.
    virtual std::vector<QTimer *> timersStoppedDuringCall() { return {}; }
};

}  // namespace feature
