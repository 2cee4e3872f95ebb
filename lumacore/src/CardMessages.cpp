#include "CardMessages.h"

#include "AtParsers.h"
#include "AtParsersSms.h"
#include "Engine.h"
#include "SmsRecords.h"
#include "SmsSettings.h"
#include "Status.h"
#include "StoreSms.h"

#include "codec/SmsSending.h"

#include <atomic>
#include <set>

namespace lumacore {

namespace {

constexpr uint8_t kStorageCard = 1;

// Sent messages by reference, for matching their status reports; the last 256 at most, which is
// what one byte of reference can tell apart anyway.
struct SentMessages {
    std::mutex mutex;
    std::map<uint8_t, std::string> recipients;
};

SentMessages &sent()
{
    static SentMessages instance;
    return instance;
}

std::atomic<uint16_t> g_concatenationReference{1};

const char *nameOf(uint8_t storage) { return storage == kStorageCard ? "\"ME\"" : "\"SM\""; }

uint8_t statusOf(const std::set<uint16_t> &unread, uint16_t index, int stat)
{
    if (stat == 0 || ((stat == 1) && unread.count(index)))
        return kSmsUnread;
    return recordStatusOfStat(stat);
}

}  // namespace

uint8_t storageOfName(const std::string &name)
{
    if (name == "SM")
        return 0;
    if (name == "ME" || name == "MT")
        return kStorageCard;
    return 0xFF;
}

std::string CardMessages::recipientOf(uint8_t reference)
{
    std::lock_guard lock(sent().mutex);
    auto found = sent().recipients.find(reference);
    return found == sent().recipients.end() ? std::string() : found->second;
}

std::string CardMessages::cardKey()
{
    AtResponse answer = m_engine.run("AT+CIMI");
    auto imsi = answer.ok() ? parseCimiResponse(answer.lines) : std::nullopt;
    return imsi ? *imsi : std::string("unknown");
}

uint16_t CardMessages::select(uint8_t storage, bool forWriting)
{
    const std::string name = nameOf(storage);
    AtResponse answer = m_engine.run("AT+CPMS=" + name + (forWriting ? "," + name : std::string()));
    return answer.status;
}

uint16_t CardMessages::readAll(uint8_t storage, std::vector<_MEC_SMS_RECORD> &records)
{
    if (uint16_t status = select(storage, false); status != kStatusOk)
        return status;
    const std::string card = cardKey();
    std::set<uint16_t> unread;
    loadUnread(card, storage, unread);
    AtResponse answer = m_engine.run("AT+CMGL=4");
    if (!answer.ok())
        return answer.status;
    records.clear();
    std::set<uint16_t> present;
    std::set<uint16_t> newlyUnread;
    for (const StoredPdu &stored : parseCmglAnswer(answer.lines)) {
        const auto index = static_cast<uint16_t>(stored.header.index);
        present.insert(index);
        auto message = codec::decodeSmsPduHex(stored.pdu);
        if (!message)
            continue;  // a PDU no decoder reads: left where it is
        const uint8_t status = statusOf(unread, index, stored.header.stat);
        auto record = recordFromMessage(*message, index, status, storage);
        if (!record)
            continue;
        if (stored.header.stat == 0 && !unread.count(index))
            newlyUnread.insert(index);
        records.push_back(*record);
    }
    // Flags of places that are empty now belong to messages deleted elsewhere.
    std::set<uint16_t> gone;
    for (uint16_t index : unread) {
        if (!present.count(index))
            gone.insert(index);
    }
    // All flags in one write: a SIM full of new messages costs one commit, not one each. A
    // write that fails costs the unread marks of later reads; this listing stands as it is.
    [[maybe_unused]] const uint16_t kept = changeUnread(card, storage, newlyUnread, gone);
    return kStatusOk;
}

uint16_t CardMessages::read(uint8_t storage, uint16_t index, _MEC_SMS_RECORD &record,
                            std::optional<int> *messageClass)
{
    if (uint16_t status = select(storage, false); status != kStatusOk)
        return status;
    AtResponse answer = m_engine.run("AT+CMGR=" + std::to_string(index));
    if (!answer.ok())
        return answer.status;
    auto stored = parseCmgrAnswer(answer.lines);
    if (!stored)
        return kStatusNoMoreEntries;
    auto message = codec::decodeSmsPduHex(stored->pdu);
    if (!message)
        return kStatusError;
    const std::string card = cardKey();
    std::set<uint16_t> unread;
    loadUnread(card, storage, unread);
    if (stored->header.stat == 0)
        setUnread(card, storage, index, true);
    auto converted =
        recordFromMessage(*message, index, statusOf(unread, index, stored->header.stat), storage);
    if (!converted)
        return kStatusNoMoreEntries;  // a status report in the place
    record = *converted;
    if (messageClass)
        *messageClass = message->coding().messageClass;
    return kStatusOk;
}

uint16_t CardMessages::write(_MEC_SMS_RECORD &record)
{
    auto pdu = pduForRecord(record);
    if (!pdu)
        return kStatusError;
    if (uint16_t status = select(record.storage, true); status != kStatusOk)
        return status;
    const int stat = statOfRecordStatus(record.status);
    AtResponse answer = m_engine.runWithPdu(
        "AT+CMGW=" + std::to_string(pdu->tpduLength) + "," + std::to_string(stat), pdu->hex());
    if (!answer.ok())
        return answer.status;
    auto index = answer.line("+CMGW:") ? parseCmgwResponse(*answer.line("+CMGW:")) : std::nullopt;
    if (!index)
        return kStatusError;
    record.index = static_cast<uint16_t>(*index);
    setUnread(cardKey(), record.storage, record.index, record.status == kSmsUnread);
    return kStatusOk;
}

uint16_t CardMessages::remove(uint8_t storage, uint16_t index)
{
    if (uint16_t status = select(storage, false); status != kStatusOk)
        return status;
    AtResponse answer = m_engine.run("AT+CMGD=" + std::to_string(index));
    if (answer.ok())
        setUnread(cardKey(), storage, index, false);
    return answer.status;
}

uint16_t CardMessages::setRead(uint8_t storage, uint16_t index, bool read)
{
    return setUnread(cardKey(), storage, index, !read);
}

uint16_t CardMessages::sendPdu(const std::string &hex, size_t tpduLength, const std::string &number)
{
    AtResponse answer = m_engine.runWithPdu("AT+CMGS=" + std::to_string(tpduLength), hex);
    if (!answer.ok())
        return answer.status;
    const std::string *line = answer.line("+CMGS:");
    if (auto reference = line ? parseCmgsResponse(*line) : std::nullopt) {
        std::lock_guard lock(sent().mutex);
        sent().recipients[static_cast<uint8_t>(*reference)] = number;
    }
    return kStatusOk;
}

uint16_t CardMessages::send(const _MEC_SMS_RECORD &record)
{
    const SmsSettings settings = smsSettings();
    codec::OutgoingText outgoing;
    outgoing.number = recordNumber(record, false);
    outgoing.text = recordText(record);
    outgoing.coding =
        record.coding == kSmsCodingUcs2 ? codec::TextCoding::Ucs2 : codec::TextCoding::Automatic;
    outgoing.tables = tablesOf(record);
    outgoing.validityMinutes = settings.validityMinutes;
    outgoing.statusReportRequest = settings.statusReport;
    if (!settings.serviceCentre.empty())
        outgoing.serviceCentre = settings.serviceCentre;
    if (outgoing.number.empty())
        return kStatusError;
    std::vector<codec::SmsMessage> messages;
    if (record.longMessage && record.partCount > 1) {
        // One part the program cut itself: sent as it is, under its own header.
        auto single = codec::submitMessages(outgoing);
        if (!single || single->size() != 1)
            return kStatusError;
        codec::Concatenation part;
        part.reference = record.reference;
        part.count = record.partCount;
        part.part = record.partNumber;
        part.sixteenBitReference = record.reference > 0xFF;
        single->front().userData.concatenation = part;
        messages = std::move(*single);
    } else {
        outgoing.concatenationReference =
            static_cast<uint16_t>(g_concatenationReference.fetch_add(1) % 255 + 1);
        auto parts = codec::submitMessages(outgoing);
        if (!parts)
            return kStatusError;
        messages = std::move(*parts);
    }
    for (const codec::SmsMessage &message : messages) {
        auto pdu = codec::encodeSmsPdu(message);
        if (!pdu)
            return kStatusError;
        if (uint16_t status = sendPdu(pdu->hex(), pdu->tpduLength, outgoing.number);
            status != kStatusOk)
            return status;
    }
    return kStatusOk;
}

}  // namespace lumacore
