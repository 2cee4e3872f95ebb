// The network's supplementary services: call forwarding (+CCFC), call barring (+CLCK on the
// network's facilities, with the barring password), call waiting (+CCWA). The services live in
// the network: they stay while the card runs, whatever the terminal does.
#include "virtualmodem/Modem.h"
#include "virtualmodem/Network.h"
#include "virtualmodem/SimCard.h"
#include "virtualmodem/VirtualModem.h"

#include <charconv>

namespace virtualmodem {

namespace {

constexpr int kDefaultClasses = 7;  // voice, data and fax, when the terminal names no class

// The class bits a <class> argument covers.
std::vector<int> classBits(int classes)
{
    std::vector<int> bits;
    for (int bit = 1; bit <= 128; bit <<= 1)
        if ((classes & bit) != 0)
            bits.push_back(bit);
    return bits;
}

// Why the network cannot take a request now, if it cannot: the SIM not ready, no registration,
// or a network refusing the service.
std::optional<int> serviceError(const ModemState &state)
{
    if (const auto error = simNotReadyError(state.sim))
        return error;
    const int status = csRegistration(state).status;
    if (status != 1 && status != 5)
        return cme::kNoNetworkService;
    if (state.services.refused)
        return cme::kNoNetworkService;
    return std::nullopt;
}

std::optional<int> classArgument(const std::vector<AtValue> &values, size_t index)
{
    if (values.size() <= index || values[index].empty())
        return kDefaultClasses;
    auto number = numberArgument(values, index, 1, 255);
    if (!number)
        return std::nullopt;
    return static_cast<int>(*number);
}

// The reasons a <reason> stands for: 4 all forwardings, 5 all conditional ones.
std::vector<int> reasonsOf(int reason)
{
    if (reason == 4)
        return {0, 1, 2, 3};
    if (reason == 5)
        return {1, 2, 3};
    return {reason};
}

Result callForwarding(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    if (command.kind == AtKind::Test)
        return Result::ok({"+CCFC: (0-5)"});
    if (command.kind != AtKind::Set)
        return Result::error();
    const auto values = parseArguments(command.argument);
    if (!values || values->size() < 2)
        return Result::error();
    const auto reason = numberArgument(*values, 0, 0, 5);
    const auto mode = numberArgument(*values, 1, 0, 4);
    const auto classes = classArgument(*values, 4);
    if (!reason || !mode || !classes)
        return Result::error();
    if (const auto error = serviceError(state))
        return Result::cme(*error);
    auto &forwarding = state.services.forwarding;
    if (*mode == 2) {
        if (*reason > 3)
            return Result::cme(cme::kNotAllowed);
        std::vector<std::string> lines;
        for (int bit : classBits(*classes)) {
            auto found = forwarding.find({static_cast<int>(*reason), bit});
            if (found == forwarding.end())
                continue;
            const std::string &number = found->second;
            lines.push_back("+CCFC: 1," + std::to_string(bit) + ",\"" + number + "\"," +
                            (number.front() == '+' ? "145" : "129"));
        }
        if (lines.empty())
            lines.push_back("+CCFC: 0," + std::to_string(*classes));
        return Result::ok(std::move(lines));
    }
    const auto number = textArgument(*values, 2);
    const bool withNumber = number && !number->empty();
    if (*mode == 3 && !withNumber)
        return Result::error();
    for (int each : reasonsOf(static_cast<int>(*reason))) {
        for (int bit : classBits(*classes)) {
            if (*mode == 0 || *mode == 4)
                forwarding.erase({each, bit});
            else if (withNumber)
                forwarding[{each, bit}] = *number;
            else if (!forwarding.count({each, bit}))
                return Result::cme(cme::kNotAllowed);  // enabling needs a registered number
        }
    }
    return Result::ok();
}

Result callWaiting(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    switch (command.kind) {
    case AtKind::Test: return Result::ok({"+CCWA: (0,1)"});
    case AtKind::Read: return Result::ok({"+CCWA: 1"});
    case AtKind::Execute: return Result::error();
    case AtKind::Set: break;
    }
    const auto values = parseArguments(command.argument);
    if (!values || values->empty() || values->size() > 3)
        return Result::error();
    if (!(*values)[0].empty() && !numberArgument(*values, 0, 0, 1))
        return Result::error();
    if (values->size() < 2 || (*values)[1].empty())
        return Result::ok();  // only the presentation of waiting calls
    const auto mode = numberArgument(*values, 1, 0, 2);
    const auto classes = classArgument(*values, 2);
    if (!mode || !classes)
        return Result::error();
    if (const auto error = serviceError(state))
        return Result::cme(*error);
    auto &waiting = state.services.waitingClasses;
    if (*mode == 2) {
        std::vector<std::string> lines;
        for (int bit : classBits(*classes))
            if (waiting.count(bit))
                lines.push_back("+CCWA: 1," + std::to_string(bit));
        if (lines.empty())
            lines.push_back("+CCWA: 0," + std::to_string(*classes));
        return Result::ok(std::move(lines));
    }
    for (int bit : classBits(*classes)) {
        if (*mode == 1)
            waiting.insert(bit);
        else
            waiting.erase(bit);
    }
    return Result::ok();
}

bool isBarringFacility(const std::string &facility)
{
    for (const char *known : {"AO", "OI", "OX", "AI", "IR", "AB", "AG", "AC"})
        if (facility == known)
            return true;
    return false;
}

// The facilities an "all barring" facility lifts.
std::vector<std::string> facilitiesOf(const std::string &facility)
{
    if (facility == "AB")
        return {"AO", "OI", "OX", "AI", "IR"};
    if (facility == "AG")
        return {"AO", "OI", "OX"};
    if (facility == "AC")
        return {"AI", "IR"};
    return {facility};
}

// "quirk cops-busy <n>", "services refuse on|off", "clip provisioned on|off",
// "barring-password <digits>"; nullopt when the verb is not one of these.
std::optional<std::string> onOffWord(const std::string &word)
{
    if (word == "on" || word == "off")
        return word;
    return std::nullopt;
}

}  // namespace

Result networkFacilityLock(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    const auto values = parseArguments(command.argument);
    if (!values || values->size() < 2)
        return Result::error();
    const auto given = textArgument(*values, 0);
    const auto mode = numberArgument(*values, 1, 0, 2);
    const auto classes = classArgument(*values, 3);
    if (!given || !mode || !classes)
        return Result::error();
    const std::string facility = toUpper(*given);
    if (!isBarringFacility(facility))
        return Result::cme(cme::kNotSupported);
    if (const auto error = serviceError(state))
        return Result::cme(*error);
    auto &barring = state.services.barring;
    if (*mode == 2) {
        if (facilitiesOf(facility).size() > 1)
            return Result::cme(cme::kNotAllowed);
        std::vector<std::string> lines;
        for (int bit : classBits(*classes))
            if (barring.count({facility, bit}))
                lines.push_back("+CLCK: 1," + std::to_string(bit));
        if (lines.empty())
            lines.push_back("+CLCK: 0," + std::to_string(*classes));
        return Result::ok(std::move(lines));
    }
    const auto password = textArgument(*values, 2);
    if (!password || *password != state.services.barringPassword)
        return Result::cme(cme::kIncorrectPassword);
    // The "all" facilities only lift barring.
    if (*mode == 1 && facilitiesOf(facility).size() > 1)
        return Result::cme(cme::kNotAllowed);
    for (const std::string &each : facilitiesOf(facility)) {
        for (int bit : classBits(*classes)) {
            if (*mode == 1)
                barring.insert({each, bit});
            else
                barring.erase({each, bit});
        }
    }
    return Result::ok();
}

void registerServiceCommands(CommandTable &table)
{
    table.add("+CCFC", callForwarding);
    table.add("+CCWA", callWaiting);
}

std::optional<std::string> VirtualModem::controlServices(const std::vector<std::string> &args)
{
    const std::string &verb = args[0];
    if (verb == "services" && args.size() == 3 && args[1] == "refuse" && onOffWord(args[2])) {
        const bool on = args[2] == "on";
        editState([on](ModemState &state) { state.services.refused = on; });
        return "OK";
    }
    if (verb == "clip" && args.size() == 3 && args[1] == "provisioned" && onOffWord(args[2])) {
        const bool on = args[2] == "on";
        editState([on](ModemState &state) { state.services.clipProvisioned = on; });
        return "OK";
    }
    if (verb == "barring-password" && args.size() == 2) {
        const std::string password = args[1];
        editState([password](ModemState &state) { state.services.barringPassword = password; });
        return "OK";
    }
    if (verb == "quirk" && args.size() == 3 && args[1] == "cops-busy") {
        int count = 0;
        const auto [end, error] =
            std::from_chars(args[2].data(), args[2].data() + args[2].size(), count);
        if (error != std::errc() || end != args[2].data() + args[2].size() || count < 0)
            return "ERROR usage: quirk cops-busy <count>";
        editState([count](ModemState &state) { state.quirks.busySearches = count; });
        return "OK";
    }
    if (verb == "services" || verb == "clip" || verb == "barring-password")
        return "ERROR usage: services refuse on|off | clip provisioned on|off | "
               "barring-password <password>";
    return std::nullopt;
}

}  // namespace virtualmodem
