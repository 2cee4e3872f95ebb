// Every window of the program, created once at start-up in a fixed order and kept for the whole
// run. The main window is created first and becomes the application's main window; windows made
// on demand (the PIN dialogs, the notice pop-ups, the message boxes of the program's messages)
// are not kept here.
#pragma once

#include <memory>
#include <vector>

class QWidget;

class TMainform;
class TAboutBox;
class TSetMenuForm;
class TSet_msgform;
class TSet_netpopform;
class TSet_netpopeditform;
class TSet_netform;
class TManual_Set;
class TSet_securityform;
class TSet_soundform;
class TFrmCopyTips;
class TFmEditPB;
class TFrmContacts;
class TFrmSel;
class TFrmSmsMain;
class TFrmSmsList;
class TFrmSmsEdit;
class TFrmSmsRead;
class TgetInput;
class TSatMenuDisplayForm;
class TData_connectform;
class TCrForm;
class TSet_netsub;
class TSet_SS;
class TCallHangupMsgDfm;
class TCall_managerform;
class TAffixationfrm;
class Tussdfrm;
class TDataLogForm;
class TFrmViewPB;
namespace boxes {
class TMessageBoxForm;
class TProgressBoxForm;
}  // namespace boxes

struct TAppWindows {
    TAppWindows();
    ~TAppWindows();
    TAppWindows(const TAppWindows &) = delete;
    TAppWindows &operator=(const TAppWindows &) = delete;

    // In the order of creation.
    std::unique_ptr<TMainform> Mainform;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<TSetMenuForm> SetMenuForm;
    std::unique_ptr<boxes::TMessageBoxForm> MessageBoxForm;
    std::unique_ptr<TSet_msgform> Set_msgform;
    std::unique_ptr<TSet_netpopform> Set_netpopform;
    std::unique_ptr<TSet_netpopeditform> Set_netpopeditform;
    std::unique_ptr<TSet_netform> Set_netform;
    std::unique_ptr<TManual_Set> Manual_Set;
    std::unique_ptr<TSet_securityform> Set_securityform;
    std::unique_ptr<TSet_soundform> Set_soundform;
    std::unique_ptr<TFrmCopyTips> FrmCopyTips;
    std::unique_ptr<TFmEditPB> FmEditPB;
    std::unique_ptr<TFrmContacts> FrmContacts;
    std::unique_ptr<TFrmSel> FrmSel;
    std::unique_ptr<TFrmSmsMain> FrmSmsMain;
    std::unique_ptr<TFrmSmsList> FrmSmsList;
    std::unique_ptr<TFrmSmsEdit> FrmSmsEdit;
    std::unique_ptr<TFrmSmsRead> FrmSmsRead;
    std::unique_ptr<TgetInput> getInput;
    std::unique_ptr<TSatMenuDisplayForm> SatMenuDisplayForm;
    std::unique_ptr<TData_connectform> Data_connectform;
    std::unique_ptr<TCrForm> CrForm;
    std::unique_ptr<TSet_netsub> Set_netsub;
    std::unique_ptr<TSet_SS> Set_SS;
    std::unique_ptr<TCallHangupMsgDfm> CallHangupMsgDfm;
    std::unique_ptr<TCall_managerform> Call_managerform;
    std::unique_ptr<TAffixationfrm> Affixationfrm;
    std::unique_ptr<Tussdfrm> ussdfrm;
    std::unique_ptr<TDataLogForm> DataLogForm;
    std::unique_ptr<TFrmViewPB> FrmViewPB;
    std::unique_ptr<boxes::TProgressBoxForm> ProgressBoxForm;
};

// The program's windows; every pointer is null before CreateAppWindows and after
// DestroyAppWindows (and each one while it is being created).
TAppWindows &AppWindows();

// Creates every window in order; the main window first. A window whose creation throws leaves
// the ones made before it in place (DestroyAppWindows frees them).
void CreateAppWindows();
// Frees every window in the reverse order of creation, so the feature windows (some shown as
// children of the main window's panel) go before the main window, whose destruction runs its
// FormDestroy.
void DestroyAppWindows();

// The windows that exist, in the order of creation.
std::vector<QWidget *> AppWindowsInOrder();
