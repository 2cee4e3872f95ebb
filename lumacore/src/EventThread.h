// The engine's event thread: every callback to the program runs here, in the order the news
// came, never on the port reader, so a callback may call the engine.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace lumacore {

class EventThread {
public:
    EventThread();
    EventThread(const EventThread &) = delete;
    EventThread &operator=(const EventThread &) = delete;
    ~EventThread();  // stop()

    // Queues work; after stop() nothing more is queued.
    void post(std::function<void()> work);
    // Runs what is queued, then ends the thread. From one of its own callbacks it returns at once
    // and the thread ends after that callback.
    void stop();
    bool isCurrent() const { return std::this_thread::get_id() == m_threadId; }

private:
    // Shared with the thread, so a thread that outlives this object (stopped from inside one of
    // its callbacks) still has its queue.
    struct Queue {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::function<void()>> work;
        bool stopping = false;
    };
    static void run(const std::shared_ptr<Queue> &queue);

    std::shared_ptr<Queue> m_queue;
    std::thread m_thread;
    std::thread::id m_threadId;
};

}  // namespace lumacore
