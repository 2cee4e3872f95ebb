#include "UssdWaiting.h"

#include "platform/Clock.h"

void UssdWaiting::start()
{
    if (m_running)
        return;
    m_running = true;
    m_startedAt = platform::clock().tickCount();
    m_ticks = 0;
    m_stars.clear();
}

void UssdWaiting::stop()
{
    m_running = false;
    m_ticks = 0;
    m_stars.clear();
}

UssdWaiting::Tick UssdWaiting::tick(const QString &status)
{
    Tick result;
    if (platform::clock().tickCount() - m_startedAt >= kTimeoutMs) {
        stop();
        result.timedOut = true;
        return result;
    }
    m_stars += QLatin1Char('*');
    result.shown = QStringLiteral("    ") + status + m_stars;
    if (m_ticks % 5 == 0)
        m_stars.clear();
    ++m_ticks;
    return result;
}
