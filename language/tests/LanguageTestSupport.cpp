#include "LanguageTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace languagetest {

std::string readFile(const std::string &path)
{
    std::ifstream input(path, std::ios::binary);
    EXPECT_TRUE(input.good()) << path;
    return std::string((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
}

language::ParsedTable readTable(const std::string &path)
{
    language::ParsedTable table = language::parseStringTable(readFile(path));
    EXPECT_TRUE(table.ok()) << path << ": " << table.error;
    return table;
}

std::string englishLibraryPath()
{
    const char *programDir = std::getenv("LUMADIAL_PROGRAM_DIR");
    EXPECT_NE(programDir, nullptr) << "LUMADIAL_PROGRAM_DIR is not set";
    return std::string(programDir ? programDir : ".") + "/language/english.so";
}

std::string fixtureText(unsigned int number)
{
    switch (number) {
    case 1: return std::string(498, 'a') + "\xC3\xA9 and more";
    case 2: return std::string(499, 'c');
    case 3: return std::string(500, 'd');
    case 4: return "\"Quotes\", a back\\slash, a\ttab, a\nline break, ?\?= ?\?/ ? ";
    case 5: return "\xC2\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
    case 6: return PROGRAM_VERSION;
    default: return {};
    }
}

}  // namespace languagetest
