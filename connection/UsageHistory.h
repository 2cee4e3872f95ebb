// The data use kept in the store, as the windows read it: the days of a billing period, the
// totals of the past twelve periods, at home and roaming apart, and the period a date lies in
// for a billing day.
#pragma once

#include <QDate>

#include <cstdint>
#include <vector>

struct UsageAmount {
    uint64_t sent = 0;
    uint64_t received = 0;
    uint64_t total() const { return sent + received; }
    UsageAmount &operator+=(const UsageAmount &other)
    {
        sent += other.sent;
        received += other.received;
        return *this;
    }
    bool operator==(const UsageAmount &) const = default;
};

// One day's use.
struct UsageDay {
    QDate day;
    UsageAmount home;
    UsageAmount roaming;
};

// One billing period's use ("a month").
struct UsageMonth {
    QDate start;  // the first day of the period
    QDate end;    // its last day
    UsageAmount home;
    UsageAmount roaming;
};

// A billing period: first and last day, both included.
struct BillingPeriod {
    QDate start;
    QDate end;
    bool contains(const QDate &day) const { return day >= start && day <= end; }
    // The period before and after this one, for the same billing day.
    BillingPeriod previous(int billingDay) const;
    BillingPeriod next(int billingDay) const;
};

// The day a period starts in a month: the billing day, or the month's last day when it has
// fewer days (a billing day of 31 starts February's period on the 28th or 29th).
QDate PeriodStartIn(int year, int month, int billingDay);
// The period holding `day` for a billing day of 1-31.
BillingPeriod PeriodOf(const QDate &day, int billingDay);

// The store's days as a date (yyyymmdd) and back; 0 for an invalid date.
uint32_t UsageDayNumber(const QDate &day);
QDate UsageDayDate(uint32_t number);

class UsageHistory {
public:
    // Every day of the period, in order, days without use included (as zero). Empty when the
    // store cannot be read.
    static std::vector<UsageDay> days(const BillingPeriod &period);
    // The twelve periods up to and including the one holding `today`, oldest first.
    static std::vector<UsageMonth> months(const QDate &today, int billingDay);
    // The use of the period holding `today`.
    static UsageMonth currentPeriod(const QDate &today, int billingDay);
    // Forgets every day counted (a running connection counts on from now). 0 or the engine's
    // status.
    static uint16_t clear();
};
