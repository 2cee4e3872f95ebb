// The feature members of the business-logic root whose full logic lives with their features
// (the phonebook store has its own file, BL_Pb.h, the USSD session BL_Ussd.h): the call log and
// the SIM toolkit session. Each holds what the core and the main window already rely on.
#pragma once

#include "lumacore.h"
#include "logic/BL_Ussd.h"

#include <cstdint>
#include <mutex>

// The call log kept in the engine's PC store: a thin pass-through to the engine.
class TBL_Cr {
public:
    uint16_t GetFirstEntry(uint8_t kind, CallEntry *entry);
    uint16_t GetNextEntry(CallEntry *entry);
    uint16_t SaveEntry(CallEntry *entry);
    uint16_t DeleteEntry(uint32_t index, uint8_t storage);
    uint16_t ClearEntries(uint8_t kind, uint8_t storage);
    uint16_t EntryCount(uint8_t kind, uint8_t storage);
};

// The SIM toolkit menu session.
class TBL_Stk {};
