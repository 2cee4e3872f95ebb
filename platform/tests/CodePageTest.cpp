#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace platform;

namespace {

// Forces a code page for one test and goes back to the locale's afterwards.
class ForcedCodePage {
public:
    explicit ForcedCodePage(const std::string &codePage) { forceSystemCodePage(codePage); }
    ~ForcedCodePage() { forceSystemCodePage({}); }
};

}  // namespace

TEST(PlatformCodePage, PlainLocaleCountsAsUtf8)
{
    // The tests run without a locale of their own, i.e. under C/POSIX.
    EXPECT_EQ(systemCodePage(), "UTF-8");
    ForcedCodePage forced("GBK");
    EXPECT_EQ(systemCodePage(), "GBK");
}

TEST(PlatformCodePage, RoundTripsInEachCodePage)
{
    struct Case {
        const char *codePage;
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {"UTF-8", u"Grüße € 中文 \U0001F600",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80"},
        {"CP1252", u"Grüße € œ",
         "Gr\xFC\xDF"
         "e \x80 \x9C"},
        {"GBK", u"中文短信；OK",
         "\xD6\xD0\xCE\xC4\xB6\xCC\xD0\xC5\xA3\xBB"
         "OK"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.codePage);
        ForcedCodePage forced(c.codePage);
        EXPECT_EQ(utf16ToAnsi(c.text), c.bytes);
        EXPECT_EQ(ansiToUtf16(c.bytes), c.text);
        EXPECT_EQ(toAnsi(fromAnsi(c.bytes)), c.bytes);
    }
}

TEST(PlatformCodePage, UnconvertibleInputIsMarkedNotDropped)
{
    {
        ForcedCodePage forced("CP1252");
        EXPECT_EQ(utf16ToAnsi(u"a中b"), "a?b");
        EXPECT_EQ(utf16ToAnsi(u"x\U0001F600y"), "x?y");  // a pair is one character, one '?'
        EXPECT_EQ(ansiToUtf16("a\x81z"), u"a\uFFFDz");   // 0x81 is undefined in CP1252
    }
    {
        ForcedCodePage forced("UTF-8");
        const char16_t loneSurrogate[] = {u'a', 0xD800, u'b'};
        EXPECT_EQ(utf16ToAnsi(std::u16string_view(loneSurrogate, 3)), "a?b");
        EXPECT_EQ(ansiToUtf16("a\xFFz"), u"a\uFFFDz");
        EXPECT_EQ(ansiToUtf16("ab\xE4\xB8"), u"ab\uFFFD\uFFFD");  // cut-off character at the end
        EXPECT_EQ(ansiToUtf16(std::string_view("ab\0cd", 5)), u"ab");
    }
    {
        ForcedCodePage forced("GBK");
        EXPECT_EQ(utf16ToAnsi(u"é"), "\xA8\xA6");
        EXPECT_EQ(utf16ToAnsi(u"ÿ"), "?");
    }
}

TEST(PlatformCodePage, TruncationNeverSplitsACharacter)
{
    struct Case {
        const char *codePage;
        std::string text;
        size_t maxBytes;
        std::string expected;
    };
    const Case cases[] = {
        {"UTF-8", "ab\xE4\xB8\xAD", 5, "ab\xE4\xB8\xAD"},
        {"UTF-8", "ab\xE4\xB8\xAD", 4, "ab"},
        {"UTF-8", "ab\xE4\xB8\xAD", 2, "ab"},
        {"UTF-8", "\xF0\x9F\x98\x80x", 3, ""},
        {"UTF-8",
         "a\xC3\xBC"
         "b",
         2, "a"},
        // GBK trail bytes overlap the lead-byte range: "中文" is D6 D0 CE C4, and cutting after
        // 3 bytes must not take D0 CE for a character.
        {"GBK", "\xD6\xD0\xCE\xC4", 3, "\xD6\xD0"},
        {"GBK", "a\xD6\xD0\xCE\xC4", 4, "a\xD6\xD0"},
        {"GBK", "a\xD6\xD0\xCE\xC4", 5, "a\xD6\xD0\xCE\xC4"},
        {"GBK",
         "\xD6\xD0"
         "ab",
         3,
         "\xD6\xD0"
         "a"},
        {"CP1252",
         "Gr\xFC\xDF"
         "e",
         3, "Gr\xFC"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.codePage) + " max " + std::to_string(c.maxBytes));
        ForcedCodePage forced(c.codePage);
        EXPECT_EQ(std::string(truncateAnsi(c.text, c.maxBytes)), c.expected);
    }
}

TEST(PlatformCodePage, CharacterLengths)
{
    {
        ForcedCodePage forced("GBK");
        const std::string text = "a\xD6\xD0\xA3\xBB";
        EXPECT_EQ(ansiCharLength(text, 0), 1u);
        EXPECT_EQ(ansiCharLength(text, 1), 2u);
        EXPECT_EQ(ansiCharLength(text, 3), 2u);
        EXPECT_EQ(ansiCharLength(text, 5), 0u);
        EXPECT_EQ(ansiCharLength("\xD6", 0), 1u);  // a lone lead byte at the end is broken
    }
    {
        ForcedCodePage forced("UTF-8");
        EXPECT_EQ(ansiCharLength("\xF0\x9F\x98\x80", 0), 4u);
        EXPECT_EQ(ansiCharLength("\x80\x80", 0), 1u);
    }
}

TEST(PlatformCodePage, FixedFieldsAreTerminatedAndZeroFilled)
{
    ForcedCodePage forced("UTF-8");
    char field[6];
    std::memset(field, 'x', sizeof field);
    copyToField(field, sizeof field, "abc\xE4\xB8\xAD");  // 6 bytes do not fit in 5
    EXPECT_EQ(std::memcmp(field, "abc\0\0\0", 6), 0);
    EXPECT_EQ(fieldText(field, sizeof field), "abc");

    copyToField(field, sizeof field, "ab");
    EXPECT_EQ(std::memcmp(field, "ab\0\0\0\0", 6), 0);

    const char full[3] = {'x', 'y', 'z'};  // no terminator: the whole field is the text
    EXPECT_EQ(fieldText(full, sizeof full), "xyz");
}
