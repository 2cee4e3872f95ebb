// The SIM's toolkit application and the USAT commands that reach it (+CUSATA, +CUSATR,
// +CUSATE, +CUSATT). Once the terminal activates its profile the SIM sets up its main menu;
// choosing an item opens a dialogue of proactive commands (+CUSATP), each waiting for the
// terminal's response before the next, until the SIM ends the session (+CUSATEND).
//
// The application: a main menu (balance, services, sending a message); the services sub-menu
// holds one input of each kind the terminal is asked for (digits, yes/no, UCS-2 text, packed
// text, UCS-2 digits, a single key). What the terminal answered is kept in the state for tests.
#include "virtualmodem/Modem.h"

#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/Toolkit.h"
#include "codec/Unicode.h"

#include <optional>

namespace virtualmodem {

namespace {

using namespace codec::toolkit;
using Bytes = std::vector<uint8_t>;

// Where the dialogue stands: the proactive command the SIM waits on the answer to.
enum Screen : int {
    kIdle = 0,
    kMainMenu,
    kBalance,
    kServices,
    kTopUp,
    kLanguage,
    kName,
    kNote,
    kPin,
    kKey,
    kAnswerShown,
    kSending,
    kSent,
};

void appendObject(Bytes &out, uint8_t tag, const Bytes &value)
{
    out.push_back(tag);
    if (value.size() >= 0x80)
        out.push_back(0x81);
    out.push_back(static_cast<uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

// The text in the default alphabet one septet per byte where it can be, else in UCS-2, behind
// the coding byte the field uses for each.
Bytes codedText(std::string_view utf8, std::optional<uint8_t> gsmCoding, uint8_t ucs2Coding)
{
    Bytes out;
    if (auto septets = codec::gsmSeptetsFromUtf8(utf8)) {
        if (gsmCoding)
            out.push_back(*gsmCoding);
        out.insert(out.end(), septets->begin(), septets->end());
        return out;
    }
    out.push_back(ucs2Coding);
    const auto units = codec::utf16BigEndianBytes(
        codec::utf16FromCodePoints(codec::codePointsFromUtf8(utf8).value_or(U"?")));
    out.insert(out.end(), units.begin(), units.end());
    return out;
}

// An alpha field as the SIM stores it: the default alphabet bare, or UCS-2 behind 0x80.
Bytes alpha(std::string_view utf8) { return codedText(utf8, std::nullopt, 0x80); }

// A text string: the 8-bit default alphabet (scheme 04), or UCS-2 (08).
Bytes textString(std::string_view utf8) { return codedText(utf8, 0x04, 0x08); }

struct Item {
    uint8_t id;
    const char *text;
};

class Dialogue {
public:
    explicit Dialogue(Modem &modem) : m_modem(modem), m_toolkit(modem.state().toolkit) {}

    void send(CommandType type, uint8_t qualifier, uint8_t destination, const Bytes &objects,
              int screen)
    {
        m_toolkit.commandNumber = static_cast<uint8_t>(m_toolkit.commandNumber % 0xFE + 1);
        m_toolkit.commandType = static_cast<uint8_t>(type);
        m_toolkit.screen = screen;
        Bytes body;
        appendObject(body, 0x81, {m_toolkit.commandNumber, static_cast<uint8_t>(type), qualifier});
        appendObject(body, 0x82, {kDeviceUicc, destination});
        body.insert(body.end(), objects.begin(), objects.end());
        Bytes command{0xD0};
        if (body.size() >= 0x80)
            command.push_back(0x81);
        command.push_back(static_cast<uint8_t>(body.size()));
        command.insert(command.end(), body.begin(), body.end());
        m_modem.unsolicited("+CUSATP: \"" + codec::hexFromBytes(command) + "\"");
    }

    void menu(CommandType type, const char *title, std::initializer_list<Item> items, int screen)
    {
        Bytes objects;
        appendObject(objects, 0x85, alpha(title));
        for (const Item &item : items) {
            Bytes value{item.id};
            const Bytes text = alpha(item.text);
            value.insert(value.end(), text.begin(), text.end());
            appendObject(objects, 0x8F, value);
        }
        send(type, 0x00, kDeviceTerminal, objects, screen);
    }

    void mainMenu()
    {
        menu(CommandType::SetUpMenu, "Brisa Services",
             {{1, "Balance"}, {2, "Services"}, {3, "Send a message"}}, kMainMenu);
    }

    void services()
    {
        menu(CommandType::SelectItem, "Services",
             {{1, "Top up"}, {2, "Language"}, {3, "Your name"}, {4, "Note"}, {5, "PIN code"},
              {6, "One key"}},
             kServices);
    }

    void display(std::string_view text, bool waitForUser, int screen)
    {
        Bytes objects;
        appendObject(objects, 0x8D, textString(text));
        send(CommandType::DisplayText, waitForUser ? 0x80 : 0x00, kDeviceDisplay, objects, screen);
    }

    void input(const char *prompt, uint8_t qualifier, uint8_t minimum, uint8_t maximum,
               int screen)
    {
        Bytes objects;
        appendObject(objects, 0x8D, textString(prompt));
        appendObject(objects, 0x91, {minimum, maximum});
        send(CommandType::GetInput, qualifier, kDeviceTerminal, objects, screen);
    }

    void inkey(const char *prompt, uint8_t qualifier, int screen)
    {
        Bytes objects;
        appendObject(objects, 0x8D, textString(prompt));
        send(CommandType::GetInkey, qualifier, kDeviceTerminal, objects, screen);
    }

    void sendMessage()
    {
        // An SMS-SUBMIT to +5491140000099, 8-bit data "STK test".
        const auto tpdu = codec::bytesFromHex("01000D91451904000090F900040853544B2074657374");
        Bytes objects;
        appendObject(objects, 0x85, alpha("Sending a message"));
        appendObject(objects, 0x8B, tpdu.value_or(Bytes{}));
        send(CommandType::SendShortMessage, 0x00, kDeviceNetwork, objects, kSending);
    }

    void end()
    {
        m_toolkit.screen = kIdle;
        m_modem.unsolicited("+CUSATEND");
    }

    // The SIM's next step after the terminal answered the command of the current screen.
    void answered(const TerminalResponse &response)
    {
        const auto result = static_cast<uint8_t>(response.result);
        const bool done = result < 0x10;
        const bool back = response.result == GeneralResult::BackwardMove;
        const std::string text = response.text.value_or("");
        if (done && (response.text || response.itemId))
            m_toolkit.answers.push_back(std::to_string(m_toolkit.screen) + ":" +
                                        (response.itemId ? std::to_string(*response.itemId) : text));
        if (!done && !back) {
            end();  // ended by the user, or the terminal could not do it
            return;
        }
        switch (m_toolkit.screen) {
        case kMainMenu: m_toolkit.screen = kIdle; return;
        case kServices:
            if (back) {
                end();
                return;
            }
            chooseService(response.itemId.value_or(0));
            return;
        case kTopUp:
            if (back)
                services();
            else
                display("Code " + text + " accepted", true, kAnswerShown);
            return;
        case kLanguage:
            if (back)
                services();
            else
                display(text == "1" ? "Language switched" : "Language kept", false, kAnswerShown);
            return;
        case kName:
        case kNote:
        case kPin:
        case kKey:
            if (back)
                services();
            else
                display("You typed: " + text, true, kAnswerShown);
            return;
        case kAnswerShown: services(); return;
        case kSending: display("Message sent", false, kSent); return;
        case kBalance:
        case kSent:
        default: end(); return;
        }
    }

    void chooseMain(uint8_t item)
    {
        switch (item) {
        case 1: display("Your balance: 42.50 EUR, valid until 31/12", true, kBalance); return;
        case 2: services(); return;
        case 3: sendMessage(); return;
        default: end(); return;
        }
    }

    void chooseService(uint8_t item)
    {
        switch (item) {
        case 1: input("Top-up code", 0x00, 4, 12, kTopUp); return;
        case 2: inkey("Switch to English?", 0x04, kLanguage); return;
        case 3: input("Your name", 0x03, 1, 20, kName); return;
        case 4: input("A note", 0x09, 0, 30, kNote); return;
        case 5: input("PIN code", 0x02, 4, 8, kPin); return;
        case 6: inkey("Press one key", 0x01, kKey); return;
        default: services(); return;
        }
    }

private:
    Modem &m_modem;
    SimToolkit &m_toolkit;
};

// What +CUSATE and +CUSATT share: the test form answered, any form but a set refused, a SIM not
// ready or a toolkit not activated refused, and the one hexadecimal argument read into bytes.
// A result is the answer to give at once.
std::optional<Result> takeHexArgument(Modem &modem, const AtCommand &command, Bytes &bytes)
{
    if (command.kind == AtKind::Test)
        return Result::ok();
    if (command.kind != AtKind::Set)
        return Result::error();
    if (modem.state().sim.lock != SimLock::Ready)
        return Result::cme(cme::kSimPinRequired);
    if (!modem.state().toolkit.active)
        return Result::cme(cme::kNotAllowed);
    const auto values = parseArguments(command.argument);
    const auto read = values && values->size() == 1 ? codec::bytesFromHex((*values)[0].text)
                                                    : std::nullopt;
    if (!read)
        return Result::cme(cme::kInvalidText);
    bytes = *read;
    return std::nullopt;
}

Result activate(Modem &modem, const AtCommand &command)
{
    auto &toolkit = modem.state().toolkit;
    switch (command.kind) {
    case AtKind::Test: return Result::ok({"+CUSATA: (0-3)"});
    case AtKind::Read: return Result::ok({toolkit.active ? "+CUSATA: 4,0" : "+CUSATA: 2,0"});
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        const auto mode = values ? numberArgument(*values, 0, 0, 3) : std::nullopt;
        if (!mode)
            return Result::cme(cme::kNotSupported);
        if (*mode == 0)
            return Result::ok({toolkit.active ? "+CUSATA: 4,0" : "+CUSATA: 2,0"});
        if (modem.state().sim.lock != SimLock::Ready)
            return Result::cme(cme::kSimPinRequired);
        // A new profile: the SIM starts over and sets up its menu.
        toolkit.active = true;
        Dialogue(modem).mainMenu();
        return Result::ok();
    }
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result readProfile(Modem &modem, const AtCommand &command)
{
    (void)modem;
    if (command.kind == AtKind::Test)
        return Result::ok({"+CUSATR: (0-5)"});
    // The terminal profile of a terminal with a display, menus, inputs and short messages.
    return Result::ok({"+CUSATR: 0,\"FFFFFFFF7F\""});
}

Result envelope(Modem &modem, const AtCommand &command)
{
    Bytes bytes;
    if (auto answer = takeHexArgument(modem, command, bytes))
        return *answer;
    const auto item = decodeMenuSelection(bytes);
    if (!item)
        return Result::cme(cme::kInvalidText);
    Dialogue(modem).chooseMain(*item);
    return Result::ok({"+CUSATE: \"\",0"});
}

Result terminalResponse(Modem &modem, const AtCommand &command)
{
    Bytes bytes;
    if (auto answer = takeHexArgument(modem, command, bytes))
        return *answer;
    const auto response = decodeTerminalResponse(bytes);
    auto &toolkit = modem.state().toolkit;
    // A response to no command, or to another one than the SIM sent, is refused by the SIM.
    if (!response || toolkit.screen == kIdle || response->number != toolkit.commandNumber ||
        response->type != toolkit.commandType)
        return Result::cme(cme::kUnknown);
    toolkit.results.push_back(static_cast<uint8_t>(response->result));
    Dialogue(modem).answered(*response);
    return Result::ok();
}

}  // namespace

void registerToolkitCommands(CommandTable &table)
{
    table.add("+CUSATA", activate);
    table.add("+CUSATR", readProfile);
    table.add("+CUSATE", envelope);
    table.add("+CUSATT", terminalResponse);
}

}  // namespace virtualmodem
