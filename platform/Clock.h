// Seams for time: the local clock, the tick count and the program's fixed waits. Tests install
// their own so that nothing sleeps and every time-dependent branch can be reached.
#pragma once

#include <QDateTime>

#include <cstdint>
#include <functional>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like the Windows tick count.
    virtual uint32_t tickCount() const;
};

// The clock in use (the system clock unless a test set one).
const Clock &clock();
// Installs a clock; null restores the system clock. The caller keeps ownership.
void setClock(const Clock *clock);

// One of the program's fixed waits (e.g. 2000 ms after a mode change). Runs the installed
// pause handler; by default sleeps the calling thread.
void pause(int milliseconds);
// Installs a pause handler (tests record the waits instead of sleeping); empty restores sleeping.
void setPauseHandler(std::function<void(int milliseconds)> handler);

}  // namespace platform
