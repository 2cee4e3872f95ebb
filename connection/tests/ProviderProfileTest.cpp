// Profiles from the provider database: the longest operator code wins, the first usable
// Internet APN is taken, and the installed database answers for a real operator.
#include "ProviderProfile.h"

#include "config/BL_File.h"
#include "platform/CodePage.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kSample = QStringLiteral(CONNECTION_TEST_DATA "/serviceproviders-sample.xml");

TEST(ProviderProfile, LongestOperatorCodeAndFirstUsableInternetApn)
{
    QString error;
    const auto profile = FindProviderProfile(kSample, "999341123456789", &error);
    ASSERT_TRUE(profile.has_value()) << error.toStdString();
    EXPECT_EQ(profile->providerName, "Long Code Mobile");
    EXPECT_EQ(profile->apn, "web.long.example");
    EXPECT_EQ(profile->userName, "web");
    EXPECT_EQ(profile->dns, (QStringList{"10.11.12.13", "10.11.12.14"}));
    EXPECT_TRUE(profile->chap);

    const ProfileRecord record = profile->record();
    EXPECT_EQ(platform::fieldText(record.name, sizeof record.name), "Long Code Mobile");
    EXPECT_EQ(platform::fieldText(record.apn, sizeof record.apn), "web.long.example");
    EXPECT_EQ(platform::fieldText(record.apnAutomatic, 4), "0");
    EXPECT_EQ(platform::fieldText(record.dnsAutomatic, 4), "0");
    EXPECT_EQ(platform::fieldText(record.secondaryDns, 25), "10.11.12.14");
    EXPECT_EQ(platform::fieldText(record.authentication, 5), "CHAP");
    EXPECT_EQ(platform::fieldText(record.dialNumber, 20), "*99#");

    EXPECT_EQ(FindProviderProfile(kSample, "999340000000000")->providerName, "Short Code Telecom");
    EXPECT_FALSE(FindProviderProfile(kSample, "998010000000000", &error).has_value());
    EXPECT_TRUE(error.isEmpty());  // known, but without a data APN
    EXPECT_FALSE(FindProviderProfile(kSample, "001010000000000").has_value());
}

TEST(ProviderProfile, UnreadableDatabaseSaysWhy)
{
    QString error;
    EXPECT_FALSE(FindProviderProfile("/nonexistent/serviceproviders.xml", "26201", &error));
    EXPECT_FALSE(error.isEmpty());
    QByteArray broken("<serviceproviders><country><provider>");
    QBuffer buffer(&broken);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_FALSE(FindProviderProfile(buffer, "26201", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ProviderProfile, InstalledDatabaseKnowsARealOperator)
{
    if (!QFile::exists(DefaultProviderDatabasePath()))
        GTEST_SKIP() << "mobile-broadband-provider-info is not installed";
    // Telekom Deutschland, MCC 262 MNC 01.
    QString error;
    const auto profile =
        FindProviderProfile(DefaultProviderDatabasePath(), "262011234567890", &error);
    ASSERT_TRUE(profile.has_value()) << error.toStdString();
    EXPECT_EQ(profile->mcc, "262");
    EXPECT_EQ(profile->mnc, "01");
    EXPECT_TRUE(profile->providerName.contains("Telekom") ||
                profile->providerName.contains("T-Mobile"))
        << profile->providerName.toStdString();
    EXPECT_TRUE(profile->apn.contains("t-mobile") || profile->apn.contains("t-d1"))
        << profile->apn.toStdString();
}

TEST(ProviderProfile, DeliveredProfilesCoverTheirOperatorsOnly)
{
    EXPECT_TRUE(OperatorHasDeliveredProfile("722310123456789"));
    EXPECT_TRUE(OperatorHasDeliveredProfile("744021234567890"));
    EXPECT_TRUE(OperatorHasDeliveredProfile("748101234567890"));
    EXPECT_FALSE(OperatorHasDeliveredProfile("722341234567890"));
    EXPECT_FALSE(OperatorHasDeliveredProfile("262011234567890"));
}

TEST(ProviderProfile, OfferedOnceThenTakenAsTheDefault)
{
    QTemporaryDir folder;
    TBL_File files(folder.path());
    EXPECT_EQ(ChooseProviderProfile(files, "722310000000001", kSample).kind,
              ProviderChoice::Delivered);
    EXPECT_EQ(ChooseProviderProfile(files, "001010000000001", kSample).kind,
              ProviderChoice::Nothing);
    const ProviderChoice offer = ChooseProviderProfile(files, "999341000000001", kSample);
    ASSERT_EQ(offer.kind, ProviderChoice::Offer);
    ASSERT_TRUE(AcceptProviderProfile(files, offer.record));
    EXPECT_EQ(ProfileName(files.defaultProfile()), "Long Code Mobile");
    // Next time the card is ready the profile exists: no second offer, no second copy.
    const ProviderChoice again = ChooseProviderProfile(files, "999341000000001", kSample);
    EXPECT_EQ(again.kind, ProviderChoice::Existing);
    ASSERT_TRUE(AcceptProviderProfile(files, again.record));
    std::vector<ProfileRecord> profiles;
    files.LoadProfileList(profiles);
    EXPECT_EQ(profiles.size(), 1u);
}

}  // namespace
