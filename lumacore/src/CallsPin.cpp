// The SIM's PIN: state, entry (PIN or PUK and new PIN), attempts left, the PIN request on and
// off, a new PIN.
#include "Exports.h"

using namespace lumacore;

namespace {

bool isPinText(const char *text, size_t minimum, size_t maximum)
{
    if (!text)
        return false;
    size_t length = std::strlen(text);
    if (length < minimum || length > maximum)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

std::optional<PinCode> readPinCode(Engine &engine, uint16_t &status)
{
    AtResponse response = engine.run("AT+CPIN?");
    status = response.status;
    if (!response.ok())
        return std::nullopt;
    auto line = response.line("+CPIN:");
    auto code = line ? parseCpinQueryResponse(*line) : std::nullopt;
    if (!code)
        status = kStatusError;
    return code;
}

// After a refused password: 7306 when the SIM now wants its PUK (or is dead), else 7305.
uint16_t refusedPasswordStatus(Engine &engine, bool wasPuk)
{
    uint16_t status = 0;
    auto code = readPinCode(engine, status);
    if (status == kStatusNoSim)
        return kStatusSimBlocked;  // a PUK used up for good leaves no usable SIM
    if (!code)
        return kStatusWrongPassword;
    if (!wasPuk && (*code == PinCode::SimPuk || *code == PinCode::PhoneLockPuk))
        return kStatusSimBlocked;
    if (wasPuk) {
        AtResponse retries = engine.run("AT+CPINR=\"SIM PUK\"");
        for (const auto &line : retries.lines)
            if (auto parsed = parseCpinrResponse(line); parsed && parsed->code == "SIM PUK")
                return parsed->retries == 0 ? kStatusSimBlocked : kStatusWrongPassword;
    }
    return kStatusWrongPassword;
}

// The status of a command that carried a password.
uint16_t passwordStatus(Engine &engine, const AtResponse &response, bool wasPuk)
{
    if (response.ok())
        return kStatusOk;
    if (response.status == kStatusWrongPassword || response.status == kStatusError)
        return refusedPasswordStatus(engine, wasPuk);
    return response.status;
}

}  // namespace

MEC_STATUS _MEC_GetPinState(uint8_t *state)
{
    if (!state)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        uint16_t status = kStatusOk;
        auto code = readPinCode(engine, status);
        if (!code)
            return status;
        switch (*code) {
        case PinCode::Ready:
        case PinCode::SimPin2:  // PIN2 guards only the fixed numbers; the SIM is usable
        case PinCode::SimPuk2:
            *state = 0;
            engine.setSimUsable(true);
            return kStatusOk;
        case PinCode::SimPin:
        case PinCode::PhoneLockPin: *state = 1; return kStatusOk;
        case PinCode::SimPuk:
        case PinCode::PhoneLockPuk: *state = 2; return kStatusOk;
        case PinCode::NoSim: return kStatusNoSim;
        case PinCode::NotReady:
            // Answered as "SIM busy": the program retries a while before it calls the SIM absent.
            return static_cast<uint16_t>(kStatusCmeBase + 14);
        }
        return kStatusError;
    });
}

MEC_STATUS _MEC_SetPin(const char *pinOrPuk, const char *newPin)
{
    bool withPuk = newPin && *newPin;
    // A malformed code cannot be right; refusing it here spends none of the SIM's attempts.
    if (!isPinText(pinOrPuk, 4, 8) || (withPuk && !isPinText(newPin, 4, 8)))
        return kStatusWrongPassword;
    return withEngine([&](Engine &engine) {
        std::string command = std::string("AT+CPIN=\"") + pinOrPuk + "\"";
        if (withPuk)
            command += std::string(",\"") + newPin + "\"";
        uint16_t status = passwordStatus(engine, engine.run(command), withPuk);
        if (status == kStatusOk) {
            engine.setSimUsable(true);
            engine.networkChanged();  // the card registers now: read it afresh
        }
        return status;
    });
}

MEC_STATUS _MEC_QueryPINLeftTimes(uint8_t *pinAttempts, uint8_t *pukAttempts)
{
    if (!pinAttempts || !pukAttempts)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        int pin = -1;
        int puk = -1;
        AtResponse response = engine.run("AT+CPINR");
        if (response.status == kStatusTimeout || response.status == kStatusNoCard)
            return response.status;
        for (const auto &line : response.lines) {
            auto retries = parseCpinrResponse(line);
            if (retries && retries->code == "SIM PIN")
                pin = retries->retries;
            else if (retries && retries->code == "SIM PUK")
                puk = retries->retries;
        }
        if (pin < 0 || puk < 0) {
            // No +CPINR, or only its PIN line: a GSM SIM's own status holds both counts.
            AtResponse status = engine.run("AT+CRSM=242");
            auto line = status.ok() ? status.line("+CRSM:") : nullptr;
            auto sim = line ? parseCrsmResponse(*line) : std::nullopt;
            auto counts = sim && sim->success() ? parseSimStatusPinCounts(sim->data) : std::nullopt;
            if (counts && pin < 0)
                pin = counts->pin;
            if (counts && puk < 0)
                puk = counts->puk;
        }
        if (pin < 0 && puk < 0)
            return kStatusNotSupported;
        // A count the card does not tell is unknown, never 0: 0 reads as a blocked SIM.
        *pinAttempts = pin < 0 ? MEC_PIN_COUNT_UNKNOWN : static_cast<uint8_t>(pin);
        *pukAttempts = puk < 0 ? MEC_PIN_COUNT_UNKNOWN : static_cast<uint8_t>(puk);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_IfPinEnable(uint8_t *enabled)
{
    if (!enabled)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+CLCK=\"SC\",2");
        if (!response.ok())
            return response.status;
        auto line = response.line("+CLCK:");
        auto status = line ? parseClckQueryResponse(*line) : std::nullopt;
        if (!status)
            return kStatusError;
        *enabled = static_cast<uint8_t>(*status);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetPinEnable(uint8_t enable, const char *pin)
{
    if (!isPinText(pin, 4, 8))
        return kStatusWrongPassword;
    return withEngine([&](Engine &engine) {
        std::string command =
            std::string("AT+CLCK=\"SC\",") + (enable ? "1" : "0") + ",\"" + pin + "\"";
        return passwordStatus(engine, engine.run(command), false);
    });
}

MEC_STATUS _MEC_ChangePinPasswd(const char *oldPin, const char *newPin)
{
    if (!isPinText(oldPin, 4, 8) || !isPinText(newPin, 4, 8))
        return kStatusWrongPassword;
    return withEngine([&](Engine &engine) {
        std::string command = std::string("AT+CPWD=\"SC\",\"") + oldPin + "\",\"" + newPin + "\"";
        return passwordStatus(engine, engine.run(command), false);
    });
}
