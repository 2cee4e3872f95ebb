// The string manager as the program uses it: the first library of ./language, lookups from
// several threads, and a program that runs on without any library.
#include "LanguageTestSupport.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <ostream>
#include <thread>
#include <vector>

namespace {

using platform::FirstFileIn;
using platform::TResStringManager;

// Runs a test in a fresh, empty working folder, as the program runs in its own folder.
class WorkingFolder {
public:
    WorkingFolder() : m_previous(QDir::currentPath())
    {
        EXPECT_TRUE(m_folder.isValid());
        EXPECT_TRUE(QDir::setCurrent(m_folder.path()));
    }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

private:
    QTemporaryDir m_folder;
    QString m_previous;
};

// The process-wide manager is dropped after each test, whatever the test did.
class StringManagerTest : public testing::Test {
protected:
    void TearDown() override
    {
        platform::destroyStringManager();
        platform::forceSystemCodePage("");
    }
};

enum class Entry { Directory, LinkToDirectory, FixtureLibrary, NoLookupLibrary, Garbage, Empty };

void make(const QString &path, Entry kind)
{
    switch (kind) {
    case Entry::Directory: ASSERT_TRUE(QDir().mkpath(path)); break;
    case Entry::LinkToDirectory:
        ASSERT_TRUE(QDir().mkpath(QStringLiteral("elsewhere")));
        ASSERT_TRUE(
            QFile::link(QDir::current().absoluteFilePath(QStringLiteral("elsewhere")), path));
        break;
    case Entry::FixtureLibrary:
        ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_LIBRARY), path));
        break;
    case Entry::NoLookupLibrary:
        ASSERT_TRUE(QFile::copy(QStringLiteral(NO_LOOKUP_LIBRARY), path));
        break;
    case Entry::Garbage: {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is not a shared object\n");
        break;
    }
    case Entry::Empty: {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        break;
    }
    }
}

TEST_F(StringManagerTest, WithoutALanguageFolderEveryTextIsEmptyAndNothingFails)
{
    WorkingFolder folder;
    EXPECT_EQ(platform::stringManager(), nullptr);
    EXPECT_TRUE(platform::GetLanguageString(1001).isEmpty());

    platform::createStringManager();
    ASSERT_NE(platform::stringManager(), nullptr);
    EXPECT_FALSE(platform::stringManager()->isLoaded());
    for (const unsigned int number : {1u, 6u, 1001u, 1084u, 4294967295u}) {
        EXPECT_EQ(platform::stringManager()->text(number), "");
        EXPECT_EQ(platform::GetLanguageStringAnsi(number), "");
        EXPECT_TRUE(platform::GetLanguageString(number).isEmpty());
    }

    const TResStringManager noPath{QString()};
    EXPECT_FALSE(noPath.isLoaded());
    const TResStringManager missing{QStringLiteral("./language/missing.so")};
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.text(1), "");
}

struct FolderCase {
    const char *name;
    std::vector<std::pair<const char *, Entry>> entries;  // created in this order
    bool loaded;
};

void PrintTo(const FolderCase &folderCase, std::ostream *out) { *out << folderCase.name; }

class LanguageFolder : public StringManagerTest, public testing::WithParamInterface<FolderCase> {};

TEST_P(LanguageFolder, FirstMatchingFileIsTheLibrary)
{
    WorkingFolder folder;
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("language")));
    for (const auto &[name, kind] : GetParam().entries)
        make(QStringLiteral("language/") + QString::fromUtf8(name), kind);

    const TResStringManager manager;
    EXPECT_EQ(manager.isLoaded(), GetParam().loaded);
    EXPECT_EQ(manager.text(2), GetParam().loaded ? languagetest::fixtureText(2) : std::string());
    EXPECT_EQ(manager.text(77), "");
}

INSTANTIATE_TEST_SUITE_P(
    Folders, LanguageFolder,
    testing::Values(FolderCase{"Empty", {}, false},
                    FolderCase{"OnlyLibrary", {{"english.so", Entry::FixtureLibrary}}, true},
                    FolderCase{"DirectoryNamedLikeALibraryIsSkipped",
                               {{"b.so", Entry::FixtureLibrary}, {"a.so", Entry::Directory}},
                               true},
                    FolderCase{"LinkToADirectoryIsSkipped",
                               {{"b.so", Entry::FixtureLibrary}, {"a.so", Entry::LinkToDirectory}},
                               true},
                    FolderCase{"OtherFilesAreSkipped",
                               {{"a.txt", Entry::Garbage},
                                {"a.so.bak", Entry::Garbage},
                                {"b.so", Entry::FixtureLibrary}},
                               true},
                    FolderCase{"FirstByNameWinsEvenWhenBroken",
                               {{"b.so", Entry::FixtureLibrary}, {"a.so", Entry::Garbage}},
                               false},
                    FolderCase{"EmptyFileIsNoLibrary", {{"a.so", Entry::Empty}}, false},
                    FolderCase{"LibraryWithoutLookupIsNoLibrary",
                               {{"b.so", Entry::FixtureLibrary}, {"a.so", Entry::NoLookupLibrary}},
                               false}),
    [](const testing::TestParamInfo<FolderCase> &testCase) {
        return std::string(testCase.param.name);
    });

TEST_F(StringManagerTest, FirstFileInFindsTheFirstFileByName)
{
    WorkingFolder folder;
    make(QStringLiteral("help/zeta.chm"), Entry::Directory);  // a directory, not a file
    make(QStringLiteral("help/b.chm"), Entry::Empty);
    make(QStringLiteral("help/a.chm"), Entry::Empty);
    make(QStringLiteral("help/a.txt"), Entry::Empty);

    struct Case {
        QString folder;
        QString pattern;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("./help"), QStringLiteral("*.chm"), QStringLiteral("./help/a.chm")},
        {QStringLiteral("help/"), QStringLiteral("*.chm"), QStringLiteral("help/a.chm")},
        {QStringLiteral("help"), QStringLiteral("b.*"), QStringLiteral("help/b.chm")},
        {QStringLiteral("help"), QStringLiteral("*.pdf"), QString()},
        {QStringLiteral("help"), QStringLiteral("zeta.chm"), QString()},
        {QStringLiteral("missing"), QStringLiteral("*.chm"), QString()},
        {QString(), QStringLiteral("*.chm"), QString()},
        {QStringLiteral("help"), QString(), QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FirstFileIn(c.folder, c.pattern), c.expected)
            << c.folder.toStdString() << " " << c.pattern.toStdString();
}

TEST_F(StringManagerTest, ProgramFolderGivesTheEnglishTexts)
{
    const language::ParsedTable table = languagetest::readTable(ENGLISH_TABLE);
    const QString programDir = qEnvironmentVariable("LUMADIAL_PROGRAM_DIR");
    ASSERT_FALSE(programDir.isEmpty());

    // As at start-up: the working folder is the program folder.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(programDir));
    platform::createStringManager();
    QDir::setCurrent(previous);

    ASSERT_NE(platform::stringManager(), nullptr);
    ASSERT_TRUE(platform::stringManager()->isLoaded());
    for (const language::StringEntry &entry : table.entries) {
        EXPECT_EQ(platform::GetLanguageStringAnsi(entry.number), entry.text) << entry.number;
        EXPECT_EQ(platform::GetLanguageString(entry.number), QString::fromStdString(entry.text))
            << entry.number;
    }
    EXPECT_EQ(platform::GetLanguageString(1084), QStringLiteral("No Operator"));
    EXPECT_TRUE(platform::GetLanguageString(3).isEmpty());

    platform::destroyStringManager();
    EXPECT_EQ(platform::stringManager(), nullptr);
    EXPECT_TRUE(platform::GetLanguageString(1084).isEmpty());
}

TEST_F(StringManagerTest, TextsAreCutTo499Bytes)
{
    const TResStringManager manager{QStringLiteral(FIXTURE_LIBRARY)};
    ASSERT_TRUE(manager.isLoaded());
    EXPECT_EQ(manager.text(1), std::string(498, 'a'));  // never half a character
    EXPECT_EQ(manager.text(2), std::string(499, 'c'));
    EXPECT_EQ(manager.text(3), std::string(499, 'd'));
    EXPECT_EQ(manager.text(4), languagetest::fixtureText(4));
}

TEST_F(StringManagerTest, ConcurrentLookupsGetTheirOwnTexts)
{
    const language::ParsedTable table = languagetest::readTable(ENGLISH_TABLE);
    ASSERT_FALSE(table.entries.empty());
    platform::createStringManager(QString::fromStdString(languagetest::englishLibraryPath()));
    ASSERT_TRUE(platform::stringManager()->isLoaded());

    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                // Each thread walks the table from its own starting point, so that threads ask
                // for different numbers at the same moment.
                for (size_t i = 0; i < table.entries.size(); ++i) {
                    const auto &entry =
                        table.entries[(i + static_cast<size_t>(t) * 61) % table.entries.size()];
                    if (platform::GetLanguageStringAnsi(entry.number) != entry.text)
                        ++wrong;
                }
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(StringManagerTest, TextsFollowAnotherSystemCodePage)
{
    platform::createStringManager(QStringLiteral(FIXTURE_LIBRARY));
    platform::forceSystemCodePage("CP1252");
    // The copyright and euro signs exist in CP1252 (0xA9, 0x80); the emoji does not.
    EXPECT_EQ(platform::GetLanguageStringAnsi(5), "\xA9 \x80 ?");
    EXPECT_EQ(platform::GetLanguageString(5), QString::fromUtf8("\xC2\xA9 \xE2\x82\xAC ?"));
    EXPECT_EQ(platform::GetLanguageStringAnsi(2), std::string(499, 'c'));
}

}  // namespace
