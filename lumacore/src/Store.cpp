#include "Store.h"

#include "Status.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <iterator>

namespace lumacore {

namespace {

// Marks a database as ours, beside PRAGMA user_version (which any SQLite file may set).
constexpr const char *kStoreMark = "lumacore-pc-store";

constexpr const char *kSchema = R"sql(
CREATE TABLE IF NOT EXISTS store_info (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS contact_groups (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    storage INTEGER NOT NULL DEFAULT 2);
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

// A store another program holds is reported, not waited for: the window would stand still.
constexpr int kBusyWaitMs = 250;
// After a failure, calls fail at once for a while instead of each waiting for the same answer.
constexpr auto kFailFastFor = std::chrono::seconds(3);
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

constexpr const char *kDropRowCounts = R"sql(
DROP TRIGGER IF EXISTS temp.messages_added;
DROP TRIGGER IF EXISTS temp.messages_removed;
DROP TRIGGER IF EXISTS temp.contacts_added;
DROP TRIGGER IF EXISTS temp.contacts_removed;
)sql";

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

bool execute(sqlite3 *database, const char *sql)
{
    return sqlite3_exec(database, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool hasColumn(sqlite3 *database, const char *table, const char *column)
{
    std::string sql = std::string("SELECT ") + column + " FROM " + table + " LIMIT 0";
    sqlite3_stmt *statement = nullptr;
    bool found = sqlite3_prepare_v2(database, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK;
    sqlite3_finalize(statement);
    return found;
}

// Each brings a store of version n + 1 to version n + 2 (the first one a store of version 1),
// inside the transaction that then sets the version.
bool groupsOfEveryStorage(sqlite3 *database)
{
    return hasColumn(database, "contact_groups", "storage") ||
           execute(database,
                   "ALTER TABLE contact_groups ADD COLUMN storage INTEGER NOT NULL DEFAULT 2");
}

using Migration = bool (*)(sqlite3 *);
constexpr Migration kMigrations[] = {groupsOfEveryStorage};
static_assert(std::size(kMigrations) == Store::kSchemaVersion - 1,
              "every schema version but the first has its migration");

// Why SQLite refused, in words for the person who has to do something about it.
std::string describe(const std::string &path, int code, sqlite3 *database)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return path + " is in use by another program";
    case SQLITE_NOTADB: return path + " is not a Lumacore store";
    case SQLITE_CORRUPT: return path + " is damaged";
    case SQLITE_FULL: return "the disk holding " + path + " is full";
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN: return path + " cannot be written";
    default: return path + ": " + (database ? sqlite3_errmsg(database) : sqlite3_errstr(code));
    }
}

// What a database is to us, read without writing anything.
struct Inspection {
    enum Kind { Empty, Ours, Foreign, Unreadable } kind = Unreadable;
    int version = 0;
    std::string problem;
};

// The store's mark; `failure` is SQLite's code when the table is there but cannot be read.
std::string markOf(sqlite3 *database, int &failure)
{
    sqlite3_stmt *statement = nullptr;
    std::string mark;
    failure = SQLITE_OK;
    if (sqlite3_prepare_v2(database, "SELECT value FROM store_info WHERE key = 'kind'", -1,
                           &statement, nullptr) == SQLITE_OK) {
        const int step = sqlite3_step(statement);
        if (step == SQLITE_ROW) {
            auto text = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
            mark = text ? text : "";
        } else if (step != SQLITE_DONE) {
            failure = sqlite3_extended_errcode(database);
        }
    } else if (sqlite3_errcode(database) != SQLITE_ERROR) {
        failure = sqlite3_extended_errcode(database);  // no such table is SQLITE_ERROR
    }
    sqlite3_finalize(statement);
    return mark;
}

Inspection inspect(sqlite3 *database, const std::string &path)
{
    Inspection found;
    sqlite3_stmt *statement = nullptr;
    int step = sqlite3_prepare_v2(database, "SELECT COUNT(*) FROM sqlite_master", -1, &statement,
                                  nullptr);
    if (step == SQLITE_OK)
        step = sqlite3_step(statement);
    const int tables = step == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    const int failure = step == SQLITE_ROW ? SQLITE_OK : sqlite3_extended_errcode(database);
    sqlite3_finalize(statement);
    if (failure != SQLITE_OK) {
        found.problem = describe(path, failure, database);
        return found;
    }
    if (tables == 0) {
        found.kind = Inspection::Empty;
        return found;
    }
    int unreadable = SQLITE_OK;
    const std::string mark = markOf(database, unreadable);
    if (unreadable != SQLITE_OK) {
        found.problem = describe(path, unreadable, database);
        return found;
    }
    if (mark != kStoreMark) {
        found.kind = Inspection::Foreign;
        found.problem = path + " is not a Lumacore store";
        return found;
    }
    found.kind = Inspection::Ours;
    found.version = userVersion(database);
    if (found.version < 1 || found.version > Store::kSchemaVersion) {
        found.problem = path + (found.version > Store::kSchemaVersion
                                    ? " was written by a newer version"
                                    : " is a store of an unknown version");
        return found;
    }
    statement = nullptr;
    const char *verdict = nullptr;
    if (sqlite3_prepare_v2(database, "PRAGMA quick_check", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        verdict = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
    if (!verdict || std::string(verdict) != "ok") {
        const int code = sqlite3_extended_errcode(database);
        found.problem = describe(path, (code & 0xff) == SQLITE_BUSY ? code : SQLITE_CORRUPT, nullptr);
    }
    sqlite3_finalize(statement);
    return found;
}

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
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
    Inspection found = inspect(database, path);
    sqlite3_close(database);
    if (found.kind == Inspection::Empty)
        return path + " is not a Lumacore store";
    return found.problem;
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
    closeLocked();
    m_path = path;
    std::error_code ignored;
    auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ignored);
    if (sqlite3_open_v2(path.c_str(), &m_database,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        return refuse(describe(path, sqlite3_extended_errcode(m_database), m_database));
    }
    sqlite3_busy_timeout(m_database, kBusyWaitMs);
    Inspection found = inspect(m_database, path);
    // A database that is not ours, or not readable, is left exactly as it was.
    if (!found.problem.empty())
        return refuse(found.problem);
    uint16_t status = found.kind == Inspection::Empty ? createSchema() : migrate(found.version);
    if (status == kStatusOk)
        status = countRows();
    if (status != kStatusOk)
        return refuse(m_message);
    m_problem.clear();
    m_failFastUntil = {};
    return kStatusOk;
}

uint16_t Store::refuse(const std::string &why)
{
    m_message = why;
    m_problem = why;
    m_failFastUntil = std::chrono::steady_clock::now() + kFailFastFor;
    closeLocked();
    return kStatusError;
}

uint16_t Store::ensureOpen()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_database)
            return kStatusOk;
        if (std::chrono::steady_clock::now() < m_failFastUntil)
            return kStatusError;
    }
    return open(defaultPath());
}

bool Store::failedStatement()
{
    // The caller holds lock().
    if (!m_database)
        return false;
    const int code = sqlite3_extended_errcode(m_database);
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        m_problem = m_message = describe(m_path, code, m_database);
        m_failFastUntil = std::chrono::steady_clock::now() + kFailFastFor;
        return true;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        m_problem = m_message = describe(m_path, code, m_database);
        m_failFastUntil = std::chrono::steady_clock::now() + kFailFastFor;
        closeLocked();
        return true;
    default: m_message = describe(m_path, code, m_database); return false;
    }
}

bool Store::failingFast() const
{
    return std::chrono::steady_clock::now() < m_failFastUntil;
}

std::string Store::problem() const
{
    std::lock_guard lock(m_mutex);
    return m_database && !failingFast() ? std::string() : m_problem;
}

uint16_t Store::createSchema()
{
    std::string script = std::string("BEGIN IMMEDIATE;") + kSchema +
                         "INSERT OR IGNORE INTO store_info (key, value) VALUES ('kind', '" +
                         kStoreMark + "');" + "PRAGMA user_version = " +
                         std::to_string(kSchemaVersion) + ";COMMIT;";
    char *error = nullptr;
    if (sqlite3_exec(m_database, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        m_message = describe(m_path, sqlite3_extended_errcode(m_database), m_database);
        sqlite3_free(error);
        execute(m_database, "ROLLBACK");
        return kStatusError;
    }
    return kStatusOk;
}

uint16_t Store::migrate(int version)
{
    if (version == kSchemaVersion)
        return kStatusOk;
    // Every step and the new version in one transaction: a store is of one version or the next.
    bool done = execute(m_database, "BEGIN IMMEDIATE");
    for (int from = version; done && from < kSchemaVersion; ++from)
        done = kMigrations[from - 1](m_database);
    done = done && execute(m_database, kSchema) &&
           execute(m_database,
                   ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str()) &&
           execute(m_database, "COMMIT");
    if (done)
        return kStatusOk;
    m_message = describe(m_path, sqlite3_extended_errcode(m_database), m_database);
    execute(m_database, "ROLLBACK");
    return kStatusError;
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
    closeLocked();
}

void Store::closeLocked()
{
    if (m_database)
        sqlite3_close(m_database);  // an open batch is rolled back
    m_database = nullptr;
    m_batchDepth = 0;
}

uint16_t Store::beginBatch()
{
    std::lock_guard lock(m_mutex);
    if (!m_database)
        return fail("the store is not open");
    if (m_batchDepth == 0 && !execute(m_database, "BEGIN IMMEDIATE")) {
        failedStatement();
        return kStatusError;
    }
    ++m_batchDepth;
    return kStatusOk;
}

uint16_t Store::endBatch()
{
    std::lock_guard lock(m_mutex);
    if (!m_database || m_batchDepth == 0)
        return fail("no transaction to commit");
    if (--m_batchDepth > 0)
        return kStatusOk;
    if (execute(m_database, "COMMIT"))
        return kStatusOk;
    failedStatement();
    if (m_database)
        execute(m_database, "ROLLBACK");
    return kStatusError;
}

bool Store::isOpen() const { return m_database != nullptr; }

namespace {

// The same file under any of its names (a link, "..", a relative path).
bool sameFile(const std::string &one, const std::string &other)
{
    std::error_code error;
    return std::filesystem::equivalent(one, other, error) && !error;
}

}  // namespace

uint16_t Store::backupTo(const std::string &path)
{
    std::lock_guard lock(m_mutex);
    if (!m_database)
        return fail("the store is not open");
    if (path.empty())
        return fail("no file named");
    // The store's own file holds it all already; writing a copy over it would cut the open
    // store off from its file and lose every later change.
    if (sameFile(path, m_path))
        return kStatusOk;
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
    // Restoring the store from itself leaves it as it is.
    if (sameFile(path, m_path))
        return kStatusOk;
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
    // The counting triggers hang on the tables the copy replaces: a migration of the copy would
    // find them twice. They are set up again on what the store holds afterwards.
    sqlite3_exec(m_database, kDropRowCounts, nullptr, nullptr, nullptr);
    // The copy runs in one write transaction on our store: it lands whole or not at all.
    int result = copyDatabase(source, m_database);
    sqlite3_close(source);
    if (result != SQLITE_OK) {
        const uint16_t status = fail("cannot restore from " + path);
        countRows();
        return status;
    }
    // A backup of an older version is brought up to this one.
    const uint16_t status = migrate(userVersion(m_database));
    const uint16_t counted = countRows();
    return status != kStatusOk ? status : counted;
}

}  // namespace lumacore
