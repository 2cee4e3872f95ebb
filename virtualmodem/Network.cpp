// Registration and operators: +CREG, +CGREG, +COPS, +CSQ and +WS46. What the card reports
// follows from the coverage around it, the radio (+CFUN), the SIM and the operator selection.
#include "virtualmodem/Network.h"

#include "virtualmodem/Modem.h"
#include "virtualmodem/SimCard.h"

#include <algorithm>

namespace virtualmodem {

namespace {

using Access = Operator::Access;

const std::vector<Operator> kHomeOperators = {
    {"Brisa", "Brisa", "722310", 2, Access::Home, "2C1A", "01A2B3C4"},
    {"Austral Movil", "Austral", "72234", 2, Access::Partner, "0B17", "0033D2A1"},
    {"Pampa Telecom", "Pampa", "72207", 0, Access::Forbidden, "4E20", "00005A21"},
    {"Litoral Movil", "Litoral", "72236", 0, Access::Partner, "1B2C", "0044A1B2"},
};

const std::vector<Operator> kRoamingOperators = {
    {"Celeste Movil", "Celeste", "74810", 2, Access::Partner, "1F03", "00C0FFEE"},
    {"Oriental", "Oriental", "74807", 0, Access::Forbidden, "0A0A", "00001234"},
};

// In limited service the home network is there but refuses the SIM.
const std::vector<Operator> kLimitedOperators = {
    {"Brisa", "Brisa", "722310", 2, Access::Home, "2C1A", "01A2B3C4"},
    {"Pampa Telecom", "Pampa", "72207", 0, Access::Forbidden, "4E20", "00005A21"},
};

const std::vector<Operator> kLteOperators = {
    {"Brisa", "Brisa", "722310", 7, Access::Home, "2C1A", "01A2B3C4"},
};

const std::vector<Operator> kNoOperators;

// The operator the card tries to register with: the chosen one in manual mode, else the first
// the radio finds.
std::optional<Operator> selectedOperator(const ModemState &state)
{
    const auto &operators = visibleOperators(state.network.coverage);
    if (operators.empty())
        return std::nullopt;
    if (state.network.selectionMode != 1)
        return operators.front();
    const auto found =
        std::find_if(operators.begin(), operators.end(), [&](const Operator &candidate) {
            return candidate.numeric == state.network.manualOperator;
        });
    if (found == operators.end())
        return std::nullopt;
    return *found;
}

int accessTechnology(const ModemState &state, const Operator &chosen)
{
    if (state.network.systemMode == 12)
        return 0;
    if (state.network.selectionMode == 1 && state.network.manualAccessTechnology >= 0) {
        return state.network.manualAccessTechnology;
    }
    return chosen.accessTechnology;
}

const std::string &operatorName(const Operator &chosen, int format)
{
    return format == 0 ? chosen.longName : format == 1 ? chosen.shortName : chosen.numeric;
}

std::string quotedName(const Modem &modem, const Operator &chosen, int format)
{
    const std::string &name = operatorName(chosen, format);
    return "\"" + (format == 2 ? name : modem.terminalText(name)) + "\"";
}

Result registrationCommand(Modem &modem, const AtCommand &command, const char *prefix,
                           int TerminalSettings::*mode, Registration (*current)(const ModemState &))
{
    int &reports = modem.state().settings.*mode;
    const bool odd = modem.state().quirks.has(Quirk::OddRegistration);
    switch (command.kind) {
    case AtKind::Set: {
        if (modem.state().quirks.has(Quirk::NoRegistrationReports))
            return Result::error();
        const auto values = parseArguments(command.argument);
        if (!values || values->size() > 1)
            return Result::error();
        if (values->empty() || (*values)[0].empty()) {
            reports = 0;
            return Result::ok();
        }
        const auto number = numberArgument(*values, 0, 0, 2);
        if (!number)
            return Result::error();
        reports = static_cast<int>(*number);
        return Result::ok();
    }
    case AtKind::Read: {
        const Registration registration = current(modem.state());
        // "+CREG: 2,1,..." : the report setting, then the report itself.
        const std::string report =
            registrationReport(prefix, registration, reports == 2 || odd ? 2 : 1, odd);
        std::string body = report.substr(std::string(prefix).size() + 2);
        if (odd && registration.locationArea.empty())
            body += ",,,";  // empty fields where the location would be
        else if (odd)
            body += ",0";  // a sixth field
        const std::string answer =
            std::string(prefix) + ": " + std::to_string(reports) + "," + body;
        if (!odd)
            return Result::ok({answer});
        // A report of its own slipped in ahead of the answer.
        return Result::ok({report, answer});
    }
    case AtKind::Test: return Result::ok({std::string(prefix) + ": (0-2)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result csRegistrationCommand(Modem &modem, const AtCommand &command)
{
    return registrationCommand(modem, command, "+CREG", &TerminalSettings::csRegistrationReports,
                               csRegistration);
}

Result psRegistrationCommand(Modem &modem, const AtCommand &command)
{
    return registrationCommand(modem, command, "+CGREG", &TerminalSettings::psRegistrationReports,
                               psRegistration);
}

Result epsRegistrationCommand(Modem &modem, const AtCommand &command)
{
    return registrationCommand(modem, command, "+CEREG", &TerminalSettings::epsRegistrationReports,
                               epsRegistration);
}

// A radio on UTRAN only (+WS46=22) does not see a network on GSM only.
bool reachable(const ModemState &state, const Operator &candidate)
{
    return state.network.systemMode != 22 || candidate.accessTechnology != 0;
}

// One network of a search answer; the odd forms cards write come in turns under SearchOdd.
std::string searchEntry(const Modem &modem, const Operator &candidate, int status, int technology,
                        size_t position)
{
    const std::string stat = std::to_string(status);
    const std::string act = std::to_string(technology);
    const std::string numeric = quotedName(modem, candidate, 2);
    if (!modem.state().quirks.has(Quirk::SearchOdd))
        return "(" + stat + "," + quotedName(modem, candidate, 0) + "," +
               quotedName(modem, candidate, 1) + "," + numeric + "," + act + ")";
    switch (position % 3) {
    case 0: return "(" + stat + ",\"\"," + quotedName(modem, candidate, 1) + "," + numeric + "," + act + ")";
    case 1: return "(" + stat + "," + quotedName(modem, candidate, 0) + ",," + numeric + ")";
    default:
        return "(" + stat + "," + quotedName(modem, candidate, 0) + "," +
               quotedName(modem, candidate, 1) + "," + numeric + ")," + act + ")";
    }
}

Result operatorList(Modem &modem)
{
    ModemState &state = modem.state();
    if (state.network.functionality != 1)
        return Result::cme(cme::kNoNetworkService);
    if (state.quirks.busySearches > 0) {
        --state.quirks.busySearches;
        return Result::cme(515);  // still busy registering: "try again"
    }
    const auto serving = servingOperator(state);
    std::vector<std::string> entries;
    for (const Operator &candidate : visibleOperators(state.network.coverage)) {
        if (!reachable(state, candidate))
            continue;
        int status = candidate.access == Access::Forbidden ? 3 : 1;
        if (serving && serving->numeric == candidate.numeric)
            status = 2;
        const int technology = state.network.systemMode == 12 ? 0 : candidate.accessTechnology;
        entries.push_back(searchEntry(modem, candidate, status, technology, entries.size()));
    }
    Result result = Result::ok();
    if (state.quirks.has(Quirk::SearchLines)) {
        for (const std::string &entry : entries)
            result.lines.push_back("+COPS: " + entry);
    } else {
        const std::string separator = state.quirks.has(Quirk::SearchOdd) ? ",," : ",";
        std::string line = "+COPS: ";
        for (const std::string &entry : entries)
            line += entry + separator;
        result.lines.push_back(line + ",(0-4),(0-2)");
    }
    result.delay = state.networkScanTime;
    return result;
}

Result selectOperator(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    const auto values = parseArguments(command.argument);
    if (!values || values->empty() || values->size() > 4)
        return Result::error();
    const auto mode = numberArgument(*values, 0, 0, 4);
    if (!mode)
        return Result::error();
    std::optional<long> format;
    if (values->size() > 1 && !(*values)[1].empty()) {
        format = numberArgument(*values, 1, 0, 2);
        if (!format)
            return Result::error();
    }
    switch (*mode) {
    case 0:
    case 2:
        if (values->size() > 2)
            return Result::error();
        if (format)
            state.settings.operatorFormat = static_cast<int>(*format);
        state.network.selectionMode = static_cast<int>(*mode);
        return Result::ok();
    case 3:
        if (!format || values->size() > 2)
            return Result::error();
        state.settings.operatorFormat = static_cast<int>(*format);
        state.settings.operatorFormatSet = true;
        return Result::ok();
    default: break;
    }

    // Manual selection (1), or manual with automatic fallback (4).
    const auto given = textArgument(*values, 2);
    if (!format || !given)
        return Result::error();
    long technology = -1;
    if (values->size() > 3) {
        const auto number = numberArgument(*values, 3, 0, 6);
        if (!number)
            return Result::error();
        technology = *number;
    }
    if (const auto error = simNotReadyError(state.sim))
        return Result::cme(*error);
    if (state.network.functionality != 1)
        return Result::cme(cme::kNoNetworkService);
    const std::string wanted =
        *format == 2 ? *given : decodeFromTerminal(*given, state.settings.charset).value_or("");
    const auto &operators = visibleOperators(state.network.coverage);
    const auto found =
        std::find_if(operators.begin(), operators.end(), [&](const Operator &candidate) {
            return operatorName(candidate, static_cast<int>(*format)) == wanted;
        });
    if (found != operators.end() && !reachable(state, *found))
        return Result::cme(cme::kNoNetworkService);
    const bool usable = found != operators.end() && found->access != Access::Forbidden &&
                        state.network.coverage != Coverage::Limited;
    if (!usable && *mode == 4) {
        state.network.selectionMode = 0;
        state.settings.operatorFormat = static_cast<int>(*format);
        return Result::ok();
    }
    if (found == operators.end())
        return Result::cme(cme::kNoNetworkService);
    // A manual choice stays even when the network refuses it: the card does not pick another.
    state.network.selectionMode = 1;
    state.network.manualOperator = found->numeric;
    state.network.manualAccessTechnology = static_cast<int>(technology);
    state.settings.operatorFormat = static_cast<int>(*format);
    if (!usable)
        return Result::cme(cme::kNetworkNotAllowed);
    return Result::ok();
}

Result operatorCommand(Modem &modem, const AtCommand &command)
{
    const ModemState &state = modem.state();
    switch (command.kind) {
    case AtKind::Set: return selectOperator(modem, command);
    case AtKind::Read: {
        const int mode = state.network.selectionMode;
        const auto serving = servingOperator(state);
        if (!serving)
            return Result::ok({"+COPS: " + std::to_string(mode)});
        const int format = state.settings.operatorFormat;
        // Such firmware leaves the name out until the format was set by a command of its own.
        if (state.quirks.has(Quirk::NoChains) && !state.settings.operatorFormatSet)
            return Result::ok({"+COPS: " + std::to_string(mode) + ",0,"});
        return Result::ok({"+COPS: " + std::to_string(mode) + "," + std::to_string(format) + "," +
                           quotedName(modem, *serving, format) + "," +
                           std::to_string(accessTechnology(state, *serving))});
    }
    case AtKind::Test: return operatorList(modem);
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result signalQuality(Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok({"+CSQ: (0-31,99),(0-7,99)"});
    if (command.kind != AtKind::Execute)
        return Result::error();
    const RadioNetwork &network = modem.state().network;
    const bool measured = network.functionality == 1 && network.coverage != Coverage::None;
    const int rssi = measured ? network.signal : 99;
    return Result::ok({"+CSQ: " + std::to_string(rssi) + ",99"});
}

Result systemMode(Modem &modem, const AtCommand &command)
{
    int &mode = modem.state().network.systemMode;
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->size() != 1)
            return Result::error();
        const auto number = numberArgument(*values, 0, 0, 99);
        if (!number || (*number != 12 && *number != 22 && *number != 25)) {
            return Result::cme(cme::kNotSupported);
        }
        mode = static_cast<int>(*number);
        return Result::ok();
    }
    case AtKind::Read: return Result::ok({"+WS46: " + std::to_string(mode)});
    case AtKind::Test: return Result::ok({"+WS46: (12,22,25)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

}  // namespace

const std::vector<Operator> &visibleOperators(Coverage coverage)
{
    switch (coverage) {
    case Coverage::Home: return kHomeOperators;
    case Coverage::Roaming: return kRoamingOperators;
    case Coverage::Limited: return kLimitedOperators;
    case Coverage::None: return kNoOperators;
    case Coverage::Lte: return kLteOperators;
    }
    return kNoOperators;
}

std::optional<Operator> servingOperator(const ModemState &state)
{
    const int status = state.network.coverage == Coverage::Lte ? epsRegistration(state).status
                                                               : csRegistration(state).status;
    if (status != 1 && status != 5)
        return std::nullopt;
    return selectedOperator(state);
}

Registration csRegistration(const ModemState &state)
{
    const RadioNetwork &network = state.network;
    if (network.functionality != 1)
        return {};
    if (network.coverage == Coverage::None)
        return {2, {}, {}, -1};
    if (!state.sim.inserted || state.sim.lock != SimLock::Ready || network.selectionMode == 2)
        return {};
    if (network.coverage == Coverage::Limited)
        return {3, {}, {}, -1};
    if (network.coverage == Coverage::Lte)
        return {};  // no circuit-switched service on LTE alone
    const auto chosen = selectedOperator(state);
    if (!chosen)
        return {2, {}, {}, -1};
    if (chosen->access == Access::Forbidden)
        return {3, {}, {}, -1};
    return {chosen->access == Access::Home ? 1 : 5, chosen->locationArea, chosen->cellId,
            accessTechnology(state, *chosen)};
}

Registration psRegistration(const ModemState &state)
{
    const Registration cs = csRegistration(state);
    if (!state.network.packetAttached && (cs.status == 1 || cs.status == 5))
        return {};
    return cs;
}

Registration epsRegistration(const ModemState &state)
{
    const RadioNetwork &network = state.network;
    if (network.functionality != 1 || network.coverage != Coverage::Lte)
        return {};
    if (!state.sim.inserted || state.sim.lock != SimLock::Ready || network.selectionMode == 2 ||
        !network.packetAttached)
        return {};
    const auto chosen = selectedOperator(state);
    if (!chosen)
        return {2, {}, {}, -1};
    return {1, chosen->locationArea, chosen->cellId, chosen->accessTechnology};
}

std::string registrationReport(const char *prefix, const Registration &registration, int mode,
                               bool odd)
{
    std::string line = std::string(prefix) + ": " + std::to_string(registration.status);
    if (mode == 2 && !registration.locationArea.empty()) {
        const std::string &area = registration.locationArea;
        if (odd) {
            // Blanks inside the location area, and its closing quote lost.
            line += ",\"" + area.substr(0, 2) + " " + area.substr(2) + ",\"" + registration.cellId +
                    "\"," + std::to_string(registration.accessTechnology);
        } else {
            line += ",\"" + area + "\",\"" + registration.cellId + "\"," +
                    std::to_string(registration.accessTechnology);
        }
    }
    return line;
}

void registerNetworkCommands(CommandTable &table)
{
    table.add("+CREG", csRegistrationCommand);
    table.add("+CGREG", psRegistrationCommand);
    table.add("+CEREG", epsRegistrationCommand);
    table.add("+COPS", operatorCommand);
    table.add("+CSQ", signalQuality);
    table.add("+WS46", systemMode);
}

}  // namespace virtualmodem
