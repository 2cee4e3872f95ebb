// The SIM's passwords: +CPIN, +CPINR, +CLCK="SC", +CPWD="SC", and +CIMI. The PIN and PUK
// counters behave like a real SIM's: three PIN tries, then ten PUK tries, then the SIM is dead.
#include "virtualmodem/SimCard.h"

#include "virtualmodem/Modem.h"

#include <algorithm>
#include <cctype>

namespace virtualmodem {

namespace {

bool isPassword(const std::string &text, size_t minimum, size_t maximum)
{
    return text.size() >= minimum && text.size() <= maximum &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool isPin(const std::string &text) { return isPassword(text, 4, 8); }

// A wrong PIN costs a try; the last one locks the PIN and the SIM wants its PUK.
Result wrongPin(SimCard &sim)
{
    sim.pinRetries = std::max(0, sim.pinRetries - 1);
    if (sim.pinRetries == 0)
        sim.lock = SimLock::Puk;
    return Result::cme(cme::kIncorrectPassword);
}

// Checks the PIN for an operation on a usable SIM (+CLCK, +CPWD).
Result verifyPin(SimCard &sim, const std::string &pin)
{
    if (pin != sim.pin)
        return wrongPin(sim);
    sim.pinRetries = kPinAttempts;
    return Result::ok();
}

// The PUK unblocks the SIM and sets a new PIN, which is enabled again.
Result unblock(Modem &modem, const std::string &puk, const std::string &newPin)
{
    SimCard &sim = modem.state().sim;
    if (sim.lock == SimLock::Dead)
        return Result::cme(cme::kSimFailure);
    if (!isPin(newPin))
        return Result::cme(cme::kNotAllowed);
    if (puk != sim.puk) {
        sim.pukRetries = std::max(0, sim.pukRetries - 1);
        if (sim.pukRetries == 0)
            sim.lock = SimLock::Dead;
        return Result::cme(cme::kIncorrectPassword);
    }
    sim.pin = newPin;
    sim.pinEnabled = true;
    sim.pinRetries = kPinAttempts;
    sim.pukRetries = kPukAttempts;
    sim.lock = SimLock::Ready;
    sim.readySince = modem.now();
    return Result::ok();
}

Result enterPin(Modem &modem, const AtCommand &command)
{
    SimCard &sim = modem.state().sim;
    switch (command.kind) {
    case AtKind::Read: {
        if (const auto error = simNotReadyError(sim);
            error && *error != cme::kSimPinRequired && *error != cme::kSimPukRequired) {
            return Result::cme(*error);
        }
        const char *code = sim.lock == SimLock::Pin   ? "SIM PIN"
                           : sim.lock == SimLock::Puk ? "SIM PUK"
                                                      : "READY";
        return Result::ok({std::string("+CPIN: ") + code});
    }
    case AtKind::Test: return Result::ok();
    case AtKind::Set: break;
    case AtKind::Execute: return Result::error();
    }
    const auto values = parseArguments(command.argument);
    if (!values || values->empty() || values->size() > 2)
        return Result::error();
    const auto first = textArgument(*values, 0);
    if (!first)
        return Result::error();
    if (!sim.inserted)
        return Result::cme(cme::kSimNotInserted);
    if (sim.lock == SimLock::Dead)
        return Result::cme(cme::kSimFailure);

    if (values->size() == 2) {
        const auto newPin = textArgument(*values, 1);
        if (!newPin)
            return Result::error();
        // A SIM takes its PUK at any time, not only once the PIN is blocked.
        return unblock(modem, *first, *newPin);
    }
    switch (sim.lock) {
    case SimLock::Pin:
        if (*first != sim.pin)
            return wrongPin(sim);
        sim.pinRetries = kPinAttempts;
        sim.lock = SimLock::Ready;
        sim.readySince = modem.now();
        return Result::ok();
    case SimLock::Puk: return Result::cme(cme::kSimPukRequired);
    case SimLock::Ready:
    case SimLock::Dead: break;
    }
    // No password is pending.
    return Result::cme(cme::kNotAllowed);
}

Result remainingAttempts(Modem &modem, const AtCommand &command)
{
    const SimCard &sim = modem.state().sim;
    if (command.kind == AtKind::Test)
        return Result::ok();
    if (command.kind == AtKind::Read)
        return Result::error();
    if (!sim.inserted)
        return Result::cme(cme::kSimNotInserted);
    std::string filter;
    if (command.kind == AtKind::Set) {
        const auto values = parseArguments(command.argument);
        if (!values || values->size() != 1)
            return Result::error();
        filter = toUpper((*values)[0].text);
    }
    struct Counter {
        const char *code;
        int retries;
        int defaultRetries;
    };
    const Counter counters[] = {{"SIM PIN", sim.pinRetries, kPinAttempts},
                                {"SIM PUK", sim.pukRetries, kPukAttempts},
                                {"SIM PIN2", sim.pin2Retries, kPinAttempts},
                                {"SIM PUK2", sim.puk2Retries, kPukAttempts}};
    std::vector<std::string> lines;
    for (const Counter &counter : counters) {
        const std::string code = counter.code;
        // The selection may end in a wildcard: "SIM*" gives every SIM counter.
        if (modem.state().quirks.has(Quirk::CpinrPinOnly) && code != "SIM PIN")
            continue;
        const bool wanted =
            filter.empty() || filter == code ||
            (filter.back() == '*' && code.rfind(filter.substr(0, filter.size() - 1), 0) == 0);
        if (wanted) {
            lines.push_back("+CPINR: " + code + "," + std::to_string(counter.retries) + "," +
                            std::to_string(counter.defaultRetries));
        }
    }
    return Result::ok(std::move(lines));
}

Result facilityLock(Modem &modem, const AtCommand &command)
{
    SimCard &sim = modem.state().sim;
    if (command.kind == AtKind::Test)
        return Result::ok({"+CLCK: (\"SC\",\"AO\",\"OI\",\"OX\",\"AI\",\"IR\",\"AB\",\"AG\",\"AC\")"});
    if (command.kind != AtKind::Set)
        return Result::error();
    const auto values = parseArguments(command.argument);
    if (!values || values->size() < 2 || values->size() > 4)
        return Result::error();
    const auto facility = textArgument(*values, 0);
    const auto mode = numberArgument(*values, 1, 0, 2);
    if (!facility || !mode)
        return Result::error();
    // Call barring and the other facilities belong to the network's supplementary services.
    if (!equalsIgnoringCase(*facility, "SC"))
        return networkFacilityLock(modem, command);
    if (const auto error = simNotReadyError(sim))
        return Result::cme(*error);
    if (*mode == 2)
        return Result::ok({"+CLCK: " + std::string(sim.pinEnabled ? "1" : "0")});
    const auto password = textArgument(*values, 2);
    if (!password)
        return Result::error();
    Result result = verifyPin(sim, *password);
    if (result.final == Result::Final::Ok)
        sim.pinEnabled = *mode == 1;
    return result;
}

Result changePassword(Modem &modem, const AtCommand &command)
{
    SimCard &sim = modem.state().sim;
    if (command.kind == AtKind::Test)
        return Result::ok({"+CPWD: (\"SC\",8)"});
    if (command.kind != AtKind::Set)
        return Result::error();
    const auto values = parseArguments(command.argument);
    if (!values || values->size() != 3)
        return Result::error();
    const auto facility = textArgument(*values, 0);
    const auto oldPin = textArgument(*values, 1);
    const auto newPin = textArgument(*values, 2);
    if (!facility || !oldPin || !newPin)
        return Result::error();
    if (!equalsIgnoringCase(*facility, "SC"))
        return networkFacilityLock(modem, command);
    if (const auto error = simNotReadyError(sim))
        return Result::cme(*error);
    // A SIM changes its PIN only while the PIN is enabled.
    if (!sim.pinEnabled)
        return Result::cme(cme::kNotAllowed);
    if (!isPin(*newPin))
        return Result::cme(cme::kNotAllowed);
    Result result = verifyPin(sim, *oldPin);
    if (result.final == Result::Final::Ok)
        sim.pin = *newPin;
    return result;
}

Result subscriberIdentity(Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok();
    if (command.kind != AtKind::Execute)
        return Result::error();
    const SimCard &sim = modem.state().sim;
    if (const auto error = simNotReadyError(sim))
        return Result::cme(*error);
    return Result::ok({sim.imsi});
}

}  // namespace

void powerUpSim(SimCard &sim, Clock::time_point now)
{
    sim.readySince = now;
    if (!sim.inserted || sim.lock == SimLock::Dead)
        return;
    if (sim.pinRetries == 0) {
        sim.lock = SimLock::Puk;
    } else {
        sim.lock = sim.pinEnabled ? SimLock::Pin : SimLock::Ready;
    }
}

std::optional<int> simNotReadyError(const SimCard &sim)
{
    if (!sim.inserted)
        return cme::kSimNotInserted;
    switch (sim.lock) {
    case SimLock::Ready: return std::nullopt;
    case SimLock::Pin: return cme::kSimPinRequired;
    case SimLock::Puk: return cme::kSimPukRequired;
    case SimLock::Dead: return cme::kSimFailure;
    }
    return cme::kSimFailure;
}

std::optional<int> simStorageNotReadyError(const ModemState &state, Clock::time_point now)
{
    const SimCard &sim = state.sim;
    if (!sim.inserted)
        return 310;
    switch (sim.lock) {
    case SimLock::Pin: return 311;
    case SimLock::Puk: return 316;
    case SimLock::Dead: return 313;
    case SimLock::Ready: break;
    }
    if (now < sim.readySince + state.simBusyTime)
        return 314;
    return std::nullopt;
}

void registerSimCommands(CommandTable &table)
{
    table.add("+CPIN", enterPin);
    table.add("+CPINR", remainingAttempts);
    table.add("+CLCK", facilityLock);
    table.add("+CPWD", changePassword);
    table.add("+CIMI", subscriberIdentity);
}

}  // namespace virtualmodem
