// Every window of the program, created once at start-up in a fixed order and kept for the whole
// run. The main window is created first and becomes the application's main window; the others
// follow in the order of FeatureWindowList(). Windows made on demand (the PIN dialogs, the
// notice pop-ups, the message boxes of the program's messages) are not kept here.
#pragma once

#include "WindowTable.h"

#include <memory>
#include <vector>

class QWidget;
class TMainform;

struct ProgramWindows {
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    std::unique_ptr<TMainform> Mainform;
    // Every other window, in the order of creation, and the routing table that tells them.
    feature::WindowTable windows;
};

// The program's windows; the main window is null and the table empty before CreateAppWindows
// and after DestroyAppWindows.
ProgramWindows &AppWindows();

// The program's window of that class, or null.
template <typename Window>
Window *AppWindow()
{
    return AppWindows().windows.find<Window>();
}

// Creates every window in order; the main window first. A window whose creation throws leaves
// the ones made before it in place (DestroyAppWindows frees them).
void CreateAppWindows();
// Frees every window in the reverse order of creation, so the feature windows (some shown as
// children of the main window's panel) go before the main window, whose destruction runs its
// FormDestroy.
void DestroyAppWindows();

// The windows that exist, in the order of creation.
std::vector<QWidget *> AppWindowsInOrder();
