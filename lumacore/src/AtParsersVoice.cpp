#include "AtParsersVoice.h"

#include "AtLine.h"

#include <algorithm>
#include <cctype>

namespace lumacore {

namespace {

std::optional<int> integerField(const std::vector<AtField> &fields, size_t index)
{
    if (index >= fields.size())
        return std::nullopt;
    auto value = parseInteger(fields[index].text);
    if (!value || *value < 0 || *value > 65535)
        return std::nullopt;
    return static_cast<int>(*value);
}

// A number as the card wrote it, without blanks; only dialling characters are kept.
std::string cleanNumber(std::string_view text)
{
    std::string number;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+')
            number.push_back(c);
    }
    return number;
}

std::optional<CallerId> callerFrom(const std::vector<AtField> &fields, size_t validityIndex)
{
    if (fields.empty())
        return std::nullopt;
    CallerId caller;
    caller.number = cleanNumber(fields[0].text);
    caller.type = integerField(fields, 1).value_or(-1);
    // A number the network marks withheld or unavailable is not shown, whatever the field says.
    if (auto validity = integerField(fields, validityIndex); validity && *validity != 0)
        caller.number.clear();
    if (caller.type == 145 && !caller.number.empty() && caller.number[0] != '+')
        caller.number.insert(caller.number.begin(), '+');
    return caller;
}

}  // namespace

std::optional<ClccEntry> parseClccLine(std::string_view line)
{
    auto rest = afterPrefix(line, "+CLCC:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    ClccEntry entry;
    auto index = integerField(fields, 0);
    auto direction = integerField(fields, 1);
    auto status = integerField(fields, 2);
    if (!index || !direction || !status || *index < 1 || *direction > 1 || *status > 7)
        return std::nullopt;
    entry.index = *index;
    entry.direction = *direction;
    entry.status = *status;
    entry.mode = integerField(fields, 3).value_or(0);
    entry.multiparty = integerField(fields, 4).value_or(0) == 1;
    if (fields.size() > 5)
        entry.number = cleanNumber(fields[5].text);
    entry.type = integerField(fields, 6).value_or(-1);
    if (entry.type == 145 && !entry.number.empty() && entry.number[0] != '+')
        entry.number.insert(entry.number.begin(), '+');
    return entry;
}

std::optional<CallerId> parseClipLine(std::string_view line)
{
    auto rest = afterPrefix(line, "+CLIP:");
    if (!rest)
        return std::nullopt;
    return callerFrom(splitFields(*rest), 5);
}

std::optional<CallerId> parseCcwaLine(std::string_view line)
{
    auto rest = afterPrefix(line, "+CCWA:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    // The answer to a query ("+CCWA: 1,1") has no number field.
    if (fields.empty() || (!fields[0].quoted && parseInteger(fields[0].text)))
        return std::nullopt;
    if (auto serviceClass = integerField(fields, 2); serviceClass && (*serviceClass & 1) == 0)
        return std::nullopt;
    return callerFrom(fields, 4);
}

bool isVoiceRing(std::string_view rawLine)
{
    std::string line;
    for (char c : rawLine)
        line.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    if (line == "RING")
        return true;
    auto rest = afterPrefix(line, "+CRING:");
    if (!rest)
        return false;
    auto type = std::string_view(*rest);
    while (!type.empty() && type.front() == ' ')
        type.remove_prefix(1);
    return type.substr(0, 5) == "VOICE";
}

std::optional<SimFileInfo> parseSimFileInfo(const std::vector<uint8_t> &r)
{
    SimFileInfo info;
    if (!r.empty() && r[0] == 0x62) {
        // A USIM's FCP template: file size in tag 80, descriptor (with record length) in 82.
        size_t at = r.size() > 1 && r[1] == 0x81 ? 3 : 2;
        bool sized = false;
        while (at + 2 <= r.size()) {
            uint8_t tag = r[at];
            size_t length = r[at + 1];
            size_t value = at + 2;
            if (value + length > r.size())
                break;
            if (tag == 0x80 && length >= 2) {
                info.size = static_cast<size_t>(r[value]) << 8 | r[value + 1];
                sized = true;
            } else if (tag == 0x82 && length >= 4 && (r[value] & 0x07) == 0x02) {
                info.recordLength = static_cast<size_t>(r[value + 2]) << 8 | r[value + 3];
            }
            at = value + length;
        }
        if (!sized)
            return std::nullopt;
        return info;
    }
    // A SIM's header: size in bytes 3-4, structure in byte 14, record length in byte 15.
    if (r.size() < 14 || r[6] != 0x04)
        return std::nullopt;
    info.size = static_cast<size_t>(r[2]) << 8 | r[3];
    if (r[13] == 0x01 && r.size() >= 15)
        info.recordLength = r[14];
    return info;
}

std::vector<std::string> decodeEmergencyNumbers(const std::vector<uint8_t> &data,
                                                size_t recordLength)
{
    static constexpr char kDigits[] = "0123456789*#";
    std::vector<std::string> numbers;
    const size_t step = recordLength > 3 ? recordLength : 3;
    for (size_t at = 0; at + 3 <= data.size(); at += step) {
        std::string number;
        for (size_t i = 0; i < 6; ++i) {
            uint8_t byte = data[at + i / 2];
            uint8_t nibble = i % 2 == 0 ? byte & 0x0F : byte >> 4;
            if (nibble > 11)
                break;
            number.push_back(kDigits[nibble]);
        }
        if (!number.empty() && std::find(numbers.begin(), numbers.end(), number) == numbers.end())
            numbers.push_back(number);
    }
    return numbers;
}

}  // namespace lumacore
