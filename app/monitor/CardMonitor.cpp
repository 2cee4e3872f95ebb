#include "CardMonitor.h"

#include "PowerEvents.h"

#include "FeatureMessages.h"
#include "WindowTable.h"
#include "app/pin/PinEntry.h"
#include "config/BL_File.h"
#include "engine/BL_Base.h"
#include "engine/BL_Forward.h"
#include "engine/BL_Sms.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include "lumacore.h"

#include <QApplication>

#include <cstring>

using platform::GetLanguageString;

namespace {

// Timer intervals (ms).
constexpr int kRssiFirstInterval = 1500;
constexpr int kRssiInterval = 5000;
constexpr int kStateRetryInterval = 5000;
constexpr int kCpmsInterval = 10000;
constexpr int kSimBusyInterval = 3000;
constexpr int kCardSettingsInterval = 3000;
constexpr int kNoServiceInterval = 1000;
constexpr int kSpnInterval = 10000;
constexpr int kTrayHintInterval = 1000;

// PIN state retries before the SIM is taken as missing.
constexpr int kSimBusyMaxRetries = 4;
// Ticks of Timer_NoService before the network is read again.
constexpr int kNoServiceTicks = 11;
// Signal polls at the quick interval after a reset.
constexpr int kQuickSignalPolls = 4;

// The service-provider name on the SIM (EF-SPN), read from its second byte on.
constexpr uint8_t kReadBinary = 176;
constexpr uint16_t kFileSpn = 28486;

// Layout of the blocks that travel with the messages.
constexpr size_t kOperatorRecordSize = sizeof(_MEC_ZDON_RECORD);
constexpr size_t kClass0Size = 200;
constexpr size_t kClass0NumberSize = 32;
constexpr size_t kClass0TextOffset = 36;
constexpr size_t kClass0TextSize = 160;
constexpr size_t kBroadcastTextSize = 160;
constexpr int kBroadcastShownCharacters = 11;

std::string fieldOf(const char *field, size_t size)
{
    return std::string(platform::fieldText(field, size));
}

std::string fieldOf(const std::vector<uint8_t> &block, size_t offset, size_t size)
{
    if (offset >= block.size())
        return {};
    return fieldOf(reinterpret_cast<const char *>(block.data()) + offset,
                   std::min(size, block.size() - offset));
}

QString ansi(const std::string &text) { return platform::fromAnsi(text); }

}  // namespace

CardMonitor::CardMonitor(CardView &view, feature::WindowTable &windows, QObject *parent)
    : CardMonitor(view, windows, makeQtSoundOutput(), parent)
{
}

CardMonitor::CardMonitor(CardView &view, feature::WindowTable &windows,
                         std::unique_ptr<SoundOutput> soundOutput, QObject *parent)
    : QObject(parent), m_view(view), m_windows(windows), m_messageTarget(this)
{
    m_sound = std::make_unique<TSoundPlayer>(
        std::move(soundOutput), FileStore(), [] { QApplication::beep(); },
        [this](const QString &text) { showWarning(text); });

    const struct {
        QTimer *timer;
        const char *name;
        int interval;
        void (CardMonitor::*tick)();
    } timers[] = {
        {&Timer_RSSI, "Timer_RSSI", kRssiInterval, &CardMonitor::Timer_RSSITimer},
        {&Timer_StateRetry, "Timer_StateRetry", kStateRetryInterval,
         &CardMonitor::Timer_StateRetryTimer},
        {&Timer_CPMS, "Timer_CPMS", kCpmsInterval, &CardMonitor::Timer_CPMSTimer},
        {&SimBusyTimer, "SimBusyTimer", kSimBusyInterval, &CardMonitor::SimBusyTimerTimer},
        {&GetCardSettingsTimer, "GetCardSettingsTimer", kCardSettingsInterval,
         &CardMonitor::GetCardSettingsTimerTimer},
        {&Timer_NoService, "Timer_NoService", kNoServiceInterval,
         &CardMonitor::Timer_NoServiceTimer},
        {&TimerSpn, "TimerSpn", kSpnInterval, &CardMonitor::TimerSpnTimer},
        {&Timer_UpdateTrayHint, "Timer_UpdateTrayHint", kTrayHintInterval,
         &CardMonitor::Timer_UpdateTrayHintTimer},
    };
    for (const auto &entry : timers) {
        entry.timer->setObjectName(QLatin1String(entry.name));
        entry.timer->setInterval(entry.interval);
        connect(entry.timer, &QTimer::timeout, this, entry.tick);
    }
    Timer_UpdateTrayHint.start();

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

pin::TPinEntry &CardMonitor::pinEntry()
{
    if (!m_pinEntry) {
        m_pinEntry = std::make_unique<pin::TPinEntry>(m_view.dialogOwner(), messageTarget());
        m_pinEntry->setCardStateSource([this] { return m_cardState; });
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

// ---- dispatch -----------------------------------------------------------------------------------

bool CardMonitor::handleMessage(platform::WindowMessageEvent &message)
{
    using namespace platform;
    static const std::vector<uint8_t> kNoBytes;
    const std::vector<uint8_t> &bytes = message.block() ? message.block()->bytes : kNoBytes;
    const std::string text = message.text() ? message.text()->text : std::string();
    const uint32_t id = message.message();

    switch (id) {
    case WM_POWERBROADCAST: message.setResult(powerEvent(message.wParam())); return true;
    case WM_CARD_STATE: applyCardState(uint8_t(message.wParam())); return true;
    case WM_CALL_STATE:
        callStateChanged(int(message.wParam()));
        m_windows.tellCallState(m_callState);
        return true;
    case WM_CONNECTION_STATE:
        connectionStateChanged(int(message.wParam()));
        m_windows.tellConnectionState(m_connectionState);
        return true;
    case WM_SMS_NEW:
        // Kept first: the SMS windows refresh with it, then the notice is raised.
        if (!keepNewSms(bytes))
            return true;
        m_windows.route(message);
        newSmsArrived(ansi(fieldOf(m_newSmsEntry->number, sizeof m_newSmsEntry->number)));
        return true;
    case WM_SERVICE_TEXT: serviceText(text); return true;
    case WM_OPERATOR_RECORD: operatorRecord(bytes); return true;
    case WM_SMS_CLASS0: class0Sms(bytes); return true;
    case WM_SMS_BROADCAST:
        m_view.setClockText(
            ansi(fieldOf(bytes, 0, kBroadcastTextSize)).left(kBroadcastShownCharacters));
        return true;
    case WM_SIM_READY: simStoreReady(message.wParam()); return true;
    case WM_USSD_REPLY:
        // The engine waits for this answer before it goes on; the USSD window copies the reply.
        message.setResult(255);
        m_windows.route(message);
        return true;
    case WM_PIN_RESULT: pinEntry().PinDialogResult(message.wParam()); return true;
    case WM_STK_LAST: return true;  // the toolkit's other notices are not followed
    default: break;
    }
    if (!m_windows.route(message))
        return false;
    if (id == MEC_MSG_CALL_INCOMING_CONNECTED || id == MEC_MSG_CALL_INCOMING_MISSED)
        m_view.closeCallPopup();
    return true;
}

// ---- card states --------------------------------------------------------------------------------

void CardMonitor::applyCardState(uint8_t state)
{
    if (state == kCardAbsent || state != m_cardState) {
        // An entry action may wait in a box or a modal dialog, and a newer state may be applied
        // meanwhile (the card pulled while the PUK is asked for). The newer one then stands:
        // the older does not finish over it.
        const uint64_t generation = ++m_applyGeneration;
        enterState(state);
        if (generation == m_applyGeneration) {
            m_view.repaintStatus();
            m_windows.tellCardState(state);
            m_cardState = state;
        }
    }
    m_view.setStkButtonEnabled(m_cardState == kSimReady);
}

void CardMonitor::enterState(uint8_t state)
{
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
    Timer_RSSI.stop();
    Timer_RSSI.setInterval(kRssiFirstInterval);
    m_signalPolls = 0;
    m_signalLevel = 0;
    m_signalPresent = false;
    m_view.setSignalBars(0);
    m_view.setIndicator(Indicator::IncomingCall, false);
    m_view.setIndicator(Indicator::NewSms, false);
    m_missedCallShown = false;
    m_newSmsShown = false;
    if (touchConnectionIcon) {
        m_view.setConnectionAnimation(false);
        m_view.setConnectionIcon(kImageNotConnected);
        m_view.setConnectionHint(GetLanguageString(1072));
    }
    m_view.setDomain(QString());
    m_view.setDomainHint(QString());
    m_view.setNetworkType(GetLanguageString(1082));
    m_inService = false;
    m_operatorText = GetLanguageString(1084);
    m_view.setOperatorName(m_operatorText);
    m_view.setRoaming(QString(), QString());
    setTrayImage(m_trayImage);
}

// The card is gone or off line: nothing the retries wait for can come, and a late success would
// post a state that no longer fits.
void CardMonitor::stopCardTimers()
{
    Timer_StateRetry.stop();
    SimBusyTimer.stop();
    Timer_CPMS.stop();
    GetCardSettingsTimer.stop();
    Timer_NoService.stop();
    m_noServiceTicks = 0;
    TimerSpn.stop();
}

void CardMonitor::enterCardAbsent()
{
    stopCardTimers();
    resetDisplay(true);
    m_view.setCardIcon(kImageCardAbsent);
    m_view.setCardHint(GetLanguageString(1163));
    m_view.setSimIcon(kImageSimMissing);
    m_view.setSimHint(GetLanguageString(1057));
    setTrayImage(kImageCardAbsent);
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
    setTrayImage(kImageCardAbsent);
    setTrayImage(kImageCardFound);
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
    TimerSpn.start(kSpnInterval);
    m_operatorText.clear();
    m_view.setOperatorName(QString());
    SetServiceProviderName(std::string());
    uint8_t mode = 0;
    if (_MEC_GetOperationMode(&mode) != MEC_OK)
        return;
    if (mode == 5)
        postCardState(kCardOnline);
    else if (mode == 6 || mode == 1)
        postCardState(kCardOffline);
}

void CardMonitor::enterNoSim()
{
    m_view.setSimIcon(kImageSimMissing);
    m_view.setSimHint(GetLanguageString(1057));
    m_view.setCardHint(GetLanguageString(1167));
    setTrayImage(kImageSimMissing);
    showMenus({TrayMenuItem::N1}, {TrayMenuItem::Offline, TrayMenuItem::Online});
    m_inService = false;
}

void CardMonitor::enterCardOnline()
{
    setTrayImage(kImageCardOnline);
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
        _MEC_ClearEcho();
        postCardState(kCardRegistered);
    }
}

void CardMonitor::enterCardOffline()
{
    if (m_cardState == kCardQueryMode) {
        // Found off line while starting: bring it on line and read the mode again.
        if (_MEC_SetOperationMode(5) == MEC_OK)
            postCardState(kCardQueryMode);
        showMenus({TrayMenuItem::About, TrayMenuItem::Exit}, {});
        return;
    }
    stopCardTimers();
    resetDisplay(true);
    m_view.setCardIcon(kImageCardFound);
    m_view.setCardHint(GetLanguageString(1165));
    m_view.setSimIcon(kImageSimMissing);
    m_view.setSimHint(GetLanguageString(1057));
    setTrayImage(kImageCardFound);
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
    setTrayImage(kImageSimBlocked);
    showMenus({TrayMenuItem::N1}, {TrayMenuItem::Offline, TrayMenuItem::Online});
    m_sound->stop();
}

void CardMonitor::enterRegistered()
{
    showMenus({TrayMenuItem::About, TrayMenuItem::Exit}, {});
    m_view.setSimIcon(kImageSimRegistered);
    m_view.setSimHint(GetLanguageString(1071));
    m_view.setCardHint(GetLanguageString(1167));
    m_view.setConnectionAnimation(false);
    m_view.setConnectionIcon(kImageNotConnected);
    m_view.setConnectionHint(GetLanguageString(1072));
    const bool connected = m_connectionState == 3;
    if (connected && m_trayAnimation == TrayAnimation::Connected)
        setTrayImage(kImageInService);
    else if (!connected)
        setTrayImage(kImageNoSignal);
    showMenus({TrayMenuItem::Offline, TrayMenuItem::N1}, {TrayMenuItem::Online});
    readNetworkStatus(false);
    readOperator();
    pollSignal();
    Timer_RSSI.start();
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
    if (!Timer_RSSI.isActive()) {
        pollSignal();
        Timer_RSSI.start();
    }
    if (m_connectionState == 3 && m_trayAnimation == TrayAnimation::Connected)
        setTrayImage(kImageInService);
    showMenus({TrayMenuItem::Offline, TrayMenuItem::N1, TrayMenuItem::FSettings},
              {TrayMenuItem::Online});
    const uint64_t generation = m_applyGeneration;
    chooseProfileAndModemParams();
    if (generation != m_applyGeneration)
        return;  // the card went while the warning was shown
    if (BusinessLogic() != nullptr && SetLoadFieldLimits() != MEC_OK)
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
    _MEC_SetModemPara(params.pdpType.c_str(), params.apn.c_str(), params.pdpAddress.c_str());
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
    if (m_callState == 1)
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
        _MEC_ClearEcho();
        postCardState(kCardRegistered);
        SimBusyTimer.stop();
    }
}

void CardMonitor::Timer_CPMSTimer()
{
    // Only a registered card waits for its SIM store; any other state has moved on.
    if (m_cardState != kCardRegistered) {
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
    if (m_cardState != kSimReady) {
        GetCardSettingsTimer.stop();
        return;
    }
    if (BusinessLogic() == nullptr || SetLoadFieldLimits() != MEC_OK)
        return;
    GetCardSettingsTimer.stop();
    // Now the message and contact windows can load what they show.
    m_windows.retellCardState(kSimReady);
}

void CardMonitor::TimerSpnTimer()
{
    TimerSpn.stop();
    char response[64] = {};
    if (_SIMOperate(kReadBinary, kFileSpn, 0, 1, 16, response, sizeof response) != MEC_OK) {
        TimerSpn.start(kSpnInterval);
        return;
    }
    const std::string name = fieldOf(response, sizeof response);
    SetServiceProviderName(name);
    if (!m_operatorText.isEmpty() && !name.empty()) {
        m_operatorText = ansi(name);
        m_view.setOperatorName(m_operatorText);
    }
}

// ---- network, operator, signal ------------------------------------------------------------------

void CardMonitor::readNetworkStatus(bool fromNoServiceTimer)
{
    _MEC_NETWORK_PARA para{};
    if (_MEC_GetNetworkPara(&para) != MEC_OK)
        return;  // the labels keep what they show
    const std::string type = fieldOf(para.networkType, sizeof para.networkType);
    if (type == "NO SERVICE" || (fromNoServiceTimer && type == "No Service")) {
        m_view.setNetworkType(GetLanguageString(1082));
        m_inService = false;
        pollSignal();
    } else if (type != "No Service") {
        m_view.setNetworkType(ansi(type));
        m_inService = true;
    }
    static const char *const kDomains[] = {"C", "P", "P C"};
    if (para.serviceDomain <= 2) {
        m_view.setDomain(QLatin1String(kDomains[para.serviceDomain]));
        m_view.setDomainHint(GetLanguageString(1073));
    } else {
        m_view.setDomain(QString());
    }
}

void CardMonitor::readOperator()
{
    _MEC_ZDON_PARA para{};
    if (_MEC_GetZdonPara(&para) != MEC_OK)
        return;
    const std::string name = fieldOf(para.operatorName, sizeof para.operatorName);
    const std::string provider = ServiceProviderName();
    const bool named = !name.empty() && name != "Not Found";
    if (named && !provider.empty())
        m_operatorText = ansi(provider);
    else if (named)
        // A SIM without a provider name of its own: the network's name is the best there is.
        m_operatorText = ansi(name);
    else
        m_operatorText = GetLanguageString(1084);
    m_view.setOperatorName(m_operatorText);
    applyRoaming(fieldOf(para.roaming, sizeof para.roaming));
}

void CardMonitor::applyRoaming(const std::string &text)
{
    if (text == "ROAM_ON")
        m_view.setRoaming(QStringLiteral("R"), GetLanguageString(1086));
    else if (text == "ROAM_OFF" || text.empty())
        m_view.setRoaming(QString(), QString());
}

int CardMonitor::signalBars(int csq, bool inService)
{
    if (!inService || csq < 3 || csq > 31)
        return 0;
    if (csq <= 6)
        return 1;
    if (csq <= 9)
        return 2;
    if (csq <= 12)
        return 3;
    if (csq <= 15)
        return 4;
    return 5;
}

void CardMonitor::pollSignal()
{
    uint8_t value = 0;
    const int csq = _MEC_GetCsq(&value) == MEC_OK ? int(value) : -1;
    if (++m_signalPolls == kQuickSignalPolls)
        Timer_RSSI.setInterval(kRssiInterval);
    showSignal(signalBars(csq, m_inService));
}

void CardMonitor::showSignal(int level)
{
    m_signalLevel = level;
    m_signalPresent = level != 0;
    m_view.setSignalBars(level);
    if (m_trayAnimation == TrayAnimation::None)
        setTrayImage(level != 0 ? kImageInService : kImageNoSignal);
}

void CardMonitor::Timer_RSSITimer() { pollSignal(); }

void CardMonitor::serviceText(const std::string &text)
{
    if (text == "No Service") {
        m_view.repaintStatus();
        startNoServiceTimer();
        m_inService = false;
        return;
    }
    Timer_NoService.stop();
    if (text == "Limited Service") {
        m_view.setNetworkType(GetLanguageString(1083));
        m_inService = false;
    } else {
        m_view.setNetworkType(ansi(text));
        m_inService = true;
    }
    m_noServiceTicks = 0;
}

// A second "No Service" while the count runs (or before its first tick) leaves it running.
void CardMonitor::startNoServiceTimer()
{
    if (m_noServiceTicks == 0 && !Timer_NoService.isActive())
        Timer_NoService.start(kNoServiceInterval);
}

void CardMonitor::Timer_NoServiceTimer()
{
    if (++m_noServiceTicks < kNoServiceTicks)
        return;
    m_noServiceTicks = 0;
    readNetworkStatus(true);
    readOperator();
    Timer_NoService.stop();
}

void CardMonitor::operatorRecord(const std::vector<uint8_t> &record)
{
    if (record.size() < kOperatorRecordSize)
        return;
    const auto field = [&record](size_t offset, size_t size) {
        return fieldOf(record, offset, size);
    };
    const std::string name = field(offsetof(_MEC_ZDON_RECORD, operatorName), 68);
    QString shown;
    if (name == "China Mobile")
        shown = GetLanguageString(1077);
    else if (name == "China Unicom")
        shown = GetLanguageString(1078);
    else if (name == "Unknown PLMN")
        shown = GetLanguageString(1175);
    else
        shown = ansi(name);

    if (shown == GetLanguageString(1084)) {
        startNoServiceTimer();
        m_view.repaintStatus();
    } else {
        m_operatorText = shown;
        m_view.setOperatorName(shown);
    }

    applyRoaming(field(offsetof(_MEC_ZDON_RECORD, roaming), 36));

    const std::string domain = field(offsetof(_MEC_ZDON_RECORD, serviceDomain), 36);
    if (domain == "CS_ONLY" || domain == "PS_ONLY" || domain == "CS_PS") {
        m_view.setDomain(domain == "CS_ONLY"   ? QStringLiteral("C")
                         : domain == "PS_ONLY" ? QStringLiteral("P")
                                               : QStringLiteral("P C"));
        m_view.setDomainHint(GetLanguageString(1073));
    } else {
        m_view.setDomainHint(QString());
    }
}

void CardMonitor::simStoreReady(uint32_t wParam)
{
    if (isVoiceCallActive() || m_cardState != kCardRegistered || wParam != 2)
        return;
    Timer_CPMS.stop();
    _MEC_TestSimState();
    postCardState(kSimReady);
}

// ---- tray ---------------------------------------------------------------------------------------

void CardMonitor::setTrayImage(int image)
{
    m_trayAnimation = TrayAnimation::None;
    m_trayImage = image;
    m_view.setTrayImage(image);
}

void CardMonitor::setTrayAnimation(TrayAnimation animation)
{
    if (animation == TrayAnimation::None) {
        setTrayImage(m_trayImage);
        return;
    }
    m_trayAnimation = animation;
    m_view.setTrayAnimation(animation);
}

void CardMonitor::Timer_UpdateTrayHintTimer()
{
    static const std::pair<uint8_t, unsigned> kHints[] = {
        {1, 1163}, {2, 1164}, {3, 1166}, {4, 1057}, {6, 1167}, {7, 1165}, {8, 1168}, {9, 1169},
    };
    for (const auto &[state, hint] : kHints) {
        if (state == m_cardState) {
            m_view.setTrayHint(GetLanguageString(hint));
            updateSuspendInhibitor();
            return;
        }
    }
    if (m_cardState == kCardRegistered || m_cardState == kSimReady) {
        switch (m_trayAnimation) {
        case TrayAnimation::IncomingCall:
            m_view.setTrayHint(GetLanguageString(m_callBeingAnswered ? 1013 : 1051));
            break;
        case TrayAnimation::NewSms: m_view.setTrayHint(GetLanguageString(1012)); break;
        case TrayAnimation::Connected: m_view.setTrayHint(m_view.connectionStatusText()); break;
        case TrayAnimation::None:
            if (m_trayImage == kImageNoSignal)
                m_view.setTrayHint(GetLanguageString(1173));
            else if (m_trayImage == kImageInService)
                m_view.setTrayHint(GetLanguageString(1171));
            break;
        }
    }
    updateSuspendInhibitor();
}

// ---- messages, calls, connection notices --------------------------------------------------------

bool CardMonitor::keepNewSms(const std::vector<uint8_t> &block)
{
    if (block.size() < sizeof(SmsItem))
        return false;
    auto item = std::make_unique<SmsItem>();
    std::memcpy(item.get(), block.data(), sizeof(SmsItem));
    m_newSmsEntry = std::move(item);
    return true;
}

void CardMonitor::freeNewSmsEntry() { m_newSmsEntry.reset(); }

void CardMonitor::newSmsArrived(const QString &text)
{
    if (m_cardState != kCardRegistered && m_cardState != kSimReady)
        return;
    m_view.setIndicator(Indicator::NewSms, true);
    m_newSmsShown = true;
    if (m_trayAnimation != TrayAnimation::IncomingCall)
        setTrayAnimation(TrayAnimation::NewSms);
    if ((m_view.isMinimizedOrHidden() || !m_view.isActiveWindow()) && !m_view.hasNewSmsPopup())
        m_view.showNewSmsPopup(text, m_view.hasCallPopup());
    m_sound->play(SoundEvent::SmsArrived);
}

void CardMonitor::clearNewSms(bool fromIndicator)
{
    if (m_cardState != kCardRegistered && m_cardState != kSimReady)
        return;
    if (fromIndicator && m_newSmsEntry) {
        platform::WindowMessageEvent open(feature::WM_OPEN_SMS_FOLDER, m_newSmsEntry->folder,
                                          m_newSmsEntry->storage);
        m_windows.route(open);
    }
    m_view.setIndicator(Indicator::NewSms, false);
    m_newSmsShown = false;
    if (m_trayAnimation == TrayAnimation::NewSms) {
        if (m_connectionState == 3)
            setTrayAnimation(TrayAnimation::Connected);
        else
            setTrayImage(kImageInService);
    }
    if (m_view.isMinimizedOrHidden())
        m_view.releaseNewSmsPopup();
    m_sound->stop();
    freeNewSmsEntry();
}

void CardMonitor::incomingCall(const QString &number, bool updateOnly)
{
    if (m_cardState != kCardRegistered && m_cardState != kSimReady)
        return;
    if (updateOnly && m_view.hasCallPopup()) {
        m_view.setCallPopupText(number);
        return;
    }
    m_callBeingAnswered = true;
    setTrayAnimation(TrayAnimation::IncomingCall);
    if (!m_sound->isRinging())
        m_sound->play(SoundEvent::IncomingCall);
    if ((m_view.isMinimizedOrHidden() || !m_view.isActiveWindow()) && !m_view.hasCallPopup())
        m_view.showCallPopup(number);
}

void CardMonitor::callAccepted()
{
    if (m_cardState != kCardRegistered && m_cardState != kSimReady)
        return;
    if (m_view.isMinimizedOrHidden())
        m_view.restoreFromTray();
    callStopped();
}

void CardMonitor::restoreTrayAfterCall()
{
    if (m_trayAnimation != TrayAnimation::IncomingCall || m_missedCallShown)
        return;
    if (m_newSmsShown)
        setTrayAnimation(TrayAnimation::NewSms);
    else if (m_connectionState == 3)
        setTrayAnimation(TrayAnimation::Connected);
    else
        setTrayImage(kImageInService);
}

void CardMonitor::callStopped()
{
    m_callBeingAnswered = false;
    restoreTrayAfterCall();
    m_sound->stop();
}

void CardMonitor::missedCall()
{
    m_callBeingAnswered = false;
    m_view.setIndicator(Indicator::IncomingCall, true);
    m_missedCallShown = true;
    m_sound->stop();
}

void CardMonitor::clearMissedCall(bool fromIndicator)
{
    if (fromIndicator) {
        platform::WindowMessageEvent open(feature::WM_OPEN_CALL_RECORDS, 0, 0);
        m_windows.route(open);
    }
    m_view.setIndicator(Indicator::IncomingCall, false);
    m_missedCallShown = false;
    restoreTrayAfterCall();
}

void CardMonitor::connectionUp()
{
    if (m_connectionState != 3)
        return;
    m_view.setConnectionAnimation(true);
    m_view.setConnectionHint(GetLanguageString(1063));
    if (m_trayAnimation == TrayAnimation::None)
        setTrayAnimation(TrayAnimation::Connected);
    m_sound->play(SoundEvent::Connected);
}

void CardMonitor::connectionDown()
{
    if (m_connectionState != 0)
        return;
    m_view.setConnectionAnimation(false);
    m_view.setConnectionIcon(kImageNotConnected);
    m_view.setConnectionHint(GetLanguageString(1072));
    if (m_trayAnimation == TrayAnimation::Connected)
        setTrayImage(kImageInService);
    m_sound->play(SoundEvent::Disconnected);
}

void CardMonitor::class0Sms(const std::vector<uint8_t> &block)
{
    if (block.size() < kClass0Size)
        return;
    const QString number = ansi(fieldOf(block, 0, kClass0NumberSize));
    const QString text = ansi(fieldOf(block, kClass0TextOffset, kClass0TextSize));
    m_pendingTexts.append(number + QStringLiteral(":\r\n") + text + QStringLiteral("\r\n"));
    if (m_class0BoxOpen)
        return;  // the box on screen shows this one next
    m_class0BoxOpen = true;
    while (!m_pendingTexts.isEmpty()) {
        const QString next = m_pendingTexts.takeFirst();
        platform::ShowMessageBox(m_view.dialogOwner(), next, 1);
    }
    m_class0BoxOpen = false;
}

// ---- call and connection states -----------------------------------------------------------------

bool CardMonitor::isVoiceCallActive() const
{
    const int state = m_callState;
    return state == 1 || state == 6 || state == 15;
}

bool CardMonitor::isConnectionBusy() const
{
    const int state = m_connectionState;
    return state == 1 || state == 2 || state == 4;
}

void CardMonitor::runRssiTimerIfRegistered()
{
    if (m_cardState == kCardRegistered || m_cardState == kSimReady)
        Timer_RSSI.start();
    else
        Timer_RSSI.stop();
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
    m_view.setStkButtonEnabled(m_cardState == kSimReady);
    m_view.setMenuEnabled(TrayMenuItem::Offline, true);
    m_view.setMenuEnabled(TrayMenuItem::About, true);
    // Powering the card off from the tray stays disabled.
    m_view.setMenuEnabled(TrayMenuItem::PowerOff, false);
}

void CardMonitor::callStateChanged(int callState)
{
    m_callState = callState;
    switch (callState) {
    case 0: {
        _MEC_setIsDialing(0);
        if (!isConnectionBusy()) {
            enableNavigation();
            if (m_cardState == kCardRegistered || m_cardState == kSimReady) {
                Timer_RSSI.start();
                if (m_connectionState != 3)
                    m_view.setMenuEnabled(TrayMenuItem::FSettings, true);
            } else {
                Timer_RSSI.stop();
            }
        }
        resumeTimers();
        break;
    }
    case 1:
    case 6:
    case 15:
        _MEC_setIsDialing(1);
        suspendTimers();
        disableNavigation();
        Timer_CPMS.stop();
        Timer_StateRetry.stop();
        Timer_RSSI.stop();
        m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        break;
    case 3:
    case 5:
    case 8:
    case 12:
    case 14:
        _MEC_setIsDialing(0);
        if (!isConnectionBusy()) {
            enableNavigation();
            runRssiTimerIfRegistered();
        }
        resumeTimers();
        m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        break;
    default:
        _MEC_setIsDialing(0);
        m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        break;
    }
    updateSuspendInhibitor();
}

void CardMonitor::connectionStateChanged(int connectionState)
{
    m_connectionState = connectionState;
    switch (connectionState) {
    case 1:
    case 2:
    case 4:
        disableNavigation();
        Timer_RSSI.stop();
        m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        break;
    case 0:
    case 3:
        if (!isVoiceCallActive()) {
            enableNavigation();
            runRssiTimerIfRegistered();
        }
        if (connectionState == 3)
            m_view.setMenuEnabled(TrayMenuItem::FSettings, false);
        else if (!isVoiceCallActive())
            m_view.setMenuEnabled(TrayMenuItem::FSettings, true);
        break;
    default: break;
    }
    updateSuspendInhibitor();
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

// ---- power --------------------------------------------------------------------------------------

bool CardMonitor::wouldDenySuspend() const
{
    return m_callState != 0 || m_connectionState != 0 ||
           (BusinessLogic() != nullptr && UssdIsBusy()) || m_view.isBusy() ||
           FileStore().allConfig().forbidStandby != 0;
}

void CardMonitor::updateSuspendInhibitor()
{
    if (m_power)
        m_power->setSuspendDenied(wouldDenySuspend());
}

void CardMonitor::watchPowerEvents()
{
    if (m_power)
        return;
    m_power = std::make_unique<PowerEvents>([this](uint32_t event) { powerEvent(event); });
    if (!m_power->start()) {
        m_power.reset();
        return;
    }
    updateSuspendInhibitor();
}

intptr_t CardMonitor::powerEvent(uint32_t event)
{
    switch (event) {
    case PowerEvents::kQuerySuspend: return wouldDenySuspend() ? kPowerDeny : 1;
    case PowerEvents::kSuspend:
        _MEC_disableCheckCard();
        _MEC_Poweroff(0);
        applyCardState(kCardAbsent);
        return 1;
    case PowerEvents::kQuerySuspendFailed:
    case PowerEvents::kResumeCritical:
    case PowerEvents::kResumeSuspend:
    case PowerEvents::kResumeAutomatic: _MEC_enableCheckCard(); return 1;
    default: return 1;
    }
}
