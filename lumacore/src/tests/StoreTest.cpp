// The PC store: created on first start, backed up and restored whole; a file that is not one of
// our stores is refused and the current store stays as it was.
#include "Store.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

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

    std::filesystem::path folder;
};

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
