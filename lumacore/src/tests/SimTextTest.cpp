// SIM texts: the GSM alphabet, the three UCS-2 codings of alpha fields, EF-SPN.
#include "SimText.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

std::vector<uint8_t> hex(const char *text) { return *bytesFromHex(text); }

TEST(SimText, AlphaFieldsInEveryCoding)
{
    struct Case {
        const char *bytes;
        const char *text;
    };
    const Case cases[] = {
        {"427269736166FFFFFF", "Brisaf"},
        // GSM specials and the extension table: @ £ $ € [ ].
        {"0001021B651B3C1B3E", "@£$€[]"},
        // An escape at the very end is dropped, not read past the end.
        {"411B", "A"},
        // 0x80: UCS-2, padded with FFFF.
        {"80004D00F60076FFFF", "Möv"},
        // 0x81: count 3, page 0x08 << 7 = U+0400; a GSM 'A', then two characters of the page.
        {"810308418182FF", "AЁЂ"},
        // 0x82: count 2, base U+0410, two offsets.
        {"820204108081", "АБ"},
        {"", ""},
        {"FFFFFFFF", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(simAlphaToUtf8(hex(c.bytes)), c.text);
    }
}

TEST(SimText, ServiceProviderNameAtEitherOffset)
{
    // Display condition byte, then the name.
    auto file = hex("01427269736166FFFFFFFFFFFFFFFFFFFF");
    EXPECT_EQ(decodeServiceProviderName(file, 0), "Brisaf");
    std::vector<uint8_t> nameOnly(file.begin() + 1, file.end());
    EXPECT_EQ(decodeServiceProviderName(nameOnly, 1), "Brisaf");
    EXPECT_EQ(decodeServiceProviderName({}, 0), "");
}

}  // namespace
