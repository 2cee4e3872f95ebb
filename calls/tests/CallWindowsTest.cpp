// The call window tells the main window each change of the call state; the call records show
// themselves when the missed-call indicator asks for them.
#include "UI_CallManager.h"
#include "UI_CallRecords.h"

#include "RecordingHost.h"
#include "lumacore/fake/FakeVoice.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(CallWindows, EachChangeOfTheCallStateIsPostedToTheMainWindowOnce)
{
    lumacore_fake::reset();
    FakeVoice voice;
    FakeCallRecords store;
    RecordingHost host;
    TCall_managerform form(host);
    form.cardStateChanged(kSimReady);
    form.DialNumber("100");
    form.DialNumber("100");  // a call is already being set up
    platform::WindowMessageEvent connected(MEC_MSG_CALL_DIAL_RESULT, 1, 0);
    form.messageArrived(connected);
    form.ImButtonHangupClick();
    QCoreApplication::sendPostedEvents();
    using Posted = std::pair<uint32_t, uint32_t>;
    const uint32_t notice = platform::WM_CALL_STATE;
    EXPECT_EQ(host.posted, (std::vector<Posted>{{notice, 1}, {notice, 3}, {notice, 0}}));
    EXPECT_EQ(store.entries().size(), 1u);
    lumacore_fake::reset();
}

TEST(CallWindows, CallRecordsShowThemselvesOnlyWhenAskedTo)
{
    RecordingHost host;
    TCrForm records(host);
    platform::WindowMessageEvent other(platform::WM_CALL_EVENT_FIRST, 0, 0);
    records.messageArrived(other);
    EXPECT_TRUE(host.shownInPanel.empty());
    records.showCallRecords();
    EXPECT_EQ(host.shownInPanel, std::vector<QWidget *>{&records});
}
