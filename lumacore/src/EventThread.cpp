#include "EventThread.h"

namespace lumacore {

EventThread::EventThread() : m_queue(std::make_shared<Queue>())
{
    m_thread = std::thread([queue = m_queue] { run(queue); });
    m_threadId = m_thread.get_id();
}

EventThread::~EventThread() { stop(); }

void EventThread::post(std::function<void()> work)
{
    {
        std::lock_guard lock(m_queue->mutex);
        if (m_queue->stopping)
            return;
        m_queue->work.push_back(std::move(work));
    }
    m_queue->wake.notify_one();
}

void EventThread::stop()
{
    {
        std::lock_guard lock(m_queue->mutex);
        m_queue->stopping = true;
    }
    m_queue->wake.notify_all();
    if (!m_thread.joinable())
        return;
    if (isCurrent())
        m_thread.detach();  // it ends after the callback that stopped it; it keeps its queue
    else
        m_thread.join();
}

void EventThread::run(const std::shared_ptr<Queue> &queue)
{
    std::unique_lock lock(queue->mutex);
    while (true) {
        queue->wake.wait(lock, [&] { return queue->stopping || !queue->work.empty(); });
        if (queue->work.empty())
            return;
        auto work = std::move(queue->work.front());
        queue->work.pop_front();
        lock.unlock();
        work();
        lock.lock();
    }
}

}  // namespace lumacore
