// Close, off line, on line and power off, with the checks that refuse them.
#include "MainformTestSupport.h"

#include "AppWindows.h"
#include "CardMonitor.h"
#include "PinEntry.h"
#include "UI_CallManager.h"
#include "UI_DataConnectForm.h"
#include "UI_SmsMain.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "language/TextNumbers.h"
#include "platform/DialogSeam.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>

#include <functional>
#include <string>

namespace {

// Everything the refusal checks look at, set on the windows that hold it; the call and
// connection states reach the main window as the notices those windows post.
void setActivity(int callState, int connectionState, bool busy)
{
    platform::PostMessage(AppWindows().Mainform->monitor().messageTarget(),
                          platform::WM_CALL_STATE, uint32_t(callState), 0);
    AppWindow<TData_connectform>()->setConnectionState(connectionState);
    AppWindows().Mainform->setBusy(busy);
    QCoreApplication::sendPostedEvents();
}

}  // namespace

TEST(RefusalTest, TheFirstCheckThatHoldsWinsCallThenConnectionThenUssdThenBusy)
{
    struct Case {
        bool call, connection, ussd, busy;
        unsigned expected;
    };
    const Case cases[] = {
        {false, false, false, false, 0},   {false, false, false, true, 1098},
        {false, false, true, false, 1104}, {false, false, true, true, 1104},
        {false, true, false, false, 1052}, {false, true, true, true, 1052},
        {true, false, false, false, 1032}, {true, true, true, true, 1032},
        {true, false, true, false, 1032},  {false, true, false, true, 1052},
    };
    for (const Case &c : cases) {
        RefusalFacts facts;
        facts.callInProgress = c.call;
        facts.connectionNotIdle = c.connection;
        facts.ussdSession = c.ussd;
        facts.busy = c.busy;
        EXPECT_EQ(FirstRefusal(facts), c.expected) << c.call << c.connection << c.ussd << c.busy;
    }
}

TEST_F(MainformTest, TheWindowReadsTheRefusalsFromTheCallAndConnectionWindowsAndTheBusyFlag)
{
    struct Case {
        int call, connection;
        bool busy;
        unsigned expected;
    };
    const Case cases[] = {
        {0, 0, false, 0},   {0, 0, true, 1098},   {0, 3, true, 1052},
        {6, 3, true, 1032}, {15, 0, false, 1032}, {0, 1, false, 1052},
    };
    for (const Case &c : cases) {
        setActivity(c.call, c.connection, c.busy);
        EXPECT_EQ(form->refusalString(), c.expected)
            << c.call << "," << c.connection << "," << c.busy;
    }
}

TEST_F(MainformTest, CloseIsRefusedWithTheFirstRefusalAndNeverAsks)
{
    form->show();
    setCardState(kSimReady);
    setActivity(1, 3, true);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(boxes, QStringList{text(1032)});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NetcardStop"), 0);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetOperationMode"), 0);
}

TEST_F(MainformTest, CloseWithTheCardAbsentAsksAndDoesNotStopTheCard)
{
    QSignalSpy closed(form, &TMainform::formClosed);
    form->show();
    setCardState(kCardAbsent);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(boxes, QStringList{text(1042)});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NetcardStop"), 0);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetOperationMode"), 0);
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainformTest, CloseWithACardStopsItAndTakesItOffLine)
{
    QSignalSpy closed(form, &TMainform::formClosed);
    form->show();
    setCardState(kSimReady);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(lumacore_fake::callNames(),
              (std::vector<std::string>{"_MEC_NetcardStop", "_MEC_SetOperationMode"}));
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_SetOperationMode"), std::vector<std::string>{"6"});
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainformTest, AnsweringNoKeepsTheWindowAndTheCard)
{
    QSignalSpy closed(form, &TMainform::formClosed);
    answer = 2;
    form->show();
    setCardState(kSimReady);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NetcardStop"), 0);
    EXPECT_EQ(closed.count(), 0);
}

TEST_F(MainformTest, AWindowBroughtBackFromTheTrayShowsThePageItShowed)
{
    struct Case {
        const char *what;
        std::function<void()> bringBack;
    };
    const Case cases[] = {
        {"a refused close",
         [this] {
             setActivity(1, 0, false);
             EXPECT_FALSE(form->close());
             setActivity(0, 0, false);
         }},
        {"no to the close question",
         [this] {
             answer = 2;
             EXPECT_FALSE(form->close());
             answer = 1;
         }},
        {"an accepted call", [this] { form->monitor().callAccepted(); }},
    };
    form->show();
    setCardState(kSimReady);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        form->MsgButtonClick();
        form->hide();
        c.bringBack();
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->Mainpanel->isVisible());
        EXPECT_TRUE(AppWindow<TFrmSmsMain>()->isVisible());
        EXPECT_EQ(form->GetPageTitle(), AppWindow<TFrmSmsMain>()->windowTitle());
    }
}

TEST_F(MainformTest, ACallThatBeganWhileTheQuestionWasOpenRefusesTheClose)
{
    form->show();
    setCardState(kSimReady);
    platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool) {
        boxes << text;
        // The phone rings while the user reads the question (the box lets its notice through).
        platform::PostMessage(form->monitor().messageTarget(), platform::WM_CALL_STATE, 1, 0);
        QCoreApplication::sendPostedEvents();
        return 1;
    });
    EXPECT_FALSE(form->close());
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NetcardStop"), 0);
}

TEST_F(MainformTest, GoingOffLineFromEachState)
{
    struct Case {
        uint8_t from;
        std::vector<int> posted;
    };
    const Case cases[] = {
        {kCardAbsent, {}},  {kCardInserted, {}},    {kCardQueryMode, {}}, {kNoSim, {}},
        {kCardOnline, {7}}, {kCardOffline, {3}},    {kPinRequired, {}},   {kPukRequired, {}},
        {kSimBlocked, {}},  {kCardRegistered, {7}}, {kSimReady, {7}},
    };
    for (const Case &c : cases) {
        setCardState(c.from);
        form->Menu_OfflineClick();
        deliver();
        EXPECT_EQ(posted.states, c.posted) << "from state " << int(c.from);
        EXPECT_EQ(lumacore_fake::callNames(),
                  (std::vector<std::string>{"_MEC_NetcardStop", "_MEC_SetOperationMode"}))
            << "from state " << int(c.from);
        EXPECT_TRUE(boxes.isEmpty());
    }
    EXPECT_TRUE(AppWindow<TData_connectform>()->userAskedOffline());
}

TEST_F(MainformTest, GoingOffLinePostsNothingWhenTheCardRefusesTheMode)
{
    setCardState(kSimReady);
    lumacore_fake::setResult("_MEC_SetOperationMode", 7004);
    form->Menu_OfflineClick();
    deliver();
    EXPECT_TRUE(posted.states.empty());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(MainformTest, GoingOffLineIsRefusedDuringADataConnectionButTheConnectionIsToldFirst)
{
    setCardState(kSimReady);
    setActivity(0, 3, false);
    form->Menu_OfflineClick();
    deliver();
    EXPECT_EQ(boxes, QStringList{text(1052)});
    EXPECT_TRUE(posted.states.empty());
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NetcardStop"), 0);
    EXPECT_TRUE(AppWindow<TData_connectform>()->userAskedOffline());
}

TEST_F(MainformTest, GoingOnLinePostsModeReading)
{
    setCardState(kCardOffline);
    form->Menu_OnlineClick();
    deliver();
    EXPECT_EQ(posted.states, std::vector<int>{3});
}

TEST_F(MainformTest, PowerOffReportsSuccessOrFailureAndClosesAPinDialog)
{
    struct Case {
        uint16_t result;
        unsigned message;
        std::vector<int> posted;
    };
    const Case cases[] = {{0, 1102, {1}}, {7004, 1103, {}}};
    for (const Case &c : cases) {
        setCardState(kSimReady);
        setCardState(kPinRequired);
        ASSERT_TRUE(form->monitor().pinEntry().HasOpenDialog());
        lumacore_fake::setResult("_MEC_Poweroff", c.result);
        form->Menu_PowerOffClick();
        deliver();
        EXPECT_EQ(boxes, QStringList{text(c.message)});
        EXPECT_EQ(posted.states, c.posted);
        EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_Poweroff"), std::vector<std::string>{"1"});
        EXPECT_FALSE(form->monitor().pinEntry().HasOpenDialog());
    }
}

TEST_F(MainformTest, PowerOffIsRefusedWhileBusyAndLeavesTheCardAlone)
{
    setCardState(kSimReady);
    setActivity(0, 0, true);
    form->Menu_PowerOffClick();
    deliver();
    EXPECT_EQ(boxes, QStringList{text(1098)});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_Poweroff"), 0);
    EXPECT_TRUE(posted.states.empty());
}

TEST_F(MainformTest, ClosingSavesTheSettingsAndSaysSoOnlyWhenTheSaveFails)
{
    struct Case {
        const char *name;
        bool folderWritable;
        bool boxShown;
    };
    for (const Case &c : {Case{"saved", true, false}, Case{"no folder possible", false, true}}) {
        SCOPED_TRACE(c.name);
        if (!form) {
            CreateAppWindows();
            form = AppWindows().Mainform.get();
            boxes.clear();
        }
        const QString settingsFolder = folder.path() + QStringLiteral("/settings");
        ASSERT_TRUE(QDir().mkpath(settingsFolder));
        FileStore().setFolder(settingsFolder);
        FileStore().allConfig().forbidStandby = 1;
        if (!c.folderWritable) {
            // A file where the folder should be: the folder cannot be made again.
            ASSERT_TRUE(QDir(settingsFolder).removeRecursively());
            QFile blocker(settingsFolder);
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }

        form->removeEventFilter(&posted);
        DestroyAppWindows();
        form = nullptr;

        EXPECT_EQ(boxes.contains(text(text::kSettingsNotSaved)), c.boxShown)
            << boxes.join('|').toStdString();
        if (c.folderWritable) {
            TBL_File reread;
            reread.setFolder(settingsFolder);
            ASSERT_TRUE(reread.LoadAllConfig());
            EXPECT_EQ(reread.allConfig().forbidStandby, 1);
        }
        FileStore().setFolder(folder.path());
    }
}
