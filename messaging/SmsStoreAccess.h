// How the SMS screens reach the message store: loading, counting, walking, marking read,
// deleting and moving. The program's access goes through the business-logic core; a test gives
// its own, so the screens' logic runs without an engine.
#pragma once

#include "logic/BL_Sms.h"

#include <cstdint>
#include <memory>
#include <vector>

class SmsStoreAccess {
public:
    virtual ~SmsStoreAccess() = default;

    // The engine's SMS set-up (it must succeed before the card's messages can be read).
    virtual uint16_t InitSettings() = 0;
    // Reads a storage again (the card storage reads the PC store too); 0 on success.
    virtual uint16_t Load(uint8_t storage) = 0;
    // Messages in a folder (0: every folder) of a storage.
    virtual int Count(uint8_t folder, uint8_t storage) const = 0;
    // How many messages the storage holds at most; 0 when not known.
    virtual int Capacity(uint8_t storage) const = 0;
    // The items of one folder (0: all) of one storage, in store order, with contact names.
    virtual std::vector<SmsItem> Walk(uint8_t folder, uint8_t storage) = 0;
    virtual uint16_t MarkRead(const SmsItem &item) = 0;
    // Deletes every stored part of the item.
    virtual uint16_t Delete(const SmsItem &item) = 0;
    // Writes every part of the item into the target storage, then removes it from its own; a
    // copy that is not needed (written half, or the original could not be removed) is taken
    // back. Nonzero: the engine's code of what failed.
    virtual uint16_t Move(const SmsItem &item, uint8_t target) = 0;
};

// The program's store, through the business-logic core. A move's copies reach the target's
// list when the target is read again, which a move run does once at its end.
std::unique_ptr<SmsStoreAccess> MakeProgramSmsStore();
