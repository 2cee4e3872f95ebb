// The rate history behind the Internet page's graph: where its lines break, what falls out of
// view, and the scale its axis is labelled with.
#include "RateHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::vector<size_t> lineLengths(const RateHistory &history)
{
    std::vector<size_t> lengths;
    for (const auto &line : history.lines(RateHistory::Receive))
        lengths.push_back(line.size());
    return lengths;
}

TEST(RateHistory, LinesBreakWhereTheConnectionWasDownOrSamplesAreMissing)
{
    RateHistory history(60'000);
    uint32_t tick = 10'000;
    for (int second = 0; second < 5; ++second)
        history.add(tick += 1000, 10, 1);
    // One sample skipped (the statistics were unreadable): one second late still joins.
    history.add(tick += 2000, 10, 1);
    // Three seconds without a sample: a gap.
    history.add(tick += 3000, 10, 1);
    history.add(tick += 1000, 10, 1);
    // The connection went down and came back at once: a new line although the tick is close.
    history.breakLine();
    history.add(tick += 1000, 20, 2);
    EXPECT_EQ(lineLengths(history), (std::vector<size_t>{6, 2, 1}));
    const auto sent = history.lines(RateHistory::Send);
    EXPECT_DOUBLE_EQ(sent.back().back().rate, 2);
    EXPECT_DOUBLE_EQ(sent.front().front().secondsAgo, 11);
    EXPECT_DOUBLE_EQ(history.peak(), 20);
}

TEST(RateHistory, OldSamplesLeaveTheSpanAcrossTheTickCountWrapping)
{
    RateHistory history(10'000);
    // Starts 5 s before the 32-bit tick count wraps; the line must go on through the wrap.
    uint32_t tick = 0xFFFFFFFFu - 5'000;
    history.add(tick, 500, 0);  // the peak, soon out of view
    for (int second = 0; second < 15; ++second)
        history.add(tick += 1000, 40, 4);
    EXPECT_EQ(lineLengths(history), (std::vector<size_t>{11}));
    EXPECT_DOUBLE_EQ(history.lines(RateHistory::Receive)[0].front().secondsAgo, 10);
    EXPECT_DOUBLE_EQ(history.peak(), 40);

    // A reconnection long after: what was before is gone, the new line stands alone.
    history.breakLine();
    history.add(tick + 600'000, 7, 7);
    EXPECT_EQ(lineLengths(history), (std::vector<size_t>{1}));
}

TEST(RateHistory, ScaleHoldsThePeakInRoundStepsOfReadableUnits)
{
    struct Case {
        double peak;
        const char *topLabel;
        int steps;
    };
    const Case cases[] = {
        {0, "8 kbit/s", 4},          // idle: the floor
        {3.2, "8 kbit/s", 4},
        {8, "8 kbit/s", 4},          // exactly on a step: no extra step
        {8.1, "10 kbit/s", 5},
        {106.25, "150 kbit/s", 3},
        {999, "1000 kbit/s", 5},
        {1023.9, "1500 kbit/s", 3},
        {1024, "1 Mbit/s", 5},       // 1024 kbit/s is 1 Mbit/s: 0.2 Mbit/s steps
        {1536, "1.5 Mbit/s", 3},
        {7.2 * 1024, "8 Mbit/s", 4},
        {42 * 1024, "50 Mbit/s", 5},
        {std::numeric_limits<double>::infinity(), "8 kbit/s", 4},
    };
    for (const Case &each : cases) {
        const AxisScale scale = ChooseRateScale(each.peak);
        EXPECT_EQ(scale.label(scale.steps), each.topLabel) << each.peak;
        EXPECT_EQ(scale.steps, each.steps) << each.peak;
        if (std::isfinite(each.peak)) {
            EXPECT_GE(scale.top(), each.peak) << each.peak;
        }
    }
    const AxisScale tenths = ChooseRateScale(1.25 * 1024);
    EXPECT_EQ(tenths.label(0), "0");
    EXPECT_EQ(tenths.label(1), "0.5 Mbit/s");
    EXPECT_EQ(tenths.label(3), "1.5 Mbit/s");
}

}  // namespace
