#include "AtParsersServices.h"

#include "AtLine.h"

#include <algorithm>
#include <cctype>

namespace lumacore {

namespace {

bool allDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string_view trimmedText(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::optional<int> smallNumber(std::string_view text, int maximum)
{
    auto value = parseInteger(text);
    if (!value || *value < 0 || *value > maximum)
        return std::nullopt;
    return static_cast<int>(*value);
}

// One parenthesised group of a +COPS=? answer; nullopt when it is one of the trailing lists
// (no quoted name or number in it) or names no network that can be chosen.
std::optional<FoundOperator> operatorOfGroup(std::string_view group)
{
    auto fields = splitFields(group);
    if (fields.size() < 4)
        return std::nullopt;
    bool named = fields[1].quoted || fields[2].quoted || fields[3].quoted;
    auto stat = smallNumber(fields[0].text, 3);
    std::string_view numeric = trimmedText(fields[3].text);
    // MCC (3 digits) and MNC (2 or 3); a few cards add a digit of their own.
    if (!named || !stat || !allDigits(numeric) || numeric.size() < 5 || numeric.size() > 7)
        return std::nullopt;
    FoundOperator found;
    found.stat = *stat;
    found.longName = std::string(trimmedText(fields[1].text));
    found.shortName = std::string(trimmedText(fields[2].text));
    found.numeric = std::string(numeric);
    if (fields.size() >= 5 && !fields[4].text.empty())
        found.accessTechnology = smallNumber(fields[4].text, 15).value_or(-1);
    return found;
}

// The networks of one "+COPS:" line, appended to `found`.
void collectGroups(std::string_view body, std::vector<FoundOperator> &found)
{
    bool inQuotes = false;
    int depth = 0;
    size_t groupStart = 0;
    size_t afterGroup = 0;       // where the text after the last group begins
    bool lastWasOperator = false;  // the last group was a network (an orphan AcT belongs to it)
    for (size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (inQuotes)
            continue;
        if (c == '(') {
            if (depth++ == 0)
                groupStart = i + 1;
        } else if (c == ')' && depth > 0) {
            if (--depth == 0) {
                auto entry = operatorOfGroup(body.substr(groupStart, i - groupStart));
                lastWasOperator = entry.has_value();
                if (entry)
                    found.push_back(std::move(*entry));
                afterGroup = i + 1;
            }
        } else if (c == ')') {
            // "(1,"AT&T","AT&T","310410"),2)": the AcT written after the group was closed.
            std::string_view orphan = body.substr(afterGroup, i - afterGroup);
            while (!orphan.empty() && (orphan.front() == ',' || orphan.front() == ' '))
                orphan.remove_prefix(1);
            auto technology = smallNumber(orphan, 15);
            if (technology && lastWasOperator && found.back().accessTechnology < 0)
                found.back().accessTechnology = *technology;
            lastWasOperator = false;
            afterGroup = i + 1;
        }
    }
}

}  // namespace

std::optional<std::vector<FoundOperator>> parseCopsTestResponse(const std::vector<std::string> &lines)
{
    std::optional<std::vector<FoundOperator>> result;
    for (const auto &line : lines) {
        auto body = afterPrefix(line, "+COPS:");
        if (!body)
            continue;
        if (!result)
            result.emplace();
        collectGroups(*body, *result);
    }
    return result;
}

std::optional<int> parseWs46QueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+WS46:");
    if (!rest)
        return std::nullopt;
    return smallNumber(*rest, 99);
}

std::optional<std::vector<int>> parseWs46TestResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+WS46:");
    if (!rest)
        return std::nullopt;
    std::string text;
    for (char c : *rest)
        if (c != '(' && c != ')' && c != ' ')
            text += c;
    std::vector<int> values;
    for (const auto &field : splitFields(text)) {
        auto dash = field.text.find('-');
        auto first = smallNumber(std::string_view(field.text).substr(0, dash), 99);
        auto last = dash == std::string::npos
                        ? first
                        : smallNumber(std::string_view(field.text).substr(dash + 1), 99);
        if (!first || !last || *last < *first)
            return std::nullopt;
        for (int value = *first; value <= *last; ++value)
            values.push_back(value);
    }
    if (values.empty())
        return std::nullopt;
    return values;
}

std::optional<ForwardingLine> parseCcfcResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CCFC:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.size() < 2)
        return std::nullopt;
    auto status = smallNumber(fields[0].text, 1);
    auto serviceClass = smallNumber(fields[1].text, 255);
    if (!status || !serviceClass)
        return std::nullopt;
    ForwardingLine forwarding;
    forwarding.status = *status;
    forwarding.serviceClass = *serviceClass;
    if (fields.size() >= 3)
        forwarding.number = std::string(trimmedText(fields[2].text));
    bool international = fields.size() >= 4 && smallNumber(fields[3].text, 255) == 145;
    if (international && !forwarding.number.empty() && forwarding.number.front() != '+')
        forwarding.number.insert(forwarding.number.begin(), '+');
    return forwarding;
}

std::optional<ServiceClassStatus> parseClassStatus(std::string_view line, std::string_view prefix)
{
    auto rest = afterPrefix(line, prefix);
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty())
        return std::nullopt;
    auto status = smallNumber(fields[0].text, 1);
    if (!status)
        return std::nullopt;
    ServiceClassStatus parsed;
    parsed.status = *status;
    if (fields.size() >= 2 && !fields[1].text.empty()) {
        auto serviceClass = smallNumber(fields[1].text, 255);
        if (!serviceClass)
            return std::nullopt;
        parsed.serviceClass = *serviceClass;
    }
    return parsed;
}

bool activeForVoice(const std::vector<std::string> &lines, std::string_view prefix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string &line) {
        auto parsed = parseClassStatus(line, prefix);
        return parsed && parsed->status == 1 &&
               (parsed->serviceClass == 0 || (parsed->serviceClass & 1) != 0);
    });
}

std::optional<CallerIdSetting> parseClipQueryResponse(std::string_view line)
{
    auto rest = afterPrefix(line, "+CLIP:");
    if (!rest)
        return std::nullopt;
    auto fields = splitFields(*rest);
    if (fields.empty() || fields.size() > 2 || fields[0].quoted)
        return std::nullopt;
    auto presentation = smallNumber(fields[0].text, 1);
    if (!presentation)
        return std::nullopt;
    CallerIdSetting setting;
    setting.presentation = *presentation;
    if (fields.size() == 2) {
        auto provisioned = smallNumber(fields[1].text, 2);
        if (!provisioned)
            return std::nullopt;
        setting.provisioned = *provisioned;
    }
    return setting;
}

}  // namespace lumacore
