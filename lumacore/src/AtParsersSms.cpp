#include "AtParsersSms.h"

#include "AtLine.h"

#include <cctype>

namespace lumacore {

namespace {

// A status as a number, or in the words of text mode that some firmware keeps in PDU mode.
std::optional<int> statOf(const AtField &field)
{
    if (auto number = parseInteger(field.text); number && *number >= 0 && *number <= 3)
        return static_cast<int>(*number);
    static constexpr std::string_view kWords[] = {"REC UNREAD", "REC READ", "STO UNSENT",
                                                  "STO SENT"};
    for (int i = 0; i < 4; ++i) {
        if (field.text == kWords[i])
            return i;
    }
    return std::nullopt;
}

std::optional<int> lengthOf(const AtField &field)
{
    auto length = parseInteger(field.text);
    if (!length || *length < 1 || *length > 255)
        return std::nullopt;
    return static_cast<int>(*length);
}

bool isHex(std::string_view text)
{
    if (text.empty() || text.size() % 2 != 0)
        return false;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::optional<int> singleNumber(std::string_view line, std::string_view prefix, long maximum)
{
    auto rest = afterPrefix(line, prefix);
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty())
        return std::nullopt;
    auto number = parseInteger(fields[0].text);
    if (!number || *number < 0 || *number > maximum)
        return std::nullopt;
    return static_cast<int>(*number);
}

}  // namespace

std::optional<StoredPduHeader> parseCmglHeader(std::string_view line)
{
    auto rest = afterPrefix(line, "+CMGL:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    // index, stat, [alpha], length; some cards leave the alpha field out altogether.
    if (fields.size() < 3 || fields.size() > 4)
        return std::nullopt;
    auto index = parseInteger(fields[0].text);
    auto stat = statOf(fields[1]);
    auto length = lengthOf(fields.back());
    if (!index || *index < 0 || *index > 0xFFFF || !stat || !length)
        return std::nullopt;
    return StoredPduHeader{static_cast<int>(*index), *stat, *length};
}

std::optional<StoredPduHeader> parseCmgrHeader(std::string_view line)
{
    auto rest = afterPrefix(line, "+CMGR:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() < 2 || fields.size() > 3)
        return std::nullopt;
    auto stat = statOf(fields[0]);
    auto length = lengthOf(fields.back());
    if (!stat || !length)
        return std::nullopt;
    return StoredPduHeader{0, *stat, *length};
}

std::vector<StoredPdu> parseCmglAnswer(const std::vector<std::string> &lines)
{
    std::vector<StoredPdu> out;
    for (size_t i = 0; i < lines.size(); ++i) {
        auto header = parseCmglHeader(lines[i]);
        if (!header || i + 1 >= lines.size())
            continue;
        const std::string_view pdu = trimmed(lines[i + 1]);
        if (!isHex(pdu))
            continue;
        out.push_back({*header, std::string(pdu)});
        ++i;
    }
    return out;
}

std::optional<StoredPdu> parseCmgrAnswer(const std::vector<std::string> &lines)
{
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (auto header = parseCmgrHeader(lines[i])) {
            const std::string_view pdu = trimmed(lines[i + 1]);
            if (isHex(pdu))
                return StoredPdu{*header, std::string(pdu)};
        }
    }
    return std::nullopt;
}

std::optional<int> parseCmgsResponse(std::string_view line)
{
    return singleNumber(line, "+CMGS:", 255);
}

std::optional<int> parseCmgwResponse(std::string_view line)
{
    return singleNumber(line, "+CMGW:", 0xFFFF);
}

std::optional<StoredReport> parseCmtiReport(std::string_view line)
{
    auto rest = afterPrefix(line, "+CMTI:");
    if (!rest)
        rest = afterPrefix(line, "+CDSI:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() != 2 || fields[0].text.empty())
        return std::nullopt;
    auto index = parseInteger(fields[1].text);
    if (!index || *index < 0 || *index > 0xFFFF)
        return std::nullopt;
    std::string storage(trimmed(fields[0].text));
    for (char &c : storage)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return StoredReport{storage, static_cast<int>(*index)};
}

std::optional<int> parseCmtReport(std::string_view line)
{
    auto rest = afterPrefix(line, "+CMT:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields.size() > 2)
        return std::nullopt;
    return lengthOf(fields.back());
}

std::optional<int> parseCdsReport(std::string_view line)
{
    auto rest = afterPrefix(line, "+CDS:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() != 1)
        return std::nullopt;
    return lengthOf(fields[0]);
}

std::optional<int> parseCbmReport(std::string_view line)
{
    auto rest = afterPrefix(line, "+CBM:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() != 1)
        return std::nullopt;
    return lengthOf(fields[0]);
}

std::optional<std::string> parseCscaResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CSCA:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields.size() > 2)
        return std::nullopt;
    std::string number(trimmed(fields[0].text));
    if (fields.size() == 2) {
        auto type = parseInteger(fields[1].text);
        if (!type)
            return std::nullopt;
        if (*type == 145 && !number.empty() && number[0] != '+')
            number.insert(number.begin(), '+');
    }
    for (char c : number) {
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '*' && c != '#')
            return std::nullopt;
    }
    return number;
}

}  // namespace lumacore
