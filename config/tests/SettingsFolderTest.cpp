// The store over a folder of delivered files that it must never change, and the user's own
// settings folder, which does not exist until the first write.

#include "ConfigTestSupport.h"

#include "FakeLumacore.h"

#include <functional>
#include <map>

using namespace configtest;

namespace {

class SettingsFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        ASSERT_TRUE(m_delivered.isValid());
        ASSERT_TRUE(m_home.isValid());
        AllConfig config{};
        ApplyAllConfigDefaults(config, false);
        deliver(kAllConfigFile, bytesOf(config));
        deliver(kProfileListFile,
                bytesOf(std::vector{makeProfile("Brisa AR", "ar"), makeProfile("Brisa PY", "py"),
                                    makeProfile("Own", "own")}));
        deliver(kDefaultProfileFile, bytesOf(makeProfile("Brisa AR", "ar")));
        VolConfig levels{};
        levels.microphone.set(4);
        deliver(kVolConfigFile, bytesOf(levels));
    }
    void TearDown() override { lumacore_fake::reset(); }

    void deliver(std::string_view name, const std::string &bytes)
    {
        const std::string file = m_delivered.filePath(QString::fromUtf8(name)).toStdString();
        ASSERT_TRUE(ranfile::writeFileAtomically(file, bytes, ranfile::FileAccess::Shared));
    }
    std::map<QString, std::string> deliveredFiles() const
    {
        std::map<QString, std::string> files;
        for (const QString &name : QDir(m_delivered.path()).entryList(QDir::Files | QDir::Hidden))
            files[name] = ranfile::readFile(m_delivered.filePath(name).toStdString()).value();
        return files;
    }
    // A store as the program makes it, its settings folder not made yet.
    TBL_File freshStore(const QString &caseName) const
    {
        TBL_File store{QString()};
        store.setFolders(m_home.path() + QStringLiteral("/") + caseName + "/lumadial",
                         m_delivered.path());
        EXPECT_TRUE(store.LoadAllConfig());
        EXPECT_TRUE(store.LoadDefaultProfile());
        EXPECT_TRUE(store.LoadFactoryProfile());
        return store;
    }

    QTemporaryDir m_delivered;
    QTemporaryDir m_home;
};

TEST_F(SettingsFolderTest, ReadsTakeTheDeliveredFilesWithoutCopyingThem)
{
    TBL_File store = freshStore(QStringLiteral("reads"));
    EXPECT_EQ(std::string(ProfileName(store.defaultProfile())), "Brisa AR");
    VolConfig levels{};
    ASSERT_TRUE(store.LoadVolConfig(levels));
    EXPECT_EQ(levels.microphone.get(), 4);
    std::vector<ProfileRecord> profiles;
    EXPECT_EQ(store.LoadProfileList(profiles), ProfileFileStatus::Ok);
    EXPECT_EQ(profiles.size(), 3u);
    ModemParams params;
    ASSERT_TRUE(store.GetDefaultModemParams(params));
    EXPECT_EQ(params.apn, "ar");
    EXPECT_FALSE(QFileInfo::exists(store.folder()));
}

TEST_F(SettingsFolderTest, EveryWriteMakesTheUsersCopyAndLeavesTheDeliveredFileAlone)
{
    const auto delivered = deliveredFiles();
    const struct {
        const char *name;
        std::function<bool(TBL_File &)> write;
        std::string_view file;
        // What the user's copy holds: the delivered file with the change, never the change alone.
        std::function<void(TBL_File &)> check;
    } cases[] = {
        {"SaveAllConfig", [](TBL_File &s) { return s.SaveAllConfig(); }, kAllConfigFile, {}},
        {"RestoreAllConfigDefaults",
         [](TBL_File &s) { return s.RestoreAllConfigDefaults(); },
         kAllConfigFile,
         {}},
        {"ResetSoundFile", [](TBL_File &s) { return s.ResetSoundFile(1); }, kAllConfigFile,
         [](TBL_File &s) {
             std::string file;
             ASSERT_TRUE(s.GetSoundFile(3, file));
             EXPECT_EQ(file, DeliveredSoundFile(3));
         }},
        {"AdvanceConcatReference",
         [](TBL_File &s) { return s.AdvanceConcatReference(); },
         kAllConfigFile,
         {}},
        {"AppendProfile", [](TBL_File &s) { return s.AppendProfile(makeProfile("New")); },
         kProfileListFile,
         [](TBL_File &s) {
             std::vector<ProfileRecord> profiles;
             ASSERT_EQ(s.LoadProfileList(profiles), ProfileFileStatus::Ok);
             EXPECT_EQ(profiles.size(), 4u);
         }},
        {"DeleteProfile", [](TBL_File &s) { return s.DeleteProfile("Own"); }, kProfileListFile,
         [](TBL_File &s) {
             std::vector<ProfileRecord> profiles;
             ASSERT_EQ(s.LoadProfileList(profiles), ProfileFileStatus::Ok);
             ASSERT_EQ(profiles.size(), 2u);
             EXPECT_EQ(std::string(ProfileName(profiles[1])), "Brisa PY");
         }},
        {"ReplaceProfile",
         [](TBL_File &s) {
             return s.ReplaceProfile(makeProfile("Brisa AR"), makeProfile("Brisa AR", "new"));
         },
         kProfileListFile,
         [](TBL_File &s) {
             ModemParams params;
             ASSERT_TRUE(s.GetDefaultModemParams(params));
             EXPECT_EQ(params.apn, "new");
         }},
        {"SetDefaultProfile",
         [](TBL_File &s) { return s.SetDefaultProfile("Brisa PY"); },
         kDefaultProfileFile,
         {}},
        {"StoreProfileAsDefault",
         [](TBL_File &s) { return s.StoreProfileAsDefault(makeProfile("Brisa AR", "typed")); },
         kProfileListFile,
         {}},
        {"SaveVolConfig",
         [](TBL_File &s) { return s.SaveVolConfig(VolConfig{}); },
         kVolConfigFile,
         {}},
    };
    for (const auto &example : cases) {
        SCOPED_TRACE(example.name);
        TBL_File store = freshStore(QString::fromLatin1(example.name));
        ASSERT_TRUE(example.write(store));
        EXPECT_TRUE(
            ranfile::fileExists(store.folder().toStdString() + "/" + std::string(example.file)));
        EXPECT_EQ(deliveredFiles(), delivered);
        if (example.check)
            example.check(store);
    }
}

}  // namespace
