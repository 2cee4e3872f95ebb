// The data budget without a window: billing periods for every billing day (a day the month lacks
// is its last day), the settings file (round trip, bad values, a failed write), the watcher's
// warning and limit once per period and network, the dial held back until confirmed, and the
// history's days and months read from the store.
#include "BudgetSettings.h"
#include "BudgetWatch.h"
#include "UsageHistory.h"

#include "config/RanFile.h"
#include "lumacore/fake/FakeUsage.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMB = 1ull << 20;

TEST(BillingPeriod, PeriodsForEveryKindOfBillingDay)
{
    struct Case {
        QDate day;
        int billingDay;
        QDate start;
        QDate end;
    };
    const Case cases[] = {
        {{2026, 12, 10}, 1, {2026, 12, 1}, {2026, 12, 31}},
        {{2026, 12, 10}, 10, {2026, 12, 10}, {2027, 1, 9}},
        {{2026, 12, 9}, 10, {2026, 11, 10}, {2026, 12, 9}},
        // Past the month's end: its last day, and the next period starts on the day again.
        {{2026, 2, 28}, 31, {2026, 2, 28}, {2026, 3, 30}},
        {{2026, 2, 27}, 31, {2026, 1, 31}, {2026, 2, 27}},
        {{2028, 2, 29}, 30, {2028, 2, 29}, {2028, 3, 29}},
        {{2028, 2, 28}, 30, {2028, 1, 30}, {2028, 2, 28}},
        {{2026, 4, 30}, 31, {2026, 4, 30}, {2026, 5, 30}},
        {{2026, 5, 31}, 31, {2026, 5, 31}, {2026, 6, 29}},
        // Over the year's end.
        {{2027, 1, 3}, 15, {2026, 12, 15}, {2027, 1, 14}},
    };
    for (const Case &c : cases) {
        const BillingPeriod period = PeriodOf(c.day, c.billingDay);
        EXPECT_EQ(period.start, c.start) << c.day.toString().toStdString() << " " << c.billingDay;
        EXPECT_EQ(period.end, c.end) << c.day.toString().toStdString() << " " << c.billingDay;
    }
    // Periods follow one another without a gap or an overlap, every billing day, four years.
    for (int billingDay = 1; billingDay <= 31; ++billingDay) {
        BillingPeriod period = PeriodOf({2025, 1, 1}, billingDay);
        for (int month = 0; month < 48; ++month) {
            const BillingPeriod next = period.next(billingDay);
            ASSERT_EQ(next.start, period.end.addDays(1)) << billingDay;
            ASSERT_EQ(next.previous(billingDay).start, period.start) << billingDay;
            ASSERT_GE(period.end, period.start);
            period = next;
        }
    }
}

class BudgetSettingsTest : public ::testing::Test {
protected:
    QString path() const { return folder.path() + "/settings/budget.ini"; }
    void write(const QByteArray &content)
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QTemporaryDir folder;
};

TEST_F(BudgetSettingsTest, SavedSettingsComeBackAndBadValuesFallBackOneByOne)
{
    EXPECT_EQ(BudgetSettings::load(path()), BudgetSettings());  // no file yet
    BudgetSettings settings;
    settings.billingDay = 31;
    settings.home = *BudgetLimit::fromUnit(1.5, BudgetUnit::Gigabytes);
    settings.roaming = *BudgetLimit::fromUnit(200, BudgetUnit::Megabytes);
    settings.warningPercent = 50;
    settings.disconnectAtLimit = true;
    ASSERT_TRUE(settings.save(path()));
    EXPECT_EQ(BudgetSettings::load(path()), settings);
    EXPECT_DOUBLE_EQ(settings.roaming.inUnit(), 200);
    EXPECT_EQ(settings.home.bytes, 1536 * kMB);

    write("BillingDay=32\nWarningPercent=0\nDisconnectAtLimit=yes\nHomeLimitBytes=-5\n"
          "RoamingLimitBytes=1048576\nRoamingLimitUnit=MB\n");
    BudgetSettings loaded = BudgetSettings::load(path());
    BudgetSettings expected;
    expected.roaming = {kMB, BudgetUnit::Megabytes};
    EXPECT_EQ(loaded, expected);
}

TEST_F(BudgetSettingsTest, InvalidOrUnwritableSettingsLeaveTheFileAsItWas)
{
    BudgetSettings good;
    good.billingDay = 5;
    ASSERT_TRUE(good.save(path()));
    for (auto change : {+[](BudgetSettings &s) { s.billingDay = 0; },
                        +[](BudgetSettings &s) { s.billingDay = 32; },
                        +[](BudgetSettings &s) { s.warningPercent = 0; },
                        +[](BudgetSettings &s) { s.warningPercent = 101; }}) {
        BudgetSettings bad = good;
        change(bad);
        EXPECT_FALSE(bad.validate().isEmpty());
        EXPECT_FALSE(bad.save(path()));
        EXPECT_EQ(BudgetSettings::load(path()), good);
    }
    ranfile::setWriteFailureForTesting(ranfile::WriteStep::Rename);
    BudgetSettings other = good;
    other.billingDay = 6;
    EXPECT_FALSE(other.save(path()));
    ranfile::setWriteFailureForTesting(std::nullopt);
    EXPECT_EQ(BudgetSettings::load(path()), good);

    EXPECT_FALSE(BudgetLimit::fromUnit(-1, BudgetUnit::Megabytes));
    EXPECT_FALSE(BudgetLimit::fromUnit(std::numeric_limits<double>::infinity(), BudgetUnit::Gigabytes));
    EXPECT_FALSE(BudgetLimit::fromUnit(1e12, BudgetUnit::Gigabytes));
}

class BudgetWatchTest : public ::testing::Test {
protected:
    BudgetWatchTest()
    {
        settings.billingDay = 10;
        settings.home = {100 * kMB, BudgetUnit::Megabytes};
        settings.roaming = {10 * kMB, BudgetUnit::Megabytes};
        settings.warningPercent = 80;
        settings.disconnectAtLimit = true;
        watch.setSettings(settings);
    }
    static UsageAmount mb(uint64_t megabytes) { return {0, megabytes * kMB}; }

    BudgetSettings settings;
    BudgetWatch watch;
    QSignalSpy warnings{&watch, &BudgetWatch::warningReached};
    QSignalSpy limits{&watch, &BudgetWatch::limitReached};
    QSignalSpy disconnects{&watch, &BudgetWatch::disconnectRequested};
    QSignalSpy held{&watch, &BudgetWatch::redialNeedsConfirmation};
};

TEST_F(BudgetWatchTest, WarnsAndStopsOncePerPeriodEachNetworkOnItsOwnLimit)
{
    const QDate day(2026, 12, 12);
    struct Step {
        QDate day;
        uint64_t home, roaming;
        bool roamingNow;
        int warnings, limits, disconnects;
    };
    const Step steps[] = {
        {day, 79, 0, false, 0, 0, 0},
        {day, 80, 0, false, 1, 0, 0},   // the share passed
        {day, 95, 0, false, 1, 0, 0},   // not again
        {day, 95, 9, true, 2, 0, 0},    // roaming warns at its own limit
        {day, 95, 10, true, 2, 1, 1},   // roaming's limit, on roaming: ended
        {day, 100, 10, true, 2, 2, 1},  // home's limit while roaming: a box, the link stays
        {day, 120, 12, false, 2, 2, 1}, // nothing again in the period
        // The next period (from the 10th): all again, and past the limit at once the limit alone.
        {{2027, 1, 10}, 0, 0, false, 2, 2, 1},
        {{2027, 1, 10}, 150, 0, false, 2, 3, 2},
    };
    for (const Step &step : steps) {
        watch.update(step.day, mb(step.home), mb(step.roaming), step.roamingNow);
        EXPECT_EQ(warnings.count(), step.warnings) << step.home << "/" << step.roaming;
        EXPECT_EQ(limits.count(), step.limits) << step.home << "/" << step.roaming;
        EXPECT_EQ(disconnects.count(), step.disconnects) << step.home << "/" << step.roaming;
    }
    EXPECT_EQ(warnings.at(1).at(0).toBool(), true);
    EXPECT_EQ(limits.at(0).at(0).toBool(), true);
}

TEST_F(BudgetWatchTest, DialOverTheLimitWaitsForTheUserUntilTheNextPeriod)
{
    const QDate day(2026, 12, 12);
    watch.update(day, mb(100), {}, false);
    EXPECT_TRUE(watch.dialNeedsConfirmation());
    EXPECT_FALSE(watch.mayDial());
    EXPECT_EQ(held.count(), 1);
    // Roaming has its own limit, not yet reached: dials go ahead there.
    watch.update(day, mb(100), mb(1), true);
    EXPECT_TRUE(watch.mayDial());
    watch.update(day, mb(100), mb(1), false);
    watch.confirmDial();
    EXPECT_TRUE(watch.mayDial());
    watch.update(day, mb(110), {}, false);
    EXPECT_TRUE(watch.mayDial());
    EXPECT_EQ(disconnects.count(), 1);  // not ended again after the user said go on
    watch.update({2027, 1, 10}, {}, {}, false);
    EXPECT_TRUE(watch.mayDial());
    // Without disconnect at the limit nothing is held back.
    settings.disconnectAtLimit = false;
    watch.setSettings(settings);
    watch.update({2027, 1, 11}, mb(200), {}, false);
    EXPECT_TRUE(watch.mayDial());
    EXPECT_EQ(disconnects.count(), 1);
}

TEST_F(BudgetWatchTest, RaisedLimitOrResetCountsWatchAfresh)
{
    const QDate day(2026, 12, 12);
    watch.update(day, mb(100), {}, false);
    ASSERT_EQ(limits.count(), 1);
    settings.home.bytes = 200 * kMB;
    watch.setSettings(settings);
    watch.update(day, mb(100), {}, false);
    EXPECT_FALSE(watch.dialNeedsConfirmation());
    EXPECT_EQ(warnings.count(), 0);
    watch.update(day, mb(160), {}, false);
    EXPECT_EQ(warnings.count(), 1);
    watch.restartPeriod();
    watch.update(day, mb(170), {}, false);
    EXPECT_EQ(warnings.count(), 2);
    EXPECT_NEAR(watch.usedShare(), 0.85, 1e-9);
}

TEST_F(BudgetWatchTest, StartedAgainInThePeriodItRemembersWhatItTold)
{
    const QDate day(2026, 12, 12);
    watch.update(day, mb(85), mb(10), true);  // home warned, roaming's limit reached
    watch.confirmDial();
    ASSERT_EQ(warnings.count(), 1);
    const QByteArray kept = BudgetWatch::memoryText(watch.memory());

    BudgetWatch again;
    again.setSettings(settings);
    again.restore(BudgetWatch::memoryFromText(kept));
    EXPECT_EQ(again.memory(), watch.memory());
    QSignalSpy told(&again, &BudgetWatch::warningReached);
    QSignalSpy reached(&again, &BudgetWatch::limitReached);
    again.update(day, mb(85), mb(11), true);
    EXPECT_EQ(told.count() + reached.count(), 0);
    EXPECT_TRUE(again.mayDial());  // the dial was confirmed before
    again.update(day, mb(100), mb(11), true);
    EXPECT_EQ(reached.count(), 1);  // home's limit is news
    // Remembered for another period, or unreadable, it is forgotten.
    BudgetWatch later;
    later.setSettings(settings);
    later.restore(BudgetWatch::memoryFromText(kept));
    QSignalSpy laterTold(&later, &BudgetWatch::warningReached);
    later.update({2027, 1, 10}, mb(85), {}, false);
    EXPECT_EQ(laterTold.count(), 1);
    for (const QByteArray &bad : {QByteArray("Period=2026-12-10\nHome=12\nRoaming=000\n"),
                                  QByteArray("Home=100\nRoaming=000\n"), QByteArray("\x01")})
        EXPECT_EQ(BudgetWatch::memoryFromText(bad), BudgetWatch::Memory()) << bad.toStdString();
}

class UsageHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { lumacore_fake::reset(); }
    void TearDown() override { lumacore_fake::reset(); }
};

TEST_F(UsageHistoryTest, DaysOfThePeriodAndTwelveMonthsHomeAndRoamingApart)
{
    FakeUsage store;
    store.put(20261209, false, 1, 2);  // the period before
    store.put(20261210, false, 10, 20);
    store.put(20261210, true, 100, 200);
    store.put(20270109, false, 1000, 2000);
    store.put(20260110, false, 7, 7);  // the oldest of the twelve periods
    store.put(20260109, false, 5, 5);  // just before them
    const BillingPeriod period = PeriodOf({2026, 12, 20}, 10);
    const std::vector<UsageDay> days = UsageHistory::days(period);
    ASSERT_EQ(days.size(), 31u);
    EXPECT_EQ(days.front().day, QDate(2026, 12, 10));
    EXPECT_EQ(days.front().home, (UsageAmount{10, 20}));
    EXPECT_EQ(days.front().roaming, (UsageAmount{100, 200}));
    EXPECT_EQ(days[1].home.total(), 0u);
    EXPECT_EQ(days.back().home, (UsageAmount{1000, 2000}));

    const std::vector<UsageMonth> months = UsageHistory::months({2026, 12, 20}, 10);
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months.front().start, QDate(2026, 1, 10));
    EXPECT_EQ(months.front().home, (UsageAmount{7, 7}));
    EXPECT_EQ(months[10].home, (UsageAmount{1, 2}));
    EXPECT_EQ(months.back().home, (UsageAmount{1010, 2020}));
    EXPECT_EQ(months.back().roaming, (UsageAmount{100, 200}));
    const UsageMonth current = UsageHistory::currentPeriod({2026, 12, 20}, 10);
    EXPECT_EQ(current.home.total() + current.roaming.total(), 3330u);

    // A store that cannot be read gives no days rather than a period of zeros.
    store.fail(MEC_ERR_ERROR);
    EXPECT_TRUE(UsageHistory::days(period).empty());
}

}  // namespace
