// The program's own main window (every window made as at start-up) with the real engine against
// the virtual data card: what a person sees on the status strip from insertion to SIM ready,
// through the PIN and with the card pulled and put back.
#include "AppWindows.h"
#include "CardMonitor.h"
#include "UI_MainFrm.h"

#include "app/pin/PinEntry.h"
#include "app/pin/UI_PasswordDlg.h"
#include "config/BL_File.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "virtualmodem/VirtualModem.h"
#include "VirtualCardSetup.h"

#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using e2e::kWait;
using e2e::text;

class MainformEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(setup.prepare());
        platform::setMessageBoxHandler([this](QWidget *, const QString &shown, int, bool) {
            boxes << shown;
            return 1;
        });
        platform::setDialogResponder(
            [](QDialog &) -> std::optional<int> { return QDialog::Rejected; });
    }

    void TearDown() override
    {
        DestroyAppWindows();
        card.reset();
        for (int round = 0; round < 5; ++round)
            QCoreApplication::sendPostedEvents();
        platform::setMessageBoxHandler({});
        platform::setDialogResponder({});
    }

    void start(bool pinRequired)
    {
        std::string error;
        card = setup.plugCard(pinRequired, error);
        ASSERT_NE(card, nullptr) << error;
        CreateAppWindows();
        form = AppWindows().Mainform.get();
        ASSERT_NE(form, nullptr);
    }

    bool waitForState(uint8_t state)
    {
        return QTest::qWaitFor([&] { return form->monitor().cardState() == state; }, kWait);
    }

    void expectStripInService()
    {
        CardMonitor &monitor = form->monitor();
        ASSERT_TRUE(QTest::qWaitFor([&] { return monitor.network().signalLevel() > 0; }, kWait));
        EXPECT_EQ(form->Image_RSSI->Picture().toImage(),
                  form->ImageList_RSSILevel->picture(monitor.network().signalLevel()).toImage());
        EXPECT_FALSE(form->Label_NetWorkType->text().isEmpty());
        EXPECT_NE(form->Label_NetWorkType->text(), text(1082));
        EXPECT_FALSE(form->Label_OperaName->text().isEmpty());
        EXPECT_NE(form->Label_OperaName->text(), text(1084));
        EXPECT_EQ(form->Label_Domain->text(), QStringLiteral("P C"));
        EXPECT_EQ(form->Image_Simcard->Picture().toImage(),
                  form->ImageList_TrayMain->picture(kImageSimReady).toImage());
        EXPECT_TRUE(form->StkButton->isEnabled());
    }

    e2e::VirtualCardSetup setup;
    std::unique_ptr<virtualmodem::VirtualModem> card;
    TMainform *form = nullptr;
    QStringList boxes;
};

TEST_F(MainformEndToEnd, StatusStripShowsSignalOperatorAndNetworkOnceTheSimIsReady)
{
    start(false);
    ASSERT_TRUE(waitForState(kSimReady));
    expectStripInService();
    EXPECT_TRUE(form->Menu_Offline->isVisible());
    EXPECT_FALSE(form->Menu_Online->isVisible());
}

TEST_F(MainformEndToEnd, PinDialogOnTheMainWindowWrongThenRight)
{
    start(true);
    const auto dialogUp = [&] {
        pin::TPasswordDlg *dialog = form->monitor().pinEntry().pinDialog();
        return form->monitor().cardState() == kPinRequired && dialog != nullptr &&
               dialog->isVisible() && dialog->Edit_Password1->text().isEmpty();
    };
    ASSERT_TRUE(QTest::qWaitFor(dialogUp, kWait));
    EXPECT_TRUE(form->isVisible());  // shown for the PIN without waiting for the splash's time
    pin::TPasswordDlg *dialog = form->monitor().pinEntry().pinDialog();
    dialog->Edit_Password1->setText(QStringLiteral("1111"));
    dialog->ImButton_OKClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.isEmpty(); }, kWait));
    EXPECT_EQ(boxes, QStringList{text(1025)});
    ASSERT_TRUE(QTest::qWaitFor(dialogUp, kWait));

    dialog = form->monitor().pinEntry().pinDialog();
    dialog->Edit_Password1->setText(QStringLiteral("1234"));
    dialog->ImButton_OKClick();
    ASSERT_TRUE(waitForState(kSimReady));
    expectStripInService();
}

TEST_F(MainformEndToEnd, CardPulledAndPutBack)
{
    start(false);
    ASSERT_TRUE(waitForState(kSimReady));
    expectStripInService();

    ASSERT_TRUE(card->removeCard());
    ASSERT_TRUE(waitForState(kCardAbsent));
    EXPECT_EQ(form->Label_OperaName->text(), text(1084));
    EXPECT_EQ(form->Label_NetWorkType->text(), text(1082));
    EXPECT_EQ(form->Image_Netcard->Picture().toImage(),
              form->ImageList_TrayMain->picture(kImageCardAbsent).toImage());
    EXPECT_EQ(form->Image_Netcard->toolTip(), text(1163));
    EXPECT_FALSE(form->StkButton->isEnabled());
    EXPECT_FALSE(form->Menu_Offline->isVisible());

    ASSERT_TRUE(card->insertCard());
    ASSERT_TRUE(waitForState(kSimReady));
    expectStripInService();
}
