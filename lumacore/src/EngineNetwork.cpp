// The engine's knowledge of the network: read from the card when something happened (a change
// of radio, SIM or port, or the poll of a card that will not report), kept current in between by
// the card's own +CREG / +CGREG / +CEREG reports, and announced to the program when it changes.
#include "Engine.h"
#include "Toolkit.h"

#include "CallsUssd.h"
#include "SmsReports.h"
#include "Status.h"
#include "VoiceCalls.h"

#include <cstring>

namespace lumacore {

NetworkState Engine::network() const
{
    std::lock_guard lock(m_mutex);
    return m_network;
}

uint16_t Engine::refreshNetwork(bool announce)
{
    std::lock_guard refresh(m_refreshMutex);
    uint16_t status = readNetwork();
    if (status == kStatusOk)
        announceOrAdopt(announce);
    return status;
}

uint16_t Engine::ensureNetworkFresh()
{
    if (uint16_t status = channelStatus(); status != kStatusOk)
        return status;
    std::lock_guard refresh(m_refreshMutex);
    {
        std::lock_guard lock(m_mutex);
        auto age = std::chrono::steady_clock::now() - m_networkReadAt;
        auto maximum = m_pollRegistration ? m_timings.registrationPoll : m_timings.networkMaxAge;
        bool operatorMissing = m_network.registered() && m_network.operatorStale();
        if (m_networkKnown && age < maximum && !operatorMissing)
            return kStatusOk;
    }
    uint16_t status = readNetwork();
    if (status == kStatusOk)
        announceOrAdopt(false);
    return status;
}

void Engine::networkChanged()
{
    std::lock_guard lock(m_mutex);
    m_networkKnown = false;
}

uint16_t Engine::readNetwork()
{
    bool eps = false;
    {
        std::lock_guard lock(m_mutex);
        eps = m_hasEps;
    }
    // Each answer may carry a report the card slipped in: the line shaped as the answer counts.
    auto read = [&](const char *command, const char *prefix, std::optional<Registration> &into) {
        AtResponse response = run(command);
        if (response.ok())
            into = parseRegistrationAnswer(response.lines, prefix);
        return response.status;
    };
    std::optional<Registration> circuit;
    std::optional<Registration> packet;
    std::optional<Registration> evolved;
    uint16_t circuitStatus = read("AT+CREG?", "+CREG:", circuit);
    if (circuitStatus == kStatusNoCard || circuitStatus == kStatusTimeout)
        return circuitStatus;
    if (uint16_t status = read("AT+CGREG?", "+CGREG:", packet);
        status == kStatusNoCard || status == kStatusTimeout)
        return status;
    if (eps) {
        if (uint16_t status = read("AT+CEREG?", "+CEREG:", evolved);
            status == kStatusNoCard || status == kStatusTimeout)
            return status;
    }
    if (!circuit && !packet && !evolved)
        return circuitStatus == kStatusOk ? kStatusError : circuitStatus;
    {
        std::lock_guard lock(m_mutex);
        if (circuit)
            m_network.setCircuitSwitched(*circuit);
        if (packet)
            m_network.setPacketSwitched(*packet);
        if (evolved)
            m_network.setEvolvedPacket(*evolved);
        m_networkKnown = true;
        m_networkReadAt = std::chrono::steady_clock::now();
    }
    return readOperator();
}

uint16_t Engine::readOperator()
{
    bool chainsRefused = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_network.registered())
            return kStatusOk;
        chainsRefused = m_chainsRefused;
    }
    auto take = [&](const AtResponse &response) {
        for (const auto &line : response.lines)
            if (auto query = parseCopsQueryResponse(line)) {
                std::lock_guard lock(m_mutex);
                m_network.setOperator(*query);
            }
    };
    // The operator's long name, then its MCC+MNC, in one line where the card takes chains.
    if (!chainsRefused) {
        AtResponse response = run("AT+COPS=3,0;+COPS?;+COPS=3,2;+COPS?");
        if (response.ok()) {
            take(response);
            return kStatusOk;
        }
        if (response.status == kStatusNoCard || response.status == kStatusTimeout)
            return response.status;
        std::lock_guard lock(m_mutex);
        m_chainsRefused = true;
    }
    // One command a line; such cards often name the operator only once the format was set by
    // a command of its own.
    for (const char *format : {"AT+COPS=3,0", "AT+COPS=3,2"}) {
        AtResponse set = run(format);
        if (set.status == kStatusNoCard || set.status == kStatusTimeout)
            return set.status;
        AtResponse query = run("AT+COPS?");
        if (query.status == kStatusNoCard || query.status == kStatusTimeout)
            return query.status;
        if (query.ok())
            take(query);
    }
    return kStatusOk;
}

void Engine::announceOrAdopt(bool announce)
{
    if (!announce) {
        // What the program reads for itself is not news.
        std::lock_guard lock(m_mutex);
        m_firedServiceText = m_network.serviceText();
        m_firedOperator = m_network.operatorRecord();
        return;
    }
    if (m_events && !m_events->isCurrent())
        m_events->post([this] { fireNetworkChanges(); });
    else
        fireNetworkChanges();
}

void Engine::fireNetworkChanges()
{
    std::string text;
    _MEC_ZDON_RECORD record{};
    bool textChanged = false;
    bool recordChanged = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_cardAnswers)
            return;
        text = m_network.serviceText();
        record = m_network.operatorRecord();
        textChanged = text != m_firedServiceText;
        recordChanged =
            !m_firedOperator || std::memcmp(&*m_firedOperator, &record, sizeof record) != 0;
        m_firedServiceText = text;
        m_firedOperator = record;
    }
    if (textChanged)
        if (auto callback = callbacks().zpasNotify.load())
            callback(text.c_str());
    if (recordChanged)
        if (auto callback = callbacks().zdonNotify.load())
            callback(&record);
}

void Engine::onUnsolicited(const AtUnsolicited &code)
{
    const std::string &line = code.line;
    std::optional<Registration> registration;
    int domain = 0;  // 0 circuit, 1 packet, 2 LTE
    if ((registration = parseCregResponse(line, false)))
        domain = 0;
    else if ((registration = parseCgregResponse(line, false)))
        domain = 1;
    else if ((registration = parseCeregResponse(line, false)))
        domain = 2;
    if (registration) {
        bool needOperator = false;
        {
            std::lock_guard lock(m_mutex);
            if (domain == 1)
                m_network.setPacketSwitched(*registration);
            else if (domain == 2)
                m_network.setEvolvedPacket(*registration);
            else
                m_network.setCircuitSwitched(*registration);
            needOperator = m_network.registered() && m_network.operatorStale();
        }
        if (needOperator) {
            // On this thread, so the callbacks below see the operator too; the report itself
            // told the registration, so only the operator is read.
            std::lock_guard refresh(m_refreshMutex);
            bool stillStale = false;
            {
                std::lock_guard lock(m_mutex);
                stillStale = m_network.registered() && m_network.operatorStale();
            }
            if (stillStale)
                readOperator();
        }
        fireNetworkChanges();
        return;
    }
    if (handleUssdReport(*this, code))
        return;
    if (m_toolkit->onUnsolicited(*this, code))
        return;
    if (m_voice->handleReport(code))
        return;
    handleSmsReport(*this, code);
}

}  // namespace lumacore
