#include "AtParsersPhonebook.h"

#include "AtLine.h"
#include "SimText.h"

#include <algorithm>
#include <cctype>

namespace lumacore {

namespace {

constexpr int kTypeInternational = 145;

bool isHex(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isxdigit(c) != 0; });
}

std::string latin1ToUtf8(std::string_view text)
{
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

// A name as the card sent it -> UTF-8.
std::string nameFromCard(std::string_view text, PhonebookCharset charset)
{
    if (charset == PhonebookCharset::Gsm)
        return gsmToUtf8(reinterpret_cast<const uint8_t *>(text.data()), text.size());
    if (charset == PhonebookCharset::Ucs2 && isHex(text)) {
        auto bytes = bytesFromHex(text);
        if (bytes && !bytes->empty()) {
            // Some cards hand over the SIM's alpha field as it is stored: an 80/81/82 coding
            // byte, and an odd length or FF padding that UCS-2 text does not have.
            const bool alphaField = (*bytes)[0] >= 0x80 && (*bytes)[0] <= 0x82 &&
                                    (bytes->size() % 2 == 1 || bytes->back() == 0xFF);
            if (alphaField)
                return simAlphaToUtf8(*bytes);
            if (bytes->size() % 2 == 0)
                return ucs2ToUtf8(bytes->data(), bytes->size());
        }
    }
    // IRA, or a card that answers plain text in spite of UCS2.
    return latin1ToUtf8(text);
}

// A number as the card sent it. Under UCS2 some cards write the number in UCS-2 hex as well; it
// is taken as such only when every unit is a dialling character.
std::string numberFromCard(std::string_view text, PhonebookCharset charset)
{
    if (charset == PhonebookCharset::Ucs2 && !text.empty() && text.size() % 4 == 0 && isHex(text)) {
        bool dialling = true;
        for (size_t i = 0; i < text.size() && dialling; i += 4) {
            std::string unit = std::string(text.substr(i, 4));
            std::transform(unit.begin(), unit.end(), unit.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            dialling = unit.compare(0, 3, "003") == 0
                           ? std::isdigit(unit[3]) != 0
                           : unit == "002B" || unit == "0023" || unit == "002A";
        }
        if (dialling) {
            auto bytes = bytesFromHex(text);
            return ucs2ToUtf8(bytes->data(), bytes->size());
        }
    }
    return std::string(text);
}

// One field that is quoted or bare, taken from the front of rest; rest then starts after the
// comma that ends it.
std::optional<std::string> takeSimpleField(std::string_view &rest)
{
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    std::string value;
    if (!rest.empty() && rest.front() == '"') {
        size_t close = rest.find('"', 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        value = std::string(rest.substr(1, close - 1));
        rest.remove_prefix(close + 1);
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
    } else {
        size_t comma = rest.find(',');
        value = std::string(rest.substr(0, comma));
        while (!value.empty() && value.back() == ' ')
            value.pop_back();
        rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma);
    }
    if (!rest.empty()) {
        if (rest.front() != ',')
            return std::nullopt;
        rest.remove_prefix(1);
    }
    return value;
}

// Whether the fields left start with quoted text that is not a quoted type: the name of an
// entry without a type field.
bool quotedTextFollows(std::string_view rest)
{
    size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos || rest[start] != '"')
        return false;
    size_t close = rest.find('"', start + 1);
    if (close == std::string_view::npos)
        return true;
    std::string_view inside = rest.substr(start + 1, close - start - 1);
    const bool number = !inside.empty() && std::all_of(inside.begin(), inside.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    size_t after = rest.find_first_not_of(' ', close + 1);
    return !(number && after != std::string_view::npos && rest[after] == ',');
}

int typeOfNumber(std::string_view number)
{
    return !number.empty() && number.front() == '+' ? kTypeInternational : 129;
}

}  // namespace

const char *phonebookCharsetName(PhonebookCharset charset)
{
    switch (charset) {
    case PhonebookCharset::Ucs2: return "UCS2";
    case PhonebookCharset::Gsm: return "GSM";
    case PhonebookCharset::Ira: break;
    }
    return "IRA";
}

std::optional<std::vector<std::string>> parseCscsTestResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CSCS:");
    if (!rest)
        return std::nullopt;
    std::string text(*rest);
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return c == '(' || c == ')' || c == '"' || c == ' '; }),
               text.end());
    std::vector<std::string> names;
    for (const auto &field : splitFields(text)) {
        std::string name = field.text;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (!name.empty())
            names.push_back(name);
    }
    if (names.empty())
        return std::nullopt;
    return names;
}

std::optional<std::string> parseCscsQueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CSCS:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() != 1 || fields[0].text.empty())
        return std::nullopt;
    return fields[0].text;
}

std::optional<PhonebookStorageStatus> parseCpbsQueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CPBS:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields[0].text.empty() || (fields.size() != 1 && fields.size() != 3))
        return std::nullopt;
    PhonebookStorageStatus status;
    status.storage = fields[0].text;
    if (fields.size() == 3) {
        auto used = parseInteger(fields[1].text);
        auto total = parseInteger(fields[2].text);
        if (!used || !total || *used < 0 || *total < 0 || *used > *total)
            return std::nullopt;
        status.used = static_cast<int>(*used);
        status.total = static_cast<int>(*total);
    }
    return status;
}

std::optional<PhonebookRange> parseCpbrTestResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CPBR:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() < 3)
        return std::nullopt;
    std::string range = fields[0].text;
    range.erase(std::remove_if(range.begin(), range.end(),
                               [](char c) { return c == '(' || c == ')' || c == ' '; }),
                range.end());
    size_t dash = range.find('-');
    if (dash == std::string::npos)
        return std::nullopt;
    auto first = parseInteger(std::string_view(range).substr(0, dash));
    auto last = parseInteger(std::string_view(range).substr(dash + 1));
    auto numberLength = parseInteger(fields[1].text);
    auto textLength = parseInteger(fields[2].text);
    if (!first || !last || !numberLength || !textLength || *first < 0 || *last < *first ||
        *last > 100000 || *numberLength < 0 || *numberLength > 1000 || *textLength < 0 ||
        *textLength > 1000)
        return std::nullopt;
    return PhonebookRange{static_cast<int>(*first), static_cast<int>(*last),
                          static_cast<int>(*numberLength), static_cast<int>(*textLength)};
}

std::optional<PhonebookEntry> parseCpbrResponse(std::string_view line, PhonebookCharset charset)
{
    auto rest = afterPrefix(line, "+CPBR:");
    if (!rest)
        rest = afterPrefix(line, "+CPBF:");
    if (!rest)
        return std::nullopt;
    std::string_view text = *rest;
    auto index = takeSimpleField(text);
    auto number = index ? takeSimpleField(text) : std::nullopt;
    if (!number)
        return std::nullopt;
    // Some cards leave the type out: a quoted field after the number is the name then, unless it
    // is a quoted type with the name still to come.
    std::optional<std::string> type;
    if (quotedTextFollows(text))
        type = std::string();
    else
        type = takeSimpleField(text);
    if (!type)
        return std::nullopt;
    auto indexValue = parseInteger(*index);
    auto typeValue = type->empty() ? std::optional<long>(typeOfNumber(*number))
                                   : parseInteger(*type);
    if (!indexValue || *indexValue < 0 || !typeValue || *typeValue < 0 || *typeValue > 255)
        return std::nullopt;

    // The name: quoted up to the first quote that is followed by the end of the line or by a
    // comma and another field (hidden flag, group, second text), so inner quotes, which cards do
    // not escape, stay in the name.
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    std::string_view name = text;
    if (!text.empty() && text.front() == '"') {
        size_t close = std::string_view::npos;
        for (size_t i = 1; i < text.size() && close == std::string_view::npos; ++i) {
            if (text[i] != '"')
                continue;
            std::string_view after = text.substr(i + 1);
            while (!after.empty() && after.front() == ' ')
                after.remove_prefix(1);
            if (after.empty())
                close = i;
            else if (after.front() == ',') {
                after.remove_prefix(1);
                while (!after.empty() && after.front() == ' ')
                    after.remove_prefix(1);
                if (after.empty() || after.front() == '"' || after.front() == ',' ||
                    std::isdigit(static_cast<unsigned char>(after.front())))
                    close = i;
            }
        }
        // A field after the name that is none of those: the first quote before a comma ends it.
        for (size_t i = 1; i < text.size() && close == std::string_view::npos; ++i) {
            if (text[i] != '"')
                continue;
            size_t after = text.find_first_not_of(' ', i + 1);
            if (after == std::string_view::npos || text[after] == ',')
                close = i;
        }
        if (close == std::string_view::npos)
            return std::nullopt;
        name = text.substr(1, close - 1);
    } else {
        name = text.substr(0, text.find(','));
    }

    PhonebookEntry entry;
    entry.index = static_cast<int>(*indexValue);
    entry.type = static_cast<int>(*typeValue);
    entry.number = numberFromCard(*number, charset);
    if (entry.type == kTypeInternational && !entry.number.empty() && entry.number[0] != '+')
        entry.number = "+" + entry.number;
    entry.name = nameFromCard(name, charset);
    return entry;
}

std::optional<std::string> phonebookTextFor(std::string_view utf8, PhonebookCharset charset)
{
    switch (charset) {
    case PhonebookCharset::Ucs2: return utf8ToUcs2Hex(utf8);
    case PhonebookCharset::Gsm: {
        auto septets = utf8ToGsm(utf8);
        if (!septets || septets->find('"') != std::string::npos)
            return std::nullopt;
        return septets;
    }
    case PhonebookCharset::Ira: break;
    }
    if (std::any_of(utf8.begin(), utf8.end(),
                    [](unsigned char c) { return c < 0x20 || c >= 0x7F || c == '"'; }))
        return std::nullopt;
    return std::string(utf8);
}

}  // namespace lumacore
