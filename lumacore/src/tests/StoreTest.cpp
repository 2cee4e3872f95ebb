// The PC store: created on first start, backed up and restored whole, full at the capacity it
// reports; a file that is not one of our stores is refused and the current store stays as it was.
#include "Exports.h"
#include "Store.h"
#include "StorePhonebook.h"
#include "StoreSms.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace lumacore;

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder =
            std::filesystem::temp_directory_path() /
            ("lumacore-store-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string file(const char *name) const { return (folder / name).string(); }

    static void execute(Store &store, const char *sql)
    {
        auto lock = store.lock();
        ASSERT_EQ(sqlite3_exec(store.database(), sql, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    static int count(Store &store, const char *table)
    {
        auto lock = store.lock();
        sqlite3_stmt *statement = nullptr;
        std::string sql = std::string("SELECT COUNT(*) FROM ") + table;
        sqlite3_prepare_v2(store.database(), sql.c_str(), -1, &statement, nullptr);
        int result = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
        sqlite3_finalize(statement);
        return result;
    }

    // Fills the table with `rows` rows in one statement.
    static void fill(Store &store, const char *table, const char *columns, uint32_t rows)
    {
        const std::string sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                "WHERE i < " + std::to_string(rows) + ") INSERT INTO " + table +
                                " (id, " + columns + ") SELECT i, 1 FROM n";
        execute(store, sql.c_str());
    }

    std::filesystem::path folder;
};

// The PC storage is opened as the engine opens it, and its capacities asked as the program asks.
class PcStorageTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_EQ(pcStore().open(file("db.dat")), 0) << pcStore().message();
        sizes.size = sizeof sizes;
        sizes.storage = 2;
        ASSERT_EQ(_MEC_GetFieldSizes(&sizes), 0);
    }
    void TearDown() override
    {
        pcStore().close();
        StoreTest::TearDown();
    }

    static uint16_t addMessage()
    {
        _MEC_SMS_RECORD message{};
        message.storage = 2;
        message.status = 4;
        std::strcpy(message.recipient, "+5491140001111");
        return insertPcMessage(message);
    }
    static uint16_t addContact()
    {
        _MEC_CONTACT_RECORD contact{};
        contact.storage = 2;
        std::strcpy(contact.name, "Ana");
        return insertPcContact(contact);
    }

    _MEC_FIELD_SIZES sizes{};
};

constexpr uint16_t kMessagesFull = 20322;  // +CMS ERROR: 322
constexpr uint16_t kContactsFull = 10020;  // +CME ERROR: 20

TEST_F(StoreTest, CreatedWithFolderAndSchemaOnFirstOpen)
{
    Store store;
    std::string path = file("data/lumadial/db.dat");
    ASSERT_EQ(store.open(path), 0) << store.message();
    EXPECT_TRUE(std::filesystem::exists(path));
    for (const char *table :
         {"contacts", "contact_groups", "messages", "call_records", "unread_messages"})
        EXPECT_EQ(count(store, table), 0) << table;
    EXPECT_EQ(checkStoreFile(path), "");
}

TEST_F(StoreTest, BackupAndRestoreRoundTrip)
{
    Store store;
    ASSERT_EQ(store.open(file("db.dat")), 0);
    execute(store, "INSERT INTO contacts (name, mobile) VALUES ('Ana', '+5491100000001')");
    ASSERT_EQ(store.backupTo(file("backup.db")), 0) << store.message();
    EXPECT_FALSE(std::filesystem::exists(file("backup.db.part")));
    execute(store, "DELETE FROM contacts");
    ASSERT_EQ(count(store, "contacts"), 0);
    ASSERT_EQ(store.restoreFrom(file("backup.db")), 0) << store.message();
    EXPECT_EQ(count(store, "contacts"), 1);
}

// The store's own file chosen as the backup's target or the restore's source, under any of its
// names: nothing to copy, and what is written afterwards stays in the store.
TEST_F(StoreTest, TheStoreItselfAsBackupOrRestoreLosesNothing)
{
    std::filesystem::create_directories(folder / "data");
    std::filesystem::create_symlink(folder / "data", folder / "link");
    for (const char *name : {"data/db.dat", "data/../data/db.dat", "link/db.dat"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove(file("data/db.dat"));
        {
            Store store;
            ASSERT_EQ(store.open(file("data/db.dat")), 0) << store.message();
            execute(store, "INSERT INTO contacts (name, mobile) VALUES ('Ana', '1')");
            EXPECT_EQ(store.backupTo(file(name)), 0) << store.message();
            EXPECT_EQ(store.restoreFrom(file(name)), 0) << store.message();
            execute(store, "INSERT INTO contacts (name, mobile) VALUES ('Bruno', '2')");
            EXPECT_EQ(count(store, "contacts"), 2);
        }
        Store reopened;
        ASSERT_EQ(reopened.open(file("data/db.dat")), 0) << reopened.message();
        EXPECT_EQ(count(reopened, "contacts"), 2);
    }
}

TEST_F(StoreTest, RestoreRefusesFilesThatAreNotOurStore)
{
    Store store;
    ASSERT_EQ(store.open(file("db.dat")), 0);
    execute(store, "INSERT INTO call_records (kind, number) VALUES (3, '123')");

    {
        std::ofstream text(file("notes.txt"));
        text << "these are not the records you are looking for\n";
    }
    std::ofstream(file("empty.db")).close();
    {
        // SQLite, but someone else's.
        sqlite3 *other = nullptr;
        sqlite3_open(file("other.db").c_str(), &other);
        sqlite3_exec(other, "CREATE TABLE t (x); PRAGMA user_version = 1;", nullptr, nullptr,
                     nullptr);
        sqlite3_close(other);
    }
    {
        // Ours, but of a newer version.
        Store newer;
        ASSERT_EQ(newer.open(file("newer.db")), 0);
        execute(newer, "PRAGMA user_version = 99");
    }
    for (const char *name : {"notes.txt", "empty.db", "other.db", "newer.db", "missing.db"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(store.restoreFrom(file(name)), 0);
        EXPECT_FALSE(store.message().empty());
        EXPECT_EQ(count(store, "call_records"), 1);
    }
}

TEST_F(StoreTest, OpeningAFileThatIsNotAStoreLeavesItAlone)
{
    {
        std::ofstream text(file("db.dat"));
        text << "precious text";
    }
    Store store;
    EXPECT_NE(store.open(file("db.dat")), 0);
    EXPECT_FALSE(store.isOpen());
    std::ifstream text(file("db.dat"));
    std::string content;
    std::getline(text, content);
    EXPECT_EQ(content, "precious text");
}

TEST_F(StoreTest, ADatabaseThatIsNotOursIsRefusedUntouched)
{
    const std::string path = file("other.db");
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "CREATE TABLE t (x); PRAGMA user_version = 7;", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    const auto before = std::filesystem::last_write_time(path);

    Store store;
    EXPECT_NE(store.open(path), 0);
    EXPECT_FALSE(store.isOpen());
    EXPECT_NE(store.problem().find("not a Lumacore store"), std::string::npos) << store.problem();
    EXPECT_EQ(std::filesystem::last_write_time(path), before);
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt *tables = nullptr;
    sqlite3_prepare_v2(other, "SELECT COUNT(*) FROM sqlite_master", -1, &tables, nullptr);
    ASSERT_EQ(sqlite3_step(tables), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(tables, 0), 1);  // only its own table
    sqlite3_finalize(tables);
    sqlite3_close(other);
}

TEST_F(StoreTest, AStoreHeldByAnotherProgramOrDamagedIsReported)
{
    const std::string path = file("db.dat");
    {
        Store first;
        ASSERT_EQ(first.open(path), 0);
    }
    sqlite3 *holder = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    Store store;
    EXPECT_NE(store.open(path), 0);
    EXPECT_NE(store.problem().find("in use by another program"), std::string::npos)
        << store.problem();
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);

    // The second page overwritten: SQLite still opens the file, the store is damaged.
    {
        std::fstream bytes(path, std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekp(4096);
        const std::string garbage(3000, '\x5a');
        bytes.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    EXPECT_NE(store.open(path), 0);
    EXPECT_NE(store.problem().find("damaged"), std::string::npos) << store.problem();
}

TEST_F(StoreTest, AStoreOfTheFirstVersionIsMigratedWhenOpenedOrRestored)
{
    // The first version's groups had no storage column.
    const std::string old = file("old.db");
    sqlite3 *database = nullptr;
    ASSERT_EQ(sqlite3_open(old.c_str(), &database), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(database,
                           "CREATE TABLE store_info (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                           "INSERT INTO store_info VALUES ('kind', 'lumacore-pc-store');"
                           "CREATE TABLE contact_groups (id INTEGER PRIMARY KEY, name TEXT NOT NULL);"
                           "INSERT INTO contact_groups VALUES (2009, 'Friends');"
                           "PRAGMA user_version = 1;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(database);
    ASSERT_NO_THROW(std::filesystem::copy_file(old, file("old-backup.db")));

    Store store;
    ASSERT_EQ(store.open(old), 0) << store.message();
    EXPECT_EQ(count(store, "contacts"), 0);
    auto groupsOfThePc = [&] {
        auto lock = store.lock();
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(store.database(),
                           "SELECT COUNT(*) FROM contact_groups WHERE storage = 2", -1, &statement,
                           nullptr);
        int result = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
        sqlite3_finalize(statement);
        return result;
    };
    EXPECT_EQ(groupsOfThePc(), 1);
    EXPECT_EQ(checkStoreFile(old), "");

    Store current;
    ASSERT_EQ(current.open(file("db.dat")), 0);
    ASSERT_EQ(current.restoreFrom(file("old-backup.db")), 0) << current.message();
    EXPECT_EQ(count(current, "call_records"), 0);  // the tables of later versions are there too
}

TEST_F(StoreTest, WritesOfABatchLandTogether)
{
    const std::string path = file("db.dat");
    Store store;
    ASSERT_EQ(store.open(path), 0);
    sqlite3 *reader = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    auto seen = [&] {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(reader, "SELECT COUNT(*) FROM contacts", -1, &statement, nullptr);
        int result = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
        sqlite3_finalize(statement);
        return result;
    };
    ASSERT_EQ(store.beginBatch(), 0);
    ASSERT_EQ(store.beginBatch(), 0);  // nested: one transaction
    execute(store, "INSERT INTO contacts (name) VALUES ('Ana')");
    execute(store, "INSERT INTO contacts (name) VALUES ('Bob')");
    ASSERT_EQ(store.endBatch(), 0);
    EXPECT_EQ(seen(), 0);
    ASSERT_EQ(store.endBatch(), 0);
    EXPECT_EQ(seen(), 2);
    EXPECT_NE(store.endBatch(), 0);  // none open
    sqlite3_close(reader);
}

TEST_F(StoreTest, BackupToAnUnwritablePlaceFailsCleanly)
{
    Store store;
    ASSERT_EQ(store.open(file("db.dat")), 0);
    EXPECT_NE(store.backupTo(file("no/such/folder/backup.db")), 0);
    EXPECT_NE(store.backupTo(""), 0);
}

TEST_F(StoreTest, DefaultPathFollowsTheEnvironment)
{
    ::setenv("LUMACORE_DB", "/x/y.db", 1);
    EXPECT_EQ(Store::defaultPath(), "/x/y.db");
    ::unsetenv("LUMACORE_DB");
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(Store::defaultPath(), "/data/lumadial/db.dat");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(Store::defaultPath(), "/home/u/.local/share/lumadial/db.dat");
}

}  // namespace

namespace {

// The capacity the program shows and checks against is the one at which the store refuses.
TEST_F(PcStorageTest, TakesAsManyAsItsFieldSizesSay)
{
    fill(pcStore(), "messages", "status", sizes.messageCapacity - 1);
    fill(pcStore(), "contacts", "group_id", sizes.contactCapacity - 1);
    EXPECT_EQ(addMessage(), 0);
    EXPECT_EQ(addMessage(), kMessagesFull);
    EXPECT_EQ(addContact(), 0);
    EXPECT_EQ(addContact(), kContactsFull);
    EXPECT_EQ(count(pcStore(), "messages"), int(sizes.messageCapacity));
    EXPECT_EQ(count(pcStore(), "contacts"), int(sizes.contactCapacity));
}

// The rows the capacity check reads are kept, not counted: they must follow every write that
// stays and none that does not.
TEST_F(PcStorageTest, KeptCountsFollowRollbacksFailuresDeletesAndRestores)
{
    ASSERT_EQ(pcStore().backupTo(file("empty.db")), 0);
    fill(pcStore(), "messages", "status", sizes.messageCapacity - 1);
    execute(pcStore(), "BEGIN; INSERT INTO messages (status) VALUES (1); ROLLBACK");
    execute(pcStore(), "BEGIN; SAVEPOINT one; INSERT INTO messages (status) VALUES (1); "
                       "ROLLBACK TO one; COMMIT");
    {
        auto lock = pcStore().lock();
        EXPECT_NE(sqlite3_exec(pcStore().database(), "INSERT INTO messages (id, status) "
                               "VALUES (1, 1)", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    EXPECT_EQ(addMessage(), 0);
    EXPECT_EQ(addMessage(), kMessagesFull);
    ASSERT_EQ(deletePcMessage(1), 0);
    EXPECT_EQ(addMessage(), 0);
    EXPECT_EQ(addMessage(), kMessagesFull);

    fill(pcStore(), "contacts", "group_id", sizes.contactCapacity);
    EXPECT_EQ(addContact(), kContactsFull);
    execute(pcStore(), "DELETE FROM contacts WHERE id <= 2");
    EXPECT_EQ(addContact(), 0);
    EXPECT_EQ(addContact(), 0);
    EXPECT_EQ(addContact(), kContactsFull);

    // A restored store holds what the file held: an empty one takes everything again.
    ASSERT_EQ(pcStore().restoreFrom(file("empty.db")), 0) << pcStore().message();
    EXPECT_EQ(addMessage(), 0);
    EXPECT_EQ(addContact(), 0);
    int contacts = -1;
    ASSERT_EQ(countPcContacts(contacts), 0);
    EXPECT_EQ(contacts, 1);
}

}  // namespace
