// The network page, the manual selection dialog and the call services window of the program's
// main window with the real engine against the virtual card: a search with four networks, the
// forbidden one refused before the card is asked, an available one registered, automatic
// selection again; the choices locked while the data connection is up; forwarding when busy read
// back after a restart of the program; all outgoing calls barred; CLIP and call waiting switched.
#include "ProgramOnCard.h"
#include "UI_DataConnectForm.h"
#include "UI_ManualSet.h"
#include "UI_SetNetForm.h"
#include "UI_SetSS.h"

#include "config/BL_File.h"

using e2e::kWait;

class NetworkServicesEndToEnd : public e2e::ProgramOnCard {
protected:
    void start()
    {
        platform::setPauseHandler([](int) {});
        ASSERT_NO_FATAL_FAILURE(installDeliveredProfiles());
        FileStore().LoadDefaultProfile();
        ASSERT_NO_FATAL_FAILURE(plugCard(false));
        card->setNetworkScanTime(std::chrono::milliseconds(100));
        ASSERT_NO_FATAL_FAILURE(startProgram());
        ASSERT_TRUE(waitForState(kSimReady));
        ASSERT_TRUE(settle());
        page = AppWindow<TSet_netform>();
        dialog = AppWindow<TManual_Set>();
        services = AppWindow<TSet_SS>();
        ASSERT_NE(page, nullptr);
        ASSERT_NE(dialog, nullptr);
        ASSERT_NE(services, nullptr);
        dialog->setWaitWindow({[](int, const QString &) {}, [] {}});
    }

    int manualRegistrations() const
    {
        int count = 0;
        for (const auto &[command, times] : card->snapshot().commandsReceived)
            if (command.rfind("+COPS=1,", 0) == 0)
                count += times;
        return count;
    }

    TSet_netform *page = nullptr;
    TManual_Set *dialog = nullptr;
    TSet_SS *services = nullptr;
};

TEST_F(NetworkServicesEndToEnd, ManualSearchForbiddenRefusedAvailableRegisteredThenAutomatic)
{
    ASSERT_NO_FATAL_FAILURE(start());
    page->FormShow();
    EXPECT_TRUE(page->RadioButton_Automatic->isChecked());
    for (QRadioButton *mode : page->RadioButton_Modes)
        EXPECT_TRUE(mode->isEnabled());

    QStringList rows;
    bool forbiddenRefusedUnasked = false;
    platform::setDialogResponder([&](QDialog &shown) -> std::optional<int> {
        auto &manual = dynamic_cast<TManual_Set &>(shown);
        manual.FormShow();
        if (!QTest::qWaitFor([&] { return manual.searchDone(); }, kWait))
            return QDialog::Rejected;
        for (int i = 0; i < manual.OperatorListView->topLevelItemCount(); ++i) {
            auto *item = manual.OperatorListView->topLevelItem(i);
            rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2) + "|" + item->text(3);
        }
        // The forbidden network: refused by the dialog, the card never asked.
        manual.OperatorListView->setCurrentItem(manual.OperatorListView->topLevelItem(2));
        manual.Apply_BtnClick();
        forbiddenRefusedUnasked = manualRegistrations() == 0 &&
                                  boxes.contains(e2e::text(3015));
        manual.OperatorListView->setCurrentItem(manual.OperatorListView->topLevelItem(1));
        manual.Apply_BtnClick();
        return manual.result();
    });
    page->RadioGroup_NetOptClick(1);
    page->ApplyButtonClick();
    EXPECT_EQ(rows, (QStringList{e2e::text(3011) + "|Brisa|722310|3G",
                                 e2e::text(3010) + "|Austral|72234|3G",
                                 e2e::text(3012) + "|Pampa|72207|2G",
                                 e2e::text(3010) + "|Litoral|72236|2G"}));
    EXPECT_TRUE(forbiddenRefusedUnasked);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.contains(e2e::text(3013)); }, kWait))
        << boxes.join('|').toStdString();
    dialog->JoinWorker();
    EXPECT_EQ(card->snapshot().network.selectionMode, 1);
    EXPECT_EQ(card->snapshot().network.manualOperator, "72234");
    // The status strip follows the card: roaming on the partner network.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Label_Roam->text() == QStringLiteral("R"); }, kWait));

    // Automatic again, with the choice shown unchanged: the card leaves the manual network.
    page->RadioGroup_NetOptClick(0);
    page->ApplyButtonClick();
    EXPECT_EQ(card->snapshot().network.selectionMode, 0);
    EXPECT_TRUE(boxes.contains(e2e::text(3033)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Label_Roam->text().isEmpty(); }, kWait));
}

TEST_F(NetworkServicesEndToEnd, ChoicesLockedWhileTheDataConnectionIsUp)
{
    ASSERT_NO_FATAL_FAILURE(start());
    auto *internet = AppWindow<TData_connectform>();
    ASSERT_NE(internet, nullptr);
    page->FormShow();
    ASSERT_TRUE(page->RadioGroup_NetOpt->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            internet->connection().WaitTimerTimer();
            return internet->ImButtonConnect->isEnabled();
        },
        kWait));
    internet->ImButtonConnectClick();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return internet->ConnectionState() == kConnectionConnected; }, kWait));
    EXPECT_FALSE(page->RadioGroup_NetOpt->isEnabled());
    EXPECT_FALSE(page->RadioGroup_Auto->isEnabled());
    EXPECT_FALSE(page->ApplyButton->isEnabled());
    internet->ImButtonConnectClick();  // hang up
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return internet->ConnectionState() == kConnectionIdle; }, kWait));
    // The page is told the idle state after the Internet page's own change.
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->RadioGroup_NetOpt->isEnabled(); }, kWait));
}

TEST_F(NetworkServicesEndToEnd, ForwardingReadBackAfterRestartBarringClipAndWaiting)
{
    ASSERT_NO_FATAL_FAILURE(start());
    services->FormShow();
    EXPECT_TRUE(boxes.contains(e2e::text(3149))) << boxes.join('|').toStdString();
    const int busy = CallServices::kCfb;
    services->CheckBox_Forward[busy]->click();
    services->Edit_Forward[busy]->setText(QStringLiteral("+5491155550000"));
    emit services->Edit_Forward[busy]->textEdited(services->Edit_Forward[busy]->text());
    services->ApplyButtonCFClick();
    EXPECT_TRUE(boxes.contains(e2e::text(3033)));

    // All outgoing calls barred: the two other outgoing boxes are held.
    services->ShowTab(1);
    services->CheckBox_Barring[CallServices::kAo]->click();
    EXPECT_FALSE(services->CheckBox_Barring[CallServices::kOi]->isEnabled());
    EXPECT_FALSE(services->CheckBox_Barring[CallServices::kOx]->isEnabled());
    services->ApplyButtonCBClick();
    EXPECT_TRUE(card->snapshot().services.barring.count({"AO", 1}));

    // CLIP and call waiting each switched the other way.
    services->ShowTab(2);
    const bool clipBefore = services->CheckBox_CLIP->isChecked();
    const bool waitingBefore = services->CheckBox_CCWA->isChecked();
    services->CheckBox_CLIP->click();
    services->CheckBox_CCWA->click();
    boxes.clear();
    services->ApplyButtonCLIPClick();
    EXPECT_EQ(boxes, QStringList{e2e::text(3033)});
    EXPECT_EQ(card->snapshot().settings.callerIdReports, clipBefore ? 0 : 1);
    EXPECT_EQ(card->snapshot().services.waitingClasses.count(1), waitingBefore ? 0u : 1u);

    // A new run of the program on the same card reads all of it back from the network.
    DestroyAppWindows();
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_TRUE(waitForState(kSimReady));
    services = AppWindow<TSet_SS>();
    ASSERT_NE(services, nullptr);
    services->FormShow();
    EXPECT_TRUE(services->CheckBox_Forward[busy]->isChecked());
    EXPECT_EQ(services->Edit_Forward[busy]->text(), QStringLiteral("+5491155550000"));
    services->ShowTab(1);
    EXPECT_TRUE(services->CheckBox_Barring[CallServices::kAo]->isChecked());
    EXPECT_FALSE(services->CheckBox_Barring[CallServices::kOi]->isEnabled());
    services->ShowTab(2);
    EXPECT_EQ(services->CheckBox_CLIP->isChecked(), !clipBefore);
    EXPECT_EQ(services->CheckBox_CCWA->isChecked(), !waitingBefore);
}
