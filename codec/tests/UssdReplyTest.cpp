// USSD replies in each form real cards give them, and requests in each form cards take.
#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/Unicode.h"
#include "codec/Ussd.h"
#include "codec/UssdReply.h"

#include <gtest/gtest.h>

using namespace codec;

namespace {

std::string ucs2Hex(std::string_view utf8)
{
    return hexFromBytes(utf16BigEndianBytes(utf16FromCodePoints(*codePointsFromUtf8(utf8))));
}

std::string packedHex(std::string_view utf8) { return encodeUssd(utf8)->hex; }

std::string unpackedHex(std::string_view utf8) { return hexFromBytes(*gsmSeptetsFromUtf8(utf8)); }

std::string gsmText(std::string_view utf8)
{
    const auto septets = *gsmSeptetsFromUtf8(utf8);
    return std::string(septets.begin(), septets.end());
}

const std::string kGerman = "Ihr Guthaben beträgt 12,50 €. Gültig bis 31.12.";
const std::string kRussian = "Ваш баланс 150 руб.";
const std::string kEmoji = "Bonus aktiviert 🎉 Danke!";

}  // namespace

TEST(UssdReply, EveryFormACardWritesReadsAsTheText)
{
    struct Case {
        const char *what;
        std::string string;
        std::optional<uint8_t> scheme;
        const char *charset;
        std::string text;
        UssdForm form;
    };
    const Case cases[] = {
        {"IRA text", "Balance 5.00 EUR", 15, "IRA", "Balance 5.00 EUR", UssdForm::Text},
        {"GSM text", gsmText(kGerman), 15, "GSM", kGerman, UssdForm::Text},
        {"no scheme given", "Saldo: 3 USD", std::nullopt, "IRA", "Saldo: 3 USD", UssdForm::Text},
        {"a number alone is a number", "12345678", 15, "IRA", "12345678", UssdForm::Text},
        {"packed 7-bit hex", packedHex(kGerman), 15, "IRA", kGerman, UssdForm::PackedHex},
        {"packed, sixteen characters", packedHex("Guthaben 5 Euro."), 15, "IRA",
         "Guthaben 5 Euro.", UssdForm::PackedHex},
        {"unpacked 7-bit hex", unpackedHex(kGerman), 15, "IRA", kGerman, UssdForm::UnpackedHex},
        {"UCS-2 under 0x48", ucs2Hex(kRussian), 0x48, "IRA", kRussian, UssdForm::Ucs2Hex},
        {"UCS-2 under 15", ucs2Hex(kRussian), 15, "IRA", kRussian, UssdForm::Ucs2Hex},
        {"UCS-2 under 48 written as decimal", ucs2Hex(kRussian), 48, "IRA", kRussian,
         UssdForm::Ucs2Hex},
        {"UCS-2 with a surrogate pair", ucs2Hex(kEmoji), 72, "IRA", kEmoji, UssdForm::Ucs2Hex},
        {"surrogate pair under 15", ucs2Hex(kEmoji), 15, "IRA", kEmoji, UssdForm::Ucs2Hex},
        {"7-bit converted into a UCS2 card set", ucs2Hex("Saldo 10"), 15, "UCS2", "Saldo 10",
         UssdForm::Ucs2Hex},
        {"UCS-2 scheme but the card gave text", "Saldo 7", 72, "IRA", "Saldo 7", UssdForm::Text},
        {"language in front, packed", packedHex("de\rHallo Welt"), 0x10, "IRA", "Hallo Welt",
         UssdForm::PackedHex},
        {"8-bit data", "48616C6C6F", 0x44, "IRA", "Hallo", UssdForm::EightBitHex},
    };
    for (const Case &c : cases) {
        const auto reply = decodeUssdReply(c.string, c.scheme, c.charset);
        EXPECT_EQ(reply.text, c.text) << c.what;
        EXPECT_EQ(reply.form, c.form) << c.what;
    }
}

TEST(UssdReply, RequestsInEachFormACardTakes)
{
    struct Case {
        std::string text;
        UssdRequestForm form;
        const char *charset;
        std::optional<std::string> string;
        uint8_t scheme;
    };
    const Case cases[] = {
        {"*100#", UssdRequestForm::Text, "IRA", "*100#", 15},
        {"*100#", UssdRequestForm::PackedHex, "IRA", "AA180C3602", 15},
        {"*100#", UssdRequestForm::UnpackedHex, "IRA", "2A31303023", 15},
        {"*100#", UssdRequestForm::Text, "UCS2", "002A0031003000300023", 15},
        {"ja", UssdRequestForm::Text, "GSM", "ja", 15},
        // An answer IRA cannot carry goes as hex; one the 7-bit alphabet cannot, as UCS-2.
        {"jä", UssdRequestForm::Text, "IRA", std::nullopt, 15},
        {"да", UssdRequestForm::Text, "IRA", "04340430", 72},
        {"say \"yes\"", UssdRequestForm::Text, "IRA", std::nullopt, 15},
        {"", UssdRequestForm::Text, "IRA", std::nullopt, 15},
        {std::string(183, '1'), UssdRequestForm::PackedHex, "IRA", std::nullopt, 15},
    };
    for (const Case &c : cases) {
        const auto request = encodeUssdRequest(c.text, c.form, c.charset);
        ASSERT_EQ(request.has_value(), c.string.has_value()) << c.text;
        if (!request)
            continue;
        EXPECT_EQ(request->string, *c.string) << c.text;
        EXPECT_EQ(request->scheme, c.scheme) << c.text;
    }
}
