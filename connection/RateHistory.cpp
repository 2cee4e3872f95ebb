#include "RateHistory.h"

#include <algorithm>

void RateHistory::add(uint32_t tick, double receiveRate, double sendRate)
{
    // Differences of ticks, never the ticks themselves: the tick count wraps.
    const bool startsLine = m_broken || m_samples.empty() ||
                            tick - m_samples.back().tick > kLongestStepMilliseconds;
    m_samples.push_back({tick, receiveRate, sendRate, startsLine});
    m_broken = false;
    while (tick - m_samples.front().tick > m_span)
        m_samples.pop_front();
}

void RateHistory::clear()
{
    m_samples.clear();
    m_broken = true;
}

std::vector<std::vector<RateHistory::Point>> RateHistory::lines(Direction direction) const
{
    std::vector<std::vector<Point>> result;
    if (m_samples.empty())
        return result;
    const uint32_t latest = m_samples.back().tick;
    for (size_t index = 0; index < m_samples.size(); ++index) {
        const Sample &sample = m_samples[index];
        // The first sample kept may have lost the ones before it: it begins a line all the same.
        if (sample.startsLine || index == 0)
            result.emplace_back();
        result.back().push_back({double(latest - sample.tick) / 1000.0,
                                 direction == Receive ? sample.receive : sample.send});
    }
    return result;
}

double RateHistory::peak() const
{
    double highest = 0;
    for (const Sample &sample : m_samples)
        highest = std::max({highest, sample.receive, sample.send});
    return highest;
}

AxisScale ChooseRateScale(double peakKilobits)
{
    // The meter's kilobits are 1024 bits; a megabit is 1024 of them.
    return ChooseAxisScale(peakKilobits, 8, {{1, "kbit/s"}, {1024, "Mbit/s"}});
}
