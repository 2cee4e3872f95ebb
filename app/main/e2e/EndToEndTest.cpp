// The card monitor with the real engine against the virtual data card, as the program runs it:
// the business logic started, the engine's callbacks and messages arriving as window messages,
// the PIN dialogs answered as a person would.
#include "CardMonitor.h"
#include "FakeSoundOutput.h"
#include "RecordingView.h"
#include "RecordingWindow.h"
#include "WindowTable.h"

#include "app/pin/PinEntry.h"
#include "app/pin/UI_PasswordDlg.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "virtualmodem/VirtualModem.h"
#include "VirtualCardSetup.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using e2e::kWait;
using e2e::text;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(setup.prepare());
        ProfileRecord profile{};
        std::strcpy(profile.name, "Brisa AR");
        std::strcpy(profile.apnAutomatic, "0");
        std::strcpy(profile.apn, "internet.movara");
        std::strcpy(profile.pdpAddressAutomatic, "1");
        std::strcpy(profile.pdpType, "IP");
        ASSERT_TRUE(FileStore().WriteDefaultProfile(profile));

        platform::setMessageBoxHandler([this](QWidget *, const QString &shown, int, bool) {
            boxes << shown;
            return 1;
        });
    }

    void TearDown() override
    {
        if (monitor) {
            RegisterMainWindow(monitor.get(), 1);
            EXPECT_EQ(StopBusinessLogic(), 0);
        }
        monitor.reset();
        card.reset();
        QCoreApplication::sendPostedEvents();
        platform::setMessageBoxHandler({});
        platform::setDialogResponder({});
    }

    void startCard(bool pinRequired)
    {
        std::string error;
        card = setup.plugCard(pinRequired, error);
        ASSERT_NE(card, nullptr) << error;
    }

    // What the main window does at creation: start the engine, take its callbacks and
    // messages, and post the first card state.
    void startProgram()
    {
        windows.add(window, feature::told(1));
        monitor =
            std::make_unique<CardMonitor>(view, windows, std::make_unique<FakeSoundOutput>(sound));
        const uint16_t status = StartBusinessLogic(0, 400, 0);
        RegisterCardCallbacks();
        ASSERT_EQ(RegisterMainWindow(monitor.get(), 0), 0);
        monitor->postCardState(status != 0 ? kCardAbsent : kCardInserted);
        LoadPcLists();
    }

    bool waitForState(uint8_t state, int timeout = kWait)
    {
        return QTest::qWaitFor([&] { return monitor->cardState() == state; }, timeout);
    }

    bool waitForPinDialog(int timeout = kWait)
    {
        return QTest::qWaitFor(
            [&] {
                return monitor->cardState() == kPinRequired &&
                       monitor->pinEntry().pinDialog() != nullptr &&
                       monitor->pinEntry().pinDialog()->isVisible();
            },
            timeout);
    }

    // Types the PIN into the start-up dialog and presses OK.
    void enterPin(const QString &pin)
    {
        pin::TPasswordDlg *dialog = monitor->pinEntry().pinDialog();
        ASSERT_NE(dialog, nullptr);
        dialog->Edit_Password1->setText(pin);
        dialog->ImButton_OKClick();
    }

    // The card states applied so far, in order (as the windows were told them).
    std::vector<int> statesApplied() const { return window.cardStates; }

    void expectInService()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return view.signalBars > 0; }, kWait));
        EXPECT_FALSE(view.networkType.isEmpty());
        EXPECT_NE(view.networkType, text(1082));
        EXPECT_FALSE(view.operatorName.isEmpty());
        EXPECT_NE(view.operatorName, text(1084));
        EXPECT_EQ(view.simIcon, kImageSimReady);
        EXPECT_EQ(view.cardIcon, kImageCardOnline);
        EXPECT_TRUE(view.stkEnabled);
        EXPECT_TRUE(monitor->network().inService());
    }

    e2e::VirtualCardSetup setup;
    std::unique_ptr<virtualmodem::VirtualModem> card;
    RecordingView view;
    RecordingWindow window;
    feature::WindowTable windows;
    std::shared_ptr<FakeSoundOutput::State> sound = std::make_shared<FakeSoundOutput::State>();
    std::unique_ptr<CardMonitor> monitor;
    QStringList boxes;
};

TEST_F(EndToEnd, CardWithoutPinComesUpToSimReadyWithSignalOperatorAndNetwork)
{
    startCard(false);
    startProgram();
    ASSERT_TRUE(waitForState(kSimReady));
    expectInService();
    EXPECT_EQ(view.domain, QStringLiteral("P C"));
    EXPECT_TRUE(view.roaming.isEmpty());
    EXPECT_EQ(view.trayImage, kImageInService);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    // The default profile's access point reached the card.
    const auto contexts = card->snapshot().contexts;
    ASSERT_EQ(contexts.count(1), 1u);
    EXPECT_EQ(contexts.at(1).apn, "internet.movara");
}

TEST_F(EndToEnd, WrongPinAsksAgainAndTheRightOneGoesOnToSimReady)
{
    startCard(true);
    startProgram();
    ASSERT_TRUE(waitForPinDialog());
    EXPECT_GE(view.mainWindowShown, 1);  // shown at once, not after the splash

    enterPin(QStringLiteral("0000"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.isEmpty(); }, kWait));
    EXPECT_EQ(boxes, QStringList{text(1025)});
    // The PIN state is read again (6) and the card still wants it: a fresh dialog (8).
    ASSERT_TRUE(QTest::qWaitFor([&] { return statesApplied().size() >= 6; }, kWait));
    EXPECT_EQ(statesApplied(), (std::vector<int>{2, 3, 6, 8, 6, 8}));
    ASSERT_TRUE(waitForPinDialog());
    EXPECT_TRUE(monitor->pinEntry().pinDialog()->Edit_Password1->text().isEmpty());
    EXPECT_EQ(monitor->cardState(), kPinRequired);

    enterPin(QStringLiteral("1234"));
    ASSERT_TRUE(waitForState(kSimReady));
    EXPECT_EQ(monitor->pinEntry().pinDialog(), nullptr);
    expectInService();
}

TEST_F(EndToEnd, BlockedSimIsOpenedWithThePukAndANewPin)
{
    startCard(true);
    int pukDialogs = 0;
    platform::setDialogResponder([&pukDialogs](QDialog &dialog) -> std::optional<int> {
        auto *password = qobject_cast<pin::TPasswordDlg *>(&dialog);
        if (password == nullptr)
            return std::nullopt;
        ++pukDialogs;
        if (password->mode() == pin::PasswordMode::Puk) {
            password->Edit_Password1->setText(QStringLiteral("12345678"));
        } else {
            password->Edit_Password1->setText(QStringLiteral("4321"));
            password->Edit_Password2->setText(QStringLiteral("4321"));
        }
        return QDialog::Accepted;
    });
    startProgram();

    // Three wrong PINs: the last one blocks the SIM, which then wants its PUK.
    for (int attempt = 0; attempt < 3; ++attempt) {
        ASSERT_TRUE(waitForPinDialog()) << attempt;
        enterPin(QStringLiteral("9999"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() == attempt + 1; }, kWait));
    }
    EXPECT_EQ(boxes, (QStringList{text(1025), text(1025), text(1034)}));

    ASSERT_TRUE(waitForState(kSimReady));
    EXPECT_EQ(pukDialogs, 2);
    expectInService();
    EXPECT_EQ(card->snapshot().sim.pin, "4321");
}

TEST_F(EndToEnd, CancelledPinShowsTheSimBlocked)
{
    startCard(true);
    startProgram();
    ASSERT_TRUE(waitForPinDialog());
    monitor->pinEntry().pinDialog()->ImButton_CancelClick();
    ASSERT_TRUE(waitForState(kSimBlocked));
    EXPECT_EQ(view.simIcon, kImageSimBlocked);
    EXPECT_EQ(view.trayImage, kImageSimBlocked);
}

TEST_F(EndToEnd, CardPulledShowsItAbsentAndReinsertedComesBack)
{
    startCard(false);
    startProgram();
    ASSERT_TRUE(waitForState(kSimReady));
    expectInService();

    ASSERT_TRUE(card->removeCard());
    ASSERT_TRUE(waitForState(kCardAbsent));
    EXPECT_EQ(view.cardIcon, kImageCardAbsent);
    EXPECT_EQ(view.simIcon, kImageSimMissing);
    EXPECT_EQ(view.trayImage, kImageCardAbsent);
    EXPECT_EQ(view.signalBars, 0);
    EXPECT_EQ(view.networkType, text(1082));
    EXPECT_EQ(view.operatorName, text(1084));
    EXPECT_FALSE(view.stkEnabled);
    EXPECT_FALSE(view.menuVisible[TrayMenuItem::Offline]);
    monitor->tray().Timer_UpdateTrayHintTimer();
    EXPECT_EQ(view.trayHint, text(1163));

    view.signalBars = -1;
    ASSERT_TRUE(card->insertCard());
    ASSERT_TRUE(waitForState(kSimReady));
    expectInService();
}

TEST_F(EndToEnd, NetworkLostAndBack)
{
    startCard(false);
    startProgram();
    ASSERT_TRUE(waitForState(kSimReady));
    expectInService();
    const QString networkType = view.networkType;

    card->setNetwork(virtualmodem::Coverage::None);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !monitor->network().inService(); }, kWait));
    ASSERT_TRUE(monitor->network().Timer_NoService.isActive());
    // The network is read again eleven ticks later; the ticks are played here, not waited for.
    for (int tick = 0; tick < 11; ++tick)
        monitor->network().Timer_NoServiceTimer();
    EXPECT_EQ(view.networkType, text(1082));
    monitor->network().Timer_RSSITimer();
    EXPECT_EQ(view.signalBars, 0);
    EXPECT_EQ(view.trayImage, kImageNoSignal);

    card->setNetwork(virtualmodem::Coverage::Home);
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor->network().inService(); }, kWait));
    EXPECT_EQ(view.networkType, networkType);
    monitor->network().Timer_RSSITimer();
    EXPECT_GT(view.signalBars, 0);
    EXPECT_EQ(view.trayImage, kImageInService);
}

TEST_F(EndToEnd, NoCardShowsTheCardAbsent)
{
    ::setenv("LUMACORE_PORT", setup.filePath("nothing-here").toLocal8Bit().constData(), 1);
    startProgram();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.cardIcon == kImageCardAbsent; }, kWait));
    EXPECT_EQ(monitor->cardState(), kCardAbsent);
    EXPECT_EQ(view.cardHint, text(1163));
}
