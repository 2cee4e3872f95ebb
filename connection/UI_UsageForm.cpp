#include "UI_UsageForm.h"

#include "ConnectionMessages.h"
#include "FeaturePage.h"
#include "UI_DataConnectForm.h"
#include "WindowControls.h"

#include "config/BL_File.h"

#include "platform/Clock.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kCaption = 6310;
constexpr int kDaysButton = 6311;
constexpr int kMonthsButton = 6312;
constexpr int kBack = 6044;
constexpr int kHome = 6313;
constexpr int kRoaming = 6314;
constexpr int kTotal = 6315;
constexpr int kNoLimit = 6316;
constexpr int kLimitOf = 6317;
constexpr int kFirstMonthName = 6320;
constexpr int kUnreadable = 6332;

const feature::WindowSkin kSkin{"DATAUSAGE.BKIMAGE",
                                "DATAUSAGE.TITLEIMAGE",
                                {{"DATAUSAGE.BTDAYS", "UsageDaysButton"},
                                 {"DATAUSAGE.BTMONTHS", "UsageMonthsButton"},
                                 {"DATAUSAGE.RETURNBUTTON", "ReturnButton"},
                                 {"DATAUSAGE.UsageTotalLabel", "UsageTotalLabel"}}};

UsageWords ProgramWords()
{
    UsageWords words;
    words.home = GetLanguageString(kHome);
    words.roaming = GetLanguageString(kRoaming);
    words.total = GetLanguageString(kTotal);
    words.noLimit = GetLanguageString(kNoLimit);
    words.limitOf = GetLanguageString(kLimitOf);
    for (int month = 0; month < 12; ++month)
        words.months[size_t(month)] = GetLanguageString(kFirstMonthName + month);
    return words;
}

}  // namespace

TUsageForm::TUsageForm(feature::FeatureHost &host) : m_host(host), m_report(ProgramWords())
{
    setObjectName(QStringLiteral("TUsageForm"));
    setWindowTitle(GetLanguageString(kCaption));
    UsageDaysButton = NamedButton(this, "UsageDaysButton", kDaysButton);
    UsageMonthsButton = NamedButton(this, "UsageMonthsButton", kMonthsButton);
    for (QPushButton *tab : {UsageDaysButton, UsageMonthsButton})
        tab->setCheckable(true);
    UsagePeriodLabel = NamedLabel(this, "UsagePeriodLabel");
    UsageChart = new UsageBarChart(this);
    UsageChart->setNames(GetLanguageString(kHome), GetLanguageString(kRoaming));
    UsageTotalLabel = NamedLabel(this, "UsageTotalLabel");
    UsageLimitLabel = NamedLabel(this, "UsageLimitLabel");
    ReturnButton = NamedButton(this, "ReturnButton", kBack);

    auto *tabs = new QHBoxLayout;
    tabs->addWidget(UsageDaysButton);
    tabs->addWidget(UsageMonthsButton);
    tabs->addSpacing(12);
    tabs->addWidget(UsagePeriodLabel, 1);
    auto *bottom = new QHBoxLayout;
    auto *texts = new QVBoxLayout;
    texts->addWidget(UsageTotalLabel);
    texts->addWidget(UsageLimitLabel);
    bottom->addLayout(texts, 1);
    bottom->addWidget(ReturnButton, 0, Qt::AlignBottom);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tabs);
    layout->addWidget(UsageChart, 1);
    layout->addLayout(bottom);

    connect(UsageDaysButton, &QPushButton::clicked, this, &TUsageForm::UsageDaysButtonClick);
    connect(UsageMonthsButton, &QPushButton::clicked, this, &TUsageForm::UsageMonthsButtonClick);
    connect(ReturnButton, &QPushButton::clicked, this, &TUsageForm::ReturnButtonClick);
    showView(m_view);
    feature::WearSkin(*this, kSkin);
}

void TUsageForm::messageArrived(platform::WindowMessageEvent &message)
{
    if (message.message() == WM_OPEN_DATA_USAGE)
        Open();
}

void TUsageForm::connectionStateChanged(ConnectionState)
{
    // A connection that ended has written its last traffic: the window on show counts it.
    if (isVisible())
        reload();
}

void TUsageForm::Open()
{
    reload();
    m_host.showInPanel(*this);
}

void TUsageForm::reload()
{
    // The Internet page's budget holds the settings in force and what the running connection
    // has counted but not yet written; without it (a window made alone) the files tell.
    auto *internet = m_host.window<TData_connectform>();
    const BudgetSettings budget =
        internet ? internet->budget().watch().settings()
                 : BudgetSettings::load(BudgetSettings::pathIn(FileStore().folder()));
    const QDate today = platform::clock().localNow().date();
    std::vector<UsageDay> days = UsageHistory::days(PeriodOf(today, budget.billingDay));
    std::vector<UsageMonth> months = UsageHistory::months(today, budget.billingDay);
    if (internet && internet->budget().counter().running()) {
        const UsageCounter &counter = internet->budget().counter();
        AddUnwritten(days, months, today, counter.lastRoaming(), counter.unwritten());
    }
    m_report.setBudget(budget);
    m_report.setDays(std::move(days), today);
    m_report.setMonths(std::move(months), today);
    showView(m_view);
}

void TUsageForm::showView(UsageReport::View view)
{
    m_view = view;
    UsageDaysButton->setChecked(view == UsageReport::Days);
    UsageMonthsButton->setChecked(view == UsageReport::Months);
    UsagePeriodLabel->setText(m_report.periodText(view));
    UsageChart->setBars(m_report.bars(view), m_report.scale(view));
    // A period always has days: none means the store could not be read, not that nothing was
    // used.
    const bool read = !m_report.bars(UsageReport::Days).empty();
    UsageTotalLabel->setText(read ? m_report.totalsText(view) : GetLanguageString(kUnreadable));
    UsageLimitLabel->setText(read ? m_report.limitsText() : QString());
}

void TUsageForm::ReturnButtonClick()
{
    hide();
    platform::PostMessage(m_host.messageTarget(), WM_SHOW_INTERNET_PAGE, 0, 0);
}
