#include "StorePhonebook.h"

#include "Exports.h"
#include "Store.h"

#include <sqlite3.h>

#include <cstdio>

namespace lumacore {

namespace {

constexpr uint16_t kStatusMemoryFull = kStatusCmeBase + 20;

// A prepared statement that is always finalised.
class Statement {
public:
    Statement(sqlite3 *database, const char *sql)
    {
        if (sqlite3_prepare_v2(database, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            m_statement = nullptr;
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement() { sqlite3_finalize(m_statement); }
    explicit operator bool() const { return m_statement != nullptr; }
    sqlite3_stmt *get() const { return m_statement; }

    void text(int column, const char *value, size_t size)
    {
        sqlite3_bind_text(m_statement, column, value, static_cast<int>(strnlen(value, size)),
                          SQLITE_TRANSIENT);
    }
    void integer(int column, int64_t value) { sqlite3_bind_int64(m_statement, column, value); }
    void blob(int column, const void *data, size_t size)
    {
        sqlite3_bind_blob(m_statement, column, data, static_cast<int>(size), SQLITE_TRANSIENT);
    }
    bool done() { return sqlite3_step(m_statement) == SQLITE_DONE; }

private:
    sqlite3_stmt *m_statement = nullptr;
};

// The store, open and locked; database is null when the store cannot be used now.
struct LockedStore {
    std::unique_lock<std::mutex> lock;
    sqlite3 *database = nullptr;
};

LockedStore lockedStore()
{
    Store &store = pcStore();
    if (store.ensureOpen() != kStatusOk) {
        std::fprintf(stderr, "lumacore: %s\n", store.problem().c_str());
        return {};
    }
    LockedStore locked{store.lock(), store.database()};
    if (store.failingFast())
        locked.database = nullptr;
    return locked;
}

// A statement failed: the store learns why (held by another program, damaged).
uint16_t failed(LockedStore &)
{
    pcStore().failedStatement();
    return kStatusError;
}

std::string columnText(sqlite3_stmt *statement, int column)
{
    auto text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? text : "";
}

constexpr const char *kContactColumns =
    "group_id, name, text2, text3, email, note, url, mobile, home, phone1, phone2, phone3, extra";

// Binds the record's fields to ?1..?13 in the order of kContactColumns.
void bindContact(Statement &statement, const _MEC_CONTACT_RECORD &record)
{
    statement.integer(1, record.groupId);
    statement.text(2, record.name, sizeof record.name);
    statement.text(3, record.text2, sizeof record.text2);
    statement.text(4, record.text3, sizeof record.text3);
    statement.text(5, record.email, sizeof record.email);
    statement.text(6, record.note, sizeof record.note);
    statement.text(7, record.url, sizeof record.url);
    for (int slot = 0; slot < MEC_CONTACT_NUMBER_SLOTS; ++slot)
        statement.text(8 + slot, record.numbers[slot].number, sizeof record.numbers[slot].number);
    statement.blob(13, &record, sizeof record);
}

}  // namespace

uint16_t loadPcContacts(std::vector<_MEC_CONTACT_RECORD> &records)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    std::string sql = std::string("SELECT id, ") + kContactColumns + " FROM contacts ORDER BY id";
    Statement select(database, sql.c_str());
    if (!select)
        return failed(store);
    records.clear();
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        _MEC_CONTACT_RECORD record{};
        if (sqlite3_column_bytes(select.get(), 13) == static_cast<int>(sizeof record))
            std::memcpy(&record, sqlite3_column_blob(select.get(), 13), sizeof record);
        record.index = static_cast<uint32_t>(sqlite3_column_int64(select.get(), 0));
        record.groupId = static_cast<uint32_t>(sqlite3_column_int64(select.get(), 1));
        record.storage = 2;
        // The readable columns are what counts; the bytes keep what they do not hold.
        copyOut(record.name, sizeof record.name, columnText(select.get(), 2));
        copyOut(record.text2, sizeof record.text2, columnText(select.get(), 3));
        copyOut(record.text3, sizeof record.text3, columnText(select.get(), 4));
        copyOut(record.email, sizeof record.email, columnText(select.get(), 5));
        copyOut(record.note, sizeof record.note, columnText(select.get(), 6));
        copyOut(record.url, sizeof record.url, columnText(select.get(), 7));
        for (int slot = 0; slot < MEC_CONTACT_NUMBER_SLOTS; ++slot)
            copyOut(record.numbers[slot].number, sizeof record.numbers[slot].number,
                    columnText(select.get(), 8 + slot));
        records.push_back(record);
    }
    return step == SQLITE_DONE ? kStatusOk : failed(store);
}

uint16_t countPcContacts(int &count)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    Statement select(database, "SELECT COUNT(*) FROM contacts");
    if (!select || sqlite3_step(select.get()) != SQLITE_ROW)
        return failed(store);
    count = sqlite3_column_int(select.get(), 0);
    return kStatusOk;
}

uint16_t insertPcContact(_MEC_CONTACT_RECORD &record)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    // The count and the insert in one statement, so two writers cannot pass the capacity.
    std::string sql = std::string("INSERT INTO contacts (") + kContactColumns +
                      ") SELECT ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13 "
                      "WHERE (SELECT COUNT(*) FROM contacts) < " +
                      std::to_string(kPcContactCapacity);
    Statement insert(database, sql.c_str());
    if (!insert)
        return failed(store);
    _MEC_CONTACT_RECORD stored = record;
    stored.storage = 2;
    bindContact(insert, stored);
    if (!insert.done())
        return failed(store);
    if (sqlite3_changes(database) == 0)
        return kStatusMemoryFull;
    record.index = static_cast<uint32_t>(sqlite3_last_insert_rowid(database));
    record.storage = 2;
    return kStatusOk;
}

uint16_t updatePcContact(uint32_t index, const _MEC_CONTACT_RECORD &record)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    Statement update(database,
                     "UPDATE contacts SET group_id = ?1, name = ?2, text2 = ?3, text3 = ?4, "
                     "email = ?5, note = ?6, url = ?7, mobile = ?8, home = ?9, phone1 = ?10, "
                     "phone2 = ?11, phone3 = ?12, extra = ?13 WHERE id = ?14");
    if (!update)
        return failed(store);
    _MEC_CONTACT_RECORD stored = record;
    stored.index = index;
    stored.storage = 2;
    bindContact(update, stored);
    update.integer(14, index);
    if (!update.done())
        return failed(store);
    return sqlite3_changes(database) == 0 ? kStatusNoMoreEntries : kStatusOk;
}

uint16_t deletePcContact(uint32_t index)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    Statement remove(database, "DELETE FROM contacts WHERE id = ?1");
    if (!remove)
        return failed(store);
    remove.integer(1, index);
    if (!remove.done())
        return failed(store);
    return sqlite3_changes(database) == 0 ? kStatusNoMoreEntries : kStatusOk;
}

uint16_t loadGroups(uint8_t storage, std::vector<_MEC_GROUP_RECORD> &groups)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    Statement select(database,
                     "SELECT id, name FROM contact_groups WHERE storage = ?1 ORDER BY rowid");
    if (!select)
        return failed(store);
    select.integer(1, storage);
    groups.clear();
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        _MEC_GROUP_RECORD group{};
        group.groupId = sqlite3_column_int(select.get(), 0);
        copyOut(group.groupName, sizeof group.groupName, columnText(select.get(), 1));
        group.storage = storage;
        groups.push_back(group);
    }
    return step == SQLITE_DONE ? kStatusOk : failed(store);
}

uint16_t saveGroup(const _MEC_GROUP_RECORD &group)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    Statement insert(database,
                     "INSERT INTO contact_groups (id, name, storage) VALUES (?1, ?2, ?3)");
    if (!insert)
        return failed(store);
    insert.integer(1, group.groupId);
    insert.text(2, group.groupName, sizeof group.groupName);
    insert.integer(3, group.storage);
    return insert.done() ? kStatusOk : failed(store);
}

uint16_t renameGroup(const _MEC_GROUP_RECORD &group)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    Statement update(database,
                     "UPDATE contact_groups SET name = ?1 WHERE id = ?2 AND storage = ?3");
    if (!update)
        return failed(store);
    update.text(1, group.groupName, sizeof group.groupName);
    update.integer(2, group.groupId);
    update.integer(3, group.storage);
    if (!update.done())
        return failed(store);
    return sqlite3_changes(database) == 0 ? kStatusNoMoreEntries : kStatusOk;
}

uint16_t deleteGroup(int32_t groupId, uint8_t storage)
{
    LockedStore store = lockedStore();
    sqlite3 *database = store.database;
    if (!database)
        return kStatusError;
    Statement remove(database, "DELETE FROM contact_groups WHERE id = ?1 AND storage = ?2");
    if (!remove)
        return failed(store);
    remove.integer(1, groupId);
    remove.integer(2, storage);
    if (!remove.done())
        return failed(store);
    return sqlite3_changes(database) == 0 ? kStatusNoMoreEntries : kStatusOk;
}

}  // namespace lumacore
