// The data use counted into the real engine's store, with time under the test's control: a
// month of connections with restarts during a connection, a kill, days that change while
// connected, the clock set forward and back, and roaming; every day's sum must be exact.
#include "ConnectionDoubles.h"
#include "DataBudget.h"

#include "lumacore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

using namespace connection_test;

class RecordingBudgetHost : public DataBudgetHost {
public:
    bool roamingNow() const override { return roaming; }
    void budgetWarning(bool, uint64_t, uint64_t) override { ++warnings; }
    void budgetLimit(bool, uint64_t, bool disconnected) override
    {
        ++limits;
        disconnects += disconnected;
    }
    bool confirmDialOverLimit(bool) override
    {
        ++confirmations;
        return confirm;
    }
    bool roaming = false;
    bool confirm = false;
    int warnings = 0, limits = 0, disconnects = 0, confirmations = 0;
};

using DayKey = std::pair<uint32_t, bool>;
using Days = std::map<DayKey, UsageAmount>;

class UsageCountingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The engine's store lies in this test's own folder.
        static QTemporaryDir storeFolder;
        qputenv("LUMACORE_DB", (storeFolder.path() + "/db.dat").toLocal8Bit());
    }
    void SetUp() override
    {
        platform::setClock(&clock);
        files = std::make_unique<TBL_File>(folder.path());
        fillTestProfile(files->defaultProfile());
        ASSERT_EQ(_MEC_ClearUsage(), 0);
        startProgram();
    }
    void TearDown() override
    {
        budget.reset();
        connection.reset();
        platform::setClock(nullptr);
    }

    // The program starts (again): a connection still up is taken over.
    void startProgram()
    {
        budget.reset();
        connection = std::make_unique<DataConnection>(ras, *files, host);
        connection->cardStateChanged(kSimReady);
        budget = std::make_unique<DataBudget>(*connection, budgetHost);
    }
    void dial(const std::string &identity)
    {
        ras.identity = identity;
        ras.counters = {};
        connection->ImButtonConnectClick();
        ras.connectNow();
        ASSERT_EQ(connection->state(), kConnectionConnected);
        ras.active = {{7, "Brisa AR", "Data card (ttyUSB0)"}};
    }
    void takeOver()
    {
        connection->ImButtonConnectClick();
        ASSERT_EQ(connection->state(), kConnectionConnected);
    }
    void hangUp()
    {
        connection->ImButtonConnectClick();
        ASSERT_EQ(connection->state(), kConnectionIdle);
        ras.active.clear();
    }
    // Seconds of traffic, sampled each second; what a second brings belongs to the day (and
    // network) of the sample that sees it.
    void traffic(int seconds, uint64_t sentPerSecond, uint64_t receivedPerSecond)
    {
        for (int second = 0; second < seconds; ++second) {
            clock.tick += 1000;
            ras.counters.bytesSent += sentPerSecond;
            ras.counters.bytesReceived += receivedPerSecond;
            connection->LinkDataUpdateTimer();
            UsageAmount &day = expected[{UsageDayNumber(clock.localNow().date()),
                                         budgetHost.roaming}];
            day += {sentPerSecond, receivedPerSecond};
        }
    }
    // What the store holds.
    static Days stored()
    {
        uint32_t count = 0;
        EXPECT_EQ(_MEC_GetUsageDays(0, 99999999, nullptr, 0, &count), 0);
        std::vector<_MEC_USAGE_DAY> rows(count);
        EXPECT_EQ(_MEC_GetUsageDays(0, 99999999, rows.data(), count, &count), 0);
        Days days;
        for (const _MEC_USAGE_DAY &row : rows)
            days[{row.day, row.roaming != 0}] = {row.bytesSent, row.bytesReceived};
        return days;
    }
    static uint64_t sum(const Days &days)
    {
        uint64_t total = 0;
        for (const auto &[key, amount] : days)
            total += amount.total();
        return total;
    }

    QTemporaryDir folder;
    TestClock clock;
    ScriptedRas ras;
    RecordingHost host;
    RecordingBudgetHost budgetHost;
    std::unique_ptr<TBL_File> files;
    std::unique_ptr<DataConnection> connection;
    std::unique_ptr<DataBudget> budget;
    Days expected;
};

TEST_F(UsageCountingTest, MonthOfConnectionsWithRestartsKillsDayChangesAndClockJumps)
{
    constexpr uint32_t kHour = 3600'000;
    enum Step { Dial, Traffic, HangUp, Restart, Kill, Wait, Jump, Roam, Home };
    struct Event {
        Step step;
        int64_t amount = 0;  // seconds of traffic, hours waited, minutes jumped
        uint64_t sent = 0, received = 0;
    };
    // The clock starts on 31 May at 12:00 (tick 50 s).
    const Event month[] = {
        {Dial}, {Traffic, 600, 1'000, 20'000}, {HangUp},
        // Over midnight: eleven and a half hours later, a connection from 23:55 to 00:05.
        {Wait, 11}, {Dial}, {Traffic, 1'200, 3'000, 50'000}, {HangUp},
        // A restart during a connection, just after a write: nothing counted twice.
        {Wait, 10}, {Dial}, {Traffic, 90, 500, 7'000}, {Restart}, {Traffic, 90, 500, 7'000},
        {HangUp},
        // Killed between two writes, then started again while the link stayed up.
        {Wait, 5}, {Dial}, {Traffic, 100, 2'000, 9'000}, {Kill}, {Traffic, 45, 2'000, 9'000},
        {HangUp},
        // The clock set forward two days during a connection, then back one.
        {Wait, 3}, {Dial}, {Traffic, 40, 100, 1'000}, {Jump, 2 * 24 * 60},
        {Traffic, 40, 100, 1'000}, {Jump, -24 * 60}, {Traffic, 40, 100, 1'000}, {HangUp},
        // Roaming from part way through a connection.
        {Wait, 30}, {Dial}, {Traffic, 60, 10, 100}, {Roam}, {Traffic, 60, 10'000, 100'000},
        {Home}, {Traffic, 10, 1, 1}, {HangUp},
        // Two weeks on, one more with a restart inside a write interval.
        {Wait, 24 * 14}, {Dial}, {Traffic, 31, 77, 777}, {Restart}, {Traffic, 31, 77, 777},
        {Kill}, {Traffic, 5, 77, 777}, {HangUp},
    };
    for (const Event &event : month) {
        switch (event.step) {
        case Dial: dial("conn-" + std::to_string(clock.tick)); break;
        case Traffic: traffic(int(event.amount), event.sent, event.received); break;
        case HangUp: hangUp(); break;
        case Restart:
        case Kill: {
            // The program goes away with the link still up; killed, it did not write what it
            // had sampled since its last write.
            const uint64_t before = sum(stored());
            if (event.step == Kill) {
                EXPECT_LT(sum(expected) - before,
                          uint64_t(UsageCounter::kWriteIntervalMs / 1000) * 120'000)
                    << "more than a write interval of traffic was not in the store";
            }
            startProgram();
            takeOver();
            break;
        }
        case Wait: clock.tick += uint32_t(event.amount) * kHour; break;
        case Jump: clock.jumped += event.amount * 60'000; break;
        case Roam: budgetHost.roaming = true; break;
        case Home: budgetHost.roaming = false; break;
        }
        if (HasFatalFailure())
            return;
    }
    const Days days = stored();
    EXPECT_EQ(days, expected);
    EXPECT_EQ(sum(days), sum(expected));
    // Over midnight into 1 June; the clock forward to the 3rd and back to the 2nd; roaming on
    // the 3rd beside home; the last connection on the 17th.
    std::vector<DayKey> keys;
    for (const auto &[key, amount] : days)
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<DayKey>{{20260531, false},
                                         {20260601, false},
                                         {20260602, false},
                                         {20260603, false},
                                         {20260603, true},
                                         {20260617, false}}));
}

}  // namespace
