// Short messages between the card's PDUs and the program's records: what a stored or delivered
// PDU says as a _MEC_SMS_RECORD, and the PDU +CMGW stores for a record.
#pragma once

#include "codec/SmsPdu.h"
#include "lumacore.h"

#include <optional>
#include <string>

namespace lumacore {

// Record statuses, and the +CMGL/+CMGR stat they stand for.
constexpr uint8_t kSmsRead = 1;
constexpr uint8_t kSmsUnread = 2;
constexpr uint8_t kSmsSent = 3;
constexpr uint8_t kSmsUnsent = 4;
uint8_t recordStatusOfStat(int stat);
int statOfRecordStatus(uint8_t status);

// Record codings.
constexpr uint8_t kSmsCodingGsm = 1;
constexpr uint8_t kSmsCodingUcs2 = 4;

// The record of a decoded DELIVER or SUBMIT; nothing for a status report.
std::optional<_MEC_SMS_RECORD> recordFromMessage(const codec::SmsMessage &message, uint16_t index,
                                                 uint8_t status, uint8_t storage);
// What a message says, as UTF-8: its text, or for 8-bit data a note of what it is and its size.
std::string messageText(const codec::SmsMessage &message);
// The text of a record as UTF-8: GSM codes, one a byte, for coding 1 with a length given;
// else text in the system code page (as records read from the engine always hold).
std::string recordText(const _MEC_SMS_RECORD &record);
// The national tables the GSM codes of a record are in (none for a record that holds text).
codec::GsmTables tablesOf(const _MEC_SMS_RECORD &record);
// The sender (received) or the recipient, as UTF-8; received picks which.
std::string recordNumber(const _MEC_SMS_RECORD &record, bool received);
// "2026-12-08 21:15:00" for the send-report callback.
std::string timeText(const codec::SmsTimestamp &stamp);

// The PDU (service centre in front) that stores the record: a DELIVER for a received message,
// a SUBMIT otherwise, with the concatenation header of a long message's part. Fails when the
// text does not fit one message.
codec::Result<codec::EncodedPdu> pduForRecord(const _MEC_SMS_RECORD &record);

}  // namespace lumacore
