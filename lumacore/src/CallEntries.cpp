#include "CallEntries.h"

#include "Exports.h"

#include "SqlStatement.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace lumacore;

namespace lumacore {

namespace {

bool validKind(uint8_t kind) { return kind >= 1 && kind <= 4; }

using Statement = SqlStatement;

// "YYYY-MM-DD HH:MM:SS": sorts as time does, and reads well in lumacore-tool's dump.
std::string timeText(const CallEntryTime &when)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned(when.year),
                  unsigned(when.month), unsigned(when.day), unsigned(when.hour),
                  unsigned(when.minute), unsigned(when.second));
    return text;
}

CallEntryTime timeFromText(const char *text)
{
    CallEntryTime when{};
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text &&
        std::sscanf(text, "%u-%u-%u %u:%u:%u", &year, &month, &day, &hour, &minute, &second) == 6) {
        when.year = static_cast<uint16_t>(year);
        when.month = static_cast<uint16_t>(month);
        when.day = static_cast<uint16_t>(day);
        when.hour = static_cast<uint16_t>(hour);
        when.minute = static_cast<uint16_t>(minute);
        when.second = static_cast<uint16_t>(second);
    }
    return when;
}

}  // namespace

uint16_t CallEntryStore::save(CallEntry &entry)
{
    if (!validKind(entry.kind))
        return kStatusError;
    // The number field may arrive without a terminator: it ends at the field's end.
    const std::string number(entry.number, strnlen(entry.number, sizeof entry.number));
    auto lock = m_store.lock();
    sqlite3 *database = m_store.database();
    if (!database)
        return kStatusError;
    if (sqlite3_exec(database, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return kStatusError;
    bool stored = false;
    {
        Statement insert(database,
                         "INSERT INTO call_records (kind, number, duration, bytes_sent, "
                         "bytes_received, time) VALUES (?, ?, ?, ?, ?, ?)");
        Statement trim(database,
                       "DELETE FROM call_records WHERE kind = ?1 AND id NOT IN (SELECT id FROM "
                       "call_records WHERE kind = ?1 ORDER BY id DESC LIMIT ?2)");
        if (insert && trim) {
            const std::string when = timeText(entry.when);
            sqlite3_bind_int(insert.get(), 1, entry.kind);
            sqlite3_bind_text(insert.get(), 2, number.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert.get(), 3, entry.duration);
            sqlite3_bind_double(insert.get(), 4, entry.bytesSent);
            sqlite3_bind_double(insert.get(), 5, entry.bytesReceived);
            sqlite3_bind_text(insert.get(), 6, when.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(trim.get(), 1, entry.kind);
            sqlite3_bind_int(trim.get(), 2, kCallEntriesPerKind);
            stored = sqlite3_step(insert.get()) == SQLITE_DONE;
            const auto index = sqlite3_last_insert_rowid(database);
            stored = stored && sqlite3_step(trim.get()) == SQLITE_DONE;
            if (stored)
                entry.index = static_cast<uint32_t>(index);
        }
    }
    if (!stored || sqlite3_exec(database, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(database, "ROLLBACK", nullptr, nullptr, nullptr);
        return kStatusError;
    }
    entry.storage = kCallEntryStorage;
    return kStatusOk;
}

uint16_t CallEntryStore::read(uint8_t kind, int64_t after, CallEntry &entry)
{
    if (!validKind(kind))
        return kStatusError;
    auto lock = m_store.lock();
    Statement select(m_store.database(),
                     "SELECT id, number, duration, bytes_sent, bytes_received, time FROM "
                     "call_records WHERE kind = ? AND id > ? ORDER BY id LIMIT 1");
    if (!select)
        return kStatusError;
    sqlite3_bind_int(select.get(), 1, kind);
    sqlite3_bind_int64(select.get(), 2, after);
    const int step = sqlite3_step(select.get());
    if (step == SQLITE_DONE)
        return kStatusNoMoreEntries;
    if (step != SQLITE_ROW)
        return kStatusError;
    const int32_t size = entry.reserved;
    std::memset(&entry, 0, sizeof entry);
    entry.reserved = size;
    entry.index = static_cast<uint32_t>(sqlite3_column_int64(select.get(), 0));
    const auto *number = reinterpret_cast<const char *>(sqlite3_column_text(select.get(), 1));
    copyOut(entry.number, sizeof entry.number, number ? number : "");
    entry.duration = static_cast<uint32_t>(sqlite3_column_int64(select.get(), 2));
    entry.bytesSent = sqlite3_column_double(select.get(), 3);
    entry.bytesReceived = sqlite3_column_double(select.get(), 4);
    entry.kind = kind;
    entry.when = timeFromText(reinterpret_cast<const char *>(sqlite3_column_text(select.get(), 5)));
    entry.storage = kCallEntryStorage;
    return kStatusOk;
}

uint16_t CallEntryStore::first(uint8_t kind, CallEntry &entry) { return read(kind, 0, entry); }

uint16_t CallEntryStore::next(CallEntry &entry) { return read(entry.kind, entry.index, entry); }

uint16_t CallEntryStore::remove(uint32_t index, uint8_t storage)
{
    if (storage != kCallEntryStorage)
        return kStatusError;
    auto lock = m_store.lock();
    Statement erase(m_store.database(), "DELETE FROM call_records WHERE id = ?");
    if (!erase)
        return kStatusError;
    sqlite3_bind_int64(erase.get(), 1, index);
    if (sqlite3_step(erase.get()) != SQLITE_DONE)
        return kStatusError;
    return sqlite3_changes(m_store.database()) > 0 ? kStatusOk : kStatusNoMoreEntries;
}

uint16_t CallEntryStore::clear(uint8_t kind, uint8_t storage)
{
    if (storage != kCallEntryStorage || !validKind(kind))
        return kStatusError;
    auto lock = m_store.lock();
    Statement erase(m_store.database(), "DELETE FROM call_records WHERE kind = ?");
    if (!erase)
        return kStatusError;
    sqlite3_bind_int(erase.get(), 1, kind);
    return sqlite3_step(erase.get()) == SQLITE_DONE ? kStatusOk : kStatusError;
}

uint16_t CallEntryStore::count(uint8_t kind, uint8_t storage)
{
    if (storage != kCallEntryStorage || !validKind(kind))
        return 0;
    auto lock = m_store.lock();
    Statement select(m_store.database(), "SELECT COUNT(*) FROM call_records WHERE kind = ?");
    if (!select)
        return 0;
    sqlite3_bind_int(select.get(), 1, kind);
    if (sqlite3_step(select.get()) != SQLITE_ROW)
        return 0;
    return static_cast<uint16_t>(sqlite3_column_int(select.get(), 0));
}

}  // namespace lumacore

namespace {

// The PC store, opened on first use (the store does not need a card).
template <typename Call>
uint16_t withCallEntries(Call &&call)
{
    if (!pcStore().isOpen()) {
        if (uint16_t status = pcStore().open(Store::defaultPath()); status != kStatusOk) {
            std::fprintf(stderr, "lumacore: %s\n", pcStore().message().c_str());
            return status;
        }
    }
    CallEntryStore entries(pcStore());
    return call(entries);
}

}  // namespace

uint16_t _MEC_GetCallEntryCount(uint8_t kind, uint8_t storage)
{
    if (!pcStore().isOpen() && pcStore().open(Store::defaultPath()) != kStatusOk)
        return 0;
    return CallEntryStore(pcStore()).count(kind, storage);
}

MEC_STATUS _MEC_GetFirstCallEntry(uint8_t kind, CallEntry *entry)
{
    if (!entry)
        return kStatusError;
    return withCallEntries([&](CallEntryStore &entries) { return entries.first(kind, *entry); });
}

MEC_STATUS _MEC_GetNextCallEntry(CallEntry *entry)
{
    if (!entry)
        return kStatusError;
    return withCallEntries([&](CallEntryStore &entries) { return entries.next(*entry); });
}

MEC_STATUS _MEC_SaveCallEntry(CallEntry *entry)
{
    if (!entry)
        return kStatusError;
    return withCallEntries([&](CallEntryStore &entries) { return entries.save(*entry); });
}

MEC_STATUS _MEC_DeleteCallEntry(uint32_t index, uint8_t storage)
{
    return withCallEntries([&](CallEntryStore &entries) { return entries.remove(index, storage); });
}

MEC_STATUS _MEC_ClearCallEntries(uint8_t kind, uint8_t storage)
{
    return withCallEntries([&](CallEntryStore &entries) { return entries.clear(kind, storage); });
}
