// The power events without a system bus.
#include "PowerEvents.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
