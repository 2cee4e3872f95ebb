// The SIM's password logic, shared by the SIM commands, the other families that need a usable
// SIM, and the card's controls.
#pragma once

#include "virtualmodem/ModemState.h"

#include <optional>

namespace virtualmodem {

// A new SIM session: after power-up or insertion the SIM asks for its PIN when it is enabled.
void powerUpSim(SimCard &sim, Clock::time_point now);

// The +CME ERROR code that keeps a command from using the SIM (not inserted, PIN or PUK
// pending, SIM dead); nothing when the SIM is usable.
std::optional<int> simNotReadyError(const SimCard &sim);

// The same for SMS commands, as +CMS ERROR (310 not inserted, 311 PIN, 316 PUK, 313 failure,
// 314 busy while the SIM still reads its files after becoming usable).
std::optional<int> simStorageNotReadyError(const ModemState &state, Clock::time_point now);

}  // namespace virtualmodem
