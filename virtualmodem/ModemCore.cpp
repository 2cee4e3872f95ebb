// The V.250 basics (echo, result codes, reset, S registers, identification) and the general
// 27.007 commands: error reporting, character set, functionality, identity, report switches.
#include "virtualmodem/Modem.h"
#include "virtualmodem/SimCard.h"

#include <cstdio>

namespace virtualmodem {

namespace {

// A basic command's single digit argument ("E1", "V" = "V0") within [0, maximum].
std::optional<int> basicValue(const AtCommand &command, int maximum)
{
    if (command.kind != AtKind::Execute)
        return std::nullopt;
    if (command.argument.empty())
        return 0;
    if (command.argument.size() > 3)
        return std::nullopt;
    const int value = std::stoi(command.argument);
    if (value > maximum)
        return std::nullopt;
    return value;
}

// A basic command the card takes and that changes nothing on a USB card (speaker, dial tone,
// DCD and DTR behaviour).
CommandHandler acceptedBasic(int maximum)
{
    return [maximum](Modem &, const AtCommand &command) {
        return basicValue(command, maximum) ? Result::ok() : Result::error();
    };
}

// An extended command that switches a report on or off: +CRC=n, +CRC?, +CRC=?.
CommandHandler reportSwitch(const std::string &name, int TerminalSettings::*field, int maximum)
{
    return [name, field, maximum](Modem &modem, const AtCommand &command) {
        int &value = modem.state().settings.*field;
        switch (command.kind) {
        case AtKind::Set: {
            const auto values = parseArguments(command.argument);
            if (!values || values->size() != 1)
                return Result::error();
            const auto number = numberArgument(*values, 0, 0, maximum);
            if (!number)
                return Result::error();
            value = static_cast<int>(*number);
            return Result::ok();
        }
        case AtKind::Read: return Result::ok({name + ": " + std::to_string(value)});
        case AtKind::Test: return Result::ok({name + ": (0-" + std::to_string(maximum) + ")"});
        case AtKind::Execute: break;
        }
        return Result::error();
    };
}

// An identification command: the text, and OK for the test form.
CommandHandler identification(std::string CardIdentity::*field)
{
    return [field](Modem &modem, const AtCommand &command) {
        if (command.kind == AtKind::Test)
            return Result::ok();
        if (command.kind != AtKind::Execute)
            return Result::error();
        return Result::ok({modem.state().identity.*field});
    };
}

const char *kCapabilities = "+GCAP: +CGSM,+DS,+ES";

Result echo(Modem &modem, const AtCommand &command)
{
    const auto value = basicValue(command, 1);
    if (!value)
        return Result::error();
    if (*value == 1 && modem.state().quirks.noEcho)
        return Result::error();
    if (*value == 0 && modem.state().quirks.has(Quirk::StuckEcho))
        return Result::ok();  // taken, and nothing changes
    modem.state().settings.echo = *value == 1;
    return Result::ok();
}

Result resultFormat(Modem &modem, const AtCommand &command)
{
    const auto value = basicValue(command, 1);
    if (!value)
        return Result::error();
    modem.state().settings.verbose = *value == 1;
    return Result::ok();
}

Result quietMode(Modem &modem, const AtCommand &command)
{
    const auto value = basicValue(command, 1);
    if (!value)
        return Result::error();
    modem.state().settings.quiet = *value == 1;
    return Result::ok();
}

Result resetSettings(Modem &modem, const AtCommand &command)
{
    if (!basicValue(command, 0))
        return Result::error();
    modem.state().settings = TerminalSettings{};
    modem.state().settings.verbose = !modem.state().quirks.has(Quirk::NumericResults);
    return Result::ok();
}

Result identify(Modem &modem, const AtCommand &command)
{
    const auto value = basicValue(command, 9);
    if (!value)
        return Result::error();
    const CardIdentity &identity = modem.state().identity;
    switch (*value) {
    case 0:
        return Result::ok({"Manufacturer: " + identity.manufacturer, "Model: " + identity.model,
                           "Revision: " + identity.revision, "IMEI: " + identity.imei,
                           kCapabilities});
    case 1: return Result::ok({identity.revision});
    case 3: return Result::ok({identity.model});
    default: return Result::ok();
    }
}

Result sRegister(Modem &modem, const AtCommand &command)
{
    auto &registers = modem.state().settings.sRegisters;
    const auto found = registers.find(command.registerNumber);
    if (found == registers.end())
        return Result::error();
    switch (command.kind) {
    case AtKind::Read: {
        char text[8];
        std::snprintf(text, sizeof text, "%03d", found->second);
        return Result::ok({text});
    }
    case AtKind::Set: {
        if (command.argument.empty() || command.argument.size() > 3)
            return Result::error();
        const int value = std::stoi(command.argument);
        // The line terminator and formatting characters are 7-bit; S0 counts rings.
        if (value > (command.registerNumber >= 3 && command.registerNumber <= 5 ? 127 : 255)) {
            return Result::error();
        }
        found->second = value;
        return Result::ok();
    }
    case AtKind::Test: return Result::ok({"(0-255)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result errorReporting(Modem &modem, const AtCommand &command)
{
    int &mode = modem.state().settings.errorMode;
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->size() > 1)
            return Result::error();
        if (values->empty() || (*values)[0].empty()) {
            mode = 0;
            return Result::ok();
        }
        const auto number = numberArgument(*values, 0, 0, 2);
        if (!number)
            return Result::error();
        mode = static_cast<int>(*number);
        if (mode == 1 && modem.state().quirks.has(Quirk::VerboseErrors))
            mode = 2;
        return Result::ok();
    }
    case AtKind::Read: return Result::ok({"+CMEE: " + std::to_string(mode)});
    case AtKind::Test: return Result::ok({"+CMEE: (0-2)"});
    case AtKind::Execute: mode = 0; return Result::ok();
    }
    return Result::error();
}

Result characterSet(Modem &modem, const AtCommand &command)
{
    Charset &charset = modem.state().settings.charset;
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->size() != 1)
            return Result::error();
        const auto chosen = charsetFromName((*values)[0].text);
        if (!chosen || (*chosen == Charset::Ucs2 && modem.state().quirks.noUcs2))
            return Result::cme(cme::kNotSupported);
        charset = *chosen;
        return Result::ok();
    }
    case AtKind::Read: return Result::ok({std::string("+CSCS: \"") + charsetName(charset) + "\""});
    case AtKind::Test:
        if (modem.state().quirks.noUcs2)
            return Result::ok({"+CSCS: (\"IRA\",\"GSM\")"});
        return Result::ok({"+CSCS: (\"IRA\",\"GSM\",\"UCS2\")"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result functionality(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->empty() || values->size() > 2)
            return Result::error();
        const auto level = numberArgument(*values, 0, 0, 4);
        if (!level || *level == 2 || *level == 3)
            return Result::cme(cme::kNotSupported);
        long reset = 0;
        if (values->size() == 2) {
            const auto given = numberArgument(*values, 1, 0, 1);
            if (!given)
                return Result::error();
            reset = *given;
        }
        if (*level == 1 && state.quirks.has(Quirk::RadioOff))
            return Result::ok();  // the switch keeps the radio off, whatever was asked
        if (reset == 1) {
            // A reset starts the card afresh: default settings, a new SIM session.
            state.settings = TerminalSettings{};
            powerUpSim(state.sim, modem.now());
        }
        state.network.functionality = static_cast<int>(*level);
        return Result::ok();
    }
    case AtKind::Read: return Result::ok({"+CFUN: " + std::to_string(state.network.functionality)});
    case AtKind::Test: return Result::ok({"+CFUN: (0,1,4),(0-1)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result capabilities(Modem &, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok();
    if (command.kind != AtKind::Execute)
        return Result::error();
    return Result::ok({kCapabilities});
}

Result callerId(Modem &modem, const AtCommand &command)
{
    int &mode = modem.state().settings.callerIdReports;
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->size() != 1)
            return Result::error();
        const auto number = numberArgument(*values, 0, 0, 1);
        if (!number)
            return Result::error();
        mode = static_cast<int>(*number);
        return Result::ok();
    }
    case AtKind::Read:
        // The second value is the network's provisioning of the service.
        return Result::ok({"+CLIP: " + std::to_string(mode) + "," +
                           (modem.state().services.clipProvisioned ? "1" : "0")});
    case AtKind::Test: return Result::ok({"+CLIP: (0,1)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result eventReporting(Modem &modem, const AtCommand &command)
{
    auto &setting = modem.state().settings.eventReporting;
    // mode, keypad, display, indicators, buffer: the card has no keypad or display.
    constexpr std::array<int, 5> kMaximum{3, 0, 0, 2, 1};
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->empty() || values->size() > kMaximum.size())
            return Result::error();
        std::array<int, 5> next = setting;
        for (size_t i = 0; i < values->size(); ++i) {
            if ((*values)[i].empty())
                continue;
            const auto number = numberArgument(*values, i, 0, kMaximum[i]);
            if (!number)
                return Result::cme(cme::kNotSupported);
            next[i] = static_cast<int>(*number);
        }
        setting = next;
        return Result::ok();
    }
    case AtKind::Read: {
        std::string line = "+CMER: ";
        for (size_t i = 0; i < setting.size(); ++i) {
            line += (i ? "," : "") + std::to_string(setting[i]);
        }
        return Result::ok({line});
    }
    case AtKind::Test: return Result::ok({"+CMER: (0-3),(0),(0),(0-2),(0,1)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

}  // namespace

void registerCoreCommands(CommandTable &table)
{
    table.add("E", echo);
    table.add("V", resultFormat);
    table.add("Q", quietMode);
    table.add("Z", resetSettings);
    table.add("&F", resetSettings);
    table.add("&C", acceptedBasic(1));
    table.add("&D", acceptedBasic(2));
    table.add("X", acceptedBasic(4));
    table.add("L", acceptedBasic(3));
    table.add("M", acceptedBasic(2));
    table.add("I", identify);
    table.add("S", sRegister);

    table.add("+CMEE", errorReporting);
    table.add("+CSCS", characterSet);
    table.add("+CFUN", functionality);
    for (const char *name : {"+CGMI", "+GMI"})
        table.add(name, identification(&CardIdentity::manufacturer));
    for (const char *name : {"+CGMM", "+GMM"})
        table.add(name, identification(&CardIdentity::model));
    for (const char *name : {"+CGMR", "+GMR"})
        table.add(name, identification(&CardIdentity::revision));
    for (const char *name : {"+CGSN", "+GSN"}) {
        table.add(name, [](Modem &modem, const AtCommand &command) {
            // A card of another radio family: a MEID in hexadecimal, behind a prefix.
            if (command.kind == AtKind::Execute && modem.state().quirks.has(Quirk::OddSerial))
                return Result::ok({"MEID: A1000049C3F1B2"});
            return identification(&CardIdentity::imei)(modem, command);
        });
    }
    table.add("+GCAP", capabilities);

    // Report switches; the call and indicator families send the reports.
    table.add("+CLIP", callerId);
    table.add("+CRC", reportSwitch("+CRC", &TerminalSettings::extendedRing, 1));
    table.add("+CMER", eventReporting);
}

}  // namespace virtualmodem
