#include "SmsRecords.h"

#include "SimText.h"
#include "codec/SmsSending.h"
#include "codec/Unicode.h"

#include <cstdio>
#include <cstring>

namespace lumacore {

namespace {

// Copies text into a field, NUL-terminated, never cutting a UTF-8 character in two.
void copyText(char *field, size_t size, const std::string &text)
{
    size_t length = std::min(text.size(), size - 1);
    while (length > 0 && length < text.size() &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

_MEC_SMS_TIME recordTime(const codec::SmsTimestamp &stamp)
{
    _MEC_SMS_TIME time{};
    time.year = static_cast<uint16_t>(stamp.year);
    time.month = static_cast<uint16_t>(stamp.month);
    time.day = static_cast<uint16_t>(stamp.day);
    time.hour = static_cast<uint16_t>(stamp.hour);
    time.minute = static_cast<uint16_t>(stamp.minute);
    time.second = static_cast<uint16_t>(stamp.second);
    time.zoneQuarters = static_cast<int8_t>(stamp.offsetQuarters);
    time.hasZone = 1;
    return time;
}

std::optional<codec::SmsTimestamp> stampOf(const _MEC_SMS_TIME &time)
{
    if (time.year < 1990 || time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31)
        return std::nullopt;
    codec::SmsTimestamp stamp;
    stamp.year = time.year;
    stamp.month = time.month;
    stamp.day = time.day;
    stamp.hour = time.hour % 24;
    stamp.minute = time.minute % 60;
    stamp.second = time.second % 60;
    if (time.hasZone)
        stamp.offsetQuarters = time.zoneQuarters;
    return stamp;
}

std::string fieldText(const char *field, size_t size)
{
    return std::string(field, strnlen(field, size));
}

}  // namespace

uint8_t recordStatusOfStat(int stat)
{
    switch (stat) {
    case 0: return kSmsUnread;
    case 1: return kSmsRead;
    case 2: return kSmsUnsent;
    default: return kSmsSent;
    }
}

int statOfRecordStatus(uint8_t status)
{
    switch (status) {
    case kSmsUnread: return 0;
    case kSmsRead: return 1;
    case kSmsUnsent: return 2;
    default: return 3;
    }
}

std::optional<_MEC_SMS_RECORD> recordFromMessage(const codec::SmsMessage &message, uint16_t index,
                                                 uint8_t status, uint8_t storage)
{
    if (message.type == codec::SmsType::StatusReport)
        return std::nullopt;
    _MEC_SMS_RECORD record{};
    record.size = sizeof record;
    record.index = index;
    record.status = status;
    record.storage = storage;
    const std::string number = message.address.number;
    if (message.type == codec::SmsType::Deliver)
        copyText(record.sender, sizeof record.sender, utf8ToSystem(number));
    else
        copyText(record.recipient, sizeof record.recipient, utf8ToSystem(number));
    if (message.serviceCentre)
        copyText(record.serviceCenter, sizeof record.serviceCenter, message.serviceCentre->number);
    const codec::DataCoding coding = message.coding();
    record.coding = coding.alphabet == codec::Alphabet::Gsm7 ? kSmsCodingGsm : kSmsCodingUcs2;
    if (message.serviceCentreTime) {
        record.sendTime = recordTime(*message.serviceCentreTime);
        record.receiveTime = record.sendTime;
    }
    if (const auto &part = message.userData.concatenation; part && part->count > 1) {
        record.longMessage = 1;
        record.reference = part->reference;
        record.partCount = part->count;
        record.partNumber = part->part;
    }
    // A character a sender cut between two parts keeps its halves, for the join to mend.
    const std::string system = utf8ToSystem(
        codec::withLoneSurrogates(messageText(message), message.userData.openingLowSurrogate,
                                  message.userData.closingHighSurrogate));
    copyText(record.text, sizeof record.text, system);
    // The length is the program's to set on save and send: a record read back holds text, so
    // handing it back as it is never reads it as GSM codes.
    record.textLength = 0;
    return record;
}

std::string messageText(const codec::SmsMessage &message)
{
    const codec::DataCoding coding = message.coding();
    if (coding.alphabet != codec::Alphabet::EightBit && !coding.compressed)
        return message.userData.text;
    // Bytes for an application (a ringtone, a configuration, a port-addressed message) are no
    // text; their hex would read as gibberish.
    const size_t size = message.userData.data.size();
    return "[Data message, " + std::to_string(size) + (size == 1 ? " byte]" : " bytes]");
}

std::string recordText(const _MEC_SMS_RECORD &record)
{
    if (record.coding == kSmsCodingGsm && record.textLength > 0) {
        // One GSM code a byte; '@' is code 0, so the length counts, not a NUL.
        const size_t length = std::min<size_t>(record.textLength, sizeof record.text);
        const auto *codes = reinterpret_cast<const uint8_t *>(record.text);
        const codec::GsmTables tables = tablesOf(record);
        if (tables.national())
            return codec::utf8FromGsmSeptets(std::span(codes, length), tables);
        return gsmToUtf8(codes, length);
    }
    return systemToUtf8(fieldText(record.text, sizeof record.text));
}

codec::GsmTables tablesOf(const _MEC_SMS_RECORD &record)
{
    if (record.coding != kSmsCodingGsm || record.textLength == 0)
        return {};
    return codec::GsmTables{record.lockingShift, record.singleShift};
}

std::string recordNumber(const _MEC_SMS_RECORD &record, bool received)
{
    return systemToUtf8(
        fieldText(received ? record.sender : record.recipient, sizeof record.recipient));
}

std::string timeText(const codec::SmsTimestamp &stamp)
{
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", stamp.year, stamp.month,
                  stamp.day, stamp.hour, stamp.minute, stamp.second);
    return text;
}

codec::Result<codec::EncodedPdu> pduForRecord(const _MEC_SMS_RECORD &record)
{
    codec::SmsMessage message;
    const bool received = record.status == kSmsRead || record.status == kSmsUnread;
    message.type = received ? codec::SmsType::Deliver : codec::SmsType::Submit;
    message.address = codec::SmsAddress::fromText(recordNumber(record, received));
    const std::string centre = fieldText(record.serviceCenter, sizeof record.serviceCenter);
    if (!centre.empty())
        message.serviceCentre = codec::SmsAddress::fromText(centre);
    if (received) {
        message.serviceCentreTime = stampOf(record.receiveTime);
        if (!message.serviceCentreTime)
            message.serviceCentreTime = codec::SmsTimestamp{};
    }
    message.userData.text = recordText(record);
    auto encoding = codec::chooseEncoding(
        message.userData.text,
        record.coding == kSmsCodingUcs2 ? codec::TextCoding::Ucs2 : codec::TextCoding::Automatic,
        tablesOf(record));
    if (!encoding)
        return codec::Result<codec::EncodedPdu>::failure(encoding.error());
    message.dataCodingScheme = codec::smsDataCodingScheme(encoding->alphabet, std::nullopt);
    message.userData.tables = encoding->tables;
    if (record.longMessage && record.partCount > 1 && record.partNumber >= 1 &&
        record.partNumber <= record.partCount) {
        codec::Concatenation part;
        part.reference = record.reference;
        part.count = record.partCount;
        part.part = record.partNumber;
        part.sixteenBitReference = record.reference > 0xFF;
        message.userData.concatenation = part;
    }
    return codec::encodeSmsPdu(message);
}

}  // namespace lumacore
