#include "MainformTestSupport.h"

#include "AppWindows.h"
#include "CardMonitor.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QDialog>

bool PostedCardStates::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != platform::WindowMessageEvent::eventType())
        return false;
    auto *message = static_cast<platform::WindowMessageEvent *>(event);
    if (message->message() != platform::WM_CARD_STATE)
        return false;
    states.push_back(int(message->wParam()));
    return true;
}

void MainformTest::SetUp()
{
    lumacore_fake::reset();
    if (platform::stringManager() == nullptr)
        platform::createStringManager();  // ./language of the program folder
    ASSERT_TRUE(folder.isValid());
    FileStore().setFolder(folder.path());
    FileStore().allConfig() = AllConfig{};

    platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool twoButtons) {
        boxes << text;
        return twoButtons ? answer : 1;
    });
    platform::setDialogResponder([](QDialog &) -> std::optional<int> { return QDialog::Rejected; });

    CreateAppWindows();
    form = AppWindows().Mainform.get();
    ASSERT_NE(form, nullptr);
    // The start: card inserted, the echo answers, the mode reads as 0 (the fake's default),
    // and there it rests.
    for (int round = 0; round < 10; ++round)
        QCoreApplication::sendPostedEvents();
    form->installEventFilter(&posted);
    boxes.clear();
    lumacore_fake::clearCalls();
}

void MainformTest::TearDown()
{
    if (form)
        form->removeEventFilter(&posted);
    DestroyAppWindows();
    for (int round = 0; round < 10; ++round)
        QCoreApplication::sendPostedEvents();
    platform::setMessageBoxHandler({});
    platform::setDialogResponder({});
    lumacore_fake::reset();
}

void MainformTest::setCardState(uint8_t state)
{
    form->monitor().applyCardState(state);
    QCoreApplication::removePostedEvents(form);
    QCoreApplication::removePostedEvents(&form->monitor());
    // What the feature windows put off until after the state's round of notices runs now, so
    // the test sees only what its command does.
    QCoreApplication::sendPostedEvents();
    posted.states.clear();
    boxes.clear();
    lumacore_fake::clearCalls();
}

void MainformTest::deliver()
{
    for (int round = 0; round < 10; ++round)
        QCoreApplication::sendPostedEvents();
}

QString MainformTest::text(unsigned number) { return platform::GetLanguageString(number); }
