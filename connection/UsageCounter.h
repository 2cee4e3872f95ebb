// Counts a running connection's traffic into the store's days, at home and roaming apart.
//
// The store keeps, per connection, the totals it has counted; the counter hands it the
// connection's totals and the store adds only what is new. So a program restarted during a
// connection counts on where it left off, and a program killed loses nothing of a connection
// that outlives it. The traffic between two samples goes to the day (and network) of the later
// sample, whatever the clock did in between: a day that changes or a clock that jumps moves
// the next traffic to another day, never counts any twice or drops any.
//
// Samples are written when their day or network changes, at least every kWriteInterval, and
// when the connection ends.
#pragma once

#include "UsageHistory.h"

#include <QDate>

#include <cstdint>
#include <string>

class UsageCounter {
public:
    static constexpr uint32_t kWriteIntervalMs = 30'000;

    // A connection came up (or was taken over). `identity` names it for as long as it lasts
    // and never names another (see ConnectionIdentity).
    void start(const std::string &identity, uint32_t tick);
    // One sample of the connection's totals since it came up, at `tick` on `day`, on the
    // network the card is registered on.
    void sample(uint32_t tick, const QDate &day, bool roaming, uint64_t totalSent,
                uint64_t totalReceived);
    // The connection has ended: the last sample is written and the store forgets it.
    void end();
    bool running() const { return !m_identity.empty(); }

    // What was sampled but not yet written, on the network of the last sample.
    UsageAmount unwritten() const;
    bool lastRoaming() const { return m_roaming; }
    // The status of the last write that failed (0 when all went in); a failed write is tried
    // again with the next.
    uint16_t lastError() const { return m_lastError; }

    // Writes what was sampled now.
    void write();

private:
    std::string m_identity;
    bool m_haveSample = false;
    QDate m_day;
    bool m_roaming = false;
    uint64_t m_sent = 0;
    uint64_t m_received = 0;
    uint64_t m_writtenSent = 0;
    uint64_t m_writtenReceived = 0;
    uint32_t m_lastWriteTick = 0;
    uint16_t m_lastError = 0;
};

// A connection's identity: the dial-up layer's own name for it when it has one, else the entry
// and the moment it came up.
std::string ConnectionIdentity(const std::string &layerIdentity, const std::string &entryName,
                               qint64 upSinceMsecsSinceEpoch);
