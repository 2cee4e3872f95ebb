#include "CardMonitor.h"

#include "WindowTable.h"
#include "app/pin/PinEntry.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include "lumacore.h"

#include <QApplication>

using platform::GetLanguageString;

namespace {

// Timer intervals (ms).
constexpr int kStateRetryInterval = 5000;
constexpr int kCpmsInterval = 10000;
constexpr int kSimBusyInterval = 3000;
constexpr int kCardSettingsInterval = 3000;

// PIN state retries before the SIM is taken as missing.
constexpr int kSimBusyMaxRetries = 4;
// Bringing the card up (on line, its mode read, started): tries after the first, and the pause
// before each.
constexpr int kStartRetries = 3;
constexpr int kStartRetryInterval = 3000;

}  // namespace

CardMonitor::CardMonitor(CardView &view, feature::WindowTable &windows, QObject *parent)
    : CardMonitor(view, windows, makeSoundOutput(), parent)
{
}

CardMonitor::CardMonitor(CardView &view, feature::WindowTable &windows,
                         std::unique_ptr<SoundOutput> soundOutput, QObject *parent)
    : QObject(parent),
      m_view(view),
      m_windows(windows),
      m_messageTarget(this),
      m_sound(std::make_unique<SoundPlayer>(
          std::move(soundOutput), FileStore(), [] { QApplication::beep(); },
          [this](const QString &text) { showWarning(text); })),
      m_tray(view, windows, *m_sound, m_facts),
      m_network(view, m_tray),
      m_power(view, m_facts, [this] { applyCardState(kCardAbsent); })
{
    const struct {
        QTimer *timer;
        const char *name;
        int interval;
        void (CardMonitor::*tick)();
    } timers[] = {
        {&Timer_StateRetry, "Timer_StateRetry", kStateRetryInterval,
         &CardMonitor::Timer_StateRetryTimer},
        {&Timer_CPMS, "Timer_CPMS", kCpmsInterval, &CardMonitor::Timer_CPMSTimer},
        {&SimBusyTimer, "SimBusyTimer", kSimBusyInterval, &CardMonitor::SimBusyTimerTimer},
        {&GetCardSettingsTimer, "GetCardSettingsTimer", kCardSettingsInterval,
         &CardMonitor::GetCardSettingsTimerTimer},
        {&Timer_StartRetry, "Timer_StartRetry", kStartRetryInterval,
         &CardMonitor::Timer_StartRetryTimer},
    };
    for (const auto &entry : timers) {
        entry.timer->setObjectName(QLatin1String(entry.name));
        entry.timer->setInterval(entry.interval);
        connect(entry.timer, &QTimer::timeout, this, entry.tick);
    }
    // The sleep inhibitor follows what may change without a notice (the busy flag, a USSD
    // session, the standby option) at the tray hint's pace.
    connect(&m_tray.Timer_UpdateTrayHint, &QTimer::timeout, this, [this] { m_power.update(); });

    // The card-removed notice comes on the engine's thread, where no timer may be touched: it
    // raises a flag that the retry's next tick obeys (and state 1 stops the retry anyway).
    SetStateRetryStopper([flag = m_stateRetryStopRequested] { flag->store(true); });
}

CardMonitor::~CardMonitor() { SetStateRetryStopper({}); }

void CardMonitor::setMessageTarget(QObject *target)
{
    m_messageTarget = target != nullptr ? target : this;
}

QObject *CardMonitor::messageTarget() const
{
    return m_messageTarget != nullptr ? m_messageTarget.data() : const_cast<CardMonitor *>(this);
}

pin::PinEntry &CardMonitor::pinEntry()
{
    if (!m_pinEntry) {
        m_pinEntry = std::make_unique<pin::PinEntry>(m_view.dialogOwner(), messageTarget());
        m_pinEntry->setCardStateSource([this] { return m_facts.cardState; });
        m_pinEntry->setCallWindow(m_windows.role<pin::EmergencyCalls>());
    }
    return *m_pinEntry;
}

bool CardMonitor::event(QEvent *event)
{
    if (event->type() == platform::WindowMessageEvent::eventType())
        return handleMessage(static_cast<platform::WindowMessageEvent &>(*event));
    return QObject::event(event);
}

void CardMonitor::postCardState(uint8_t state)
{
    platform::PostMessage(messageTarget(), platform::WM_CARD_STATE, state, 0);
}

void CardMonitor::showWarning(const QString &text)
{
    platform::ShowMessageBox(m_view.dialogOwner(), text, 2);
}

// ---- card states --------------------------------------------------------------------------------

void CardMonitor::applyCardState(uint8_t state)
{
    // The same state arriving while its entry actions wait in a box (SIM ready while state 12
    // warns) is the state being entered: its actions run once.
    const bool beingEntered = state == m_enteringState;
    if (state == kCardAbsent || (state != m_facts.cardState && !beingEntered)) {
        // An entry action may wait in a box or a modal dialog, and a newer state may be applied
        // meanwhile (the card pulled while the PUK is asked for). The newer one then stands:
        // the older does not finish over it.
        const uint64_t generation = ++m_applyGeneration;
        m_enteringState = state;
        enterState(state);
        if (generation == m_applyGeneration) {
            m_enteringState = 0;
            m_view.repaintStatus();
            m_windows.tellCardState(CardState(state));
            m_facts.cardState = state;
        }
    }
    m_view.setStkButtonEnabled(m_facts.cardState == kSimReady);
}

void CardMonitor::enterState(uint8_t state)
{
    switch (state) {
    case kCardAbsent:
    case kCardInserted:
    case kCardOnline:
    case kNoSim:
    case kPinRequired:
    case kPukRequired:
    case kCardRegistered:
        // A step forward (or a fresh start): bringing the card up counts its tries anew.
        Timer_StartRetry.stop();
        m_startTries = 0;
        m_triedOnline = false;
        m_startGivenUp = false;
        break;
    default: break;
    }
    switch (state) {
    case kCardAbsent: enterCardAbsent(); break;
    case kCardInserted:
        m_stateRetryStopRequested->store(false);
        enterCardInserted();
        break;
    case kCardQueryMode: enterQueryMode(); break;
    case kNoSim: enterNoSim(); break;
    case kCardOnline: enterCardOnline(); break;
    case kCardOffline: enterCardOffline(); break;
    case kPinRequired: enterPinRequired(); break;
    case kPukRequired: enterPukRequired(); break;
    case kSimBlocked: enterSimBlocked(); break;
    case kCardRegistered: enterRegistered(); break;
    case kSimReady: enterSimReady(); break;
    default: break;  // 5 and unknown codes have no entry actions
    }
}

void CardMonitor::showMenus(std::initializer_list<TrayMenuItem> shown,
                            std::initializer_list<TrayMenuItem> hidden)
{
    for (TrayMenuItem item : shown)
        m_view.setMenuVisible(item, true);
    for (TrayMenuItem item : hidden)
        m_view.setMenuVisible(item, false);
}

void CardMonitor::resetDisplay(bool touchConnectionIcon)
{
    m_network.resetSignal();
    m_tray.resetIndicators(touchConnectionIcon);
    m_network.resetNetwork();
    m_tray.showTrayImage();
}

// The card is gone or off line: nothing the retries wait for can come, and a late success would
// post a state that no longer fits.
void CardMonitor::stopCardTimers()
{
    Timer_StateRetry.stop();
    SimBusyTimer.stop();
    Timer_CPMS.stop();
    GetCardSettingsTimer.stop();
    Timer_StartRetry.stop();
    m_network.stopTimers();
}

void CardMonitor::enterCardAbsent()
{
    stopCardTimers();
    resetDisplay(true);
    m_view.setCardIcon(kImageCardAbsent);
    m_view.setCardHint(GetLanguageString(1163));
    m_view.setSimIcon(kImageSimMissing);
    m_view.setSimHint(GetLanguageString(1057));
    m_tray.setTrayImage(kImageCardAbsent);
    showMenus({}, {TrayMenuItem::PowerOff, TrayMenuItem::Offline, TrayMenuItem::Online,
                   TrayMenuItem::N1, TrayMenuItem::FSettings});
    m_sound->stop();
    m_view.showInternetPage();
    if (m_pinEntry)
        m_pinEntry->CloseAndFree();
}

void CardMonitor::enterCardInserted()
{
    resetDisplay(true);
    m_view.setSimIcon(kImageSimMissing);
    m_view.setCardIcon(kImageCardFound);
    m_view.setCardHint(GetLanguageString(1164));
    m_tray.setTrayImage(kImageCardAbsent);
    m_tray.setTrayImage(kImageCardFound);
    showMenus({}, {TrayMenuItem::PowerOff, TrayMenuItem::Offline, TrayMenuItem::Online,
                   TrayMenuItem::N1});
    if (_MEC_Echo() != MEC_OK) {
        Timer_StateRetry.start(kStateRetryInterval);
    } else {
        Timer_StateRetry.stop();
        postCardState(kCardQueryMode);
    }
}

void CardMonitor::enterQueryMode()
{
    m_network.startReadingProviderName();
    uint8_t mode = 0;
    // A mode that cannot be read, or one that is neither on nor off line, is read again.
    if (_MEC_GetOperationMode(&mode) != MEC_OK)
        retryStart(kCardQueryMode);
    else if (mode == 5)
        postCardState(kCardOnline);
    else if (mode == 6 || mode == 1)
        postCardState(kCardOffline);
    else
        retryStart(kCardQueryMode);
}

void CardMonitor::enterNoSim()
{
    m_view.setSimIcon(kImageSimMissing);
    m_view.setSimHint(GetLanguageString(1057));
    m_view.setCardHint(GetLanguageString(1167));
    m_tray.setTrayImage(kImageSimMissing);
    showMenus({TrayMenuItem::N1}, {TrayMenuItem::Offline, TrayMenuItem::Online});
    m_network.leaveService();
}

void CardMonitor::enterCardOnline()
{
    m_tray.setTrayImage(kImageCardOnline);
    m_view.setCardIcon(kImageCardOnline);
    m_view.setCardHint(GetLanguageString(1167));
    showMenus({TrayMenuItem::Offline, TrayMenuItem::N1}, {TrayMenuItem::Online});
    uint8_t pinState = 0;
    const MEC_STATUS status = _MEC_GetPinState(&pinState);
    if (status == MEC_ERR_NO_SIM) {
        postCardState(kNoSim);
    } else if (status != MEC_OK) {
        m_simBusyRetries = 0;
        SimBusyTimer.start(kSimBusyInterval);
    } else if (pinState == 1) {
        postCardState(kPinRequired);
        m_view.showMainWindowNow();
    } else if (pinState == 2) {
        postCardState(kPukRequired);
        m_view.showMainWindowNow();
    } else if (_MEC_NetcardStart() == MEC_OK) {
        // Echo off is a courtesy: the engine reads answers with or without the echo.
        (void)_MEC_ClearEcho();
        postCardState(kCardRegistered);
    } else {
        retryStart(kCardOnline);
    }
}

void CardMonitor::enterCardOffline()
{
    if (m_facts.cardState == kCardQueryMode && !m_startGivenUp) {
        // Found off line while starting: bring it on line and read the mode again, at once the
        // first time, after a pause when it is found off line again.
        showMenus({TrayMenuItem::About, TrayMenuItem::Exit}, {});
        if (!m_triedOnline) {
            m_triedOnline = true;
            bringOnline();
        } else {
            retryStart(kCardOffline);
        }
        return;
    }
    showOffline();
}

void CardMonitor::bringOnline()
{
    if (_MEC_SetOperationMode(5) == MEC_OK)
        postCardState(kCardQueryMode);
    else
        retryStart(kCardOffline);
}

void CardMonitor::retryStart(uint8_t state)
{
    if (++m_startTries <= kStartRetries) {
        m_startRetryState = state;
        Timer_StartRetry.start(kStartRetryInterval);
        return;
    }
    // The card does not come up: it stays off line, and Online lets the user try again.
    Timer_StartRetry.stop();
    m_startGivenUp = true;
    if (m_facts.cardState == kCardOffline || m_enteringState == kCardOffline)
        showOffline();
    else
        postCardState(kCardOffline);
}

void CardMonitor::Timer_StartRetryTimer()
{
    Timer_StartRetry.stop();
    // The card went on to another state meanwhile (pulled, or the user's command).
    if (m_facts.cardState != m_startRetryState)
        return;
    switch (m_startRetryState) {
    case kCardQueryMode: enterQueryMode(); break;
    case kCardOnline: enterCardOnline(); break;
    case kCardOffline: bringOnline(); break;
    default: break;
    }
}

void CardMonitor::goOnline()
{
    Timer_StartRetry.stop();
    m_startTries = 0;
    m_triedOnline = false;
    m_startGivenUp = false;
    postCardState(kCardQueryMode);
}

void CardMonitor::showOffline()
{
    stopCardTimers();
    resetDisplay(true);
    m_view.setCardIcon(kImageCardFound);
    m_view.setCardHint(GetLanguageString(1165));
    m_view.setSimIcon(kImageSimMissing);
    m_view.setSimHint(GetLanguageString(1057));
    m_tray.setTrayImage(kImageCardFound);
    showMenus({TrayMenuItem::Online},
              {TrayMenuItem::Offline, TrayMenuItem::N1, TrayMenuItem::FSettings});
    m_sound->stop();
}

void CardMonitor::enterPinRequired()
{
    showMenus({TrayMenuItem::N1},
              {TrayMenuItem::Offline, TrayMenuItem::Online, TrayMenuItem::FSettings});
    m_view.enableMainWindow();
    pinEntry().OpenPinDialog();
}

void CardMonitor::enterPukRequired()
{
    showMenus({TrayMenuItem::N1},
              {TrayMenuItem::Offline, TrayMenuItem::Online, TrayMenuItem::FSettings});
    pinEntry().RunPukFlow();
}

void CardMonitor::enterSimBlocked()
{
    resetDisplay(false);
    m_view.setSimIcon(kImageSimBlocked);
    m_view.setSimHint(GetLanguageString(1093));
    m_view.setCardHint(GetLanguageString(1167));
    m_tray.setTrayImage(kImageSimBlocked);
    showMenus({TrayMenuItem::N1}, {TrayMenuItem::Offline, TrayMenuItem::Online});
    m_sound->stop();
}

void CardMonitor::enterRegistered()
{
    showMenus({TrayMenuItem::About, TrayMenuItem::Exit}, {});
    m_view.setSimIcon(kImageSimRegistered);
    m_view.setSimHint(GetLanguageString(1071));
    m_view.setCardHint(GetLanguageString(1167));
    m_tray.showNotConnected();
    const bool connected = m_facts.connectionState == 3;
    if (connected && m_tray.trayAnimation() == TrayAnimation::Connected)
        m_tray.setTrayImage(kImageInService);
    else if (!connected)
        m_tray.setTrayImage(kImageNoSignal);
    showMenus({TrayMenuItem::Offline, TrayMenuItem::N1}, {TrayMenuItem::Online});
    m_network.readNetworkStatus(false);
    m_network.readOperator();
    m_network.pollSignal();
    m_network.Timer_RSSI.start();
    // Unread, the security settings keep what they knew rather than a guess.
    uint8_t pinEnabled = 0;
    if (_MEC_IfPinEnable(&pinEnabled) == MEC_OK)
        FileStore().allConfig().pinRequestEnabled = pinEnabled;
    if (_MEC_TestSimState() != MEC_OK) {
        Timer_CPMS.start(kCpmsInterval);
    } else {
        postCardState(kSimReady);
    }
}

void CardMonitor::enterSimReady()
{
    m_view.setCardIcon(kImageCardOnline);
    m_view.setSimIcon(kImageSimReady);
    m_view.setSimHint(GetLanguageString(1095));
    m_view.setCardHint(GetLanguageString(1167));
    if (!m_network.Timer_RSSI.isActive()) {
        m_network.pollSignal();
        m_network.Timer_RSSI.start();
    }
    if (m_facts.connectionState == 3 && m_tray.trayAnimation() == TrayAnimation::Connected)
        m_tray.setTrayImage(kImageInService);
    showMenus({TrayMenuItem::Offline, TrayMenuItem::N1, TrayMenuItem::FSettings},
              {TrayMenuItem::Online});
    const uint64_t generation = m_applyGeneration;
    chooseProfileAndModemParams();
    if (generation != m_applyGeneration)
        return;  // the card went while the warning was shown
    if (BusinessLogic() == nullptr)
        return;
    const uint16_t status = SetLoadFieldLimits();
    // A card that cannot tell its field sizes never will: the defaults stand.
    if (status != MEC_OK && status != MEC_ERR_NOT_SUPPORTED)
        GetCardSettingsTimer.start(kCardSettingsInterval);
}

void CardMonitor::chooseProfileAndModemParams()
{
    FileStore().ChooseDefaultProfileFromSim();
    ModemParams params;
    if (!FileStore().GetDefaultModemParams(params)) {
        showWarning(GetLanguageString(1018) + QStringLiteral("defaultcfg.ran"));
        params = ModemParams{};
    }
    // A refused context leaves the card's own in place; a dial that fails then reports itself.
    (void)_MEC_SetModemPara(params.pdpType.c_str(), params.apn.c_str(), params.pdpAddress.c_str());
}

// ---- retries ------------------------------------------------------------------------------------

void CardMonitor::Timer_StateRetryTimer()
{
    if (m_stateRetryStopRequested->exchange(false)) {
        Timer_StateRetry.stop();  // the card went away meanwhile
        return;
    }
    enterCardInserted();
}

void CardMonitor::SimBusyTimerTimer()
{
    if (m_simBusyRetries > kSimBusyMaxRetries) {
        SimBusyTimer.stop();
        postCardState(kNoSim);
        return;
    }
    // A call being set up has the card's attention; this tick does not count.
    if (m_facts.callState == 1)
        return;
    ++m_simBusyRetries;
    uint8_t pinState = 0;
    if (_MEC_GetPinState(&pinState) != MEC_OK)
        return;
    if (pinState == 1 || pinState == 2) {
        postCardState(pinState == 1 ? kPinRequired : kPukRequired);
        m_view.showMainWindowNow();
        SimBusyTimer.stop();
    } else if (_MEC_NetcardStart() == MEC_OK) {
        // Echo off is a courtesy: the engine reads answers with or without the echo.
        (void)_MEC_ClearEcho();
        postCardState(kCardRegistered);
        SimBusyTimer.stop();
    }
}

void CardMonitor::Timer_CPMSTimer()
{
    // Only a registered card waits for its SIM store; any other state has moved on.
    if (m_facts.cardState != kCardRegistered) {
        Timer_CPMS.stop();
        return;
    }
    if (_MEC_TestSimState() == MEC_OK) {
        Timer_CPMS.stop();
        postCardState(kSimReady);
    }
}

void CardMonitor::GetCardSettingsTimerTimer()
{
    if (m_facts.cardState != kSimReady) {
        GetCardSettingsTimer.stop();
        return;
    }
    if (BusinessLogic() == nullptr)
        return;
    const uint16_t status = SetLoadFieldLimits();
    if (status == MEC_ERR_NOT_SUPPORTED) {
        // Asking again would only hear the same answer, for the life of the program.
        GetCardSettingsTimer.stop();
        return;
    }
    if (status != MEC_OK)
        return;
    GetCardSettingsTimer.stop();
    // Now the message and contact windows can load what they show.
    m_windows.retellCardState(kSimReady);
}

void CardMonitor::simStoreReady(uint32_t wParam)
{
    if (m_facts.voiceCallActive() || m_facts.cardState != kCardRegistered || wParam != 2)
        return;
    Timer_CPMS.stop();
    // The store answered ready; this only refreshes the engine's view of it, and the windows
    // read the SIM again themselves.
    (void)_MEC_TestSimState();
    postCardState(kSimReady);
}

// ---- call and connection states -----------------------------------------------------------------

void CardMonitor::runRssiTimerIfRegistered()
{
    if (m_facts.cardState == kCardRegistered || m_facts.cardState == kSimReady)
        m_network.Timer_RSSI.start();
    else
        m_network.Timer_RSSI.stop();
}

void CardMonitor::disableNavigation()
{
    m_view.setNavigationEnabled(false);
    m_view.setStkButtonEnabled(false);
    m_view.setMenuEnabled(TrayMenuItem::PowerOff, false);
    m_view.setMenuEnabled(TrayMenuItem::Offline, false);
    m_view.setMenuEnabled(TrayMenuItem::About, false);
}

void CardMonitor::enableNavigation()
{
    m_view.setNavigationEnabled(true);
    m_view.setStkButtonEnabled(m_facts.cardState == kSimReady);
    m_view.setMenuEnabled(TrayMenuItem::Offline, true);
    m_view.setMenuEnabled(TrayMenuItem::About, true);
    // Powering the card off from the tray stays disabled.
    m_view.setMenuEnabled(TrayMenuItem::PowerOff, false);
}

void CardMonitor::callStateChanged(int callState)
{
    m_facts.callState = callState;
    switch (callState) {
    case 0: {
        // The engine only notes it; it fails only when not running, with nothing to note then.
        (void)_MEC_setIsDialing(0);
        if (!m_facts.connectionBusy()) {
            enableNavigation();
            if (m_facts.cardState == kCardRegistered || m_facts.cardState == kSimReady) {
                m_network.Timer_RSSI.start();
                if (m_facts.connectionState != 3)
                    m_view.setMenuEnabled(TrayMenuItem::FSettings, true);
            } else {
                m_network.Timer_RSSI.stop();
            }
        }
        resumeTimers();
        break;
    }
    case 1:
    case 6:
    case 15:
        (void)_MEC_setIsDialing(1);
        suspendTimers();
        disableNavigation();
        Timer_CPMS.stop();
        Timer_StateRetry.stop();
        m_network.Timer_RSSI.stop();
        m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        break;
    case 3:
    case 5:
    case 8:
    case 12:
    case 14:
        (void)_MEC_setIsDialing(0);
        if (!m_facts.connectionBusy()) {
            enableNavigation();
            runRssiTimerIfRegistered();
        }
        resumeTimers();
        m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        break;
    default:
        (void)_MEC_setIsDialing(0);
        m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        break;
    }
    m_power.update();
}

void CardMonitor::connectionStateChanged(int connectionState)
{
    m_facts.connectionState = connectionState;
    switch (connectionState) {
    case 1:
    case 2:
    case 4:
        disableNavigation();
        m_network.Timer_RSSI.stop();
        m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        break;
    case 0:
    case 3:
        if (!m_facts.voiceCallActive()) {
            enableNavigation();
            runRssiTimerIfRegistered();
        }
        if (connectionState == 3)
            m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        else if (!m_facts.voiceCallActive())
            m_view.setMenuEnabled(TrayMenuItem::FSettings, true);
        break;
    default: break;
    }
    m_power.update();
}

void CardMonitor::suspendTimers()
{
    // A second call state of the same call must not overwrite what the first one recorded.
    if (m_suspended)
        return;
    SuspendedTimers record;
    record.cpms = Timer_CPMS.isActive();
    record.stateRetry = Timer_StateRetry.isActive();
    record.cardSettings = GetCardSettingsTimer.isActive();
    Timer_CPMS.stop();
    Timer_StateRetry.stop();
    GetCardSettingsTimer.stop();
    for (QTimer *timer : m_windows.timersStoppedDuringCall()) {
        record.windowTimers.emplace_back(timer, timer->isActive());
        timer->stop();
    }
    m_suspended = record;
}

void CardMonitor::resumeTimers()
{
    if (!m_suspended)
        return;
    const SuspendedTimers record = *m_suspended;
    m_suspended.reset();
    const auto set = [](QTimer &timer, bool running) {
        if (running)
            timer.start();
        else
            timer.stop();
    };
    set(Timer_CPMS, record.cpms);
    set(Timer_StateRetry, record.stateRetry);
    set(GetCardSettingsTimer, record.cardSettings);
    // A window freed meanwhile leaves its timers behind.
    for (const auto &[timer, running] : record.windowTimers)
        if (timer)
            set(*timer, running);
}
