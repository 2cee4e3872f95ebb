#include "language/StringTable.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using language::parseStringTable;

struct BadTable {
    const char *name;
    std::string content;
    std::string expectedError;  // a part of the message
};

void PrintTo(const BadTable &bad, std::ostream *out) { *out << bad.name; }

class StringTableRefuses : public testing::TestWithParam<BadTable> {};

TEST_P(StringTableRefuses, WithTheLineAndTheReason)
{
    const BadTable &bad = GetParam();
    const language::ParsedTable table = parseStringTable(bad.content, 20);
    EXPECT_FALSE(table.ok());
    EXPECT_NE(table.error.find(bad.expectedError), std::string::npos) << table.error;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StringTableRefuses,
    testing::Values(BadTable{"NoTab", "1 text\n", "line 1: expected a number, a tab"},
                    BadTable{"LettersInNumber", "1\tok\n12a\ttext\n",
                             "line 2: \"12a\" is not a text number"},
                    BadTable{"NegativeNumber", "-1\ttext\n", "\"-1\" is not"},
                    BadTable{"NumberTooBig", "4294967296\ttext\n", "\"4294967296\" is not"},
                    BadTable{"NoNumber", "\ttext\n", "line 1: \"\" is not"},
                    BadTable{"SpaceBeforeTab", "7 \ttext\n", "\"\" is not a name"},
                    BadTable{"NameInLowerCase", "7 wrongPin\ttext\n", "\"wrongPin\" is not a name"},
                    BadTable{"NameWithSpace", "7 Wrong Pin\ttext\n", "\"Wrong Pin\" is not a name"},
                    BadTable{"NameTwice", "7 Pin\ta\n8 Pin\tb\n",
                             "line 2: the name Pin is already used on line 1"},
                    BadTable{"LettersBeforeName", "7a Pin\ttext\n", "\"7a\" is not"},
                    BadTable{"Duplicate", "# c\n5\ta\n\n5\tb\n",
                             "line 4: number 5 already has a text on line 2"},
                    BadTable{"EmptyText", "7\t\n", "line 1: the text of 7 is empty"},
                    BadTable{"EmptyTextWithCarriageReturn", "7\t\r\n", "the text of 7 is empty"},
                    BadTable{"UnknownEscape", "7\ta\\qb\n", "unknown escape \\q"},
                    BadTable{"TrailingBackslash", "7\ta\\\n", "a backslash ends the text"},
                    BadTable{"BrokenUtf8", "7\t\xC3\x28\n", "not valid UTF-8"},
                    BadTable{"TruncatedUtf8AtEnd", "7\tab\xE2\x82", "not valid UTF-8"},
                    BadTable{"OverlongUtf8", "7\t\xC0\xAF\n", "not valid UTF-8"},
                    BadTable{"Utf16Surrogate", "7\t\xED\xA0\x80\n", "not valid UTF-8"},
                    BadTable{"TooLong", "7\t123456789012345678901\n", "has 21 bytes; at most 20"}),
    [](const testing::TestParamInfo<BadTable> &testCase) {
        return std::string(testCase.param.name);
    });

TEST(StringTable, ReadsEntriesSortedWithEscapesAndKeepsSpaces)
{
    const std::string content =
        "\xEF\xBB\xBF# A comment\r\n"
        "\r\n"
        "20\t  two leading spaces\r\n"
        "3\tline\\none\\ttab\\\\slash\n"
        "# 99\tnot an entry\n"
        "4294967295\tends with a space\\s\n"
        "1\t\xC2\xA9 caf\xC3\xA9 # not a comment";
    const language::ParsedTable table = parseStringTable(content);
    ASSERT_TRUE(table.ok()) << table.error;
    ASSERT_EQ(table.entries.size(), 4u);

    const std::vector<std::pair<unsigned int, std::string>> expected = {
        {1, "\xC2\xA9 caf\xC3\xA9 # not a comment"},
        {3, "line\none\ttab\\slash"},
        {20, "  two leading spaces"},
        {4294967295u, "ends with a space "},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(table.entries[i].number, expected[i].first);
        EXPECT_EQ(table.entries[i].text, expected[i].second);
    }
    EXPECT_EQ(table.entries[0].line, 7);
}

TEST(StringTable, LengthLimitCountsBytesAfterEscapes)
{
    // "\n" is one byte once read; a two-byte character counts two.
    EXPECT_TRUE(parseStringTable("1\tab\\ncd", 5).ok());
    EXPECT_FALSE(parseStringTable("1\tab\\ncde", 5).ok());
    EXPECT_TRUE(parseStringTable("1\tabc\xC3\xA9", 5).ok());
    EXPECT_FALSE(parseStringTable("1\tabcd\xC3\xA9", 5).ok());
}

TEST(StringTable, GeneratedSourceEscapesEverythingOutsidePlainAscii)
{
    language::ParsedTable table = parseStringTable("2\tsay \"hi\"\\\\\n1\t\xC2\xA9?\\n\n");
    ASSERT_TRUE(table.ok()) << table.error;
    const std::string source = language::generateTableSource(table.entries, "t.txt");
    EXPECT_NE(source.find("std::array<LanguageEntry, 2>"), std::string::npos);
    EXPECT_NE(source.find("{1u, 0u, 4u},"), std::string::npos) << source;
    EXPECT_NE(source.find("{2u, 4u, 9u},"), std::string::npos) << source;
    EXPECT_NE(source.find("\"\\302\\251\\077\\012\""), std::string::npos) << source;
    EXPECT_NE(source.find("\"say \\\"hi\\\"\\\\\""), std::string::npos) << source;
}

TEST(StringTable, NamedTextsBecomeConstantsAndUnnamedOnesStayOut)
{
    const language::ParsedTable table = parseStringTable(
        "1025 WrongPin\tWrong PIN\n7\tCancel\n"
        "6 Ok\tOK\n");
    ASSERT_TRUE(table.ok()) << table.error;
    ASSERT_EQ(table.entries.size(), 3u);
    EXPECT_EQ(table.entries[0].name, "Ok");
    EXPECT_EQ(table.entries[0].text, "OK");
    EXPECT_EQ(table.entries[1].name, "");

    const std::string header = language::generateNamesHeader(table.entries, "t.txt");
    EXPECT_NE(header.find("inline constexpr unsigned kOk = 6;"), std::string::npos) << header;
    EXPECT_NE(header.find("inline constexpr unsigned kWrongPin = 1025;"), std::string::npos);
    EXPECT_EQ(header.find("= 7;"), std::string::npos) << header;
}

}  // namespace
