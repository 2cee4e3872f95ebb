#include "AtLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace lumacore {

namespace {

// The AT dialogue is ASCII: case and spacing are told apart without the locale (and without a
// library call for every character of every line the card sends).
char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isAsciiSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isAsciiSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::vector<AtField> splitFields(std::string_view text)
{
    std::vector<AtField> fields;
    AtField current;
    bool inQuotes = false;
    int depth = 0;
    bool sawQuote = false;
    auto finish = [&] {
        if (!sawQuote)
            current.text = std::string(trim(current.text));
        current.quoted = sawQuote;
        fields.push_back(std::move(current));
        current = AtField{};
        sawQuote = false;
    };
    for (char c : text) {
        if (inQuotes) {
            if (c == '"')
                inQuotes = false;
            else
                current.text += c;
            continue;
        }
        if (c == '"') {
            // Text before an opening quote is only spacing; a field is either quoted or not.
            if (!sawQuote)
                current.text.clear();
            inQuotes = true;
            sawQuote = true;
        } else if (c == '(') {
            ++depth;
            current.text += c;
        } else if (c == ')') {
            if (depth > 0)
                --depth;
            current.text += c;
        } else if (c == ',' && depth == 0) {
            finish();
        } else if (!sawQuote) {
            current.text += c;
        }
    }
    if (!trim(text).empty() || !fields.empty())
        finish();
    return fields;
}

std::optional<std::string_view> afterPrefix(std::string_view line, std::string_view prefix)
{
    line = trim(line);
    if (!startsWithNoCase(line, prefix))
        return std::nullopt;
    return trim(line.substr(prefix.size()));
}

std::optional<long> parseInteger(std::string_view text)
{
    text = trim(text);
    if (text.empty())
        return std::nullopt;
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int cmeErrorNumberFromText(std::string_view text)
{
    struct Entry {
        std::string_view text;
        int number;
    };
    static constexpr std::array<Entry, 24> table{{
        {"phone failure", 0},
        {"no connection to phone", 1},
        {"operation not allowed", 3},
        {"operation not supported", 4},
        {"PH-SIM PIN required", 5},
        {"SIM not inserted", 10},
        {"SIM PIN required", 11},
        {"SIM PUK required", 12},
        {"SIM failure", 13},
        {"SIM busy", 14},
        {"SIM wrong", 15},
        {"incorrect password", 16},
        {"SIM PIN2 required", 17},
        {"SIM PUK2 required", 18},
        {"memory full", 20},
        {"invalid index", 21},
        {"not found", 22},
        {"memory failure", 23},
        {"text string too long", 24},
        {"invalid characters in text string", 25},
        {"no network service", 30},
        {"network timeout", 31},
        {"network not allowed - emergency calls only", 32},
        {"unknown", 100},
    }};
    text = trim(text);
    for (const auto &entry : table)
        if (equalsNoCase(text, entry.text))
            return entry.number;
    return -1;
}

namespace {

// The kind (and number) of a final result code, without its text.
std::optional<FinalResult> finalKindOf(std::string_view line)
{
    FinalResult result;
    if (equalsNoCase(line, "OK")) {
        result.kind = FinalKind::Ok;
        return result;
    }
    if (equalsNoCase(line, "ERROR")) {
        result.kind = FinalKind::Error;
        return result;
    }
    if (equalsNoCase(line, "CONNECT") || startsWithNoCase(line, "CONNECT ")) {
        result.kind = FinalKind::Connect;
        return result;
    }
    if (equalsNoCase(line, "NO CARRIER")) {
        result.kind = FinalKind::NoCarrier;
        return result;
    }
    if (equalsNoCase(line, "BUSY")) {
        result.kind = FinalKind::Busy;
        return result;
    }
    if (equalsNoCase(line, "NO ANSWER")) {
        result.kind = FinalKind::NoAnswer;
        return result;
    }
    if (equalsNoCase(line, "NO DIALTONE") || equalsNoCase(line, "NO DIAL TONE")) {
        result.kind = FinalKind::NoDialtone;
        return result;
    }
    // Firmware that ends a refusal with a text of its own instead of ERROR.
    for (std::string_view refusal : {"COMMAND NOT SUPPORT", "COMMAND NOT SUPPORTED",
                                     "TOO MANY PARAMETERS", "INVALID COMMAND"}) {
        if (equalsNoCase(line, refusal)) {
            result.kind = FinalKind::Error;
            return result;
        }
    }
    for (auto [prefix, kind] : {std::pair{std::string_view("+CME ERROR:"), FinalKind::CmeError},
                                std::pair{std::string_view("+CMS ERROR:"), FinalKind::CmsError}}) {
        if (auto rest = afterPrefix(line, prefix)) {
            result.kind = kind;
            if (auto number = parseInteger(*rest); number && *number >= 0 && *number < 10000)
                result.code = static_cast<int>(*number);
            else if (kind == FinalKind::CmeError)
                result.code = cmeErrorNumberFromText(*rest);
            return result;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<FinalResult> parseFinalResult(std::string_view rawLine)
{
    std::string_view line = trim(rawLine);
    // Most lines are none: their text is not copied for nothing.
    auto result = finalKindOf(line);
    if (result)
        result->text = std::string(line);
    return result;
}

std::optional<FinalResult> parseNumericResult(std::string_view rawLine)
{
    std::string_view line = trim(rawLine);
    if (line.size() != 1)
        return std::nullopt;
    FinalResult result;
    result.text = std::string(line);
    switch (line[0]) {
    case '0': result.kind = FinalKind::Ok; break;
    case '1': result.kind = FinalKind::Connect; break;
    case '3': result.kind = FinalKind::NoCarrier; break;
    case '4': result.kind = FinalKind::Error; break;
    case '6': result.kind = FinalKind::NoDialtone; break;
    case '7': result.kind = FinalKind::Busy; break;
    case '8': result.kind = FinalKind::NoAnswer; break;
    default: return std::nullopt;
    }
    return result;
}

bool isUnsolicitedCode(std::string_view rawLine)
{
    static constexpr std::array<std::string_view, 23> prefixes{
        "+CMTI:",  "+CMT:",  "+CDS:",  "+CDSI:",  "+CBM:",   "+CBMI:", "+CRING:",
        "+CLIP:",  "+CCWA:", "+CREG:", "+CGREG:", "+CEREG:", "+CUSD:", "+CIEV:",
        "+STIN:",  "+CSSI:", "+CSSU:", "+CGEV:",  "+CPIN:",  "+CTZV:", "+CLCC:",
        "+CUSATP:", "+CUSATEND"};
    std::string_view line = trim(rawLine);
    if (equalsNoCase(line, "RING"))
        return true;
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](std::string_view prefix) { return startsWithNoCase(line, prefix); });
}

namespace {

// The PDU follows on its own line for these, in PDU mode: "+CMT: ,23" / "+CDS: 25" / "+CBM: 88".
bool unsolicitedHasPduLine(std::string_view line)
{
    for (std::string_view prefix : {"+CMT:", "+CDS:", "+CBM:"}) {
        if (auto rest = afterPrefix(line, prefix)) {
            // Text mode puts the message on the line itself with quoted fields; PDU mode gives only
            // an optional alpha and a length.
            auto fields = splitFields(*rest);
            return !fields.empty() && parseInteger(fields.back().text).has_value();
        }
    }
    return false;
}

}  // namespace

std::string responsePrefixOf(std::string_view command)
{
    command = trim(command);
    if (startsWithNoCase(command, "AT"))
        command.remove_prefix(2);
    // "+COPS=3,0;+COPS?": the last command of a chain is the one that answers.
    if (auto semicolon = command.rfind(";+"); semicolon != std::string_view::npos)
        command.remove_prefix(semicolon + 1);
    if (command.empty() || (command.front() != '+' && command.front() != '^'))
        return {};
    size_t end = 1;
    while (end < command.size() && std::isalnum(static_cast<unsigned char>(command[end])))
        ++end;
    std::string prefix(command.substr(0, end));
    std::transform(prefix.begin(), prefix.end(), prefix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return prefix + ':';
}

namespace {

bool endsCall(FinalKind kind)
{
    return kind == FinalKind::NoCarrier || kind == FinalKind::Busy ||
           kind == FinalKind::NoAnswer || kind == FinalKind::NoDialtone;
}

// Dial, answer, back on line, hang up, the calls' supplementary services, and entering data
// state on a context.
bool mayEndWithCallCode(std::string_view command)
{
    if (command.size() < 3 || !startsWithNoCase(command, "AT"))
        return false;
    const std::string_view rest = command.substr(2);
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
    return first == 'D' || first == 'A' || first == 'O' || first == 'H' ||
           startsWithNoCase(rest, "+CHLD") || startsWithNoCase(rest, "+CGDATA");
}

}  // namespace

void AtDialogue::beginCommand(std::string_view command, bool expectPrompt)
{
    m_pending = true;
    m_expectPrompt = expectPrompt;
    m_command = std::string(trim(command));
    m_prefix = responsePrefixOf(command);
    m_echoPossible = true;
    m_lines.clear();
}

void AtDialogue::abandonCommand()
{
    if (m_pending)
        m_stale = true;
    m_pending = false;
    m_expectPrompt = false;
    m_lines.clear();
}

void AtDialogue::feed(const char *data, size_t size, Output &out)
{
    size_t i = 0;
    while (i < size) {
        char c = data[i];
        if (c == '\r' || c == '\n') {
            // The buffer keeps its room for the next line.
            if (!m_buffer.empty())
                takeLine(m_buffer, out);
            m_buffer.clear();
            ++i;
            continue;
        }
        // Some cards pad with NULs after a reset; inside a line a NUL is data (the GSM
        // character set writes '@' as septet 0).
        if (c == '\0' && m_buffer.empty()) {
            ++i;
            continue;
        }
        // The rest of the line in this piece goes in at once.
        size_t end = i + 1;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        while (i < end) {
            if (m_buffer.size() >= kMaxLineLength) {
                takeLine(m_buffer, out);
                m_buffer.clear();
            }
            size_t taken = std::min(end - i, kMaxLineLength - m_buffer.size());
            m_buffer.append(data + i, taken);
            i += taken;
        }
    }
    // The prompt for a PDU has no line end: "\r\n> ".
    if (m_pending && m_expectPrompt && (m_buffer == ">" || m_buffer == "> ")) {
        m_buffer.clear();
        m_expectPrompt = false;
        out.prompt = true;
    }
}

namespace {

// A +CUSD reply whose quoted text holds line ends arrives over several lines.
bool quoteLeftOpen(std::string_view line)
{
    return std::count(line.begin(), line.end(), '"') % 2 != 0;
}

}  // namespace

void AtDialogue::takeLine(std::string_view rawLine, Output &out)
{
    std::string_view line = trim(rawLine);
    if (line.empty())
        return;
    if (!m_openReply.empty()) {
        // The reply goes on until its quote closes; a result code or a report of the card's own
        // means the quote was never closed, and the reply is taken as it stands.
        const bool moreOfTheText = !parseFinalResult(line) && !isUnsolicitedCode(line) &&
                                   m_openReply.size() + line.size() < kMaxReplyLength;
        if (moreOfTheText) {
            m_openReply += '\n';
            m_openReply += line;
            if (quoteLeftOpen(m_openReply))
                return;
        }
        std::string reply = std::move(m_openReply);
        m_openReply.clear();
        takeWholeLine(reply, out);
        if (moreOfTheText)
            return;
    } else if (startsWithNoCase(line, "+CUSD:") && quoteLeftOpen(line)) {
        m_openReply = std::string(line);
        return;
    }
    takeWholeLine(line, out);
}

void AtDialogue::takeWholeLine(std::string_view line, Output &out)
{

    if (m_waitingForPdu) {
        // The line after "+CMT: ,23" is the message, unless the card moved on to something else.
        if (!parseFinalResult(line) && !isUnsolicitedCode(line)) {
            m_waitingForPdu->pdu = std::string(line);
            out.unsolicited.push_back(std::move(*m_waitingForPdu));
            m_waitingForPdu.reset();
            return;
        }
        out.unsolicited.push_back(std::move(*m_waitingForPdu));
        m_waitingForPdu.reset();
    }

    if (m_pending) {
        if (m_echoPossible && m_lines.empty() && equalsNoCase(line, m_command)) {
            m_echoPossible = false;
            return;
        }
        m_echoPossible = false;
        // A card left in ATV0 ends its answers with a digit.
        auto final = parseFinalResult(line);
        if (!final)
            final = parseNumericResult(line);
        // The end of a call the card reports on its own may come while another command waits:
        // only a command that sets up, answers or ends a call can end with it.
        if (final && endsCall(final->kind) && !mayEndWithCallCode(m_command)) {
            out.unsolicited.push_back({std::string(line), {}});
            return;
        }
        if (final) {
            AtAnswer answer;
            answer.final = std::move(*final);
            answer.lines = std::move(m_lines);
            m_lines.clear();
            m_pending = false;
            m_expectPrompt = false;
            out.answer = std::move(answer);
            return;
        }
        bool ownPrefix = !m_prefix.empty() && startsWithNoCase(line, m_prefix);
        if (!ownPrefix && isUnsolicitedCode(line)) {
            if (unsolicitedHasPduLine(line))
                m_waitingForPdu = AtUnsolicited{std::string(line), {}};
            else
                out.unsolicited.push_back({std::string(line), {}});
            return;
        }
        m_lines.emplace_back(line);
        return;
    }

    if (m_stale) {
        // Remains of a command we gave up on; its final code ends them.
        if (parseFinalResult(line) || parseNumericResult(line)) {
            m_stale = false;
            return;
        }
        if (!isUnsolicitedCode(line))
            return;
    }
    if (unsolicitedHasPduLine(line)) {
        m_waitingForPdu = AtUnsolicited{std::string(line), {}};
        return;
    }
    // With no command waiting, everything is the card's own news; "NO CARRIER", "BUSY" and
    // "NO ANSWER" then tell how a call ended. Lines we do not know are passed on and ignored there.
    if (parseFinalResult(line) && !equalsNoCase(line, "NO CARRIER") &&
        !equalsNoCase(line, "BUSY") && !equalsNoCase(line, "NO ANSWER"))
        return;
    out.unsolicited.push_back({std::string(line), {}});
}

}  // namespace lumacore

#include "Status.h"

namespace lumacore {

uint16_t statusOf(const FinalResult &result)
{
    switch (result.kind) {
    case FinalKind::Ok:
    case FinalKind::Connect: return kStatusOk;
    case FinalKind::CmeError:
        switch (result.code) {
        case 16: return kStatusWrongPassword;
        case 12: return kStatusSimBlocked;
        case 10:
        case 13: return kStatusNoSim;
        default:
            return result.code >= 0 ? static_cast<uint16_t>(kStatusCmeBase + result.code)
                                    : kStatusError;
        }
    case FinalKind::CmsError:
        return result.code >= 0 ? static_cast<uint16_t>(kStatusCmsBase + result.code)
                                : kStatusError;
    default: return kStatusError;
    }
}

}  // namespace lumacore
