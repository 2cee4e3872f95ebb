// The program's own main window (every window made as at start-up) with the real engine against
// the virtual data card: what a person sees on the status strip from insertion to SIM ready,
// through the PIN and with the card pulled and put back.
#include "ProgramOnCard.h"

#include "app/pin/PinEntry.h"
#include "app/pin/UI_PasswordDlg.h"

#include <QImage>
#include <QLineEdit>

using e2e::kWait;
using e2e::text;

class MainformEndToEnd : public e2e::ProgramOnCard {
protected:
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
};

TEST_F(MainformEndToEnd, StatusStripShowsSignalOperatorAndNetworkOnceTheSimIsReady)
{
    ASSERT_NO_FATAL_FAILURE(startOnCard());
    ASSERT_TRUE(waitForState(kSimReady));
    expectStripInService();
    EXPECT_TRUE(form->Menu_Offline->isVisible());
    EXPECT_FALSE(form->Menu_Online->isVisible());
}

TEST_F(MainformEndToEnd, PinDialogOnTheMainWindowWrongThenRight)
{
    ASSERT_NO_FATAL_FAILURE(startOnCard(true));
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
    ASSERT_NO_FATAL_FAILURE(startOnCard());
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

// From insertion to SIM ready and the pages filled, the program asks the card each fact once:
// the IMSI, the phonebooks' ranges, the storages' sizes do not change while the SIM stays.
TEST_F(MainformEndToEnd, StartUpAsksTheCardNothingTwice)
{
    virtualmodem::CardOptions options = e2e::VirtualCardSetup::cardOptions(false);
    options.simBusyTime = std::chrono::milliseconds(0);
    ASSERT_NO_FATAL_FAILURE(plugCard(options));
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_TRUE(waitForState(kSimReady));
    // The contacts page's count is the last read of the start-up.
    const auto received = [&](const std::string &command) {
        auto counts = card->snapshot().commandsReceived;
        auto found = counts.find(command);
        return found == counts.end() ? 0 : found->second;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return received("+CPBR=1,50") > 0; }, kWait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received("+CPBS?") >= 3; }, kWait));
    struct Allowed {
        const char *command;
        int most;
    };
    // A book is selected again only when the other one was selected in between.
    const Allowed allowed[] = {
        {"+CIMI", 1},          {"+CPMS?", 1},          {"+CPBR=?", 2},
        {"+CPBS=\"SM\"", 2}, {"+CPBS=\"ME\"", 2}, {"+CPMS=\"ME\"", 1},
    };
    for (const Allowed &command : allowed)
        EXPECT_LE(received(command.command), command.most) << command.command;
}
