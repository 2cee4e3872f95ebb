#include "codec/SmsPdu.h"

#include "codec/Hex.h"

namespace codec {

namespace {

constexpr uint8_t kTypeMask = 0x03;
constexpr uint8_t kMoreMessagesOrRejectDuplicates = 0x04;  // inverted sense in DELIVER/REPORT
constexpr uint8_t kValidityFormatMask = 0x18;
constexpr uint8_t kStatusReportFlag = 0x20;  // indication, request or qualifier
constexpr uint8_t kUserDataHeaderFlag = 0x40;
constexpr uint8_t kReplyPathFlag = 0x80;

constexpr uint8_t kParameterProtocol = 0x01;
constexpr uint8_t kParameterCoding = 0x02;
constexpr uint8_t kParameterUserData = 0x04;

Result<SmsMessage> failure(std::string why) { return Result<SmsMessage>::failure(std::move(why)); }

std::optional<SmsTimestamp> readTimestamp(ByteReader &reader, bool &ended)
{
    const auto bytes = reader.take(7);
    if (!bytes) {
        ended = true;
        return std::nullopt;
    }
    return timestampFromBytes(std::span<const uint8_t, 7>(bytes->data(), 7));
}

bool readValidity(ByteReader &reader, uint8_t firstOctet, ValidityPeriod &validity)
{
    switch (firstOctet & kValidityFormatMask) {
    case 0x00: validity.format = ValidityPeriod::Format::None; return true;
    case 0x10: {
        validity.format = ValidityPeriod::Format::Relative;
        const auto code = reader.byte();
        validity.relative = code.value_or(0);
        return code.has_value();
    }
    default: {
        const auto bytes = reader.take(7);
        if (!bytes)
            return false;
        if ((firstOctet & kValidityFormatMask) == 0x08) {
            validity.format = ValidityPeriod::Format::Enhanced;
            std::copy(bytes->begin(), bytes->end(), validity.enhanced.begin());
        } else {
            validity.format = ValidityPeriod::Format::Absolute;
            // An absolute period that is no date is kept as the zero date, not refused.
            validity.absolute = timestampFromBytes(std::span<const uint8_t, 7>(bytes->data(), 7))
                                    .value_or(SmsTimestamp{});
        }
        return true;
    }
    }
}

// The message reference (SUBMIT and STATUS-REPORT have one) and the address; an error or nothing.
std::optional<std::string> readReferenceAndAddress(ByteReader &reader, SmsMessage &message,
                                                   bool withReference)
{
    if (withReference) {
        const auto reference = reader.byte();
        if (!reference)
            return "the PDU ends before the message reference";
        message.messageReference = *reference;
    }
    auto address = readAddress(reader);
    if (!address)
        return address.error();
    message.address = *address;
    return std::nullopt;
}

Result<SmsMessage> readUserData(ByteReader &reader, SmsMessage &message, bool hasHeader)
{
    const auto length = reader.byte();
    if (!length)
        return failure("the PDU ends before the user-data length");
    auto userData = decodeUserData(reader.rest(), *length, hasHeader, message.coding());
    if (!userData)
        return failure(userData.error());
    message.userData = std::move(*userData);
    return message;
}

Result<SmsMessage> readDeliver(ByteReader &reader, SmsMessage &message, uint8_t first)
{
    message.moreMessagesToSend = !(first & kMoreMessagesOrRejectDuplicates);
    message.statusReportIndication = first & kStatusReportFlag;
    message.replyPath = first & kReplyPathFlag;
    if (auto error = readReferenceAndAddress(reader, message, false))
        return failure(*error);
    const auto protocol = reader.byte();
    const auto coding = reader.byte();
    bool ended = false;
    message.serviceCentreTime = readTimestamp(reader, ended);
    if (!protocol || !coding || ended)
        return failure("the PDU ends before the user data");
    message.protocolIdentifier = *protocol;
    message.dataCodingScheme = *coding;
    return readUserData(reader, message, first & kUserDataHeaderFlag);
}

Result<SmsMessage> readSubmit(ByteReader &reader, SmsMessage &message, uint8_t first)
{
    message.rejectDuplicates = first & kMoreMessagesOrRejectDuplicates;
    message.statusReportRequest = first & kStatusReportFlag;
    message.replyPath = first & kReplyPathFlag;
    if (auto error = readReferenceAndAddress(reader, message, true))
        return failure(*error);
    const auto protocol = reader.byte();
    const auto coding = reader.byte();
    if (!protocol || !coding || !readValidity(reader, first, message.validity))
        return failure("the PDU ends before the user data");
    message.protocolIdentifier = *protocol;
    message.dataCodingScheme = *coding;
    return readUserData(reader, message, first & kUserDataHeaderFlag);
}

Result<SmsMessage> readStatusReport(ByteReader &reader, SmsMessage &message, uint8_t first)
{
    message.moreMessagesToSend = !(first & kMoreMessagesOrRejectDuplicates);
    message.reportOfCommand = first & kStatusReportFlag;
    if (auto error = readReferenceAndAddress(reader, message, true))
        return failure(*error);
    bool ended = false;
    message.serviceCentreTime = readTimestamp(reader, ended);
    message.dischargeTime = readTimestamp(reader, ended);
    const auto status = reader.byte();
    if (ended || !status)
        return failure("the status report ends before its status");
    message.status = *status;
    // The parameter indicator and what it announces are optional; a report without them is
    // complete.
    const auto parameters = reader.byte();
    if (!parameters)
        return message;
    if (*parameters & kParameterProtocol) {
        const auto protocol = reader.byte();
        if (!protocol)
            return failure("the status report ends before its protocol identifier");
        message.protocolIdentifier = *protocol;
    }
    if (*parameters & kParameterCoding) {
        const auto coding = reader.byte();
        if (!coding)
            return failure("the status report ends before its data coding scheme");
        message.dataCodingScheme = *coding;
    }
    if (*parameters & kParameterUserData)
        return readUserData(reader, message, first & kUserDataHeaderFlag);
    return message;
}

void appendBytes(std::vector<uint8_t> &out, std::span<const uint8_t> bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

uint8_t validityFormatBits(ValidityPeriod::Format format)
{
    switch (format) {
    case ValidityPeriod::Format::None: return 0x00;
    case ValidityPeriod::Format::Relative: return 0x10;
    case ValidityPeriod::Format::Enhanced: return 0x08;
    case ValidityPeriod::Format::Absolute: return 0x18;
    }
    return 0x00;
}

}  // namespace

const char *smsTypeName(SmsType type)
{
    switch (type) {
    case SmsType::Deliver: return "deliver";
    case SmsType::Submit: return "submit";
    case SmsType::StatusReport: return "status-report";
    }
    return "deliver";
}

const char *deliveryOutcome(uint8_t status)
{
    if (status <= 0x1F)
        return "delivered";
    if (status <= 0x3F)
        return "pending";
    return "failed";
}

Result<SmsMessage> decodeSmsPdu(std::span<const uint8_t> pdu, LeadingServiceCentre leading)
{
    ByteReader reader(pdu);
    SmsMessage message;
    if (leading == LeadingServiceCentre::Present) {
        auto centre = readServiceCentre(reader);
        if (!centre)
            return failure(centre.error());
        message.serviceCentre = *centre;
    }
    const auto first = reader.byte();
    if (!first)
        return failure("the PDU ends before the message type");
    switch (*first & kTypeMask) {
    case 0: message.type = SmsType::Deliver; return readDeliver(reader, message, *first);
    case 1: message.type = SmsType::Submit; return readSubmit(reader, message, *first);
    case 2: message.type = SmsType::StatusReport; return readStatusReport(reader, message, *first);
    default: return failure("the message type 3 is reserved");
    }
}

Result<SmsMessage> decodeSmsPduHex(std::string_view hex, LeadingServiceCentre leading)
{
    const auto bytes = bytesFromHex(hex);
    if (!bytes)
        return failure("the PDU is not hexadecimal text of whole bytes");
    return decodeSmsPdu(*bytes, leading);
}

std::string EncodedPdu::hex() const { return hexFromBytes(bytes); }

Result<EncodedPdu> encodeSmsPdu(const SmsMessage &message)
{
    using Out = Result<EncodedPdu>;
    EncodedPdu pdu;
    auto centre = writeServiceCentre(message.serviceCentre);
    if (!centre)
        return Out::failure("service centre: " + centre.error());
    pdu.bytes = *centre;
    const size_t tpduStart = pdu.bytes.size();

    uint8_t first = 0;
    const bool header = message.userData.hasHeader();
    switch (message.type) {
    case SmsType::Deliver:
        first = 0x00 | (message.moreMessagesToSend ? 0 : kMoreMessagesOrRejectDuplicates) |
                (message.statusReportIndication ? kStatusReportFlag : 0) |
                (message.replyPath ? kReplyPathFlag : 0);
        break;
    case SmsType::Submit:
        first = 0x01 | (message.rejectDuplicates ? kMoreMessagesOrRejectDuplicates : 0) |
                validityFormatBits(message.validity.format) |
                (message.statusReportRequest ? kStatusReportFlag : 0) |
                (message.replyPath ? kReplyPathFlag : 0);
        break;
    case SmsType::StatusReport:
        first = 0x02 | (message.moreMessagesToSend ? 0 : kMoreMessagesOrRejectDuplicates) |
                (message.reportOfCommand ? kStatusReportFlag : 0);
        break;
    }
    if (header)
        first |= kUserDataHeaderFlag;
    pdu.bytes.push_back(first);
    if (message.type != SmsType::Deliver)
        pdu.bytes.push_back(message.messageReference);
    auto address = writeAddress(message.address);
    if (!address)
        return Out::failure(address.error());
    appendBytes(pdu.bytes, *address);

    const auto coding = message.coding();
    if (message.type == SmsType::StatusReport) {
        appendBytes(pdu.bytes,
                    bytesFromTimestamp(message.serviceCentreTime.value_or(SmsTimestamp{})));
        appendBytes(pdu.bytes, bytesFromTimestamp(message.dischargeTime.value_or(SmsTimestamp{})));
        pdu.bytes.push_back(message.status);
        const bool hasText =
            header || !message.userData.text.empty() || !message.userData.data.empty();
        if (hasText || message.protocolIdentifier || message.dataCodingScheme) {
            pdu.bytes.push_back(kParameterProtocol | kParameterCoding |
                                (hasText ? kParameterUserData : 0));
            pdu.bytes.push_back(message.protocolIdentifier);
            pdu.bytes.push_back(message.dataCodingScheme);
        }
        if (!hasText) {
            pdu.tpduLength = pdu.bytes.size() - tpduStart;
            return pdu;
        }
    } else {
        pdu.bytes.push_back(message.protocolIdentifier);
        pdu.bytes.push_back(message.dataCodingScheme);
        if (message.type == SmsType::Deliver) {
            appendBytes(pdu.bytes,
                        bytesFromTimestamp(message.serviceCentreTime.value_or(SmsTimestamp{})));
        } else if (message.validity.format == ValidityPeriod::Format::Relative) {
            pdu.bytes.push_back(message.validity.relative);
        } else if (message.validity.format == ValidityPeriod::Format::Enhanced) {
            appendBytes(pdu.bytes, message.validity.enhanced);
        } else if (message.validity.format == ValidityPeriod::Format::Absolute) {
            appendBytes(pdu.bytes, bytesFromTimestamp(message.validity.absolute));
        }
    }
    const Alphabet alphabet = coding.compressed ? Alphabet::EightBit : coding.alphabet;
    auto userData = encodeUserData(message.userData, alphabet);
    if (!userData)
        return Out::failure(userData.error());
    pdu.bytes.push_back(userData->length);
    appendBytes(pdu.bytes, userData->bytes);
    pdu.tpduLength = pdu.bytes.size() - tpduStart;
    return pdu;
}

}  // namespace codec
