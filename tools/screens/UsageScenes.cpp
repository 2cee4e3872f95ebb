// The usage window with a year of use (a trip abroad in it), the budget page filled in, and the
// box that warns at the budget's share. The store is the fake engine's, seeded as another run
// would have left it; the budget lies in a settings folder of the scene's own.
#include "UsageScenes.h"

#include "SceneHost.h"
#include "Scenes.h"

#include "UI_DataConnectForm.h"
#include "UI_SetBudgetForm.h"
#include "UI_UsageForm.h"
#include "UsageHistory.h"

#include "config/BL_File.h"
#include "lumacore/fake/FakeUsage.h"

#include <QDir>
#include <QTemporaryDir>

#include <cmath>

namespace screens {

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;

BudgetSettings sceneBudget()
{
    BudgetSettings budget;
    budget.billingDay = 1;
    budget.home = *BudgetLimit::fromUnit(10, BudgetUnit::Gigabytes);
    budget.roaming = *BudgetLimit::fromUnit(500, BudgetUnit::Megabytes);
    budget.warningPercent = 80;
    budget.disconnectAtLimit = true;
    return budget;
}

// The program's settings in a folder of the scene's own while it draws, the budget among them.
class SceneSettings {
public:
    SceneSettings()
    {
        FileStore().setFolder(m_folder.path());
        sceneBudget().save(BudgetSettings::pathIn(m_folder.path()));
    }
    ~SceneSettings() { FileStore().setFolder(QDir::currentPath()); }
    SceneSettings(const SceneSettings &) = delete;
    SceneSettings &operator=(const SceneSettings &) = delete;

private:
    QTemporaryDir m_folder;
};

// A year of days up to today: weekdays light, weekends heavier, a week abroad two months ago
// and a weekend abroad this month.
void seedYear(FakeUsage &usage, const QDate &today)
{
    for (QDate day = today.addYears(-1); day <= today; day = day.addDays(1)) {
        const int wave = int(40 + 30 * std::sin(day.dayOfYear() * 0.9) +
                             (day.dayOfWeek() >= 6 ? 140 : 0) + day.day() % 7 * 9);
        const bool abroad = (day >= today.addMonths(-2).addDays(-3) &&
                             day <= today.addMonths(-2).addDays(3)) ||
                            (day >= today.addDays(-4) && day <= today.addDays(-3));
        const uint64_t received = uint64_t(wave) * kMegabyte;
        if (abroad)
            usage.put(UsageDayNumber(day), true, received / 12, received / 3);
        else
            usage.put(UsageDayNumber(day), false, received / 10, received);
    }
}

QImage usageWindow(UsageReport::View view)
{
    SceneSettings settings;
    FakeUsage usage;
    seedYear(usage, QDate::currentDate());
    SceneHost host;
    TUsageForm window(host);
    window.resize(640, 320);
    window.Open();
    if (view == UsageReport::Months)
        window.UsageMonthsButtonClick();
    const QImage shot = grabShown(window);
    lumacore_fake::reset();
    return shot;
}

QImage budgetPage()
{
    SceneSettings settings;
    SceneHost host;
    TSet_budgetform page(host);
    page.resize(474, 320);
    page.FormShow();
    return grabShown(page);
}

}  // namespace

void prepareUsagePage(TUsageForm &page, TData_connectform *internet)
{
    FakeUsage usage;  // its store outlives it in the engine's handlers
    seedYear(usage, QDate::currentDate());
    if (internet)
        internet->budget().setSettings(sceneBudget());
    page.Open();
}

void prepareBudgetPage(TSet_budgetform &page)
{
    sceneBudget().save(BudgetSettings::pathIn(FileStore().folder()));
    page.FormShow();
}

namespace {

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("usage-days"),
                    QStringLiteral("data usage: the days of this period, a weekend abroad"),
                    [] { return usageWindow(UsageReport::Days); }}),
    SceneRegistrar({QStringLiteral("usage-months"),
                    QStringLiteral("data usage: the past twelve periods"),
                    [] { return usageWindow(UsageReport::Months); }}),
    SceneRegistrar({QStringLiteral("budget-page"),
                    QStringLiteral("settings: the data budget filled in"),
                    [] { return budgetPage(); }}),
};

}  // namespace

}  // namespace screens
