#include "AppWindows.h"

#include "FeatureWindowList.h"
#include "UI_MainFrm.h"

namespace {

ProgramWindows g_windows;

}  // namespace

ProgramWindows::ProgramWindows() = default;
ProgramWindows::~ProgramWindows() = default;

ProgramWindows &AppWindows() { return g_windows; }

void CreateAppWindows()
{
    g_windows.Mainform = std::make_unique<TMainform>(g_windows.windows);
    g_windows.windows.create(FeatureWindowList(), *g_windows.Mainform);
}

void DestroyAppWindows()
{
    // The dialogs owned by the main window and the pages shown inside it go before it.
    g_windows.windows.destroy();
    g_windows.Mainform.reset();
}

std::vector<QWidget *> AppWindowsInOrder()
{
    std::vector<QWidget *> windows;
    if (g_windows.Mainform)
        windows.push_back(g_windows.Mainform.get());
    for (QWidget *window : g_windows.windows.widgets())
        windows.push_back(window);
    return windows;
}
