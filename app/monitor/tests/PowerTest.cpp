// The power events: a suspend refused while something runs, the card taken down for a
// suspend, and nothing at all without a system bus.
#include "MonitorTestSupport.h"
#include "PowerEvents.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Sms.h"
#include "platform/CodePage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdlib>
#include <cstring>

using lumacore_fake::countOf;
using lumacore_fake::onCall;
using lumacore_fake::setResult;

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
        EXPECT_EQ(query.result(), c.denied ? PowerWatch::kPowerDeny : 1)
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

TEST(PowerEvents, WithoutASystemBusThereAreNoEventsAndNothingFails)
{
    // Must run before anything in this process connects to the system bus.
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/lumadial-test-bus", 1);
    int events = 0;
    PowerEvents power([&events](uint32_t) { ++events; });
    EXPECT_FALSE(power.start());
    EXPECT_FALSE(power.isConnected());
    power.setSuspendDenied(true);
    EXPECT_TRUE(power.isSuspendDenied());
    power.setSuspendDenied(false);
    EXPECT_EQ(events, 0);
}
