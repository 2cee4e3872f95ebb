#include "EventThread.h"

namespace lumacore {

EventThread::EventThread() : m_thread([this] { run(); }) {}

EventThread::~EventThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    // The engine never destroys this from one of its own callbacks (it refuses to shut down there).
    if (m_thread.joinable() && !isCurrent())
        m_thread.join();
}

void EventThread::post(std::function<void()> work)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_queue.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void EventThread::run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        auto work = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        work();
        lock.lock();
    }
}

}  // namespace lumacore
