// The routing table: who is told the card state and in which order, where each message goes,
// and the order windows are made and freed in.
#include "RecordingWindow.h"
#include "WindowTable.h"

#include "RecordingHost.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using feature::WindowOptions;
using feature::WindowTable;

namespace {

// Writes what it is told into a log shared by several windows, so their order shows.
class LoggingWindow : public RecordingWindow {
public:
    LoggingWindow(std::vector<std::string> &log, std::string name)
        : m_log(log), m_name(std::move(name))
    {
    }
    void cardStateChanged(CardState state) override
    {
        m_log.push_back(m_name + ":" + std::to_string(state));
    }

private:
    std::vector<std::string> &m_log;
    std::string m_name;
};

// A widget window that notes when it is made and freed.
std::vector<std::string> g_lifetimes;
template <int N>
class Lifetime : public QWidget, public feature::FeatureWindow {
public:
    explicit Lifetime(feature::FeatureHost &)
    {
        g_lifetimes.push_back("made " + std::to_string(N));
    }
    ~Lifetime() override { g_lifetimes.push_back("freed " + std::to_string(N)); }
};

}  // namespace

TEST(WindowTable, CardStateIsToldByOrderThenToTheOthersInTheOrderMade)
{
    std::vector<std::string> log;
    LoggingWindow third(log, "third"), first(log, "first"), second(log, "second"),
        unordered(log, "unordered"), alsoSecond(log, "alsoSecond"), last(log, "last");
    WindowTable table;
    table.add(third, feature::told(3));
    table.add(first, feature::told(1));
    table.add(unordered, {});
    table.add(second, feature::told(2).toldAgainWhenCardSettingsReady());
    table.add(alsoSecond, feature::told(2));
    table.add(last, {});
    table.tellCardState(kCardOffline);
    EXPECT_EQ(log, (std::vector<std::string>{"first:7", "second:7", "alsoSecond:7", "third:7",
                                             "unordered:7", "last:7"}));

    log.clear();
    table.retellCardState(kSimReady);
    EXPECT_EQ(log, std::vector<std::string>{"second:12"});
}

TEST(WindowTable, EachMessageGoesToTheOneWindowRegisteredForItsNumber)
{
    RecordingWindow sms, calls;
    WindowTable table;
    table.add(sms, feature::takes(1525, 1526));
    table.add(calls, feature::takes(1527).takes(3028, 3032));

    for (uint32_t number : {1525u, 1527u, 3030u, 3032u, 1526u}) {
        platform::WindowMessageEvent message(number, 4, 5);
        EXPECT_TRUE(table.route(message)) << number;
    }
    platform::WindowMessageEvent unknown(3033, 0, 0);
    EXPECT_FALSE(table.route(unknown));
    EXPECT_EQ(sms.messageNumbers(), (std::vector<uint32_t>{1525, 1526}));
    EXPECT_EQ(calls.messageNumbers(), (std::vector<uint32_t>{1527, 3030, 3032}));
    EXPECT_EQ(calls.messages.front().wParam, 4u);

    // A number already taken is refused, and the window that asked for it gets nothing.
    RecordingWindow thief;
    EXPECT_THROW(table.add(thief, feature::takes(3031, 3040)), std::logic_error);
    platform::WindowMessageEvent taken(3031, 0, 0);
    EXPECT_TRUE(table.route(taken));
    EXPECT_TRUE(thief.messages.empty());
    platform::WindowMessageEvent free(3035, 0, 0);
    EXPECT_FALSE(table.route(free));
}

TEST(WindowTable, EveryStateAndTheSuspendedTimersReachEveryWindow)
{
    RecordingWindow a, b;
    QTimer timerA, timerB1, timerB2;
    a.timers = {&timerA};
    b.timers = {&timerB1, &timerB2};
    WindowTable table;
    table.add(a, {});
    table.add(b, feature::told(1));
    table.tellCardState(kPinRequired);
    table.tellCallState(kCallHeldDialling);
    table.tellConnectionState(kConnectionConnected);
    table.tellUssdSession(kUssdWaitingForReply);
    for (const RecordingWindow *window : {&a, &b}) {
        EXPECT_EQ(window->cardStates, std::vector<int>{kPinRequired});
        EXPECT_EQ(window->callStates, std::vector<int>{kCallHeldDialling});
        EXPECT_EQ(window->connectionStates, std::vector<int>{kConnectionConnected});
        EXPECT_EQ(window->ussdSessions, std::vector<int>{kUssdWaitingForReply});
    }
    EXPECT_EQ(table.timersStoppedDuringCall(),
              (std::vector<QTimer *>{&timerA, &timerB1, &timerB2}));
}

TEST(WindowTable, WindowsAreMadeInOrderAndFreedInReverse)
{
    RecordingHost host;
    g_lifetimes.clear();
    {
        WindowTable table;
        table.create({feature::window<Lifetime<1>>(), feature::window<Lifetime<2>>(),
                      feature::window<Lifetime<3>>()},
                     host);
        ASSERT_EQ(table.widgets().size(), 3u);
        EXPECT_NE(table.find<Lifetime<2>>(), nullptr);
        table.destroy();
        EXPECT_TRUE(table.widgets().empty());
    }
    EXPECT_EQ(g_lifetimes, (std::vector<std::string>{"made 1", "made 2", "made 3", "freed 3",
                                                     "freed 2", "freed 1"}));
}

TEST(WindowTable, AFailedCreationKeepsTheWindowsMadeBeforeIt)
{
    RecordingHost host;
    g_lifetimes.clear();
    WindowTable table;
    const feature::Registration failing{[](feature::FeatureHost &) -> std::unique_ptr<QWidget> {
                                            throw std::runtime_error("no skin");
                                        },
                                        {}};
    EXPECT_THROW(
        table.create({feature::window<Lifetime<1>>(), failing, feature::window<Lifetime<2>>()},
                     host),
        std::runtime_error);
    EXPECT_EQ(table.widgets().size(), 1u);
    table.destroy();
    EXPECT_EQ(g_lifetimes, (std::vector<std::string>{"made 1", "freed 1"}));

    // Two registrations for one number make nothing at all.
    g_lifetimes.clear();
    const WindowOptions clash = feature::takes(1625);
    EXPECT_THROW(table.create({{feature::window<Lifetime<1>>().make, clash},
                               {feature::window<Lifetime<2>>().make, clash}},
                              host),
                 std::logic_error);
    EXPECT_TRUE(g_lifetimes.empty());
}
