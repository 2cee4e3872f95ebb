// The .ran files the build lays into the program folder decode to the delivered profiles and
// settings, and work with the store.

#include "ConfigTestSupport.h"

#include "FakeLumacore.h"

#include <cstdlib>

using namespace configtest;

namespace {

QString programFolder()
{
    const char *folder = std::getenv("LUMADIAL_PROGRAM_DIR");
    return folder ? QString::fromLocal8Bit(folder) : QString();
}

std::string field(const char *text, size_t size)
{
    return std::string(platform::fieldText(text, size));
}
#define FIELD(record, member) field((record).member, sizeof(record).member)

class DeliveredFilesTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        lumacore_fake::reset();
        ASSERT_FALSE(programFolder().isEmpty());
        m_delivered.setFolder(programFolder());
    }
    TBL_File m_delivered{QString()};
};

TEST_F(DeliveredFilesTest, ProfileListStartsWithTheThreeProtectedProfiles)
{
    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(m_delivered.LoadProfileList(profiles), ProfileFileStatus::Ok);
    ASSERT_GE(profiles.size(), 3u);

    const struct {
        const char *name;
        const char *apn;
        const char *auth;
    } expected[] = {
        {"Brisa AR", "internet.brisa.ar", "PAP"},
        {"Brisa PY", "internet.brisa.py", "CHAP"},
        {"Brisa UY", "internet.brisa.uy", "PAP"},
    };
    for (size_t i = 0; i < 3; ++i) {
        const ProfileRecord &profile = profiles[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(FIELD(profile, name), expected[i].name);
        EXPECT_EQ(FIELD(profile, apn), expected[i].apn);
        EXPECT_EQ(FIELD(profile, authentication), expected[i].auth);
        EXPECT_EQ(FIELD(profile, apnAutomatic), "0");
        EXPECT_EQ(FIELD(profile, dnsAutomatic), "1");
        EXPECT_EQ(FIELD(profile, primaryDns), "");
        EXPECT_EQ(FIELD(profile, pdpAddressAutomatic), "1");
        EXPECT_EQ(FIELD(profile, pdpType), "IP");
        EXPECT_EQ(FIELD(profile, dialNumber), "*99#");
        EXPECT_EQ(FIELD(profile, askCredentials), "0");
        EXPECT_EQ(FIELD(profile, saveCredentials), "1");
    }

    ASSERT_TRUE(m_delivered.LoadDefaultProfile());
    EXPECT_EQ(bytesOf(m_delivered.defaultProfile()), bytesOf(profiles.front()));
    for (const std::string_view name : {kProfileListFile, kDefaultProfileFile}) {
        struct stat info {};
        ASSERT_EQ(::stat(m_delivered.filePath(name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << name;
    }
}

TEST_F(DeliveredFilesTest, SettingsAreTheRestoredDefaults)
{
    ASSERT_TRUE(m_delivered.LoadAllConfig());
    AllConfig expected{};
    ApplyAllConfigDefaults(expected, false);
    platform::copyToField(expected.smsStorage, sizeof expected.smsStorage, "1");
    expected.clipPresentation = 1;
    EXPECT_EQ(bytesOf(m_delivered.allConfig()), bytesOf(expected));
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_SetSmsConfig").size(), 1u);

    VolConfig levels{};
    ASSERT_TRUE(m_delivered.LoadVolConfig(levels));
    EXPECT_EQ(bytesOf(levels), std::string("\2\0\0\0\2\0\0\0\2\0\0\0", 12));
}

TEST_F(DeliveredFilesTest, OperatorChoiceFindsEachDeliveredProfile)
{
    // Work on a copy: the program folder's files stay as delivered.
    for (const std::string_view name : {kProfileListFile, kDefaultProfileFile})
        writeRaw(name, ranfile::readFile(m_delivered.filePath(name)).value_or(""));
    ASSERT_TRUE(m_store.LoadDefaultProfile());
    for (const auto &[code, apn] : {std::pair{"74810", "internet.brisa.uy"},
                                    {"74402", "internet.brisa.py"},
                                    {"722310", "internet.brisa.ar"}}) {
        ASSERT_TRUE(m_store.SetDefaultProfileForOperator(code));
        EXPECT_EQ(apnOf(m_store.defaultProfile()), apn);
        ModemParams params;
        ASSERT_TRUE(m_store.GetDefaultModemParams(params));
        EXPECT_EQ(params.apn, apn);
        EXPECT_EQ(params.pdpType, "IP");
        EXPECT_EQ(params.pdpAddress, "");
    }
}

}  // namespace
