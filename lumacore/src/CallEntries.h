// Call records (kinds 1-3) and the connection log (kind 4), kept in the PC store.
//
// Each kind keeps at most kCallEntriesPerKind entries; saving one more drops the oldest of its
// kind, so the newest call or connection is never the one that is lost. A walk (first, then
// next) goes from the oldest entry to the newest; each step carries its position in the entry's
// own index, so walks hold no state in the engine and two walks never disturb each other.
#pragma once

#include "Store.h"

#include "lumacore.h"

#include <cstdint>

namespace lumacore {

constexpr int kCallEntriesPerKind = 50;
// The only storage that holds call entries: the PC.
constexpr uint8_t kCallEntryStorage = 2;

class CallEntryStore {
public:
    explicit CallEntryStore(Store &store) : m_store(store) {}

    // Stores the entry (kind 1-4) and writes its new index back into it.
    uint16_t save(CallEntry &entry);
    // The oldest entry of a kind; 13 when the kind has none.
    uint16_t first(uint8_t kind, CallEntry &entry);
    // The entry after `entry` (same kind, by its index); 13 at the end.
    uint16_t next(CallEntry &entry);
    // 13 when no entry has the index; 7003 for a storage other than the PC.
    uint16_t remove(uint32_t index, uint8_t storage);
    uint16_t clear(uint8_t kind, uint8_t storage);
    // The number of entries of a kind (0 when it cannot be read).
    uint16_t count(uint8_t kind, uint8_t storage);

private:
    uint16_t read(uint8_t kind, int64_t after, CallEntry &entry);

    Store &m_store;
};

}  // namespace lumacore
