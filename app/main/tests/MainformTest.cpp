// The main window's start, its pages, its layout and its start-up timer.
#include "MainformTestSupport.h"

#include "AppWindows.h"
#include "CardMonitor.h"
#include "UI_StartFrm.h"
#include "FeaturePage.h"
#include "UI_Affixation.h"
#include "UI_CallManager.h"
#include "UI_CallRecords.h"
#include "UI_Contacts.h"
#include "UI_DataConnectForm.h"
#include "UI_SatMenuDisplay.h"
#include "UI_SmsEdit.h"
#include "UI_SetMenuForm.h"
#include "UI_SetMsgForm.h"
#include "UI_SetNetForm.h"
#include "UI_SetNetSub.h"
#include "UI_SetSS.h"
#include "UI_SetSecurityFrm.h"
#include "UI_SmsList.h"
#include "UI_SmsMain.h"
#include "UI_SmsRead.h"
#include "UI_Ussd.h"

#include "FakeLumacore.h"
#include "SmsMessages.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <string>

namespace {

std::vector<std::string> classNames(const std::vector<QWidget *> &windows)
{
    std::vector<std::string> names;
    for (QWidget *window : windows)
        names.push_back(window->metaObject()->className());
    return names;
}

}  // namespace

TEST_F(MainformTest, EveryWindowIsCreatedOnceInTheStartOrderWithTheMainWindowFirst)
{
    const std::vector<std::string> expected = {"TMainform",
                                               "TAboutBox",
                                               "TSetMenuForm",
                                               "boxes::TMessageBoxForm",
                                               "TSet_msgform",
                                               "TSet_netpopform",
                                               "TSet_netpopeditform",
                                               "TSet_netform",
                                               "TManual_Set",
                                               "TSet_securityform",
                                               "TSet_soundform",
                                               "TFrmCopyTips",
                                               "TFmEditPB",
                                               "TFrmContacts",
                                               "TFrmSel",
                                               "TFrmSmsMain",
                                               "TFrmSmsList",
                                               "TFrmSmsEdit",
                                               "TFrmSmsRead",
                                               "TgetInput",
                                               "TSatMenuDisplayForm",
                                               "TData_connectform",
                                               "TCrForm",
                                               "TSet_netsub",
                                               "TSet_SS",
                                               "TCallHangupMsgDfm",
                                               "TCall_managerform",
                                               "TAffixationfrm",
                                               "Tussdfrm",
                                               "TDataLogForm",
                                               "TFrmViewPB",
                                               "boxes::TProgressBoxForm"};
    EXPECT_EQ(classNames(AppWindowsInOrder()), expected);
}

TEST_F(MainformTest, CreationStartsTheEngineRegistersTheWindowAndPostsCardInserted)
{
    // The fixture's start: the engine started with (0, 400, 0), the card callbacks registered,
    // and state 2 posted and applied (its echo then posted 3).
    DestroyAppWindows();
    form = nullptr;
    lumacore_fake::reset();
    CreateAppWindows();
    form = AppWindows().Mainform.get();
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_Startup"), std::vector<std::string>{"0, 400, 0"});
    // The About box made at start-up is never shown: the card is not asked for its IMEI then.
    EXPECT_EQ(lumacore_fake::countOf("_MEC_QueryImei"), 0);
    EXPECT_NE(lumacore_fake::registeredCallbacks().meStateChanged, nullptr);
    EXPECT_NE(lumacore_fake::registeredCallbacks().zdonNotify, nullptr);
    EXPECT_NE(lumacore_fake::registeredSink(), nullptr);
    form->installEventFilter(&posted);
    deliver();
    ASSERT_FALSE(posted.states.empty());
    EXPECT_EQ(posted.states.front(), 2);
}

TEST_F(MainformTest, AnEngineThatDoesNotStartLeavesTheCardAbsent)
{
    DestroyAppWindows();
    form = nullptr;
    lumacore_fake::reset();
    lumacore_fake::setResult("_MEC_Startup", 7001);
    CreateAppWindows();
    form = AppWindows().Mainform.get();
    form->installEventFilter(&posted);
    deliver();
    EXPECT_EQ(posted.states, std::vector<int>{1});
}

TEST_F(MainformTest, EveryFeatureWindowIsToldTheCardStateInTheFixedOrder)
{
    setCardState(kCardOffline);
    const std::vector<feature::FeatureWindow *> told = {
        AppWindow<TSetMenuForm>(),      AppWindow<TSet_securityform>(),
        AppWindow<TSet_msgform>(),      AppWindow<TSet_netform>(),
        AppWindow<TFrmSmsMain>(),       AppWindow<TFrmSmsList>(),
        AppWindow<TFrmSmsEdit>(),       AppWindow<TFrmSmsRead>(),
        AppWindow<TFrmContacts>(),      AppWindow<TCall_managerform>(),
        AppWindow<TData_connectform>(), AppWindow<TSatMenuDisplayForm>(),
        AppWindow<TSet_SS>(),           AppWindow<Tussdfrm>()};
    for (feature::FeatureWindow *window : told) {
        // The finished windows keep the state as the placeholders do.
        if (auto *page = dynamic_cast<FeaturePage *>(window)) {
            EXPECT_EQ(page->cardState(), kCardOffline) << page->objectName().toStdString();
        } else if (auto *internet = dynamic_cast<TData_connectform *>(window)) {
            EXPECT_EQ(internet->cardState(), kCardOffline);
        }
    }
    // The windows without a place in the order are told after them.
    EXPECT_EQ(AppWindow<TCrForm>()->cardState(), kCardOffline);
    // The settings first, then SMS, contacts, calls, the Internet, the toolkit, the
    // supplementary services and USSD.
    EXPECT_EQ(AppWindows().windows.cardStateOrder(), told);
}

TEST_F(MainformTest, EachNavigationButtonShowsItsPageInTheContentPanelWithItsCaption)
{
    struct Case {
        void (TMainform::*click)();
        QWidget *page;
        skin::TImButton *button;
    };
    const Case cases[] = {
        {&TMainform::InternetButtonClick, AppWindow<TData_connectform>(), form->InternetButton},
        {&TMainform::MsgButtonClick, AppWindow<TFrmSmsMain>(), form->MsgButton},
        {&TMainform::PonebookButtonClick, AppWindow<TFrmContacts>(), form->PonebookButton},
        {&TMainform::CallButtonClick, AppWindow<TCall_managerform>(), form->CallButton},
        {&TMainform::CallhisButtonClick, AppWindow<TCrForm>(), form->CallhisButton},
        {&TMainform::StkButtonClick, AppWindow<TAffixationfrm>(), form->StkButton},
    };
    const auto checkedButtons = [this] {
        std::vector<skin::TImButton *> checked;
        for (auto *button : form->findChildren<skin::TImButton *>())
            if (button->isChecked())
                checked.push_back(button);
        return checked;
    };
    form->show();
    for (const Case &c : cases) {
        (form->*c.click)();
        SCOPED_TRACE(c.page->objectName().toStdString());
        EXPECT_TRUE(form->Mainpanel->isVisible());
        EXPECT_EQ(c.page->parentWidget(), form->Mainpanel);
        EXPECT_TRUE(c.page->isVisible());
        EXPECT_EQ(form->GetPageTitle(), c.page->windowTitle());
        EXPECT_EQ(form->Label_Caption->text(), c.page->windowTitle());
        // The navigation row shows which page is current, and says what each button is.
        EXPECT_EQ(checkedButtons(), std::vector<skin::TImButton *>{c.button});
        EXPECT_FALSE(c.button->toolTip().isEmpty());
        // One page at a time.
        int shown = 0;
        for (QObject *child : form->Mainpanel->children())
            shown += qobject_cast<QWidget *>(child) && static_cast<QWidget *>(child)->isVisible();
        EXPECT_EQ(shown, 1);
    }

    form->ConfigButtonClick();
    EXPECT_TRUE(AppWindow<TSetMenuForm>()->isVisible());
    EXPECT_TRUE(AppWindow<TSet_netsub>()->isVisible());
    EXPECT_EQ(form->GetPageTitle(), AppWindow<TSet_netsub>()->windowTitle());

    EXPECT_EQ(checkedButtons(), std::vector<skin::TImButton *>{form->ConfigButton});
    // The menu's pages come and go beside it; the column stays.
    AppWindow<TSetMenuForm>()->MsgcfgButton->click();
    deliver();
    EXPECT_TRUE(AppWindow<TSet_msgform>()->isVisible());
    EXPECT_FALSE(AppWindow<TSet_netsub>()->isVisible());
    EXPECT_TRUE(AppWindow<TSetMenuForm>()->isVisible());
    AppWindow<TSet_msgform>()->CancelButton->click();
    deliver();
    EXPECT_TRUE(AppWindow<TSet_netsub>()->isVisible());
    EXPECT_TRUE(AppWindow<TSetMenuForm>()->isVisible());
    EXPECT_EQ(form->GetPageTitle(), AppWindow<TSet_netsub>()->windowTitle());

    form->FirstpageButtonClick();
    EXPECT_EQ(checkedButtons(), std::vector<skin::TImButton *>{form->FirstpageButton});
    EXPECT_FALSE(form->Mainpanel->isVisible());
    EXPECT_TRUE(form->Label_Welcom->isVisible());
    EXPECT_EQ(form->GetPageTitle(), text(1001));
}

TEST_F(MainformTest, TheComposerClosesBackToTheSmsPageItWasOpenedFrom)
{
    form->show();
    form->MsgButtonClick();
    // Opened through the routing table the first time, while it is in no panel yet.
    platform::PostMessage(form, WM_OPEN_COMPOSER, kComposeNew, 0);
    deliver();
    auto *composer = AppWindow<TFrmSmsEdit>();
    EXPECT_TRUE(composer->isVisible());
    EXPECT_EQ(form->GetPageTitle(), composer->windowTitle());
    composer->btnCancel->click();
    deliver();
    EXPECT_FALSE(composer->isVisible());
    EXPECT_TRUE(AppWindow<TFrmSmsMain>()->isVisible());
    EXPECT_EQ(form->GetPageTitle(), AppWindow<TFrmSmsMain>()->windowTitle());
}

TEST_F(MainformTest, ButtonsAreSpreadFromInternetAndHelpWithATruncatedStep)
{
    struct Case {
        int internet, help;
        int msg, phonebook, config;
    };
    const Case cases[] = {
        {112, 464, 200, 288, 376},  // the design: step 88
        {10, 27, 14, 18, 22},       // 17 / 4 = 4
        {10, 13, 10, 10, 10},       // 3 / 4 = 0
        {100, 91, 98, 96, 94},      // help left of internet: -9 / 4 = -2
    };
    for (const Case &c : cases) {
        form->InternetButton->move(c.internet, form->InternetButton->y());
        form->HelpButton->move(c.help, form->HelpButton->y());
        // Where the others stood before does not matter.
        form->MsgButton->move(500, form->MsgButton->y());
        form->layoutNavigationButtons();
        EXPECT_EQ(form->MsgButton->x(), c.msg) << c.internet << "," << c.help;
        EXPECT_EQ(form->PonebookButton->x(), c.phonebook);
        EXPECT_EQ(form->ConfigButton->x(), c.config);
    }
    EXPECT_FALSE(form->CallButton->isVisibleTo(form));
    EXPECT_FALSE(form->CallhisButton->isVisibleTo(form));
}

TEST_F(MainformTest, TheStartTimerClosesTheSplashAndShowsTheWindowOnlyOnce)
{
    form->setSplash(std::make_unique<TStartForm>());
    form->splash()->show();
    ASSERT_FALSE(form->isVisible());
    EXPECT_TRUE(form->Timer_Start.isActive());

    form->Timer_StartTimer();
    EXPECT_EQ(form->splash(), nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->Timer_Start.isActive());
    EXPECT_TRUE(form->TrayIcon_Main->isVisible());

    // The PIN flow calls it again later: nothing happens, the window stays where the user put it.
    form->hide();
    form->showMainWindowNow();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainformTest, ShowingTheWindowOpensTheFirstPageUnlessItCameBackFromTheTray)
{
    form->InternetButtonClick();
    form->show();
    EXPECT_FALSE(form->Mainpanel->isVisible());

    form->InternetButtonClick();
    form->TrayIcon_MainMinimize();
    form->TrayIcon_MainRestore();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->restoredFromTray());
    EXPECT_TRUE(form->Mainpanel->isVisible());
}

TEST_F(MainformTest, ControlRightClickOnTheSignalIconAsksForInternalVersionsOnlyWithoutACard)
{
    const auto controlRightClick = [this] {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                          form->Image_RSSI->mapToGlobal(QPointF(5, 5)), Qt::RightButton,
                          Qt::RightButton, Qt::ControlModifier);
        QCoreApplication::sendEvent(form->Image_RSSI, &press);
    };
    setCardState(kSimReady);
    controlRightClick();
    EXPECT_FALSE(form->showInternalVersions());

    setCardState(kCardAbsent);
    QMouseEvent plain(QEvent::MouseButtonPress, QPointF(5, 5),
                      form->Image_RSSI->mapToGlobal(QPointF(5, 5)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->Image_RSSI, &plain);
    EXPECT_FALSE(form->showInternalVersions());
    controlRightClick();
    EXPECT_TRUE(form->showInternalVersions());

    // The About box takes the flag and clears it.
    form->Menu_AboutClick();
    EXPECT_FALSE(form->showInternalVersions());
}

TEST_F(MainformTest, DraggingTheTitleMovesTheWindowKeepingThePointerOffset)
{
    form->show();
    form->move(100, 100);
    const QPointF inside(30, 10);
    const QPointF start = form->Label_Caption->mapToGlobal(inside);
    QMouseEvent press(QEvent::MouseButtonPress, inside, start, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(form->Label_Caption, &press);
    QMouseEvent move(QEvent::MouseMove, inside, start + QPointF(40, 25), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->Label_Caption, &move);
    EXPECT_EQ(form->pos(), QPoint(140, 125));
    QMouseEvent release(QEvent::MouseButtonRelease, inside, start + QPointF(40, 25), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->Label_Caption, &release);
    QMouseEvent after(QEvent::MouseMove, inside, start + QPointF(90, 90), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->Label_Caption, &after);
    EXPECT_EQ(form->pos(), QPoint(140, 125));
}

TEST_F(MainformTest,
       TheWindowsTimersHaveTheirIntervalsAndOnlyTheStartAndRefreshTimersRunFromCreation)
{
    DestroyAppWindows();
    form = nullptr;
    CreateAppWindows();
    form = AppWindows().Mainform.get();
    struct Case {
        QTimer *timer;
        const char *name;
        int interval;
        bool running;
    };
    const Case cases[] = {
        {&form->Timer_Start, "Timer_Start", 10000, true},
        {&form->RefreshTimer, "RefreshTimer", 5000, true},
        {&form->Timer_NewSms, "Timer_NewSms", 800, false},
        {&form->Timer_IncomingCall, "Timer_IncomingCall", 800, false},
        {&form->Timer_Internet, "Timer_Internet", 800, false},
        {&form->TrayIcon_MainAnimation, "TrayIcon_MainAnimation", 800, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.timer->objectName(), QLatin1String(c.name));
        EXPECT_EQ(c.timer->interval(), c.interval) << c.name;
        EXPECT_EQ(c.timer->isActive(), c.running) << c.name;
    }
}

TEST_F(MainformTest, TheTrayMenuHasEveryItemInOrderWithOnlyTheDefaultOnesShown)
{
    const std::vector<std::pair<std::string, bool>> expected = {
        {"Menu_PowerOff", false},
        {"Menu_Offline", true},
        {"Menu_Online", true},
        {"Menu_FSettings", false},
        {"Menu_N1", true},
        {"Menu_Help", true},
        {"Menu_About", true},
        {"Menu_N2", true},
        {"Menu_NewSms", false},
        {"Menu_ClearNewSms", false},
        {"Menu_IncomingCall", false},
        {"Menu_IncomingCallAccept", false},
        {"Menu_IncomingCallTerminate", false},
        {"Menu_IncomingCallAbort", false},
        {"Menu_ClearMissedCall", false},
        {"Menu_InternetConnect", false},
        {"Menu_InternetDisconnect", false},
        {"Menu_DisableAllTool", false},
        {"Menu_EnableAllTool", false},
        {"Menu_Exit", true}};
    DestroyAppWindows();
    form = nullptr;
    CreateAppWindows();
    form = AppWindows().Mainform.get();
    std::vector<std::pair<std::string, bool>> items;
    for (QAction *action : form->PopupMenu_TrayMain->actions())
        items.emplace_back(action->objectName().toStdString(), action->isVisible());
    EXPECT_EQ(items, expected);
    EXPECT_EQ(form->Menu_Exit->text(), text(1011) + QStringLiteral("(&X)"));
    EXPECT_EQ(form->Menu_Help->text(), text(1009) + QStringLiteral("...(&H)"));
}
