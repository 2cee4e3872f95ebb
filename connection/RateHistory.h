// The receive and send rates of the last minutes, as the Internet page's graph draws them: one
// sample a second from the traffic meter, the line broken where the connection was down or
// samples are missing, and an axis of round steps in units a person reads at a glance.
#pragma once

#include "AxisScale.h"

#include <cstdint>
#include <deque>
#include <vector>

class RateHistory {
public:
    static constexpr uint32_t kSpanMilliseconds = 180'000;  // three minutes
    // A gap longer than this between two samples is a gap in the line, not a slope across it.
    static constexpr uint32_t kLongestStepMilliseconds = 2'500;

    explicit RateHistory(uint32_t spanMilliseconds = kSpanMilliseconds)
        : m_span(spanMilliseconds)
    {
    }

    // The rates (kilobits per second) the meter gave at `tick` (the clock's tick count).
    void add(uint32_t tick, double receiveRate, double sendRate);
    // The connection went down: the next sample begins a new line, the old one stays in view
    // until it is older than the span.
    void breakLine() { m_broken = true; }
    void clear();

    enum Direction { Receive, Send };
    // A point of a line: how long before the latest sample it was taken, and its rate.
    struct Point {
        double secondsAgo = 0;
        double rate = 0;
    };
    // The lines of one direction within the span, oldest first, each point oldest first.
    std::vector<std::vector<Point>> lines(Direction direction) const;
    // The highest rate of either direction within the span (0 when there is none).
    double peak() const;
    uint32_t spanSeconds() const { return m_span / 1000; }
    bool empty() const { return m_samples.empty(); }

private:
    struct Sample {
        uint32_t tick = 0;
        double receive = 0;
        double send = 0;
        bool startsLine = false;
    };
    std::deque<Sample> m_samples;
    uint32_t m_span;
    bool m_broken = true;
};

// The vertical axis in kilobits per second: kbit/s, then Mbit/s; a quiet connection keeps a
// floor of 8 kbit/s so that noise does not fill the graph.
AxisScale ChooseRateScale(double peakKilobits);
