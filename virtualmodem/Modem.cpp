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
    handlers_[name] = std::move(handler);
}

const CommandHandler *CommandTable::find(const std::string &name) const
{
    const auto found = handlers_.find(name);
    return found == handlers_.end() ? nullptr : &found->second;
}

Modem::Modem(ModemState initial, Now now) : state_(std::move(initial)), now_(std::move(now))
{
    registerCoreCommands(table_);
    registerSimCommands(table_);
    registerSimFileCommands(table_);
    registerNetworkCommands(table_);
    registerMessagingCommands(table_);
    registerPacketDataCommands(table_);
    registerPhonebookCommands(table_);
    registerSmsCommands(table_);
    powerUp();
}

void Modem::powerUp()
{
    state_.settings = TerminalSettings{};
    state_.settings.verbose = !state_.quirks.has(Quirk::NumericResults);
    state_.network.functionality = state_.quirks.has(Quirk::RadioOff) ? 4 : 1;
    state_.network.reportedCs = Registration{};
    state_.network.reportedPs = Registration{};
    state_.network.reportedEps = Registration{};
    powerUpSim(state_.sim, now());
    discardPending();
    refreshRegistration();
}

void Modem::receive(std::string_view bytes)
{
    input_.append(bytes);
    process();
}

void Modem::process()
{
    while (!input_.empty() && now() >= busyUntil_) {
        const char c = input_.front();
        input_.erase(0, 1);
        consume(c);
    }
}

void Modem::consume(char c)
{
    if (state_.quirks.silent)
        return;
    const TerminalSettings &settings = state_.settings;
    if (settings.echo && !state_.quirks.noEcho)
        schedule(std::string(1, c), {});
    if (pduEntry_) {
        consumePdu(c);
        return;
    }

    const char carriageReturn = static_cast<char>(settings.sRegisters.at(3));
    const char backspace = static_cast<char>(settings.sRegisters.at(5));
    if (!collecting_) {
        // Anything before the "AT" prefix is line noise and ignored.
        if (c == 'A' || c == 'a') {
            collecting_ = true;
            line_ = "A";
            lineTooLong_ = false;
        }
        return;
    }
    if (line_.size() == 1) {
        if (c == '/') {
            // A/ repeats the last command line at once, without a terminator.
            collecting_ = false;
            executeLine(lastLine_);
        } else if (c == 'T' || c == 't') {
            line_ = "AT";
        } else if (c != 'A' && c != 'a') {
            collecting_ = false;
        }
        return;
    }
    if (c == carriageReturn) {
        collecting_ = false;
        if (lineTooLong_) {
            schedule(frameFinal(Result::error()), {});
            return;
        }
        const std::string body = line_.substr(2);
        lastLine_ = body;
        executeLine(body);
        return;
    }
    if (c == backspace) {
        if (line_.size() > 2)
            line_.pop_back();
        return;
    }
    if (c == '\n')
        return;
    if (line_.size() >= kMaxLineLength) {
        lineTooLong_ = true;
        return;
    }
    line_.push_back(c);
}

void Modem::executeLine(const std::string &body)
{
    std::string answer;
    Result final = Result::ok();
    std::chrono::milliseconds delay{0};
    const auto commands = splitCommandLine(body);
    const bool bareAtRefused = body.empty() && state_.quirks.has(Quirk::BareAtRefused);
    if (!commands || bareAtRefused ||
        (commands->size() > 1 && state_.quirks.has(Quirk::NoChains))) {
        final = Result::error();
    } else {
        for (const AtCommand &command : *commands) {
            // Bounded: a card left running for days is sent ever new writes and reads.
            if (auto name = writtenForm(command); state_.commandsReceived.size() < 4096 ||
                                                  state_.commandsReceived.count(name) != 0)
                ++state_.commandsReceived[name];
            if (state_.quirks.mutedCommands.count(command.name) != 0)
                return;  // swallowed: no answer at all
            const CommandHandler *handler = table_.find(command.name);
            if (handler == nullptr || state_.quirks.missingCommands.count(command.name) != 0) {
                final = Result::error();
                break;
            }
            Result result = (*handler)(*this, command);
            delay += result.delay;
            answer += frameInformation(result.lines);
            if (result.pduEntry && result.final == Result::Final::Ok) {
                // The rest of the line waits for the message; the prompt goes out now.
                schedule(std::move(answer) + "\r\n> ", delay);
                pduEntry_ = std::move(result.pduEntry);
                pduInput_.clear();
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
        pduEntry_ = nullptr;
        finishLine({}, Result::ok(), {});
        return;
    }
    if (c != kCtrlZ) {
        if (c != '\r' && c != '\n' && pduInput_.size() < kMaxLineLength)
            pduInput_.push_back(c);
        return;
    }
    auto entry = std::move(pduEntry_);
    pduEntry_ = nullptr;
    Result result = Result::ok();
    entry(*this, pduInput_, result);
    pduInput_.clear();
    finishLine(frameInformation(result.lines), result, result.delay);
}

void Modem::finishLine(std::string answer, const Result &final, std::chrono::milliseconds delay)
{
    answer += frameFinal(final);
    if (state_.quirks.garbage) {
        const std::string_view garbage = kGarbageLines[garbageIndex_++ % kGarbageLines.size()];
        answer = "\r\n" + std::string(garbage) + "\r\n" + answer;
    }
    delay += state_.quirks.slowAnswers;
    schedule(std::move(answer), delay);
    busyUntil_ = now() + delay;
    refreshRegistration();
}

std::string Modem::frameInformation(const std::vector<std::string> &lines) const
{
    if (lines.empty())
        return {};
    const TerminalSettings &settings = state_.settings;
    const std::string end{static_cast<char>(settings.sRegisters.at(3)),
                          static_cast<char>(settings.sRegisters.at(4))};
    std::string out = settings.verbose ? end : std::string();
    for (const std::string &line : lines)
        out += line + end;
    return out;
}

std::string Modem::frameFinal(const Result &result) const
{
    const TerminalSettings &settings = state_.settings;
    const std::string end{static_cast<char>(settings.sRegisters.at(3)),
                          static_cast<char>(settings.sRegisters.at(4))};
    std::string text;
    int numeric = 0;
    const std::string refusal =
        state_.quirks.has(Quirk::OddFinals) ? "COMMAND NOT SUPPORT" : "ERROR";
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
    if (!output_.empty() && output_.back().due > due)
        due = output_.back().due;
    output_.push_back({due, std::move(bytes)});
}

void Modem::unsolicited(const std::string &line)
{
    if (state_.quirks.silent)
        return;
    const TerminalSettings &settings = state_.settings;
    const std::string end{static_cast<char>(settings.sRegisters.at(3)),
                          static_cast<char>(settings.sRegisters.at(4))};
    schedule(end + line + end, {});
}

void Modem::unsolicitedLater(const std::string &line, std::chrono::milliseconds delay)
{
    later_.push_back({now() + delay, line});
}

std::string Modem::takeOutput()
{
    std::string out;
    const Clock::time_point current = now();
    // Reports that came due join the output behind what is already on its way.
    for (auto it = later_.begin(); it != later_.end();) {
        if (it->due <= current) {
            unsolicited(it->bytes);
            it = later_.erase(it);
        } else {
            ++it;
        }
    }
    if (state_.quirks.has(Quirk::Storm) && !state_.quirks.silent) {
        // A thousand reports a second, as a card in a loop of indicator changes sends them.
        if (stormSince_ == Clock::time_point{})
            stormSince_ = current;
        const auto due =
            std::chrono::duration_cast<std::chrono::milliseconds>(current - stormSince_);
        const long lines = std::min<long>(due.count(), 500);
        for (long i = 0; i < lines; ++i)
            out += "\r\n+CIEV: 2," + std::to_string((stormCount_++) % 6) + "\r\n";
        if (lines > 0)
            stormSince_ = current;
    } else {
        stormSince_ = {};
    }
    while (!output_.empty() && output_.front().due <= current) {
        out += output_.front().bytes;
        output_.pop_front();
    }
    return out;
}

void Modem::discardPending()
{
    output_.clear();
    later_.clear();
    input_.clear();
    line_.clear();
    collecting_ = false;
    pduEntry_ = nullptr;
    pduInput_.clear();
    busyUntil_ = {};
}

std::optional<Clock::time_point> Modem::nextEvent() const
{
    std::optional<Clock::time_point> next;
    if (state_.quirks.has(Quirk::Storm))
        next = now() + std::chrono::milliseconds(1);
    if (!output_.empty() && (!next || output_.front().due < *next))
        next = output_.front().due;
    for (const Pending &report : later_) {
        if (!next || report.due < *next)
            next = report.due;
    }
    if (!input_.empty() && (!next || busyUntil_ < *next))
        next = busyUntil_;
    return next;
}

void Modem::refreshRegistration()
{
    RadioNetwork &network = state_.network;
    const bool odd = state_.quirks.has(Quirk::OddRegistration);
    // Mode 1 reports a change of status only; mode 2 also a change of cell or technology.
    auto report = [&](const char *prefix, int mode, const Registration &now,
                      Registration &reported) {
        if (mode == 1 && now.status != reported.status)
            unsolicited(registrationReport(prefix, now, 1, odd));
        else if (mode == 2 && now != reported)
            unsolicited(registrationReport(prefix, now, 2, odd));
        reported = now;
    };
    report("+CREG", state_.settings.csRegistrationReports, csRegistration(state_),
           network.reportedCs);
    report("+CGREG", state_.settings.psRegistrationReports, psRegistration(state_),
           network.reportedPs);
    report("+CEREG", state_.settings.epsRegistrationReports, epsRegistration(state_),
           network.reportedEps);
}

std::string Modem::terminalText(std::string_view utf8) const
{
    return encodeForTerminal(utf8, state_.settings.charset);
}

}  // namespace virtualmodem
