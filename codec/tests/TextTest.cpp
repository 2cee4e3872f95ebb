// The GSM alphabet, septet packing with fill bits, UTF-16 and hexadecimal text.
#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/Unicode.h"

#include <gtest/gtest.h>

namespace codec {
namespace {

std::vector<uint8_t> hex(std::string_view text) { return bytesFromHex(text).value(); }

TEST(CodecText, HexRefusesWhatIsNotHex)
{
    EXPECT_EQ(hexFromBytes(hex("00ff7fA0")), "00FF7FA0");
    for (const char *bad : {"0", "0G", "  ", "0x12", "12 "})
        EXPECT_FALSE(bytesFromHex(bad)) << bad;
    EXPECT_TRUE(bytesFromHex("")->empty());
}

TEST(CodecText, SeptetsPackAndUnpackWithFillBits)
{
    struct Case {
        const char *text;
        unsigned fillBits;
        const char *packed;
    };
    const Case cases[] = {
        // The classic example: eight septets fill seven octets exactly, the ninth starts anew.
        {"hellohello", 0, "E8329BFD4697D9EC37"},
        {"Hi", 0, "C834"},
        // Behind a six-byte header (48 bits) one fill bit aligns the text to a septet.
        {"Hi", 1, "9069"},
        {"A", 6, "4010"},
        // 7 septets leave 7 spare bits; a reader must be told the count, or it reads an '@'.
        {"1234567", 0, "31D98C56B3DD00"},
        {"", 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const auto septets = gsmSeptetsFromUtf8(c.text).value();
        const auto packed = packSeptets(septets, c.fillBits);
        EXPECT_EQ(hexFromBytes(packed), c.packed);
        EXPECT_EQ(unpackSeptets(packed, septets.size(), c.fillBits), septets);
    }
    // Asking for more septets than the bytes hold gives only those that are there.
    EXPECT_EQ(unpackSeptets(hex("C834"), 10).size(), 2u);
    EXPECT_TRUE(unpackSeptets({}, 5, 3).empty());
    EXPECT_EQ(septetsThatFit(140), 160u);
    EXPECT_EQ(septetsThatFit(134, 0), 153u);
}

TEST(CodecText, GsmAlphabetAndExtensionBothWays)
{
    struct Case {
        const char *utf8;
        const char *septets;
    };
    const Case cases[] = {
        {"@£$¥èéùìòÇ", "00010203040506070809"},
        {"ΔΦΓΛΩΠΨΣΘΞ", "1012131415161718191A"},
        {"ÄÖÑÜ§¿äöñüà", "5B5C5D5E5F607B7C7D7E7F"},
        {"^{}\\[~]|€\f", "1B141B281B291B2F1B3C1B3D1B3E1B401B651B0A"},
        {"\r\n", "0D0A"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.utf8);
        const auto septets = gsmSeptetsFromUtf8(c.utf8);
        ASSERT_TRUE(septets);
        EXPECT_EQ(hexFromBytes(*septets), c.septets);
        EXPECT_EQ(utf8FromGsmSeptets(*septets), c.utf8);
    }
    // An unknown extension reads as a space, a lone escape at the end as nothing.
    EXPECT_EQ(utf8FromGsmSeptets(hex("411B7F42")), "A B");
    EXPECT_EQ(utf8FromGsmSeptets(hex("411B")), "A");
    EXPECT_FALSE(gsmSeptetsFromUtf8("ç"));  // only the capital Ç is in the alphabet
    EXPECT_FALSE(gsmSeptetsFromUtf8("日本"));
    EXPECT_FALSE(gsmSeptetsFromUtf8("\xC3"));  // broken UTF-8
    EXPECT_EQ(gsmSeptetLength(U"a€"), 3u);
}

TEST(CodecText, Utf16KeepsSurrogatePairs)
{
    const std::string text = "A😀é";
    const auto bytes = utf16BigEndianBytes(utf16FromCodePoints(*codePointsFromUtf8(text)));
    EXPECT_EQ(hexFromBytes(bytes), "0041D83DDE0000E9");
    EXPECT_EQ(utf8FromUtf16BigEndian(bytes), text);
    // A lone half of a pair: replaced, or refused when asked; an odd last byte is not read.
    EXPECT_EQ(utf8FromUtf16BigEndian(hex("D83D0041")),
              "\xEF\xBF\xBD"
              "A");
    EXPECT_FALSE(utf8FromUtf16BigEndian(hex("DE00"), LoneSurrogates::Refuse));
    EXPECT_EQ(utf8FromUtf16BigEndian(hex("004100")), "A");
    EXPECT_FALSE(codePointsFromUtf8("\xED\xA0\x80"));  // a surrogate written in UTF-8
}

}  // namespace
}  // namespace codec
