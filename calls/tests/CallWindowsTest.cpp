// The call window tells the main window each change of the call state; the call records show
// themselves when the missed-call indicator asks for them.
#include "UI_CallManager.h"
#include "UI_CallRecords.h"

#include "RecordingHost.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(CallWindows, EachChangeOfTheCallStateIsPostedToTheMainWindowOnce)
{
    RecordingHost host;
    TCall_managerform form(host);
    for (int state : {1, 1, 6, 0})
        form.setCallState(state);
    QCoreApplication::sendPostedEvents();
    using Posted = std::pair<uint32_t, uint32_t>;
    const uint32_t notice = platform::WM_CALL_STATE;
    EXPECT_EQ(host.posted, (std::vector<Posted>{{notice, 1}, {notice, 6}, {notice, 0}}));
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
