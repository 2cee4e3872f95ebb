#include "NetworkStatus.h"

#include "RecordFields.h"
#include "TrayNotices.h"

#include "logic/BL_Base.h"
#include "platform/ResStringManager.h"

#include "lumacore.h"

#include <cstddef>

using monitor::ansi;
using monitor::fieldOf;
using platform::GetLanguageString;

namespace {

// Timer intervals (ms).
constexpr int kRssiFirstInterval = 1500;
constexpr int kRssiInterval = 5000;
constexpr int kNoServiceInterval = 1000;
constexpr int kSpnInterval = 10000;

// Ticks of Timer_NoService before the network is read again.
constexpr int kNoServiceTicks = 11;
// Signal polls at the quick interval after a reset.
constexpr int kQuickSignalPolls = 4;

// The service-provider name on the SIM (EF-SPN), read from its second byte on.
constexpr uint8_t kReadBinary = 176;
constexpr uint16_t kFileSpn = 28486;

}  // namespace

NetworkStatus::NetworkStatus(CardView &view, TrayNotices &tray) : m_view(view), m_tray(tray)
{
    const struct {
        QTimer *timer;
        const char *name;
        int interval;
        void (NetworkStatus::*tick)();
    } timers[] = {
        {&Timer_RSSI, "Timer_RSSI", kRssiInterval, &NetworkStatus::Timer_RSSITimer},
        {&Timer_NoService, "Timer_NoService", kNoServiceInterval,
         &NetworkStatus::Timer_NoServiceTimer},
        {&TimerSpn, "TimerSpn", kSpnInterval, &NetworkStatus::TimerSpnTimer},
    };
    for (const auto &entry : timers) {
        entry.timer->setObjectName(QLatin1String(entry.name));
        entry.timer->setInterval(entry.interval);
        connect(entry.timer, &QTimer::timeout, this, entry.tick);
    }
}

void NetworkStatus::resetSignal()
{
    Timer_RSSI.stop();
    Timer_RSSI.setInterval(kRssiFirstInterval);
    m_signalPolls = 0;
    m_signalLevel = 0;
    m_signalPresent = false;
    m_view.setSignalBars(0);
}

void NetworkStatus::resetNetwork()
{
    m_view.setDomain(QString());
    m_view.setDomainHint(QString());
    m_view.setNetworkType(GetLanguageString(1082));
    m_inService = false;
    m_operatorText = GetLanguageString(1084);
    m_view.setOperatorName(m_operatorText);
    m_roaming = false;
    m_view.setRoaming(QString(), QString());
}

void NetworkStatus::stopTimers()
{
    Timer_NoService.stop();
    m_noServiceTicks = 0;
    TimerSpn.stop();
}

void NetworkStatus::startReadingProviderName()
{
    TimerSpn.start(kSpnInterval);
    m_operatorText.clear();
    m_view.setOperatorName(QString());
    SetServiceProviderName(std::string());
}

void NetworkStatus::TimerSpnTimer()
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

void NetworkStatus::readNetworkStatus(bool fromNoServiceTimer)
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

void NetworkStatus::readOperator()
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

void NetworkStatus::applyRoaming(const std::string &text)
{
    if (text == "ROAM_ON") {
        m_roaming = true;
        m_view.setRoaming(QStringLiteral("R"), GetLanguageString(1086));
    } else if (text == "ROAM_OFF" || text.empty()) {
        m_roaming = false;
        m_view.setRoaming(QString(), QString());
    }
}

int NetworkStatus::signalBars(int csq, bool inService)
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

void NetworkStatus::pollSignal()
{
    uint8_t value = 0;
    const int csq = _MEC_GetCsq(&value) == MEC_OK ? int(value) : -1;
    if (++m_signalPolls == kQuickSignalPolls)
        Timer_RSSI.setInterval(kRssiInterval);
    showSignal(signalBars(csq, m_inService));
}

void NetworkStatus::showSignal(int level)
{
    m_signalLevel = level;
    m_signalPresent = level != 0;
    m_view.setSignalBars(level);
    m_tray.showSignalInTray(level);
}

void NetworkStatus::Timer_RSSITimer() { pollSignal(); }

void NetworkStatus::serviceText(const std::string &text)
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
void NetworkStatus::startNoServiceTimer()
{
    if (m_noServiceTicks == 0 && !Timer_NoService.isActive())
        Timer_NoService.start(kNoServiceInterval);
}

void NetworkStatus::Timer_NoServiceTimer()
{
    if (++m_noServiceTicks < kNoServiceTicks)
        return;
    m_noServiceTicks = 0;
    readNetworkStatus(true);
    readOperator();
    Timer_NoService.stop();
}

void NetworkStatus::operatorRecord(const _MEC_ZDON_RECORD &record)
{
    const std::string name = fieldOf(record.operatorName, sizeof record.operatorName);
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

    applyRoaming(fieldOf(record.roaming, sizeof record.roaming));

    const std::string domain = fieldOf(record.serviceDomain, sizeof record.serviceDomain);
    if (domain == "CS_ONLY" || domain == "PS_ONLY" || domain == "CS_PS") {
        m_view.setDomain(domain == "CS_ONLY"   ? QStringLiteral("C")
                         : domain == "PS_ONLY" ? QStringLiteral("P")
                                               : QStringLiteral("P C"));
        m_view.setDomainHint(GetLanguageString(1073));
    } else {
        m_view.setDomainHint(QString());
    }
}
