// The phonebook memories of the card, for the command family and the card's controls.
#pragma once

#include "virtualmodem/ModemState.h"

#include <string>
#include <string_view>

namespace virtualmodem {

// Bytes a name takes in a SIM alpha field: one per GSM septet (two for the extension characters),
// or, for a name outside the GSM alphabet, one coding byte and two per UCS-2 character.
int alphaFieldLength(std::string_view utf8);

// Puts an entry at index of the memory ("SM", "ME"), as a phone that wrote the SIM before would
// have; false when the memory, the index or the name's length is wrong.
bool storePhonebookEntry(ModemState &state, const std::string &memory, int index,
                         const PhonebookEntry &entry);

}  // namespace virtualmodem
