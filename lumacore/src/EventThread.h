// The engine's event thread: every callback to the program runs here, in the order the news
// came, never on the port reader, so a callback may call the engine.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace lumacore {

class EventThread {
public:
    EventThread();
    EventThread(const EventThread &) = delete;
    EventThread &operator=(const EventThread &) = delete;
    ~EventThread();  // runs what is queued, then stops

    void post(std::function<void()> work);
    bool isCurrent() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace lumacore
