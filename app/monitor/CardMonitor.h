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
// It is a plain QObject: no widget of its own. Messages reach it through handleMessage(), which
// the main window's event() calls; messages posted to the monitor itself are handled too. Its
// timers carry the program's names and each tick handler can be called directly.
#pragma once

#include "CardView.h"
#include "Sound.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <utility>
#include <vector>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

struct SmsItem;
class PowerEvents;

namespace platform {
class WindowMessageEvent;
}
namespace feature {
class WindowTable;
}
namespace pin {
class TPinEntry;
}

// Card state codes.
enum CardState : uint8_t {
    kCardAbsent = 1,
    kCardInserted = 2,
    kCardQueryMode = 3,
    kNoSim = 4,
    kCardOnline = 6,
    kCardOffline = 7,
    kPinRequired = 8,
    kPukRequired = 9,
    kSimBlocked = 10,
    kCardRegistered = 11,
    kSimReady = 12,
};

class CardMonitor : public QObject {
    Q_OBJECT
public:
    // Plays sounds through Qt Multimedia. The windows are told through `windows`.
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
    uint8_t cardState() const { return m_cardState; }
    // The call window's state (0 idle ... 16) and the data connection's (0 idle, 1 dialling,
    // 2 cancelling, 3 connected, 4 disconnecting), as their last notices said.
    int callState() const { return m_callState; }
    int connectionState() const { return m_connectionState; }

    // Power events (wParam of the power broadcast). Returns the answer to a suspend query:
    // 1 allow, kPowerDeny refuse.
    static constexpr intptr_t kPowerDeny = 0x424D5144;
    intptr_t powerEvent(uint32_t event);
    // Starts following the system's sleep and wake-up (nothing happens without a system bus).
    void watchPowerEvents();
    // Whether a suspend would be refused now.
    bool wouldDenySuspend() const;

    // ---- notices offered to the other windows -------------------------------------------------
    void newSmsArrived(const QString &text);
    // fromIndicator: the user clicked ImImage_NewSms, which first opens the kept message's folder.
    void clearNewSms(bool fromIndicator = false);
    void incomingCall(const QString &number, bool updateOnly = false);
    void callAccepted();
    void callStopped();
    void missedCall();
    // fromIndicator: the user clicked ImImage_IncomingCall, which first opens the call records.
    void clearMissedCall(bool fromIndicator = false);
    void connectionUp();
    void connectionDown();
    void disableNavigation();
    void enableNavigation();

    // The kept copy of the newest unread message, or null.
    const SmsItem *newSmsEntry() const { return m_newSmsEntry.get(); }
    void freeNewSmsEntry();

    // The PIN dialogs (made on first use, owned by the monitor; the main window drops their
    // stay-on-top style on close and frees them on power off and destruction).
    pin::TPinEntry &pinEntry();

    TSoundPlayer &sound() { return *m_sound; }

    // ---- timers and their ticks ---------------------------------------------------------------
    QTimer Timer_RSSI;
    QTimer Timer_StateRetry;
    QTimer Timer_CPMS;
    QTimer SimBusyTimer;
    QTimer GetCardSettingsTimer;
    QTimer Timer_NoService;
    QTimer TimerSpn;
    QTimer Timer_UpdateTrayHint;

    void Timer_RSSITimer();
    void Timer_StateRetryTimer();
    void Timer_CPMSTimer();
    void SimBusyTimerTimer();
    void GetCardSettingsTimerTimer();
    void Timer_NoServiceTimer();
    void TimerSpnTimer();
    void Timer_UpdateTrayHintTimer();

    // ---- what the status shows (for the main window and tests) --------------------------------
    bool inService() const { return m_inService; }
    bool signalPresent() const { return m_signalPresent; }
    int signalLevel() const { return m_signalLevel; }
    int noServiceTicks() const { return m_noServiceTicks; }
    int simBusyRetries() const { return m_simBusyRetries; }
    bool callBeingAnswered() const { return m_callBeingAnswered; }
    TrayAnimation trayAnimation() const { return m_trayAnimation; }
    int trayImage() const { return m_trayImage; }
    const QString &operatorText() const { return m_operatorText; }
    const QStringList &pendingTexts() const { return m_pendingTexts; }
    bool timersSuspended() const { return m_suspended.has_value(); }

    // Bars (0-5) for a signal value of _MEC_GetCsq (-1 when the call failed).
    static int signalBars(int csq, bool inService);

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

    void resetDisplay(bool touchConnectionIcon);
    void stopCardTimers();
    void showMenus(std::initializer_list<TrayMenuItem> shown,
                   std::initializer_list<TrayMenuItem> hidden);

    void readNetworkStatus(bool fromNoServiceTimer);
    void readOperator();
    void pollSignal();
    void showSignal(int level);
    void applyRoaming(const std::string &text);
    void chooseProfileAndModemParams();

    void serviceText(const std::string &text);
    void startNoServiceTimer();
    void operatorRecord(const std::vector<uint8_t> &record);
    // Keeps a copy of the new message's item; false for a block too short to be one.
    bool keepNewSms(const std::vector<uint8_t> &block);
    void class0Sms(const std::vector<uint8_t> &block);
    void callStateChanged(int callState);
    void connectionStateChanged(int connectionState);
    void simStoreReady(uint32_t wParam);

    void setTrayImage(int image);
    void setTrayAnimation(TrayAnimation animation);
    // The tray after a call notice ends: new-message animation, connection animation or image 3.
    void restoreTrayAfterCall();
    void updateSuspendInhibitor();

    void suspendTimers();
    void resumeTimers();

    bool isVoiceCallActive() const;  // call state 1, 6 or 15
    bool isConnectionBusy() const;   // data connection state 1, 2 or 4
    void runRssiTimerIfRegistered();
    void showWarning(const QString &text);

    CardView &m_view;
    feature::WindowTable &m_windows;
    QPointer<QObject> m_messageTarget;
    std::unique_ptr<TSoundPlayer> m_sound;
    std::unique_ptr<pin::TPinEntry> m_pinEntry;
    std::unique_ptr<PowerEvents> m_power;

    std::shared_ptr<std::atomic<bool>> m_stateRetryStopRequested =
        std::make_shared<std::atomic<bool>>(false);
    uint8_t m_cardState = kCardAbsent;
    int m_callState = 0;
    int m_connectionState = 0;
    uint64_t m_applyGeneration = 0;
    bool m_inService = false;
    bool m_signalPresent = false;
    int m_signalLevel = 0;
    int m_noServiceTicks = 0;
    int m_signalPolls = 0;
    int m_simBusyRetries = 0;
    bool m_callBeingAnswered = false;
    bool m_newSmsShown = false;
    bool m_missedCallShown = false;
    TrayAnimation m_trayAnimation = TrayAnimation::None;
    int m_trayImage = kImageCardAbsent;
    QString m_operatorText;
    std::unique_ptr<SmsItem> m_newSmsEntry;
    QStringList m_pendingTexts;
    bool m_class0BoxOpen = false;

    // Which of the suspendable timers ran when a voice call began.
    struct SuspendedTimers {
        bool cpms = false;
        bool stateRetry = false;
        bool cardSettings = false;
        std::vector<std::pair<QPointer<QTimer>, bool>> windowTimers;
    };
    std::optional<SuspendedTimers> m_suspended;
};
