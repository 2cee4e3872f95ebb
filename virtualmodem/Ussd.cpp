// USSD (+CUSD) and the network's services behind it:
//
//   *100#  the balance, in German with umlauts and the euro sign (7-bit)
//   *101#  the balance in Russian (UCS-2)
//   *102#  a bonus notice with an emoji (UCS-2, a surrogate pair)
//   *123#  a service menu of several levels that asks for answers
//   *130#  the balance from a slow network
//   *135#  a service the network ends at once (+CUSD: 2)
//   any other code is refused (+CUSD: 4)
//
// 7-bit replies come as the network's septets packed into hex (scheme 15), as most cards give
// them, or converted into the terminal's character set when that is UCS2; UCS-2 replies as
// UCS-2 hex (scheme 72). The quirk modes give the other forms real cards use.
#include "virtualmodem/Modem.h"

#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/Ussd.h"

namespace virtualmodem {

namespace {

struct Reply {
    int type = 0;  // 0 done, 1 the network asks for an answer, 2 ended, 4 not supported
    std::string text;
    std::string menu;  // where the dialogue goes on
    bool slow = false;
};

const std::string kMainMenu =
    "Servicemenü\n1 Guthaben\n2 Tarife\n3 Internet-Pakete\n0 Beenden";
const std::string kTariffMenu = "Tarife\n1 Tarif S (5 €)\n2 Tarif M (10 €)\n9 Zurück";
const std::string kDataMenu = "Internet-Pakete\n1 1 GB (3 €)\n2 5 GB (8 €)\n9 Zurück";

Reply menuReply(const std::string &menu, const std::string &answer)
{
    auto ask = [](std::string text, std::string where) { return Reply{1, std::move(text), std::move(where)}; };
    if (menu == "main") {
        if (answer == "1")
            return ask("Ihr Guthaben beträgt 12,50 €.\n9 Zurück", "balance");
        if (answer == "2")
            return ask(kTariffMenu, "tariffs");
        if (answer == "3")
            return ask(kDataMenu, "data");
        if (answer == "0")
            return {0, "Auf Wiedersehen.", {}};
        return ask("Ungültige Auswahl.\n" + kMainMenu, "main");
    }
    if (menu == "balance" || ((menu == "tariffs" || menu == "data") && answer == "9"))
        return ask(kMainMenu, "main");
    if (menu == "tariffs" && (answer == "1" || answer == "2"))
        return ask(std::string("Tarif ") + (answer == "1" ? "S" : "M") +
                       " buchen?\n1 Ja\n2 Nein",
                   "confirm-" + answer);
    if (menu == "data" && (answer == "1" || answer == "2"))
        return {0, "Ihr Paket ist gebucht. Sie erhalten eine SMS.", {}};
    if (menu.rfind("confirm-", 0) == 0) {
        if (answer == "1")
            return {0, std::string("Tarif ") + (menu.back() == '1' ? "S" : "M") +
                           " ist ab morgen aktiv. Vielen Dank!", {}};
        return ask(kTariffMenu, "tariffs");
    }
    return ask("Ungültige Auswahl.\n9 Zurück", menu);
}

Reply serviceReply(const std::string &code)
{
    if (code == "*100#")
        return {0, "Ihr Guthaben beträgt 12,50 €. Gültig bis 31.12.2026. Grüße von Brisa!", {}};
    if (code == "*101#")
        return {0, "Ваш баланс: 150,00 руб. Спасибо, что вы с нами!", {}};
    if (code == "*102#")
        return {0, "Bonus aktiviert 🎉 Danke! 😀", {}};
    if (code == "*123#")
        return {1, kMainMenu, "main"};
    if (code == "*130#")
        return {0, "Ihr Guthaben: 3,20 €", {}, true};
    if (code == "*135#")
        return {2, {}, {}};
    return {4, {}, {}};
}

// The reply as the card writes it on the line.
std::string replyLine(const Modem &modem, const Reply &reply)
{
    if (reply.type >= 2)
        return "+CUSD: " + std::to_string(reply.type);
    const Quirks &quirks = modem.state().quirks;
    const auto septets = codec::gsmSeptetsFromUtf8(reply.text);
    std::string string;
    int scheme = 15;
    if (!septets) {
        string = codec::encodeUssd(reply.text)->hex;  // UCS-2
        scheme = quirks.has(Quirk::UssdUcs2As15) ? 15 : 72;
    } else if (quirks.has(Quirk::UssdMultiLine)) {
        std::string text = modem.terminalText(reply.text);
        for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
            text.replace(at, 1, "\r\n");
        string = text;
    } else if (quirks.has(Quirk::UssdText) || modem.state().settings.charset == Charset::Ucs2) {
        // A terminal set to UCS2 gets the text converted into it, as the standard has it.
        string = modem.terminalText(reply.text);
    } else if (quirks.has(Quirk::UssdUnpacked)) {
        string = codec::hexFromBytes(*septets);
    } else {
        string = codec::encodeUssd(reply.text)->hex;
    }
    return "+CUSD: " + std::to_string(reply.type) + ",\"" + string + "\"," + std::to_string(scheme);
}

// The request's text, in the form this card takes it; nothing when it cannot be read.
std::optional<std::string> requestText(const Modem &modem, const std::string &string, long scheme)
{
    const Quirks &quirks = modem.state().quirks;
    if (scheme == 72 || scheme == 0x48)
        return ucs2HexToUtf8(string);
    if (quirks.has(Quirk::UssdRequestPacked) || quirks.has(Quirk::UssdRequestHex)) {
        const auto bytes = codec::bytesFromHex(string);
        if (!bytes || bytes->empty())
            return std::nullopt;
        if (quirks.has(Quirk::UssdRequestPacked))
            return codec::utf8FromPackedUssd(*bytes);
        for (uint8_t septet : *bytes) {
            if (septet >= 0x80)
                return std::nullopt;
        }
        return codec::utf8FromGsmSeptets(*bytes);
    }
    return decodeFromTerminal(string, modem.state().settings.charset);
}

Result ussd(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    int &mode = state.settings.ussdReports;
    switch (command.kind) {
    case AtKind::Read: return Result::ok({"+CUSD: " + std::to_string(mode)});
    case AtKind::Test: return Result::ok({"+CUSD: (0-2)"});
    case AtKind::Execute: mode = 0; return Result::ok();
    case AtKind::Set: break;
    }
    const auto values = parseArguments(command.argument);
    if (!values || values->empty())
        return Result::error();
    const auto number = numberArgument(*values, 0, 0, 2);
    if (!number)
        return Result::error();
    if (*number == 2) {
        // The session is released; a reply still on its way is dropped.
        state.ussd.menu.clear();
        modem.dropLater("+CUSD:");
        return Result::ok();
    }
    mode = static_cast<int>(*number);
    const auto string = textArgument(*values, 1);
    if (!string)
        return Result::ok();
    const long scheme = values->size() > 2 ? numberArgument(*values, 2, 0, 255).value_or(-1) : 15;
    if (scheme < 0)
        return Result::error();
    const auto text = requestText(modem, *string, scheme);
    if (!text || text->empty() || text->size() > 182)
        return Result::cme(cme::kUnknown);
    if (state.network.functionality != 1 || state.sim.lock != SimLock::Ready ||
        (state.network.coverage != Coverage::Home && state.network.coverage != Coverage::Roaming))
        return Result::cme(cme::kNoNetworkService);

    modem.dropLater("+CUSD:");
    Reply reply = state.ussd.menu.empty() ? serviceReply(*text) : menuReply(state.ussd.menu, *text);
    state.ussd.menu = reply.menu;
    const std::string line = replyLine(modem, reply);
    const auto delay = reply.slow ? state.ussd.slowDelay : state.ussd.replyDelay;
    if (state.quirks.has(Quirk::UssdHoldOk)) {
        // The card answers the command only once the network has answered.
        Result held = Result::ok({line});
        held.delay = delay;
        return held;
    }
    if (state.quirks.has(Quirk::UssdEmptyFirst))
        modem.unsolicitedLater("+CUSD: 0,\"\",15", std::chrono::milliseconds(1));
    modem.unsolicitedLater(line, delay);
    return Result::ok();
}

}  // namespace

void registerUssdCommands(CommandTable &table) { table.add("+CUSD", ussd); }

}  // namespace virtualmodem
