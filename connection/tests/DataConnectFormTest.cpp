// The data connection window tells the main window each change of its state, once.
#include "UI_DataConnectForm.h"

#include "RecordingHost.h"

#include "platform/WindowMessages.h"

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
