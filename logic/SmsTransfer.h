// Moving one message into another storage without a window. A message (every part of a long
// one) leaves its storage only after all of it was written to the other; a write that fails
// half-way takes back the parts already written, and so does a move whose original cannot be
// removed, so nothing is lost and a second try never makes a second copy.
#pragma once

#include "logic/BL_Sms.h"

#include <vector>

class SmsTransfer {
public:
    // Writes the item into the target storage, then deletes it from its own through the store
    // (its list follows at once; the target's list when it is read again). Nonzero: the engine's
    // code of what failed. Only when the original could be removed in part (a long message) is
    // the copy kept, as the one whole message left.
    static uint16_t Move(TBL_sms &store, const SmsItem &item, uint8_t target);

    // The storage indexes of an item's parts (one for a plain message).
    static std::vector<uint16_t> PartIndexes(const SmsItem &item);

private:
    // Writes every part and gives the places written; on a failure takes back what was written
    // and gives the engine's code.
    static uint16_t writeAll(const SmsItem &item, uint8_t target, std::vector<uint16_t> &written);
    static void takeBack(const std::vector<uint16_t> &written, uint8_t target);
};
