// Cutting a contact to what a storage holds: each text field to its limit, by the GSM 7-bit
// limit when the text fits that alphabet and by the UCS-2 limit when it does not, the number
// slots to those the storage keeps.
#pragma once

#include "engine/BL_Set.h"
#include "lumacore.h"

// eightBit and ucs2 are the storage's limits records (codings 2 and 4). The PC's UCS-2 name
// limit is taken as 128 whatever its record says.
void CutContactToLimits(_MEC_CONTACT_RECORD &record, const FieldLimits &eightBit,
                        const FieldLimits &ucs2, bool pcStorage);
