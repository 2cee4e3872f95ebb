// Every modal dialog and file dialog of the program goes through this seam, so a test can answer
// any of them without a person and without a running event loop. The message boxes have a seam
// of their own (MessageBoxSeam.h) that needs no widget library; it is included here for the
// windows that use both.
#pragma once

#include "platform/MessageBoxSeam.h"

#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace platform {

// A responder sees each dialog before it would run. It returns the result the dialog should end
// with (the dialog is then not shown), or nothing to let the dialog run for real.
using DialogResponder = std::function<std::optional<int>(QDialog &dialog)>;

// Runs dialog.exec(), or asks the installed responder.
int execDialog(QDialog &dialog);

void setDialogResponder(DialogResponder responder);

// Installs a responder for one scope and restores the previous one at the end of it.
class ScopedDialogResponder {
public:
    explicit ScopedDialogResponder(DialogResponder responder);
    ~ScopedDialogResponder();
    ScopedDialogResponder(const ScopedDialogResponder &) = delete;
    ScopedDialogResponder &operator=(const ScopedDialogResponder &) = delete;

private:
    DialogResponder m_previous;
};

// File dialogs. A responder for these returns the chosen path (empty: cancelled) or nothing
// to show the real dialog.
enum class FileDialogKind { Open, Save };
using FileDialogResponder = std::function<std::optional<QString>(
    FileDialogKind kind, const QString &caption, const QString &directory, const QString &filter)>;

QString getOpenFileName(QWidget *owner, const QString &caption, const QString &directory,
                        const QString &filter);
QString getSaveFileName(QWidget *owner, const QString &caption, const QString &directory,
                        const QString &filter);
void setFileDialogResponder(FileDialogResponder responder);

}  // namespace platform
