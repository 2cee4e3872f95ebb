// The SIM toolkit screen: its state and busy periods without a display, the input dialog's rules
// by kind, and the screen answering the SIM's messages with the boxes it shows.
#include "ToolkitMenu.h"
#include "UI_GetInput.h"
#include "UI_SatMenuDisplay.h"

#include "RecordingHost.h"

#include "logic/WindowPayloads.h"
#include "platform/MessageBoxSeam.h"

#include <gtest/gtest.h>

#include <QTest>

#include <cstring>

namespace {

_MEC_STK_RECORD menuRecord(const char *title, std::vector<std::pair<uint32_t, const char *>> items)
{
    _MEC_STK_RECORD record{};
    std::strncpy(record.title, title, sizeof record.title - 1);
    record.itemCount = static_cast<uint32_t>(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        record.itemIds[i] = items[i].first;
        std::strncpy(record.itemTexts[i], items[i].second, sizeof record.itemTexts[i] - 1);
    }
    return record;
}

// The calls the screen made, as "mainMenu", "selectMain(2)", "back(1)", "input(2,1234)".
struct CallLog {
    std::vector<std::string> calls;
    ToolkitMenu::Calls make()
    {
        ToolkitMenu::Calls made;
        made.mainMenu = [this] { return note("mainMenu"); };
        made.selectMain = [this](uint32_t id) { return note("selectMain(" + std::to_string(id) + ")"); };
        made.selectSub = [this](uint32_t id) { return note("selectSub(" + std::to_string(id) + ")"); };
        made.back = [this](uint8_t back) { return note("back(" + std::to_string(back) + ")"); };
        made.confirmText = [this] { return note("confirm"); };
        made.input = [this](uint32_t kind, const std::string &text) {
            return note("input(" + std::to_string(kind) + "," + text + ")");
        };
        return made;
    }
    uint16_t note(std::string call)
    {
        calls.push_back(std::move(call));
        return 0;
    }
};

const _MEC_STK_RECORD kMain = menuRecord("Brisa", {{1, "Balance"}, {2, "Services"}});
const _MEC_STK_RECORD kSub = menuRecord("Services", {{7, "Top up"}, {9, "Language"}});

TEST(ToolkitMenu, ChoicesWaitForTheSimAndTheMenusAreKeptAsTheSimSetThem)
{
    CallLog log;
    ToolkitMenu menu(log.make());
    menu.open();
    EXPECT_EQ(log.calls, std::vector<std::string>{"mainMenu"});

    // The first main menu: whatever was open before it is ended, once.
    menu.mainMenu(kMain);
    EXPECT_EQ(menu.title(), "Brisa");
    EXPECT_EQ(menu.items().size(), 2u);
    EXPECT_FALSE(menu.backEnabled());
    menu.mainMenu(menuRecord("Other", {{5, "Else"}}));
    EXPECT_EQ(menu.title(), "Brisa");  // the first one stays while it is kept
    EXPECT_EQ(log.calls, (std::vector<std::string>{"mainMenu", "back(0)"}));

    // A choice makes the screen busy until the SIM answers or the busy period ends.
    menu.choose(-1);
    menu.choose(1);
    EXPECT_TRUE(menu.busy());
    EXPECT_FALSE(menu.listEnabled());
    menu.choose(0);  // nothing while busy
    menu.busyOver();
    EXPECT_TRUE(menu.listEnabled());

    menu.subMenu(kSub);
    EXPECT_EQ(menu.level(), ToolkitMenu::kSubLevel);
    EXPECT_TRUE(menu.backEnabled());
    menu.choose(1);
    // The STK button at a sub-menu lists it again without asking the SIM.
    menu.open();
    EXPECT_EQ(menu.title(), "Services");
    menu.back();
    menu.busyOver();
    menu.end();
    EXPECT_EQ(log.calls,
              (std::vector<std::string>{"mainMenu", "back(0)", "selectMain(2)", "selectSub(9)",
                                        "back(1)", "back(0)"}));

    // Off line: nothing can be used; on line again, the screen is ready.
    menu.cardStateChanged(7);
    EXPECT_FALSE(menu.buttonsEnabled());
    menu.busyOver();
    EXPECT_FALSE(menu.listEnabled());
    menu.cardStateChanged(12);
    EXPECT_TRUE(menu.listEnabled());

    // The card goes: its menu is forgotten, and the next STK button asks the SIM again.
    menu.cardStateChanged(1);
    EXPECT_TRUE(menu.items().empty());
    EXPECT_FALSE(menu.mainMenuCached());
    log.calls.clear();
    menu.open();
    EXPECT_EQ(log.calls, std::vector<std::string>{"mainMenu"});
}

TEST(ToolkitInput, EachKindKeepsOnlyWhatItAllows)
{
    struct Case {
        uint32_t kind;
        uint32_t minimum;
        uint32_t maximum;
        const char *text;
        bool accepted;
        bool tooShort;
    };
    const Case cases[] = {
        {2, 0, 4, "1234", true, false},
        {2, 0, 4, "12345", false, false},  // one digit too many
        {2, 0, 4, "12a", false, false},
        {2, 3, 4, "*#", true, true},
        {0, 0, 5, "Hallo", true, false},
        {0, 0, 5, "Ha[]", false, false},  // brackets take two codes each: 6 of 5
        {0, 0, 6, "Ha[]", true, false},
        {0, 0, 10, "Привет", false, false},
        {3, 4, 10, "Пр", true, false},  // UCS-2 counts two bytes a character
        {3, 6, 10, "Пр", true, true},
        {4, 0, 8, "1234", true, false},  // UCS-2 digits: half the maximum
        {4, 0, 8, "12345", false, false},
        {1, 9, 0, "", true, false},  // yes/no is never too short
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(toolkit_input::accepts(c.kind, c.maximum, text), c.accepted);
        EXPECT_EQ(toolkit_input::tooShort(c.kind, c.minimum, text), c.tooShort);
    }
}

class ToolkitScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool two) {
            boxes.push_back(text);
            return two ? answer : 1;
        });
    }
    void TearDown() override { platform::setMessageBoxHandler({}); }

    void post(TSatMenuDisplayForm &screen, uint32_t message, const _MEC_STK_RECORD &record)
    {
        platform::WindowMessageEvent event(message, 0, 0,
                                           makePayload<platform::WM_STK_FIRST>(record));
        screen.messageArrived(event);
    }

    RecordingHost host;
    CallLog log;
    QStringList boxes;
    int answer = 1;
};

TEST_F(ToolkitScreenTest, TextsAreConfirmedOrGoneBackFromAndTheSmsNoticeLeavesByItself)
{
    TSatMenuDisplayForm screen(host, log.make());
    screen.STKCallBackforMain();
    post(screen, MEC_MSG_STK_MAIN_MENU, kMain);
    EXPECT_EQ(screen.SatMenuDisplayListBox->count(), 2);

    _MEC_STK_RECORD text{};
    std::strcpy(text.displayText, "Your balance: 42.50");
    text.displayKind = 2;
    post(screen, MEC_MSG_STK_DISPLAY_TEXT, text);
    EXPECT_TRUE(screen.menu().busy());  // confirmed: the SIM's next step is awaited
    answer = 2;
    post(screen, MEC_MSG_STK_DISPLAY_TEXT, text);
    text.displayKind = 1;
    post(screen, MEC_MSG_STK_DISPLAY_TEXT, text);
    EXPECT_FALSE(screen.menu().busy());  // a notice asks nothing of the SIM
    EXPECT_EQ(boxes.size(), 3);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"mainMenu", "back(0)", "confirm", "back(1)"}));

    _MEC_STK_RECORD notice{};
    std::strcpy(notice.displayText, "Sending a message");
    post(screen, MEC_MSG_STK_SMS_STATE, notice);
    ASSERT_TRUE(screen.smsNotice());
    EXPECT_TRUE(screen.menu().busy());
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.smsNotice() == nullptr; }, 5000));
}

TEST(ToolkitInputDialog, TypingBeyondTheRulesIsUndoneAndATooShortAnswerIsRefused)
{
    RecordingHost host;
    QStringList boxes;
    platform::setMessageBoxHandler([&](QWidget *, const QString &text, int, bool) {
        boxes.push_back(text);
        return 1;
    });
    TgetInput dialog(host);
    dialog.Prepare(2, 3, 4, "Top-up code");
    QTest::keyClicks(dialog.Edit_InputBox, "12a345");
    EXPECT_EQ(dialog.Edit_InputBox->text(), "1234");
    dialog.Edit_InputBox->setText("12");
    dialog.ImButton_OKClick();
    EXPECT_EQ(boxes.size(), 1);  // too short: said, and the dialog stays
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(dialog.Answer());

    dialog.Prepare(1, 0, 0, "Switch?");
    EXPECT_FALSE(dialog.Edit_InputBox->isVisibleTo(&dialog));
    dialog.ComboBoxYesOrNo->setCurrentIndex(1);
    EXPECT_EQ(dialog.Answer(), std::optional<std::string>("0"));
    platform::setMessageBoxHandler({});
}

}  // namespace
