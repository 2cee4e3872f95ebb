// Cutting a text into the messages it is sent in, and the validity period a sender asks for.
#include "codec/SmsSending.h"

#include <gtest/gtest.h>

namespace codec {
namespace {

std::string repeat(const std::string &piece, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

TEST(SmsSending, TextIsCutAtTheLimitsWithoutCuttingACharacter)
{
    struct Case {
        const char *name;
        std::string text;
        Alphabet alphabet;
        bool sixteenBit;
        std::vector<std::string> parts;
    };
    const std::string zhe = "ж";
    const Case cases[] = {
        {"160 septets fit one message",
         repeat("a", 160),
         Alphabet::Gsm7,
         false,
         {repeat("a", 160)}},
        {"161 septets take two of 153",
         repeat("a", 161),
         Alphabet::Gsm7,
         false,
         {repeat("a", 153), repeat("a", 8)}},
        {"an escape pair is not cut",
         repeat("a", 152) + "€" + repeat("b", 9),
         Alphabet::Gsm7,
         false,
         {repeat("a", 152), "€" + repeat("b", 9)}},
        {"a 16-bit reference leaves 152",
         repeat("a", 161),
         Alphabet::Gsm7,
         true,
         {repeat("a", 152), repeat("a", 9)}},
        {"70 UCS-2 units fit one message",
         repeat(zhe, 70),
         Alphabet::Ucs2,
         false,
         {repeat(zhe, 70)}},
        {"71 take two of 67",
         repeat(zhe, 71),
         Alphabet::Ucs2,
         false,
         {repeat(zhe, 67), repeat(zhe, 4)}},
        {"a surrogate pair is not cut",
         repeat(zhe, 66) + "😀" + repeat(zhe, 3),
         Alphabet::Ucs2,
         false,
         {repeat(zhe, 66), "😀" + repeat(zhe, 3)}},
        {"140 bytes fit one message",
         repeat("x", 140),
         Alphabet::EightBit,
         false,
         {repeat("x", 140)}},
        {"141 take two of 134",
         repeat("x", 141),
         Alphabet::EightBit,
         false,
         {repeat("x", 134), repeat("x", 7)}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto parts = splitText(c.text, c.alphabet, c.sixteenBit);
        ASSERT_TRUE(parts) << parts.error();
        EXPECT_EQ(*parts, c.parts);
    }
    EXPECT_FALSE(splitText(repeat(zhe, 67 * 255 + 1), Alphabet::Ucs2));  // 256 parts
    EXPECT_FALSE(splitText("\xFF", Alphabet::Gsm7));
}

TEST(SmsSending, CodingIsChosenFromTheText)
{
    EXPECT_EQ(*chooseAlphabet("Grüße, 5€", TextCoding::Automatic), Alphabet::Gsm7);
    EXPECT_EQ(*chooseAlphabet("Привет", TextCoding::Automatic), Alphabet::Ucs2);
    EXPECT_EQ(*chooseAlphabet("Hello", TextCoding::Ucs2), Alphabet::Ucs2);
    EXPECT_FALSE(chooseAlphabet("Привет", TextCoding::Gsm7));
}

// A text the default alphabet lacks letters for goes in 7 bits under the national tables that
// carry it, and each message gives up the room their header elements take.
TEST(SmsSending, NationalTablesCarryWhatTheDefaultAlphabetCannot)
{
    struct Case {
        const char *text;
        Alphabet alphabet;
        GsmTables tables;
    };
    const Case cases[] = {
        {"Grüße, 5€", Alphabet::Gsm7, {}},                  // the default alphabet has it all
        {"İyi akşamlar ğ", Alphabet::Gsm7, {1, 0}},         // Turkish locking shift alone
        {"Canción ç ñ", Alphabet::Gsm7, {0, 2}},            // Spanish single shift
        {"नमस्ते", Alphabet::Gsm7, {6, 0}},                  // Hindi
        {"Привет", Alphabet::Ucs2, {}},                     // no table has Cyrillic
        {"İyi akşamlar 日本", Alphabet::Ucs2, {}},
    };
    for (const auto &c : cases) {
        const auto encoding = chooseEncoding(c.text, TextCoding::Automatic);
        ASSERT_TRUE(encoding) << c.text;
        EXPECT_EQ(encoding->alphabet, c.alphabet) << c.text;
        EXPECT_EQ(encoding->tables, c.tables) << c.text;
    }

    // One message holds 155 septets beside one table's element, a part 149.
    EXPECT_EQ(splitText(repeat("ş", 155), Alphabet::Gsm7, false, {1, 0})->size(), 1u);
    const auto parts = splitText(repeat("ş", 156), Alphabet::Gsm7, false, {1, 0});
    ASSERT_EQ(parts->size(), 2u);
    EXPECT_EQ(parts->front(), repeat("ş", 149));

    OutgoingText outgoing;
    outgoing.number = "+905321234567";
    outgoing.text = repeat("Çalışkan öğrenciler İstanbul'da. ", 10);
    const auto messages = submitMessages(outgoing);
    ASSERT_TRUE(messages) << messages.error();
    EXPECT_EQ(messages->size(), 3u);  // 330 septets: under UCS-2 it would take five
    std::string joined;
    for (const auto &message : *messages) {
        const auto encoded = encodeSmsPdu(message);
        ASSERT_TRUE(encoded) << encoded.error();
        const auto back = decodeSmsPdu(encoded->bytes);
        ASSERT_TRUE(back) << back.error();
        EXPECT_EQ(back->coding().alphabet, Alphabet::Gsm7);
        EXPECT_EQ(back->userData.tables, (GsmTables{1, 0}));
        joined += back->userData.text;
    }
    EXPECT_EQ(joined, outgoing.text);
}

TEST(SmsSending, PartsCarryTheSettingsAndJoinBackToTheText)
{
    OutgoingText outgoing;
    outgoing.number = "+4917612345678";
    outgoing.text = repeat("Grüße aus Köln. ", 12);  // 192 septets
    outgoing.messageClass = 1;
    outgoing.validityMinutes = 24 * 60;
    outgoing.statusReportRequest = true;
    outgoing.serviceCentre = "+447785016005";
    outgoing.messageReference = 9;
    outgoing.concatenationReference = 0x1A2;
    const auto messages = submitMessages(outgoing);
    ASSERT_TRUE(messages) << messages.error();
    ASSERT_EQ(messages->size(), 2u);
    std::string joined;
    for (size_t i = 0; i < messages->size(); ++i) {
        const auto encoded = encodeSmsPdu((*messages)[i]);
        ASSERT_TRUE(encoded) << encoded.error();
        const auto back = decodeSmsPdu(encoded->bytes);
        ASSERT_TRUE(back) << back.error();
        EXPECT_EQ(back->address.number, outgoing.number);
        EXPECT_EQ(back->serviceCentre->number, "+447785016005");
        EXPECT_EQ(back->messageReference, 9 + i);
        EXPECT_EQ(back->coding().messageClass, 1);
        EXPECT_EQ(back->validity.seconds(), 86400u);
        EXPECT_TRUE(back->statusReportRequest);
        const Concatenation expected{0xA2, 2, static_cast<uint8_t>(i + 1), false};
        EXPECT_EQ(back->userData.concatenation, expected);
        joined += back->userData.text;
    }
    EXPECT_EQ(joined, outgoing.text);

    outgoing.messageClass = 4;
    EXPECT_FALSE(submitMessages(outgoing));
    outgoing.messageClass.reset();
    outgoing.text = "Короткий";
    const auto single = submitMessages(outgoing);
    ASSERT_TRUE(single);
    EXPECT_EQ(single->size(), 1u);
    EXPECT_FALSE(single->front().userData.concatenation);
    EXPECT_EQ(single->front().coding().alphabet, Alphabet::Ucs2);
}

TEST(SmsSending, RelativeValidityRoundsUpToTheNextStep)
{
    struct Case {
        uint32_t minutes;
        uint8_t code;
        uint32_t minutesOfCode;
    };
    const Case cases[] = {
        {0, 0, 5},
        {5, 0, 5},
        {6, 1, 10},
        {720, 143, 720},
        {721, 144, 750},
        {1440, 167, 1440},
        {1441, 168, 2880},
        {43200, 196, 43200},
        {43201, 197, 50400},
        {635040, 255, 635040},
        {10000000, 255, 635040},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.minutes);
        EXPECT_EQ(relativeValidityForMinutes(c.minutes), c.code);
        EXPECT_EQ(minutesOfRelativeValidity(c.code), c.minutesOfCode);
    }
}

}  // namespace
}  // namespace codec
