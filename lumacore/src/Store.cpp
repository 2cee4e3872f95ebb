#include "Store.h"

#include "Status.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace lumacore {

namespace {

// Marks a database as ours, beside PRAGMA user_version (which any SQLite file may set).
constexpr const char *kStoreMark = "lumacore-pc-store";

constexpr const char *kSchema = R"sql(
CREATE TABLE IF NOT EXISTS store_info (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS contact_groups (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS contacts (
    id INTEGER PRIMARY KEY,
    group_id INTEGER NOT NULL DEFAULT 0,
    name TEXT NOT NULL DEFAULT '',
    text2 TEXT NOT NULL DEFAULT '',
    text3 TEXT NOT NULL DEFAULT '',
    email TEXT NOT NULL DEFAULT '',
    note TEXT NOT NULL DEFAULT '',
    url TEXT NOT NULL DEFAULT '',
    mobile TEXT NOT NULL DEFAULT '',
    home TEXT NOT NULL DEFAULT '',
    phone1 TEXT NOT NULL DEFAULT '',
    phone2 TEXT NOT NULL DEFAULT '',
    phone3 TEXT NOT NULL DEFAULT '',
    extra BLOB);
CREATE TABLE IF NOT EXISTS messages (
    id INTEGER PRIMARY KEY,
    status INTEGER NOT NULL,
    number TEXT NOT NULL DEFAULT '',
    service_center TEXT NOT NULL DEFAULT '',
    text TEXT NOT NULL DEFAULT '',
    coding INTEGER NOT NULL DEFAULT 0,
    sent_time TEXT NOT NULL DEFAULT '',
    received_time TEXT NOT NULL DEFAULT '',
    long_message INTEGER NOT NULL DEFAULT 0,
    reference INTEGER NOT NULL DEFAULT 0,
    part_count INTEGER NOT NULL DEFAULT 0,
    part_number INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS unread_messages (
    card TEXT NOT NULL,
    storage INTEGER NOT NULL,
    message_index INTEGER NOT NULL,
    PRIMARY KEY (card, storage, message_index));
CREATE TABLE IF NOT EXISTS call_records (
    id INTEGER PRIMARY KEY,
    kind INTEGER NOT NULL,
    number TEXT NOT NULL DEFAULT '',
    duration INTEGER NOT NULL DEFAULT 0,
    bytes_sent REAL NOT NULL DEFAULT 0,
    bytes_received REAL NOT NULL DEFAULT 0,
    time TEXT NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS call_records_by_kind ON call_records (kind, id);
)sql";

// The rows of the tables that have a capacity, kept beside them so that an insert need not
// count the table. Temporary, so the file's schema stays as it is; the triggers change the
// counts inside the writer's transaction, so a rolled-back or failed write takes its change
// back with it.
constexpr const char *kRowCounts = R"sql(
CREATE TEMP TABLE IF NOT EXISTS row_counts (name TEXT PRIMARY KEY, rows INTEGER NOT NULL);
CREATE TEMP TRIGGER IF NOT EXISTS messages_added AFTER INSERT ON main.messages
    BEGIN UPDATE row_counts SET rows = rows + 1 WHERE name = 'messages'; END;
CREATE TEMP TRIGGER IF NOT EXISTS messages_removed AFTER DELETE ON main.messages
    BEGIN UPDATE row_counts SET rows = rows - 1 WHERE name = 'messages'; END;
CREATE TEMP TRIGGER IF NOT EXISTS contacts_added AFTER INSERT ON main.contacts
    BEGIN UPDATE row_counts SET rows = rows + 1 WHERE name = 'contacts'; END;
CREATE TEMP TRIGGER IF NOT EXISTS contacts_removed AFTER DELETE ON main.contacts
    BEGIN UPDATE row_counts SET rows = rows - 1 WHERE name = 'contacts'; END;
BEGIN;
DELETE FROM row_counts;
INSERT INTO row_counts SELECT 'messages', COUNT(*) FROM main.messages;
INSERT INTO row_counts SELECT 'contacts', COUNT(*) FROM main.contacts;
COMMIT;
)sql";

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

int userVersion(sqlite3 *database)
{
    sqlite3_stmt *statement = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(database, "PRAGMA user_version", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        version = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return version;
}

// Copies every page from one open database to another in one step.
int copyDatabase(sqlite3 *from, sqlite3 *to)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return sqlite3_errcode(to);
    int step = sqlite3_backup_step(backup, -1);
    int finish = sqlite3_backup_finish(backup);
    return step == SQLITE_DONE ? finish : step;
}

}  // namespace

std::string checkStoreFile(const std::string &path)
{
    sqlite3 *database = nullptr;
    if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(database);
        return "cannot open " + path;
    }
    std::string problem;
    sqlite3_stmt *statement = nullptr;
    // Reading anything fails with SQLITE_NOTADB when the file is not SQLite.
    if (sqlite3_prepare_v2(database, "SELECT value FROM store_info WHERE key = 'kind'", -1,
                           &statement, nullptr) != SQLITE_OK) {
        problem = path + " is not a Lumacore store (" + sqlite3_errmsg(database) + ")";
    } else if (sqlite3_step(statement) != SQLITE_ROW ||
               std::string(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))
                               ? reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))
                               : "") != kStoreMark) {
        problem = path + " is not a Lumacore store";
    }
    sqlite3_finalize(statement);
    if (problem.empty() && userVersion(database) != Store::kSchemaVersion)
        problem = path + " is a store of another version";
    if (problem.empty()) {
        statement = nullptr;
        if (sqlite3_prepare_v2(database, "PRAGMA quick_check", -1, &statement, nullptr) !=
                SQLITE_OK ||
            sqlite3_step(statement) != SQLITE_ROW ||
            std::string(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))) != "ok")
            problem = path + " is damaged";
        sqlite3_finalize(statement);
    }
    sqlite3_close(database);
    return problem;
}

std::string Store::defaultPath()
{
    if (auto configured = environment("LUMACORE_DB"); !configured.empty())
        return configured;
    std::string data = environment("XDG_DATA_HOME");
    if (data.empty()) {
        std::string home = environment("HOME");
        if (home.empty())
            home = ".";
        data = home + "/.local/share";
    }
    return data + "/lumadial/db.dat";
}

uint16_t Store::fail(const std::string &what)
{
    m_message = what + (m_database ? std::string(": ") + sqlite3_errmsg(m_database) : "");
    return kStatusError;
}

uint16_t Store::open(const std::string &path)
{
    std::lock_guard lock(m_mutex);
    if (m_database) {
        sqlite3_close(m_database);
        m_database = nullptr;
    }
    m_path = path;
    std::error_code ignored;
    auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ignored);
    if (sqlite3_open_v2(path.c_str(), &m_database,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        uint16_t status = fail("cannot open " + path);
        sqlite3_close(m_database);
        m_database = nullptr;
        return status;
    }
    sqlite3_busy_timeout(m_database, 2000);
    uint16_t status = createSchema();
    if (status == kStatusOk)
        status = countRows();
    if (status != kStatusOk) {
        sqlite3_close(m_database);
        m_database = nullptr;
    }
    return status;
}

uint16_t Store::createSchema()
{
    int version = userVersion(m_database);
    if (version > kSchemaVersion)
        return fail(m_path + " was written by a newer version");
    char *error = nullptr;
    std::string script = std::string("BEGIN;") + kSchema +
                         "INSERT OR IGNORE INTO store_info (key, value) VALUES ('kind', '" +
                         kStoreMark + "');" +
                         "PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";COMMIT;";
    if (sqlite3_exec(m_database, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        m_message = m_path + ": " + (error ? error : "cannot create the tables");
        sqlite3_free(error);
        sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
        return kStatusError;
    }
    // A file of someone else's that happens to be SQLite is not taken over.
    sqlite3_stmt *statement = nullptr;
    bool ours = false;
    if (sqlite3_prepare_v2(m_database, "SELECT value FROM store_info WHERE key = 'kind'", -1,
                           &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        auto text = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        ours = text && std::string(text) == kStoreMark;
    }
    sqlite3_finalize(statement);
    if (!ours)
        return fail(m_path + " is not a Lumacore store");
    return kStatusOk;
}

uint16_t Store::countRows()
{
    char *error = nullptr;
    if (sqlite3_exec(m_database, kRowCounts, nullptr, nullptr, &error) != SQLITE_OK) {
        m_message = m_path + ": " + (error ? error : "cannot count the rows");
        sqlite3_free(error);
        sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
        return kStatusError;
    }
    return kStatusOk;
}

void Store::close()
{
    std::lock_guard lock(m_mutex);
    if (m_database)
        sqlite3_close(m_database);
    m_database = nullptr;
}

bool Store::isOpen() const { return m_database != nullptr; }

uint16_t Store::backupTo(const std::string &path)
{
    std::lock_guard lock(m_mutex);
    if (!m_database)
        return fail("the store is not open");
    if (path.empty())
        return fail("no file named");
    std::string temporary = path + ".part";
    std::remove(temporary.c_str());
    sqlite3 *target = nullptr;
    if (sqlite3_open_v2(temporary.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        m_message = "cannot write " + path;
        sqlite3_close(target);
        return kStatusError;
    }
    int result = copyDatabase(m_database, target);
    sqlite3_close(target);
    if (result != SQLITE_OK || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        m_message = "cannot write " + path;
        return kStatusError;
    }
    return kStatusOk;
}

uint16_t Store::restoreFrom(const std::string &path)
{
    std::lock_guard lock(m_mutex);
    if (!m_database)
        return fail("the store is not open");
    if (std::string problem = checkStoreFile(path); !problem.empty()) {
        m_message = problem;
        return kStatusError;
    }
    sqlite3 *source = nullptr;
    if (sqlite3_open_v2(path.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(source);
        m_message = "cannot open " + path;
        return kStatusError;
    }
    // The copy runs in one write transaction on our store: it lands whole or not at all.
    int result = copyDatabase(source, m_database);
    sqlite3_close(source);
    if (result != SQLITE_OK)
        return fail("cannot restore from " + path);
    return countRows();
}

}  // namespace lumacore
