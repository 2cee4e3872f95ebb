#include "Toolkit.h"

#include "GsmAlphabet.h"
#include "SimAlpha.h"
#include "Unicode.h"

#include <array>
#include <cstdio>

namespace codec::toolkit {

namespace {

// Tags of the COMPREHENSION-TLV objects read here, without the comprehension-required bit.
enum Tag : uint8_t {
    kCommandDetails = 0x01,
    kDeviceIdentities = 0x02,
    kResult = 0x03,
    kDuration = 0x04,
    kAlphaIdentifier = 0x05,
    kAddress = 0x06,
    kSubaddress = 0x08,
    kSsString = 0x09,
    kUssdString = 0x0A,
    kSmsTpdu = 0x0B,
    kTextString = 0x0D,
    kTone = 0x0E,
    kItem = 0x0F,
    kItemIdentifier = 0x10,
    kResponseLength = 0x11,
    kHelpRequest = 0x15,
    kDefaultText = 0x17,
    kItemsNextAction = 0x18,
    kIconIdentifier = 0x1E,
    kItemIconList = 0x1F,
    kImmediateResponse = 0x2B,
    kDtmfString = 0x2C,
    kTextAttribute = 0x50,
    kItemTextAttributeList = 0x51,
    kFrameIdentifier = 0x68,
};
constexpr uint8_t kComprehensionRequired = 0x80;
constexpr uint8_t kProactiveCommandTag = 0xD0;
constexpr uint8_t kMenuSelectionTag = 0xD3;

bool isKnownTag(uint8_t tag)
{
    switch (tag) {
    case kCommandDetails: case kDeviceIdentities: case kDuration: case kAlphaIdentifier:
    case kAddress: case kSubaddress: case kSsString: case kUssdString: case kSmsTpdu:
    case kTextString: case kTone: case kItem: case kItemIdentifier: case kResponseLength:
    case kDefaultText: case kItemsNextAction: case kIconIdentifier: case kItemIconList:
    case kImmediateResponse: case kDtmfString: case kTextAttribute: case kItemTextAttributeList:
    case kFrameIdentifier:
        return true;
    default:
        return false;
    }
}

// A length as BER writes it: one byte below 0x80, or 0x81 and one byte. Larger forms cannot
// occur in a command that fits the card's 255-byte answers.
std::optional<size_t> readLength(std::span<const uint8_t> bytes, size_t &at)
{
    if (at >= bytes.size())
        return std::nullopt;
    const uint8_t first = bytes[at++];
    if (first < 0x80)
        return first;
    if (first != 0x81 || at >= bytes.size())
        return std::nullopt;
    return bytes[at++];
}

void appendLength(std::vector<uint8_t> &out, size_t length)
{
    if (length >= 0x80)
        out.push_back(0x81);
    out.push_back(static_cast<uint8_t>(length));
}

void appendObject(std::vector<uint8_t> &out, uint8_t tag, std::span<const uint8_t> value)
{
    out.push_back(tag);
    appendLength(out, value.size());
    out.insert(out.end(), value.begin(), value.end());
}

struct Object {
    uint8_t tag = 0;  // without the comprehension-required bit
    bool required = false;
    bool longTag = false;  // a three-byte tag, none of which this codec reads
    std::span<const uint8_t> value;
};

Result<std::vector<Object>> readObjects(std::span<const uint8_t> bytes)
{
    std::vector<Object> objects;
    size_t at = 0;
    while (at < bytes.size()) {
        Object object;
        const uint8_t tag = bytes[at++];
        if (tag == 0xFF)
            break;  // padding after the last object
        if (tag == 0x00 || tag == 0x80)
            return Result<std::vector<Object>>::failure("a tag of 00 or 80 is not valid");
        if (tag == 0x7F) {
            if (at + 2 > bytes.size())
                return Result<std::vector<Object>>::failure("a three-byte tag is cut short");
            object.required = (bytes[at] & 0x80) != 0;
            object.longTag = true;
            at += 2;
        } else {
            object.tag = tag & 0x7F;
            object.required = (tag & kComprehensionRequired) != 0;
        }
        const auto length = readLength(bytes, at);
        if (!length || *length > bytes.size() - at)
            return Result<std::vector<Object>>::failure("an object's length runs past the command");
        object.value = bytes.subspan(at, *length);
        at += *length;
        objects.push_back(object);
    }
    return objects;
}

enum class Alphabet { Packed, Default8Bit, Ucs2, Unknown };

// The data coding scheme of a text string, as for short messages (TS 23.038 §4).
Alphabet alphabetOf(uint8_t scheme)
{
    if ((scheme & 0xF0) == 0xF0)
        return (scheme & 0x04) ? Alphabet::Default8Bit : Alphabet::Packed;
    if ((scheme & 0x80) == 0) {
        switch ((scheme >> 2) & 0x03) {
        case 0: return Alphabet::Packed;
        case 1: return Alphabet::Default8Bit;
        case 2: return Alphabet::Ucs2;
        default: return Alphabet::Unknown;
        }
    }
    if ((scheme & 0xF0) == 0xE0)
        return Alphabet::Ucs2;
    if ((scheme & 0xF0) == 0xC0 || (scheme & 0xF0) == 0xD0)
        return Alphabet::Packed;
    return Alphabet::Unknown;
}

std::optional<std::string> readTextString(std::span<const uint8_t> value)
{
    if (value.empty())
        return std::string();  // the null text string
    const auto data = value.subspan(1);
    switch (alphabetOf(value[0])) {
    case Alphabet::Packed: {
        const size_t count = septetsThatFit(data.size());
        auto septets = unpackSeptets(data, count);
        // Seven spare bits at the end are filled with a carriage return, not a character.
        if (count % 8 == 0 && !septets.empty() && septets.back() == kGsmCarriageReturn)
            septets.pop_back();
        return utf8FromGsmSeptets(septets);
    }
    case Alphabet::Default8Bit:
        return utf8FromUnpackedGsm(data);
    case Alphabet::Ucs2:
        return utf8FromUtf16BigEndian(data);
    case Alphabet::Unknown:
        break;
    }
    return std::nullopt;
}

bool needsText(const ProactiveCommand &command)
{
    return command.is(CommandType::DisplayText) || command.is(CommandType::GetInkey) ||
           command.is(CommandType::GetInput);
}

std::vector<uint8_t> responseHead(const ProactiveCommand &command, GeneralResult result,
                                  std::optional<uint8_t> additional)
{
    std::vector<uint8_t> out;
    const std::array<uint8_t, 3> details{command.number, command.type, command.qualifier};
    appendObject(out, kCommandDetails | kComprehensionRequired, details);
    const std::array<uint8_t, 2> devices{kDeviceTerminal, kDeviceUicc};
    appendObject(out, kDeviceIdentities | kComprehensionRequired, devices);
    std::vector<uint8_t> outcome{static_cast<uint8_t>(result)};
    if (additional)
        outcome.push_back(*additional);
    appendObject(out, kResult | kComprehensionRequired, outcome);
    return out;
}

bool isDialDigit(char32_t c)
{
    return (c >= U'0' && c <= U'9') || c == U'*' || c == U'#' || c == U'+';
}

}  // namespace

std::string commandTypeName(uint8_t type)
{
    switch (static_cast<CommandType>(type)) {
    case CommandType::Refresh: return "REFRESH";
    case CommandType::MoreTime: return "MORE TIME";
    case CommandType::PollInterval: return "POLL INTERVAL";
    case CommandType::PollingOff: return "POLLING OFF";
    case CommandType::SetUpEventList: return "SET UP EVENT LIST";
    case CommandType::SetUpCall: return "SET UP CALL";
    case CommandType::SendSs: return "SEND SS";
    case CommandType::SendUssd: return "SEND USSD";
    case CommandType::SendShortMessage: return "SEND SHORT MESSAGE";
    case CommandType::SendDtmf: return "SEND DTMF";
    case CommandType::LaunchBrowser: return "LAUNCH BROWSER";
    case CommandType::PlayTone: return "PLAY TONE";
    case CommandType::DisplayText: return "DISPLAY TEXT";
    case CommandType::GetInkey: return "GET INKEY";
    case CommandType::GetInput: return "GET INPUT";
    case CommandType::SelectItem: return "SELECT ITEM";
    case CommandType::SetUpMenu: return "SET UP MENU";
    case CommandType::ProvideLocalInformation: return "PROVIDE LOCAL INFORMATION";
    case CommandType::TimerManagement: return "TIMER MANAGEMENT";
    case CommandType::SetUpIdleModeText: return "SET UP IDLE MODE TEXT";
    case CommandType::LanguageNotification: return "LANGUAGE NOTIFICATION";
    }
    char name[8];
    std::snprintf(name, sizeof name, "0x%02X", type);
    return name;
}

bool ProactiveCommand::removesMenu() const
{
    return is(CommandType::SetUpMenu) && items.size() == 1 && items[0].id == 0 &&
           items[0].text.empty();
}

InputKind ProactiveCommand::inputKind() const
{
    if (is(CommandType::GetInkey) && (qualifier & 0x04))
        return InputKind::YesNo;
    const bool alphabet = (qualifier & 0x01) != 0;
    const bool ucs2 = (qualifier & 0x02) != 0;
    if (alphabet)
        return ucs2 ? InputKind::Ucs2 : InputKind::Gsm;
    return ucs2 ? InputKind::Ucs2Digits : InputKind::Digits;
}

Result<ProactiveCommand> decodeProactiveCommand(std::span<const uint8_t> bytes)
{
    using Failure = Result<ProactiveCommand>;
    if (bytes.empty() || bytes[0] != kProactiveCommandTag)
        return Failure::failure("a proactive command starts with the tag D0");
    size_t at = 1;
    const auto length = readLength(bytes, at);
    if (!length)
        return Failure::failure("the command's length cannot be read");
    if (*length > bytes.size() - at)
        return Failure::failure("the command is shorter than its length says");
    auto objects = readObjects(bytes.subspan(at, *length));
    if (!objects)
        return Failure::failure(objects.error());

    ProactiveCommand command;
    bool haveDetails = false;
    bool haveDevices = false;
    bool haveLength = false;
    auto refuse = [&](GeneralResult why) {
        if (!command.refusal)
            command.refusal = why;
    };
    for (const Object &object : *objects) {
        const auto value = object.value;
        if (object.longTag || !isKnownTag(object.tag)) {
            if (object.required)
                refuse(GeneralResult::DataNotUnderstood);
            continue;
        }
        switch (object.tag) {
        case kCommandDetails:
            // Only the first command details count; a repeated object is ignored.
            if (haveDetails || value.size() < 3)
                break;
            command.number = value[0];
            command.type = value[1];
            command.qualifier = value[2];
            haveDetails = true;
            break;
        case kDeviceIdentities:
            if (value.size() >= 2) {
                command.source = value[0];
                command.destination = value[1];
                haveDevices = true;
            }
            break;
        case kAlphaIdentifier:
            if (!command.alpha)
                command.alpha = utf8FromSimAlpha(value);
            break;
        case kTextString:
        case kDefaultText: {
            auto text = readTextString(value);
            if (!text) {
                refuse(GeneralResult::DataNotUnderstood);
                break;
            }
            auto &slot = object.tag == kTextString ? command.text : command.defaultText;
            if (!slot)
                slot = std::move(*text);
            break;
        }
        case kItem:
            if (value.empty())
                command.items.push_back({});  // the null item: the menu is taken away
            else
                command.items.push_back({value[0], utf8FromSimAlpha(value.subspan(1))});
            break;
        case kItemIdentifier:
            if (!value.empty())
                command.defaultItem = value[0];
            break;
        case kResponseLength:
            if (value.size() >= 2) {
                command.minLength = value[0];
                command.maxLength = value[1];
                haveLength = true;
            }
            break;
        case kIconIdentifier:
            if (value.size() >= 2)
                command.icon = Icon{value[1], (value[0] & 0x01) == 0};
            break;
        case kItemIconList:
            command.itemIcons = value.size() >= 2;
            break;
        case kImmediateResponse:
            command.immediateResponse = true;
            break;
        case kSmsTpdu:
            command.smsTpdu.assign(value.begin(), value.end());
            break;
        default:
            break;  // read and not needed to show anything: durations, attributes, addresses
        }
    }
    if (!haveDetails)
        return Failure::failure("the command has no command details");

    if (command.is(CommandType::SetUpMenu) || command.is(CommandType::SelectItem) ||
        command.is(CommandType::GetInput) || command.is(CommandType::GetInkey))
        command.helpAvailable = (command.qualifier & 0x80) != 0;

    const bool missing =
        !haveDevices || (needsText(command) && !command.text) ||
        (command.is(CommandType::GetInput) && !haveLength) ||
        ((command.is(CommandType::SetUpMenu) || command.is(CommandType::SelectItem)) &&
         command.items.empty()) ||
        (command.is(CommandType::SetUpMenu) && !command.alpha);
    if (missing)
        refuse(GeneralResult::RequiredValuesMissing);
    else if (command.is(CommandType::GetInput) && command.minLength > command.maxLength)
        refuse(GeneralResult::DataNotUnderstood);
    return command;
}

GeneralResult resultWhenPerformed(const ProactiveCommand &command)
{
    if (!command.icon && !command.itemIcons)
        return GeneralResult::Performed;
    // The icon is not shown; the text is, so it must be there to show.
    const auto &shown = command.text ? command.text : command.alpha;
    if (command.icon && (!shown || shown->empty()))
        return GeneralResult::DataNotUnderstood;
    return GeneralResult::PerformedIconNotShown;
}

std::vector<uint8_t> encodeTerminalResponse(const ProactiveCommand &command, GeneralResult result,
                                            std::optional<uint8_t> additional)
{
    return responseHead(command, result, additional);
}

std::vector<uint8_t> encodeItemResponse(const ProactiveCommand &command, GeneralResult result,
                                        uint8_t itemId)
{
    auto out = responseHead(command, result, std::nullopt);
    const std::array<uint8_t, 1> id{itemId};
    appendObject(out, kItemIdentifier | kComprehensionRequired, id);
    return out;
}

Result<std::vector<uint8_t>> encodeInputResponse(const ProactiveCommand &command,
                                                 GeneralResult result, std::string_view utf8)
{
    using Failure = Result<std::vector<uint8_t>>;
    const auto characters = codePointsFromUtf8(utf8);
    if (!characters)
        return Failure::failure("the answer is not UTF-8");
    const InputKind kind = command.inputKind();
    std::vector<uint8_t> text;
    if (kind == InputKind::YesNo) {
        if (*characters != U"1" && *characters != U"0")
            return Failure::failure("a yes/no answer is 1 or 0");
        text = {0x04, static_cast<uint8_t>((*characters)[0] == U'1' ? 0x01 : 0x00)};
    } else if (!characters->empty()) {
        if (kind == InputKind::Digits || kind == InputKind::Ucs2Digits) {
            for (char32_t c : *characters) {
                if (!isDialDigit(c))
                    return Failure::failure("digits were asked for");
            }
        }
        if (kind == InputKind::Ucs2 || kind == InputKind::Ucs2Digits) {
            text.push_back(0x08);
            const auto units = utf16BigEndianBytes(utf16FromCodePoints(*characters));
            text.insert(text.end(), units.begin(), units.end());
        } else {
            auto septets = gsmSeptetsFromCodePoints(*characters);
            if (!septets)
                return Failure::failure("a character is not in the default alphabet");
            if (command.qualifier & 0x08) {
                // Packed: seven spare bits at the end are filled with a carriage return.
                if (septets->size() % 8 == 7)
                    septets->push_back(kGsmCarriageReturn);
                text.push_back(0x00);
                const auto packed = packSeptets(*septets);
                text.insert(text.end(), packed.begin(), packed.end());
            } else {
                text.push_back(0x04);
                text.insert(text.end(), septets->begin(), septets->end());
            }
        }
    }
    if (text.size() > 0xFF - 16)
        return Failure::failure("the answer is longer than a terminal response can carry");
    auto out = responseHead(command, result, std::nullopt);
    appendObject(out, kTextString | kComprehensionRequired, text);
    return out;
}

std::vector<uint8_t> encodeMenuSelection(uint8_t itemId, bool helpRequested)
{
    std::vector<uint8_t> body;
    const std::array<uint8_t, 2> devices{kDeviceKeypad, kDeviceUicc};
    appendObject(body, kDeviceIdentities | kComprehensionRequired, devices);
    const std::array<uint8_t, 1> id{itemId};
    appendObject(body, kItemIdentifier | kComprehensionRequired, id);
    if (helpRequested)
        appendObject(body, kHelpRequest, {});
    std::vector<uint8_t> out{kMenuSelectionTag};
    appendLength(out, body.size());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Result<TerminalResponse> decodeTerminalResponse(std::span<const uint8_t> bytes)
{
    using Failure = Result<TerminalResponse>;
    auto objects = readObjects(bytes);
    if (!objects)
        return Failure::failure(objects.error());
    TerminalResponse response;
    bool haveDetails = false;
    bool haveResult = false;
    int yesNo = -1;  // the byte of a one-byte answer
    for (const Object &object : *objects) {
        const auto value = object.value;
        if (object.longTag)
            continue;
        if (object.tag == kCommandDetails && value.size() >= 3 && !haveDetails) {
            response.number = value[0];
            response.type = value[1];
            response.qualifier = value[2];
            haveDetails = true;
        } else if (object.tag == kResult && !value.empty() && !haveResult) {
            response.result = static_cast<GeneralResult>(value[0]);
            haveResult = true;
        } else if (object.tag == kItemIdentifier && !value.empty()) {
            response.itemId = value[0];
        } else if (object.tag == kTextString) {
            response.text = readTextString(value);
            if (!response.text)
                return Failure::failure("the text is in a coding that is not known");
            yesNo = value.size() == 2 ? value[1] : -1;
        }
    }
    if (!haveDetails || !haveResult)
        return Failure::failure("a terminal response has command details and a result");
    // A yes/no answer is a byte, 01 or 00, not a character.
    if (response.type == static_cast<uint8_t>(CommandType::GetInkey) &&
        (response.qualifier & 0x04) && yesNo >= 0)
        response.text = std::string(1, yesNo ? '1' : '0');
    return response;
}

Result<uint8_t> decodeMenuSelection(std::span<const uint8_t> bytes)
{
    using Failure = Result<uint8_t>;
    if (bytes.empty() || bytes[0] != kMenuSelectionTag)
        return Failure::failure("a menu selection starts with the tag D3");
    size_t at = 1;
    const auto length = readLength(bytes, at);
    if (!length || *length > bytes.size() - at)
        return Failure::failure("the envelope is shorter than its length says");
    auto objects = readObjects(bytes.subspan(at, *length));
    if (!objects)
        return Failure::failure(objects.error());
    for (const Object &object : *objects) {
        if (!object.longTag && object.tag == kItemIdentifier && !object.value.empty())
            return object.value[0];
    }
    return Failure::failure("the menu selection names no item");
}

}  // namespace codec::toolkit
