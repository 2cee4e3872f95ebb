#include "AtParsersSms.h"

#include "AtLine.h"

#include <algorithm>
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
    std::string word;
    for (char c : field.text) {
        // "rec  unread", " REC READ": case and spacing differ between firmwares.
        if (c == ' ' && (word.empty() || word.back() == ' '))
            continue;
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    while (!word.empty() && word.back() == ' ')
        word.pop_back();
    for (int i = 0; i < 4; ++i) {
        if (word == kWords[i])
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

namespace {

// The fields after the status: [<alpha>],<length>[,...]. The alpha may be missing altogether, the
// length too, and some firmware adds fields of its own after it; 0 when no length is given.
int lengthAfterStatus(const std::vector<AtField> &fields, size_t first)
{
    if (fields.size() <= first)
        return 0;
    const AtField &next = fields[first];
    if (!next.quoted && !next.text.empty()) {
        if (auto length = lengthOf(next))
            return *length;  // no alpha field
    }
    if (fields.size() > first + 1)
        return lengthOf(fields[first + 1]).value_or(0);
    return 0;
}

// Status of a message whose header gave none we know, from its PDU: a message from the network
// counts as read (the card marks a listed message read anyway), one of ours as not yet sent.
int statOfPdu(std::string_view pdu)
{
    auto octet = [&](size_t at) {
        return at * 2 + 2 <= pdu.size()
                   ? std::stoi(std::string(pdu.substr(at * 2, 2)), nullptr, 16)
                   : -1;
    };
    const int serviceCentre = octet(0);
    const int first = serviceCentre < 0 ? -1 : octet(static_cast<size_t>(serviceCentre) + 1);
    return first >= 0 && (first & 0x03) == 1 ? 2 : 1;
}

// The octets of the TPDU, without the service centre in front.
int tpduLengthOf(std::string_view pdu)
{
    const int octets = static_cast<int>(pdu.size() / 2);
    const int serviceCentre = std::stoi(std::string(pdu.substr(0, 2)), nullptr, 16);
    return std::max(0, octets - 1 - serviceCentre);
}

// The hexadecimal PDU on the lines after a header, a blank line some cards put between them
// skipped; nullopt when the next line is something else.
std::optional<std::string_view> pduAfter(const std::vector<std::string> &lines, size_t &at)
{
    size_t next = at + 1;
    while (next < lines.size() && trimmed(lines[next]).empty())
        ++next;
    if (next >= lines.size() || !isHex(trimmed(lines[next])))
        return std::nullopt;
    at = next;
    return trimmed(lines[next]);
}

StoredPdu completed(StoredPduHeader header, std::string_view pdu)
{
    if (header.stat < 0)
        header.stat = statOfPdu(pdu);
    if (header.length == 0)
        header.length = tpduLengthOf(pdu);
    return StoredPdu{header, std::string(pdu)};
}

}  // namespace

std::optional<StoredPduHeader> parseCmglHeader(std::string_view line)
{
    auto rest = afterPrefix(line, "+CMGL:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    // Only the index is needed to find the message again; everything else is taken as given.
    auto index = fields.empty() ? std::nullopt : parseInteger(fields[0].text);
    if (!index || *index < 0 || *index > 0xFFFF)
        return std::nullopt;
    StoredPduHeader header;
    header.index = static_cast<int>(*index);
    header.stat = fields.size() > 1 ? statOf(fields[1]).value_or(-1) : -1;
    header.length = lengthAfterStatus(fields, 2);
    return header;
}

std::optional<StoredPduHeader> parseCmgrHeader(std::string_view line)
{
    auto rest = afterPrefix(line, "+CMGR:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    StoredPduHeader header;
    header.stat = fields.empty() ? -1 : statOf(fields[0]).value_or(-1);
    header.length = lengthAfterStatus(fields, 1);
    return header;
}

std::vector<StoredPdu> parseCmglAnswer(const std::vector<std::string> &lines)
{
    std::vector<StoredPdu> out;
    for (size_t i = 0; i < lines.size(); ++i) {
        auto header = parseCmglHeader(lines[i]);
        if (!header)
            continue;
        if (auto pdu = pduAfter(lines, i))
            out.push_back(completed(*header, *pdu));
    }
    return out;
}

std::optional<StoredPdu> parseCmgrAnswer(const std::vector<std::string> &lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto header = parseCmgrHeader(lines[i])) {
            if (auto pdu = pduAfter(lines, i))
                return completed(*header, *pdu);
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
