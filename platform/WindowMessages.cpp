#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace platform {

ByteBlock::ByteBlock(const void *data, size_t size)
{
    if (data != nullptr && size > 0) {
        const auto *first = static_cast<const uint8_t *>(data);
        bytes.assign(first, first + size);
    }
}

WindowMessageEvent::WindowMessageEvent(uint32_t message, uint32_t wParam, uint32_t lParam,
                                       std::unique_ptr<MessagePayload> payload)
    : QEvent(eventType()),
      m_message(message),
      m_wParam(wParam),
      m_lParam(lParam),
      m_payload(std::move(payload))
{
}

WindowMessageEvent::~WindowMessageEvent() = default;

QEvent::Type WindowMessageEvent::eventType()
{
    // Registered once per process; thread-safe through the static initialisation.
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool PostMessage(QObject *window, uint32_t message, uint32_t wParam, uint32_t lParam,
                 std::unique_ptr<MessagePayload> payload)
{
    if (window == nullptr)
        return false;  // the payload dies here with its unique_ptr
    auto event = std::make_unique<WindowMessageEvent>(message, wParam, lParam, std::move(payload));
    // Qt owns a posted event from here on and deletes it, payload and all, even when the
    // receiver is destroyed before the event is delivered.
    QCoreApplication::postEvent(window, event.release());
    return true;
}

intptr_t SendMessage(QObject *window, uint32_t message, uint32_t wParam, uint32_t lParam,
                     std::unique_ptr<MessagePayload> payload)
{
    if (window == nullptr)
        return 0;
    WindowMessageEvent event(message, wParam, lParam, std::move(payload));
    if (window->thread() == QThread::currentThread()) {
        QCoreApplication::sendEvent(window, &event);
        return event.result();
    }
    // The window lives on another thread: run the delivery there and wait for it. Should the
    // window be destroyed before its thread gets to the call, Qt drops the call and wakes us,
    // and the answer stays 0.
    QMetaObject::invokeMethod(
        window, [window, &event] { QCoreApplication::sendEvent(window, &event); },
        Qt::BlockingQueuedConnection);
    return event.result();
}

}  // namespace platform
