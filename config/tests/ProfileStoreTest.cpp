// Connection profiles: config.ran, defaultcfg.ran and the in-memory default.

#include "ConfigTestSupport.h"

#include "FakeLumacore.h"
#include "platform/MessageBoxSeam.h"

using namespace configtest;

namespace {

class ProfileStoreTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        lumacore_fake::reset();
        platform::setMessageBoxHandler([this](QWidget *, const QString &, int iconType, bool) {
            m_boxIcons.push_back(iconType);
            return 1;
        });
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler({});
        StoreTest::TearDown();
    }

    ProfileRecord defaultOnDisk() const
    {
        ProfileRecord record{};
        const std::string bytes = readRaw(kDefaultProfileFile);
        EXPECT_EQ(bytes.size(), sizeof record);
        std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
        return record;
    }

    std::vector<int> m_boxIcons;
};

TEST_F(ProfileStoreTest, RecordBytesLandAtTheirOffsets)
{
    ProfileRecord record = makeProfile("Home", "apn.example", "pw");
    platform::copyToField(record.primaryDns, sizeof record.primaryDns, "10.1.2.3");
    platform::copyToField(record.pdpType, sizeof record.pdpType, "PPP");
    ASSERT_TRUE(m_store.AppendProfile(record));
    const std::string file = readRaw(kProfileListFile);
    ASSERT_EQ(file.size(), 505u);

    const struct {
        size_t offset;
        std::string bytes;
    } expected[] = {
        {0, std::string("Home\0", 5)},    {68, std::string("user\0", 5)},
        {172, std::string("pw\0", 3)},    {276, std::string("*99#\0", 5)},
        {296, std::string("0\0\0\0", 4)}, {300, std::string("apn.example\0", 12)},
        {404, std::string("1\0", 2)},     {408, std::string("10.1.2.3\0", 9)},
        {458, std::string("1\0", 2)},     {487, std::string("PPP\0\0", 5)},
        {492, std::string("PAP\0", 4)},   {497, std::string("0\0", 2)},
        {501, std::string("1\0\0\0", 4)},
    };
    for (const auto &field : expected)
        EXPECT_EQ(file.substr(field.offset, field.bytes.size()), field.bytes)
            << "at offset " << field.offset;
}

TEST_F(ProfileStoreTest, EmptyProfileFile)
{
    writeRaw(kProfileListFile, "");
    std::vector<ProfileRecord> list{makeProfile("stale")};
    EXPECT_EQ(m_store.LoadProfileList(list), ProfileFileStatus::Ok);
    EXPECT_TRUE(list.empty());

    ProfileRecord buffer = makeProfile("untouched");
    EXPECT_TRUE(m_store.FindProfile("Home", buffer));
    EXPECT_EQ(ProfileName(buffer), "untouched");

    ASSERT_TRUE(m_store.AppendProfile(makeProfile("Home")));
    EXPECT_EQ(readRaw(kProfileListFile), bytesOf(makeProfile("Home")));
}

TEST_F(ProfileStoreTest, MissingProfileFile)
{
    std::vector<ProfileRecord> list;
    EXPECT_EQ(m_store.LoadProfileList(list), ProfileFileStatus::Missing);
    ProfileRecord buffer{};
    EXPECT_FALSE(m_store.FindProfile("Home", buffer));
    EXPECT_FALSE(m_store.DeleteProfile("Home"));
    EXPECT_FALSE(m_store.SetDefaultProfile("Home"));
    EXPECT_FALSE(m_store.ReplaceProfile(makeProfile("Home"), makeProfile("Away")));
    EXPECT_FALSE(m_store.LoadFactoryProfile());
    // The first append creates the file.
    ASSERT_TRUE(m_store.AppendProfile(makeProfile("Home")));
    EXPECT_EQ(m_store.LoadProfileList(list), ProfileFileStatus::Ok);
    EXPECT_EQ(list.size(), 1u);
}

// A hand-made file with two profiles named "Twin": which one each operation takes.
TEST_F(ProfileStoreTest, DuplicateNames)
{
    const std::vector<ProfileRecord> twins = {makeProfile("A", "a"), makeProfile("Twin", "first"),
                                              makeProfile("B", "b"), makeProfile("Twin", "second")};
    m_store.defaultProfile() = makeProfile("A", "a");

    writeProfiles(twins);
    ProfileRecord found{};
    ASSERT_TRUE(m_store.FindProfile("Twin", found));
    EXPECT_EQ(apnOf(found), "first");

    ASSERT_TRUE(m_store.SetDefaultProfile("Twin"));
    EXPECT_EQ(apnOf(m_store.defaultProfile()), "second");
    EXPECT_EQ(apnOf(defaultOnDisk()), "second");

    m_store.defaultProfile() = makeProfile("A", "a");
    ASSERT_TRUE(m_store.DeleteProfile("Twin"));
    EXPECT_EQ(apnsOnDisk(), (std::vector<std::string>{"a", "first", "b"}));

    writeProfiles(twins);
    ASSERT_TRUE(m_store.ReplaceProfile(makeProfile("Twin"), makeProfile("New", "new")));
    EXPECT_EQ(apnsOnDisk(), (std::vector<std::string>{"a", "new", "b", "new"}));
}

TEST_F(ProfileStoreTest, DefaultProfileIsNeverDeleted)
{
    const std::vector<ProfileRecord> list = {makeProfile("A"), makeProfile("B"), makeProfile("C")};
    for (const char *name : {"A", "B", "C"}) {
        writeProfiles(list);
        m_store.defaultProfile() = makeProfile(name);
        EXPECT_FALSE(m_store.DeleteProfile(name)) << name;
        EXPECT_EQ(readRaw(kProfileListFile), bytesOf(list)) << name;
    }
    // Names compare exactly, case and all.
    m_store.defaultProfile() = makeProfile("a");
    EXPECT_TRUE(m_store.DeleteProfile("A"));
    EXPECT_FALSE(m_store.DeleteProfile("Nobody"));
    EXPECT_EQ(folderEntries(), QStringList{"config.ran"});  // no tempconfig.ran left
}

TEST_F(ProfileStoreTest, SetDefaultWithAnUnknownNameChangesNothing)
{
    writeProfiles({makeProfile("A"), makeProfile("B")});
    m_store.defaultProfile() = makeProfile("A", "kept");
    EXPECT_TRUE(m_store.SetDefaultProfile("Nobody"));
    EXPECT_EQ(apnOf(m_store.defaultProfile()), "kept");
    EXPECT_FALSE(ranfile::fileExists(path(kDefaultProfileFile)));
}

TEST_F(ProfileStoreTest, ReplacingTheDefaultRewritesTheDefaultFile)
{
    writeProfiles({makeProfile("A", "a"), makeProfile("B", "b")});
    m_store.defaultProfile() = makeProfile("B", "b");

    ASSERT_TRUE(m_store.ReplaceProfile(makeProfile("A"), makeProfile("A2", "a2")));
    EXPECT_FALSE(ranfile::fileExists(path(kDefaultProfileFile)));
    EXPECT_EQ(ProfileName(m_store.defaultProfile()), "B");

    ASSERT_TRUE(m_store.ReplaceProfile(makeProfile("B"), makeProfile("B2", "b2")));
    EXPECT_EQ(ProfileName(m_store.defaultProfile()), "B2");
    EXPECT_EQ(bytesOf(defaultOnDisk()), bytesOf(makeProfile("B2", "b2")));
    EXPECT_EQ(apnsOnDisk(), (std::vector<std::string>{"a2", "b2"}));
}

TEST_F(ProfileStoreTest, LoadsDefaultAndFactoryProfiles)
{
    writeProfiles({makeProfile("Factory", "f"), makeProfile("Other", "o")});
    writeRaw(kDefaultProfileFile, bytesOf(makeProfile("Other", "o")));
    ASSERT_TRUE(m_store.LoadDefaultProfile());
    ASSERT_TRUE(m_store.LoadFactoryProfile());
    EXPECT_EQ(bytesOf(m_store.defaultProfile()), bytesOf(makeProfile("Other", "o")));
    EXPECT_EQ(bytesOf(m_store.factoryProfile()), bytesOf(makeProfile("Factory", "f")));

    // A short defaultcfg.ran fills only its own length.
    writeRaw(kDefaultProfileFile, "Short");
    ASSERT_TRUE(m_store.LoadDefaultProfile());
    EXPECT_EQ(ProfileName(m_store.defaultProfile()), "Short");
    EXPECT_EQ(apnOf(m_store.defaultProfile()), "o");
}

TEST_F(ProfileStoreTest, DamagedProfileFileIsReportedAndNeverRewritten)
{
    const std::string damaged =
        bytesOf(std::vector<ProfileRecord>{makeProfile("A"), makeProfile("B")}) + "tail";
    writeRaw(kProfileListFile, damaged);
    writeRaw(kDefaultProfileFile, bytesOf(makeProfile("A")));
    m_store.defaultProfile() = makeProfile("A");

    std::vector<ProfileRecord> list;
    EXPECT_EQ(m_store.LoadProfileList(list), ProfileFileStatus::Damaged);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(m_store.AppendProfile(makeProfile("C")));
    EXPECT_FALSE(m_store.DeleteProfile("B"));
    EXPECT_FALSE(m_store.ReplaceProfile(makeProfile("B"), makeProfile("B2")));
    EXPECT_FALSE(m_store.StoreProfileAsDefault(makeProfile("A", "changed")));
    EXPECT_EQ(m_boxIcons, std::vector<int>{2});
    EXPECT_EQ(readRaw(kProfileListFile), damaged);
}

TEST_F(ProfileStoreTest, ModemParametersOfTheDefault)
{
    const struct {
        const char *apnAutomatic;
        const char *addressAutomatic;
        std::string apn;
        std::string address;
    } cases[] = {
        {"1", "1", "", ""},
        {"0", "1", "apn.example", ""},
        {"1", "0", "", "10.0.0.7"},
        {"0", "0", "apn.example", "10.0.0.7"},
    };
    for (const auto &c : cases) {
        ProfileRecord record = makeProfile("P", "apn.example");
        platform::copyToField(record.apnAutomatic, sizeof record.apnAutomatic, c.apnAutomatic);
        platform::copyToField(record.pdpAddressAutomatic, sizeof record.pdpAddressAutomatic,
                              c.addressAutomatic);
        platform::copyToField(record.pdpAddress, sizeof record.pdpAddress, "10.0.0.7");
        writeRaw(kDefaultProfileFile, bytesOf(record));
        ModemParams params;
        ASSERT_TRUE(m_store.GetDefaultModemParams(params));
        EXPECT_EQ(params.pdpType, "IP");
        EXPECT_EQ(params.apn, c.apn);
        EXPECT_EQ(params.pdpAddress, c.address);
    }
    ::unlink(path(kDefaultProfileFile).c_str());
    ModemParams params;
    EXPECT_FALSE(m_store.GetDefaultModemParams(params));
}

TEST_F(ProfileStoreTest, StoreAsDefaultOverwritesTheFirstMatchOrAppends)
{
    writeRaw(kDefaultProfileFile, bytesOf(makeProfile("Twin", "old")));
    writeProfiles({makeProfile("Twin", "first"), makeProfile("Twin", "second")});

    ASSERT_TRUE(m_store.StoreProfileAsDefault(makeProfile("Twin", "stored")));
    EXPECT_EQ(apnsOnDisk(), (std::vector<std::string>{"stored", "second"}));
    EXPECT_EQ(apnOf(defaultOnDisk()), "stored");

    ASSERT_TRUE(m_store.StoreProfileAsDefault(makeProfile("Fresh", "fresh")));
    EXPECT_EQ(apnsOnDisk(), (std::vector<std::string>{"stored", "second", "fresh"}));
    EXPECT_TRUE(m_boxIcons.empty());
}

TEST_F(ProfileStoreTest, StoreAsDefaultWarnsWhenAFileIsMissing)
{
    // No defaultcfg.ran: nothing is written anywhere.
    writeProfiles({makeProfile("A", "a")});
    EXPECT_FALSE(m_store.StoreProfileAsDefault(makeProfile("A", "changed")));
    EXPECT_EQ(apnsOnDisk(), std::vector<std::string>{"a"});
    EXPECT_FALSE(ranfile::fileExists(path(kDefaultProfileFile)));

    // No config.ran: the default file has been written, the list is not created.
    ::unlink(path(kProfileListFile).c_str());
    writeRaw(kDefaultProfileFile, bytesOf(makeProfile("A", "a")));
    EXPECT_FALSE(m_store.StoreProfileAsDefault(makeProfile("A", "changed")));
    EXPECT_EQ(apnOf(defaultOnDisk()), "changed");
    EXPECT_FALSE(ranfile::fileExists(path(kProfileListFile)));

    EXPECT_EQ(m_boxIcons, (std::vector<int>{2, 2}));
}

TEST_F(ProfileStoreTest, DefaultProfileFollowsTheSimOperator)
{
    const struct {
        std::string_view code;
        std::string_view profile;
    } cases[] = {
        {"722310123456789", "Brisa AR"},
        {"744021234567890", "Brisa PY"},
        {"748101234567890", "Brisa UY"},
        {"72231", "Brisa AR"},
        {"744031234567890", "Brisa AR"},
        {"7481", "Brisa AR"},
        {"", "Brisa AR"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DefaultProfileNameForOperator(c.code), c.profile) << c.code;

    writeProfiles({makeProfile("Brisa AR", "ar"), makeProfile("Brisa PY", "py"),
                   makeProfile("Brisa UY", "uy")});
    lumacore_fake::onCall(&_MEC_GetSIMCardOperator, [](char *imsi) -> MEC_STATUS {
        std::strcpy(imsi, "744029876543210");
        return 0;
    });
    ASSERT_TRUE(m_store.ChooseDefaultProfileFromSim());
    EXPECT_EQ(apnOf(m_store.defaultProfile()), "py");

    // The engine cannot tell: the default stays.
    lumacore_fake::onCall(&_MEC_GetSIMCardOperator, [](char *imsi) -> MEC_STATUS {
        std::strcpy(imsi, "748101234567890");
        return 1;
    });
    EXPECT_FALSE(m_store.ChooseDefaultProfileFromSim());
    EXPECT_EQ(apnOf(m_store.defaultProfile()), "py");
}

}  // namespace
