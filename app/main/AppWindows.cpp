#include "AppWindows.h"

#include "UI_AboutBox.h"
#include "UI_MainFrm.h"
#include "pages/FeatureWindows.h"

#include "UI_MessageBox.h"
#include "UI_ProgressBox.h"

#include <functional>
#include <tuple>

namespace {

TAppWindows g_windows;

// Every member, in the order of creation.
auto members(TAppWindows &w)
{
    return std::tie(w.Mainform, w.AboutBox, w.SetMenuForm, w.MessageBoxForm, w.Set_msgform,
                    w.Set_netpopform, w.Set_netpopeditform, w.Set_netform, w.Manual_Set,
                    w.Set_securityform, w.Set_soundform, w.FrmCopyTips, w.FmEditPB, w.FrmContacts,
                    w.FrmSel, w.FrmSmsMain, w.FrmSmsList, w.FrmSmsEdit, w.FrmSmsRead, w.getInput,
                    w.SatMenuDisplayForm, w.Data_connectform, w.CrForm, w.Set_netsub, w.Set_SS,
                    w.CallHangupMsgDfm, w.Call_managerform, w.Affixationfrm, w.ussdfrm,
                    w.DataLogForm, w.FrmViewPB, w.ProgressBoxForm);
}

template <typename Window, typename... Args>
void create(std::unique_ptr<Window> &slot, Args &&...args)
{
    slot = std::make_unique<Window>(std::forward<Args>(args)...);
}

}  // namespace

TAppWindows::TAppWindows() = default;
TAppWindows::~TAppWindows() = default;

TAppWindows &AppWindows() { return g_windows; }

void CreateAppWindows()
{
    TAppWindows &w = g_windows;
    create(w.Mainform);
    QWidget *owner = w.Mainform.get();
    // Each About opens a box of its own; this one is never shown and asks the card nothing.
    create(w.AboutBox, owner, AboutBoxContext{.askCard = false});
    create(w.SetMenuForm);
    create(w.MessageBoxForm, owner);
    create(w.Set_msgform);
    create(w.Set_netpopform);
    create(w.Set_netpopeditform);
    create(w.Set_netform);
    create(w.Manual_Set);
    create(w.Set_securityform);
    create(w.Set_soundform);
    create(w.FrmCopyTips);
    create(w.FmEditPB);
    create(w.FrmContacts);
    create(w.FrmSel);
    create(w.FrmSmsMain);
    create(w.FrmSmsList);
    create(w.FrmSmsEdit);
    create(w.FrmSmsRead);
    create(w.getInput);
    create(w.SatMenuDisplayForm);
    create(w.Data_connectform);
    create(w.CrForm);
    create(w.Set_netsub);
    create(w.Set_SS);
    create(w.CallHangupMsgDfm);
    create(w.Call_managerform);
    create(w.Affixationfrm);
    create(w.ussdfrm);
    create(w.DataLogForm);
    create(w.FrmViewPB);
    create(w.ProgressBoxForm, owner);
}

void DestroyAppWindows()
{
    // Right to left: the dialogs owned by the main window and the pages shown inside it go
    // before it.
    std::vector<std::function<void()>> resets;
    std::apply([&resets](auto &...slot) { (..., resets.push_back([&slot] { slot.reset(); })); },
               members(g_windows));
    for (auto reset = resets.rbegin(); reset != resets.rend(); ++reset)
        (*reset)();
}

std::vector<QWidget *> AppWindowsInOrder()
{
    std::vector<QWidget *> windows;
    std::apply(
        [&windows](auto &...slot) { (..., (slot ? windows.push_back(slot.get()) : void())); },
        members(g_windows));
    return windows;
}
