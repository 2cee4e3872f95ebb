// The data budget the user set: the billing day, the monthly limits at home and roaming, the
// share of a limit at which the user is warned, and whether the connection is ended at the
// limit. Kept in a file of its own beside the other settings (budget.ini), written whole and
// atomically; a missing or unreadable file gives the defaults, a bad value its default alone.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

// The unit a limit was typed in; the limit itself is always kept in bytes.
enum class BudgetUnit : uint8_t { Megabytes, Gigabytes };

struct BudgetLimit {
    uint64_t bytes = 0;  // 0: no limit
    BudgetUnit unit = BudgetUnit::Gigabytes;

    // The limit in the user's unit (MB = 2^20 bytes, GB = 2^30 bytes), for the page's field.
    double inUnit() const;
    // A limit of `amount` in `unit`; nothing for a negative, non-finite or too large amount.
    static std::optional<BudgetLimit> fromUnit(double amount, BudgetUnit unit);
    bool operator==(const BudgetLimit &) const = default;
};

struct BudgetSettings {
    static constexpr int kMinBillingDay = 1;
    static constexpr int kMaxBillingDay = 31;
    static constexpr int kMaxWarningPercent = 100;

    int billingDay = 1;  // the day of the month a period starts; past a month's end, its last day
    BudgetLimit home;
    BudgetLimit roaming;
    int warningPercent = 80;  // 1-100; the share of a limit at which the user is warned
    bool disconnectAtLimit = false;

    bool operator==(const BudgetSettings &) const = default;

    // Empty when every value is in range, else the first value out of range, in words.
    QString validate() const;
    // The limit that applies on this network.
    const BudgetLimit &limitFor(bool roamingNow) const { return roamingNow ? roaming : home; }

    // The file in the settings folder (platform::settingsFolder()).
    static QString defaultPath();
    // The file in a given settings folder (the one the program's other settings are written to,
    // TBL_File::folder()).
    static QString pathIn(const QString &settingsFolder);
    // The settings in `path`: the defaults for a missing file, each bad or missing value's
    // default for the rest.
    static BudgetSettings load(const QString &path);
    // Writes the settings whole (temporary file, then rename). False, with the file as it was,
    // when the values do not validate or the file cannot be written.
    bool save(const QString &path) const;
};
