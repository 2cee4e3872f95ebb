// Shared helpers of the configuration store's tests: a store on a fresh temporary folder and
// quick ways to make and inspect records and files.
#pragma once

#include "config/BL_File.h"
#include "config/RanFile.h"
#include "platform/CodePage.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace configtest {

inline ProfileRecord makeProfile(std::string_view name, std::string_view apn = "internet",
                                 std::string_view password = "secret")
{
    ProfileRecord record{};
    platform::copyToField(record.name, sizeof record.name, name);
    platform::copyToField(record.userName, sizeof record.userName, "user");
    platform::copyToField(record.password, sizeof record.password, password);
    platform::copyToField(record.dialNumber, sizeof record.dialNumber, "*99#");
    platform::copyToField(record.apnAutomatic, sizeof record.apnAutomatic, "0");
    platform::copyToField(record.apn, sizeof record.apn, apn);
    platform::copyToField(record.dnsAutomatic, sizeof record.dnsAutomatic, "1");
    platform::copyToField(record.pdpAddressAutomatic, sizeof record.pdpAddressAutomatic, "1");
    platform::copyToField(record.pdpType, sizeof record.pdpType, "IP");
    platform::copyToField(record.authentication, sizeof record.authentication, "PAP");
    platform::copyToField(record.askCredentials, sizeof record.askCredentials, "0");
    platform::copyToField(record.saveCredentials, sizeof record.saveCredentials, "1");
    return record;
}

template <typename Record>
std::string bytesOf(const Record &record)
{
    return std::string(reinterpret_cast<const char *>(&record), sizeof record);
}

inline std::string bytesOf(const std::vector<ProfileRecord> &records)
{
    return std::string(reinterpret_cast<const char *>(records.data()),
                       records.size() * sizeof(ProfileRecord));
}

inline std::string apnOf(const ProfileRecord &record)
{
    return std::string(platform::fieldText(record.apn, sizeof record.apn));
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_store.setFolder(m_folder.path());
    }
    void TearDown() override { ranfile::setWriteFailureForTesting(std::nullopt); }

    std::string path(std::string_view name) const { return m_store.filePath(name); }

    void writeRaw(std::string_view name, std::string_view bytes) const
    {
        ASSERT_TRUE(ranfile::writeFileAtomically(path(name), bytes, ranfile::FileAccess::Shared));
    }
    std::string readRaw(std::string_view name) const
    {
        return ranfile::readFile(path(name)).value_or("<missing>");
    }
    void writeProfiles(const std::vector<ProfileRecord> &records) const
    {
        writeRaw(kProfileListFile, bytesOf(records));
    }
    std::vector<ProfileRecord> profilesOnDisk() const
    {
        std::vector<ProfileRecord> records;
        EXPECT_EQ(m_store.LoadProfileList(records), ProfileFileStatus::Ok);
        return records;
    }
    std::vector<std::string> apnsOnDisk() const
    {
        std::vector<std::string> apns;
        for (const ProfileRecord &record : profilesOnDisk())
            apns.push_back(apnOf(record));
        return apns;
    }
    // Names of everything in the folder: catches temporary files left behind.
    QStringList folderEntries() const
    {
        return QDir(m_folder.path())
            .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    unsigned permissionsOf(std::string_view name) const
    {
        struct stat info {};
        EXPECT_EQ(::stat(path(name).c_str(), &info), 0);
        return info.st_mode & 0777;
    }

    QTemporaryDir m_folder;
    TBL_File m_store{QString()};
};

}  // namespace configtest
