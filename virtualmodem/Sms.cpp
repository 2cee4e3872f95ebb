#include "virtualmodem/Sms.h"

#include "codec/CellBroadcast.h"
#include "codec/Hex.h"
#include "codec/SmsPdu.h"
#include "codec/SmsSending.h"
#include "virtualmodem/Modem.h"
#include "virtualmodem/Network.h"
#include "virtualmodem/SimCard.h"

#include <ctime>

namespace virtualmodem {

namespace {

namespace cms {
constexpr int kTransferRejected = 21;  // RP cause: the network refused the message
constexpr int kOperationNotAllowed = 302;
constexpr int kInvalidPduParameter = 304;
constexpr int kMemoryFailure = 320;
constexpr int kInvalidIndex = 321;
constexpr int kMemoryFull = 322;
constexpr int kNoNetworkService = 331;
}  // namespace cms

MessageStorage *storageNamed(ModemState &state, const std::string &name)
{
    for (MessageStorage &storage : state.messageStorages) {
        if (storage.name == name)
            return &storage;
    }
    return nullptr;
}

// 0 read, 1 write, 2 receive.
MessageStorage &selected(ModemState &state, int which)
{
    MessageStorage *storage = storageNamed(state, state.selectedStorages[which]);
    return storage ? *storage : state.messageStorages.front();
}

// The first free index, or nothing when the storage is full.
std::optional<int> store(MessageStorage &storage, StoredMessage message)
{
    if (static_cast<int>(storage.messages.size()) >= storage.capacity)
        return std::nullopt;
    int index = 1;
    while (storage.messages.count(index))
        ++index;
    storage.messages[index] = std::move(message);
    storage.used = static_cast<int>(storage.messages.size());
    return index;
}

codec::SmsTimestamp stampAt(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    codec::SmsTimestamp stamp;
    stamp.year = local.tm_year + 1900;
    stamp.month = local.tm_mon + 1;
    stamp.day = local.tm_mday;
    stamp.hour = local.tm_hour;
    stamp.minute = local.tm_min;
    stamp.second = local.tm_sec;
    stamp.offsetQuarters = static_cast<int>(local.tm_gmtoff / 900);
    return stamp;
}

codec::SmsTimestamp stampNow() { return stampAt(std::time(nullptr)); }

// The TPDU length of a PDU given in hexadecimal with the service centre in front.
int tpduLength(const std::string &pdu)
{
    if (pdu.size() < 2)
        return 0;
    const int centre = codec::hexDigitValue(pdu[0]) * 16 + codec::hexDigitValue(pdu[1]);
    return static_cast<int>(pdu.size() / 2) - 1 - centre;
}

std::string line(const char *prefix, int first, int status, const std::string &pdu)
{
    std::string out = prefix;
    if (first >= 0)
        out += std::to_string(first) + ",";
    return out + std::to_string(status) + ",," + std::to_string(tpduLength(pdu));
}

// A stored message's header and PDU, as the card writes them: in the standard shape, or (quirk)
// with the status in text-mode words, no alpha field, a field of the firmware's own after the
// length and a blank line before the PDU.
void addMessageLines(const ModemState &state, std::vector<std::string> &lines, const char *prefix,
                     int first, const StoredMessage &message)
{
    if (!state.quirks.has(Quirk::OddMessageHeaders)) {
        lines.push_back(line(prefix, first, message.status, message.pdu));
        lines.push_back(message.pdu);
        return;
    }
    static const char *const kWords[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT"};
    std::string header = prefix;
    if (first >= 0)
        header += std::to_string(first) + ",";
    header += std::string("\"") + kWords[message.status & 3] + "\"," +
              std::to_string(tpduLength(message.pdu)) + ",0";
    lines.push_back(header);
    lines.emplace_back();
    lines.push_back(message.pdu);
}

// What +CNMI says of where received messages go: mt (0 keep quiet, 1 +CMTI, 2 +CMT for all
// but class 2, 3 +CMT for class 3), bm, ds.
int cnmi(const ModemState &state, size_t field)
{
    return state.settings.newMessageIndications[field];
}

void announceStored(Modem &modem, const MessageStorage &storage, int index)
{
    if (cnmi(modem.state(), 0) > 0 && cnmi(modem.state(), 1) > 0)
        modem.unsolicited("+CMTI: \"" + storage.name + "\"," + std::to_string(index));
}

// One DELIVER part: shown directly or stored.
std::string deliverPart(Modem &modem, const codec::SmsMessage &deliver)
{
    ModemState &state = modem.state();
    auto encoded = codec::encodeSmsPdu(deliver);
    if (!encoded)
        return encoded.error();
    const std::string pdu = encoded->hex();
    const std::optional<int> messageClass = deliver.coding().messageClass;
    const int mt = cnmi(state, 0) > 0 ? cnmi(state, 1) : 0;
    const bool flashDirect = !state.quirks.has(Quirk::FlashStored);
    const bool direct = (messageClass == 0 && mt >= 1 && flashDirect) ||
                        (mt == 2 && messageClass != 2) || (mt == 3 && messageClass == 3);
    if (direct) {
        modem.unsolicited("+CMT: ," + std::to_string(encoded->tpduLength) + "\r\n" + pdu);
        return {};
    }
    MessageStorage &storage = selected(state, 2);
    const auto index = store(storage, {0, pdu});
    if (!index)
        return "storage full";
    announceStored(modem, storage, *index);
    return {};
}

// A status report saying the message with the reference reached the number.
void scheduleReport(Modem &modem, uint8_t reference, const codec::SmsAddress &to)
{
    if (cnmi(modem.state(), 3) != 1)
        return;
    codec::SmsMessage report;
    report.type = codec::SmsType::StatusReport;
    report.serviceCentre = codec::SmsAddress::fromText(modem.state().serviceCenter);
    report.messageReference = reference;
    report.address = to;
    report.serviceCentreTime = stampNow();
    report.dischargeTime = stampNow();
    report.status = 0;
    auto encoded = codec::encodeSmsPdu(report);
    if (!encoded)
        return;
    modem.unsolicitedLater("+CDS: " + std::to_string(encoded->tpduLength) + "\r\n" + encoded->hex(),
                           modem.state().smsNetwork.reportDelay);
}

Result sendPdu(Modem &modem, int length, const std::string &pdu)
{
    ModemState &state = modem.state();
    auto message = codec::decodeSmsPduHex(pdu);
    if (!message || message->type != codec::SmsType::Submit || tpduLength(pdu) != length)
        return Result::cms(cms::kInvalidPduParameter);
    if (!servingOperator(state))
        return Result::cms(cms::kNoNetworkService);
    std::string number = message->address.number;
    if (state.smsNetwork.failingNumbers.count(number))
        return Result::cms(cms::kTransferRejected);
    const uint8_t reference = static_cast<uint8_t>(state.smsNetwork.nextReference++ & 0xFF);
    if (message->statusReportRequest)
        scheduleReport(modem, reference, message->address);
    auto digits = [](const std::string &text) {
        return text.size() > 9 ? text.substr(text.size() - 9) : text;
    };
    if (digits(number) == digits(state.sim.ownNumber)) {
        // To itself: the network brings it back as a received message.
        codec::SmsMessage deliver = *message;
        deliver.type = codec::SmsType::Deliver;
        deliver.serviceCentre = codec::SmsAddress::fromText(state.serviceCenter);
        deliver.address = codec::SmsAddress::fromText(state.sim.ownNumber);
        deliver.statusReportIndication = message->statusReportRequest;
        deliver.serviceCentreTime = stampNow();
        deliverPart(modem, deliver);
    }
    return Result::ok({"+CMGS: " + std::to_string(reference)});
}

// The arguments of +CMGS/+CMGW (length[,stat]) and +CMGR/+CMGD (index[,flag]): a first number
// within its range and an optional second one, handed back through second when asked for.
std::optional<int> numberAndOptionalSecond(const AtCommand &command, long firstMin, long firstMax,
                                           long secondMax, std::optional<long> *second)
{
    const auto values = parseArguments(command.argument);
    if (!values || values->empty() || values->size() > 2)
        return std::nullopt;
    const auto first = numberArgument(*values, 0, firstMin, firstMax);
    if (!first)
        return std::nullopt;
    if (second && values->size() == 2)
        *second = numberArgument(*values, 1, 0, secondMax);
    return static_cast<int>(*first);
}

std::optional<int> lengthArgument(const AtCommand &command, std::optional<long> *status)
{
    return numberAndOptionalSecond(command, 7, 164, 3, status);
}

// What every message command with a set form does first: its test form answers (with the
// given lines), a read or bare form is an error, and a SIM not yet ready refuses.
std::optional<Result> refuseUnlessReadySet(Modem &modem, const AtCommand &command,
                                           std::vector<std::string> testLines = {})
{
    if (command.kind == AtKind::Test)
        return Result::ok(std::move(testLines));
    if (command.kind != AtKind::Set)
        return Result::error();
    if (const auto error = simStorageNotReadyError(modem.state(), modem.now()))
        return Result::cms(*error);
    return std::nullopt;
}

Result sendMessage(Modem &modem, const AtCommand &command)
{
    if (auto refused = refuseUnlessReadySet(modem, command))
        return *refused;
    const auto length = lengthArgument(command, nullptr);
    if (!length)
        return Result::cms(cms::kInvalidPduParameter);
    Result prompt = Result::ok();
    prompt.pduEntry = [length = *length](Modem &m, const std::string &pdu, Result &result) {
        result = sendPdu(m, length, pdu);
    };
    return prompt;
}

Result storeWritten(Modem &m, int length, int status, const std::string &pdu);

Result writeMessage(Modem &modem, const AtCommand &command)
{
    if (auto refused = refuseUnlessReadySet(modem, command))
        return *refused;
    std::optional<long> status = 2;
    const auto length = lengthArgument(command, &status);
    if (!length || !status)
        return Result::cms(cms::kInvalidPduParameter);
    Result prompt = Result::ok();
    prompt.pduEntry = [length = *length, status = static_cast<int>(*status)](
                          Modem &m, const std::string &pdu, Result &result) {
        result = storeWritten(m, length, status, pdu);
    };
    return prompt;
}

Result storeWritten(Modem &m, int length, int status, const std::string &pdu)
{
    auto message = codec::decodeSmsPduHex(pdu);
    if (!message || tpduLength(pdu) != length)
        return Result::cms(cms::kInvalidPduParameter);
    // Received messages are DELIVERs, the rest SUBMITs.
    if ((status <= 1) != (message->type == codec::SmsType::Deliver))
        return Result::cms(cms::kInvalidPduParameter);
    MessageStorage &storage = selected(m.state(), 1);
    const auto index = store(storage, {status, pdu});
    if (!index)
        return Result::cms(cms::kMemoryFull);
    return Result::ok({"+CMGW: " + std::to_string(*index)});
}

Result listMessages(Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok({"+CMGL: (0-4)"});
    long wanted = 0;
    if (command.kind == AtKind::Set) {
        const auto values = parseArguments(command.argument);
        const auto stat = values ? numberArgument(*values, 0, 0, 4) : std::nullopt;
        if (!stat || values->size() != 1)
            return Result::cms(cms::kInvalidPduParameter);
        wanted = *stat;
    } else if (command.kind != AtKind::Execute) {
        return Result::error();
    }
    if (const auto error = simStorageNotReadyError(modem.state(), modem.now()))
        return Result::cms(*error);
    Result result = Result::ok();
    for (auto &[index, message] : selected(modem.state(), 0).messages) {
        if (wanted != 4 && message.status != wanted)
            continue;
        addMessageLines(modem.state(), result.lines, "+CMGL: ", index, message);
        if (message.status == 0)
            message.status = 1;  // listed is read
    }
    return result;
}

std::optional<int> indexArgument(const AtCommand &command, std::optional<long> *flag)
{
    return numberAndOptionalSecond(command, 0, 65535, 4, flag);
}

Result readMessage(Modem &modem, const AtCommand &command)
{
    if (auto refused = refuseUnlessReadySet(modem, command))
        return *refused;
    const auto index = indexArgument(command, nullptr);
    if (!index)
        return Result::cms(cms::kInvalidIndex);
    MessageStorage &storage = selected(modem.state(), 0);
    if (*index < 1 || *index > storage.capacity)
        return Result::cms(cms::kInvalidIndex);
    const auto found = storage.messages.find(*index);
    if (found == storage.messages.end())
        return Result::ok();  // an empty place
    StoredMessage &message = found->second;
    Result result = Result::ok();
    addMessageLines(modem.state(), result.lines, "+CMGR: ", -1, message);
    if (message.status == 0)
        message.status = 1;
    return result;
}

Result deleteMessage(Modem &modem, const AtCommand &command)
{
    if (auto refused = refuseUnlessReadySet(modem, command, {"+CMGD: (1-255),(0-4)"}))
        return *refused;
    std::optional<long> flag = 0;
    const auto index = indexArgument(command, &flag);
    if (!index || !flag)
        return Result::cms(cms::kInvalidIndex);
    MessageStorage &storage = selected(modem.state(), 0);
    if (*flag == 0) {
        if (*index < 1 || *index > storage.capacity)
            return Result::cms(cms::kInvalidIndex);
        storage.messages.erase(*index);
    } else {
        // 1 read ones, 2 read and sent, 3 all but unread, 4 all.
        std::erase_if(storage.messages, [&](const auto &entry) {
            const int status = entry.second.status;
            return *flag == 4 || status == 1 || (*flag >= 2 && status == 3) ||
                   (*flag == 3 && status == 2);
        });
    }
    storage.used = static_cast<int>(storage.messages.size());
    return Result::ok();
}

Result newMessageAcknowledge(Modem &, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok({"+CNMA: (0-2)"});
    return Result::cms(cms::kOperationNotAllowed);
}

}  // namespace

std::string deliverSms(Modem &modem, const IncomingSms &message)
{
    ModemState &state = modem.state();
    if (simStorageNotReadyError(state, modem.now()))
        return "the SIM is not ready";
    codec::OutgoingText text;
    text.number = message.from;
    text.text = message.text;
    text.coding = message.ucs2 ? codec::TextCoding::Ucs2 : codec::TextCoding::Automatic;
    text.messageClass = message.messageClass;
    text.concatenationReference = static_cast<uint16_t>(state.smsNetwork.nextReference++ & 0xFF);
    auto parts = codec::submitMessages(text);
    if (!parts)
        return parts.error();
    if ((message.messageClass != 0 || state.quirks.has(Quirk::FlashStored)) &&
        message.messageClass != 2) {
        const MessageStorage &storage = selected(state, 2);
        if (storage.capacity - static_cast<int>(storage.messages.size()) <
            static_cast<int>(parts->size()))
            return "storage full";
    }
    if (message.partsReversed)
        std::reverse(parts->begin(), parts->end());
    for (codec::SmsMessage &part : *parts) {
        part.type = codec::SmsType::Deliver;
        part.serviceCentre = codec::SmsAddress::fromText(state.serviceCenter);
        part.address = codec::SmsAddress::fromText(message.from);
        part.statusReportIndication = message.reportRequested;
        part.serviceCentreTime = message.sentAt ? stampAt(*message.sentAt) : stampNow();
        if (std::string error = deliverPart(modem, part); !error.empty())
            return error;
    }
    return {};
}

std::string deliverBroadcast(Modem &modem, uint16_t channel, const std::string &text)
{
    codec::BroadcastPage page;
    page.messageId = channel;
    page.text = text;
    auto bytes = codec::encodeBroadcastPage(page);
    if (!bytes)
        return bytes.error();
    if (cnmi(modem.state(), 0) > 0 && cnmi(modem.state(), 2) == 2)
        modem.unsolicited("+CBM: " + std::to_string(bytes->size()) + "\r\n" +
                          codec::hexFromBytes(*bytes));
    return {};
}

bool fillMessages(ModemState &state, const std::string &storageName, int count,
                  const std::string &sender)
{
    MessageStorage *storage = storageNamed(state, storageName);
    if (!storage)
        return false;
    for (int n = 1; n <= count; ++n) {
        codec::OutgoingText text;
        text.number = sender;
        text.text = "Message " + std::to_string(n);
        auto parts = codec::submitMessages(text);
        if (!parts)
            return false;
        codec::SmsMessage deliver = parts->front();
        deliver.type = codec::SmsType::Deliver;
        deliver.serviceCentre = codec::SmsAddress::fromText(state.serviceCenter);
        deliver.address = codec::SmsAddress::fromText(sender);
        deliver.serviceCentreTime = stampNow();
        auto encoded = codec::encodeSmsPdu(deliver);
        if (!encoded || !store(*storage, {1, encoded->hex()}))
            return false;
    }
    return true;
}

void registerSmsCommands(CommandTable &table)
{
    table.add("+CMGS", sendMessage);
    table.add("+CMGW", writeMessage);
    table.add("+CMGL", listMessages);
    table.add("+CMGR", readMessage);
    table.add("+CMGD", deleteMessage);
    table.add("+CNMA", newMessageAcknowledge);
}

}  // namespace virtualmodem
