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

// The SIM toolkit menu session: the SIM runs it, through the engine; this only passes the
// user's choices on and returns the engine's status unchanged.
class TBL_Stk {
public:
    uint16_t MainMenu();
    uint16_t SelectMainMenuItem(uint32_t itemId);
    uint16_t SelectSubMenuItem(uint32_t itemId);
    // back: 1 one level up, 0 end the session.
    uint16_t MenuBack(uint8_t back);
    uint16_t ConfirmDisplayText();
    // text in the system code page.
    uint16_t InputText(uint32_t kind, const char *text);
};

