// The data connection window tells the main window each change of its state, once.
#include "UI_DataConnectForm.h"

#include "RecordingHost.h"

#include "platform/WindowMessages.h"
#include "logic/EngineValues.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(DataConnectForm, EachChangeOfTheConnectionStateIsPostedToTheMainWindowOnce)
{
    RecordingHost host;
    TData_connectform form(host);
    for (int state : {1, 1, 3, 3, 4, 0, 0})
        form.setConnectionState(state);
    QCoreApplication::sendPostedEvents();
    using Posted = std::pair<uint32_t, uint32_t>;
    const uint32_t notice = platform::WM_CONNECTION_STATE;
    EXPECT_EQ(host.posted,
              (std::vector<Posted>{{notice, 1}, {notice, 3}, {notice, 4}, {notice, 0}}));
    EXPECT_EQ(form.ConnectionState(), 0);
}

// The graph follows the samples while connected; a drop ends its line and the next connection
// draws a new one beside the old, with the scale of what is in view.
TEST(DataConnectForm, RateGraphGoesOnAcrossADroppedConnection)
{
    RecordingHost host;
    TData_connectform form(host);
    RateGraph &graph = *form.DataRateGraph;
    TrafficMeter meter;
    auto connectFor = [&](int seconds, uint32_t bytesPerSecond) {
        form.showConnectionState(kConnectionConnected);
        meter.reset();
        meter.start(0);
        for (int second = 1; second <= seconds; ++second) {
            meter.sample(uint32_t(second) * 1000, {0, uint32_t(second) * bytesPerSecond, 0});
            form.showTraffic(meter);
        }
        EXPECT_FALSE(graph.isHidden());
    };
    connectFor(3, 1280);  // 10 kbit/s
    form.showConnectionState(kConnectionIdle);
    EXPECT_TRUE(graph.isHidden());
    connectFor(2, 12800);  // 100 kbit/s
    const auto lines = graph.history().lines(RateHistory::Receive);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 3u);
    EXPECT_DOUBLE_EQ(lines[1].back().rate, 100);
    EXPECT_DOUBLE_EQ(graph.history().peak(), 100);
}
