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
    return text;
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
    const std::string countSql = std::string("SELECT ") + kMessageRowsSql +
                                 ", COALESCE((SELECT MAX(id) FROM messages), 0)";
    StoreStatement count(store.database, countSql.c_str());
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
    insert.text(5, utf8ToSystem(recordText(record)));
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

}  // namespace lumacore
