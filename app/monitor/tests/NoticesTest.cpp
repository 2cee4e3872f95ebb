// The notices and the tray: new messages, incoming and missed calls, the connection's notices
// and the class-0 messages.
#include "MonitorTestSupport.h"

#include "FakeLumacore.h"
#include "logic/BL_Sms.h"

#include <QTimer>

#include <cstring>

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
    monitor->newSmsIndicatorClicked();
    // The folder and storage the message was kept in.
    EXPECT_EQ(pages.foldersOpened, (std::vector<std::pair<int, int>>{{1, 2}}));
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

TEST_F(NoticeTest, IncomingCallPopupAndItsEnd)
{
    view.hidden = true;
    monitor->incomingCall(QStringLiteral("+5491100003"));
    EXPECT_EQ(view.callPopupsShown, 1);
    EXPECT_EQ(view.callPopupText, QStringLiteral("+5491100003"));
    EXPECT_TRUE(monitor->tray().callBeingAnswered());
    EXPECT_EQ(view.trayAnimation, TrayAnimation::IncomingCall);
    monitor->tray().Timer_UpdateTrayHintTimer();
    EXPECT_EQ(view.trayHint, text(1013));

    view.callPopup = true;
    monitor->incomingCall(QStringLiteral("Ana"), true);
    EXPECT_EQ(view.callPopupsShown, 1);
    EXPECT_EQ(view.callPopupText, QStringLiteral("Ana"));

    monitor->callAccepted();
    EXPECT_EQ(view.restoredFromTray, 1);
    EXPECT_FALSE(monitor->tray().callBeingAnswered());
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
    monitor->tray().Timer_UpdateTrayHintTimer();
    EXPECT_EQ(view.trayHint, text(1051));
    monitor->missedCallIndicatorClicked();
    EXPECT_EQ(pages.callRecordsShown, 1);
    EXPECT_FALSE(view.indicators[Indicator::IncomingCall]);
    EXPECT_EQ(view.trayAnimation, TrayAnimation::NewSms);  // the message notice is still up
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
    monitor->tray().Timer_UpdateTrayHintTimer();
    EXPECT_EQ(view.trayHint, view.connectionText);

    setConnectionState(0);
    monitor->connectionDown();
    EXPECT_FALSE(view.connectionAnimation);
    EXPECT_EQ(view.connectionIcon, kImageNotConnected);
    EXPECT_EQ(view.trayImage, kImageInService);
    EXPECT_EQ(sound->played.back(), soundFile("tada.wav"));
}

TEST_F(NoticeTest, ClassZeroMessagesWaitForTheBoxOnScreen)
{
    onBox = [this] {
        // Arrives while the first box is open: queued, not a second box on top.
        send(platform::WM_SMS_CLASS0, 0, 0, class0Block("+2", "second"));
        EXPECT_EQ(boxes.size(), 1);
        EXPECT_EQ(monitor->tray().pendingTexts().size(), 1);
    };
    send(platform::WM_SMS_CLASS0, 0, 0, class0Block("+1", "first"));
    EXPECT_EQ(boxes, (QStringList{"+1:\r\nfirst\r\n", "+2:\r\nsecond\r\n"}));
    EXPECT_EQ(boxIcons, (std::vector<int>{1, 1}));
    EXPECT_TRUE(monitor->tray().pendingTexts().isEmpty());
}
