// Records made from PDUs as cards store them, and the PDUs made from records.
#include "SmsRecords.h"

#include "codec/Unicode.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace lumacore;

namespace {

_MEC_SMS_RECORD received(const std::string &pdu)
{
    const auto message = codec::decodeSmsPduHex(pdu);
    EXPECT_TRUE(message) << pdu;
    return message ? recordFromMessage(*message, 3, kSmsUnread, 0).value_or(_MEC_SMS_RECORD{})
                   : _MEC_SMS_RECORD{};
}

const std::string kFront = "07911326040000F0040C910935123254760000";

TEST(SmsRecords, DataIsNamedNotShownAsHex)
{
    // 8-bit coding (04): five bytes for an application, and one byte.
    EXPECT_STREQ(received("07911326040000F0040C910935123254760004622101214300210501020304FF").text,
                 "[Data message, 5 bytes]");
    EXPECT_STREQ(received("07911326040000F0040C9109351232547600046221012143002101AA").text,
                 "[Data message, 1 byte]");
}

TEST(SmsRecords, TheNetworkTimeKeepsItsZone)
{
    struct Case {
        const char *zone;
        int quarters;
    };
    // +03:00, -05:00, +05:45.
    for (const Case &c : {Case{"21", 12}, Case{"0A", -20}, Case{"32", 23}}) {
        const _MEC_SMS_RECORD record =
            received(kFront + "62210121430" + "0" + c.zone + "03C8340B");
        EXPECT_EQ(record.receiveTime.hour, 12) << c.zone;
        EXPECT_EQ(record.receiveTime.hasZone, 1) << c.zone;
        EXPECT_EQ(record.receiveTime.zoneQuarters, c.quarters) << c.zone;
        // Stored back on a card, the stamp says the same.
        const auto pdu = pduForRecord(record);
        ASSERT_TRUE(pdu) << pdu.error();
        const auto again = codec::decodeSmsPdu(pdu->bytes);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->serviceCentreTime->offsetQuarters, c.quarters) << c.zone;
    }
}

TEST(SmsRecords, GsmCodesInNationalTablesGoOutUnderTheirHeader)
{
    // "İş ğ" in the Turkish locking shift: İ 0x40, ş 0x1D, space, ğ 0x0C.
    _MEC_SMS_RECORD record{};
    record.status = kSmsUnsent;
    std::strcpy(record.recipient, "+905321234567");
    record.coding = kSmsCodingGsm;
    const uint8_t codes[] = {0x40, 0x1D, 0x20, 0x0C};
    std::memcpy(record.text, codes, sizeof codes);
    record.textLength = sizeof codes;
    record.lockingShift = 1;
    EXPECT_EQ(recordText(record), "İş ğ");
    const auto pdu = pduForRecord(record);
    ASSERT_TRUE(pdu) << pdu.error();
    const auto sent = codec::decodeSmsPdu(pdu->bytes);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->coding().alphabet, codec::Alphabet::Gsm7);
    EXPECT_EQ(sent->userData.tables, (codec::GsmTables{1, 0}));
    EXPECT_EQ(sent->userData.text, "İş ğ");
}

// A sender that cuts UCS-2 text by bytes may leave an emoji's halves in two parts.
TEST(SmsRecords, AnEmojiCutBetweenPartsIsJoinedWhole)
{
    const std::string head = "07911326040000F0440C9109351232547600086221012143002" "10A";
    const _MEC_SMS_RECORD first = received(head + "050003420201" + "0041D83D");
    const _MEC_SMS_RECORD second = received(head + "050003420202" + "DE000042");
    EXPECT_EQ(codec::joinSurrogateHalves(std::string(first.text) + second.text),
              "A\U0001F600B");
    // Alone, each half shows as the replacement character.
    EXPECT_EQ(codec::joinSurrogateHalves(first.text), "A\uFFFD");
    EXPECT_EQ(codec::joinSurrogateHalves(second.text), "\uFFFDB");
}

}  // namespace
