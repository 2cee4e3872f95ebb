// The fake engine: every call of the header exists, scripts answer as told, the log says what was
// called, and events run on the fake's own thread where callbacks may call back in.
#include "FakeLumacore.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

namespace {

class FakeLumacoreTest : public ::testing::Test {
protected:
    void SetUp() override { lumacore_fake::reset(); }
    void TearDown() override { lumacore_fake::reset(); }
};

// The calls the header declares, read from the header itself.
std::set<std::string> declaredCalls()
{
    std::ifstream header(LUMACORE_HEADER_PATH);
    std::stringstream text;
    text << header.rdbuf();
    const std::string content = text.str();
    const std::regex declaration(R"((?:MEC_STATUS|uint16_t)\s+(_MEC_\w+|_SIMOperate)\s*\()");
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(content.begin(), content.end(), declaration);
         it != std::sregex_iterator(); ++it)
        names.insert((*it)[1]);
    return names;
}

TEST_F(FakeLumacoreTest, DefinesEveryCallOfTheHeader)
{
    const std::set<std::string> names = declaredCalls();
    ASSERT_GT(names.size(), 100u);  // the header was found and read
    for (const std::string &name : names) {
        EXPECT_NE(dlsym(RTLD_DEFAULT, name.c_str()), nullptr) << name << " is not exported";
        EXPECT_NO_THROW(lumacore_fake::setResult(name, 0)) << name << " is not scriptable";
    }
}

TEST_F(FakeLumacoreTest, UnknownNamesAreRefusedRatherThanIgnored)
{
    EXPECT_THROW(lumacore_fake::setResult("_MEC_GetCSQ", 1), std::invalid_argument);
    EXPECT_THROW(lumacore_fake::countOf("_MEC_Dail"), std::invalid_argument);
    EXPECT_THROW(lumacore_fake::argumentsOf("GetCsq"), std::invalid_argument);
}

TEST_F(FakeLumacoreTest, ResultsDefaultToZeroAndFollowTheScriptUntilReset)
{
    uint8_t csq = 0;
    EXPECT_EQ(_MEC_GetCsq(&csq), 0);
    EXPECT_EQ(csq, 0);

    lumacore_fake::setResult("_MEC_GetCsq", MEC_ERR_TIMEOUT);
    lumacore_fake::setResult("_MEC_GetContactCount", 17);
    EXPECT_EQ(_MEC_GetCsq(&csq), MEC_ERR_TIMEOUT);
    EXPECT_EQ(_MEC_GetContactCount(2), 17);
    EXPECT_EQ(_MEC_Echo(), 0) << "a result belongs to one call only";

    lumacore_fake::reset();
    EXPECT_EQ(_MEC_GetCsq(&csq), 0);
    EXPECT_EQ(_MEC_GetContactCount(2), 0);
}

TEST_F(FakeLumacoreTest, HandlersFillOutValuesAndDecideTheResult)
{
    lumacore_fake::onCall(&_MEC_GetCsq, [](uint8_t *value) -> MEC_STATUS {
        *value = 20;
        return 0;
    });
    int walked = 0;
    lumacore_fake::onCall(&_MEC_GetNextMessage, [&walked](_MEC_SMS_RECORD *record) -> MEC_STATUS {
        if (walked == 2)
            return MEC_ERR_NO_MORE_ENTRIES;
        record->index = static_cast<uint16_t>(++walked);
        std::strcpy(record->text, "hello");
        return 0;
    });
    lumacore_fake::setResult("_MEC_GetCsq", MEC_ERR_ERROR);  // a handler takes precedence

    uint8_t csq = 0;
    EXPECT_EQ(_MEC_GetCsq(&csq), 0);
    EXPECT_EQ(csq, 20);

    _MEC_SMS_RECORD record{};
    EXPECT_EQ(_MEC_GetNextMessage(&record), 0);
    EXPECT_EQ(record.index, 1);
    EXPECT_STREQ(record.text, "hello");
    EXPECT_EQ(_MEC_GetNextMessage(&record), 0);
    EXPECT_EQ(_MEC_GetNextMessage(&record), MEC_ERR_NO_MORE_ENTRIES);

    lumacore_fake::onCall(&_MEC_GetCsq, [](uint8_t *value) -> MEC_STATUS {
        *value = 5;
        return 0;
    });
    EXPECT_EQ(_MEC_GetCsq(&csq), 0);
    EXPECT_EQ(csq, 5) << "a second handler replaces the first";
}

TEST_F(FakeLumacoreTest, LogRendersArguments)
{
    _MEC_SMS_RECORD sms{};
    sms.storage = 2;
    std::strcpy(sms.recipient, "+4915112345");
    std::strcpy(sms.text, "Hi");
    sms.textLength = 2;
    SmsConfigBlock config{};
    std::strcpy(config.serviceCenter, "+491710760000");
    config.validity = '2';
    config.statusReport = 1;
    config.storage = '1';
    _MEC_GROUP_RECORD group{};
    std::memset(group.groupName, 'A', sizeof group.groupName);  // no terminator in the field
    group.storage = 2;
    uint8_t csq = 0;

    // What the fake recorded is checked below; its answers are not the point here.
    (void)_MEC_SetPin("1234", nullptr);
    (void)_MEC_SetDTMF('#');
    (void)_MEC_DeleteMessage(300, 1);
    (void)_MEC_GetCsq(&csq);
    (void)_MEC_SetSmsConfig(config);
    (void)_MEC_SendMessage(&sms);
    (void)_MEC_SetGroup(&group);
    (void)_MEC_DeleteGroup(-1, 2);

    const std::vector<std::string> expected = {
        R"(_MEC_SetPin("1234", null))",
        R"(_MEC_SetDTMF('#'))",
        R"(_MEC_DeleteMessage(300, 1))",
        R"(_MEC_GetCsq(out))",
        R"(_MEC_SetSmsConfig(config{center="+491710760000", validity='2', report=1, storage='1'}))",
        R"(_MEC_SendMessage(sms{storage=2, index=0, status=0, recipient="+4915112345", sender="", )"
        R"(center="", coding=0, length=2, text="Hi"}))",
        R"(_MEC_SetGroup(group{storage=2, id=0, name=")" + std::string(33, 'A') + R"("}))",
        R"(_MEC_DeleteGroup(-1, 2))",
    };
    const std::vector<lumacore_fake::Call> calls = lumacore_fake::calls();
    ASSERT_EQ(calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(calls[i].text(), expected[i]);

    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetPin"), 1);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_Echo"), 0);
    lumacore_fake::clearCalls();
    EXPECT_TRUE(lumacore_fake::callNames().empty());
}

// The callbacks below stand in for the program's: they note where they ran and call back in.
std::atomic<bool> g_ranOnEventThread{false};
std::atomic<int> g_readIndex{-1};

MEC_STATUS onNewSms(uint8_t storage, uint16_t index)
{
    g_ranOnEventThread = lumacore_fake::onEventThread();
    _MEC_SMS_RECORD record{};
    record.storage = storage;
    record.index = index;
    const MEC_STATUS status = _MEC_GetMessage(index, &record);
    g_readIndex = record.index;
    return status;
}

MEC_STATUS onZdon(const _MEC_ZDON_RECORD *record)
{
    return std::strcmp(record->roaming, "ROAM_ON") == 0 ? 1 : 2;
}

TEST_F(FakeLumacoreTest, CallbacksRunOnTheEventThreadAndMayCallTheEngine)
{
    ASSERT_EQ(_MEC_SetCallBackSmsArriveNew(&onNewSms, 0), 0);
    lumacore_fake::setResult("_MEC_GetMessage", MEC_ERR_CMS_BASE + 321);

    auto result = lumacore_fake::fireSmsArriveNew(2, 41);
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(result.get(), std::optional<MEC_STATUS>(MEC_ERR_CMS_BASE + 321));
    EXPECT_TRUE(g_ranOnEventThread);
    EXPECT_FALSE(lumacore_fake::onEventThread());
    EXPECT_EQ(g_readIndex, 41);
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_GetMessage"),
              std::vector<std::string>{"41, sms{storage=2, index=41, status=0, recipient=\"\", "
                                       "sender=\"\", center=\"\", coding=0, length=0, text=\"\"}"});

    ASSERT_EQ(_MEC_SetCallBackZdonNotify(&onZdon, 0), 0);
    _MEC_ZDON_RECORD zdon{};
    std::strcpy(zdon.roaming, "ROAM_ON");
    auto zdonResult = lumacore_fake::fireZdonNotify(zdon);
    std::strcpy(zdon.roaming, "ROAM_OFF");  // the event carries its own copy
    EXPECT_EQ(zdonResult.get(), std::optional<MEC_STATUS>(1));
}

TEST_F(FakeLumacoreTest, EventsWithoutACallbackReportNone)
{
    lumacore_fake::setResult("_MEC_SetCallBackMeStateChanged", MEC_ERR_ERROR);
    EXPECT_EQ(_MEC_SetCallBackMeStateChanged([](uint8_t) -> MEC_STATUS { return 0; }, 0),
              MEC_ERR_ERROR);
    EXPECT_EQ(lumacore_fake::registeredCallbacks().meStateChanged, nullptr)
        << "a refused registration registers nothing";
    EXPECT_EQ(lumacore_fake::fireMeStateChanged(2).get(), std::nullopt);
    EXPECT_EQ(lumacore_fake::fireZpasNotify("No Service").get(), std::nullopt);
}

TEST_F(FakeLumacoreTest, WaitIdleWaitsForEveryQueuedEventInOrder)
{
    static std::vector<std::string> seen;
    static std::mutex seenMutex;
    seen.clear();
    (void)_MEC_SetCallBackZpasNotify(  // the fake always takes a callback
        [](const char *text) -> MEC_STATUS {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::lock_guard lock(seenMutex);
            seen.emplace_back(text);
            return 0;
        },
        0);
    for (const char *text : {"UMTS", "No Service", "Limited Service", "HSDPA"})
        lumacore_fake::fireZpasNotify(text);
    lumacore_fake::waitIdle();
    std::lock_guard lock(seenMutex);
    EXPECT_EQ(seen, (std::vector<std::string>{"UMTS", "No Service", "Limited Service", "HSDPA"}));
}

// A window sink that records what reaches it.
struct RecordingSink {
    std::mutex mutex;
    std::vector<std::string> received;
    std::thread::id sendThread;
    LumacoreWindowSink sink{this, &post, &send};

    static int post(void *context, uint32_t message, uint32_t wParam, uint32_t lParam,
                    const void *data, size_t size)
    {
        auto *self = static_cast<RecordingSink *>(context);
        std::lock_guard lock(self->mutex);
        self->received.push_back(std::to_string(message) + "," + std::to_string(wParam) + "," +
                                 std::to_string(lParam) + ":" +
                                 std::string(static_cast<const char *>(data), size));
        return 1;
    }

    static intptr_t send(void *context, uint32_t message, uint32_t, uint32_t, const void *data,
                         size_t size)
    {
        auto *self = static_cast<RecordingSink *>(context);
        std::lock_guard lock(self->mutex);
        self->sendThread = std::this_thread::get_id();
        const auto *reply = static_cast<const _MEC_USSD_REPLY *>(data);
        return message == MEC_MSG_USSD_REPLY && size == sizeof(_MEC_USSD_REPLY) &&
                       std::strcmp(reply->text, "Balance 5") == 0
                   ? 255
                   : -1;
    }
};

TEST_F(FakeLumacoreTest, RegisteredSinkCarriesMessagesFromEitherThread)
{
    EXPECT_EQ(lumacore_fake::postToApp(MEC_MSG_SIM_READY, 2, 0), 0) << "no sink yet";

    RecordingSink window;
    ASSERT_EQ(_MEC_RegisterAppHandle(&window.sink, 0), 0);
    EXPECT_EQ(lumacore_fake::registeredSink(), &window.sink);

    char payload[] = "abc";
    EXPECT_EQ(lumacore_fake::postToApp(MEC_MSG_CALL_DIAL_RESULT, 1, 0), 1);
    auto posted = lumacore_fake::postToAppFromEventThread(MEC_MSG_SIM_READY, 2, 7, payload, 3);
    payload[0] = 'X';  // the queued message keeps its own copy
    EXPECT_EQ(posted.get(), 1);

    _MEC_USSD_REPLY reply{};
    std::strcpy(reply.text, "Balance 5");
    auto sent =
        lumacore_fake::sendToAppFromEventThread(MEC_MSG_USSD_REPLY, 0, 0, &reply, sizeof reply);
    EXPECT_EQ(sent.get(), 255);
    {
        std::lock_guard lock(window.mutex);
        EXPECT_EQ(window.received, (std::vector<std::string>{"3032,1,0:", "3026,2,7:abc"}));
        EXPECT_NE(window.sendThread, std::this_thread::get_id());
    }

    ASSERT_EQ(_MEC_RegisterAppHandle(nullptr, 1), 0);
    EXPECT_EQ(lumacore_fake::registeredSink(), nullptr);
    EXPECT_EQ(lumacore_fake::sendToApp(MEC_MSG_USSD_REPLY, 0, 0), 0);
}

TEST_F(FakeLumacoreTest, CallsFromManyThreadsAreAllLogged)
{
    std::atomic<int> handled{0};
    lumacore_fake::onCall(&_MEC_SetDTMF, [&handled](char) -> MEC_STATUS {
        ++handled;
        return 0;
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 250; ++i)
                (void)_MEC_SetDTMF('1');  // only the interleaving is under test
        });
    }
    for (int i = 0; i < 250; ++i)
        lumacore_fake::runOnEventThread([] { (void)_MEC_SetDTMF('2'); });
    for (std::thread &thread : threads)
        thread.join();
    lumacore_fake::waitIdle();
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetDTMF"), 1250);
    EXPECT_EQ(handled, 1250);
}

TEST_F(FakeLumacoreTest, WaitIdleFromTheEventThreadIsRefused)
{
    auto done = lumacore_fake::runOnEventThread([] { lumacore_fake::waitIdle(); });
    EXPECT_THROW(done.get(), std::logic_error);
}

}  // namespace
