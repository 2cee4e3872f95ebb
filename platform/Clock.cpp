#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace platform {

namespace {

const Clock g_systemClock;
std::atomic<const Clock *> g_clock{nullptr};

std::mutex g_pauseLock;
std::function<void(int)> g_pauseHandler;

}  // namespace

QDateTime Clock::localNow() const { return QDateTime::currentDateTime(); }

uint32_t Clock::tickCount() const
{
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    // Truncation to 32 bits is the wrap-around callers expect.
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

const Clock &clock()
{
    const Clock *installed = g_clock.load(std::memory_order_acquire);
    return installed != nullptr ? *installed : g_systemClock;
}

void setClock(const Clock *clock) { g_clock.store(clock, std::memory_order_release); }

void pause(int milliseconds)
{
    std::function<void(int)> handler;
    {
        std::lock_guard lock(g_pauseLock);
        handler = g_pauseHandler;
    }
    if (handler) {
        handler(milliseconds);
        return;
    }
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void setPauseHandler(std::function<void(int milliseconds)> handler)
{
    std::lock_guard lock(g_pauseLock);
    g_pauseHandler = std::move(handler);
}

}  // namespace platform
