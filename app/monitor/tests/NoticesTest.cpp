// Notices, sounds, the call and connection states, power events and the hand-over of messages
// to the feature windows.
#include "MonitorTestSupport.h"

#include "FakeLumacore.h"
#include "FeatureMessages.h"
#include "config/BL_File.h"
#include "engine/BL_Sms.h"
#include "platform/CodePage.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstring>

using lumacore_fake::countOf;
using lumacore_fake::setResult;

namespace {

std::unique_ptr<platform::ByteBlock> smsBlock(const char *number, uint8_t folder, uint8_t storage)
{
    SmsItem item{};
    std::strcpy(item.number, number);
    std::strcpy(item.text, "hello");
    item.folder = folder;
    item.storage = storage;
    return std::make_unique<platform::ByteBlock>(&item, sizeof item);
}

std::unique_ptr<platform::ByteBlock> class0Block(const char *number, const char *text)
{
    std::vector<uint8_t> block(200, 0);
    std::memcpy(block.data(), number, std::strlen(number));
    std::memcpy(block.data() + 36, text, std::strlen(text));
    return std::make_unique<platform::ByteBlock>(std::move(block));
}

}  // namespace

class NoticeTest : public MonitorTest {
protected:
    void SetUp() override
    {
        MonitorTest::SetUp();
        scriptHealthyCard();
        walkFrom(kCardInserted);
        ASSERT_EQ(monitor->cardState(), kSimReady);
    }

    QString soundFile(const char *name) const
    {
        return folder.path() + "/resource/sound/wav/" + name;
    }
};

// ---- new messages -------------------------------------------------------------------------------

TEST_F(NoticeTest, TwoMessagesWhileHiddenOpenOnePopupAndKeepTheNewest)
{
    view.hidden = true;
    send(platform::WM_SMS_NEW, 0, 0, smsBlock("+5491100001", 0, 0));
    send(platform::WM_SMS_NEW, 0, 0, smsBlock("+5491100002", 0, 0));
    EXPECT_EQ(view.newSmsPopupsShown, 1);
    EXPECT_EQ(view.newSmsPopupText, QStringLiteral("+5491100001"));
    ASSERT_NE(monitor->newSmsEntry(), nullptr);
    EXPECT_STREQ(monitor->newSmsEntry()->number, "+5491100002");
    EXPECT_TRUE(view.indicators[Indicator::NewSms]);
    EXPECT_EQ(view.trayAnimation, TrayAnimation::NewSms);
    EXPECT_EQ(features.messageNumbers(),
              (std::vector<uint32_t>{platform::WM_SMS_NEW, platform::WM_SMS_NEW}));
}

TEST_F(NoticeTest, MessagePopupOnlyWhenTheWindowIsNotInFront)
{
    struct Case {
        bool hidden;
        bool active;
        bool callPopup;
        int popups;
        bool above;
    };
    const Case cases[] = {
        {false, true, false, 0, false},
        {false, false, false, 1, false},
        {true, false, false, 1, false},
        {true, false, true, 1, true},
    };
    for (const Case &c : cases) {
        view.newSmsPopup = false;
        view.newSmsPopupsShown = 0;
        view.hidden = c.hidden;
        view.active = c.active;
        view.callPopup = c.callPopup;
        monitor->newSmsArrived(QStringLiteral("+1"));
        EXPECT_EQ(view.newSmsPopupsShown, c.popups);
        EXPECT_EQ(view.newSmsPopupAbove, c.above);
    }
}

TEST_F(NoticeTest, MessageReachesTheSmsWindowsBeforeItsNotice)
{
    features.onMessage = [this](const RecordingWindow::Message &message) {
        EXPECT_EQ(message.bytes.size(), sizeof(SmsItem));
        EXPECT_FALSE(view.indicators[Indicator::NewSms]);
        EXPECT_NE(monitor->newSmsEntry(), nullptr);
    };
    send(platform::WM_SMS_NEW, 0, 0, smsBlock("+1", 0, 2));
    EXPECT_EQ(features.messageNumbers(), std::vector<uint32_t>{platform::WM_SMS_NEW});
    EXPECT_TRUE(view.indicators[Indicator::NewSms]);

    // A block too short to be a message is dropped whole: no window, no notice.
    features.onMessage = {};
    monitor->clearNewSms();
    send(platform::WM_SMS_NEW, 0, 0,
         std::make_unique<platform::ByteBlock>(std::vector<uint8_t>(12, 1)));
    EXPECT_EQ(features.messages.size(), 1u);
    EXPECT_FALSE(view.indicators[Indicator::NewSms]);
}

TEST_F(NoticeTest, MessageNoticeOnlyOnceTheSimIsRegistered)
{
    monitor->applyCardState(kCardOffline);
    send(platform::WM_SMS_NEW, 0, 0, smsBlock("+1", 0, 0));
    EXPECT_NE(monitor->newSmsEntry(), nullptr);  // kept for when it is opened
    EXPECT_FALSE(view.indicators[Indicator::NewSms]);
    EXPECT_TRUE(sound->played.isEmpty());
}

TEST_F(NoticeTest, ClearingTheMessageNoticeOpensItsFolderAndRestoresTheTray)
{
    view.hidden = true;
    send(platform::WM_SMS_NEW, 0, 0, smsBlock("+1", 1, 2));
    monitor->clearNewSms(true);
    const auto opened =
        features.messagesIn(feature::WM_OPEN_SMS_FOLDER, feature::WM_OPEN_SMS_FOLDER);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front().wParam, 1u);  // folder
    EXPECT_EQ(opened.front().lParam, 2u);  // storage
    EXPECT_FALSE(view.indicators[Indicator::NewSms]);
    EXPECT_EQ(view.trayImage, kImageInService);
    EXPECT_EQ(view.trayAnimation, TrayAnimation::None);
    EXPECT_FALSE(view.newSmsPopup);
    EXPECT_FALSE(sound->playing);
    EXPECT_EQ(monitor->newSmsEntry(), nullptr);

    setConnectionState(3);
    send(platform::WM_SMS_NEW, 0, 0, smsBlock("+1", 1, 2));
    monitor->clearNewSms();
    EXPECT_EQ(view.trayAnimation, TrayAnimation::Connected);
}

// ---- sounds -------------------------------------------------------------------------------------

TEST_F(NoticeTest, RingIsNotCutByAMessageButAMessageIsCutByARing)
{
    monitor->incomingCall(QStringLiteral("+2"));
    ASSERT_EQ(sound->played, QStringList{soundFile("stelephone.wav")});
    EXPECT_TRUE(sound->repeating);
    monitor->newSmsArrived(QStringLiteral("+3"));
    EXPECT_EQ(sound->played.size(), 1);
    EXPECT_EQ(monitor->sound().playingPriority(), 3);

    monitor->callStopped();
    EXPECT_FALSE(sound->playing);
    monitor->newSmsArrived(QStringLiteral("+3"));
    EXPECT_EQ(sound->played.back(), soundFile("bird.wav"));
    EXPECT_FALSE(sound->repeating);
    monitor->incomingCall(QStringLiteral("+2"));
    EXPECT_EQ(sound->played.back(), soundFile("stelephone.wav"));
    EXPECT_EQ(monitor->sound().playingPriority(), 3);
}

TEST_F(NoticeTest, SoundPriorities)
{
    struct Case {
        SoundEvent playing;
        bool stillPlaying;
        SoundEvent next;
        bool started;
    };
    const Case cases[] = {
        {SoundEvent::Connected, true, SoundEvent::SmsArrived, true},
        {SoundEvent::SmsArrived, true, SoundEvent::Disconnected, false},
        {SoundEvent::SmsArrived, false, SoundEvent::Disconnected, true},
        {SoundEvent::SmsArrived, true, SoundEvent::SmsArrived, true},
        {SoundEvent::IncomingCall, true, SoundEvent::Connected, false},
    };
    for (const Case &c : cases) {
        monitor->sound().stop();
        monitor->sound().play(c.playing);
        if (!c.stillPlaying)
            sound->output->finish();
        const qsizetype before = sound->played.size();
        monitor->sound().play(c.next);
        EXPECT_EQ(sound->played.size() > before, c.started)
            << int(c.playing) << " then " << int(c.next);
    }
}

TEST_F(NoticeTest, UnplayableSoundBeepsRestoresTheDefaultAndTriesOnce)
{
    SoundOfSlot(FileStore().allConfig(), kSoundSlotSmsArrived);
    std::strcpy(SoundOfSlot(FileStore().allConfig(), kSoundSlotSmsArrived)->file, "/nowhere/x.wav");
    ASSERT_TRUE(FileStore().SaveAllConfig());
    sound->refuse = 2;
    monitor->newSmsArrived(QStringLiteral("+1"));
    EXPECT_EQ(sound->played, (QStringList{"/nowhere/x.wav", soundFile("bird.wav")}));
    std::string file;
    ASSERT_TRUE(FileStore().GetSoundFile(kSoundSlotSmsArrived, file));
    EXPECT_EQ(file, "./resource/sound/wav/bird.wav");

    // A sound that breaks while playing takes the same path.
    sound->played.clear();
    monitor->sound().play(SoundEvent::Connected);
    sound->output->breakDown();
    EXPECT_EQ(sound->played, (QStringList{soundFile("chimes.wav"), soundFile("chimes.wav")}));
    EXPECT_TRUE(sound->playing);
}

TEST_F(NoticeTest, WithoutAnAudioDeviceOnlyTheBeepSoundsAndTheChosenFileStays)
{
    std::strcpy(SoundOfSlot(FileStore().allConfig(), kSoundSlotSmsArrived)->file,
                "/home/me/mine.wav");
    ASSERT_TRUE(FileStore().SaveAllConfig());
    auto state = std::make_shared<FakeSoundOutput::State>();
    state->noDevice = true;
    int beeps = 0;
    TSoundPlayer player(std::make_unique<FakeSoundOutput>(state), FileStore(), [&] { ++beeps; },
                        {});
    player.play(SoundEvent::SmsArrived);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(state->played.isEmpty());
    EXPECT_EQ(player.playingPriority(), 0);
    std::string file;
    ASSERT_TRUE(FileStore().GetSoundFile(kSoundSlotSmsArrived, file));
    EXPECT_EQ(file, "/home/me/mine.wav");
}

TEST_F(NoticeTest, MutedSoundPlaysNothingAndUnreadableSettingsAreReported)
{
    SoundOfSlot(FileStore().allConfig(), kSoundSlotConnected)->muted = 1;
    ASSERT_TRUE(FileStore().SaveAllConfig());
    setConnectionState(3);
    monitor->connectionUp();
    EXPECT_TRUE(sound->played.isEmpty());

    QFile::remove(folder.filePath("allconfig.ran"));
    monitor->newSmsArrived(QStringLiteral("+1"));
    EXPECT_TRUE(sound->played.isEmpty());
    EXPECT_EQ(boxes, QStringList{text(1018) + "allconfig.ran"});
}

TEST(SoundPath, DotPathsAreTakenFromTheProgramFolder)
{
    EXPECT_EQ(TSoundPlayer::resolvePath("./resource/sound/wav/bird.wav", "/opt/lumadial"),
              QStringLiteral("/opt/lumadial/resource/sound/wav/bird.wav"));
    EXPECT_EQ(TSoundPlayer::resolvePath(".\\resource\\sound\\wav\\tada.wav", "/opt/lumadial"),
              QStringLiteral("/opt/lumadial/resource/sound/wav/tada.wav"));
    EXPECT_EQ(TSoundPlayer::resolvePath("/home/me/ring.wav", "/opt/lumadial"),
              QStringLiteral("/home/me/ring.wav"));
    // A name chosen in a single-byte locale is decoded in that code page, not as UTF-8.
    platform::forceSystemCodePage("CP1252");
    const QString accented = TSoundPlayer::resolvePath("/home/me/canci\xf3n.wav", "/opt/lumadial");
    platform::forceSystemCodePage({});
    EXPECT_EQ(accented, QStringLiteral("/home/me/canci\u00f3n.wav"));
}

// ---- calls --------------------------------------------------------------------------------------

TEST_F(NoticeTest, IncomingCallPopupAndItsEnd)
{
    view.hidden = true;
    monitor->incomingCall(QStringLiteral("+5491100003"));
    EXPECT_EQ(view.callPopupsShown, 1);
    EXPECT_EQ(view.callPopupText, QStringLiteral("+5491100003"));
    EXPECT_TRUE(monitor->callBeingAnswered());
    EXPECT_EQ(view.trayAnimation, TrayAnimation::IncomingCall);
    monitor->Timer_UpdateTrayHintTimer();
    EXPECT_EQ(view.trayHint, text(1013));

    view.callPopup = true;
    monitor->incomingCall(QStringLiteral("Ana"), true);
    EXPECT_EQ(view.callPopupsShown, 1);
    EXPECT_EQ(view.callPopupText, QStringLiteral("Ana"));

    monitor->callAccepted();
    EXPECT_EQ(view.restoredFromTray, 1);
    EXPECT_FALSE(monitor->callBeingAnswered());
    EXPECT_EQ(view.trayImage, kImageInService);
    EXPECT_EQ(view.trayAnimation, TrayAnimation::None);
}

TEST_F(NoticeTest, MissedCallKeepsTheTrayUntilCleared)
{
    monitor->newSmsArrived(QStringLiteral("+1"));
    monitor->incomingCall(QStringLiteral("+2"));
    EXPECT_EQ(view.trayAnimation, TrayAnimation::IncomingCall);
    monitor->missedCall();
    EXPECT_TRUE(view.indicators[Indicator::IncomingCall]);
    EXPECT_FALSE(sound->playing);
    monitor->callStopped();
    EXPECT_EQ(view.trayAnimation, TrayAnimation::IncomingCall);
    monitor->Timer_UpdateTrayHintTimer();
    EXPECT_EQ(view.trayHint, text(1051));
    monitor->clearMissedCall(true);
    EXPECT_EQ(features.messageNumbers(), std::vector<uint32_t>{feature::WM_OPEN_CALL_RECORDS});
    EXPECT_FALSE(view.indicators[Indicator::IncomingCall]);
    EXPECT_EQ(view.trayAnimation, TrayAnimation::NewSms);  // the message notice is still up
}

TEST_F(NoticeTest, CallEventsGoToTheCallWindowAndCloseThePopup)
{
    for (uint32_t message = 3028; message <= 3032; ++message)
        EXPECT_TRUE(send(message, 1));
    EXPECT_EQ(features.messageNumbers(), (std::vector<uint32_t>{3028, 3029, 3030, 3031, 3032}));
    EXPECT_EQ(features.messages.back().wParam, 1u);  // the dial result
    EXPECT_EQ(view.callPopupsClosed, 2);
    send(platform::WM_INCOMING_CALL, 0, 0, std::make_unique<platform::TextBlock>("+5491100004"));
    const auto calls = features.messagesIn(platform::WM_INCOMING_CALL, platform::WM_INCOMING_CALL);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(std::string(calls.front().bytes.begin(), calls.front().bytes.end()), "+5491100004");
}

// ---- call and connection states -----------------------------------------------------------------

TEST_F(NoticeTest, RetryTimersStandStillDuringACallAndResumeAsTheyWere)
{
    QTimer contacts;
    QTimer smsInit;
    features.timers = {&contacts, &smsInit};
    contacts.start(1000);
    monitor->Timer_CPMS.start();
    monitor->Timer_StateRetry.stop();

    setCallState(1);
    setCallState(6);  // the same call, answered: nothing recorded again
    EXPECT_FALSE(monitor->Timer_CPMS.isActive());
    EXPECT_FALSE(monitor->Timer_RSSI.isActive());
    EXPECT_FALSE(contacts.isActive());
    EXPECT_FALSE(view.navigationEnabled);
    EXPECT_FALSE(view.stkEnabled);
    EXPECT_FALSE(view.menuEnabled[TrayMenuItem::FSettings]);
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_setIsDialing"),
              (std::vector<std::string>{"1", "1"}));

    setCallState(0);
    EXPECT_TRUE(monitor->Timer_CPMS.isActive());
    EXPECT_FALSE(monitor->Timer_StateRetry.isActive());
    EXPECT_TRUE(contacts.isActive());
    EXPECT_FALSE(smsInit.isActive());
    EXPECT_TRUE(monitor->Timer_RSSI.isActive());
    EXPECT_TRUE(view.navigationEnabled);
    EXPECT_TRUE(view.stkEnabled);
    EXPECT_FALSE(view.menuEnabled[TrayMenuItem::PowerOff]);
    EXPECT_TRUE(view.menuEnabled[TrayMenuItem::FSettings]);
    EXPECT_FALSE(monitor->timersSuspended());
}

TEST_F(NoticeTest, PinStateRetryDoesNotCountWhileACallIsSetUp)
{
    lumacore_fake::onCall(&_MEC_GetPinState,
                          [](uint8_t *) -> MEC_STATUS { return MEC_ERR_TIMEOUT; });
    monitor->applyCardState(kCardOnline);
    ASSERT_TRUE(monitor->SimBusyTimer.isActive());
    lumacore_fake::clearCalls();
    setCallState(1);
    monitor->SimBusyTimerTimer();
    monitor->SimBusyTimerTimer();
    EXPECT_EQ(monitor->simBusyRetries(), 0);
    EXPECT_EQ(countOf("_MEC_GetPinState"), 0);
    setCallState(0);
    monitor->SimBusyTimerTimer();
    EXPECT_EQ(monitor->simBusyRetries(), 1);
}

TEST_F(NoticeTest, CallStateTable)
{
    struct Case {
        int call;
        int connection;
        bool navigation;
        bool rssi;
        bool fsettings;
        std::string dialing;
    };
    const Case cases[] = {
        {0, 0, true, true, true, "0"},    {0, 3, true, true, false, "0"},
        {0, 1, false, false, false, "0"},  // the dial-up keeps the navigation off
        {3, 0, true, true, false, "0"},   {15, 0, false, false, false, "1"},
        {9, 0, false, false, false, "0"},  // other values only stop the dialling flag
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        setConnectionState(c.connection);
        view.navigationEnabled = false;
        view.menuEnabled.clear();
        monitor->Timer_RSSI.stop();
        lumacore_fake::clearCalls();
        setCallState(c.call);
        EXPECT_EQ(view.navigationEnabled, c.navigation);
        EXPECT_EQ(monitor->Timer_RSSI.isActive(), c.rssi);
        EXPECT_EQ(view.menuEnabled[TrayMenuItem::FSettings], c.fsettings);
        EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_setIsDialing"),
                  std::vector<std::string>{c.dialing});
        setCallState(0);
    }
}

TEST_F(NoticeTest, ConnectionStateTable)
{
    struct Case {
        int connection;
        int call;
        bool navigation;
        bool rssi;
        bool fsettings;
    };
    const Case cases[] = {
        {1, 0, false, false, false}, {2, 0, false, false, false}, {4, 0, false, false, false},
        {3, 0, true, true, false},   {0, 0, true, true, true},    {0, 1, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.connection);
        setCallState(c.call);
        view.navigationEnabled = false;
        view.menuEnabled.clear();
        monitor->Timer_RSSI.stop();
        setConnectionState(c.connection);
        EXPECT_EQ(view.navigationEnabled, c.navigation);
        EXPECT_EQ(monitor->Timer_RSSI.isActive(), c.rssi);
        EXPECT_EQ(view.menuEnabled[TrayMenuItem::FSettings], c.fsettings);
    }
}

TEST_F(NoticeTest, ConnectionUpAndDownAnimateAndSound)
{
    setConnectionState(1);
    monitor->connectionUp();  // not connected yet: nothing
    EXPECT_FALSE(view.connectionAnimation);

    setConnectionState(3);
    monitor->connectionUp();
    EXPECT_TRUE(view.connectionAnimation);
    EXPECT_EQ(view.connectionHint, text(1063));
    EXPECT_EQ(view.trayAnimation, TrayAnimation::Connected);
    EXPECT_EQ(sound->played.back(), soundFile("chimes.wav"));
    monitor->Timer_UpdateTrayHintTimer();
    EXPECT_EQ(view.trayHint, view.connectionText);

    setConnectionState(0);
    monitor->connectionDown();
    EXPECT_FALSE(view.connectionAnimation);
    EXPECT_EQ(view.connectionIcon, kImageNotConnected);
    EXPECT_EQ(view.trayImage, kImageInService);
    EXPECT_EQ(sound->played.back(), soundFile("tada.wav"));
}

// ---- class-0 messages and other messages --------------------------------------------------------

TEST_F(NoticeTest, ClassZeroMessagesWaitForTheBoxOnScreen)
{
    onBox = [this] {
        // Arrives while the first box is open: queued, not a second box on top.
        send(platform::WM_SMS_CLASS0, 0, 0, class0Block("+2", "second"));
        EXPECT_EQ(boxes.size(), 1);
        EXPECT_EQ(monitor->pendingTexts().size(), 1);
    };
    send(platform::WM_SMS_CLASS0, 0, 0, class0Block("+1", "first"));
    EXPECT_EQ(boxes, (QStringList{"+1:\r\nfirst\r\n", "+2:\r\nsecond\r\n"}));
    EXPECT_EQ(boxIcons, (std::vector<int>{1, 1}));
    EXPECT_TRUE(monitor->pendingTexts().isEmpty());
}

TEST_F(NoticeTest, MessagesAreHandedToTheirWindows)
{
    std::vector<uint8_t> broadcast(164, 0);
    std::memcpy(broadcast.data(), "Weather: sunny all day", 22);
    send(platform::WM_SMS_BROADCAST, 0, 0, std::make_unique<platform::ByteBlock>(broadcast));
    EXPECT_EQ(view.clockText, QStringLiteral("Weather: su"));

    send(platform::WM_SMS_REPORT, 0, 0,
         std::make_unique<platform::ByteBlock>(std::vector<uint8_t>(61, 7)));
    ASSERT_EQ(features.messages.size(), 1u);
    EXPECT_EQ(features.messages.back().bytes.size(), 61u);

    send(platform::WM_USSD_STATE, 4);
    send(platform::WM_USSD_SESSION, 1);
    ASSERT_EQ(features.messages.size(), 3u);
    EXPECT_EQ(features.messages[1].wParam, 4u);
    EXPECT_EQ(features.messages[2].message, platform::WM_USSD_SESSION);
    EXPECT_EQ(features.messages[2].wParam, 1u);

    _MEC_USSD_REPLY reply{};
    std::strcpy(reply.text, "Saldo: 10");
    platform::WindowMessageEvent sent(platform::WM_USSD_REPLY, 0, 0,
                                      std::make_unique<platform::ByteBlock>(&reply, sizeof reply));
    EXPECT_TRUE(monitor->handleMessage(sent));
    EXPECT_EQ(sent.result(), 255);
    ASSERT_EQ(features.messages.back().message, platform::WM_USSD_REPLY);
    _MEC_USSD_REPLY handed{};
    ASSERT_EQ(features.messages.back().bytes.size(), sizeof handed);
    std::memcpy(&handed, features.messages.back().bytes.data(), sizeof handed);
    EXPECT_STREQ(handed.text, "Saldo: 10");

    for (uint32_t message = 3225; message <= 3231; ++message)
        EXPECT_TRUE(send(message));
    const auto toolkit = features.messagesIn(platform::WM_STK_FIRST, platform::WM_STK_LAST);
    std::vector<uint32_t> numbers;
    for (const auto &message : toolkit)
        numbers.push_back(message.message);
    EXPECT_EQ(numbers, (std::vector<uint32_t>{3225, 3226, 3227, 3228, 3229, 3230}));

    EXPECT_FALSE(send(platform::WM_SMS_COUNTS));
    EXPECT_FALSE(send(platform::WM_USER + 7));
}

// ---- power --------------------------------------------------------------------------------------

TEST_F(NoticeTest, SuspendQueryIsDeniedWhileSomethingRuns)
{
    struct Case {
        int call;
        int connection;
        bool busy;
        uint8_t forbidStandby;
        bool denied;
    };
    const Case cases[] = {
        {0, 0, false, 0, false}, {1, 0, false, 0, true}, {0, 3, false, 0, true},
        {0, 0, true, 0, true},   {0, 0, false, 1, true},
    };
    for (const Case &c : cases) {
        setCallState(c.call);
        setConnectionState(c.connection);
        view.busy = c.busy;
        FileStore().allConfig().forbidStandby = c.forbidStandby;
        platform::WindowMessageEvent query(platform::WM_POWERBROADCAST, 0, 0);
        monitor->handleMessage(query);
        EXPECT_EQ(query.result(), c.denied ? CardMonitor::kPowerDeny : 1)
            << c.call << c.connection << c.busy << int(c.forbidStandby);
    }
}

TEST_F(NoticeTest, SuspendTakesTheCardDownAtOnceAndResumeWatchesAgain)
{
    lumacore_fake::clearCalls();
    send(platform::WM_POWERBROADCAST, 4);
    EXPECT_EQ(monitor->cardState(), kCardAbsent);
    EXPECT_EQ(lumacore_fake::callNames(),
              (std::vector<std::string>{"_MEC_disableCheckCard", "_MEC_Poweroff"}));
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_Poweroff"), std::vector<std::string>{"0"});
    EXPECT_EQ(view.cardIcon, kImageCardAbsent);
    for (uint32_t event : {2u, 6u, 7u, 18u})
        send(platform::WM_POWERBROADCAST, event);
    EXPECT_EQ(countOf("_MEC_enableCheckCard"), 4);
}
