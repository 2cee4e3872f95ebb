#include "PduCommands.h"

#include "Json.h"

#include "codec/SmsPdu.h"
#include "codec/SmsSending.h"

#include "codec/Hex.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <optional>

namespace lumacore {

namespace {

using namespace codec;

const char *validityFormatName(ValidityPeriod::Format format)
{
    switch (format) {
    case ValidityPeriod::Format::None: return "none";
    case ValidityPeriod::Format::Relative: return "relative";
    case ValidityPeriod::Format::Enhanced: return "enhanced";
    case ValidityPeriod::Format::Absolute: return "absolute";
    }
    return "none";
}

void stampMember(JsonObject &json, const char *key, const std::optional<SmsTimestamp> &stamp)
{
    if (stamp)
        json.text(key, stamp->iso8601());
    else
        json.null(key);
}

std::string messageJson(const SmsMessage &message)
{
    JsonObject json;
    if (message.serviceCentre)
        json.text("serviceCentre", message.serviceCentre->number);
    else
        json.null("serviceCentre");
    json.text("type", smsTypeName(message.type));
    json.text("number", message.address.number);
    json.number("typeOfAddress", message.address.typeOfAddress);
    if (message.type != SmsType::Submit)
        stampMember(json, "timeStamp", message.serviceCentreTime);
    if (message.type != SmsType::Deliver)
        json.number("messageReference", message.messageReference);
    if (message.type == SmsType::Submit) {
        JsonObject validity(2);
        validity.text("format", validityFormatName(message.validity.format));
        if (message.validity.format == ValidityPeriod::Format::Absolute)
            validity.text("until", message.validity.absolute.iso8601());
        else if (const auto seconds = message.validity.seconds())
            validity.number("seconds", *seconds);
        json.raw("validity", validity.str());
        json.boolean("statusReportRequest", message.statusReportRequest);
    }
    if (message.type == SmsType::StatusReport) {
        stampMember(json, "dischargeTime", message.dischargeTime);
        json.number("status", message.status);
        json.text("outcome", deliveryOutcome(message.status));
    }
    const auto coding = message.coding();
    json.text("coding", coding.compressed ? "compressed" : alphabetName(coding.alphabet));
    if (coding.messageClass)
        json.number("class", *coding.messageClass);
    else
        json.null("class");
    if (coding.alphabet == Alphabet::EightBit || coding.compressed)
        json.text("data", hexFromBytes(message.userData.data));
    else
        json.text("text", message.userData.text);
    if (const auto &concatenation = message.userData.concatenation) {
        JsonObject parts(2);
        parts.number("reference", concatenation->reference)
            .number("part", concatenation->part)
            .number("count", concatenation->count)
            .boolean("sixteenBitReference", concatenation->sixteenBitReference);
        json.raw("concatenation", parts.str());
    } else {
        json.null("concatenation");
    }
    return json.str();
}

std::optional<long> numberArgument(const std::string &text, long lowest, long highest)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest ||
        value > highest)
        return std::nullopt;
    return value;
}

int fail(const std::string &why)
{
    std::fprintf(stderr, "lumacore-tool: %s\n", why.c_str());
    return 1;
}

}  // namespace

const char *pduCommandsUsage()
{
    return "       lumacore-tool decode-pdu [--no-smsc] HEX\n"
           "       lumacore-tool encode-pdu --number NUMBER --text TEXT [--coding "
           "auto|gsm7|8bit|ucs2]\n"
           "                     [--class 0-3] [--validity MINUTES] [--report] [--smsc NUMBER]\n"
           "                     [--reference 0-255] [--concat-reference N] [--16bit-reference]\n";
}

int decodePduCommand(const std::vector<std::string> &arguments)
{
    auto leading = LeadingServiceCentre::Present;
    std::string hex;
    for (const auto &argument : arguments) {
        if (argument == "--no-smsc")
            leading = LeadingServiceCentre::Absent;
        else if (hex.empty())
            hex = argument;
        else
            return fail("decode-pdu takes one PDU");
    }
    if (hex.empty())
        return fail("decode-pdu needs the PDU in hexadecimal");
    const auto message = decodeSmsPduHex(hex, leading);
    if (!message)
        return fail("the PDU cannot be read: " + message.error());
    std::printf("%s\n", messageJson(*message).c_str());
    return 0;
}

int encodePduCommand(const std::vector<std::string> &arguments)
{
    OutgoingText outgoing;
    bool haveNumber = false;
    bool haveText = false;
    struct NumberOption {
        const char *name;
        long lowest;
        long highest;
        const char *range;
        std::function<void(long)> store;
    };
    const NumberOption numberOptions[] = {
        {"--class", 0, 3, "the class is 0, 1, 2 or 3",
         [&](long value) { outgoing.messageClass = static_cast<int>(value); }},
        {"--validity", 1, 635040, "the validity is 1 to 635040 minutes (63 weeks)",
         [&](long value) { outgoing.validityMinutes = static_cast<uint32_t>(value); }},
        {"--reference", 0, 255, "the message reference is 0 to 255",
         [&](long value) { outgoing.messageReference = static_cast<uint8_t>(value); }},
        {"--concat-reference", 0, 65535, "the concatenation reference is 0 to 65535",
         [&](long value) { outgoing.concatenationReference = static_cast<uint16_t>(value); }},
    };
    const auto findOption = [&](const std::string &name) -> const NumberOption * {
        for (const auto &numeric : numberOptions) {
            if (name == numeric.name)
                return &numeric;
        }
        return nullptr;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &option = arguments[i];
        if (option == "--report") {
            outgoing.statusReportRequest = true;
            continue;
        }
        if (option == "--16bit-reference") {
            outgoing.sixteenBitReference = true;
            continue;
        }
        if (i + 1 == arguments.size())
            return fail("encode-pdu: " + option + " needs a value");
        const std::string &value = arguments[++i];
        if (option == "--number") {
            outgoing.number = value;
            haveNumber = true;
        } else if (option == "--text") {
            outgoing.text = value;
            haveText = true;
        } else if (option == "--smsc") {
            outgoing.serviceCentre = value;
        } else if (option == "--coding") {
            if (value == "auto")
                outgoing.coding = TextCoding::Automatic;
            else if (value == "gsm7")
                outgoing.coding = TextCoding::Gsm7;
            else if (value == "8bit")
                outgoing.coding = TextCoding::EightBit;
            else if (value == "ucs2")
                outgoing.coding = TextCoding::Ucs2;
            else
                return fail("encode-pdu: the coding is auto, gsm7, 8bit or ucs2");
        } else if (const auto *numeric = findOption(option)) {
            const auto number = numberArgument(value, numeric->lowest, numeric->highest);
            if (!number)
                return fail(std::string("encode-pdu: ") + numeric->range);
            numeric->store(*number);
        } else {
            return fail("encode-pdu: unknown option " + option);
        }
    }
    if (!haveNumber || !haveText)
        return fail("encode-pdu needs --number and --text");
    const auto messages = submitMessages(outgoing);
    if (!messages)
        return fail("the text cannot be sent: " + messages.error());
    std::string parts;
    for (const auto &message : *messages) {
        const auto encoded = encodeSmsPdu(message);
        if (!encoded)
            return fail("the message cannot be encoded: " + encoded.error());
        JsonObject part(3);
        part.text("pdu", encoded->hex())
            .number("length", static_cast<long long>(encoded->tpduLength));
        parts += (parts.empty() ? "\n    " : ",\n    ") + part.str();
    }
    JsonObject json;
    json.text("coding", alphabetName(messages->front().coding().alphabet));
    json.raw("parts", "[" + parts + "\n  ]");
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace lumacore
