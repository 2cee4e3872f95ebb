// Writes that fail part-way leave the old file whole; files with passwords are owner-only;
// the call volume file.

#include "ConfigTestSupport.h"

#include <functional>

using namespace configtest;
using ranfile::WriteStep;

namespace {

class SafeWriteTest : public StoreTest {};

struct Operation {
    const char *name;
    std::string_view file;  // the file the operation rewrites
    std::function<bool(TBL_File &)> run;
};

// Every operation that rewrites a file, each failing at every step of the write.
TEST_F(SafeWriteTest, FailedWriteLeavesTheOldFileIntact)
{
    const std::vector<Operation> operations = {
        {"SaveAllConfig", kAllConfigFile, [](TBL_File &s) { return s.SaveAllConfig(); }},
        {"RestoreAllConfigDefaults", kAllConfigFile,
         [](TBL_File &s) { return s.RestoreAllConfigDefaults(); }},
        {"AdvanceConcatReference", kAllConfigFile,
         [](TBL_File &s) { return s.AdvanceConcatReference(); }},
        {"ResetSoundFile", kAllConfigFile, [](TBL_File &s) { return s.ResetSoundFile(1); }},
        {"AppendProfile", kProfileListFile,
         [](TBL_File &s) { return s.AppendProfile(makeProfile("New")); }},
        {"DeleteProfile", kProfileListFile, [](TBL_File &s) { return s.DeleteProfile("B"); }},
        {"ReplaceProfile", kProfileListFile,
         [](TBL_File &s) { return s.ReplaceProfile(makeProfile("B"), makeProfile("B2")); }},
        {"WriteDefaultProfile", kDefaultProfileFile,
         [](TBL_File &s) { return s.WriteDefaultProfile(makeProfile("B")); }},
        {"SetDefaultProfile", kDefaultProfileFile,
         [](TBL_File &s) { return s.SetDefaultProfile("B"); }},
        {"SaveVolConfig", kVolConfigFile,
         [](TBL_File &s) {
             VolConfig levels{};
             levels.earphone.set(5);
             return s.SaveVolConfig(levels);
         }},
    };
    const std::string oldSettings(4056, '\x5A');
    const std::string oldProfiles =
        bytesOf(std::vector<ProfileRecord>{makeProfile("A"), makeProfile("B")});
    const std::string oldDefault = bytesOf(makeProfile("A", "old default"));
    const std::string oldLevels(12, '\x01');

    for (const Operation &operation : operations) {
        for (const WriteStep step :
             {WriteStep::Create, WriteStep::Write, WriteStep::Sync, WriteStep::Rename}) {
            SCOPED_TRACE(std::string(operation.name) + " failing at step " +
                         std::to_string(int(step)));
            writeRaw(kAllConfigFile, oldSettings);
            writeRaw(kProfileListFile, oldProfiles);
            writeRaw(kDefaultProfileFile, oldDefault);
            writeRaw(kVolConfigFile, oldLevels);
            const QStringList filesBefore = folderEntries();
            m_store.defaultProfile() = makeProfile("A", "old default");

            ranfile::setWriteFailureForTesting(step);
            EXPECT_FALSE(operation.run(m_store));
            ranfile::setWriteFailureForTesting(std::nullopt);

            EXPECT_EQ(readRaw(kAllConfigFile), oldSettings);
            EXPECT_EQ(readRaw(kProfileListFile), oldProfiles);
            EXPECT_EQ(readRaw(kDefaultProfileFile), oldDefault);
            EXPECT_EQ(readRaw(kVolConfigFile), oldLevels);
            EXPECT_EQ(folderEntries(), filesBefore);  // no temporary file left behind
            EXPECT_EQ(apnOf(m_store.defaultProfile()), "old default");
        }
        // And the same operation without a fault does write.
        writeRaw(kProfileListFile, oldProfiles);
        m_store.defaultProfile() = makeProfile("A", "old default");
        EXPECT_TRUE(operation.run(m_store)) << operation.name;
        EXPECT_NE(readRaw(operation.file), operation.file == kAllConfigFile        ? oldSettings
                                           : operation.file == kProfileListFile    ? oldProfiles
                                           : operation.file == kDefaultProfileFile ? oldDefault
                                                                                   : oldLevels)
            << operation.name;
    }
}

TEST_F(SafeWriteTest, FilesWithPasswordsAreOwnerOnly)
{
    // Files laid out earlier with looser permissions are tightened on the next write.
    writeRaw(kProfileListFile, bytesOf(makeProfile("A")));
    writeRaw(kDefaultProfileFile, bytesOf(makeProfile("A")));
    ::chmod(path(kProfileListFile).c_str(), 0644);
    ::chmod(path(kDefaultProfileFile).c_str(), 0666);
    const mode_t oldMask = ::umask(0);  // whatever the umask allows

    EXPECT_TRUE(m_store.AppendProfile(makeProfile("B")));
    EXPECT_EQ(permissionsOf(kProfileListFile), 0600u);
    EXPECT_TRUE(m_store.WriteDefaultProfile(makeProfile("B")));
    EXPECT_EQ(permissionsOf(kDefaultProfileFile), 0600u);

    ::unlink(path(kProfileListFile).c_str());
    ::unlink(path(kDefaultProfileFile).c_str());
    EXPECT_TRUE(m_store.AppendProfile(makeProfile("A")));
    EXPECT_TRUE(m_store.AppendProfile(makeProfile("B")));
    EXPECT_EQ(permissionsOf(kProfileListFile), 0600u);
    EXPECT_TRUE(m_store.DeleteProfile("A"));
    EXPECT_EQ(permissionsOf(kProfileListFile), 0600u);
    EXPECT_TRUE(m_store.SetDefaultProfile("B"));
    EXPECT_EQ(permissionsOf(kDefaultProfileFile), 0600u);

    // A leftover tempconfig.ran that anybody could read is not reused as it was.
    writeRaw(kTempProfileListFile, "leftover");
    ::chmod(path(kTempProfileListFile).c_str(), 0666);
    EXPECT_TRUE(m_store.AppendProfile(makeProfile("C")));
    EXPECT_TRUE(m_store.DeleteProfile("C"));
    EXPECT_FALSE(ranfile::fileExists(path(kTempProfileListFile)));
    EXPECT_EQ(permissionsOf(kProfileListFile), 0600u);

    // The settings file holds no secret and stays readable as before.
    EXPECT_TRUE(m_store.SaveAllConfig());
    EXPECT_EQ(permissionsOf(kAllConfigFile), 0644u);
    ::umask(oldMask);
}

TEST_F(SafeWriteTest, VolumeFileIsCreatedWithLevelTwo)
{
    VolConfig levels{};
    ASSERT_TRUE(m_store.LoadVolConfig(levels));
    EXPECT_EQ(readRaw(kVolConfigFile), std::string("\2\0\0\0\2\0\0\0\2\0\0\0", 12));

    levels.microphone.set(5);
    levels.earphone.set(0);
    levels.savedEarphone.set(3);
    ASSERT_TRUE(m_store.SaveVolConfig(levels));
    VolConfig loaded{};
    ASSERT_TRUE(m_store.LoadVolConfig(loaded));
    EXPECT_EQ(bytesOf(loaded), std::string("\5\0\0\0\0\0\0\0\3\0\0\0", 12));

    // A short file keeps level 2 for what it lacks.
    writeRaw(kVolConfigFile, std::string("\4\0\0\0", 4));
    ASSERT_TRUE(m_store.LoadVolConfig(loaded));
    EXPECT_EQ(loaded.microphone.get(), 4);
    EXPECT_EQ(loaded.earphone.get(), 2);
    EXPECT_EQ(loaded.savedEarphone.get(), 2);
}

}  // namespace
