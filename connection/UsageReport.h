// What the usage window shows, without the window: the bars of the current billing period's days
// or of the past twelve periods, home and roaming apart, the axis they are drawn against, and the
// totals and limits as text.
#pragma once

#include "AxisScale.h"
#include "BudgetSettings.h"
#include "UsageHistory.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

struct UsageBar {
    QString label;  // the day of the month ("7") or the month a period starts in ("Dec")
    UsageAmount home;
    UsageAmount roaming;
    bool current = false;  // today, or the period holding today
};

// The words the report is made of, from the language library (tests give their own).
struct UsageWords {
    QString home = QStringLiteral("Home");
    QString roaming = QStringLiteral("Roaming");
    QString total = QStringLiteral("Total");
    QString noLimit = QStringLiteral("no limit");
    QString limitOf = QStringLiteral("%s of %s");  // used amount, limit
    std::vector<QString> months{QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"),
                                QStringLiteral("Apr"), QStringLiteral("May"), QStringLiteral("Jun"),
                                QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"),
                                QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
};

class UsageReport {
public:
    enum View { Days, Months };

    explicit UsageReport(UsageWords words = {}) : m_words(std::move(words)) {}

    // What the store gave: every day of the current period, and the twelve periods up to it.
    void setDays(std::vector<UsageDay> days, const QDate &today);
    void setMonths(std::vector<UsageMonth> months, const QDate &today);
    void setBudget(const BudgetSettings &budget) { m_budget = budget; }

    std::vector<UsageBar> bars(View view) const;
    // The axis of the view's bars: their highest stack (home and roaming together).
    AxisScale scale(View view) const;
    // "1 Dec 2026 - 31 Dec 2026", or for the months the first period's start to today's end.
    QString periodText(View view) const;
    // "Home 1.20GB · Roaming 35.00MB · Total 1.23GB" over the view's bars.
    QString totalsText(View view) const;
    // This period against the limits: "Home 1.20GB of 5.00GB · Roaming 35.00MB, no limit".
    QString limitsText() const;

private:
    UsageAmount sum(View view, bool roaming) const;
    QString amountOf(uint64_t bytes) const;

    UsageWords m_words;
    std::vector<UsageDay> m_days;
    std::vector<UsageMonth> m_months;
    QDate m_today;
    BudgetSettings m_budget;
};

// Adds what a running connection has counted but not yet written to today's day and period.
void AddUnwritten(std::vector<UsageDay> &days, std::vector<UsageMonth> &months,
                  const QDate &today, bool roaming, const UsageAmount &unwritten);

// The Internet page's line of this period's use against the limit of the network the card is
// on: hidden when that network has no limit.
struct UsageGauge {
    enum Level { Normal, Warning, Reached };
    bool shown = false;
    double share = 0;  // of the limit, 0-1 (more when over it)
    Level level = Normal;
    QString text;      // "Home: 1.20GB of 5.00GB this period"
};
// `line` is the text with its three "%s": the network's name, the amount used, the limit.
UsageGauge PeriodGauge(const BudgetSettings &budget, const UsageMonth &period, bool roamingNow,
                       const UsageWords &words, const QString &line);

// The axis of amounts in bytes: KB, MB or GB (1024-based, as the program counts traffic), at
// least 1 MB at the top.
AxisScale ChooseByteScale(double peakBytes);
