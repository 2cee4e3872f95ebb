#include "StoreSms.h"

#include "SimText.h"
#include "SmsRecords.h"
#include "Status.h"
#include "Store.h"
#include "StoreStatement.h"

#include <cstdio>

namespace lumacore {

namespace {

constexpr uint16_t kStatusMemoryFull = kStatusCmsBase + 322;

struct LockedStore {
    std::unique_lock<std::mutex> lock;
    sqlite3 *database = nullptr;
};

LockedStore lockedStore()
{
    Store &store = pcStore();
    if (!store.isOpen() && store.open(Store::defaultPath()) != kStatusOk) {
        std::fprintf(stderr, "lumacore: %s\n", store.message().c_str());
        return {};
    }
    return {store.lock(), store.database()};
}

std::string field(const char *text, size_t size) { return std::string(text, strnlen(text, size)); }

std::string stampText(const _MEC_SMS_TIME &time)
{
    if (time.year == 0)
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned(time.year),
                  unsigned(time.month), unsigned(time.day), unsigned(time.hour),
                  unsigned(time.minute), unsigned(time.second));
    std::string stamp = text;
    if (time.hasZone) {
        // The network's zone stays with its time: "2026-12-08 21:15:00+01:00".
        const int quarters = time.zoneQuarters < 0 ? -time.zoneQuarters : time.zoneQuarters;
        std::snprintf(text, sizeof text, "%c%02d:%02d", time.zoneQuarters < 0 ? '-' : '+',
                      quarters / 4, quarters % 4 * 15);
        stamp += text;
    }
    return stamp;
}

_MEC_SMS_TIME stampOfText(const std::string &text)
{
    _MEC_SMS_TIME time{};
    unsigned parts[6]{};
    if (std::sscanf(text.c_str(), "%u-%u-%u %u:%u:%u", &parts[0], &parts[1], &parts[2], &parts[3],
                    &parts[4], &parts[5]) == 6) {
        time.year = static_cast<uint16_t>(parts[0]);
        time.month = static_cast<uint16_t>(parts[1]);
        time.day = static_cast<uint16_t>(parts[2]);
        time.hour = static_cast<uint16_t>(parts[3]);
        time.minute = static_cast<uint16_t>(parts[4]);
        time.second = static_cast<uint16_t>(parts[5]);
        char sign = 0;
        unsigned hours = 0;
        unsigned minutes = 0;
        const size_t zone = text.find_first_of("+-", 19);
        if (zone != std::string::npos &&
            std::sscanf(text.c_str() + zone, "%c%u:%u", &sign, &hours, &minutes) == 3 &&
            hours < 24 && minutes < 60) {
            const int quarters = static_cast<int>(hours * 4 + minutes / 15);
            time.zoneQuarters = static_cast<int8_t>(sign == '-' ? -quarters : quarters);
            time.hasZone = 1;
        }
    }
    return time;
}

constexpr const char *kColumns =
    "id, status, number, service_center, text, coding, sent_time, "
    "received_time, long_message, reference, part_count, part_number";

_MEC_SMS_RECORD recordOfRow(const StoreStatement &select)
{
    _MEC_SMS_RECORD record{};
    sqlite3_stmt *row = select.get();
    record.size = sizeof record;
    record.index = static_cast<uint16_t>(sqlite3_column_int64(row, 0));
    record.status = static_cast<uint8_t>(sqlite3_column_int(row, 1));
    const bool received = record.status == kSmsRead || record.status == kSmsUnread;
    char *number = received ? record.sender : record.recipient;
    std::snprintf(number, sizeof record.sender, "%s", select.columnText(2).c_str());
    std::snprintf(record.serviceCenter, sizeof record.serviceCenter, "%s",
                  select.columnText(3).c_str());
    const std::string text = select.columnText(4);
    std::snprintf(record.text, sizeof record.text, "%s", text.c_str());
    record.coding = static_cast<uint8_t>(sqlite3_column_int(row, 5));
    record.sendTime = stampOfText(select.columnText(6));
    record.receiveTime = stampOfText(select.columnText(7));
    record.longMessage = static_cast<uint32_t>(sqlite3_column_int(row, 8));
    record.reference = static_cast<uint16_t>(sqlite3_column_int(row, 9));
    record.partCount = static_cast<uint8_t>(sqlite3_column_int(row, 10));
    record.partNumber = static_cast<uint8_t>(sqlite3_column_int(row, 11));
    record.storage = 2;
    return record;
}

}  // namespace

uint16_t loadPcMessages(std::vector<_MEC_SMS_RECORD> &records)
{
    LockedStore store = lockedStore();
    const std::string sql = std::string("SELECT ") + kColumns + " FROM messages ORDER BY id";
    StoreStatement select(store.database, sql.c_str());
    if (!select)
        return kStatusError;
    records.clear();
    while (select.row())
        records.push_back(recordOfRow(select));
    return kStatusOk;
}

uint16_t readPcMessage(uint16_t index, _MEC_SMS_RECORD &record)
{
    LockedStore store = lockedStore();
    const std::string sql = std::string("SELECT ") + kColumns + " FROM messages WHERE id = ?1";
    StoreStatement select(store.database, sql.c_str());
    if (!select)
        return kStatusError;
    select.integer(1, index);
    if (!select.row())
        return kStatusNoMoreEntries;
    record = recordOfRow(select);
    return kStatusOk;
}

uint16_t insertPcMessage(_MEC_SMS_RECORD &record)
{
    LockedStore store = lockedStore();
    StoreStatement count(store.database, "SELECT COUNT(*), COALESCE(MAX(id), 0) FROM messages");
    if (!count || !count.row())
        return kStatusError;
    if (sqlite3_column_int(count.get(), 0) >= kPcMessageCapacity)
        return kStatusMemoryFull;
    // Indexes are 16-bit: the next one after the highest, or the first free one from 1.
    int64_t next = sqlite3_column_int64(count.get(), 1) + 1;
    if (next > 0xFFFF) {
        StoreStatement gap(store.database,
                           "SELECT MIN(id + 1) FROM messages WHERE id + 1 NOT IN "
                           "(SELECT id FROM messages)");
        if (!gap || !gap.row())
            return kStatusError;
        next = sqlite3_column_int64(gap.get(), 0);
        if (next < 1 || next > 0xFFFF)
            return kStatusMemoryFull;
    }
    const std::string sql = std::string("INSERT INTO messages (") + kColumns +
                            ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)";
    StoreStatement insert(store.database, sql.c_str());
    if (!insert)
        return kStatusError;
    const bool received = record.status == kSmsRead || record.status == kSmsUnread;
    insert.integer(1, next);
    insert.integer(2, record.status);
    insert.text(3, field(received ? record.sender : record.recipient, sizeof record.sender));
    insert.text(4, field(record.serviceCenter, sizeof record.serviceCenter));
    // A PC record always holds text in the system code page, whatever its coding byte says:
    // the program keeps GSM codes only on the card's storages.
    insert.text(5, field(record.text, sizeof record.text));
    insert.integer(6, record.coding);
    insert.text(7, stampText(record.sendTime));
    insert.text(8, stampText(record.receiveTime));
    insert.integer(9, record.longMessage);
    insert.integer(10, record.reference);
    insert.integer(11, record.partCount);
    insert.integer(12, record.partNumber);
    if (!insert.done())
        return kStatusError;
    record.index = static_cast<uint16_t>(next);
    record.storage = 2;
    return kStatusOk;
}

uint16_t deletePcMessage(uint16_t index)
{
    LockedStore store = lockedStore();
    StoreStatement remove(store.database, "DELETE FROM messages WHERE id = ?1");
    if (!remove)
        return kStatusError;
    remove.integer(1, index);
    if (!remove.done())
        return kStatusError;
    return sqlite3_changes(store.database) ? kStatusOk : kStatusNoMoreEntries;
}

uint16_t setPcMessageStatus(uint16_t index, uint8_t status)
{
    LockedStore store = lockedStore();
    StoreStatement update(store.database, "UPDATE messages SET status = ?2 WHERE id = ?1");
    if (!update)
        return kStatusError;
    update.integer(1, index);
    update.integer(2, status);
    if (!update.done())
        return kStatusError;
    return sqlite3_changes(store.database) ? kStatusOk : kStatusNoMoreEntries;
}

uint16_t loadUnread(const std::string &card, uint8_t storage, std::set<uint16_t> &indexes)
{
    LockedStore store = lockedStore();
    StoreStatement select(store.database,
                          "SELECT message_index FROM unread_messages "
                          "WHERE card = ?1 AND storage = ?2");
    if (!select)
        return kStatusError;
    select.text(1, card);
    select.integer(2, storage);
    indexes.clear();
    while (select.row())
        indexes.insert(static_cast<uint16_t>(sqlite3_column_int(select.get(), 0)));
    return kStatusOk;
}

uint16_t setUnread(const std::string &card, uint8_t storage, uint16_t index, bool unread)
{
    LockedStore store = lockedStore();
    StoreStatement change(store.database,
                          unread ? "INSERT OR IGNORE INTO unread_messages (card, storage, "
                                   "message_index) VALUES (?1, ?2, ?3)"
                                 : "DELETE FROM unread_messages WHERE card = ?1 AND storage = ?2 "
                                   "AND message_index = ?3");
    if (!change)
        return kStatusError;
    change.text(1, card);
    change.integer(2, storage);
    change.integer(3, index);
    return change.done() ? kStatusOk : kStatusError;
}

uint16_t changeUnread(const std::string &card, uint8_t storage, const std::set<uint16_t> &unread,
                      const std::set<uint16_t> &read)
{
    if (unread.empty() && read.empty())
        return kStatusOk;
    LockedStore store = lockedStore();
    if (!store.database ||
        sqlite3_exec(store.database, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return kStatusError;
    bool ok = true;
    for (const auto &[indexes, sql] :
         {std::pair{&unread,
                    "INSERT OR IGNORE INTO unread_messages (card, storage, message_index) "
                    "VALUES (?1, ?2, ?3)"},
          std::pair{&read,
                    "DELETE FROM unread_messages WHERE card = ?1 AND storage = ?2 AND "
                    "message_index = ?3"}}) {
        if (indexes->empty())
            continue;
        StoreStatement change(store.database, sql);
        ok = ok && change;
        for (auto index = indexes->begin(); ok && index != indexes->end(); ++index) {
            change.text(1, card);
            change.integer(2, storage);
            change.integer(3, *index);
            ok = change.done();
            sqlite3_reset(change.get());
        }
    }
    if (ok && sqlite3_exec(store.database, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
        return kStatusOk;
    sqlite3_exec(store.database, "ROLLBACK", nullptr, nullptr, nullptr);
    return kStatusError;
}

}  // namespace lumacore
