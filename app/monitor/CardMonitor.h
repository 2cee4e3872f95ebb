// The card monitor: follows the data card through its states, shows what it learns on the main
// window (through CardView), and hands every message of the program to the window that owns it
// (through the routing table of the feature windows).
//
// Card states (wParam of WM_CARD_STATE):
//   1 card absent   2 card inserted   3 reading the mode   4 no SIM   6 on line, reading the PIN
//   state   7 off line   8 PIN wanted   9 PUK wanted   10 SIM blocked   11 registered
//   12 SIM ready
// A state is applied when it differs from the current one (1 always is): its entry actions run,
// the status strip is repainted, every feature window is told, and it becomes current. The
// state's own work (echo, mode, PIN state, SIM store) posts the next state, so each step is one
// message on the window's queue.
//
// The monitor is the card states and their retries; its other concerns are parts of their own:
// NetworkStatus (network, operator, signal), TrayNotices (tray, indicators, notices), the
// SoundPlayer (sounds) and PowerWatch (power events). handleMessage() (MessageRouting.cpp) is
// the one dispatch of the program's messages.
//
// It is a plain QObject: no widget of its own. Messages reach it through handleMessage(), which
// the main window's event() calls; messages posted to the monitor itself are handled too. Its
// timers carry the program's names and each tick handler can be called directly.
#pragma once

#include "CardFacts.h"
#include "CardView.h"
#include "FeatureWindow.h"
#include "NetworkStatus.h"
#include "PowerWatch.h"
#include "Sound.h"
#include "TrayNotices.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct SmsItem;

namespace platform {
class WindowMessageEvent;
}
namespace pin {
class PinEntry;
}
namespace feature {
class WindowTable;
}

class CardMonitor : public QObject, public feature::Notices {
    Q_OBJECT
public:
    // Plays sounds through makeSoundOutput(). The windows are told through `windows`.
    CardMonitor(CardView &view, feature::WindowTable &windows, QObject *parent = nullptr);
    // Plays sounds through the given output (tests).
    CardMonitor(CardView &view, feature::WindowTable &windows,
                std::unique_ptr<SoundOutput> soundOutput, QObject *parent = nullptr);
    ~CardMonitor() override;
    CardMonitor(const CardMonitor &) = delete;
    CardMonitor &operator=(const CardMonitor &) = delete;

    // Where the monitor posts card states and where the PIN dialogs post theirs: the main
    // window, whose event() hands them back to handleMessage(). Without one, the monitor itself.
    void setMessageTarget(QObject *target);
    QObject *messageTarget() const;

    // Handles one of the program's messages; false for a message it does not know (default
    // handling). Sent messages get their answer in the event's result.
    bool handleMessage(platform::WindowMessageEvent &message);

    // Applies a card state now (as the card-state message does).
    void applyCardState(uint8_t state);
    // Queues a card state for the window.
    void postCardState(uint8_t state);
    // The user's Online: the card's mode is read again, with fresh tries to bring it up.
    void goOnline();
    uint8_t cardState() const { return m_facts.cardState; }
    // The call window's state (0 idle ... 16) and the data connection's (0 idle, 1 dialling,
    // 2 cancelling, 3 connected, 4 disconnecting), as their last notices said.
    int callState() const { return m_facts.callState; }
    int connectionState() const { return m_facts.connectionState; }

    // ---- the parts ------------------------------------------------------------------------------
    NetworkStatus &network() { return m_network; }
    TrayNotices &tray() { return m_tray; }
    SoundPlayer &sound() { return *m_sound; }
    PowerWatch &power() { return m_power; }
    // Starts following the system's sleep and wake-up (nothing happens without a system bus).
    void watchPowerEvents() { m_power.watch(); }

    // ---- notices offered to the other windows -------------------------------------------------
    void newSmsArrived(const QString &text) override { m_tray.newSmsArrived(text); }
    void clearNewSms() override { m_tray.clearNewSms(); }
    void incomingCall(const QString &number, bool updateOnly = false) override
    {
        m_tray.incomingCall(number, updateOnly);
    }
    void callAccepted() override { m_tray.callAccepted(); }
    void callStopped() override { m_tray.callStopped(); }
    void missedCall() override { m_tray.missedCall(); }
    void clearMissedCall() override { m_tray.clearMissedCall(); }
    void connectionUp() override { m_tray.connectionUp(); }
    void connectionDown() override { m_tray.connectionDown(); }
    void budgetNotice(const QString &text) override { m_tray.budgetNotice(text); }
    void previewSound(const QString &file) override { m_sound->preview(file); }
    void disableNavigation() override;
    void enableNavigation() override;
    // The user clicked ImImage_NewSms: the kept message's folder opens, then the notice clears.
    void newSmsIndicatorClicked() { m_tray.clearNewSms(true); }
    // The user clicked ImImage_IncomingCall: the call records open, then the notice clears.
    void missedCallIndicatorClicked() { m_tray.clearMissedCall(true); }

    // The kept copy of the newest unread message, or null.
    const SmsItem *newSmsEntry() const { return m_tray.newSmsEntry(); }
    void freeNewSmsEntry() { m_tray.freeNewSmsEntry(); }

    // The PIN dialogs (made on first use, owned by the monitor; the main window drops their
    // stay-on-top style on close and frees them on power off and destruction).
    pin::PinEntry &pinEntry();

    // ---- the card states' timers and their ticks ----------------------------------------------
    QTimer Timer_StateRetry;
    QTimer Timer_CPMS;
    QTimer SimBusyTimer;
    QTimer GetCardSettingsTimer;
    // Tries again, after a pause, what brings the card up: going on line when it was found off
    // line while starting, reading its mode (state 3), starting it (state 6).
    QTimer Timer_StartRetry;

    void Timer_StartRetryTimer();
    void Timer_StateRetryTimer();
    void Timer_CPMSTimer();
    void SimBusyTimerTimer();
    void GetCardSettingsTimerTimer();

    int simBusyRetries() const { return m_simBusyRetries; }
    // Failed tries to bring the card up since the last step forward.
    int startTries() const { return m_startTries; }
    bool timersSuspended() const { return m_suspended.has_value(); }

protected:
    bool event(QEvent *event) override;

private:
    void enterState(uint8_t state);
    void enterCardAbsent();
    void enterCardInserted();
    void enterQueryMode();
    void enterNoSim();
    void enterCardOnline();
    void enterCardOffline();
    void enterPinRequired();
    void enterPukRequired();
    void enterSimBlocked();
    void enterRegistered();
    void enterSimReady();

    // State 7's look: off line, with Online offered.
    void showOffline();
    // Asks the card to go on line; a refusal is tried again.
    void bringOnline();
    // Tries the step of `state` again after a pause, or, past the limit, leaves the card off
    // line.
    void retryStart(uint8_t state);

    void resetDisplay(bool touchConnectionIcon);
    void stopCardTimers();
    void showMenus(std::initializer_list<TrayMenuItem> shown,
                   std::initializer_list<TrayMenuItem> hidden);
    void chooseProfileAndModemParams();
    void simStoreReady(uint32_t wParam);

    void callStateChanged(int callState);
    void connectionStateChanged(int connectionState);
    void suspendTimers();
    void resumeTimers();
    void runRssiTimerIfRegistered();
    void showWarning(const QString &text);

    CardView &m_view;
    feature::WindowTable &m_windows;
    QPointer<QObject> m_messageTarget;
    CardFacts m_facts;
    std::unique_ptr<SoundPlayer> m_sound;
    TrayNotices m_tray;
    NetworkStatus m_network;
    PowerWatch m_power;
    std::unique_ptr<pin::PinEntry> m_pinEntry;

    std::shared_ptr<std::atomic<bool>> m_stateRetryStopRequested =
        std::make_shared<std::atomic<bool>>(false);
    uint64_t m_applyGeneration = 0;
    // The state whose entry actions are running (0 when none).
    uint8_t m_enteringState = 0;
    int m_simBusyRetries = 0;
    // Failed tries to bring the card up, and whether it was asked to go on line.
    int m_startTries = 0;
    bool m_triedOnline = false;
    uint8_t m_startRetryState = 0;
    bool m_startGivenUp = false;

    // Which of the suspendable timers ran when a voice call began.
    struct SuspendedTimers {
        bool cpms = false;
        bool stateRetry = false;
        bool cardSettings = false;
        std::vector<std::pair<QPointer<QTimer>, bool>> windowTimers;
    };
    std::optional<SuspendedTimers> m_suspended;
};
