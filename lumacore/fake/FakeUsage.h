// The data use kept in the engine's PC store, played in memory as the store keeps it: per day
// and network, with each connection's counted totals, so the same totals given twice add
// nothing and totals that went down are counted whole. A store that fails refuses every call
// and keeps what it had. Installs its handlers on construction; call lumacore_fake::reset()
// before it goes.
#pragma once

#include "lumacore/fake/FakeLumacore.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

class FakeUsage {
public:
    FakeUsage()
    {
        using namespace lumacore_fake;
        auto state = m_state;
        onCall(&_MEC_AddUsage,
               [state](const char *connection, uint32_t day, uint8_t roaming, uint64_t sent,
                       uint64_t received) -> MEC_STATUS {
                   std::lock_guard lock(state->mutex);
                   if (state->failing)
                       return state->failing;
                   if (!connection || !*connection || std::strlen(connection) > 63 ||
                       roaming > 1)
                       return MEC_ERR_ERROR;
                   auto &counted = state->connections[connection];
                   auto &row = state->days[{day, roaming}];
                   row.first += sent >= counted.first ? sent - counted.first : sent;
                   row.second += received >= counted.second ? received - counted.second : received;
                   counted = {sent, received};
                   return MEC_OK;
               });
        onCall(&_MEC_EndUsage, [state](const char *connection) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (state->failing)
                return state->failing;
            if (connection)
                state->connections.erase(connection);
            return MEC_OK;
        });
        onCall(&_MEC_GetUsageDays,
               [state](uint32_t first, uint32_t last, _MEC_USAGE_DAY *rows, uint32_t capacity,
                       uint32_t *count) -> MEC_STATUS {
                   std::lock_guard lock(state->mutex);
                   if (state->failing)
                       return state->failing;
                   uint32_t found = 0;
                   for (const auto &[key, amount] : state->days) {
                       if (key.first < first || key.first > last)
                           continue;
                       if (rows && found < capacity) {
                           _MEC_USAGE_DAY &row = rows[found];
                           row = {};
                           row.day = key.first;
                           row.roaming = key.second;
                           row.bytesSent = amount.first;
                           row.bytesReceived = amount.second;
                       }
                       ++found;
                   }
                   if (count)
                       *count = found;
                   return MEC_OK;
               });
        onCall(&_MEC_ClearUsage, [state]() -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (state->failing)
                return state->failing;
            state->days.clear();
            return MEC_OK;
        });
    }

    void fail(MEC_STATUS status)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->failing = status;
    }
    // A day's use as another run left it.
    void put(uint32_t day, bool roaming, uint64_t sent, uint64_t received)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->days[{day, uint8_t(roaming)}] = {sent, received};
    }
    // sent and received of a day and network (zero when nothing was counted).
    std::pair<uint64_t, uint64_t> day(uint32_t day, bool roaming) const
    {
        std::lock_guard lock(m_state->mutex);
        auto found = m_state->days.find({day, uint8_t(roaming)});
        return found == m_state->days.end() ? std::pair<uint64_t, uint64_t>{} : found->second;
    }

private:
    struct State {
        std::mutex mutex;
        std::map<std::pair<uint32_t, uint8_t>, std::pair<uint64_t, uint64_t>> days;
        std::map<std::string, std::pair<uint64_t, uint64_t>> connections;
        MEC_STATUS failing = 0;
    };

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

