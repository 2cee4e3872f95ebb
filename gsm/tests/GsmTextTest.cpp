#include "gsm/GsmText.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace gsm;

namespace {

using Bytes = std::vector<uint8_t>;

std::u16string decode(const Bytes &codes)
{
    std::u16string text(codes.size() + 1, u'\0');
    const int written = GsmToUcs2(text.data(), static_cast<int>(text.size()), codes.data(),
                                  static_cast<int>(codes.size()));
    EXPECT_GE(written, 0);
    text.resize(static_cast<size_t>(std::max(written, 0)));
    return text;
}

Bytes encode(std::u16string_view text)
{
    Bytes codes(2 * text.size() + 1);
    const int written = Ucs2ToGsm(codes.data(), static_cast<int>(codes.size()), text.data(),
                                  static_cast<int>(text.size()));
    EXPECT_GE(written, 0);
    codes.resize(static_cast<size_t>(std::max(written, 0)));
    return codes;
}

int isGsm(std::u16string_view text)
{
    return IsGsmText(text.data(), static_cast<int>(text.size()));
}

class ForcedCodePage {
public:
    explicit ForcedCodePage(const std::string &codePage)
    {
        platform::forceSystemCodePage(codePage);
    }
    ~ForcedCodePage() { platform::forceSystemCodePage({}); }
};

}  // namespace

TEST(GsmText, DecodesCodesAndEscapePairs)
{
    const std::map<Bytes, std::u16string> cases = {
        {{27, 60}, u"["},
        {{91}, u"["},
        {{27, 62}, u"]"},
        {{93}, u"]"},
        {{27, 101}, u"€"},
        {{36}, u"¤"},
        {{23, 25}, u"ψθ"},
        {{27}, u""},  // a trailing lone escape is dropped
        {{'A', 27}, u"A"},
        {{27, 27}, u"\x1B"},  // an escape pair with no meaning
        {{27, 'A'}, u"\x1B"},
        {{200, 27, 200}, u"  "},  // codes beyond the alphabet read as spaces
        {{10, 27, 10, 13}, u"\n\f\r"},
        {{0, 1, 2, 3, 9, 127}, u"@£$¥Çà"},
        {{27, 20, 27, 40, 27, 41, 27, 47, 27, 61, 27, 64}, u"^{}\\~|"},
    };
    for (const auto &[codes, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(codes));
        EXPECT_EQ(decode(codes), expected);
    }
}

TEST(GsmText, EncodesWithEscapesFoldingsAndSpaces)
{
    const std::map<std::u16string, Bytes> cases = {
        {u"€", {32}},       // the euro sign has no code of its own here
        {u"¤", {27, 101}},  // ... it travels as U+00A4
        {u"Ñ", {'N'}},
        {u"Ä", {32}},
        {u"[\\]^{|}~\f", {27, 60, 27, 47, 27, 62, 27, 20, 27, 40, 27, 64, 27, 41, 27, 61, 27, 10}},
        {u"ΘΨ", {32, 32}},
        {u"θψ", {25, 23}},
        {u"ΓΔΛΞΠΣΦΩ", {19, 16, 20, 26, 22, 24, 18, 21}},
        {u"ÀÃÉÊÍÕÚÝáçëïôûýÿ",
         {'A', 'A', 31, 'E', 'I', 'O', 'U', 'Y', 'a', 'c', 'e', 'i', 'o', 'u', 'y', 'y'}},
        {u"\x1B\t`中", {32, 32, 32, 32}},
        {u"@£ñü", {0, 1, 125, 126}},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(expected));
        EXPECT_EQ(encode(text), expected);
    }
}

TEST(GsmText, TellsWhatCanBeSentInGsmCodes)
{
    const std::map<std::u16string, int> cases = {
        {u"€", 0},     {u"¤", 1},    {u"Ñ", 1},        {u"Ä", 0},
        {u"Θ", 0},     {u"Ψ", 0},    {u"θψ", 1},       {u"Hello [world] {~}|^\\", 1},
        {u"\x1B", 0},  {u"a\tb", 0}, {u"`", 0},        {u"Grüße, ça va?", 1},
        {u"ok 中", 0}, {u"", 1},     {u"ΓΔΛΞΠΣΦΩ", 1}, {u"\f\n\r", 1},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(expected));
        EXPECT_EQ(isGsm(text), expected);
    }
}

TEST(GsmText, EveryCodeRoundTripsExceptTheDeliberateOnes)
{
    // Codes whose character goes back as something else: the brackets go as escape pairs,
    // U+00A4 goes as the euro pair.
    const std::map<Bytes, Bytes> different = {
        {{36}, {27, 101}},
        {{91}, {27, 60}},
        {{93}, {27, 62}},
        {{27, 101}, {32}},  // the euro sign encodes as a space
    };
    std::vector<Bytes> allCodes;
    for (uint8_t code = 0; code < 128; ++code) {
        if (code != 27)
            allCodes.push_back({code});
        if (kGsmExtensionToUcs2Table[code] != 0x1B || code == 101)
            allCodes.push_back({27, code});
    }
    ASSERT_EQ(allCodes.size(), 127u + 10u);
    for (const Bytes &codes : allCodes) {
        SCOPED_TRACE(testing::PrintToString(codes));
        const std::u16string text = decode(codes);
        ASSERT_EQ(text.size(), 1u);
        const auto exception = different.find(codes);
        EXPECT_EQ(encode(text), exception == different.end() ? codes : exception->second);
        EXPECT_EQ(isGsm(text), exception != different.end() && codes.size() == 2 ? 0 : 1);
    }
}

TEST(GsmText, AcceptedCharactersNeverBecomeSpaces)
{
    for (char16_t character = 0; character < 0x400; ++character) {
        if (character == u' ' || isGsm(std::u16string(1, character)) != 1)
            continue;
        SCOPED_TRACE(static_cast<int>(character));
        const Bytes codes = encode(std::u16string(1, character));
        ASSERT_FALSE(codes.empty());
        EXPECT_NE(codes.front(), 32);
    }
}

TEST(GsmText, RefusesMissingOrShortBuffersBeforeWriting)
{
    char16_t wide[4] = {u'x', u'x', u'x', u'x'};
    uint8_t bytes[8] = {};
    char ansi[8] = {};
    const uint8_t codes[3] = {'a', 'b', 'c'};
    const char16_t text[3] = {u'a', u'b', u'c'};

    EXPECT_EQ(GsmToUcs2(static_cast<char16_t *>(nullptr), 4, codes, 3), -1);
    EXPECT_EQ(GsmToUcs2(wide, 4, nullptr, 3), -1);
    EXPECT_EQ(GsmToUcs2(wide, 0, codes, 0), -1);
    EXPECT_EQ(GsmToUcs2(wide, 2, codes, 3), -1);
    EXPECT_EQ(wide[0], u'x');
    EXPECT_EQ(GsmToUcs2(wide, 3, codes, 3), 3);

    EXPECT_EQ(Ucs2ToGsm(nullptr, 8, text, 3), -1);
    EXPECT_EQ(Ucs2ToGsm(bytes, 8, static_cast<const char16_t *>(nullptr), 3), -1);
    EXPECT_EQ(Ucs2ToGsm(bytes, 0, text, 0), -1);
    EXPECT_EQ(Ucs2ToGsm(bytes, 5, text, 3), -1);  // would fit, but not in the worst case
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(Ucs2ToGsm(bytes, 6, text, 3), 3);

    EXPECT_EQ(IsGsmText(static_cast<const char16_t *>(nullptr), 1), -1);
    EXPECT_EQ(IsGsmAnsiText(nullptr), -1);

    EXPECT_EQ(HexToBytes(nullptr, 8, "00", 2), -1);
    EXPECT_EQ(HexToBytes(bytes, 8, nullptr, 2), -1);
    EXPECT_EQ(HexToBytes(bytes, 0, "", 0), -1);
    EXPECT_EQ(HexToBytes(bytes, 2, "0A0B", 4), -1);
    EXPECT_EQ(HexToBytes(bytes, 3, "0A0B", 4), 0);

    EXPECT_EQ(Ucs2ToAnsi(nullptr, 8, text, 3), -1);
    EXPECT_EQ(Ucs2ToAnsi(ansi, 8, static_cast<const char16_t *>(nullptr), 3), -1);
    EXPECT_EQ(Ucs2ToAnsi(ansi, 0, text, 0), -1);
    EXPECT_EQ(Ucs2ToAnsi(ansi, 5, text, 3), -1);
    EXPECT_EQ(ansi[0], 0);
}

TEST(GsmText, HexDigitsOrIntoBytes)
{
    struct Case {
        const char *hex;
        Bytes expected;
    };
    const Case cases[] = {
        {"0A1B", {0x0A, 0x1B, 0x00}}, {"ffE0", {0xFF, 0xE0, 0x00}},
        {"ABC", {0xAB, 0xC0, 0x00}},   // an odd digit fills the high half
        {"G1z9", {0x01, 0x09, 0x00}},  // anything but a hex digit counts as 0
        {"", {0x00, 0x00, 0x00}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.hex);
        Bytes output(3, 0);
        EXPECT_EQ(HexToBytes(output.data(), 3, c.hex, static_cast<int>(std::strlen(c.hex))), 0);
        EXPECT_EQ(output, c.expected);
    }
    Bytes prefilled = {0x10, 0x00};  // the caller's zero-fill is relied on: digits are OR-ed in
    EXPECT_EQ(HexToBytes(prefilled.data(), 2, "01", 2), 0);
    EXPECT_EQ(prefilled[0], 0x11);
}

TEST(GsmText, Ucs2ToAnsiTerminatesAndNeverOverruns)
{
    struct Case {
        const char *codePage;
        std::u16string text;
        int size;
        std::string expected;
    };
    const Case cases[] = {
        {"UTF-8", u"Grüße", 10,
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {"UTF-8", u"中文", 7, "\xE4\xB8\xAD\xE6\x96\x87"},
        {"UTF-8", u"中文", 6, "\xE4\xB8\xAD"},  // 6 bytes and a terminator do not fit in 6
        {"UTF-8", u"中", 2, ""},
        {"CP1252", u"Grüße €", 14,
         "Gr\xFC\xDF"
         "e \x80"},
        {"CP1252", u"a中", 4, "a?"},
        {"GBK", u"中文", 5, "\xD6\xD0\xCE\xC4"},
        {"GBK", u"中文", 4, "\xD6\xD0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.codePage) + " size " + std::to_string(c.size));
        ForcedCodePage forced(c.codePage);
        std::vector<char> output(static_cast<size_t>(c.size) + 4, '#');
        const int written =
            Ucs2ToAnsi(output.data(), c.size, c.text.data(), static_cast<int>(c.text.size()));
        ASSERT_EQ(written, static_cast<int>(c.expected.size()));
        EXPECT_EQ(std::string(output.data(), static_cast<size_t>(written)), c.expected);
        EXPECT_EQ(output[static_cast<size_t>(written)], '\0');
        EXPECT_EQ(std::string(output.data() + c.size, 4), "####");
    }
}

TEST(GsmText, AnsiTextIsReadInTheSystemCodePage)
{
    struct Case {
        const char *codePage;
        const char *text;
        int expected;
    };
    const Case cases[] = {
        {"UTF-8",
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         1},
        {"UTF-8", "5 \xE2\x82\xAC", 0},
        {"UTF-8",
         "\xC3\x91"
         "and\xC3\xBA",
         1},
        {"CP1252", "\xA4", 1},
        {"CP1252", "\x80", 0},
        {"GBK", "\xD6\xD0", 0},
        {"GBK", "abc", 1},
        {"UTF-8", "", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.codePage) + " " + c.text);
        ForcedCodePage forced(c.codePage);
        EXPECT_EQ(IsGsmAnsiText(c.text), c.expected);
    }
}
