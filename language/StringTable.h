// The text table of a language library: reading it and turning it into C++ source.
//
// A table is UTF-8 text, one entry per line: the text's number (decimal, fits an unsigned
// int), optionally a space and a name for the code to use, one tab, the text. Empty lines and lines
// that start with "#" are ignored. Escapes in a text: \n line break, \t tab, \\ backslash, \s space
// (for a space at either end, which an editor would otherwise drop unseen). A number may appear
// once; a text may not be empty, since an empty text cannot be told from a missing one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace language {

struct StringEntry {
    unsigned int number = 0;
    std::string name;  // empty for a text the code does not name; otherwise a C++ identifier part
    std::string text;  // unescaped, UTF-8
    int line = 0;      // 1-based line of the table, for messages
};

struct ParsedTable {
    std::vector<StringEntry> entries;  // sorted by number
    std::string error;                 // "line N: what is wrong"; empty when the table is sound

    bool ok() const { return error.empty(); }
};

// The longest text a program lookup returns (its buffer holds 500 bytes with the NUL).
inline constexpr size_t kMaxTextBytes = 499;

// Reads a whole table. The first fault stops the reading and is reported with its line.
ParsedTable parseStringTable(std::string_view content, size_t maxTextBytes = kMaxTextBytes);

// C++ source defining kLanguageEntries (a std::array of number, offset, length; sorted by number)
// and kLanguageTexts (every text, one after the other, without terminators), for
// LanguageLibrary.cpp.
std::string generateTableSource(const std::vector<StringEntry> &sortedEntries,
                                std::string_view tableName);

// C++ header declaring text::k<Name> = number for every named entry, so code says
// text::kWrongPin where it would otherwise write 1025.
std::string generateNamesHeader(const std::vector<StringEntry> &sortedEntries,
                                std::string_view tableName);

}  // namespace language
