// The program as it starts on the virtual card, shared by the main window's end-to-end suites:
// the private folder and texts, the boxes the program shows kept instead of shown, its dialogs
// answered "cancel", the card plugged in, every window made as at start-up, and all of it taken
// down again after each test.
#pragma once

#include "AppWindows.h"
#include "CardMonitor.h"
#include "UI_MainFrm.h"

#include "platform/Clock.h"
#include "platform/DialogSeam.h"
#include "virtualmodem/VirtualModem.h"
#include "VirtualCardSetup.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace e2e {

class ProgramOnCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(setup.prepare());
        platform::setMessageBoxHandler(
            [this](QWidget *, const QString &shown, int, bool twoButtons) {
                boxShown(shown, twoButtons);
                return boxAnswer;
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
        platform::setPauseHandler({});
        platform::setMessageBoxHandler({});
        platform::setDialogResponder({});
    }

    // Keeps every box the program shows; a suite that sorts them its own way overrides this.
    virtual void boxShown(const QString &shown, bool /*twoButtons*/) { boxes << shown; }

    // A card at the link the engine watches.
    void plugCard(const virtualmodem::CardOptions &options)
    {
        std::string error;
        card = setup.plugCard(options, error);
        ASSERT_NE(card, nullptr) << error;
    }

    void plugCard(bool pinRequired = false)
    {
        plugCard(VirtualCardSetup::cardOptions(pinRequired));
    }

    // The delivered profiles and default, as installed beside the program.
    void installDeliveredProfiles()
    {
        for (const char *name : {"config.ran", "defaultcfg.ran"})
            ASSERT_TRUE(QFile::copy(name, setup.filePath(name))) << name;
    }

    // Every window made as at start-up, the main window among them.
    void startProgram()
    {
        CreateAppWindows();
        form = AppWindows().Mainform.get();
        ASSERT_NE(form, nullptr);
    }

    // The card plugged in, then the program started on it.
    void startOnCard(bool pinRequired = false)
    {
        ASSERT_NO_FATAL_FAILURE(plugCard(pinRequired));
        ASSERT_NO_FATAL_FAILURE(startProgram());
    }

    bool waitForState(uint8_t state)
    {
        return QTest::qWaitFor([&] { return form->monitor().cardState() == state; }, kWait);
    }

    // Runs the window thread until what is queued on it now has run (a zero timer queued now
    // comes after it): how a test knows that nothing followed, without waiting a time.
    static bool settle()
    {
        QObject guard;
        bool done = false;
        QTimer::singleShot(0, &guard, [&done] { done = true; });
        return QTest::qWaitFor([&done] { return done; }, kWait);
    }

    VirtualCardSetup setup;
    std::unique_ptr<virtualmodem::VirtualModem> card;
    TMainform *form = nullptr;
    QStringList boxes;
    int boxAnswer = 1;  // the button every box is answered with
};

}  // namespace e2e
