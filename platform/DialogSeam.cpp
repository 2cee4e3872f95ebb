#include "platform/DialogSeam.h"

#include <QDialog>
#include <QFileDialog>

#include <mutex>

namespace platform {

namespace {

// Handlers are copied out under the lock and called outside it, so a handler may install
// another one (or open a nested dialog) without deadlocking.
std::mutex g_lock;
DialogResponder g_dialogResponder;
FileDialogResponder g_fileDialogResponder;

template <typename Handler>
Handler current(const Handler &handler)
{
    std::lock_guard lock(g_lock);
    return handler;
}

template <typename Handler>
Handler exchange(Handler &handler, Handler replacement)
{
    std::lock_guard lock(g_lock);
    std::swap(handler, replacement);
    return replacement;
}

std::optional<QString> askFileResponder(FileDialogKind kind, const QString &caption,
                                        const QString &directory, const QString &filter)
{
    const FileDialogResponder responder = current(g_fileDialogResponder);
    if (!responder)
        return std::nullopt;
    return responder(kind, caption, directory, filter);
}

}  // namespace

int execDialog(QDialog &dialog)
{
    const DialogResponder responder = current(g_dialogResponder);
    if (responder) {
        if (const std::optional<int> answer = responder(dialog)) {
            // Only the result is set: the dialog was never shown, so there is nothing to hide
            // and no finished() to announce.
            dialog.setResult(*answer);
            return *answer;
        }
    }
    return dialog.exec();
}

void setDialogResponder(DialogResponder responder)
{
    exchange(g_dialogResponder, std::move(responder));
}

ScopedDialogResponder::ScopedDialogResponder(DialogResponder responder)
    : m_previous(exchange(g_dialogResponder, std::move(responder)))
{
}

ScopedDialogResponder::~ScopedDialogResponder()
{
    exchange(g_dialogResponder, std::move(m_previous));
}

QString getOpenFileName(QWidget *owner, const QString &caption, const QString &directory,
                        const QString &filter)
{
    if (std::optional<QString> answer =
            askFileResponder(FileDialogKind::Open, caption, directory, filter))
        return *answer;
    return QFileDialog::getOpenFileName(owner, caption, directory, filter);
}

QString getSaveFileName(QWidget *owner, const QString &caption, const QString &directory,
                        const QString &filter)
{
    if (std::optional<QString> answer =
            askFileResponder(FileDialogKind::Save, caption, directory, filter))
        return *answer;
    return QFileDialog::getSaveFileName(owner, caption, directory, filter);
}

void setFileDialogResponder(FileDialogResponder responder)
{
    exchange(g_fileDialogResponder, std::move(responder));
}

}  // namespace platform
