// The SMS windows: the list shows itself when the new-message indicator asks for a folder, and
// the main window's loading timers are the ones that stand still during a call.
#include "UI_SmsList.h"
#include "UI_SmsMain.h"

#include "FeatureMessages.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

TEST(SmsWindows, TheListShowsItselfForTheIndicatorOnly)
{
    RecordingHost host;
    TFrmSmsList list(host);
    platform::WindowMessageEvent other(platform::WM_SMS_NEW, 0, 0);
    list.messageArrived(other);
    EXPECT_TRUE(host.shownInPanel.empty());
    platform::WindowMessageEvent open(feature::WM_OPEN_SMS_FOLDER, 1, 2);
    list.messageArrived(open);
    EXPECT_EQ(host.shownInPanel, std::vector<QWidget *>{&list});
}

TEST(SmsWindows, LoadingTimersStandStillDuringACall)
{
    RecordingHost host;
    TFrmSmsMain main(host);
    QStringList names;
    for (QTimer *timer : main.timersStoppedDuringCall())
        names << timer->objectName();
    EXPECT_EQ(names, (QStringList{"tmrSmsInitSet", "tmrLoadMeMsg", "tmrLoadSimMsg"}));
}
