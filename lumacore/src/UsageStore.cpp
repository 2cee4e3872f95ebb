#include "UsageStore.h"

#include "Exports.h"

#include "SqlStatement.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

using namespace lumacore;

namespace lumacore {

namespace {

using Statement = SqlStatement;

bool run(sqlite3 *database, const char *sql)
{
    return sqlite3_exec(database, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The days from 1970 of a valid yyyymmdd (the civil-calendar day count), for the age of a
// connection's row.
int64_t dayIndex(uint32_t day)
{
    int64_t year = day / 10000, month = day / 100 % 100, date = day % 100;
    year -= month <= 2;
    const int64_t era = year / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + date - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// yyyymmdd of a day index.
int64_t dayFromIndex(int64_t index)
{
    const int64_t shifted = index + 719468;
    const int64_t era = shifted / 146097;
    const int64_t dayOfEra = shifted - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthShifted = (5 * dayOfYear + 2) / 153;
    const int64_t date = dayOfYear - (153 * monthShifted + 2) / 5 + 1;
    const int64_t month = monthShifted < 10 ? monthShifted + 3 : monthShifted - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2);
    return year * 10000 + month * 100 + date;
}

// SQLite keeps signed 64-bit integers; byte counts never come near the sign bit, but a value
// that did would be kept as the largest one rather than turned negative.
int64_t stored(uint64_t value) { return value > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(value); }

}  // namespace

bool validUsageDay(uint32_t day)
{
    const uint32_t year = day / 10000, month = day / 100 % 100, date = day % 100;
    if (year < 1970 || year > 9999 || month < 1 || month > 12 || date < 1)
        return false;
    static constexpr uint32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return date <= kDays[month - 1] + (month == 2 && leap);
}

uint16_t UsageStore::add(const std::string &connection, uint32_t day, uint8_t roaming,
                         uint64_t sent, uint64_t received)
{
    if (connection.empty() || connection.size() > kUsageConnectionNameLimit ||
        !validUsageDay(day) || roaming > 1)
        return kStatusError;
    auto lock = m_store.lock();
    sqlite3 *database = m_store.database();
    if (!database)
        return kStatusError;
    // A savepoint, so the write also nests inside a batch the caller may hold open.
    if (!run(database, "SAVEPOINT usage_add")) {
        m_store.failedStatement();
        return kStatusError;
    }
    bool done = false;
    {
        Statement counted(database,
                          "SELECT sent, received FROM usage_connections WHERE name = ?");
        Statement addDay(database,
                         "INSERT INTO usage_days (day, roaming, sent, received) "
                         "VALUES (?1, ?2, ?3, ?4) ON CONFLICT (day, roaming) DO UPDATE SET "
                         "sent = sent + ?3, received = received + ?4");
        Statement keep(database,
                       "INSERT OR REPLACE INTO usage_connections (name, sent, received, day) "
                       "VALUES (?, ?, ?, ?)");
        Statement forget(database, "DELETE FROM usage_connections WHERE day < ?");
        if (counted && addDay && keep && forget) {
            sqlite3_bind_text(counted.get(), 1, connection.c_str(), -1, SQLITE_TRANSIENT);
            uint64_t lastSent = 0, lastReceived = 0;
            int step = sqlite3_step(counted.get());
            if (step == SQLITE_ROW) {
                lastSent = uint64_t(sqlite3_column_int64(counted.get(), 0));
                lastReceived = uint64_t(sqlite3_column_int64(counted.get(), 1));
                step = SQLITE_DONE;
            }
            // Totals below the counted ones: the counters began again, all of it is new.
            const uint64_t newSent = sent >= lastSent ? sent - lastSent : sent;
            const uint64_t newReceived = received >= lastReceived ? received - lastReceived
                                                                  : received;
            done = step == SQLITE_DONE;
            if (done && (newSent || newReceived)) {
                sqlite3_bind_int64(addDay.get(), 1, day);
                sqlite3_bind_int(addDay.get(), 2, roaming);
                sqlite3_bind_int64(addDay.get(), 3, stored(newSent));
                sqlite3_bind_int64(addDay.get(), 4, stored(newReceived));
                done = sqlite3_step(addDay.get()) == SQLITE_DONE;
            }
            if (done) {
                sqlite3_bind_text(keep.get(), 1, connection.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int64(keep.get(), 2, stored(sent));
                sqlite3_bind_int64(keep.get(), 3, stored(received));
                sqlite3_bind_int64(keep.get(), 4, day);
                done = sqlite3_step(keep.get()) == SQLITE_DONE;
            }
            if (done) {
                const int64_t before =
                    dayFromIndex(dayIndex(day) - kUsageConnectionKeepDays);
                sqlite3_bind_int64(forget.get(), 1, before);
                done = sqlite3_step(forget.get()) == SQLITE_DONE;
            }
        }
    }
    if (!done) {
        m_store.failedStatement();
        if (m_store.database()) {
            run(database, "ROLLBACK TO usage_add");
            run(database, "RELEASE usage_add");
        }
        return kStatusError;
    }
    if (!run(database, "RELEASE usage_add")) {
        m_store.failedStatement();
        if (m_store.database()) {
            run(database, "ROLLBACK TO usage_add");
            run(database, "RELEASE usage_add");
        }
        return kStatusError;
    }
    return kStatusOk;
}

uint16_t UsageStore::end(const std::string &connection)
{
    auto lock = m_store.lock();
    Statement forget(m_store.database(), "DELETE FROM usage_connections WHERE name = ?");
    if (!forget)
        return kStatusError;
    sqlite3_bind_text(forget.get(), 1, connection.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(forget.get()) != SQLITE_DONE) {
        m_store.failedStatement();
        return kStatusError;
    }
    return kStatusOk;
}

uint16_t UsageStore::days(uint32_t first, uint32_t last, std::vector<_MEC_USAGE_DAY> &rows)
{
    rows.clear();
    auto lock = m_store.lock();
    Statement select(m_store.database(),
                     "SELECT day, roaming, sent, received FROM usage_days "
                     "WHERE day BETWEEN ? AND ? ORDER BY day, roaming");
    if (!select)
        return kStatusError;
    sqlite3_bind_int64(select.get(), 1, first);
    sqlite3_bind_int64(select.get(), 2, last);
    int step;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        _MEC_USAGE_DAY row{};
        row.day = uint32_t(sqlite3_column_int64(select.get(), 0));
        row.roaming = uint8_t(sqlite3_column_int(select.get(), 1));
        row.bytesSent = uint64_t(sqlite3_column_int64(select.get(), 2));
        row.bytesReceived = uint64_t(sqlite3_column_int64(select.get(), 3));
        rows.push_back(row);
    }
    if (step != SQLITE_DONE) {
        m_store.failedStatement();
        rows.clear();
        return kStatusError;
    }
    return kStatusOk;
}

uint16_t UsageStore::clear()
{
    auto lock = m_store.lock();
    sqlite3 *database = m_store.database();
    if (!database)
        return kStatusError;
    if (!run(database, "DELETE FROM usage_days")) {
        m_store.failedStatement();
        return kStatusError;
    }
    return kStatusOk;
}

}  // namespace lumacore

namespace {

template <typename Call>
uint16_t withUsage(Call call)
{
    if (uint16_t status = pcStore().ensureOpen(); status != kStatusOk)
        return status;
    UsageStore usage(pcStore());
    const uint16_t status = call(usage);
    if (status != kStatusOk && !pcStore().message().empty())
        std::fprintf(stderr, "lumacore: %s\n", pcStore().message().c_str());
    return status;
}

}  // namespace

MEC_STATUS _MEC_AddUsage(const char *connection, uint32_t day, uint8_t roaming,
                         uint64_t totalSent, uint64_t totalReceived)
{
    if (!connection)
        return kStatusError;
    const std::string name(connection, strnlen(connection, kUsageConnectionNameLimit + 1));
    return withUsage([&](UsageStore &usage) {
        return usage.add(name, day, roaming, totalSent, totalReceived);
    });
}

MEC_STATUS _MEC_EndUsage(const char *connection)
{
    if (!connection || !*connection)
        return kStatusError;
    const std::string name(connection, strnlen(connection, kUsageConnectionNameLimit + 1));
    return withUsage([&](UsageStore &usage) { return usage.end(name); });
}

MEC_STATUS _MEC_GetUsageDays(uint32_t firstDay, uint32_t lastDay, _MEC_USAGE_DAY *rows,
                             uint32_t capacity, uint32_t *count)
{
    if (!count || (capacity && !rows))
        return kStatusError;
    *count = 0;
    std::vector<_MEC_USAGE_DAY> found;
    const uint16_t status =
        withUsage([&](UsageStore &usage) { return usage.days(firstDay, lastDay, found); });
    if (status != kStatusOk)
        return status;
    for (size_t i = 0; i < found.size() && i < capacity; ++i)
        rows[i] = found[i];
    *count = uint32_t(found.size());
    return kStatusOk;
}

MEC_STATUS _MEC_ClearUsage(void)
{
    return withUsage([](UsageStore &usage) { return usage.clear(); });
}
