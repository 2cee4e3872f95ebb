// The window sink handed to the engine in place of a window handle: the engine posts and sends
// its own messages (SIM store ready, call events, USSD reply, toolkit) through it, and they
// arrive at the window as WindowMessageEvents.
#pragma once

#include "lumacore.h"

#include <QObject>
#include <QPointer>

namespace platform {

// A sink that delivers to the given window. The sink refers to the window, it does not own it;
// it must outlive its registration with the engine. Once the window is destroyed, post answers 0
// and send answers 0 without delivering anything.
class WindowSink {
public:
    explicit WindowSink(QObject *window);
    WindowSink(const WindowSink &) = delete;
    WindowSink &operator=(const WindowSink &) = delete;

    QObject *window() const;
    LumacoreWindowSink *sink() { return &m_sink; }

private:
    QPointer<QObject> m_window;
    LumacoreWindowSink m_sink{};
};

}  // namespace platform
