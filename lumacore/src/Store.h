// The PC store: one SQLite database (db.dat) with the contacts, groups, messages, call records
// and connection log kept on the PC. Backup and restore go through SQLite's online backup, so a
// copy is always a whole, consistent database.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct sqlite3;

namespace lumacore {

// The rows the messages and the contacts tables hold, as SQL expressions: the store keeps the
// counts in step with every insert and delete, so reading one costs no count of the table.
constexpr const char *kMessageRowsSql =
    "(SELECT rows FROM temp.row_counts WHERE name = 'messages')";
constexpr const char *kContactRowsSql =
    "(SELECT rows FROM temp.row_counts WHERE name = 'contacts')";

class Store {
public:
    // Raised with each schema change, with a migration from the version before (Store.cpp); a
    // store of an older version is migrated when opened or restored, a newer one refused.
    static constexpr int kSchemaVersion = 3;

    // $LUMACORE_DB, else $XDG_DATA_HOME/lumadial/db.dat, else ~/.local/share/lumadial/db.dat.
    static std::string defaultPath();

    Store() = default;
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;
    ~Store() { close(); }

    // Opens (creating folder, file and schema when missing, migrating an older store). Status
    // 0, or 7003 with message(): a database that is not ours (left untouched), damaged, of a
    // newer version, or held by another program.
    uint16_t open(const std::string &path);
    // Opens the default path unless that failed a moment ago: a store that
    // cannot be used fails each call at once instead of each call waiting for it again.
    uint16_t ensureOpen();
    // Why the store cannot be used now, for the person; empty when it can.
    std::string problem() const;
    // After a statement failed (hold lock()): a store held by another program or found damaged
    // is reported through problem() and fails calls at once for a while; true then.
    bool failedStatement();
    // Calls fail at once (hold lock()).
    bool failingFast() const;
    void close();
    bool isOpen() const;
    const std::string &path() const { return m_path; }
    const std::string &message() const { return m_message; }

    // Writes a consistent copy to `path` (through a temporary file, so a failed backup never
    // leaves half a file where a good one was).
    uint16_t backupTo(const std::string &path);
    // Replaces the store with the file's content, only when the file is one of our stores; a
    // file that is not (not SQLite, another schema, damaged) is refused and nothing changes.
    uint16_t restoreFrom(const std::string &path);

    // A transaction over many writes (a long run's): the writes between the two commit
    // together, or, when the commit fails, not at all. Batches nest; the outermost commits.
    uint16_t beginBatch();
    uint16_t endBatch();

    // For the feature code that fills the tables; hold lock() while using it.
    sqlite3 *database() const { return m_database; }
    std::unique_lock<std::mutex> lock() { return std::unique_lock(m_mutex); }

private:
    uint16_t createSchema();
    uint16_t migrate(int version);
    uint16_t countRows();
    uint16_t fail(const std::string &what);
    uint16_t refuse(const std::string &why);
    void closeLocked();

    mutable std::mutex m_mutex;
    sqlite3 *m_database = nullptr;
    std::string m_path;
    std::string m_message;
    std::string m_problem;
    std::chrono::steady_clock::time_point m_failFastUntil{};
    int m_batchDepth = 0;
};

// The engine's one store, opened by _MEC_Startup.
Store &pcStore();

// Why a file is not one of our stores, or empty when it is.
std::string checkStoreFile(const std::string &path);

}  // namespace lumacore
