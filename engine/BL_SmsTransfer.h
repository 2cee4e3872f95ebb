// Moving, copying and deleting many messages without a window. A message (every part of a long
// one) leaves its storage only after all of it was written to the other; a write that fails
// half-way takes back the parts already written, so nothing is lost and nothing is doubled. The
// caller shows progress and may stop the run between two messages; the result says how far it
// got, also when the card went away in the middle.
#pragma once

#include "engine/BL_Sms.h"

#include <functional>
#include <vector>

class TBL_SmsTransfer {
public:
    struct Callbacks {
        std::function<void(size_t done, size_t total)> progress;  // after each message
        std::function<bool()> stopRequested;                      // asked before each message
    };

    struct Result {
        int done = 0;              // messages written (moved: and removed from their storage)
        int sourcesKept = 0;       // moved messages written whose original could not be removed
        int failed = 0;            // messages that could not be written (or deleted)
        uint16_t lastFailure = 0;  // the engine's code of the last failure
        bool stoppedFull = false;  // the target storage is full
        bool stopped = false;      // the caller stopped the run
        bool cardGone = false;     // the card went away: nothing more can be read or written
    };

    explicit TBL_SmsTransfer(Callbacks callbacks) : m_callbacks(std::move(callbacks)) {}

    // Copies (move false) or moves the messages into the target storage.
    Result Transfer(const std::vector<SmsItem> &items, uint8_t target, bool move);
    Result Delete(const std::vector<SmsItem> &items);

    // The storage indexes of an item's parts (one for a plain message).
    static std::vector<uint16_t> PartIndexes(const SmsItem &item);

private:
    // Writes every part; on a failure takes back what was written and gives the engine's code.
    uint16_t writeAll(const SmsItem &item, uint8_t target);
    bool stopRequested() const;

    Callbacks m_callbacks;
};
