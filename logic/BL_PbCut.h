// Cutting a contact to what a storage holds: each text field to its limit, by the GSM 7-bit
// limit when the text fits that alphabet and by the UCS-2 limit when it does not, the number
// slots to those the storage keeps.
//
// The alphabet is the one a card stores a name in: the GSM default alphabet with its extension
// when every character is in it, else UCS-2. It is not the program's message alphabet, which
// folds letters the GSM set lacks (ç to c) and leaves the euro sign out: a SIM given "François"
// has to store it in UCS-2, and "5 €" fits its 7-bit alphabet.
#pragma once

#include "logic/BL_Set.h"
#include "lumacore.h"

#include <optional>
#include <string_view>

// The septets a card stores the text in (an escape pair counting two), or nothing when it has to
// store it in UCS-2.
std::optional<size_t> CardGsmLength(std::u16string_view text);

// eightBit and ucs2 are the storage's limits records (codings 2 and 4). The PC's UCS-2 name
// limit is taken as 128 whatever its record says.
void CutContactToLimits(_MEC_CONTACT_RECORD &record, const FieldLimits &eightBit,
                        const FieldLimits &ucs2, bool pcStorage);
