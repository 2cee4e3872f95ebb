// What the usage window shows of the store's days and periods: the bars, today's marked, the
// axis over the highest stack, and the totals and limits in words.
#include "UsageReport.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;

UsageAmount megabytes(uint64_t received, uint64_t sent = 0)
{
    return {sent * kMegabyte, received * kMegabyte};
}

TEST(UsageReport, DaysOfThePeriodStackHomeAndRoamingAndMarkToday)
{
    // A period from the 15th: 15 Nov to 14 Dec, today the 10th of December.
    std::vector<UsageDay> days;
    for (QDate day(2026, 11, 15); day <= QDate(2026, 12, 14); day = day.addDays(1))
        days.push_back({day, {}, {}});
    days[0].home = megabytes(100, 20);
    days[20].home = megabytes(300);
    days[20].roaming = megabytes(250, 50);  // 5 Dec: 300 at home + 300 abroad
    UsageReport report;
    report.setDays(days, QDate(2026, 12, 10));
    BudgetSettings budget;
    budget.home.bytes = 5 * 1024 * kMegabyte;
    report.setBudget(budget);

    const auto bars = report.bars(UsageReport::Days);
    ASSERT_EQ(bars.size(), 30u);
    EXPECT_EQ(bars.front().label, "15");
    EXPECT_EQ(bars[16].label, "1");
    const auto today = std::find_if(bars.begin(), bars.end(), [](auto &bar) { return bar.current; });
    ASSERT_NE(today, bars.end());
    EXPECT_EQ(today->label, "10");
    EXPECT_EQ(std::count_if(bars.begin(), bars.end(), [](auto &bar) { return bar.current; }), 1);

    // The highest stack is 600 MB: 200 MB steps.
    const AxisScale scale = report.scale(UsageReport::Days);
    EXPECT_EQ(scale.label(scale.steps), "600 MB");
    EXPECT_EQ(report.periodText(UsageReport::Days), "15 Nov 2026 - 14 Dec 2026");
    EXPECT_EQ(report.totalsText(UsageReport::Days),
              QStringLiteral("Home 420.00MB  \u00B7  Roaming 300.00MB  \u00B7  Total 720.00MB"));
    EXPECT_EQ(report.limitsText(),
              QStringLiteral("Home 420.00MB of 5.00GB  \u00B7  Roaming 300.00MB, no limit"));
}

TEST(UsageReport, MonthsAreLabelledByTheMonthTheirPeriodStartsIn)
{
    std::vector<UsageMonth> months;
    for (int index = 0; index < 12; ++index) {
        const QDate start = QDate(2026, 1, 31).addMonths(index);  // billing day 31
        months.push_back({start, start.addMonths(1).addDays(-1), megabytes(uint64_t(index) * 100),
                          {}});
    }
    months[11].roaming = megabytes(2048);
    UsageReport report;
    report.setMonths(months, QDate(2026, 12, 31));
    const auto bars = report.bars(UsageReport::Months);
    ASSERT_EQ(bars.size(), 12u);
    EXPECT_EQ(bars[0].label, "Jan");
    EXPECT_EQ(bars[1].label, "Feb");  // starts on the 28th: February's last day
    EXPECT_TRUE(bars[11].current);
    EXPECT_FALSE(bars[10].current);
    // 1100 MB at home and 2 GB roaming in the last: a scale in GB.
    const AxisScale scale = report.scale(UsageReport::Months);
    EXPECT_EQ(scale.unit, "GB");
    EXPECT_GE(scale.top(), double(3148 * kMegabyte));
}

TEST(UsageReport, NothingStoredShowsEmptyBarsOnTheFloorScale)
{
    UsageReport report;
    report.setDays({}, QDate(2026, 12, 10));
    EXPECT_TRUE(report.bars(UsageReport::Days).empty());
    EXPECT_EQ(report.periodText(UsageReport::Days), "");
    const AxisScale scale = report.scale(UsageReport::Months);
    EXPECT_EQ(scale.label(scale.steps), "1 MB");
    EXPECT_EQ(report.totalsText(UsageReport::Months),
              QStringLiteral("Home 0.00KB  \u00B7  Roaming 0.00KB  \u00B7  Total 0.00KB"));
}

}  // namespace

namespace {

TEST(UsageReport, GaugeFollowsTheLimitOfTheNetworkTheCardIsOn)
{
    BudgetSettings budget;
    budget.home.bytes = 1000 * kMegabyte;
    budget.warningPercent = 50;
    UsageMonth period;
    period.home = megabytes(499);
    period.roaming = megabytes(30);
    const QString line = QStringLiteral("%s: %s of %s this period");
    struct Case {
        uint64_t homeMegabytes;
        bool roaming;
        bool shown;
        UsageGauge::Level level;
    };
    const Case cases[] = {
        {499, false, true, UsageGauge::Normal},
        {500, false, true, UsageGauge::Warning},  // the share reached exactly
        {999, false, true, UsageGauge::Warning},
        {1000, false, true, UsageGauge::Reached},
        {1500, false, true, UsageGauge::Reached},
        {1500, true, false, UsageGauge::Normal},  // abroad: no roaming limit, nothing shown
    };
    for (const Case &each : cases) {
        period.home = megabytes(each.homeMegabytes);
        const UsageGauge gauge = PeriodGauge(budget, period, each.roaming, {}, line);
        EXPECT_EQ(gauge.shown, each.shown) << each.homeMegabytes;
        EXPECT_EQ(gauge.level, each.level) << each.homeMegabytes;
    }
    budget.roaming.bytes = 100 * kMegabyte;
    const UsageGauge abroad = PeriodGauge(budget, period, true, {}, line);
    EXPECT_DOUBLE_EQ(abroad.share, 0.3);
    EXPECT_EQ(abroad.text, "Roaming: 30.00MB of 100.00MB this period");
}

}  // namespace

namespace {

TEST(UsageReport, RunningConnectionsUnwrittenTrafficCountsOnTodayAndItsPeriodOnly)
{
    const QDate today(2026, 12, 10);
    std::vector<UsageDay> days{{today.addDays(-1), megabytes(5), {}}, {today, megabytes(1), {}}};
    std::vector<UsageMonth> months{{QDate(2026, 11, 1), QDate(2026, 11, 30), megabytes(50), {}},
                                   {QDate(2026, 12, 1), QDate(2026, 12, 31), megabytes(6), {}}};
    AddUnwritten(days, months, today, true, megabytes(2));
    EXPECT_EQ(days[0].roaming, UsageAmount{});
    EXPECT_EQ(days[1].roaming, megabytes(2));
    EXPECT_EQ(days[1].home, megabytes(1));
    EXPECT_EQ(months[0].roaming, UsageAmount{});
    EXPECT_EQ(months[1].roaming, megabytes(2));
}

}  // namespace
