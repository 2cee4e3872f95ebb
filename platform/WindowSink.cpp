#include "platform/WindowSink.h"

#include "platform/WindowMessages.h"

namespace platform {

namespace {

std::unique_ptr<MessagePayload> copyPayload(const void *data, size_t size)
{
    if (data == nullptr)
        return {};
    return std::make_unique<ByteBlock>(data, size);
}

int postToWindow(void *context, uint32_t message, uint32_t wParam, uint32_t lParam,
                 const void *data, size_t size)
{
    auto *sink = static_cast<WindowSink *>(context);
    QObject *window = sink != nullptr ? sink->window() : nullptr;
    if (window == nullptr)
        return 0;
    return PostMessage(window, message, wParam, lParam, copyPayload(data, size)) ? 1 : 0;
}

intptr_t sendToWindow(void *context, uint32_t message, uint32_t wParam, uint32_t lParam,
                      const void *data, size_t size)
{
    auto *sink = static_cast<WindowSink *>(context);
    QObject *window = sink != nullptr ? sink->window() : nullptr;
    if (window == nullptr)
        return 0;
    return SendMessage(window, message, wParam, lParam, copyPayload(data, size));
}

}  // namespace

WindowSink::WindowSink(QObject *window) : m_window(window)
{
    m_sink.context = this;
    m_sink.post = &postToWindow;
    m_sink.send = &sendToWindow;
}

QObject *WindowSink::window() const { return m_window.data(); }

}  // namespace platform
