#include "platform/WindowMessages.h"
#include "platform/WindowSink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace platform;

namespace {

// A window stand-in: records what it was given and answers wParam + lParam.
class Receiver : public QObject {
public:
    bool event(QEvent *event) override
    {
        if (event->type() != WindowMessageEvent::eventType())
            return QObject::event(event);
        auto *message = static_cast<WindowMessageEvent *>(event);
        ++received;
        lastMessage = message->message();
        handlerThread = QThread::currentThread();
        if (const ByteBlock *block = message->block())
            lastBytes = block->bytes;
        hadPayload = message->payload() != nullptr;
        message->setResult(static_cast<intptr_t>(message->wParam()) + message->lParam());
        return true;
    }

    std::atomic<int> received{0};
    uint32_t lastMessage = 0;
    QThread *handlerThread = nullptr;
    std::vector<uint8_t> lastBytes;
    bool hadPayload = false;
};

struct CountingPayload final : MessagePayload {
    explicit CountingPayload(std::atomic<int> &counter) : destroyed(counter) {}
    ~CountingPayload() override { ++destroyed; }
    std::atomic<int> &destroyed;
};

// Runs the calling thread's event loop until done() holds; false on time-out.
template <typename Condition>
bool processEventsUntil(Condition done)
{
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

TEST(PlatformWindowMessages, SendOnOwnThreadIsDeliveredBeforeReturning)
{
    Receiver window;
    EXPECT_EQ(SendMessage(&window, WM_CARD_STATE, 12, 30), 42);
    EXPECT_EQ(window.received, 1);
    EXPECT_EQ(window.lastMessage, WM_CARD_STATE);
    EXPECT_EQ(SendMessage(nullptr, WM_CARD_STATE, 1, 2), 0);
}

TEST(PlatformWindowMessages, SendFromWorkerRunsOnWindowThreadAndReturnsAnswer)
{
    Receiver window;
    std::atomic<bool> finished{false};
    intptr_t answer = -1;
    std::thread worker([&] {
        const uint8_t reply[] = {1, 2, 3};
        answer = SendMessage(&window, WM_USSD_REPLY, 7, 5,
                             std::make_unique<ByteBlock>(reply, sizeof reply));
        finished = true;
    });
    const bool done = processEventsUntil([&] { return finished.load(); });
    worker.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(answer, 12);
    EXPECT_EQ(window.handlerThread, QThread::currentThread());
    EXPECT_EQ(window.lastBytes, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(PlatformWindowMessages, SendToWindowOnAnotherQtThreadWaitsForIt)
{
    QThread thread;
    Receiver window;
    window.moveToThread(&thread);
    thread.start();
    const intptr_t answer = SendMessage(&window, WM_STK_FIRST, 100, 1);
    QThread *handlerThread = window.handlerThread;
    thread.quit();
    thread.wait();
    EXPECT_EQ(answer, 101);
    EXPECT_EQ(handlerThread, &thread);
}

TEST(PlatformWindowMessages, PostIsDeliveredLaterWithItsPayload)
{
    Receiver window;
    std::thread worker([&] {
        EXPECT_TRUE(PostMessage(&window, WM_SMS_REPORT, 0, 0,
                                std::make_unique<ByteBlock>(std::vector<uint8_t>(61, 0xAB))));
    });
    worker.join();
    EXPECT_EQ(window.received, 0);
    ASSERT_TRUE(processEventsUntil([&] { return window.received == 1; }));
    EXPECT_EQ(window.lastMessage, WM_SMS_REPORT);
    EXPECT_EQ(window.lastBytes, std::vector<uint8_t>(61, 0xAB));
    EXPECT_EQ(window.handlerThread, QThread::currentThread());
}

TEST(PlatformWindowMessages, PayloadOfUndeliveredMessageIsDestroyed)
{
    std::atomic<int> destroyed{0};
    {
        auto window = std::make_unique<Receiver>();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(PostMessage(window.get(), WM_SMS_NEW, 0, 0,
                                    std::make_unique<CountingPayload>(destroyed)));
        window.reset();  // gone before its queue was ever run
    }
    EXPECT_EQ(destroyed, 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(destroyed, 3);

    EXPECT_FALSE(
        PostMessage(nullptr, WM_SMS_NEW, 0, 0, std::make_unique<CountingPayload>(destroyed)));
    EXPECT_EQ(destroyed, 4);
    EXPECT_EQ(SendMessage(nullptr, WM_SMS_NEW, 0, 0, std::make_unique<CountingPayload>(destroyed)),
              0);
    EXPECT_EQ(destroyed, 5);
}

TEST(PlatformWindowSink, PostCopiesTheBlockAndStopsWhenTheWindowIsGone)
{
    auto window = std::make_unique<Receiver>();
    WindowSink sink(window.get());
    LumacoreWindowSink *engineSide = sink.sink();

    char record[8] = "abcdefg";
    EXPECT_EQ(engineSide->post(engineSide->context, WM_SIM_READY, 2, 0, record, sizeof record), 1);
    std::memset(record, 0, sizeof record);  // the engine reuses its buffer at once
    ASSERT_TRUE(processEventsUntil([&] { return window->received == 1; }));
    EXPECT_EQ(window->lastBytes.size(), 8u);
    EXPECT_EQ(std::memcmp(window->lastBytes.data(), "abcdefg", 8), 0);

    EXPECT_EQ(engineSide->post(engineSide->context, WM_CALL_EVENT_FIRST, 0, 0, nullptr, 0), 1);
    ASSERT_TRUE(processEventsUntil([&] { return window->received == 2; }));
    EXPECT_FALSE(window->hadPayload);

    window.reset();
    EXPECT_EQ(sink.window(), nullptr);
    EXPECT_EQ(engineSide->post(engineSide->context, WM_SIM_READY, 2, 0, record, sizeof record), 0);
    EXPECT_EQ(engineSide->send(engineSide->context, WM_USSD_REPLY, 1, 1, record, sizeof record), 0);
}

TEST(PlatformWindowSink, SendFromEngineThreadReturnsTheWindowsAnswer)
{
    Receiver window;
    WindowSink sink(&window);
    std::atomic<bool> finished{false};
    intptr_t answer = -1;
    std::thread engineThread([&] {
        const char reply[360] = "menu";
        answer = sink.sink()->send(sink.sink()->context, WM_USSD_REPLY, 3, 4, reply, sizeof reply);
        finished = true;
    });
    const bool done = processEventsUntil([&] { return finished.load(); });
    engineThread.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(answer, 7);
    EXPECT_EQ(window.lastBytes.size(), 360u);
    EXPECT_EQ(window.handlerThread, QThread::currentThread());
}
