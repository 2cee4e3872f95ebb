#include "UsageHistory.h"

#include "lumacore.h"

#include <algorithm>
#include <map>

namespace {

constexpr int kMonthsShown = 12;

// The store's rows of the days first to last, by day; empty when the store cannot be read.
std::map<uint32_t, UsageDay> storedDays(const QDate &first, const QDate &last, bool &readable)
{
    std::map<uint32_t, UsageDay> found;
    const uint32_t from = UsageDayNumber(first), to = UsageDayNumber(last);
    uint32_t count = 0;
    readable = _MEC_GetUsageDays(from, to, nullptr, 0, &count) == MEC_OK;
    std::vector<_MEC_USAGE_DAY> rows(count);
    // Rows added between the two calls are read with the next refresh.
    while (readable && count) {
        uint32_t there = 0;
        readable = _MEC_GetUsageDays(from, to, rows.data(), uint32_t(rows.size()), &there) == MEC_OK;
        if (!readable || there <= rows.size()) {
            rows.resize(there);
            break;
        }
        rows.resize(there);
    }
    if (!readable)
        return {};
    for (const _MEC_USAGE_DAY &row : rows) {
        UsageDay &day = found[row.day];
        day.day = UsageDayDate(row.day);
        UsageAmount &amount = row.roaming ? day.roaming : day.home;
        amount += UsageAmount{row.bytesSent, row.bytesReceived};
    }
    return found;
}

}  // namespace

QDate PeriodStartIn(int year, int month, int billingDay)
{
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(billingDay, first.daysInMonth()));
}

BillingPeriod PeriodOf(const QDate &day, int billingDay)
{
    billingDay = std::clamp(billingDay, 1, 31);
    QDate start = PeriodStartIn(day.year(), day.month(), billingDay);
    if (day < start) {
        const QDate before = day.addMonths(-1);
        start = PeriodStartIn(before.year(), before.month(), billingDay);
    }
    const QDate following = QDate(start.year(), start.month(), 1).addMonths(1);
    const QDate nextStart = PeriodStartIn(following.year(), following.month(), billingDay);
    return {start, nextStart.addDays(-1)};
}

BillingPeriod BillingPeriod::previous(int billingDay) const
{
    return PeriodOf(start.addDays(-1), billingDay);
}

BillingPeriod BillingPeriod::next(int billingDay) const { return PeriodOf(end.addDays(1), billingDay); }

uint32_t UsageDayNumber(const QDate &day)
{
    if (!day.isValid() || day.year() < 1970 || day.year() > 9999)
        return 0;
    return uint32_t(day.year() * 10000 + day.month() * 100 + day.day());
}

QDate UsageDayDate(uint32_t number)
{
    return QDate(int(number / 10000), int(number / 100 % 100), int(number % 100));
}

std::vector<UsageDay> UsageHistory::days(const BillingPeriod &period)
{
    bool readable = false;
    const auto stored = storedDays(period.start, period.end, readable);
    std::vector<UsageDay> all;
    if (!readable)
        return all;
    for (QDate day = period.start; day <= period.end; day = day.addDays(1)) {
        auto found = stored.find(UsageDayNumber(day));
        all.push_back(found != stored.end() ? found->second : UsageDay{day, {}, {}});
    }
    return all;
}

std::vector<UsageMonth> UsageHistory::months(const QDate &today, int billingDay)
{
    std::vector<BillingPeriod> periods{PeriodOf(today, billingDay)};
    while (periods.size() < size_t(kMonthsShown))
        periods.insert(periods.begin(), periods.front().previous(billingDay));
    bool readable = false;
    const auto stored = storedDays(periods.front().start, periods.back().end, readable);
    std::vector<UsageMonth> months;
    for (const BillingPeriod &period : periods)
        months.push_back({period.start, period.end, {}, {}});
    auto month = months.begin();
    for (const auto &[number, day] : stored) {
        while (month != months.end() && day.day > month->end)
            ++month;
        if (month == months.end())
            break;
        month->home += day.home;
        month->roaming += day.roaming;
    }
    return months;
}

UsageMonth UsageHistory::currentPeriod(const QDate &today, int billingDay)
{
    const BillingPeriod period = PeriodOf(today, billingDay);
    UsageMonth month{period.start, period.end, {}, {}};
    bool readable = false;
    for (const auto &[number, day] : storedDays(period.start, period.end, readable)) {
        month.home += day.home;
        month.roaming += day.roaming;
    }
    return month;
}

uint16_t UsageHistory::clear() { return _MEC_ClearUsage(); }
