#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "logic/BL_Members.h"
#include "logic/BL_Sms.h"
#include "logic/WindowPayloads.h"
#include "lumacore/fake/FakeLumacore.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"
#include "MessageCatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace {

class BusinessLogicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        lumacore_fake::reset();
        lumacore_fake::setResult("_MEC_GetFirstMessage", MEC_ERR_NO_MORE_ENTRIES);
        window = std::make_unique<MessageCatcher>();
    }

    void TearDown() override
    {
        lumacore_fake::reset();
        if (BusinessLogic() != nullptr) {
            ASSERT_EQ(StopBusinessLogic(), 0);
        }
        RegisterMainWindow(nullptr, 1);
        SetServiceProviderName({});
        SetStateRetryStopper({});
        platform::destroyStringManager();
    }

    void start()
    {
        ASSERT_EQ(StartBusinessLogic(0, 400, 0), 0);
        RegisterCardCallbacks();
        ASSERT_EQ(RegisterMainWindow(window.get(), 0), 0);
    }

    std::unique_ptr<MessageCatcher> window;
};

TEST_F(BusinessLogicTest, StartsTheEngineAndRegistersSixCallbacksThenReadsThePcStoreApart)
{
    lumacore_fake::setResult("_MEC_GetFirstContact", 13);
    lumacore_fake::setResult("_MEC_GetFirstGroup", 13);
    ASSERT_EQ(StartBusinessLogic(0, 400, 0), 0);
    // The start reads no store: the windows are built meanwhile.
    const std::vector<std::string> started = {
        "_MEC_Startup",
        "_MEC_SetCallBackSmsArriveNew",
        "_MEC_SetCallBackSmsSendReportArrive",
        "_MEC_SetCallBackCallCallComing",
        "_MEC_SetCallBackZpasNotify",
        "_MEC_SetCallBackSmsArriveClass0",
        "_MEC_SetCallBackSmsArriveBroadcast",
    };
    EXPECT_EQ(lumacore_fake::callNames(), started);
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_Startup").front(), "0, 400, 0");
    lumacore_fake::clearCalls();
    LoadPcLists();
    // The PC messages, then the phonebook: the PC list, the three counts, the PC groups.
    const std::vector<std::string> read = {
        "_MEC_LoadMessages",     "_MEC_GetFirstMessage",  "_MEC_GetContactCount",
        "_MEC_GetFirstContact",  "_MEC_GetContactCount",  "_MEC_GetContactCount",
        "_MEC_GetContactCount",  "_MEC_GetFirstGroup",
    };
    EXPECT_EQ(lumacore_fake::callNames(), read);
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_LoadMessages").front(), "2");
}

TEST_F(BusinessLogicTest, AFailedEngineStartStillBuildsTheRootAndReportsTheEngineStatus)
{
    lumacore_fake::setResult("_MEC_Startup", MEC_ERR_NO_CARD);
    EXPECT_EQ(StartBusinessLogic(0, 400, 0), MEC_ERR_NO_CARD);
    ASSERT_NE(BusinessLogic(), nullptr);
    EXPECT_NE(lumacore_fake::registeredCallbacks().smsArriveNew, nullptr);
    EXPECT_NE(lumacore_fake::registeredCallbacks().smsArriveBroadcast, nullptr);
}

TEST_F(BusinessLogicTest, ASecondStartStartsTheEngineAgainButLeavesTheRootAlone)
{
    start();
    TBL_base *root = BusinessLogic();
    TBL_sms *sms = root->sms.get();
    lumacore_fake::clearCalls();
    EXPECT_EQ(StartBusinessLogic(0, 400, 0), BL_ROOT_EXISTS);
    EXPECT_EQ(BusinessLogic(), root);
    EXPECT_EQ(root->sms.get(), sms);
    EXPECT_EQ(lumacore_fake::callNames(), std::vector<std::string>{"_MEC_Startup"});
}

TEST_F(BusinessLogicTest, AFailingShutDownKeepsTheRootAndEveryMember)
{
    start();
    TBL_base *root = BusinessLogic();
    lumacore_fake::setResult("_MEC_Shutdown", MEC_ERR_TIMEOUT);
    EXPECT_EQ(StopBusinessLogic(), MEC_ERR_TIMEOUT);
    ASSERT_EQ(BusinessLogic(), root);
    EXPECT_NE(root->settings, nullptr);
    EXPECT_NE(root->sms, nullptr);
    EXPECT_NE(root->phonebook, nullptr);
    EXPECT_NE(root->callRecords, nullptr);
    EXPECT_NE(root->file, nullptr);
    EXPECT_NE(root->toolkit, nullptr);
    EXPECT_NE(root->ussd, nullptr);
    EXPECT_NE(root->engineering, nullptr);

    lumacore_fake::setResult("_MEC_Shutdown", 0);
    EXPECT_EQ(StopBusinessLogic(), 0);
    EXPECT_EQ(BusinessLogic(), nullptr);
}

TEST_F(BusinessLogicTest, RegisteringTheWindowHandsTheEngineASinkThatReachesTheWindow)
{
    start();
    EXPECT_EQ(MainWindowHandle(), window.get());
    ASSERT_NE(lumacore_fake::registeredSink(), nullptr);
    lumacore_fake::postToAppFromEventThread(MEC_MSG_SIM_READY, 2, 0).get();
    const auto ready = window->take(platform::WM_SIM_READY);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_EQ(ready[0].wParam, 2u);

    EXPECT_EQ(RegisterMainWindow(window.get(), 1), 0);
    EXPECT_EQ(MainWindowHandle(), nullptr);
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_RegisterAppHandle")
                  .back()
                  .substr(lumacore_fake::argumentsOf("_MEC_RegisterAppHandle").back().size() - 1),
              "1");
}

TEST_F(BusinessLogicTest, ASinkHandedToTheEngineStaysValidAndIsTheOneUnregistered)
{
    static std::vector<LumacoreWindowSink *> handed;
    handed.clear();
    lumacore_fake::onCall(&_MEC_RegisterAppHandle,
                          [](LumacoreWindowSink *sink, uint8_t) -> MEC_STATUS {
                              handed.push_back(sink);
                              return 0;
                          });
    MessageCatcher other;
    ASSERT_EQ(RegisterMainWindow(window.get(), 0), 0);
    ASSERT_EQ(RegisterMainWindow(&other, 0), 0);
    ASSERT_EQ(RegisterMainWindow(&other, 1), 0);
    ASSERT_EQ(handed.size(), 3u);
    EXPECT_NE(handed[0], handed[1]);
    EXPECT_EQ(handed[2], handed[1]);  // the sink the engine holds, not a new one

    // The engine may still be delivering through the first sink when the second replaces it.
    LumacoreWindowSink *first = handed[0];
    EXPECT_EQ(first->post(first->context, platform::WM_SIM_READY, 2, 0, nullptr, 0), 1);
    EXPECT_EQ(window->take(platform::WM_SIM_READY).size(), 1u);
    EXPECT_TRUE(other.take(platform::WM_SIM_READY).empty());
}

TEST_F(BusinessLogicTest, SendReportBlockKeepsAtMost32NumberAnd24TimeCharacters)
{
    start();
    const std::string number(40, '7');
    const std::string time = "2026-12-08  17:45:12 +03:00 extra";
    ASSERT_EQ(lumacore_fake::fireSmsSendReport(9, number, time).get(), MEC_STATUS{0});
    const auto reports = window->take(platform::WM_SMS_REPORT);
    ASSERT_EQ(reports.size(), 1u);
    const std::vector<uint8_t> &block = reports[0].block;
    ASSERT_EQ(block.size(), 61u);
    EXPECT_EQ(block[0], 9);
    EXPECT_EQ(std::string(block.begin() + 1, block.begin() + 33), std::string(32, '7'));
    for (int i = 33; i < 37; ++i) {
        EXPECT_EQ(block[i], 0) << "byte " << i;
    }
    EXPECT_EQ(std::string(block.begin() + 37, block.end()), time.substr(0, 24));
}

TEST_F(BusinessLogicTest, Class0AndBroadcastBlocksCutTheirTextsAt160)
{
    start();
    const std::string text(200, 'x');
    lumacore_fake::fireSmsArriveClass0("+5491155550000", text).get();
    lumacore_fake::fireSmsArriveBroadcast(text).get();

    const auto class0 = window->take(platform::WM_SMS_CLASS0);
    ASSERT_EQ(class0.size(), 1u);
    ASSERT_EQ(class0[0].block.size(), sizeof(SmsClass0Payload));
    EXPECT_STREQ(reinterpret_cast<const char *>(class0[0].block.data()), "+5491155550000");
    EXPECT_STREQ(reinterpret_cast<const char *>(class0[0].block.data()) + 36,
                 std::string(160, 'x').c_str());

    const auto broadcast = window->take(platform::WM_SMS_BROADCAST);
    ASSERT_EQ(broadcast.size(), 1u);
    ASSERT_EQ(broadcast[0].block.size(), sizeof(SmsBroadcastPayload));
    EXPECT_STREQ(reinterpret_cast<const char *>(broadcast[0].block.data()),
                 std::string(160, 'x').c_str());
}

// Texts in UTF-8 take more bytes than characters: a message of 160 accented, Cyrillic or
// four-byte characters arrives whole, and a longer one is cut between two characters.
TEST_F(BusinessLogicTest, Class0AndBroadcastTextsKeep160CharactersOfAnyWidth)
{
    platform::forceSystemCodePage("UTF-8");
    start();
    auto repeat = [](const std::string &character, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += character;
        }
        return text;
    };
    for (const std::string character : {"é", "Ж", "中", "😀"}) {
        lumacore_fake::fireSmsArriveClass0("+1", repeat(character, 170)).get();
        lumacore_fake::fireSmsArriveBroadcast(repeat(character, 160)).get();
        const auto class0 = window->take(platform::WM_SMS_CLASS0);
        ASSERT_EQ(class0.size(), 1u);
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(class0[0].block.data()) + 36),
                  repeat(character, 160))
            << character;
        const auto broadcast = window->take(platform::WM_SMS_BROADCAST);
        ASSERT_EQ(broadcast.size(), 1u);
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(broadcast[0].block.data())),
                  repeat(character, 160))
            << character;
        window->messages.clear();
    }
    platform::forceSystemCodePage("");
}

TEST_F(BusinessLogicTest, CallerNumberAndServiceTextTravelAsTexts)
{
    start();
    lumacore_fake::fireCallComing("+59899123456").get();
    lumacore_fake::fireZpasNotify("No Service").get();
    const auto calls = window->take(platform::WM_INCOMING_CALL);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, "+59899123456");
    const auto service = window->take(platform::WM_SERVICE_TEXT);
    ASSERT_EQ(service.size(), 1u);
    EXPECT_EQ(service[0].text, "No Service");
}

TEST_F(BusinessLogicTest, CardNoticesBecomeCardStatesAndRemovalStopsTheRetryTimerFirst)
{
    start();
    std::vector<std::string> order;
    SetStateRetryStopper([&order] { order.push_back("stop retry"); });

    lumacore_fake::fireMeStateChanged(1).get();
    lumacore_fake::fireMeStateChanged(2).get();
    lumacore_fake::fireMeStateChanged(3).get();
    lumacore_fake::fireMeStateChanged(0).get();

    const auto states = window->take(platform::WM_CARD_STATE);
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0].wParam, 2u);  // present: the engine answers
    EXPECT_EQ(states[1].wParam, 1u);  // removed: no card
    EXPECT_EQ(order, std::vector<std::string>{"stop retry"});
}

_MEC_ZDON_RECORD operatorRecord(const char *name)
{
    _MEC_ZDON_RECORD record{};
    std::strncpy(record.operatorName, name, sizeof record.operatorName - 1);
    std::strcpy(record.secondName, "Brisa Movil");
    std::strcpy(record.serviceDomain, "CS_PS");
    std::strcpy(record.roaming, "ROAM_OFF");
    return record;
}

TEST_F(BusinessLogicTest, OperatorRecordShowsTheProviderNameOnlyForARealNetworkName)
{
    const QString library = qEnvironmentVariable("LUMADIAL_PROGRAM_DIR") + "/language/english.so";
    platform::createStringManager(library);
    const std::string notFound = platform::GetLanguageStringAnsi(1084);
    ASSERT_FALSE(notFound.empty()) << "language library missing: " << library.toStdString();
    start();

    struct Case {
        const char *networkName;
        const char *providerName;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"Personal AR", "Brisa", "Brisa"},
        {"", "Brisa", notFound},
        {"Not Found", "Brisa", notFound},
        {"not found", "Brisa", "Brisa"},  // only the exact text counts
        {"Personal AR", "", notFound},    // before the SIM has told its name
    };
    for (const Case &c : cases) {
        SetServiceProviderName(c.providerName);
        lumacore_fake::fireZdonNotify(operatorRecord(c.networkName)).get();
        const auto records = window->take(platform::WM_OPERATOR_RECORD);
        window->messages.clear();
        ASSERT_EQ(records.size(), 1u) << c.networkName;
        const std::vector<uint8_t> &block = records[0].block;
        ASSERT_EQ(block.size(), 212u);
        EXPECT_STREQ(reinterpret_cast<const char *>(block.data()), c.shown.c_str())
            << c.networkName;
        const auto *record = reinterpret_cast<const _MEC_ZDON_RECORD *>(block.data());
        EXPECT_STREQ(record->secondName, "Brisa Movil");
        EXPECT_STREQ(record->serviceDomain, "CS_PS");
        EXPECT_STREQ(record->roaming, "ROAM_OFF");
    }
}

TEST_F(BusinessLogicTest, NewMessageIsReadThroughTheStoreAndPostedAsAWholeItem)
{
    start();
    lumacore_fake::onCall(&_MEC_GetMessage,
                          [](uint16_t index, _MEC_SMS_RECORD *record) -> MEC_STATUS {
                              record->index = index;
                              record->status = 2;
                              record->storage = 0;
                              std::strcpy(record->sender, "+5491155550000");
                              std::strcpy(record->text, "Saldo: $120");
                              record->receiveTime = {2026, 12, 8, 9, 5, 0, 0, 0};
                              return 0;
                          });
    EXPECT_EQ(lumacore_fake::fireSmsArriveNew(0, 7).get(), MEC_STATUS{0});
    const auto arrived = window->take(platform::WM_SMS_NEW);
    ASSERT_EQ(arrived.size(), 1u);
    ASSERT_EQ(arrived[0].block.size(), sizeof(SmsItem));
    SmsItem item;
    std::memcpy(&item, arrived[0].block.data(), sizeof item);
    EXPECT_EQ(item.recordSize, 1108);
    EXPECT_EQ(item.storageIndex, 7);
    EXPECT_EQ(item.folder, SMS_FOLDER_INBOX);
    EXPECT_STREQ(item.number, "+5491155550000");
    EXPECT_STREQ(item.text, "Saldo: $120");
    EXPECT_STREQ(item.time, "2026-12-08  09:05:00");
    EXPECT_EQ(SmsGetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM), 1);
}

TEST_F(BusinessLogicTest, AFailedNewMessageReadPostsNothingAndStoresNothing)
{
    start();
    lumacore_fake::setResult("_MEC_GetMessage", MEC_ERR_TIMEOUT);
    EXPECT_EQ(lumacore_fake::fireSmsArriveNew(0, 3).get(), MEC_STATUS{0});
    EXPECT_TRUE(window->take(platform::WM_SMS_NEW).empty());
    EXPECT_EQ(lumacore_fake::countOf("_MEC_GetMessage"), 1);
    EXPECT_EQ(SmsGetMessageCount(SMS_FOLDER_ALL, SMS_STORE_SIM), 0);
}

TEST_F(BusinessLogicTest, ANewMessageIsReadAndStoredOnTheWindowThreadNotTheEngines)
{
    start();
    static std::atomic<bool> readOnEngineThread{false};
    readOnEngineThread = false;
    lumacore_fake::onCall(&_MEC_GetMessage,
                          [](uint16_t index, _MEC_SMS_RECORD *record) -> MEC_STATUS {
                              readOnEngineThread = lumacore_fake::onEventThread();
                              record->index = index;
                              record->status = 2;
                              std::strcpy(record->text, "hola");
                              return 0;
                          });
    // The callback has returned on the engine's thread; the store has not been touched yet.
    ASSERT_EQ(lumacore_fake::fireSmsArriveNew(0, 7).get(), MEC_STATUS{0});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_GetMessage"), 0);
    EXPECT_EQ(SmsGetMessageCount(SMS_FOLDER_ALL, SMS_STORE_SIM), 0);

    EXPECT_EQ(window->take(platform::WM_SMS_NEW).size(), 1u);
    EXPECT_FALSE(readOnEngineThread);
    EXPECT_EQ(SmsGetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM), 1);
}

TEST_F(BusinessLogicTest, UssdReadinessEndsAnOpenSessionAndIsAnnounced)
{
    start();
    EXPECT_FALSE(UssdIsBusy());
    UssdSetReady(true);
    EXPECT_EQ(UssdGetState(), TBL_Ussd::Ready);
    EXPECT_EQ(window->take(platform::WM_USSD_STATE).size(), 1u);
    UssdSetReady(false);
    EXPECT_EQ(UssdGetState(), TBL_Ussd::Unavailable);
}

}  // namespace
