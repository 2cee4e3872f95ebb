// The traffic of one connection: 64-bit totals over the dialler's 32-bit counters, the rates
// averaged over the last five one-second samples, and the connection time; with the texts the
// Internet page and the tray show.
#pragma once

#include "platform/ras/RasApi.h"

#include <QString>

#include <array>
#include <cstdint>

class TrafficMeter {
public:
    // The dialler's counters are cleared once one passes this, before a 32-bit counter wraps.
    static constexpr uint32_t kRebaseThreshold = 4'290'000'000u;
    static constexpr double kRateDivisor = 128.0;  // bytes per second -> kilobits, 1 s timer

    void reset();
    // The moment the connection came up (tick count in milliseconds).
    void start(uint32_t tick);
    // One sample of the dialler's counters at `tick`. True when the caller must clear the
    // dialler's counters now (their values have become the bases).
    bool sample(uint32_t tick, const ras::Statistics &counters);

    uint64_t totalSent() const { return m_totalSent; }
    uint64_t totalReceived() const { return m_totalReceived; }
    double sentKilobytes() const { return double(m_totalSent) / 1024.0; }
    double receivedKilobytes() const { return double(m_totalReceived) / 1024.0; }
    double sendRate() const { return m_sendRate; }        // kilobits per second
    double receiveRate() const { return m_receiveRate; }  // kilobits per second
    uint32_t connectionSeconds() const { return m_connectionSeconds; }
    bool started() const { return m_started; }

private:
    struct Sample {
        uint64_t sent = 0;
        uint64_t received = 0;
        uint32_t milliseconds = 0;
    };

    bool m_started = false;
    uint64_t m_totalSent = 0;
    uint64_t m_totalReceived = 0;
    uint64_t m_baseSent = 0;
    uint64_t m_baseReceived = 0;
    bool m_basesInUse = false;
    uint64_t m_previousSent = 0;
    uint64_t m_previousReceived = 0;
    std::array<Sample, 5> m_ring{};
    int m_ringIndex = 0;
    bool m_ringFull = false;
    double m_sendRate = 0;
    double m_receiveRate = 0;
    uint32_t m_connectTick = 0;
    uint32_t m_previousTick = 0;
    uint32_t m_connectionSeconds = 0;
};

// An amount of kilobytes as the tray shows it: "%3.2f" and KB below 1024, then MB, then GB.
QString TrafficAmountText(double kilobytes);
// Hours, minutes and seconds of a duration, each at least two digits.
struct DurationParts {
    QString hours;
    QString minutes;
    QString seconds;
};
DurationParts SplitDuration(uint32_t seconds);
