#include "Engine.h"

#include "PortRoles.h"

#include "ModemManagerInhibitor.h"
#include "Status.h"
#include "Toolkit.h"
#include "VirtualCard.h"
#include "VoiceCalls.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumacore {

namespace {

std::mutex g_engineMutex;
std::shared_ptr<Engine> g_engine;

std::mutex g_timingsMutex;
std::optional<EngineTimings> g_timings;

long environmentNumber(const char *name)
{
    const char *value = std::getenv(name);
    if (!value || !*value)
        return 0;
    char *end = nullptr;
    long number = std::strtol(value, &end, 10);
    return *end == '\0' && number > 0 ? number : 0;
}

}  // namespace

EngineTimings EngineTimings::fromEnvironment()
{
    EngineTimings timings;
    if (long command = environmentNumber("LUMACORE_TIMEOUT_MS")) {
        timings.command = std::chrono::milliseconds(command);
        timings.statusRead = std::min(timings.statusRead, timings.command);
        timings.probe = std::min(timings.probe, timings.command);
    }
    if (long watch = environmentNumber("LUMACORE_WATCH_MS"))
        timings.watchInterval = std::chrono::milliseconds(watch);
    return timings;
}

std::chrono::milliseconds EngineTimings::forCommand(std::string_view commandLine) const
{
    std::string line(commandLine);
    std::transform(line.begin(), line.end(), line.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    auto startsWith = [&](std::string_view prefix) { return line.rfind(prefix, 0) == 0; };
    // A search, or a registration by hand, waits for the radio to scan the bands.
    if (line.find("+COPS=?") != std::string::npos ||
        (startsWith("AT+COPS=") && !startsWith("AT+COPS=3,")))
        return networkSearch;
    if (startsWith("ATD") || startsWith("AT+CMGS") || startsWith("AT+CUSD=1,"))
        return send;
    // Answers the card has at hand: a read ("?") that sets nothing, and the plain queries.
    static const std::array<std::string_view, 11> reads{
        "AT",      "ATE0",    "AT+CSQ",   "AT+CIMI", "AT+CGSN",    "AT+CGMR",
        "AT+CGMM", "AT+CGMI", "AT+CPINR", "AT+CLCC", "AT+CRSM=242"};
    bool plainRead = !line.empty() && line.back() == '?' && line.find('=') == std::string::npos &&
                     line.find(';') == std::string::npos;
    if (plainRead || std::find(reads.begin(), reads.end(), line) != reads.end())
        return std::min(statusRead, command);
    return command;
}

Callbacks &callbacks()
{
    static Callbacks registered;
    return registered;
}

void setEngineTimings(const EngineTimings &timings)
{
    std::lock_guard lock(g_timingsMutex);
    g_timings = timings;
}

EngineTimings engineTimings()
{
    std::lock_guard lock(g_timingsMutex);
    return g_timings ? *g_timings : EngineTimings::fromEnvironment();
}

Engine::Engine(EngineTimings timings)
    : m_timings(timings),
      m_modemManager(std::make_unique<ModemManagerInhibitor>()),
      m_toolkit(std::make_unique<ToolkitSession>()),
      m_voice(std::make_unique<VoiceCalls>(*this))
{
}

Engine::~Engine() { stop(); }

std::shared_ptr<Engine> Engine::current()
{
    std::lock_guard lock(g_engineMutex);
    return g_engine;
}

uint16_t Engine::startup()
{
    std::lock_guard lock(g_engineMutex);
    if (g_engine)
        return g_engine->cardPresent() ? kStatusOk : kStatusNoCard;
    auto engine = std::make_shared<Engine>(engineTimings());
    uint16_t status = engine->start();
    // Without a card the engine still runs: the watch announces the card when it comes.
    g_engine = std::move(engine);
    return status;
}

uint16_t Engine::shutdown()
{
    std::shared_ptr<Engine> engine;
    {
        std::lock_guard lock(g_engineMutex);
        if (g_engine && g_engine->m_events && g_engine->m_events->isCurrent())
            return kStatusError;  // not from inside a callback: the event thread would wait on
                                  // itself
        engine = std::move(g_engine);
    }
    if (engine)
        engine->stop();
    return kStatusOk;
}

uint16_t Engine::start()
{
    m_events = std::make_unique<EventThread>();
    const char *configured = std::getenv("LUMACORE_PORT");
    m_configuredPort = configured ? configured : "";
    uint16_t status = kStatusOk;
    if (m_configuredPort == "virtual") {
        m_virtualCard = VirtualCard::start();
        if (!m_virtualCard) {
            std::lock_guard lock(m_mutex);
            m_lastError = "the virtual data card could not be started";
            status = kStatusNoCard;
        } else {
            std::lock_guard lock(m_mutex);
            m_portPath = m_virtualCard->portPath();
        }
    } else if (!m_configuredPort.empty()) {
        std::lock_guard lock(m_mutex);
        m_portPath = m_configuredPort;
    }
    if (status == kStatusOk)
        status = findAndConnect();
    if (status != kStatusOk) {
        std::lock_guard lock(m_mutex);
        if (!m_lastError.empty())
            std::fprintf(stderr, "lumacore: %s\n", m_lastError.c_str());
    }
    m_watch = std::thread([this] { watchLoop(); });
    return status;
}

void Engine::stop()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_stopping = true;
    }
    m_watchWake.notify_all();
    if (m_watch.joinable())
        m_watch.join();
    std::shared_ptr<AtChannel> channel;
    {
        std::lock_guard lock(m_mutex);
        channel = std::move(m_channel);
        m_sink = nullptr;
    }
    if (channel)
        channel->close();
    channel.reset();
    if (m_events)
        m_events->stop();  // runs what is still queued, then joins; posts from now on are dropped
    m_modemManager.reset();
    m_virtualCard.reset();
}

std::shared_ptr<AtChannel> Engine::channel() const
{
    std::lock_guard lock(m_mutex);
    return m_channel;
}

uint16_t Engine::channelStatus() const
{
    auto current = channel();
    if (!current || !current->alive())
        return kStatusNoCard;
    return current->unresponsive() ? kStatusTimeout : kStatusOk;
}

uint16_t Engine::findAndConnect()
{
    std::string path;
    {
        std::lock_guard lock(m_mutex);
        path = m_portPath;
    }
    if (!m_configuredPort.empty())
        return connect(path, true);

    // A card's modem port is left for the data connection.
    auto ports = controlPortCandidates();
    {
        std::lock_guard lock(m_mutex);
        m_knownPorts.insert(ports.begin(), ports.end());
    }
    uint16_t status = kStatusNoCard;
    std::string errors;
    for (const auto &port : ports) {
        uint16_t result = connect(port, true);
        if (result == kStatusOk)
            return result;
        // A busy port says more than a silent one: report that.
        if (status != kStatusPortBusy)
            status = result == kStatusPortBusy ? kStatusPortBusy : kStatusNoCard;
        std::lock_guard lock(m_mutex);
        errors += (errors.empty() ? "" : "; ") + m_lastError;
    }
    std::lock_guard lock(m_mutex);
    m_lastError = ports.empty() ? "no USB serial port found" : errors;
    return status;
}

uint16_t Engine::connect(const std::string &path, bool firstStart)
{
    bool inhibited = m_modemManager && m_modemManager->inhibitModemOf(path);
    PortOpenResult port = openControlPort(path);
    // ModemManager lets go of the ports a moment after it agreed to.
    for (int attempt = 0; inhibited && port.status == kStatusPortBusy && attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        port = openControlPort(path);
    }
    if (port.status != kStatusOk) {
        if (inhibited)
            m_modemManager->release();
        std::lock_guard lock(m_mutex);
        m_lastError = port.message;
        if (port.status == kStatusPortBusy && m_modemManager && !m_modemManager->message().empty())
            m_lastError += " (" + m_modemManager->message() + ")";
        return port.status;
    }

    auto channel = std::make_shared<AtChannel>(
        std::move(port.fd), path,
        [this](AtUnsolicited code) {
            m_events->post([this, code = std::move(code)] { onUnsolicited(code); });
        },
        std::move(port.waitFd));
    // The loss handler needs the channel itself, to tell a stale loss from the current port.
    std::weak_ptr<AtChannel> weak = channel;
    uint16_t status = initialiseCard(*channel);
    // A time-out and a port that went away are told apart; a card that answers ERROR answers.
    std::string failure =
        status == kStatusTimeout
            ? path + " does not answer AT in time (status 7001)"
            : path + " went away while it was set up (status " + std::to_string(status) + ")";
    if (status != kStatusOk && firstStart && m_configuredPort.empty()) {
        // While probing, a port that does not answer is not the card.
        if (inhibited)
            m_modemManager->release();
        std::lock_guard lock(m_mutex);
        m_lastError = failure;
        return status;
    }
    {
        std::lock_guard lock(m_mutex);
        m_channel = channel;
        forgetStableAnswers();
        m_portPath = path;
        m_cardAnswers = status == kStatusOk;
        m_simUsable = false;
        m_simReadyPosted = false;
        m_storeReady = false;
        m_networkKnown = false;
        if (status != kStatusOk)
            m_lastError = failure;
        else
            m_lastError.clear();
    }
    // From here a loss of the port is news for the program.
    struct LossNotice {
        Engine *engine;
        std::weak_ptr<AtChannel> channel;
    };
    auto notice = std::make_shared<LossNotice>(LossNotice{this, weak});
    channel->setLostHandler([notice] {
        notice->engine->m_events->post([notice] {
            if (auto lost = notice->channel.lock())
                notice->engine->onPortLost(lost);
        });
    });
    if (status == kStatusOk)
        refreshNetwork(false);
    return status;
}

AtResponse Engine::runSetUpCommand(AtChannel &channel, const char *command)
{
    AtResponse response = channel.run(command, m_timings.forCommand(command));
    if (response.status != kStatusTimeout)
        return response;
    // Firmware that swallows one set-up command without a word, yet answers AT: the command
    // counts as refused and the set-up goes on, rather than failing on every later attempt.
    AtResponse hello = channel.probe(m_timings.probe);
    if (hello.status != kStatusTimeout && hello.status != kStatusNoCard)
        response.status = kStatusError;
    return response;
}

uint16_t Engine::initialiseCard(AtChannel &channel)
{
    AtResponse hello = channel.probe(m_timings.probe);
    if (hello.status == kStatusTimeout)
        hello = channel.probe(m_timings.probe);
    if (hello.status == kStatusTimeout || hello.status == kStatusNoCard)
        return hello.status;
    if (!hello.ok()) {
        // ERROR or +CME ERROR to a bare AT is still a card: left-over input on the line, or
        // firmware that wants more than AT. The next line starts clean; go on either way.
        if (AtResponse again = channel.probe(m_timings.probe); again.status == kStatusNoCard)
            return kStatusNoCard;
    }

    std::set<std::string> refused;
    auto setUp = [&](const char *command) {
        AtResponse response = runSetUpCommand(channel, command);
        if (!response.ok())
            refused.insert(command);
        return response.ok();
    };
    setUp("ATE0");
    setUp("AT+CMEE=1");
    setUp("AT+CMGF=0");
    setUpReports(channel, refused);
    setUp("AT+CLIP=1");
    setUp("AT+CCWA=1");
    setUp("AT+CRC=1");
    setUp("AT+CUSD=1");
    setUp("AT+CMER=3,0,0,1");
    if (!channel.alive())
        return kStatusNoCard;
    // It stopped answering half-way: the watch sets it up again once it talks.
    if (channel.unresponsive())
        return kStatusTimeout;
    std::lock_guard lock(m_mutex);
    m_refused = std::move(refused);
    return kStatusOk;
}

uint16_t Engine::setUpReports(AtChannel &channel, std::set<std::string> &refused)
{
    auto accepted = [&](const char *command) {
        AtResponse response = runSetUpCommand(channel, command);
        if (!response.ok())
            refused.insert(command);
        return response.ok();
    };
    // Location and technology in the reports where the card can, the plain state otherwise.
    bool circuit = accepted("AT+CREG=2") || accepted("AT+CREG=1");
    bool packet = accepted("AT+CGREG=2") || accepted("AT+CGREG=1");
    bool eps = accepted("AT+CEREG=2") || accepted("AT+CEREG=1");
    // New stored SMS as +CMTI; cell broadcasts and status reports straight to us.
    accepted("AT+CNMI=2,1,2,1,0");
    if (!channel.alive())
        return kStatusNoCard;
    if (channel.unresponsive())
        return kStatusTimeout;
    std::lock_guard lock(m_mutex);
    m_pollRegistration = !circuit;
    m_hasEps = eps;
    m_reportsOn = true;
    (void)packet;
    return kStatusOk;
}

uint16_t Engine::setReports(bool on)
{
    auto current = channel();
    if (!current)
        return kStatusNoCard;
    if (on) {
        {
            std::lock_guard lock(m_mutex);
            if (m_reportsOn)
                return kStatusOk;
        }
        std::set<std::string> refused;
        return setUpReports(*current, refused);
    }
    bool eps = false;
    {
        std::lock_guard lock(m_mutex);
        m_reportsOn = false;
        eps = m_hasEps;
    }
    uint16_t status = run("AT+CREG=0").status;
    run("AT+CGREG=0");
    if (eps)
        run("AT+CEREG=0");
    run("AT+CNMI=0,0,0,0,0");
    return status;
}

uint16_t Engine::probe()
{
    auto current = channel();
    if (!current)
        return kStatusNoCard;
    AtResponse hello = current->probe(m_timings.probe);
    return hello.status == kStatusTimeout || hello.status == kStatusNoCard ? hello.status
                                                                           : kStatusOk;
}

AtResponse Engine::run(std::string_view command)
{
    return run(command, m_timings.forCommand(command));
}

AtResponse Engine::run(std::string_view command, std::chrono::milliseconds timeout)
{
    auto current = channel();
    if (!current) {
        AtResponse response;
        response.status = kStatusNoCard;
        return response;
    }
    uint64_t generation = 0;
    {
        std::lock_guard lock(m_mutex);
        // What is known is only given out while the card is there and answering.
        if (current->alive() && !current->unresponsive()) {
            if (auto known = m_stable.answerFor(command))
                return *known;
        }
        generation = m_stableGeneration;
    }
    AtResponse response = current->run(command, timeout);
    std::lock_guard lock(m_mutex);
    if (generation == m_stableGeneration && m_channel == current)
        m_stable.noteAnswer(command, response);
    return response;
}

std::optional<PhonebookRange> Engine::phonebookRange(const std::string &book) const
{
    std::lock_guard lock(m_mutex);
    return m_stable.phonebookRange(book);
}

std::optional<int> Engine::messageCapacity(const std::string &memory) const
{
    std::lock_guard lock(m_mutex);
    return m_stable.messageCapacity(memory);
}

bool Engine::messageStoragesListed() const
{
    std::lock_guard lock(m_mutex);
    return m_stable.messageStoragesListed();
}

void Engine::forgetStableAnswers()
{
    m_stable.forget();
    ++m_stableGeneration;
}

AtResponse Engine::runWithPdu(std::string_view command, std::string_view pdu)
{
    auto current = channel();
    if (!current) {
        AtResponse response;
        response.status = kStatusNoCard;
        return response;
    }
    return current->runWithPdu(command, pdu, m_timings.send);
}

bool Engine::cardPresent() const
{
    std::lock_guard lock(m_mutex);
    return m_channel && m_channel->alive() && m_cardAnswers;
}

std::string Engine::portPath() const
{
    std::lock_guard lock(m_mutex);
    return m_portPath;
}

std::string Engine::dataPort() const
{
    if (const char *named = std::getenv("LUMACORE_DATA_PORT"); named && *named)
        return named;
    const std::string control = portPath();
    if (control.empty())
        return {};
    if (m_virtualCard)
        return control + "-data";
    std::string data = dataPortFor(control);
    return data.empty() ? control : data;
}

std::string Engine::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

bool Engine::refusedAtStartup(const std::string &command) const
{
    std::lock_guard lock(m_mutex);
    return m_refused.count(command) != 0;
}

void Engine::setSink(LumacoreWindowSink *sink)
{
    std::lock_guard lock(m_mutex);
    m_sink = sink;
}

void Engine::postToSink(uint32_t message, uint32_t wParam, uint32_t lParam)
{
    postToSink(message, wParam, lParam, nullptr, 0);
}

void Engine::postToSink(uint32_t message, uint32_t wParam, uint32_t lParam, const void *data,
                        size_t size)
{
    LumacoreWindowSink *sink = nullptr;
    {
        std::lock_guard lock(m_mutex);
        sink = m_sink;
    }
    if (sink && sink->post)
        sink->post(sink->context, message, wParam, lParam, data, size);
}

}  // namespace lumacore
