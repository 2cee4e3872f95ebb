// SMS PDUs written out by hand, field by field, as the standards lay them out; each decoded and
// checked, then messages of every kind encoded and read back.
#include "codec/Hex.h"
#include "codec/SmsPdu.h"

#include <gtest/gtest.h>

namespace codec {
namespace {

SmsMessage decoded(const std::string &hex,
                   LeadingServiceCentre leading = LeadingServiceCentre::Present)
{
    auto message = decodeSmsPduHex(hex, leading);
    EXPECT_TRUE(message) << hex << ": " << message.error();
    return message ? *message : SmsMessage{};
}

std::string stamp(const std::optional<SmsTimestamp> &time)
{
    return time ? time->iso8601() : "none";
}

TEST(SmsPdu, DeliverInSevenBitsReadsEveryField)
{
    const auto message = decoded(
        "0791447758100650"  // service centre: 7 octets, international, 447785016005
        "04"                // DELIVER, no more messages
        "0C91947111325476"  // sender: 12 digits, international, 491711234567
        "00"                // protocol identifier
        "00"                // 7-bit default alphabet, no class
        "62218012510340"    // 2026-12-08 21:15:30, +4 quarter hours
        "0A"                // 10 septets
        "E8329BFD4697D9EC37");
    ASSERT_TRUE(message.serviceCentre);
    EXPECT_EQ(message.serviceCentre->number, "+447785016005");
    EXPECT_EQ(message.type, SmsType::Deliver);
    EXPECT_FALSE(message.moreMessagesToSend);
    EXPECT_EQ(message.address.number, "+491711234567");
    EXPECT_EQ(stamp(message.serviceCentreTime), "2026-12-08T21:15:30+01:00");
    EXPECT_EQ(message.coding().alphabet, Alphabet::Gsm7);
    EXPECT_FALSE(message.coding().messageClass);
    EXPECT_EQ(message.userData.text, "hellohello");
    EXPECT_FALSE(message.userData.concatenation);
}

TEST(SmsPdu, DeliverCodingsHeadersSendersAndZones)
{
    struct Case {
        const char *name;
        const char *pdu;
        const char *sender;
        const char *time;
        Alphabet alphabet;
        int messageClass;  // -1: none
        const char *text;
        const char *data;
        int reference;  // -1: not concatenated
        int part;
        int count;
        bool sixteenBit;
    };
    const Case cases[] = {
        {"UCS-2 with a surrogate pair, national sender, zone -03:30",
         "00"
         "04"
         "0B811007214365F7"
         "00"
         "08"
         "62301090500049"
         "10"
         "0047007200FC00DF00650020D83DDE00",
         "01701234567", "2026-03-01T09:05:00-03:30", Alphabet::Ucs2, -1, "Grüße 😀", "", -1, 0, 0,
         false},
        {"8-bit data, class 1, alphanumeric sender, 16-bit reference",
         "00"
         "44"
         "09D042797A1E06"
         "00"
         "F5"
         "62218012510340"
         "0A"
         "06080412340302"
         "414243",
         "Brisa", "2026-12-08T21:15:30+01:00", Alphabet::EightBit, 1, "", "414243", 0x1234, 2, 3,
         true},
        {"7-bit behind an 8-bit reference: one fill bit",
         "00"
         "44"
         "0C91947111325476"
         "00"
         "00"
         "62218012510340"
         "0F"
         "0500032A0201"
         "A061391DF4769701",
         "+491711234567", "2026-12-08T21:15:30+01:00", Alphabet::Gsm7, -1, "Part one", "", 0x2A, 1,
         2, false},
        {"class 0 (flash)",
         "00"
         "04"
         "0C91947111325476"
         "00"
         "10"
         "62218012510340"
         "05"
         "4676788E06",
         "+491711234567", "2026-12-08T21:15:30+01:00", Alphabet::Gsm7, 0, "Flash", "", -1, 0, 0,
         false},
        {"a stamp that is no date reads as none, the text survives",
         "00"
         "04"
         "0C91947111325476"
         "00"
         "00"
         "62FF8012510340"
         "02"
         "C834",
         "+491711234567", "none", Alphabet::Gsm7, -1, "Hi", "", -1, 0, 0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto message = decoded(c.pdu);
        EXPECT_FALSE(message.serviceCentre);
        EXPECT_EQ(message.address.number, c.sender);
        EXPECT_EQ(stamp(message.serviceCentreTime), c.time);
        EXPECT_EQ(message.coding().alphabet, c.alphabet);
        EXPECT_EQ(message.coding().messageClass.value_or(-1), c.messageClass);
        EXPECT_EQ(message.userData.text, c.text);
        EXPECT_EQ(hexFromBytes(message.userData.data), c.data);
        const auto &concatenation = message.userData.concatenation;
        EXPECT_EQ(concatenation.has_value(), c.reference >= 0);
        if (concatenation && c.reference >= 0) {
            EXPECT_EQ(concatenation->reference, c.reference);
            EXPECT_EQ(concatenation->part, c.part);
            EXPECT_EQ(concatenation->count, c.count);
            EXPECT_EQ(concatenation->sixteenBitReference, c.sixteenBit);
        }
    }
}

// Texts in the national shift tables, as phones in those countries send them: the header names
// the tables, the septets are read in them.
TEST(SmsPdu, NationalShiftTablesReadAsTheirLetters)
{
    struct Case {
        const char *pdu;
        const char *text;
        GsmTables tables;
    };
    const std::string front = "07911326040000F0440C910935123254760000622101214300";
    const Case cases[] = {
        {"210E06240101250101C00E380D6200", "İşçi ğ", {1, 1}},      // Turkish, both tables
        {"210F032401024884419B04681306F501", "Ça ç á ñ", {0, 2}},  // Spanish single shift
        {"210F06240103250103CEFD1B94004900", "Não ç ª", {3, 3}},   // Portuguese
        {"2112062401062501062F21F37BCA8262B219", "नमस्ते 123", {6, 6}},  // Hindi
    };
    for (const auto &c : cases) {
        const auto message = decoded(front + c.pdu);
        EXPECT_EQ(message.userData.text, c.text) << c.pdu;
        EXPECT_EQ(message.userData.tables, c.tables) << c.pdu;
        EXPECT_TRUE(message.userData.otherElements.empty()) << c.pdu;
    }
    // The concatenation element beside them still joins the part.
    const auto part = decoded(
        front + "211C0B000342020124010125010100F3695078DD09B7D961398801");
    EXPECT_EQ(part.userData.text, "İyi akşamlar ğ");
    ASSERT_TRUE(part.userData.concatenation);
    EXPECT_EQ(part.userData.concatenation->reference, 0x42);
}

TEST(SmsPdu, SubmitReadsValidityInEveryFormatAndTheReportRequest)
{
    struct Case {
        const char *pdu;
        ValidityPeriod::Format format;
        int64_t seconds;  // -1: not a duration
    };
    const Case cases[] = {
        // Relative 167 = one day; a status report asked for.
        {"00"
         "31"
         "00"
         "0D91947116325476F8"
         "00"
         "00"
         "A7"
         "05"
         "C8309BFD06",
         ValidityPeriod::Format::Relative, 86400},
        // Enhanced, relative in whole seconds: 120.
        {"00"
         "29"
         "00"
         "0D91947116325476F8"
         "00"
         "00"
         "02780000000000"
         "05"
         "C8309BFD06",
         ValidityPeriod::Format::Enhanced, 120},
        // Absolute: a date, not a duration.
        {"00"
         "39"
         "00"
         "0D91947116325476F8"
         "00"
         "00"
         "62218012510340"
         "05"
         "C8309BFD06",
         ValidityPeriod::Format::Absolute, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pdu);
        const auto message = decoded(c.pdu);
        EXPECT_EQ(message.type, SmsType::Submit);
        EXPECT_TRUE(message.statusReportRequest);
        EXPECT_EQ(message.address.number, "+4917612345678");
        EXPECT_EQ(message.userData.text, "Hallo");
        EXPECT_EQ(message.validity.format, c.format);
        const auto seconds = message.validity.seconds();
        EXPECT_EQ(seconds ? static_cast<int64_t>(*seconds) : -1, c.seconds);
    }
    EXPECT_EQ(decoded("003900"
                      "0D91947116325476F8"
                      "0000"
                      "62218012510340"
                      "05"
                      "C8309BFD06")
                  .validity.absolute.iso8601(),
              "2026-12-08T21:15:30+01:00");
}

TEST(SmsPdu, StatusReportReadsReferenceRecipientTimesAndStatus)
{
    const auto report = decoded(
        "0791447758100650"
        "06"
        "2B"
        "0C91947111325476"
        "62218012510340"
        "62218012512440"
        "00");
    EXPECT_EQ(report.type, SmsType::StatusReport);
    EXPECT_EQ(report.messageReference, 0x2B);
    EXPECT_EQ(report.address.number, "+491711234567");
    EXPECT_EQ(stamp(report.serviceCentreTime), "2026-12-08T21:15:30+01:00");
    EXPECT_EQ(stamp(report.dischargeTime), "2026-12-08T21:15:42+01:00");
    EXPECT_EQ(report.status, 0);
    EXPECT_STREQ(deliveryOutcome(report.status), "delivered");
    EXPECT_STREQ(deliveryOutcome(0x30), "pending");
    EXPECT_STREQ(deliveryOutcome(0x41), "failed");
}

TEST(SmsPdu, MalformedInputGivesAnErrorAndNeverReadsPastTheEnd)
{
    const char *const cases[] = {
        "",                                      // nothing at all
        "0G",                                    // not hex
        "000",                                   // half a byte
        "07914477581006",                        // service centre cut short
        "0C91447758100650",                      // service centre longer than allowed
        "0004",                                  // ends before the sender
        "00040C9194711132",                      // sender cut short
        "000428919471113254769471113254769471",  // sender of 40 digits
        "00040C91947111325476000062218012",      // ends inside the time stamp
        "00040C919471113254760000622180125103400A"
        "E8329BFD46",  // text shorter than its length
        "0007",        // the reserved type 3
        "00440C91947111325476000062218012510340"
        "03"
        "050003",  // header longer than the data
        "00440C91947111325476000062218012510340"
        "04"
        "03000501",  // element past the header
        "00062B0C91947111325476"
        "62218012510340",                // report ends before the status
        "0031000D91947116325476F80000",  // submit ends before its validity
    };
    for (const char *hex : cases) {
        SCOPED_TRACE(hex);
        const auto message = decodeSmsPduHex(hex);
        EXPECT_FALSE(message);
        EXPECT_FALSE(message.error().empty());
    }
}

SmsMessage deliver(const std::string &text, uint8_t scheme)
{
    SmsMessage message;
    message.serviceCentre = SmsAddress::fromText("+447785016005");
    message.address = SmsAddress::fromText("+491711234567");
    message.serviceCentreTime = SmsTimestamp{2026, 12, 8, 21, 15, 30, -20};
    message.dataCodingScheme = scheme;
    message.userData.text = text;
    return message;
}

TEST(SmsPdu, EncodedMessagesReadBackTheSame)
{
    std::vector<SmsMessage> messages;
    messages.push_back(deliver("Preis: 5€ [netto] {ok} ~ | \\ ^", 0x00));
    messages.push_back(deliver("Ça va? 😀 你好", 0x1A));  // UCS-2, class 2
    auto longReference = deliver("Teil 2", 0x00);
    longReference.userData.concatenation = Concatenation{0xBEEF, 3, 2, true};
    longReference.userData.otherElements.push_back({0x0A, {0x00, 0x05, 0x00}});  // text formatting
    messages.push_back(longReference);
    auto data = deliver("", 0x04);
    data.userData.data = {0x00, 0xFF, 0x7F, 0x80};
    data.address = SmsAddress::fromText("Brisa Info");
    messages.push_back(data);
    SmsMessage submit;
    submit.type = SmsType::Submit;
    submit.messageReference = 77;
    submit.statusReportRequest = true;
    submit.rejectDuplicates = true;
    submit.address = SmsAddress::fromText("*100#");
    submit.validity.format = ValidityPeriod::Format::Enhanced;
    submit.validity.enhanced = {0x03, 0x21, 0x43, 0x65, 0, 0, 0};
    submit.userData.text = "@";
    messages.push_back(submit);
    SmsMessage report;
    report.type = SmsType::StatusReport;
    report.messageReference = 200;
    report.address = SmsAddress::fromText("0170123456");
    report.serviceCentreTime = SmsTimestamp{1999, 1, 2, 3, 4, 5, 79};
    report.dischargeTime = SmsTimestamp{2000, 2, 29, 23, 59, 59, -79};
    report.status = 0x45;
    report.userData.text = "failed";
    messages.push_back(report);

    for (const auto &message : messages) {
        const auto encoded = encodeSmsPdu(message);
        ASSERT_TRUE(encoded) << encoded.error();
        SCOPED_TRACE(encoded->hex());
        EXPECT_EQ(encoded->tpduLength, encoded->bytes.size() - 1 - encoded->bytes[0]);
        const auto back = decodeSmsPdu(encoded->bytes);
        ASSERT_TRUE(back) << back.error();
        EXPECT_EQ(back->type, message.type);
        EXPECT_EQ(back->serviceCentre, message.serviceCentre);
        EXPECT_EQ(back->address, message.address);
        EXPECT_EQ(back->messageReference,
                  message.type == SmsType::Deliver ? 0 : message.messageReference);
        EXPECT_EQ(back->statusReportRequest, message.statusReportRequest);
        EXPECT_EQ(back->rejectDuplicates, message.rejectDuplicates);
        EXPECT_EQ(back->dataCodingScheme, message.dataCodingScheme);
        EXPECT_EQ(back->validity, message.validity);
        EXPECT_EQ(back->serviceCentreTime, message.serviceCentreTime);
        EXPECT_EQ(back->dischargeTime, message.dischargeTime);
        EXPECT_EQ(back->status, message.status);
        EXPECT_EQ(back->userData.text, message.userData.text);
        EXPECT_EQ(back->userData.data, message.userData.data);
        EXPECT_EQ(back->userData.concatenation, message.userData.concatenation);
        EXPECT_EQ(back->userData.otherElements, message.userData.otherElements);
    }
}

TEST(SmsPdu, EncodingRefusesWhatCannotBeSent)
{
    auto tooLong = deliver(std::string(161, 'a'), 0x00);
    EXPECT_FALSE(encodeSmsPdu(tooLong));
    tooLong.userData.text.pop_back();
    EXPECT_TRUE(encodeSmsPdu(tooLong));                 // 160 fit
    EXPECT_FALSE(encodeSmsPdu(deliver("日本", 0x00)));  // not in the 7-bit alphabet
    auto badNumber = deliver("x", 0x00);
    badNumber.address.number = "+49 171";
    EXPECT_FALSE(encodeSmsPdu(badNumber));
    badNumber.address = SmsAddress::fromText("A sender far too long");
    EXPECT_FALSE(encodeSmsPdu(badNumber));
}

}  // namespace
}  // namespace codec
