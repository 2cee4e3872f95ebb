#include "SmsReports.h"

#include "AtParsersSms.h"
#include "CardMessages.h"
#include "Engine.h"
#include "SimText.h"
#include "SmsRecords.h"
#include "SmsSettings.h"
#include "Status.h"
#include "StoreSms.h"

#include "codec/CellBroadcast.h"
#include "codec/SmsPdu.h"

namespace lumacore {

namespace {

constexpr uint8_t kStoragePc = 2;

void announce(uint8_t storage, uint16_t index)
{
    if (auto callback = callbacks().smsArriveNew.load())
        callback(storage, index);
}

void showFlash(const std::string &number, const std::string &text)
{
    if (auto callback = callbacks().smsClass0.load())
        callback(utf8ToSystem(number).c_str(), utf8ToSystem(text).c_str());
}

// A message the card stored. When the PC is where messages go, it is copied there and only
// then removed from the card; when the copy fails it stays where it is and is announced there.
// A flash message that the card filed like any other (many do, when +CNMI asks them to store
// and announce) is shown as one and taken off the card.
void onStored(Engine &engine, const StoredReport &report)
{
    const uint8_t storage = storageOfName(report.storage);
    if (storage > 1)
        return;
    const auto index = static_cast<uint16_t>(report.index);
    CardMessages card(engine);
    _MEC_SMS_RECORD record{};
    std::optional<int> messageClass;
    if (card.read(storage, index, record, &messageClass) != kStatusOk) {
        announce(storage, index);
        return;
    }
    if (messageClass == 0 && record.status == kSmsUnread) {
        // Off the card first: once it is shown it is gone, as a flash message should be.
        card.remove(storage, index);
        showFlash(recordNumber(record, true), systemToUtf8(record.text));
        return;
    }
    if (smsSettings().saveLocation != kStoragePc) {
        announce(storage, index);
        return;
    }
    record.storage = kStoragePc;
    record.status = kSmsUnread;
    if (insertPcMessage(record) != kStatusOk) {
        announce(storage, index);
        return;
    }
    card.remove(storage, index);
    announce(kStoragePc, record.index);
}

// A message handed over without being stored: class 0 goes to the pop-up, anything else is
// kept on the PC so it is not lost.
void onDelivered(const std::string &pdu)
{
    auto message = codec::decodeSmsPduHex(pdu);
    if (!message || message->type != codec::SmsType::Deliver)
        return;
    if (message->coding().messageClass == 0) {
        showFlash(message->address.number, messageText(*message));
        return;
    }
    auto record = recordFromMessage(*message, 0, kSmsUnread, kStoragePc);
    if (record && insertPcMessage(*record) == kStatusOk)
        announce(kStoragePc, record->index);
}

void onStatusReport(const std::string &pdu)
{
    auto report = codec::decodeSmsPduHex(pdu);
    if (!report || report->type != codec::SmsType::StatusReport)
        return;
    std::string number = CardMessages::recipientOf(report->messageReference);
    if (number.empty())
        number = report->address.number;
    std::string time;
    if (report->dischargeTime)
        time = timeText(*report->dischargeTime);
    if (auto callback = callbacks().smsSendReport.load())
        callback(report->status, utf8ToSystem(number).c_str(), time.c_str());
}

void onBroadcast(const std::string &pdu)
{
    auto page = codec::decodeBroadcastPageHex(pdu);
    if (!page)
        return;
    if (auto callback = callbacks().smsBroadcast.load())
        callback(utf8ToSystem(page->text).c_str());
}

}  // namespace

bool handleSmsReport(Engine &engine, const AtUnsolicited &code)
{
    if (auto stored = parseCmtiReport(code.line)) {
        if (code.line.rfind("+CMTI", 0) == 0)
            onStored(engine, *stored);
        return true;
    }
    if (parseCmtReport(code.line)) {
        onDelivered(code.pdu);
        return true;
    }
    if (parseCdsReport(code.line)) {
        onStatusReport(code.pdu);
        return true;
    }
    if (parseCbmReport(code.line)) {
        onBroadcast(code.pdu);
        return true;
    }
    return false;
}

}  // namespace lumacore
