// The program's one window of a class, as the phonebook windows find each other: made at
// start-up as a window of its own and made a child of the main window's panel when it is first
// shown there. Null where there is none (a window made alone, in a test).
#pragma once

#include <QApplication>
#include <QWidget>

template <typename Window>
Window *ProgramWindow(const QWidget &near)
{
    if (auto *inside = near.window()->findChild<Window *>())
        return inside;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *alone = qobject_cast<Window *>(top))
            return alone;
    return nullptr;
}
