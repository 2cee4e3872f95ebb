// The presence watch: notices the card going (its port's device node vanishing; read errors
// are noticed by the channel itself), finds it again when it comes back, and polls the SIM's
// message store until it answers after the PIN. Runs on a thread of its own; the callbacks it
// causes run on the event thread.
#include "Engine.h"
#include "Toolkit.h"
#include "PortRoles.h"

#include "Status.h"
#include "VoiceCalls.h"

#include <sys/stat.h>

namespace lumacore {

namespace {

bool deviceExists(const std::string &path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

// Cards without +CPMS: the SIM answering its IMSI shows it is ready.
bool storeCommandMissing(const AtResponse &response)
{
    return response.status == kStatusError || response.status == kStatusCmeBase + 3 ||
           response.status == kStatusCmeBase + 4;
}

}  // namespace

uint16_t Engine::testStore()
{
    if (uint16_t status = channelStatus(); status != kStatusOk)
        return status;
    bool missing = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_storeReady)
            return kStatusOk;
        missing = m_storeCommandMissing;
    }
    if (!missing) {
        AtResponse response = run("AT+CPMS?");
        if (response.ok() && response.line("+CPMS:") &&
            parseCpmsQueryResponse(*response.line("+CPMS:"))) {
            setStoreReady();
            return kStatusOk;
        }
        if (!storeCommandMissing(response))
            return response.ok() ? kStatusError : response.status;
        std::lock_guard lock(m_mutex);
        m_storeCommandMissing = true;
    }
    uint16_t status = run("AT+CIMI").status;
    if (status == kStatusOk)
        setStoreReady();
    return status;
}

bool Engine::storeReady() const
{
    std::lock_guard lock(m_mutex);
    return m_storeReady;
}

void Engine::setStoreReady()
{
    std::lock_guard lock(m_mutex);
    m_storeReady = m_simUsable;
}

void Engine::watchLoop()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_watchWake.wait_for(lock, m_timings.watchInterval);
        if (m_stopping)
            break;
        lock.unlock();
        watchTick();
        m_voice->watchTick();
        ++m_watchRounds;
        lock.lock();
    }
}

void Engine::watchTick()
{
    std::shared_ptr<AtChannel> current;
    std::string path;
    bool answers = false;
    bool dialing = false;
    bool pollRegistration = false;
    std::chrono::steady_clock::time_point networkReadAt;
    {
        std::lock_guard lock(m_mutex);
        if (m_checkPaused)
            return;
        current = m_channel;
        path = m_portPath;
        answers = m_cardAnswers;
        dialing = m_dialing;
        pollRegistration = m_pollRegistration && m_simUsable;
        networkReadAt = m_networkReadAt;
    }

    if (current && current->alive()) {
        if (!deviceExists(current->path())) {
            // The node went before a read could fail (some drivers): the same as a read error.
            current->close();
            m_events->post([this, current] { onPortLost(current); });
            return;
        }
        if (current->unresponsive()) {
            // The card stopped answering: programs' calls fail at once meanwhile, and only this
            // cheap probe goes to the card until it talks again.
            if (dialing)
                return;
            AtResponse hello = current->probe(m_timings.probe);
            if (hello.status == kStatusTimeout || hello.status == kStatusNoCard)
                return;
            // What it reported while silent may be lost: the network is read afresh.
            networkChanged();
            if (answers)
                refreshNetwork(true);
        }
        if (!answers && !dialing) {
            // The port is open but the card was silent: try again, and announce it once it talks.
            if (initialiseCard(*current) == kStatusOk) {
                {
                    std::lock_guard lock(m_mutex);
                    if (m_channel != current)
                        return;
                    m_cardAnswers = true;
                }
                refreshNetwork(false);
                m_events->post([this] { fireMeState(1); });
            }
            return;
        }
        if (answers)
            pollSimReady();
        if (answers && pollRegistration && !dialing &&
            std::chrono::steady_clock::now() - networkReadAt >= m_timings.registrationPoll)
            refreshNetwork(true);  // the card will not report its registration
        return;
    }

    if (dialing)
        return;
    // No card: look for it where it was, or (when probing) on ports that newly appeared.
    std::vector<std::string> candidates;
    if (!m_configuredPort.empty() || !path.empty()) {
        if (deviceExists(path))
            candidates.push_back(path);
    }
    if (m_configuredPort.empty()) {
        auto ports = controlPortCandidates();
        std::lock_guard lock(m_mutex);
        for (const auto &port : ports) {
            if (m_knownPorts.insert(port).second && port != path)
                candidates.push_back(port);
        }
        // A port that vanished may come back under the same name: forget it, try it then.
        for (auto it = m_knownPorts.begin(); it != m_knownPorts.end();)
            it = deviceExists(*it) ? std::next(it) : m_knownPorts.erase(it);
    }
    for (const auto &candidate : candidates) {
        if (connect(candidate, m_configuredPort.empty()) == kStatusOk) {
            m_events->post([this] { fireMeState(1); });
            return;
        }
        // A port that opened but stays silent is kept; the next tick asks it again.
        if (channel())
            return;
    }
}

void Engine::pollSimReady()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_simUsable || m_simReadyPosted || !m_sink || m_dialing)
            return;
    }
    if (testStore() != kStatusOk)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_simReadyPosted)
            return;
        m_simReadyPosted = true;
    }
    postToSink(MEC_MSG_SIM_READY, 2, 0);
}

void Engine::onPortLost(const std::shared_ptr<AtChannel> &lost)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_channel != lost)
            return;  // an old port, already replaced
        m_channel.reset();
        forgetStableAnswers();
        m_toolkit->forget();
        m_cardAnswers = false;
        m_simUsable = false;
        m_simReadyPosted = false;
        m_storeReady = false;
        m_reportsOn = false;
        m_networkKnown = false;
        m_network.clear();
        m_firedServiceText.clear();
        m_firedOperator.reset();
    }
    m_voice->cardLost();
    fireMeState(2);
}

void Engine::fireMeState(uint8_t state)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_checkPaused || state == m_firedMeState)
            return;
        m_firedMeState = state;
    }
    if (auto callback = callbacks().meStateChanged.load())
        callback(state);
}

void Engine::setCheckPaused(bool paused)
{
    bool resumed = false;
    {
        std::lock_guard lock(m_mutex);
        resumed = m_checkPaused && !paused;
        m_checkPaused = paused;
        // After a pause (a system suspend) the program has shown the card as gone; whatever the
        // card's state now, it is news again.
        if (resumed)
            m_firedMeState = 0;
    }
    if (resumed) {
        m_events->post([this] { fireMeState(cardPresent() ? 1 : 2); });
        m_watchWake.notify_all();
    }
}

void Engine::setDialing(bool dialing)
{
    std::lock_guard lock(m_mutex);
    m_dialing = dialing;
}

void Engine::setSimUsable(bool usable)
{
    std::lock_guard lock(m_mutex);
    m_simUsable = usable;
    if (!usable) {
        forgetStableAnswers();
        m_simReadyPosted = false;
        m_storeReady = false;
    }
}

}  // namespace lumacore
