#include "Engine.h"

#include "ModemManagerInhibitor.h"
#include "Status.h"
#include "VirtualCard.h"

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
    : m_timings(timings), m_modemManager(std::make_unique<ModemManagerInhibitor>())
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

    auto ports = listUsbSerialPorts();
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

    auto channel =
        std::make_shared<AtChannel>(std::move(port.fd), path, [this](AtUnsolicited code) {
            m_events->post([this, code = std::move(code)] { onUnsolicited(code); });
        });
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
        AtResponse response = channel.run(command, m_timings.forCommand(command));
        if (!response.ok())
            refused.insert(command);
        return response.ok();
    };
    setUp("ATE0");
    setUp("AT+CMEE=1");
    setUp("AT+CMGF=0");
    setUpReports(channel, refused);
    setUp("AT+CLIP=1");
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
        AtResponse response = channel.run(command, m_timings.forCommand(command));
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
    return current->run(command, timeout);
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
    LumacoreWindowSink *sink = nullptr;
    {
        std::lock_guard lock(m_mutex);
        sink = m_sink;
    }
    if (sink && sink->post)
        sink->post(sink->context, message, wParam, lParam, nullptr, 0);
}

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
    if (auto rest = afterPrefix(line, "+CMTI:")) {
        // A new message stored on the SIM ("SM") or in the card ("ME").
        auto fields = splitFields(*rest);
        if (fields.size() == 2)
            if (auto index = parseInteger(fields[1].text); index && *index >= 0 && *index <= 0xFFFF)
                if (auto callback = callbacks().smsArriveNew.load())
                    callback(fields[0].text == "SM" ? 0 : 1, static_cast<uint16_t>(*index));
    }
}

}  // namespace lumacore
