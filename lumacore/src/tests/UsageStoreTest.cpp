// The data use in the PC store: each connection's totals counted once whatever is reported again,
// counters that began again counted whole, days and networks apart, bad input refused with
// nothing changed, and writes inside an open batch.
#include "UsageStore.h"
#include "StoreInFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

using namespace lumacore;

namespace {

class UsageStoreTest : public StoreInFolder {
protected:
    // (day, roaming) -> (sent, received), as read back.
    std::map<std::pair<uint32_t, int>, std::pair<uint64_t, uint64_t>> rows()
    {
        std::vector<_MEC_USAGE_DAY> found;
        EXPECT_EQ(usage.days(0, 99999999, found), 0);
        std::map<std::pair<uint32_t, int>, std::pair<uint64_t, uint64_t>> all;
        for (const _MEC_USAGE_DAY &row : found)
            all[{row.day, row.roaming}] = {row.bytesSent, row.bytesReceived};
        return all;
    }

    UsageStore usage{store};
};

TEST_F(UsageStoreTest, EachConnectionsTotalsAreCountedOnceOnTheDayTheyAreGiven)
{
    struct Report {
        const char *connection;
        uint32_t day;
        uint8_t roaming;
        uint64_t sent, received;
    };
    const Report reports[] = {
        {"a", 20261201, 0, 100, 1000},
        {"a", 20261201, 0, 100, 1000},  // given again (a program restarted): nothing new
        {"a", 20261201, 0, 150, 1500},
        {"b", 20261201, 0, 7, 70},      // another connection beside it
        {"a", 20261202, 0, 200, 2000},  // after midnight: the new day
        {"a", 20261202, 1, 260, 2600},  // roaming now
        {"a", 20261202, 1, 10, 100},    // the counters began again: counted whole
        {"a", 20261130, 0, 20, 200},    // the clock went back a few days: that day
    };
    for (const Report &report : reports)
        ASSERT_EQ(usage.add(report.connection, report.day, report.roaming, report.sent,
                            report.received),
                  0);
    using Rows = std::map<std::pair<uint32_t, int>, std::pair<uint64_t, uint64_t>>;
    EXPECT_EQ(rows(), (Rows{{{20261130, 0}, {10, 100}},
                            {{20261201, 0}, {157, 1570}},
                            {{20261202, 0}, {50, 500}},
                            {{20261202, 1}, {70, 700}}}));

    // Ended, a connection's name may come again and counts from nothing.
    ASSERT_EQ(usage.end("b"), 0);
    ASSERT_EQ(usage.add("b", 20261201, 0, 7, 70), 0);
    EXPECT_EQ(rows().at({20261201, 0}), (std::pair<uint64_t, uint64_t>{164, 1640}));

    // Cleared, the days are gone but a running connection counts on from where it was.
    ASSERT_EQ(usage.clear(), 0);
    EXPECT_TRUE(rows().empty());
    ASSERT_EQ(usage.add("a", 20261202, 0, 30, 300), 0);
    EXPECT_EQ(rows(), (Rows{{{20261202, 0}, {10, 100}}}));
}

TEST_F(UsageStoreTest, BadReportsAreRefusedAndChangeNothing)
{
    ASSERT_EQ(usage.add("a", 20261201, 0, 100, 1000), 0);
    const std::tuple<std::string, uint32_t, uint8_t> bad[] = {
        {"", 20261201, 0},
        {std::string(64, 'x'), 20261201, 0},
        {"a", 20260230, 0},
        {"a", 20261300, 0},
        {"a", 0, 0},
        {"a", 20261201, 2},
    };
    for (const auto &[name, day, roaming] : bad)
        EXPECT_NE(usage.add(name, day, roaming, 500, 5000), 0) << name << " " << day;
    // The refused reports moved nothing: the next good one adds all since the first.
    ASSERT_EQ(usage.add("a", 20261201, 0, 500, 5000), 0);
    EXPECT_EQ(rows().at({20261201, 0}), (std::pair<uint64_t, uint64_t>{500, 5000}));
}

TEST_F(UsageStoreTest, ReportsInsideAnOpenBatchLandWithIt)
{
    ASSERT_EQ(store.beginBatch(), 0);
    ASSERT_EQ(usage.add("a", 20261201, 0, 1, 2), 0) << store.message();
    ASSERT_EQ(usage.add("a", 20261201, 0, 3, 4), 0) << store.message();
    ASSERT_EQ(store.endBatch(), 0);
    EXPECT_EQ(rows().at({20261201, 0}), (std::pair<uint64_t, uint64_t>{3, 4}));
}

}  // namespace
