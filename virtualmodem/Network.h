// The radio side: which operator serves the card and how it is registered.
#pragma once

#include "virtualmodem/ModemState.h"

#include <optional>
#include <vector>

namespace virtualmodem {

// The networks the radio sees for a coverage, the one that normally serves the card first.
const std::vector<Operator> &visibleOperators(Coverage coverage);

// The operator the card is registered with (home or roaming); nothing otherwise.
std::optional<Operator> servingOperator(const ModemState &state);

// The circuit-switched and packet registrations as +CREG / +CGREG give them.
Registration csRegistration(const ModemState &state);
Registration psRegistration(const ModemState &state);
Registration epsRegistration(const ModemState &state);

// "+CREG: 1,\"2C1A\",\"01A2B3C4\",2" style report for the given mode (1 or 2).
// With odd, written as some firmware does: a quote lost, the location padded with blanks.
std::string registrationReport(const char *prefix, const Registration &registration, int mode,
                               bool odd = false);

}  // namespace virtualmodem
