#include "platform/MessageBoxSeam.h"

#include <cstdio>
#include <mutex>

namespace platform {

namespace {

// The handler is copied out under the lock and called outside it, so a handler may install
// another one (or open a nested box) without deadlocking.
std::mutex g_lock;
MessageBoxHandler g_messageBoxHandler;

MessageBoxHandler currentHandler()
{
    std::lock_guard lock(g_lock);
    return g_messageBoxHandler;
}

}  // namespace

void setMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard lock(g_lock);
    g_messageBoxHandler = std::move(handler);
}

void ShowMessageBox(QWidget *owner, const QString &text, int iconType)
{
    if (const MessageBoxHandler handler = currentHandler()) {
        handler(owner, text, iconType, false);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int AskMessageBox(QWidget *owner, const QString &text, int iconType)
{
    if (const MessageBoxHandler handler = currentHandler())
        return handler(owner, text, iconType, true);
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return 2;  // no one to say yes: take the second (declining) button
}

}  // namespace platform
