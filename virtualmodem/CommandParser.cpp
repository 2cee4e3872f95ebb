#include "virtualmodem/CommandParser.h"

#include <cctype>
#include <charconv>

namespace virtualmodem {

namespace {

bool isNameCharacter(char c)
{
    // V.250 allows these in extended names; '^' and '$' show up on real cards too.
    return std::isalnum(static_cast<unsigned char>(c)) || c == '!' || c == '%' || c == '-' ||
           c == '.' || c == '/' || c == ':' || c == '_';
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Reads up to the next ';' that is not inside a string. Returns the end position, or npos for
// an unterminated string.
size_t endOfArgument(std::string_view body, size_t position)
{
    bool inString = false;
    for (; position < body.size(); ++position) {
        const char c = body[position];
        if (c == '"')
            inString = !inString;
        if (c == ';' && !inString)
            return position;
    }
    return inString ? std::string_view::npos : body.size();
}

// The argument text with spaces outside strings dropped, as V.250 ignores them.
std::string withoutSpaces(std::string_view text)
{
    std::string out;
    bool inString = false;
    for (char c : text) {
        if (c == '"')
            inString = !inString;
        if (c == ' ' && !inString)
            continue;
        out.push_back(c);
    }
    return out;
}

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string toUpper(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return out;
}

std::optional<std::vector<AtCommand>> splitCommandLine(std::string_view body)
{
    std::vector<AtCommand> commands;
    size_t i = 0;
    while (i < body.size()) {
        const char c = body[i];
        if (c == ' ' || c == ';') {
            ++i;
            continue;
        }
        AtCommand command;
        if (c == '+' || c == '^' || c == '$' || c == '*' || c == '#') {
            // Extended command: a prefix character and a name.
            size_t end = i + 1;
            while (end < body.size() && isNameCharacter(body[end]))
                ++end;
            if (end == i + 1)
                return std::nullopt;
            command.name = toUpper(body.substr(i, end - i));
            i = end;
            while (i < body.size() && body[i] == ' ')
                ++i;
            if (i < body.size() && body[i] == '?') {
                command.kind = AtKind::Read;
                ++i;
            } else if (i < body.size() && body[i] == '=') {
                size_t after = i + 1;
                while (after < body.size() && body[after] == ' ')
                    ++after;
                if (after < body.size() && body[after] == '?') {
                    command.kind = AtKind::Test;
                    i = after + 1;
                } else {
                    const size_t end2 = endOfArgument(body, i + 1);
                    if (end2 == std::string_view::npos)
                        return std::nullopt;
                    command.kind = AtKind::Set;
                    command.argument = withoutSpaces(body.substr(i + 1, end2 - i - 1));
                    i = end2;
                }
            }
            while (i < body.size() && body[i] == ' ')
                ++i;
            if (i < body.size() && body[i] != ';')
                return std::nullopt;
            commands.push_back(std::move(command));
            continue;
        }

        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (letter == 'D') {
            // The dial string runs to the end of the line; a trailing ';' is part of it (voice).
            command.name = "D";
            command.argument = std::string(body.substr(i + 1));
            commands.push_back(std::move(command));
            break;
        }
        if (letter == 'S') {
            size_t end = i + 1;
            while (end < body.size() && isDigit(body[end]))
                ++end;
            if (end == i + 1)
                return std::nullopt;
            command.name = "S";
            std::from_chars(body.data() + i + 1, body.data() + end, command.registerNumber);
            i = end;
            if (i < body.size() && body[i] == '?') {
                command.kind = AtKind::Read;
                ++i;
            } else if (i < body.size() && body[i] == '=') {
                if (i + 1 < body.size() && body[i + 1] == '?') {
                    command.kind = AtKind::Test;
                    i += 2;
                } else {
                    size_t valueEnd = i + 1;
                    while (valueEnd < body.size() && isDigit(body[valueEnd]))
                        ++valueEnd;
                    command.kind = AtKind::Set;
                    command.argument = std::string(body.substr(i + 1, valueEnd - i - 1));
                    i = valueEnd;
                }
            }
            commands.push_back(std::move(command));
            continue;
        }
        if (letter == '&' || std::isalpha(static_cast<unsigned char>(letter))) {
            size_t start = i;
            if (letter == '&') {
                if (i + 1 >= body.size() ||
                    !std::isalpha(static_cast<unsigned char>(body[i + 1]))) {
                    return std::nullopt;
                }
                ++i;
            }
            command.name = toUpper(body.substr(start, i - start + 1));
            ++i;
            size_t end = i;
            while (end < body.size() && isDigit(body[end]))
                ++end;
            command.argument = std::string(body.substr(i, end - i));
            i = end;
            if (i < body.size() && body[i] == '?') {
                command.kind = AtKind::Read;
                ++i;
            } else if (i < body.size() && body[i] == '=' && i + 1 < body.size() &&
                       body[i + 1] == '?') {
                command.kind = AtKind::Test;
                i += 2;
            }
            commands.push_back(std::move(command));
            continue;
        }
        return std::nullopt;
    }
    return commands;
}

std::optional<std::vector<AtValue>> parseArguments(std::string_view argument)
{
    std::vector<AtValue> values;
    if (argument.empty())
        return values;
    size_t i = 0;
    while (true) {
        AtValue value;
        while (i < argument.size() && argument[i] == ' ')
            ++i;
        if (i < argument.size() && argument[i] == '"') {
            const size_t close = argument.find('"', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            value.quoted = true;
            value.text = std::string(argument.substr(i + 1, close - i - 1));
            i = close + 1;
            while (i < argument.size() && argument[i] == ' ')
                ++i;
            if (i < argument.size() && argument[i] != ',')
                return std::nullopt;
        } else {
            const size_t comma = argument.find(',', i);
            const size_t end = comma == std::string_view::npos ? argument.size() : comma;
            std::string_view text = argument.substr(i, end - i);
            while (!text.empty() && text.back() == ' ')
                text.remove_suffix(1);
            value.text = std::string(text);
            i = end;
        }
        values.push_back(std::move(value));
        if (i >= argument.size())
            break;
        ++i;  // the comma
        if (i == argument.size()) {
            values.emplace_back();  // "1," ends with an empty value
            break;
        }
    }
    return values;
}

std::optional<long> numberArgument(const std::vector<AtValue> &values, size_t index, long minimum,
                                   long maximum)
{
    if (index >= values.size() || values[index].quoted || values[index].text.empty()) {
        return std::nullopt;
    }
    const std::string &text = values[index].text;
    long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (number < minimum || number > maximum)
        return std::nullopt;
    return number;
}

std::optional<std::string> textArgument(const std::vector<AtValue> &values, size_t index)
{
    if (index >= values.size() || values[index].empty())
        return std::nullopt;
    return values[index].text;
}

}  // namespace virtualmodem
