// SMS PDUs as the card reads and sends them (+CMGR, +CMGL, +CMT, +CDS, +CMGS, +CMGW): the
// service-centre address in front, then an SMS-DELIVER, SMS-SUBMIT or SMS-STATUS-REPORT.
#pragma once

#include "codec/Result.h"
#include "codec/SmsFields.h"
#include "codec/UserData.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace codec {

enum class SmsType { Deliver, Submit, StatusReport };
const char *smsTypeName(SmsType type);  // "deliver", "submit", "status-report"

struct SmsMessage {
    std::optional<SmsAddress> serviceCentre;  // nothing: the card's own
    SmsType type = SmsType::Deliver;

    // Flags of the first octet.
    bool moreMessagesToSend = false;      // DELIVER, STATUS-REPORT
    bool replyPath = false;               // DELIVER, SUBMIT
    bool statusReportIndication = false;  // DELIVER: the sender asked for a report
    bool statusReportRequest = false;     // SUBMIT
    bool rejectDuplicates = false;        // SUBMIT
    bool reportOfCommand = false;         // STATUS-REPORT: of a command, not of a SUBMIT

    uint8_t messageReference = 0;  // SUBMIT, STATUS-REPORT
    // The sender (DELIVER), the destination (SUBMIT), or whom the report is about.
    SmsAddress address;
    uint8_t protocolIdentifier = 0;
    uint8_t dataCodingScheme = 0;
    // DELIVER and STATUS-REPORT; nothing when the card gave a stamp that is no date.
    std::optional<SmsTimestamp> serviceCentreTime;
    ValidityPeriod validity;                    // SUBMIT
    std::optional<SmsTimestamp> dischargeTime;  // STATUS-REPORT
    uint8_t status = 0;                         // STATUS-REPORT
    UserData userData;

    DataCoding coding() const { return decodeSmsDataCoding(dataCodingScheme); }
};

enum class LeadingServiceCentre { Present, Absent };

Result<SmsMessage> decodeSmsPdu(std::span<const uint8_t> pdu,
                                LeadingServiceCentre leading = LeadingServiceCentre::Present);
// The hexadecimal text an AT command carries.
Result<SmsMessage> decodeSmsPduHex(std::string_view hex,
                                   LeadingServiceCentre leading = LeadingServiceCentre::Present);

struct EncodedPdu {
    std::vector<uint8_t> bytes;  // the service centre, then the message
    size_t tpduLength = 0;       // without the service centre, as +CMGS and +CMGW want it
    std::string hex() const;
};
Result<EncodedPdu> encodeSmsPdu(const SmsMessage &message);

// What a status report's status byte says, in a word: "delivered", "pending" (the network
// still tries) or "failed".
const char *deliveryOutcome(uint8_t status);

}  // namespace codec
