// The SIM toolkit's proactive commands and what the terminal answers to them (ETSI TS 102 223,
// 3GPP TS 31.111): a BER-TLV tagged D0 around COMPREHENSION-TLV objects, the terminal response
// as a bare run of COMPREHENSION-TLVs, and the menu-selection envelope tagged D3.
//
// Decoding only refuses what cannot be read as a command at all (a broken frame, no command
// details). A command that can be read but not carried out says why in `refusal`, so the caller
// can answer the card with that result instead of leaving it waiting.
#pragma once

#include "Result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace codec::toolkit {

enum class CommandType : uint8_t {
    Refresh = 0x01,
    MoreTime = 0x02,
    PollInterval = 0x03,
    PollingOff = 0x04,
    SetUpEventList = 0x05,
    SetUpCall = 0x10,
    SendSs = 0x11,
    SendUssd = 0x12,
    SendShortMessage = 0x13,
    SendDtmf = 0x14,
    LaunchBrowser = 0x15,
    PlayTone = 0x20,
    DisplayText = 0x21,
    GetInkey = 0x22,
    GetInput = 0x23,
    SelectItem = 0x24,
    SetUpMenu = 0x25,
    ProvideLocalInformation = 0x26,
    TimerManagement = 0x27,
    SetUpIdleModeText = 0x28,
    LanguageNotification = 0x35,
};
// "SET UP MENU", or "0x7A" for a type this table does not name.
std::string commandTypeName(uint8_t type);

// Device identities (TS 102 223 §8.7).
inline constexpr uint8_t kDeviceKeypad = 0x01;
inline constexpr uint8_t kDeviceDisplay = 0x02;
inline constexpr uint8_t kDeviceUicc = 0x81;
inline constexpr uint8_t kDeviceTerminal = 0x82;
inline constexpr uint8_t kDeviceNetwork = 0x83;

// General results (TS 102 223 §8.12).
enum class GeneralResult : uint8_t {
    Performed = 0x00,
    PerformedPartly = 0x01,
    PerformedMissingInformation = 0x02,
    PerformedIconNotShown = 0x04,
    TerminatedByUser = 0x10,
    BackwardMove = 0x11,
    NoResponse = 0x12,
    HelpRequested = 0x13,
    TerminalBusy = 0x20,
    BeyondCapabilities = 0x30,
    TypeNotUnderstood = 0x31,
    DataNotUnderstood = 0x32,
    RequiredValuesMissing = 0x36,
};

struct Icon {
    uint8_t record = 0;
    bool selfExplanatory = false;  // the icon replaces the text where it is shown
};

struct MenuItem {
    uint8_t id = 0;
    std::string text;
};

// What the user is asked to type, as the input dialog distinguishes it.
enum class InputKind : uint8_t {
    Gsm = 0,         // text in the default alphabet
    YesNo = 1,       // GET INKEY asking yes or no
    Digits = 2,      // 0-9, *, #, + in the default alphabet
    Ucs2 = 3,        // any text, sent as UCS-2
    Ucs2Digits = 4,  // digits sent as UCS-2 (two bytes each)
};

struct ProactiveCommand {
    uint8_t number = 0;
    uint8_t type = 0;  // a CommandType, or a type this codec does not name
    uint8_t qualifier = 0;
    uint8_t source = kDeviceUicc;
    uint8_t destination = kDeviceTerminal;

    // Alpha identifier: the menu's title, the notice of a message, call or USSD being sent.
    // Present but empty means the card asks for no notice at all.
    std::optional<std::string> alpha;
    // Text string: the text to display, or the prompt of GET INPUT / GET INKEY.
    std::optional<std::string> text;
    std::optional<std::string> defaultText;
    std::vector<MenuItem> items;
    std::optional<uint8_t> defaultItem;
    uint8_t minLength = 0;  // GET INPUT's response length, in characters
    uint8_t maxLength = 0;
    std::optional<Icon> icon;
    bool itemIcons = false;
    bool immediateResponse = false;
    bool helpAvailable = false;
    // SEND SHORT MESSAGE: the SMS-SUBMIT to send, without a service centre in front.
    std::vector<uint8_t> smsTpdu;

    // Set when the command can be read but not carried out: a mandatory object missing, an
    // object that must be understood and is not, a text in a coding that is not known.
    std::optional<GeneralResult> refusal;

    bool is(CommandType wanted) const { return type == static_cast<uint8_t>(wanted); }
    // SET UP MENU with a single empty item: the card takes its menu away.
    bool removesMenu() const;
    // DISPLAY TEXT that stays until the user clears it (qualifier bit 8).
    bool waitsForUser() const { return (qualifier & 0x80) != 0; }
    InputKind inputKind() const;
};

Result<ProactiveCommand> decodeProactiveCommand(std::span<const uint8_t> bytes);

// The result to report for a command the terminal carried out: an icon it asked for and that
// was not shown makes it "performed, icon not shown"; a self-explanatory icon with no text to
// show in its place cannot be carried out at all.
GeneralResult resultWhenPerformed(const ProactiveCommand &command);

// The terminal response: command details, device identities, result. `additional` is the
// additional information byte some results carry (e.g. the cause of "terminal busy").
std::vector<uint8_t> encodeTerminalResponse(const ProactiveCommand &command, GeneralResult result,
                                            std::optional<uint8_t> additional = std::nullopt);
// SELECT ITEM answered with the chosen item.
std::vector<uint8_t> encodeItemResponse(const ProactiveCommand &command, GeneralResult result,
                                        uint8_t itemId);
// GET INPUT / GET INKEY answered with the user's text, written as the command asked (UCS-2,
// packed or unpacked default alphabet; yes/no as one byte 01 or 00). Refused when the text
// cannot be written so, e.g. a character outside the default alphabet or a letter where digits
// were asked for.
Result<std::vector<uint8_t>> encodeInputResponse(const ProactiveCommand &command,
                                                 GeneralResult result, std::string_view utf8);
// The menu-selection envelope: the user chose an item of the card's main menu.
std::vector<uint8_t> encodeMenuSelection(uint8_t itemId, bool helpRequested = false);

// What a terminal answered, as the card reads it: the command it answers, the result, and the
// chosen item or the text typed.
struct TerminalResponse {
    uint8_t number = 0;
    uint8_t type = 0;
    uint8_t qualifier = 0;
    GeneralResult result = GeneralResult::Performed;
    std::optional<uint8_t> itemId;
    std::optional<std::string> text;
};
Result<TerminalResponse> decodeTerminalResponse(std::span<const uint8_t> bytes);
// The item chosen in a menu-selection envelope; refused for any other envelope.
Result<uint8_t> decodeMenuSelection(std::span<const uint8_t> bytes);

}  // namespace codec::toolkit
