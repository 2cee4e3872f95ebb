// The dispatch of the program's messages: each reaches the window registered for it, whole.
#include "MonitorTestSupport.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Sms.h"
#include "logic/WindowPayloads.h"
#include "platform/CodePage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstring>

using lumacore_fake::countOf;
using lumacore_fake::onCall;
using lumacore_fake::setResult;

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

TEST_F(NoticeTest, MessagesAreHandedToTheirWindows)
{
    SmsBroadcastPayload broadcast{};
    std::memcpy(broadcast.text, "Weather: sunny all day", 22);
    send(platform::WM_SMS_BROADCAST, 0, 0,
         std::make_unique<platform::ByteBlock>(&broadcast, sizeof broadcast));
    EXPECT_EQ(view.clockText, QStringLiteral("Weather: su"));

    send(platform::WM_SMS_REPORT, 0, 0,
         std::make_unique<platform::ByteBlock>(std::vector<uint8_t>(61, 7)));
    ASSERT_EQ(features.messages.size(), 1u);
    EXPECT_EQ(features.messages.back().bytes.size(), 61u);

    send(platform::WM_USSD_STATE, 4);
    ASSERT_EQ(features.messages.size(), 2u);
    EXPECT_EQ(features.messages[1].wParam, 4u);
    // The USSD session is a state every window is told, not a message for one.
    send(platform::WM_USSD_SESSION, 1);
    send(platform::WM_USSD_SESSION, 0);
    EXPECT_EQ(features.messages.size(), 2u);
    for (const RecordingWindow *window : {&first, &features})
        EXPECT_EQ(window->ussdSessions, (std::vector<int>{kUssdWaitingForReply, kUssdSessionOver}));

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
