// The settings menu: its page buttons, and restoring the factory settings with the card taking,
// refusing or missing the two settings it is told.
#include "RestoreDefaults.h"
#include "UI_SetMenuForm.h"

#include "RecordingHost.h"

#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <gtest/gtest.h>

using platform::GetLanguageString;

namespace {

struct CardAnswers {
    uint16_t selection = 0;
    uint16_t storage = 0;
    bool written = true;
    std::vector<std::string> calls;

    RestoreCalls make()
    {
        RestoreCalls made;
        made.setNetworkSelectMode = [this](uint8_t mode) {
            calls.push_back("selection " + std::to_string(mode));
            return selection;
        };
        made.setSmsSaveLocation = [this](uint32_t storageChoice) {
            calls.push_back("storage " + std::to_string(storageChoice));
            return storage;
        };
        made.useFactoryProfile = [this] { calls.push_back("factory profile"); };
        made.restoreAllConfig = [this] { return written; };
        return made;
    }
};

TEST(RestoreDefaults, TheClosingMessageNamesWhatTheCardDidNotTake)
{
    if (!platform::stringManager())
        platform::createStringManager();  // ./language of the program folder
    ASSERT_FALSE(GetLanguageString(3163).isEmpty());
    const QString restored = GetLanguageString(3161);
    const QString notOnCard = "(" + GetLanguageString(3162);
    struct Case {
        const char *name;
        uint8_t cardState;
        CardAnswers answers;
        QString message;
        std::vector<std::string> calls;
    };
    const std::vector<std::string> allCalls{"selection 5", "storage 1", "factory profile"};
    const Case cases[] = {
        {"no card: only the file", 1, {}, restored, {}},
        {"the card takes both", 12, {}, restored, allCalls},
        {"network selection refused", 11, {7003, 0, true, {}},
         restored + notOnCard + GetLanguageString(3163) + ")", allCalls},
        {"SMS storage refused", 6, {0, 7003, true, {}},
         restored + notOnCard + GetLanguageString(3164) + ")", allCalls},
        // Run together as the texts stand, "and" between them.
        {"both refused", 12, {7003, 7004, true, {}},
         restored + notOnCard + GetLanguageString(3163) + "and" + GetLanguageString(3164) + ")",
         allCalls},
        {"the file cannot be written", 12, {0, 0, false, {}}, GetLanguageString(3101), allCalls},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.name);
        AllConfig config{};
        config.autoSelectionChoice = 2;
        config.smsStorage[0] = '2';
        const RestoreOutcome outcome = RestoreFactorySettings(c.cardState, config, c.answers.make());
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(c.answers.calls, c.calls);
        const bool selectionTaken = c.cardState != 1 && c.answers.selection == 0;
        EXPECT_EQ(outcome.networkSelectionReset, selectionTaken);
        EXPECT_EQ(config.autoSelectionChoice, selectionTaken ? 0 : 2);
        EXPECT_EQ(config.smsStorage[0], c.cardState != 1 && c.answers.storage == 0 ? '1' : '2');
    }
}

TEST(SettingsMenu, ThePageOnShowHasItsButtonDisabledAndRestoringAsksFirst)
{
    RecordingHost host;
    CardAnswers answers;
    int boxAnswer = 2;
    QStringList boxes;
    platform::setMessageBoxHandler([&](QWidget *, const QString &text, int, bool) {
        boxes << text;
        return boxAnswer;
    });
    TSetMenuForm menu(host, answers.make());
    menu.shownInPanel();  // the settings button: the profiles first
    EXPECT_FALSE(menu.CfgfileButton->isEnabled());
    // Every page has its button, the call services included; the one on show is disabled.
    const std::pair<QPushButton *, feature::SettingsEntry> buttons[] = {
        {menu.SafecfgButton, feature::SettingsEntry::Security},
        {menu.NetcfgButton, feature::SettingsEntry::Network},
        {menu.MsgcfgButton, feature::SettingsEntry::Sms},
        {menu.SoundcfgButton, feature::SettingsEntry::Sound},
        {menu.SSButton, feature::SettingsEntry::CallServices},
        {menu.CfgfileButton, feature::SettingsEntry::Profiles}};
    for (const auto &[button, entry] : buttons) {
        button->click();
        EXPECT_EQ(host.entriesShown.back(), entry);
        for (const auto &[other, otherEntry] : buttons)
            EXPECT_EQ(other->isEnabled(), other != button);
    }
    EXPECT_EQ(host.entriesShown.size(), 7u);

    menu.RestorecfgButtonClick();  // declined
    EXPECT_TRUE(answers.calls.empty());
    EXPECT_EQ(boxes.size(), 1);
    platform::setMessageBoxHandler({});
}

}  // namespace
