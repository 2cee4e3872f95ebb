// The library through its three exports, as the program uses it: Show and Close from a worker
// thread while this (the window) thread runs its event loop.
#include "Waitpane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace {

QWidget *statusWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("StatusForm") && widget->isVisible())
            return widget;
    return nullptr;
}

// Shows the window from a worker and lets this thread run until it is up.
QWidget *showFromWorker(int32_t kind, const std::string &text)
{
    std::thread([kind, text] { ShowStatusWindow(kind, text.c_str(), 0x1234); }).join();
    EXPECT_TRUE(QTest::qWaitFor([] { return statusWindow() != nullptr; }, 5000));
    return statusWindow();
}

// Closes from a worker while this thread keeps its event loop going; returns Close's result
// and how long it took.
std::pair<int32_t, qint64> closeFromWorker()
{
    QElapsedTimer clock;
    clock.start();
    std::future<int32_t> closer =
        std::async(std::launch::async, [] { return CloseStatusWindow(); });
    const bool done = QTest::qWaitFor(
        [&] { return closer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        5000);
    EXPECT_TRUE(done) << "CloseStatusWindow did not return";
    const qint64 elapsed = clock.elapsed();
    return {done ? closer.get() : -1, elapsed};
}

QString animationOf(QWidget *window)
{
    auto *animation = window->findChild<QWidget *>(QStringLiteral("Animate1"));
    return animation ? animation->property("animationFile").toString() : QString();
}

}  // namespace

// Runs first in its own process: the kind starts at 8, which plays nothing.
TEST(Waitpane, KindOutsideTheRangeKeepsThePreviousOne)
{
    struct Step {
        int32_t kind;
        const char *animation;  // end of the file name, or "" for none
    };
    const Step steps[] = {
        {0, ""},           {9, ""},           {1, "search.png"},  {9, "search.png"},
        {0, "search.png"}, {2, "select.png"}, {-5, "select.png"}, {8, ""}};
    for (const Step &step : steps) {
        QWidget *window = showFromWorker(step.kind, "Searching for networks...");
        ASSERT_NE(window, nullptr) << step.kind;
        const QString animation = animationOf(window);
        if (*step.animation)
            EXPECT_TRUE(animation.endsWith(QLatin1String(step.animation)))
                << step.kind << " " << qPrintable(animation);
        else
            EXPECT_TRUE(animation.isEmpty()) << step.kind << " " << qPrintable(animation);
        closeFromWorker();
        ASSERT_EQ(statusWindow(), nullptr);
    }
}

TEST(Waitpane, CaptionIsCutTo255Bytes)
{
    struct Case {
        std::string text;
        int kept;  // characters shown
    };
    const Case cases[] = {
        {std::string(256, 'a'), 255},
        {std::string(255, 'b'), 255},
        {"Registering...", 14},
        // 254 bytes and a two-byte character: the character does not fit and is not halved.
        {std::string(254, 'c') + "\xC3\xA9", 254},
    };
    for (const Case &c : cases) {
        QWidget *window = showFromWorker(2, c.text);
        ASSERT_NE(window, nullptr);
        auto *caption = window->findChild<QLabel *>(QStringLiteral("CaptionLabel"));
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text().size(), c.kept);
        EXPECT_EQ(window->windowTitle(), caption->text());
        EXPECT_FALSE(caption->text().contains(QChar::ReplacementCharacter));
        closeFromWorker();
    }
}

TEST(Waitpane, CloseWithNoWindowReturnsAtOnce)
{
    EXPECT_EQ(CloseStatusWindow(), 0);
    // From a worker too, with nobody running the event loop: it must not wait for anything.
    std::future<int32_t> closer =
        std::async(std::launch::async, [] { return CloseStatusWindow(); });
    ASSERT_EQ(closer.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(closer.get(), 0);
    EXPECT_EQ(GetStatus(0), 0);
}

TEST(Waitpane, ClosesSoonAfterCloseAndNotBefore)
{
    QWidget *window = showFromWorker(1, "Searching for networks...");
    ASSERT_NE(window, nullptr);
    // The user cannot close it.
    window->close();
    EXPECT_TRUE(window->isVisible());
    const auto [cancelled, elapsed] = closeFromWorker();
    EXPECT_EQ(cancelled, 0);
    EXPECT_LE(elapsed, 250 + 100);
    EXPECT_EQ(statusWindow(), nullptr);
}

TEST(Waitpane, CloseBeforeTheWindowAppearsStillCloses)
{
    // Show and Close from the worker back to back: the window may not exist yet when Close
    // comes, and Close must still wait for (and end) the one Show started.
    std::future<int32_t> worker = std::async(std::launch::async, [] {
        ShowStatusWindow(1, "quick", 0);
        return CloseStatusWindow();
    });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return worker.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        5000));
    EXPECT_EQ(worker.get(), 0);
    QApplication::processEvents();
    EXPECT_EQ(statusWindow(), nullptr);
}

TEST(Waitpane, CloseOnTheWindowThreadDoesNotDeadlock)
{
    QWidget *window = showFromWorker(1, "here");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CloseStatusWindow(), 0);
    EXPECT_EQ(statusWindow(), nullptr);
    // Shown and closed on this thread before the loop ever ran: nothing appears later.
    ShowStatusWindow(1, "never", 0);
    EXPECT_EQ(CloseStatusWindow(), 0);
    QApplication::processEvents();
    EXPECT_EQ(statusWindow(), nullptr);
}

TEST(Waitpane, EscapeCancelsButTheWindowStaysUntilClosed)
{
    QWidget *window = showFromWorker(1, "Searching for networks...");
    ASSERT_NE(window, nullptr);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window, &escape);
    EXPECT_TRUE(window->isVisible());
    // GetStatus sees the cancel and closes the window as Close does.
    std::future<int32_t> status = std::async(std::launch::async, [] { return GetStatus(0); });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return status.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        5000));
    EXPECT_EQ(status.get(), 1);
    EXPECT_EQ(statusWindow(), nullptr);
    // The flag is never cleared by the library.
    EXPECT_EQ(CloseStatusWindow(), 1);
}

TEST(Waitpane, AnimatesWhileTheWorkerBlocks)
{
    std::atomic<bool> release{false};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        ShowStatusWindow(1, "Searching for networks...", 0);
        while (!release)  // the long card operation
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        CloseStatusWindow();
        finished = true;
    });
    // However the test ends, the worker is let go and joined with the event loop running.
    const auto cleanup = qScopeGuard([&] {
        release = true;
        const bool let_go = QTest::qWaitFor([&] { return finished.load(); }, 5000);
        Q_UNUSED(let_go);
        worker.join();
    });
    ASSERT_TRUE(QTest::qWaitFor([] { return statusWindow() != nullptr; }, 5000));
    auto *animation = statusWindow()->findChild<QWidget *>(QStringLiteral("Animate1"));
    ASSERT_NE(animation, nullptr);
    const QImage first = animation->grab().toImage();
    const bool changed =
        QTest::qWaitFor([&] { return animation->grab().toImage() != first; }, 2000);
    EXPECT_TRUE(changed);
    // The skin is on: the caption strip is blue.
    const QColor strip = statusWindow()->grab().toImage().pixelColor(200, 12);
    EXPECT_GT(strip.blue(), strip.red() + 60);
    release = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished.load(); }, 5000));
    EXPECT_EQ(statusWindow(), nullptr);
}
