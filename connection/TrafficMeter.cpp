#include "TrafficMeter.h"

void TrafficMeter::reset() { *this = TrafficMeter(); }

void TrafficMeter::start(uint32_t tick)
{
    m_started = true;
    m_connectTick = tick;
    m_previousTick = tick;
}

bool TrafficMeter::sample(uint32_t tick, const ras::Statistics &counters)
{
    const uint32_t elapsed = tick - m_previousTick;  // the tick count wraps; the difference not
    m_previousTick = tick;
    m_totalSent = counters.bytesSent + (m_basesInUse ? m_baseSent : 0);
    m_totalReceived = counters.bytesReceived + (m_basesInUse ? m_baseReceived : 0);
    bool clearCounters = false;
    if (counters.bytesSent > kRebaseThreshold || counters.bytesReceived > kRebaseThreshold) {
        m_baseSent = m_totalSent;
        m_baseReceived = m_totalReceived;
        m_basesInUse = true;
        clearCounters = true;
    }
    if (m_ringIndex == 5) {
        m_ringIndex = 0;
        m_ringFull = true;
    }
    Sample &slot = m_ring[size_t(m_ringIndex++)];
    slot.sent = m_totalSent >= m_previousSent ? m_totalSent - m_previousSent : 0;
    slot.received =
        m_totalReceived >= m_previousReceived ? m_totalReceived - m_previousReceived : 0;
    slot.milliseconds = elapsed;
    if (m_ringFull) {
        uint64_t milliseconds = 0;
        uint32_t sent = 0, received = 0;  // the low 32 bits of each amount, summed as 32 bits
        for (const Sample &each : m_ring) {
            milliseconds += each.milliseconds;
            sent += static_cast<uint32_t>(each.sent);
            received += static_cast<uint32_t>(each.received);
        }
        const uint64_t seconds = milliseconds / 1000;
        // A window under one second cannot happen with the one-second timer; it shows no rate.
        m_sendRate = seconds ? sent / (double(seconds) * kRateDivisor) : 0;
        m_receiveRate = seconds ? received / (double(seconds) * kRateDivisor) : 0;
    } else {
        m_sendRate = double(slot.sent) / kRateDivisor;
        m_receiveRate = double(slot.received) / kRateDivisor;
    }
    m_connectionSeconds = (tick - m_connectTick) / 1000;
    m_previousSent = m_totalSent;
    m_previousReceived = m_totalReceived;
    return clearCounters;
}

QString TrafficAmountText(double kilobytes)
{
    if (kilobytes < 1024)
        return QString::asprintf("%3.2f", kilobytes) + QStringLiteral("KB");
    if (kilobytes < 1048576)
        return QString::asprintf("%3.2f", kilobytes / 1024) + QStringLiteral("MB");
    return QString::asprintf("%3.2f", kilobytes / 1048576) + QStringLiteral("GB");
}

DurationParts SplitDuration(uint32_t seconds)
{
    auto twoDigits = [](uint32_t value) { return QString::asprintf("%02u", value); };
    return {twoDigits(seconds / 3600), twoDigits(seconds % 3600 / 60), twoDigits(seconds % 60)};
}
