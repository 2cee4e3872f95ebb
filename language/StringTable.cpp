#include "language/StringTable.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>

namespace language {

namespace {

std::string lineError(int line, const std::string &what)
{
    return "line " + std::to_string(line) + ": " + what;
}

// Length of the UTF-8 sequence at text[pos], or 0 when it is malformed (overlong forms,
// surrogates and values above U+10FFFF included).
size_t utf8SequenceLength(std::string_view text, size_t pos)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    size_t length = 0;
    uint32_t value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(pos + i) & 0x3F);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

bool isValidUtf8(std::string_view text)
{
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = utf8SequenceLength(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

// Returns false with a message for an escape the table does not know.
bool unescape(std::string_view raw, std::string &text, std::string &error)
{
    text.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            text += raw[i];
            continue;
        }
        if (i + 1 == raw.size()) {
            error = "a backslash ends the text (write \\\\ for a backslash)";
            return false;
        }
        switch (raw[++i]) {
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 's': text += ' '; break;
        case '\\': text += '\\'; break;
        default:
            error = std::string("unknown escape \\") + raw[i] + " (known: \\n \\t \\s \\\\)";
            return false;
        }
    }
    return true;
}

// A C++ string literal for any bytes: octal escapes for everything that is not plain
// printable ASCII, so the generated file does not depend on the compiler's source charset.
std::string cppLiteral(std::string_view bytes)
{
    static const char kOctal[] = "01234567";
    std::string literal = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            literal += '\\';
            literal += c;
        } else if (byte >= 0x20 && byte < 0x7F && byte != '?') {
            literal += c;
        } else {
            literal += '\\';
            literal += kOctal[(byte >> 6) & 7];
            literal += kOctal[(byte >> 3) & 7];
            literal += kOctal[byte & 7];
        }
    }
    literal += '"';
    return literal;
}

// A name becomes text::k<Name>: it starts with a capital so the constant reads as one word.
bool isName(std::string_view name)
{
    const auto isUpper = [](char c) { return c >= 'A' && c <= 'Z'; };
    const auto isAlnum = [&](char c) {
        return isUpper(c) || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    };
    return !name.empty() && isUpper(name.front()) && std::all_of(name.begin(), name.end(), isAlnum);
}

}  // namespace

ParsedTable parseStringTable(std::string_view content, size_t maxTextBytes)
{
    ParsedTable table;
    std::map<unsigned int, int> seenAt;  // number -> line
    std::map<std::string, int> namedAt;  // name -> line

    if (content.substr(0, 3) == "\xEF\xBB\xBF")
        content.remove_prefix(3);

    int lineNumber = 0;
    while (!content.empty()) {
        ++lineNumber;
        const size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;

        if (!isValidUtf8(line)) {
            table.error = lineError(lineNumber, "the line is not valid UTF-8");
            return table;
        }
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            table.error = lineError(lineNumber, "expected a number, a tab and the text");
            return table;
        }
        std::string_view numberText = line.substr(0, tab);
        std::string_view name;
        if (const size_t space = numberText.find(' '); space != std::string_view::npos) {
            name = numberText.substr(space + 1);
            numberText = numberText.substr(0, space);
            if (!isName(name)) {
                table.error = lineError(lineNumber, "\"" + std::string(name) +
                                                        "\" is not a name (a capital letter, "
                                                        "then letters and digits)");
                return table;
            }
            if (const auto seen = namedAt.find(std::string(name)); seen != namedAt.end()) {
                table.error = lineError(lineNumber, "the name " + std::string(name) +
                                                        " is already used on line " +
                                                        std::to_string(seen->second));
                return table;
            }
        }
        unsigned int number = 0;
        const auto [rest, status] =
            std::from_chars(numberText.data(), numberText.data() + numberText.size(), number);
        if (numberText.empty() || status != std::errc() ||
            rest != numberText.data() + numberText.size()) {
            table.error =
                lineError(lineNumber, "\"" + std::string(numberText) + "\" is not a text number");
            return table;
        }
        if (const auto seen = seenAt.find(number); seen != seenAt.end()) {
            table.error = lineError(lineNumber, "number " + std::to_string(number) +
                                                    " already has a text on line " +
                                                    std::to_string(seen->second));
            return table;
        }

        StringEntry entry;
        entry.number = number;
        entry.line = lineNumber;
        entry.name = name;
        std::string escapeError;
        if (!unescape(line.substr(tab + 1), entry.text, escapeError)) {
            table.error = lineError(lineNumber, escapeError);
            return table;
        }
        if (entry.text.empty()) {
            table.error =
                lineError(lineNumber, "the text of " + std::to_string(number) + " is empty");
            return table;
        }
        if (entry.text.size() > maxTextBytes) {
            table.error =
                lineError(lineNumber, "the text of " + std::to_string(number) + " has " +
                                          std::to_string(entry.text.size()) + " bytes; at most " +
                                          std::to_string(maxTextBytes) + " are shown");
            return table;
        }
        seenAt.emplace(number, lineNumber);
        if (!name.empty())
            namedAt.emplace(entry.name, lineNumber);
        table.entries.push_back(std::move(entry));
    }

    std::sort(table.entries.begin(), table.entries.end(),
              [](const StringEntry &a, const StringEntry &b) { return a.number < b.number; });
    return table;
}

std::string generateTableSource(const std::vector<StringEntry> &sortedEntries,
                                std::string_view tableName)
{
    std::string source;
    source += "// Generated from " + std::string(tableName) +
              " by lumadial-stringtable-gen; edit the table, not this file.\n";
    source += "// The texts are UTF-8.\n\n";

    source += "constexpr std::array<LanguageEntry, " + std::to_string(sortedEntries.size()) +
              "> kLanguageEntries = {{\n";
    size_t offset = 0;
    for (const StringEntry &entry : sortedEntries) {
        source += "    {" + std::to_string(entry.number) + "u, " + std::to_string(offset) + "u, " +
                  std::to_string(entry.text.size()) + "u},\n";
        offset += entry.text.size();
    }
    source += "}};\n\n";

    source += "constexpr char kLanguageTexts[] =\n";
    for (const StringEntry &entry : sortedEntries)
        source += "    " + cppLiteral(entry.text) + "  // " + std::to_string(entry.number) + "\n";
    source += "    \"\";\n";
    return source;
}

std::string generateNamesHeader(const std::vector<StringEntry> &sortedEntries,
                                std::string_view tableName)
{
    std::string source;
    source += "// Generated from " + std::string(tableName) +
              " by lumadial-stringtable-gen; name a text in the table, not here.\n";
    source += "#pragma once\n\nnamespace text {\n";
    for (const StringEntry &entry : sortedEntries) {
        if (!entry.name.empty())
            source += "inline constexpr unsigned k" + entry.name + " = " +
                      std::to_string(entry.number) + ";\n";
    }
    source += "}  // namespace text\n";
    return source;
}

}  // namespace language
