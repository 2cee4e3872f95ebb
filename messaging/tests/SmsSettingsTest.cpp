// The SMS settings against the scripted engine: what the card is told when it becomes ready and
// when the user applies, and what the settings record keeps.
#include "SmsSettings.h"

#include "lumacore/fake/FakeLumacore.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace {

class SmsSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        config = AllConfig{};
        told.reset();
        std::strcpy(config.smsCentre, "+5491100000000");
        std::strcpy(config.smsValidity, "2");
        std::strcpy(config.smsStatusReport, "1");
        lumacore_fake::onCall(&_MEC_SetSmsConfig, [this](SmsConfigBlock block) -> MEC_STATUS {
            told = block;
            return 0;
        });
    }
    void TearDown() override { lumacore_fake::reset(); }

    void cardAnswers(const char *centre, uint16_t centreStatus, uint32_t location,
                     uint16_t locationStatus = 0)
    {
        lumacore_fake::onCall(&_MEC_GetSmsCenter, [=](char *out) -> MEC_STATUS {
            std::strcpy(out, centre);
            return centreStatus;
        });
        lumacore_fake::onCall(&_MEC_GetSmsSaveLocation, [=](uint32_t *out) -> MEC_STATUS {
            *out = location;
            return locationStatus;
        });
    }
    std::string field(const char *text, size_t size) const
    {
        return std::string(platform::fieldText(text, size));
    }

    AllConfig config{};
    std::optional<SmsConfigBlock> told;
};

}  // namespace

TEST_F(SmsSettingsTest, ReadyCardKeepsTheUsersStorageChoiceWhereItCan)
{
    struct Case {
        const char *stored;
        uint32_t card;
        uint16_t setAnswer;
        const char *kept;
        int setCalls;
    } cases[] = {
        {"1", 0, 0, "1", 1},     // the card lost the choice of its own memory: set again
        {"1", 0, 7003, "0", 1},  // and refused it: the card's value is what holds
        {"2", 0, 0, "0", 0},     // any other difference: the card's value wins
        {"0", 2, 0, "2", 0},    {"", 1, 0, "1", 0},
    };
    for (const Case &c : cases) {
        SetUp();
        std::strcpy(config.smsStorage, c.stored);
        cardAnswers("+5491187654321", 0, c.card);
        lumacore_fake::setResult("_MEC_SetSmsSaveLocation", c.setAnswer);
        SmsSettings settings(config);
        EXPECT_EQ(settings.DeviceReady(), "+5491187654321");
        EXPECT_EQ(field(config.smsStorage, sizeof config.smsStorage), c.kept) << c.stored << c.card;
        EXPECT_EQ(lumacore_fake::countOf("_MEC_SetSmsSaveLocation"), c.setCalls) << c.stored;
        ASSERT_TRUE(told) << c.stored;
        EXPECT_EQ(told->storage, c.kept[0]);
        EXPECT_STREQ(told->serviceCenter, "+5491187654321");
    }
}

TEST_F(SmsSettingsTest, ACentreTheCardCannotReadIsShownEmptyButStaysStored)
{
    std::strcpy(config.smsStorage, "2");
    cardAnswers("", 7001, 0, 7001);
    SmsSettings settings(config);
    EXPECT_EQ(settings.DeviceReady(), "");
    EXPECT_EQ(field(config.smsCentre, sizeof config.smsCentre), "+5491100000000");
    EXPECT_EQ(field(config.smsStorage, sizeof config.smsStorage), "2");
    ASSERT_TRUE(told);
    EXPECT_STREQ(told->serviceCenter, "+5491100000000");
}

TEST_F(SmsSettingsTest, ApplyStoresWhatTheCardTookAndAlwaysHandsOverTheSet)
{
    struct Case {
        uint8_t state;
        uint16_t centreAnswer, locationAnswer;
        std::vector<int> shown;
        const char *centreKept;
        const char *storageKept;
        int engineCalls;
    } cases[] = {
        {12, 0, 0, {3033}, "+5491155555555", "2", 2},
        {12, 7003, 0, {3145}, "+5491100000000", "2", 2},
        {12, 0, 7003, {3146}, "+5491155555555", "0", 2},
        {12, 7003, 7003, {3145, 3146}, "+5491100000000", "0", 2},
        {4, 0, 0, {3033}, "+5491100000000", "0", 0},  // card not ready: validity and report only
    };
    for (const Case &c : cases) {
        SetUp();
        std::strcpy(config.smsStorage, "0");
        lumacore_fake::setResult("_MEC_SetSmsCenter", c.centreAnswer);
        lumacore_fake::setResult("_MEC_SetSmsSaveLocation", c.locationAnswer);
        SmsSettings settings(config);
        const std::vector<int> shown = settings.Apply(
            {.centre = "+5491155555555", .validity = 3, .report = 0, .storage = 2}, c.state);
        EXPECT_EQ(shown, c.shown) << int(c.state) << " " << c.centreAnswer << c.locationAnswer;
        EXPECT_EQ(field(config.smsCentre, sizeof config.smsCentre), c.centreKept);
        EXPECT_EQ(field(config.smsStorage, sizeof config.smsStorage), c.storageKept);
        EXPECT_EQ(field(config.smsValidity, sizeof config.smsValidity), "3");
        EXPECT_EQ(field(config.smsStatusReport, sizeof config.smsStatusReport), "0");
        EXPECT_EQ(lumacore_fake::countOf("_MEC_SetSmsCenter") +
                      lumacore_fake::countOf("_MEC_SetSmsSaveLocation"),
                  c.engineCalls);
        ASSERT_TRUE(told);
        EXPECT_EQ(told->validity, '3');
        EXPECT_EQ(told->statusReport, 1);
        EXPECT_STREQ(told->serviceCenter, c.centreKept);
    }
}

TEST_F(SmsSettingsTest, NoReportChoiceLeavesTheFieldEmpty)
{
    SmsSettings settings(config);
    settings.Apply({.centre = "", .validity = 0, .report = -1, .storage = 0}, 4);
    EXPECT_EQ(config.smsStatusReport[0], 0);
    EXPECT_EQ(config.smsStatusReport[1], 0);
    EXPECT_EQ(settings.reportIndex(), -1);
    EXPECT_EQ(settings.validityIndex(), 0);
}

TEST(SmsSettingsCentre, OnlyDigitsAndPlusUpToThirtyTwo)
{
    struct Case {
        QString text;
        bool valid;
    } cases[] = {{"+5491112345678", true},  {"", true},        {"+", true},
                 {"54911a", false},         {"549 11", false}, {QString(32, '1'), true},
                 {QString(33, '1'), false}, {"+54-911", false}};
    for (const Case &c : cases)
        EXPECT_EQ(SmsSettings::ValidCentre(c.text), c.valid) << c.text.toStdString();
}
