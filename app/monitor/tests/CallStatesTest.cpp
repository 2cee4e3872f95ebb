// What the call and connection states do to the card states' timers, the navigation and the
// dialling flag.
#include "MonitorTestSupport.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Sms.h"
#include "platform/CodePage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstring>

using lumacore_fake::countOf;
using lumacore_fake::onCall;
using lumacore_fake::setResult;

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
    EXPECT_FALSE(monitor->network().Timer_RSSI.isActive());
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
    EXPECT_TRUE(monitor->network().Timer_RSSI.isActive());
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
        monitor->network().Timer_RSSI.stop();
        lumacore_fake::clearCalls();
        setCallState(c.call);
        EXPECT_EQ(view.navigationEnabled, c.navigation);
        EXPECT_EQ(monitor->network().Timer_RSSI.isActive(), c.rssi);
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
        monitor->network().Timer_RSSI.stop();
        setConnectionState(c.connection);
        EXPECT_EQ(view.navigationEnabled, c.navigation);
        EXPECT_EQ(monitor->network().Timer_RSSI.isActive(), c.rssi);
        EXPECT_EQ(view.menuEnabled[TrayMenuItem::FSettings], c.fsettings);
    }
}
