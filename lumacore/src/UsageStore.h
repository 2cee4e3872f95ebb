// The data use kept in the PC store: bytes per day and network (home or roaming), and for each
// running connection the totals counted so far, so that totals reported again (by a program
// restarted during the connection) add only what is new.
#pragma once

#include "Store.h"

#include "lumacore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumacore {

constexpr size_t kUsageConnectionNameLimit = 63;
// A connection not reported for this many days has ended without saying so (the program was
// killed with it): its counted totals are forgotten.
constexpr uint32_t kUsageConnectionKeepDays = 40;

class UsageStore {
public:
    explicit UsageStore(Store &store) : m_store(store) {}

    // Adds the connection's traffic since its totals were last counted to (day, roaming).
    uint16_t add(const std::string &connection, uint32_t day, uint8_t roaming, uint64_t sent,
                 uint64_t received);
    uint16_t end(const std::string &connection);
    uint16_t days(uint32_t first, uint32_t last, std::vector<_MEC_USAGE_DAY> &rows);
    uint16_t clear();

private:
    Store &m_store;
};

// A day as yyyymmdd that names a date of the calendar.
bool validUsageDay(uint32_t day);

}  // namespace lumacore
