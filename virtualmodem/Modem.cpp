#include "virtualmodem/Modem.h"

#include "virtualmodem/Network.h"
#include "virtualmodem/SimCard.h"
#include "virtualmodem/Sms.h"

#include <array>

namespace virtualmodem {

namespace {

// Longest command line the card takes; longer ones are answered with ERROR.
constexpr size_t kMaxLineLength = 2048;

// Stray output some cards send between answers: boot banners, noise on the line.
constexpr std::array<std::string_view, 4> kGarbageLines = {"\x7f\x1b[0m#@!", "RDY",
                                                           "\xfe\xff\xfe\xff", "~~~~~~~~"};

struct ErrorText {
    int code;
    const char *text;
};

constexpr std::array<ErrorText, 28> kCmeErrorTexts = {{
    {0, "phone failure"},
    {1, "no connection to phone"},
    {2, "phone-adaptor link reserved"},
    {3, "operation not allowed"},
    {4, "operation not supported"},
    {5, "PH-SIM PIN required"},
    {10, "SIM not inserted"},
    {11, "SIM PIN required"},
    {12, "SIM PUK required"},
    {13, "SIM failure"},
    {14, "SIM busy"},
    {15, "SIM wrong"},
    {16, "incorrect password"},
    {17, "SIM PIN2 required"},
    {18, "SIM PUK2 required"},
    {20, "memory full"},
    {21, "invalid index"},
    {22, "not found"},
    {23, "memory failure"},
    {24, "text string too long"},
    {25, "invalid characters in text string"},
    {26, "dial string too long"},
    {27, "invalid characters in dial string"},
    {30, "no network service"},
    {31, "network timeout"},
    {32, "network not allowed - emergency calls only"},
    {100, "unknown"},
    {134, "service option not supported"},
}};

// A command as the terminal wrote it, for the count of commands received.
std::string writtenForm(const AtCommand &command)
{
    switch (command.kind) {
    case AtKind::Set: return command.name + "=" + command.argument;
    case AtKind::Read: return command.name + "?";
    case AtKind::Test: return command.name + "=?";
    case AtKind::Execute: break;
    }
    return command.name + command.argument;
}

}  // namespace

Result Result::ok(std::vector<std::string> lines)
{
    Result result;
    result.lines = std::move(lines);
    return result;
}

Result Result::error()
{
    Result result;
    result.final = Final::Error;
    return result;
}

Result Result::cme(int code)
{
    Result result;
    result.final = Final::CmeError;
    result.code = code;
    return result;
}

Result Result::cms(int code)
{
    Result result;
    result.final = Final::CmsError;
    result.code = code;
    return result;
}

const char *cmeErrorText(int code)
{
    for (const auto &entry : kCmeErrorTexts) {
        if (entry.code == code)
            return entry.text;
    }
    return "unknown";
}

void CommandTable::add(const std::string &name, CommandHandler handler)
{
    m_handlers[name] = std::move(handler);
}

const CommandHandler *CommandTable::find(const std::string &name) const
{
    const auto found = m_handlers.find(name);
    return found == m_handlers.end() ? nullptr : &found->second;
}

Modem::Modem(ModemState initial, Now now) : m_state(std::move(initial)), m_now(std::move(now))
{
    registerCoreCommands(m_table);
    registerSimCommands(m_table);
    registerSimFileCommands(m_table);
    registerNetworkCommands(m_table);
    registerServiceCommands(m_table);
    registerMessagingCommands(m_table);
    registerPacketDataCommands(m_table);
    registerPhonebookCommands(m_table);
    registerToolkitCommands(m_table);
    registerSmsCommands(m_table);
    registerVoiceCommands(m_table);
    registerUssdCommands(m_table);
    powerUp();
}

void Modem::powerUp()
{
    m_state.settings = TerminalSettings{};
    m_state.settings.verbose = !m_state.quirks.has(Quirk::NumericResults);
    m_state.network.functionality = m_state.quirks.has(Quirk::RadioOff) ? 4 : 1;
    m_state.network.reportedCs = Registration{};
    m_state.network.reportedPs = Registration{};
    m_state.network.reportedEps = Registration{};
    m_state.ussd.menu.clear();  // the network forgets the dialogue of a card that went away
    powerUpSim(m_state.sim, now());
    m_state.voice.calls.clear();
    m_state.voice.soundPort = false;
    discardPending();
    refreshRegistration();
}

void Modem::receive(std::string_view bytes)
{
    m_input.append(bytes);
    process();
}

void Modem::process()
{
    while (!m_input.empty() && now() >= m_busyUntil) {
        const char c = m_input.front();
        m_input.erase(0, 1);
        consume(c);
    }
}

void Modem::consume(char c)
{
    if (m_state.quirks.silent)
        return;
    const TerminalSettings &settings = m_state.settings;
    if (settings.echo && !m_state.quirks.noEcho)
        schedule(std::string(1, c), {});
    if (m_pduEntry) {
        consumePdu(c);
        return;
    }

    const char carriageReturn = static_cast<char>(settings.sRegisters.at(3));
    const char backspace = static_cast<char>(settings.sRegisters.at(5));
    if (!m_collecting) {
        // Anything before the "AT" prefix is line noise and ignored.
        if (c == 'A' || c == 'a') {
            m_collecting = true;
            m_line = "A";
            m_lineTooLong = false;
        }
        return;
    }
    if (m_line.size() == 1) {
        if (c == '/') {
            // A/ repeats the last command line at once, without a terminator.
            m_collecting = false;
            executeLine(m_lastLine);
        } else if (c == 'T' || c == 't') {
            m_line = "AT";
        } else if (c != 'A' && c != 'a') {
            m_collecting = false;
        }
        return;
    }
    if (c == carriageReturn) {
        m_collecting = false;
        if (m_lineTooLong) {
            schedule(frameFinal(Result::error()), {});
            return;
        }
        const std::string body = m_line.substr(2);
        m_lastLine = body;
        executeLine(body);
        return;
    }
    if (c == backspace) {
        if (m_line.size() > 2)
            m_line.pop_back();
        return;
    }
    if (c == '\n')
        return;
    if (m_line.size() >= kMaxLineLength) {
        m_lineTooLong = true;
        return;
    }
    m_line.push_back(c);
}

void Modem::executeLine(const std::string &body)
{
    std::string answer;
    Result final = Result::ok();
    std::chrono::milliseconds delay{0};
    const auto commands = splitCommandLine(body);
    const bool bareAtRefused = body.empty() && m_state.quirks.has(Quirk::BareAtRefused);
    if (!commands || bareAtRefused ||
        (commands->size() > 1 && m_state.quirks.has(Quirk::NoChains))) {
        final = Result::error();
    } else {
        for (const AtCommand &command : *commands) {
            // Bounded: a card left running for days is sent ever new writes and reads.
            if (auto name = writtenForm(command); m_state.commandsReceived.size() < 4096 ||
                                                  m_state.commandsReceived.count(name) != 0)
                ++m_state.commandsReceived[name];
            if (m_state.quirks.mutedCommands.count(command.name) != 0)
                return;  // swallowed: no answer at all
            const CommandHandler *handler = m_table.find(command.name);
            if (handler == nullptr || m_state.quirks.missingCommands.count(command.name) != 0) {
                final = Result::error();
                break;
            }
            Result result = (*handler)(*this, command);
            delay += result.delay;
            answer += frameInformation(result.lines);
            if (result.pduEntry && result.final == Result::Final::Ok) {
                // The rest of the line waits for the message; the prompt goes out now.
                schedule(std::move(answer) + "\r\n> ", delay);
                m_pduEntry = std::move(result.pduEntry);
                m_pduInput.clear();
                return;
            }
            if (result.final != Result::Final::Ok) {
                final = std::move(result);
                break;
            }
        }
    }
    finishLine(std::move(answer), final, delay);
}

void Modem::consumePdu(char c)
{
    constexpr char kCtrlZ = 0x1A;
    constexpr char kEscape = 0x1B;
    if (c == kEscape) {
        m_pduEntry = nullptr;
        finishLine({}, Result::ok(), {});
        return;
    }
    if (c != kCtrlZ) {
        if (c != '\r' && c != '\n' && m_pduInput.size() < kMaxLineLength)
            m_pduInput.push_back(c);
        return;
    }
    auto entry = std::move(m_pduEntry);
    m_pduEntry = nullptr;
    Result result = Result::ok();
    entry(*this, m_pduInput, result);
    m_pduInput.clear();
    finishLine(frameInformation(result.lines), result, result.delay);
}

void Modem::finishLine(std::string answer, const Result &final, std::chrono::milliseconds delay)
{
    answer += frameFinal(final);
    if (m_state.quirks.garbage) {
        const std::string_view garbage = kGarbageLines[m_garbageIndex++ % kGarbageLines.size()];
        answer = "\r\n" + std::string(garbage) + "\r\n" + answer;
    }
    delay += m_state.quirks.slowAnswers;
    schedule(std::move(answer), delay);
    m_busyUntil = now() + delay;
    refreshRegistration();
}

std::string Modem::frameInformation(const std::vector<std::string> &lines) const
{
    if (lines.empty())
        return {};
    const TerminalSettings &settings = m_state.settings;
    const std::string end{static_cast<char>(settings.sRegisters.at(3)),
                          static_cast<char>(settings.sRegisters.at(4))};
    std::string out = settings.verbose ? end : std::string();
    for (const std::string &line : lines)
        out += line + end;
    return out;
}

std::string Modem::frameFinal(const Result &result) const
{
    const TerminalSettings &settings = m_state.settings;
    const std::string end{static_cast<char>(settings.sRegisters.at(3)),
                          static_cast<char>(settings.sRegisters.at(4))};
    std::string text;
    int numeric = 0;
    const std::string refusal =
        m_state.quirks.has(Quirk::OddFinals) ? "COMMAND NOT SUPPORT" : "ERROR";
    switch (result.final) {
    case Result::Final::Ok:
        text = "OK";
        numeric = 0;
        break;
    case Result::Final::Error:
        text = refusal;
        numeric = 4;
        break;
    case Result::Final::CmeError:
        if (settings.errorMode == 0) {
            text = refusal;
            numeric = 4;
        } else {
            // Extended errors are information text, framed alike in both result modes.
            const std::string detail =
                settings.errorMode == 1 ? std::to_string(result.code) : cmeErrorText(result.code);
            return end + "+CME ERROR: " + detail + end;
        }
        break;
    case Result::Final::CmsError: return end + "+CMS ERROR: " + std::to_string(result.code) + end;
    }
    if (settings.quiet)
        return {};
    if (settings.verbose)
        return end + text + end;
    return std::to_string(numeric) + std::string(1, end[0]);
}

void Modem::schedule(std::string bytes, std::chrono::milliseconds delay)
{
    if (bytes.empty())
        return;
    Clock::time_point due = now() + delay;
    // Output keeps its order: nothing overtakes an answer that is still on its way.
    if (!m_output.empty() && m_output.back().due > due)
        due = m_output.back().due;
    m_output.push_back({due, std::move(bytes)});
}

void Modem::unsolicited(const std::string &line)
{
    if (m_state.quirks.silent)
        return;
    const TerminalSettings &settings = m_state.settings;
    const std::string end{static_cast<char>(settings.sRegisters.at(3)),
                          static_cast<char>(settings.sRegisters.at(4))};
    schedule(end + line + end, {});
}

void Modem::unsolicitedLater(const std::string &line, std::chrono::milliseconds delay)
{
    m_later.push_back({now() + delay, line});
}

void Modem::dropLater(std::string_view prefix)
{
    std::erase_if(m_later, [&](const Pending &report) { return report.bytes.starts_with(prefix); });
}

std::string Modem::takeOutput()
{
    std::string out;
    const Clock::time_point current = now();
    advanceCalls(*this);
    // Reports that came due join the output behind what is already on its way.
    for (auto it = m_later.begin(); it != m_later.end();) {
        if (it->due <= current) {
            unsolicited(it->bytes);
            it = m_later.erase(it);
        } else {
            ++it;
        }
    }
    if (m_state.quirks.has(Quirk::Storm) && !m_state.quirks.silent) {
        // A thousand reports a second, as a card in a loop of indicator changes sends them.
        if (m_stormSince == Clock::time_point{})
            m_stormSince = current;
        const auto due =
            std::chrono::duration_cast<std::chrono::milliseconds>(current - m_stormSince);
        const long lines = std::min<long>(due.count(), 500);
        for (long i = 0; i < lines; ++i)
            out += "\r\n+CIEV: 2," + std::to_string((m_stormCount++) % 6) + "\r\n";
        if (lines > 0)
            m_stormSince = current;
    } else {
        m_stormSince = {};
    }
    while (!m_output.empty() && m_output.front().due <= current) {
        out += m_output.front().bytes;
        m_output.pop_front();
    }
    return out;
}

void Modem::discardPending()
{
    m_output.clear();
    m_later.clear();
    m_input.clear();
    m_line.clear();
    m_collecting = false;
    m_pduEntry = nullptr;
    m_pduInput.clear();
    m_busyUntil = {};
}

std::optional<Clock::time_point> Modem::nextEvent() const
{
    std::optional<Clock::time_point> next;
    if (m_state.quirks.has(Quirk::Storm))
        next = now() + std::chrono::milliseconds(1);
    if (!m_output.empty() && (!next || m_output.front().due < *next))
        next = m_output.front().due;
    for (const Pending &report : m_later) {
        if (!next || report.due < *next)
            next = report.due;
    }
    if (!m_input.empty() && (!next || m_busyUntil < *next))
        next = m_busyUntil;
    if (const auto call = nextCallEvent(m_state); call && (!next || *call < *next))
        next = call;
    return next;
}

void Modem::refreshRegistration()
{
    RadioNetwork &network = m_state.network;
    const bool odd = m_state.quirks.has(Quirk::OddRegistration);
    // Mode 1 reports a change of status only; mode 2 also a change of cell or technology.
    auto report = [&](const char *prefix, int mode, const Registration &now,
                      Registration &reported) {
        if (mode == 1 && now.status != reported.status)
            unsolicited(registrationReport(prefix, now, 1, odd));
        else if (mode == 2 && now != reported)
            unsolicited(registrationReport(prefix, now, 2, odd));
        reported = now;
    };
    report("+CREG", m_state.settings.csRegistrationReports, csRegistration(m_state),
           network.reportedCs);
    report("+CGREG", m_state.settings.psRegistrationReports, psRegistration(m_state),
           network.reportedPs);
    report("+CEREG", m_state.settings.epsRegistrationReports, epsRegistration(m_state),
           network.reportedEps);
}

std::string Modem::terminalText(std::string_view utf8) const
{
    return encodeForTerminal(utf8, m_state.settings.charset);
}

}  // namespace virtualmodem
