#include "UsageReport.h"

#include "TrafficMeter.h"

#include <algorithm>

namespace {

// Fills the "%s" of a text in order.
QString filled(QString text, std::initializer_list<QString> values)
{
    for (const QString &value : values)
        if (const qsizetype at = text.indexOf(QLatin1String("%s")); at >= 0)
            text.replace(at, 2, value);
    return text;
}

QString dateText(const QDate &day, const std::vector<QString> &months)
{
    return QStringLiteral("%1 %2 %3")
        .arg(day.day())
        .arg(months[size_t(day.month() - 1)])
        .arg(day.year());
}

constexpr QChar kSeparator(0x00B7);  // a middle dot between the parts of a line

}  // namespace

void UsageReport::setDays(std::vector<UsageDay> days, const QDate &today)
{
    m_days = std::move(days);
    m_today = today;
}

void UsageReport::setMonths(std::vector<UsageMonth> months, const QDate &today)
{
    m_months = std::move(months);
    m_today = today;
}

std::vector<UsageBar> UsageReport::bars(View view) const
{
    std::vector<UsageBar> result;
    if (view == Days) {
        for (const UsageDay &day : m_days)
            result.push_back({QString::number(day.day.day()), day.home, day.roaming,
                              day.day == m_today});
    } else {
        for (const UsageMonth &month : m_months)
            result.push_back({m_words.months[size_t(month.start.month() - 1)], month.home,
                              month.roaming, month.start <= m_today && m_today <= month.end});
    }
    return result;
}

AxisScale UsageReport::scale(View view) const
{
    uint64_t highest = 0;
    for (const UsageBar &bar : bars(view))
        highest = std::max(highest, bar.home.total() + bar.roaming.total());
    return ChooseByteScale(double(highest));
}

QString UsageReport::periodText(View view) const
{
    QDate first, last;
    if (view == Days && !m_days.empty()) {
        first = m_days.front().day;
        last = m_days.back().day;
    } else if (view == Months && !m_months.empty()) {
        first = m_months.front().start;
        last = m_months.back().end;
    } else {
        return {};
    }
    return dateText(first, m_words.months) + QStringLiteral(" - ") +
           dateText(last, m_words.months);
}

UsageAmount UsageReport::sum(View view, bool roaming) const
{
    UsageAmount total;
    if (view == Days)
        for (const UsageDay &day : m_days)
            total += roaming ? day.roaming : day.home;
    else
        for (const UsageMonth &month : m_months)
            total += roaming ? month.roaming : month.home;
    return total;
}

QString UsageReport::amountOf(uint64_t bytes) const { return TrafficAmountText(double(bytes) / 1024); }

QString UsageReport::totalsText(View view) const
{
    const uint64_t home = sum(view, false).total();
    const uint64_t roaming = sum(view, true).total();
    const QString separator = QStringLiteral("  %1  ").arg(kSeparator);
    return m_words.home + QLatin1Char(' ') + amountOf(home) + separator + m_words.roaming +
           QLatin1Char(' ') + amountOf(roaming) + separator + m_words.total + QLatin1Char(' ') +
           amountOf(home + roaming);
}

QString UsageReport::limitsText() const
{
    auto against = [this](const QString &name, uint64_t used, const BudgetLimit &limit) {
        if (limit.bytes == 0)
            return name + QLatin1Char(' ') + amountOf(used) + QStringLiteral(", ") +
                   m_words.noLimit;
        return name + QLatin1Char(' ') +
               filled(m_words.limitOf, {amountOf(used), amountOf(limit.bytes)});
    };
    return against(m_words.home, sum(Days, false).total(), m_budget.home) +
           QStringLiteral("  %1  ").arg(kSeparator) +
           against(m_words.roaming, sum(Days, true).total(), m_budget.roaming);
}

void AddUnwritten(std::vector<UsageDay> &days, std::vector<UsageMonth> &months,
                  const QDate &today, bool roaming, const UsageAmount &unwritten)
{
    for (UsageDay &day : days)
        if (day.day == today)
            (roaming ? day.roaming : day.home) += unwritten;
    for (UsageMonth &month : months)
        if (month.start <= today && today <= month.end)
            (roaming ? month.roaming : month.home) += unwritten;
}

UsageGauge PeriodGauge(const BudgetSettings &budget, const UsageMonth &period, bool roamingNow,
                       const UsageWords &words, const QString &line)
{
    UsageGauge gauge;
    const BudgetLimit &limit = budget.limitFor(roamingNow);
    if (limit.bytes == 0)
        return gauge;
    const uint64_t used = (roamingNow ? period.roaming : period.home).total();
    gauge.shown = true;
    gauge.share = double(used) / double(limit.bytes);
    // The same thresholds as the watcher's: the warning share passed, the limit reached.
    gauge.level = used >= limit.bytes ? UsageGauge::Reached
                  : double(used) * 100.0 >= double(limit.bytes) * double(budget.warningPercent)
                      ? UsageGauge::Warning
                      : UsageGauge::Normal;
    gauge.text = filled(line, {roamingNow ? words.roaming : words.home,
                               TrafficAmountText(double(used) / 1024),
                               TrafficAmountText(double(limit.bytes) / 1024)});
    return gauge;
}

AxisScale ChooseByteScale(double peakBytes)
{
    return ChooseAxisScale(peakBytes, 1024.0 * 1024,
                           {{1024.0, "KB"}, {1024.0 * 1024, "MB"}, {1024.0 * 1024 * 1024, "GB"}});
}
