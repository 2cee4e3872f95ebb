#include "AtParsers.h"

#include "AtLine.h"
#include "SimText.h"

#include <algorithm>
#include <cctype>

namespace lumacore {

namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// LAC and cell id as cards write them: "1F3A", "0x1F3A", " 3300", "1F 3A"; decimal is never
// used by 27.007, so the digits are taken as hexadecimal.
std::optional<std::string> hexField(const AtField &field)
{
    std::string_view text = trimmed(field.text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 8 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return std::nullopt;
    return upper(text);
}

// A small unquoted number such as <n>, <stat> or <AcT>: never quoted, at most two digits.
bool looksLikeSmallNumber(const AtField &field)
{
    return !field.quoted && field.text.size() <= 2 && parseInteger(field.text).has_value();
}

// The fields of a registration line. None of them ever holds a comma, a blank or a quote, so
// the line is split at every comma and those are dropped: that takes blanks inside the LAC and
// a quote that is never closed as they come. A field counts as quoted when it had a quote.
std::vector<AtField> registrationFields(std::string_view text)
{
    std::vector<AtField> fields;
    AtField current;
    for (char c : text) {
        if (c == ',') {
            fields.push_back(std::move(current));
            current = AtField{};
        } else if (c == '"') {
            current.quoted = true;
        } else if (!std::isspace(static_cast<unsigned char>(c))) {
            current.text += c;
        }
    }
    fields.push_back(std::move(current));
    return fields;
}

// Where <stat> is: the solicited form starts with <n>. Cards that send the solicited form
// unasked (or the other way round) are recognised by where the quoted location fields are.
size_t statIndexOf(const std::vector<AtField> &fields, bool solicited)
{
    if (fields.size() == 2)
        return 1;  // "<n>,<stat>": an unsolicited code never has exactly two fields
    if (fields.size() >= 3) {
        if (!looksLikeSmallNumber(fields[1]))
            return 0;  // "<stat>,<lac>,..."
        if (!looksLikeSmallNumber(fields[2]))
            return 1;  // "<n>,<stat>,<lac>,..."
        return solicited ? 1 : 0;
    }
    return 0;
}

std::optional<Registration> parseRegistration(std::string_view line, std::string_view prefix,
                                              bool solicited)
{
    auto rest = afterPrefix(line, prefix);
    if (!rest || rest->empty())
        return std::nullopt;
    auto fields = registrationFields(*rest);
    // Up to <n>,<stat>,<lac>,<ci>,<AcT>,<rac or cause type>,<reject cause>, and one more.
    if (fields.size() > 9)
        return std::nullopt;

    size_t statIndex = statIndexOf(fields, solicited);
    auto stat = parseInteger(fields[statIndex].text);
    if (!stat || *stat < 0 || *stat > 10)
        return std::nullopt;
    if (statIndex == 1) {
        auto mode = parseInteger(fields[0].text);
        if (!mode || *mode < 0 || *mode > 5)
            return std::nullopt;
    }

    Registration registration;
    registration.stat = static_cast<int>(*stat);
    size_t next = statIndex + 1;
    if (fields.size() >= next + 2) {
        auto lac = hexField(fields[next]);
        auto cell = hexField(fields[next + 1]);
        // Cards that are not registered leave the location empty: "+CREG: 2,0,,".
        if (lac)
            registration.lac = *lac;
        if (cell)
            registration.cellId = *cell;
        if ((!lac && !fields[next].text.empty()) || (!cell && !fields[next + 1].text.empty()))
            return std::nullopt;
        if (fields.size() >= next + 3 && !fields[next + 2].text.empty()) {
            auto technology = parseInteger(fields[next + 2].text);
            if (!technology || *technology < 0 || *technology > 15)
                return std::nullopt;
            registration.accessTechnology = static_cast<int>(*technology);
        }
    } else if (fields.size() != next && !(fields.size() == next + 1 && fields[next].text.empty())) {
        return std::nullopt;
    }
    return registration;
}

std::vector<std::string> meaningfulLines(const std::vector<std::string> &lines)
{
    std::vector<std::string> result;
    for (const auto &line : lines) {
        std::string_view text = trimmed(line);
        if (!text.empty())
            result.emplace_back(text);
    }
    return result;
}

// The text of one line of an identity answer, without "+CGSN:"-style prefixes and quotes.
std::optional<std::string> identityLineText(std::string_view text,
                                            std::initializer_list<std::string_view> prefixes,
                                            bool &hadPrefix)
{
    hadPrefix = false;
    for (std::string_view prefix : prefixes) {
        if (auto rest = afterPrefix(text, prefix)) {
            text = *rest;
            hadPrefix = true;
            break;
        }
    }
    text = trimmed(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    text = trimmed(text);
    if (text.empty() || !std::all_of(text.begin(), text.end(),
                                     [](unsigned char c) { return c >= 0x20 && c < 0x7F; }))
        return std::nullopt;
    return std::string(text);
}

// Cards put stray lines before the answer ("RDY", boot noise): a line with the command's own
// prefix wins, else the last printable line.
std::optional<std::string> identityText(const std::vector<std::string> &lines,
                                        std::initializer_list<std::string_view> prefixes)
{
    std::optional<std::string> last;
    for (const auto &line : meaningfulLines(lines)) {
        bool hadPrefix = false;
        auto text = identityLineText(line, prefixes, hadPrefix);
        if (text && hadPrefix)
            return text;
        if (text)
            last = text;
    }
    return last;
}

// The first line that is a run of digits of the right length (IMEI, IMSI).
std::optional<std::string> digitsLine(const std::vector<std::string> &lines,
                                      std::initializer_list<std::string_view> prefixes,
                                      size_t minimum, size_t maximum)
{
    for (const auto &line : meaningfulLines(lines)) {
        bool hadPrefix = false;
        auto text = identityLineText(line, prefixes, hadPrefix);
        if (text && text->size() >= minimum && text->size() <= maximum &&
            std::all_of(text->begin(), text->end(),
                        [](unsigned char c) { return std::isdigit(c); }))
            return text;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Registration> parseCregResponse(std::string_view line, bool solicited)
{
    return parseRegistration(line, "+CREG:", solicited);
}

std::optional<Registration> parseCgregResponse(std::string_view line, bool solicited)
{
    return parseRegistration(line, "+CGREG:", solicited);
}

std::optional<Registration> parseCeregResponse(std::string_view line, bool solicited)
{
    return parseRegistration(line, "+CEREG:", solicited);
}

std::optional<Registration> parseRegistrationAnswer(const std::vector<std::string> &lines,
                                                    std::string_view prefix)
{
    // A report the card sent on its own can land inside the answer, before or after it: the line
    // shaped as the answer ("<n>,<stat>...") wins.
    std::optional<Registration> first;
    for (const auto &line : lines) {
        auto rest = afterPrefix(line, prefix);
        if (!rest)
            continue;
        auto parsed = parseRegistration(line, prefix, true);
        if (!parsed)
            continue;
        if (statIndexOf(registrationFields(*rest), true) == 1)
            return parsed;
        if (!first)
            first = parsed;
    }
    return first;
}

std::optional<OperatorQuery> parseCopsQueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+COPS:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields.size() > 4 || fields[0].quoted)
        return std::nullopt;
    auto mode = parseInteger(fields[0].text);
    if (!mode || *mode < 0 || *mode > 4)
        return std::nullopt;
    OperatorQuery query;
    query.mode = static_cast<int>(*mode);
    if (fields.size() >= 2 && !fields[1].text.empty()) {
        auto format = parseInteger(fields[1].text);
        if (!format || *format < 0 || *format > 2)
            return std::nullopt;
        query.format = static_cast<int>(*format);
    }
    if (fields.size() >= 3)
        query.name = std::string(trimmed(fields[2].text));
    if (fields.size() == 4 && !fields[3].text.empty()) {
        auto technology = parseInteger(fields[3].text);
        if (!technology || *technology < 0 || *technology > 15)
            return std::nullopt;
        query.accessTechnology = static_cast<int>(*technology);
    }
    return query;
}

std::optional<SignalQuality> parseCsqResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CSQ:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields.size() > 2)
        return std::nullopt;
    auto rssi = parseInteger(fields[0].text);
    if (!rssi || *rssi < 0 || (*rssi > 31 && *rssi != 99 && (*rssi < 100 || *rssi > 199)))
        return std::nullopt;
    SignalQuality quality;
    // 100-191 is the 3G range of the same command on some cards; 31 is the top of the scale.
    quality.rssi = *rssi >= 100 ? (*rssi == 199 ? 99 : std::min(31L, (*rssi - 100) / 3))
                                : static_cast<int>(*rssi);
    if (fields.size() == 2) {
        auto ber = parseInteger(fields[1].text);
        if (!ber || *ber < 0 || *ber > 99)
            return std::nullopt;
        quality.ber = static_cast<int>(*ber);
    }
    return quality;
}

std::optional<PinCode> parseCpinQueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CPIN:");
    if (!rest)
        return std::nullopt;
    std::string code = upper(trimmed(*rest));
    if (code.size() >= 2 && code.front() == '"' && code.back() == '"')
        code = std::string(trimmed(std::string_view(code).substr(1, code.size() - 2)));
    if (code == "READY")
        return PinCode::Ready;
    if (code == "SIM PIN")
        return PinCode::SimPin;
    if (code == "SIM PUK")
        return PinCode::SimPuk;
    if (code == "SIM PIN2")
        return PinCode::SimPin2;
    if (code == "SIM PUK2")
        return PinCode::SimPuk2;
    if (code == "NOT INSERTED" || code == "SIM NOT INSERTED" || code == "NO SIM" ||
        code == "SIM REMOVED")
        return PinCode::NoSim;
    if (code == "NOT READY" || code == "SIM NOT READY" || code == "SIM BUSY")
        return PinCode::NotReady;
    // PH-SIM PIN, PH-NET PIN and the other personalisation codes: the card wants a code typed in.
    if (code.rfind("PH-", 0) == 0 || code.rfind("PH ", 0) == 0) {
        if (code.size() >= 3 && code.compare(code.size() - 3, 3, "PUK") == 0)
            return PinCode::PhoneLockPuk;
        if (code.size() >= 3 && code.compare(code.size() - 3, 3, "PIN") == 0)
            return PinCode::PhoneLockPin;
    }
    return std::nullopt;
}

std::optional<PinRetries> parseCpinrResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CPINR:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() < 2 || fields.size() > 3)
        return std::nullopt;
    auto retries = parseInteger(fields[1].text);
    if (!retries || *retries < 0 || *retries > 255)
        return std::nullopt;
    PinRetries result;
    result.code = upper(trimmed(fields[0].text));
    if (result.code.empty())
        return std::nullopt;
    result.retries = static_cast<int>(*retries);
    return result;
}

std::optional<SimResponse> parseCrsmResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CRSM:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() < 2 || fields.size() > 3)
        return std::nullopt;
    auto sw1 = parseInteger(fields[0].text);
    auto sw2 = parseInteger(fields[1].text);
    if (!sw1 || !sw2 || *sw1 < 0 || *sw1 > 255 || *sw2 < 0 || *sw2 > 255)
        return std::nullopt;
    SimResponse response;
    response.sw1 = static_cast<int>(*sw1);
    response.sw2 = static_cast<int>(*sw2);
    if (fields.size() == 3) {
        auto bytes = bytesFromHex(trimmed(fields[2].text));
        if (!bytes)
            return std::nullopt;
        response.data = std::move(*bytes);
    }
    return response;
}

std::optional<SimPinCounts> parseSimStatusPinCounts(const std::vector<uint8_t> &data)
{
    // The directory answer of a SIM (STATUS, or GET RESPONSE on MF/DF-GSM): byte 13 holds the
    // length of the GSM data that follows, bytes 19 and 20 the state of PIN1 and PUK1 (bit 8 set
    // when the code is initialised, bits 1-4 the attempts left). A USIM answers an FCP template
    // (0x62 ...), which carries no counts.
    if (data.size() < 22 || data[0] == 0x62 || data[12] < 9)
        return std::nullopt;
    auto count = [](uint8_t status) { return (status & 0x80) ? status & 0x0F : -1; };
    SimPinCounts counts;
    counts.pin = count(data[18]);
    counts.puk = count(data[19]);
    if (counts.pin < 0 && counts.puk < 0)
        return std::nullopt;
    return counts;
}

std::optional<int> parseCfunQueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CFUN:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields.size() > 2)
        return std::nullopt;
    auto mode = parseInteger(fields[0].text);
    if (!mode || *mode < 0 || *mode > 255)
        return std::nullopt;
    return static_cast<int>(*mode);
}

std::optional<int> parseClckQueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CLCK:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields.size() > 2)
        return std::nullopt;
    auto status = parseInteger(fields[0].text);
    if (!status || (*status != 0 && *status != 1))
        return std::nullopt;
    return static_cast<int>(*status);
}

std::optional<std::vector<MessageStorage>> parseCpmsQueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CPMS:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields.size() % 3 != 0 || fields.size() > 9)
        return std::nullopt;
    std::vector<MessageStorage> storages;
    for (size_t i = 0; i < fields.size(); i += 3) {
        auto used = parseInteger(fields[i + 1].text);
        auto total = parseInteger(fields[i + 2].text);
        if (fields[i].text.empty() || !used || !total || *used < 0 || *total < 0 || *used > *total)
            return std::nullopt;
        storages.push_back(
            {upper(trimmed(fields[i].text)), static_cast<int>(*used), static_cast<int>(*total)});
    }
    return storages;
}

std::optional<int> parseCpmsSetTotal(std::string_view line)
{
    auto rest = afterPrefix(line, "+CPMS:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() < 2 || fields.size() % 2 != 0 || fields.size() > 6)
        return std::nullopt;
    auto used = parseInteger(fields[0].text);
    auto total = parseInteger(fields[1].text);
    if (!used || !total || *used < 0 || *total < 0 || *used > *total)
        return std::nullopt;
    return static_cast<int>(*total);
}

std::optional<std::string> parseCgsnResponse(const std::vector<std::string> &lines)
{
    std::initializer_list<std::string_view> prefixes{"+CGSN:", "+GSN:", "IMEI:", "ESN:", "MEID:"};
    if (auto imei = digitsLine(lines, prefixes, 14, 17))
        return imei;
    // A serial that is no IMEI (an ESN, a MEID in hexadecimal, a grouped number): as it is given,
    // as long as it reads as a serial and not as some other text.
    auto text = identityText(lines, prefixes);
    if (!text)
        return std::nullopt;
    size_t hexDigits = static_cast<size_t>(std::count_if(
        text->begin(), text->end(), [](unsigned char c) { return std::isxdigit(c); }));
    bool serialCharacters = std::all_of(text->begin(), text->end(), [](unsigned char c) {
        return std::isxdigit(c) || c == 'x' || c == 'X' || c == '-' || c == ' ' || c == ':';
    });
    if (!serialCharacters || hexDigits < 8)
        return std::nullopt;
    return text;
}

std::optional<std::string> parseCimiResponse(const std::vector<std::string> &lines)
{
    return digitsLine(lines, {"+CIMI:", "IMSI:"}, 6, 15);
}

std::optional<std::string> parseCgmrResponse(const std::vector<std::string> &lines)
{
    return identityText(lines, {"+CGMR:", "+GMR:", "Revision:"});
}

std::optional<std::string> parseCgmmResponse(const std::vector<std::string> &lines)
{
    return identityText(lines, {"+CGMM:", "+GMM:", "Model:"});
}

std::string networkTypeText(int accessTechnology, bool packetAttached)
{
    switch (accessTechnology) {
    case 2: return "UMTS";
    case 3: return "EDGE";
    case 4: return "HSDPA";
    case 5: return "HSUPA";
    case 6: return "HSPA";
    case 7:
    case 9:
    case 10:
    case 13: return "LTE";
    case 11:
    case 12: return "5G";
    default: return packetAttached ? "GPRS" : "GSM";
    }
}

}  // namespace lumacore
