// The usage window over the store: the days of the period the billing day makes, the twelve
// periods, and a store that cannot be read said so rather than shown as nothing used.
#include "UI_UsageForm.h"

#include "RecordingHost.h"

#include "config/BL_File.h"
#include "lumacore/fake/FakeUsage.h"
#include "platform/Clock.h"
#include "platform/ResStringManager.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::GetLanguageString;

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;

class FixedClock : public platform::Clock {
public:
    QDateTime localNow() const override { return QDateTime(QDate(2026, 12, 10), QTime(18, 0)); }
};

class UsageWindow : public ::testing::Test {
protected:
    UsageWindow()
    {
        platform::setClock(&m_clock);
        FileStore().setFolder(m_folder.path());
        BudgetSettings budget;
        budget.billingDay = 15;
        budget.home.bytes = 1024 * kMegabyte;
        EXPECT_TRUE(budget.save(BudgetSettings::pathIn(m_folder.path())));
    }
    ~UsageWindow() override
    {
        lumacore_fake::reset();
        FileStore().setFolder(QDir::currentPath());
        platform::setClock(nullptr);
    }

    FixedClock m_clock;
    QTemporaryDir m_folder;
    FakeUsage usage;
    RecordingHost host;
};

TEST_F(UsageWindow, ShowsTheBillingPeriodsDaysAndTheTwelvePeriods)
{
    usage.put(20261114, false, 0, 700 * kMegabyte);  // the period before: not this one's
    usage.put(20261115, false, 10 * kMegabyte, 90 * kMegabyte);
    usage.put(20261210, true, 0, 50 * kMegabyte);
    TUsageForm window(host);
    window.Open();
    ASSERT_EQ(host.shownInPanel.size(), 1u);
    const auto &days = window.UsageChart->bars();
    // The billing day of the budget file beside the program's settings: 15 Nov to 14 Dec.
    ASSERT_EQ(days.size(), 30u);
    EXPECT_EQ(days.front().home.total(), 100 * kMegabyte);
    EXPECT_TRUE(days[25].current);
    EXPECT_EQ(days[25].roaming.total(), 50 * kMegabyte);
    EXPECT_TRUE(window.UsageLimitLabel->text().contains(QStringLiteral("50.00MB")));

    window.UsageMonthsButtonClick();
    EXPECT_TRUE(window.UsageMonthsButton->isChecked());
    EXPECT_FALSE(window.UsageDaysButton->isChecked());
    const auto &months = window.UsageChart->bars();
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months[10].home.total(), 700 * kMegabyte);
    EXPECT_TRUE(months[11].current);
}

TEST_F(UsageWindow, StoreThatCannotBeReadIsSaidNotShownAsNothingUsed)
{
    usage.put(20261201, false, 0, 5 * kMegabyte);
    usage.fail(MEC_ERR_ERROR);
    TUsageForm window(host);
    window.Open();
    EXPECT_TRUE(window.UsageChart->bars().empty());
    EXPECT_EQ(window.UsageTotalLabel->text(), GetLanguageString(6332));
    EXPECT_FALSE(window.UsageTotalLabel->text().contains(QStringLiteral("0.00KB")));
    EXPECT_TRUE(window.UsageLimitLabel->text().isEmpty());
}

}  // namespace
