// The SIM toolkit end to end: the real engine against the virtual card's toolkit application,
// driven as the menu screen and the input dialog drive it.
#include "EngineFixture.h"
#include "Toolkit.h"

#include <cstring>

using namespace lumacore;
using namespace std::chrono_literals;

namespace {

struct Posted {
    uint32_t message = 0;
    _MEC_STK_RECORD record{};
};

struct Screen {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Posted> posts;
};
Screen g_screen;

int toolkitPost(void *, uint32_t message, uint32_t, uint32_t, const void *data, size_t size)
{
    if (message < MEC_MSG_STK_MAIN_MENU || message > MEC_MSG_STK_OTHER)
        return 1;
    Posted posted{message, {}};
    if (data && size == sizeof posted.record)
        std::memcpy(&posted.record, data, size);
    std::lock_guard lock(g_screen.mutex);
    g_screen.posts.push_back(posted);
    g_screen.changed.notify_all();
    return 1;
}

LumacoreWindowSink g_toolkitSink{nullptr, toolkitPost, engine_test::sinkSend};

class ToolkitEngineTest : public engine_test::ReadyCardTest {
protected:
    ToolkitEngineTest() : ReadyCardTest("lumacore-toolkit") {}

    void beforeStartup() override
    {
        std::lock_guard lock(g_screen.mutex);
        g_screen.posts.clear();
    }

    void SetUp() override
    {
        ReadyCardTest::SetUp();
        ASSERT_EQ(_MEC_RegisterAppHandle(&g_toolkitSink, 0), 0);
    }

    // The next toolkit message after those already taken.
    Posted next()
    {
        std::unique_lock lock(g_screen.mutex);
        const bool arrived =
            g_screen.changed.wait_for(lock, 5s, [&] { return g_screen.posts.size() > m_taken; });
        EXPECT_TRUE(arrived) << "no toolkit message after " << m_taken;
        return arrived ? g_screen.posts[m_taken++] : Posted{};
    }

    std::vector<std::string> itemsOf(const _MEC_STK_RECORD &record)
    {
        std::vector<std::string> items;
        for (uint32_t i = 0; i < record.itemCount; ++i)
            items.emplace_back(record.itemTexts[i]);
        return items;
    }

private:
    size_t m_taken = 0;
};

TEST_F(ToolkitEngineTest, ThePersonWalksTheMenusAndAnswersEachKindOfQuestion)
{
    ASSERT_EQ(_MEC_SetStkMainMenu(), 0);
    Posted menu = next();
    ASSERT_EQ(menu.message, MEC_MSG_STK_MAIN_MENU);
    EXPECT_STREQ(menu.record.title, "Brisa Services");
    EXPECT_EQ(itemsOf(menu.record),
              (std::vector<std::string>{"Balance", "Services", "Send a message"}));

    ASSERT_EQ(_MEC_SelectStkMainMenu(menu.record.itemIds[1]), 0);
    Posted services = next();
    ASSERT_EQ(services.message, MEC_MSG_STK_SUB_MENU);
    EXPECT_STREQ(services.record.title, "Services");
    ASSERT_EQ(services.record.itemCount, 6u);

    struct Question {
        uint32_t item;
        uint32_t kind;
        uint32_t minimum;
        uint32_t maximum;
        const char *answer;
        const char *shown;  // what the SIM shows back
    };
    const Question questions[] = {
        {1, 2, 4, 12, "1234", "Code 1234 accepted"},
        {3, 3, 2, 20, "Zoë 😀", "You typed: Zoë 😀"},       // UCS-2: the minimum in bytes
        {4, 0, 0, 30, "note @ 1", "You typed: note @ 1"},  // packed on the way to the SIM
        {5, 4, 8, 16, "5678", "You typed: 5678"},          // UCS-2 digits: both in bytes
        {6, 0, 1, 1, "x", "You typed: x"},                 // one key
    };
    for (const auto &q : questions) {
        SCOPED_TRACE(q.answer);
        ASSERT_EQ(_MEC_SelectStkSubMenu(services.record.itemIds[q.item - 1]), 0);
        const Posted input = next();
        ASSERT_EQ(input.message, MEC_MSG_STK_GET_INPUT);
        EXPECT_EQ(input.record.inputKind, q.kind);
        EXPECT_EQ(input.record.inputMinLength, q.minimum);
        EXPECT_EQ(input.record.inputMaxLength, q.maximum);
        // An answer of another kind than asked is refused, and the question stays open.
        EXPECT_NE(_MEC_StkInputText(q.kind == 1 ? 0 : 1, "1"), 0);
        ASSERT_EQ(_MEC_StkInputText(q.kind, q.answer), 0);
        const Posted shown = next();
        ASSERT_EQ(shown.message, MEC_MSG_STK_DISPLAY_TEXT);
        EXPECT_EQ(shown.record.displayKind, 2u);
        EXPECT_STREQ(shown.record.displayText, q.shown);
        ASSERT_EQ(_MEC_StkConfirmDisplayText(), 0);
        EXPECT_EQ(next().message, MEC_MSG_STK_SUB_MENU);
    }

    // Yes or no: the SIM shows a notice it does not wait on, then the sub-menu again.
    ASSERT_EQ(_MEC_SelectStkSubMenu(services.record.itemIds[1]), 0);
    const Posted yesNo = next();
    EXPECT_EQ(yesNo.record.inputKind, 1u);
    ASSERT_EQ(_MEC_StkInputText(1, "1"), 0);
    const Posted notice = next();
    EXPECT_EQ(notice.record.displayKind, 1u);
    EXPECT_STREQ(notice.record.displayText, "Language switched");
    EXPECT_EQ(next().message, MEC_MSG_STK_SUB_MENU);

    // Back from the sub-menu ends the SIM's dialogue: the main menu again.
    ASSERT_EQ(_MEC_SetStkMenuBack(1), 0);
    const Posted again = next();
    EXPECT_EQ(again.message, MEC_MSG_STK_MAIN_MENU_AGAIN);
    EXPECT_STREQ(again.record.title, "Brisa Services");

    const auto toolkit = card->snapshot().toolkit;
    EXPECT_EQ(toolkit.answers,
              (std::vector<std::string>{"3:1", "4:1234", "3:3", "6:Zoë 😀", "3:4", "7:note @ 1",
                                        "3:5", "8:5678", "3:6", "9:x", "3:2", "5:1"}));
}

TEST_F(ToolkitEngineTest, TheSimSendsAMessageWithANoticeAndTheMenuIsAskedOnlyOnce)
{
    ASSERT_EQ(_MEC_SetStkMainMenu(), 0);
    const Posted menu = next();
    ASSERT_EQ(_MEC_SelectStkMainMenu(menu.record.itemIds[2]), 0);
    const Posted sending = next();
    ASSERT_EQ(sending.message, MEC_MSG_STK_SMS_STATE);
    EXPECT_STREQ(sending.record.displayText, "Sending a message");
    const Posted sent = next();
    EXPECT_STREQ(sent.record.displayText, "Message sent");
    EXPECT_EQ(next().message, MEC_MSG_STK_MAIN_MENU_AGAIN);
    // The message went out through the card, and the SIM was told so.
    const auto state = card->snapshot();
    EXPECT_EQ(state.toolkit.results.front(), 0x00);
    EXPECT_EQ(state.commandsReceived.count("+CMGS=22"), 1u);

    // The menu is at hand from now on: asked again, it comes without a new activation.
    ASSERT_EQ(_MEC_SetStkMainMenu(), 0);
    EXPECT_EQ(next().message, MEC_MSG_STK_MAIN_MENU);
    EXPECT_EQ(card->snapshot().commandsReceived["+CUSATA=1"], 1);
}

class NoToolkitTest : public ToolkitEngineTest {
protected:
    void beforeStartup() override
    {
        ToolkitEngineTest::beforeStartup();
        card->setMissingCommands({"+CUSATA", "+CUSATR", "+CUSATE", "+CUSATT"});
    }
};

TEST_F(NoToolkitTest, ACardWithoutTheToolkitSaysSoAtOnceAndIsNotAskedAgain)
{
    EXPECT_EQ(_MEC_SetStkMainMenu(), MEC_ERR_NOT_SUPPORTED);
    EXPECT_EQ(_MEC_SetStkMainMenu(), MEC_ERR_NOT_SUPPORTED);
    EXPECT_EQ(_MEC_SelectStkMainMenu(1), MEC_ERR_NOT_SUPPORTED);
    EXPECT_EQ(_MEC_SetStkMenuBack(0), MEC_ERR_NOT_SUPPORTED);
    EXPECT_EQ(card->snapshot().commandsReceived["+CUSATA=1"], 1);
}

TEST(ToolkitLines, TheCommandIsReadWithOrWithoutQuotes)
{
    const std::pair<const char *, size_t> lines[] = {
        {"+CUSATP: \"D00981030125008202818200\"", 12},
        {"+CUSATP: D00981030125008202818200", 12},
        {"+cusatp:\"d00981030125008202818200\"", 12},
        {"+CUSATP: \"D0098\"", 0},  // an odd number of digits
    };
    for (const auto &[line, size] : lines) {
        SCOPED_TRACE(line);
        const auto bytes = proactiveCommandOf(line);
        EXPECT_EQ(bytes ? bytes->size() : 0u, size);
    }
}

}  // namespace
