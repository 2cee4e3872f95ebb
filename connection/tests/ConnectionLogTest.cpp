// The connection log over an engine store played by the fake engine: adding, the two-month
// rule, totals, sorting, deleting and clearing, and the engine refusing.
#include "ConnectionLog.h"

#include "FakeLumacore.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

class TestClock : public platform::Clock {
public:
    QDateTime localNow() const override { return now; }
    QDateTime now{QDate(2026, 5, 31), QTime(10, 0)};
};

// The engine's call-entry store, in memory.
struct EngineStore {
    std::map<uint32_t, CallEntry> entries;
    uint32_t nextIndex = 1;
    bool refuseDelete = false;
    bool refuseClear = false;

    void install()
    {
        lumacore_fake::onCall(&_MEC_SaveCallEntry, [this](CallEntry *entry) -> MEC_STATUS {
            entry->index = nextIndex++;
            entries[entry->index] = *entry;
            return 0;
        });
        auto next = [this](uint32_t after, CallEntry *entry) -> MEC_STATUS {
            auto found = entries.upper_bound(after);
            if (found == entries.end())
                return 13;
            *entry = found->second;
            return 0;
        };
        lumacore_fake::onCall(&_MEC_GetFirstCallEntry,
                              [next](uint8_t, CallEntry *entry) { return next(0, entry); });
        lumacore_fake::onCall(&_MEC_GetNextCallEntry,
                              [next](CallEntry *entry) { return next(entry->index, entry); });
        lumacore_fake::onCall(&_MEC_DeleteCallEntry, [this](uint32_t index, uint8_t) -> MEC_STATUS {
            return refuseDelete ? 7003 : (entries.erase(index) ? 0 : 13);
        });
        lumacore_fake::onCall(&_MEC_ClearCallEntries, [this](uint8_t, uint8_t) -> MEC_STATUS {
            if (refuseClear)
                return 7003;
            entries.clear();
            return 0;
        });
    }
};

class ConnectionLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        store.install();
        platform::setClock(&clock);
    }
    void TearDown() override
    {
        platform::setClock(nullptr);
        lumacore_fake::reset();
    }
    void add(const QDateTime &end, uint32_t seconds, const char *user, uint64_t sent,
             uint64_t received)
    {
        log.AddEntry({end, seconds, user, sent, received});
    }

    TestClock clock;
    EngineStore store;
    ConnectionLog log;
};

TEST(ConnectionLogCutoff, TwoMonthsBackWithShortMonths)
{
    struct Case {
        QDate today;
        QDate cutoff;
    };
    for (const Case &test : std::vector<Case>{
             {{2026, 5, 31}, {2026, 3, 31}},
             {{2026, 4, 30}, {2026, 2, 28}},
             {{2028, 4, 30}, {2028, 2, 29}},
             {{2100, 4, 30}, {2100, 2, 28}},
             {{2000, 4, 29}, {2000, 2, 29}},
             {{2026, 8, 31}, {2026, 6, 30}},
             {{2026, 1, 15}, {2025, 11, 15}},
             {{2026, 2, 28}, {2025, 12, 28}},
         })
        EXPECT_EQ(ConnectionLog::CutoffDate(test.today), test.cutoff)
            << test.today.toString().toStdString();
}

TEST_F(ConnectionLogTest, EntryShowsStartEndDurationAndTraffic)
{
    // Ended at 00:30:10 after 3725 s: it started the day before.
    add(QDateTime(QDate(2026, 5, 20), QTime(0, 30, 10)), 3725,
        "a-rather-long-user-name-of-more-than-39-chars", 2048, 1536);
    ASSERT_EQ(log.rows().size(), 1u);
    const auto &row = log.rows()[0];
    EXPECT_EQ(row.texts[1], "a-rather-long-user-name-of-more-than-39");
    EXPECT_EQ(row.texts[2], "2026-05-19  23:28:05");
    EXPECT_EQ(row.texts[3], "2026-05-20  00:30:10");
    EXPECT_EQ(row.texts[4], "01:02:05");
    EXPECT_EQ(row.texts[5], "1.50");
    EXPECT_EQ(row.texts[6], "2.00");
    EXPECT_EQ(row.entry.reserved, 94);
    EXPECT_EQ(row.entry.kind, 4);
    EXPECT_EQ(log.TotalTraffic(), "3.50");
    EXPECT_EQ(log.TotalTime(), "1:02:05");

    EXPECT_FALSE(log.AddEntry({clock.now, 0, "short", 1, 1}));  // under a second: nothing
    EXPECT_EQ(log.rows().size(), 1u);
}

TEST_F(ConnectionLogTest, OpeningRemovesEntriesOlderThanTwoMonths)
{
    const QTime noon(12, 0);
    add(QDateTime(QDate(2026, 3, 30), noon), 10, "older", 0, 1024);
    add(QDateTime(QDate(2026, 3, 31), noon), 20, "cutoff", 0, 1024);
    add(QDateTime(QDate(2026, 4, 1), noon), 30, "newer", 0, 1024);
    log.Open();
    ASSERT_EQ(log.rows().size(), 2u);
    EXPECT_EQ(store.entries.size(), 2u);
    // The entry of exactly the cutoff day stays but is not counted.
    EXPECT_EQ(log.TotalTime(), "0:00:30");
    EXPECT_EQ(log.TotalTraffic(), "1.00");
}

TEST_F(ConnectionLogTest, SortingFlipsDirectionOnEveryClick)
{
    add(QDateTime(QDate(2026, 5, 2), QTime(9, 0)), 50, "bob", 10, 300);
    add(QDateTime(QDate(2026, 5, 1), QTime(9, 0)), 70, "Alice", 30, 100);
    add(QDateTime(QDate(2026, 5, 3), QTime(9, 0)), 60, "carol", 20, 200);
    auto users = [this] {
        QStringList names;
        for (const auto &row : log.rows())
            names << row.texts[1];
        return names.join(',');
    };
    EXPECT_EQ(users(), "Alice,bob,carol");  // column 1 ascending, ignoring case
    log.SortBy(1);
    EXPECT_EQ(users(), "carol,bob,Alice");  // the first click sorts descending
    log.SortBy(1);
    EXPECT_EQ(users(), "Alice,bob,carol");
    log.SortBy(4);  // durations, the direction flips again: descending
    EXPECT_EQ(users(), "Alice,carol,bob");
    log.SortBy(5);  // bytes received, ascending
    EXPECT_EQ(users(), "Alice,carol,bob");
    log.SortBy(6);  // bytes sent, descending
    EXPECT_EQ(users(), "Alice,carol,bob");
}

TEST_F(ConnectionLogTest, DeletingAndClearingKeepWhatTheEngineKeeps)
{
    for (const char *user : {"a", "b", "c"})
        add(QDateTime(QDate(2026, 5, 10), QTime(9, 0)), 10, user, 1, 1);
    log.DeleteRows({0, 2});
    ASSERT_EQ(log.rows().size(), 1u);
    EXPECT_EQ(log.rows()[0].texts[1], "b");

    store.refuseDelete = true;
    log.DeleteRows({0});
    EXPECT_EQ(log.rows().size(), 1u);

    store.refuseClear = true;
    EXPECT_FALSE(log.ClearAll());
    EXPECT_EQ(log.rows().size(), 1u);
    store.refuseClear = false;
    EXPECT_TRUE(log.ClearAll());
    EXPECT_TRUE(log.rows().empty());
    EXPECT_EQ(log.TotalTraffic(), "________");
    EXPECT_EQ(log.TotalTime(), "________");
}

}  // namespace
