// The USSD screen's wait for a reply: the growing row of stars it shows, and the time-out after
// which it gives up. The time is read from the program's clock, so a late timer (a busy window
// thread) never stretches the wait, and tests move the clock instead of waiting.
#pragma once

#include <QString>

#include <cstdint>

class UssdWaiting {
public:
    static constexpr uint32_t kTimeoutMs = 48000;

    void start();
    void stop();
    bool running() const { return m_running; }

    struct Tick {
        bool timedOut = false;
        QString shown;  // what the information field shows meanwhile
    };
    // One tick of the 400 ms timer, with the status text of the state.
    Tick tick(const QString &status);

private:
    bool m_running = false;
    uint32_t m_startedAt = 0;
    unsigned m_ticks = 0;
    QString m_stars;
};
