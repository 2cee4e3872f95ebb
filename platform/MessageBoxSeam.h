// The program's own message boxes, as logic code sees them: a text, an icon, one or two buttons.
// The window layer installs the box that draws them (TMessageBoxForm); logic code below it calls
// these and never links a widget library. A test installs a handler that answers instead.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform {

// iconType: 1 information, 2 warning, 3, 4 and 16 question; other values no icon.
using MessageBoxHandler =
    std::function<int(QWidget *owner, const QString &text, int iconType, bool twoButtons)>;
void setMessageBoxHandler(MessageBoxHandler handler);

// One-button box, modal. Without a handler the text goes to standard error.
void ShowMessageBox(QWidget *owner, const QString &text, int iconType);
// Two-button box, modal: 1 for the first button, 2 for the second or the close image
// (2 as well when no handler is installed).
int AskMessageBox(QWidget *owner, const QString &text, int iconType);

}  // namespace platform
