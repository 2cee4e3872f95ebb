// Totals, rates and the connection time of a connection, and the texts made of them.
#include "TrafficMeter.h"

#include <gtest/gtest.h>

namespace {

TEST(TrafficMeter, RatesUseTheLastSecondThenTheFiveSecondAverage)
{
    TrafficMeter meter;
    meter.start(1000);
    uint32_t received = 0;
    // 128 bytes a second for four seconds, then 1280 a second.
    const std::vector<uint32_t> perSecond{128, 128, 128, 128, 1280, 1280};
    std::vector<double> rates;
    uint32_t tick = 1000;
    for (uint32_t amount : perSecond) {
        received += amount;
        tick += 1000;
        meter.sample(tick, {0, received, 0});
        rates.push_back(meter.receiveRate());
    }
    EXPECT_DOUBLE_EQ(rates[0], 1.0);
    EXPECT_DOUBLE_EQ(rates[3], 1.0);
    EXPECT_DOUBLE_EQ(rates[4], 10.0);  // ring not yet full: the last second
    // Sixth sample: the five kept samples are 128, 128, 128, 1280, 1280 over five seconds.
    EXPECT_DOUBLE_EQ(rates[5], (128.0 * 3 + 1280 * 2) / (5 * 128.0));
    EXPECT_EQ(meter.connectionSeconds(), 6u);
}

TEST(TrafficMeter, CounterPastTheThresholdIsRebasedWithoutLosingTraffic)
{
    TrafficMeter meter;
    meter.start(0);
    EXPECT_FALSE(meter.sample(1000, {10, 4'000'000'000u, 0}));
    EXPECT_TRUE(meter.sample(2000, {20, 4'290'000'001u, 0}));  // the caller clears the counters
    EXPECT_EQ(meter.totalReceived(), 4'290'000'001u);
    EXPECT_FALSE(meter.sample(3000, {5, 1000, 0}));  // counting again from zero
    EXPECT_EQ(meter.totalReceived(), 4'290'001'001u);
    EXPECT_EQ(meter.totalSent(), 25u);
    EXPECT_FALSE(meter.sample(4000, {5, 1000, 0}));
    EXPECT_EQ(meter.totalReceived(), 4'290'001'001u);  // never goes down
}

TEST(TrafficMeter, AmountsAndDurations)
{
    EXPECT_EQ(TrafficAmountText(1023), "1023.00KB");
    EXPECT_EQ(TrafficAmountText(1024), "1.00MB");
    EXPECT_EQ(TrafficAmountText(1048575), "1024.00MB");
    EXPECT_EQ(TrafficAmountText(1048576), "1.00GB");
    const DurationParts time = SplitDuration(3725);
    EXPECT_EQ(time.hours, "01");
    EXPECT_EQ(time.minutes, "02");
    EXPECT_EQ(time.seconds, "05");
    EXPECT_EQ(SplitDuration(360000).hours, "100");
}

}  // namespace
