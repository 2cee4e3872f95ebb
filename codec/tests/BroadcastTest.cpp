// USSD strings and cell-broadcast pages, written out by hand.
#include "codec/CellBroadcast.h"
#include "codec/Hex.h"
#include "codec/Ussd.h"

#include <gtest/gtest.h>

namespace codec {
namespace {

TEST(Ussd, SevenBitStringsKeepTheCarriageReturnRule)
{
    struct Case {
        const char *text;
        const char *hex;
        const char *read;
    };
    const Case cases[] = {
        {"*100#", "AA180C3602", "*100#"},
        // Seven septets leave seven spare bits: a carriage return fills them, not an '@'.
        {"1234567", "31D98C56B3DD1A", "1234567"},
        // A text that ends in a carriage return on an octet boundary gets a second one, and
        // the reader sees both (a carriage return twice does no harm).
        {"1234567\r", "31D98C56B3DD1A0D", "1234567\r\r"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const auto encoded = encodeUssd(c.text);
        ASSERT_TRUE(encoded) << encoded.error();
        EXPECT_EQ(encoded->hex, c.hex);
        EXPECT_EQ(encoded->scheme, kUssdDefaultScheme);
        const auto decoded = decodeUssdHex(c.hex, kUssdDefaultScheme);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->text, c.read);
    }
}

TEST(Ussd, OtherCodingsAndLanguages)
{
    const auto wide = encodeUssd("Баланс");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->scheme, kUssdUcs2Scheme);
    EXPECT_EQ(wide->hex, "04110430043B0430043D0441");
    EXPECT_EQ(decodeUssdHex(wide->hex, wide->scheme)->text, "Баланс");
    // 0x10: the text starts with its language and a carriage return.
    const auto withLanguage = decodeUssdHex("6577035966B3DF", 0x10);
    EXPECT_EQ(withLanguage->language, "en");
    EXPECT_EQ(withLanguage->text, "Hello");
    EXPECT_FALSE(decodeUssdHex("6577X3", 0x0F));
    EXPECT_FALSE(encodeUssd(std::string(183, 'a')));
    EXPECT_TRUE(encodeUssd(std::string(182, 'a')));
}

TEST(CellBroadcast, PagesReadTheirHeaderAndText)
{
    struct Case {
        const char *name;
        std::string hex;
        int scope, code, update, id, page, pages;
        const char *text;
    };
    const std::string crPadding7 =
        "C2B29C9D76371A8D46A3D168341A8D46A3D168341A8D46A3D168341A8D46"
        "A3D168341A8D46A3D168341A8D46A3D168341A8D46A3D168341A8D46A3D1"
        "68341A8D46A3D168341A8D46A3D168341A8D46A3D100";
    std::string ucs2 = "041F04400438043204350442";
    for (int i = 0; i < 35; ++i)
        ucs2 += "000D";
    const Case cases[] = {
        {"7-bit, 93 septets padded with carriage returns", "432300320F11" + crPadding7, 1, 0x32, 3,
         50, 1, 1, "Berlin"},
        {"UCS-2, page 1 of 2", "432300324812" + ucs2, 1, 0x32, 3, 50, 1, 2, "Привет"},
        {"page parameter 0 stands alone", "000004D20F00" + crPadding7, 0, 0, 0, 1234, 1, 1,
         "Berlin"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.hex.size(), 2 * kBroadcastPageBytes);
        const auto page = decodeBroadcastPageHex(c.hex);
        ASSERT_TRUE(page) << page.error();
        EXPECT_EQ(page->geographicalScope, c.scope);
        EXPECT_EQ(page->messageCode, c.code);
        EXPECT_EQ(page->updateNumber, c.update);
        EXPECT_EQ(page->messageId, c.id);
        EXPECT_EQ(page->page, c.page);
        EXPECT_EQ(page->pages, c.pages);
        EXPECT_EQ(page->text, c.text);
        if (c.page == page->page && c.pages == page->pages &&
            (c.hex[10] != '0' || c.hex[11] != '0')) {
            const auto encoded = encodeBroadcastPage(*page);
            ASSERT_TRUE(encoded) << encoded.error();
            EXPECT_EQ(hexFromBytes(*encoded), c.hex);
        }
    }
}

TEST(CellBroadcast, PagesThatCannotBeAreRefused)
{
    EXPECT_FALSE(decodeBroadcastPageHex("4323003200"));  // five bytes: no whole header
    EXPECT_FALSE(decodeBroadcastPageHex(std::string(2 * 89, '0')));
    EXPECT_TRUE(decodeBroadcastPageHex("432300320F11"));  // a header and no text yet
    BroadcastPage page;
    page.text = std::string(93, 'a');
    EXPECT_TRUE(encodeBroadcastPage(page));
    page.text += 'a';
    EXPECT_FALSE(encodeBroadcastPage(page));
    page.text = "日本";
    EXPECT_FALSE(encodeBroadcastPage(page));
}

}  // namespace
}  // namespace codec
