// The list of the program's windows: every window's one registration. A window is made from its
// line, in this order; its line says where it stands in the order the card state is told, which
// message numbers it takes (declared next to it, in its folder), which roles it plays for windows
// of other folders (FeatureRoles.h), and which navigation button or settings entry shows it. The
// main window builds its navigation from these lines and names no window; a window reaches its
// peers through the host, by class in its own folder and by role across folders. Every window is
// told the card, call, connection and USSD states.
#include "FeatureWindowList.h"

#include "UI_AboutBox.h"

#include "FeatureRoles.h"
#include "UI_MessageBox.h"
#include "UI_ProgressBox.h"

#include "UI_SetMenuForm.h"
#include "UI_SetSecurityFrm.h"

#include "UI_DataConnectForm.h"
#include "UI_DataLogForm.h"
#include "UI_ManualSet.h"
#include "UI_SetNetForm.h"
#include "UI_SetNetPopEditForm.h"
#include "UI_SetNetPopForm.h"
#include "UI_SetNetSub.h"
#include "UI_SetSS.h"
#include "UI_SetSoundForm.h"
#include "ConnectionMessages.h"

#include "UI_Affixation.h"
#include "UI_GetInput.h"
#include "UI_SatMenuDisplay.h"
#include "UI_SetMsgForm.h"
#include "UI_SmsEdit.h"
#include "UI_SmsList.h"
#include "UI_SmsMain.h"
#include "UI_SmsRead.h"
#include "UI_Ussd.h"
#include "SmsMessages.h"

#include "UI_Contacts.h"
#include "UI_CopyTips.h"
#include "UI_EditPB.h"
#include "UI_SelContacts.h"
#include "UI_ViewPB.h"

#include "UI_CallHangupMsg.h"
#include "UI_CallManager.h"
#include "UI_CallRecords.h"

#include "platform/WindowMessages.h"

#include "lumacore.h"

namespace {

using feature::NavigationButton;
using feature::ownedWindow;
using feature::plays;
using feature::SettingsEntry;
using feature::shownBy;
using feature::takes;
using feature::told;
using feature::window;
using namespace platform;

// The About box made at start-up is never shown, and asks the card nothing.
feature::Registration aboutBox()
{
    return {[](feature::FeatureHost &host) -> std::unique_ptr<QWidget> {
                return std::make_unique<TAboutBox>(host.dialogOwner(),
                                                   AboutBoxContext{.askCard = false});
            },
            {}};
}

}  // namespace

// cardStateOrder: the order in which the windows are told each card state (settings menu,
// security, SMS settings, network settings, SMS, contacts, calls, Internet, SIM toolkit,
// supplementary services, USSD); the others are told after them.
const std::vector<feature::Registration> &FeatureWindowList()
{
    static const std::vector<feature::Registration> list = {
        aboutBox(),
        window<TSetMenuForm>(told(1).isSettingsColumn().plays<feature::FactorySettings>()),
        ownedWindow<boxes::TMessageBoxForm>(),
        window<TSet_msgform>(told(3).shownBy(SettingsEntry::Sms)),
        window<TSet_netpopform>(),
        window<TSet_netpopeditform>(),
        window<TSet_netform>(told(4).shownBy(SettingsEntry::Network)),
        window<TManual_Set>(),
        window<TSet_securityform>(told(2).shownBy(SettingsEntry::Security)),
        window<TSet_soundform>(shownBy(SettingsEntry::Sound)),
        window<TFrmCopyTips>(),
        window<TFmEditPB>(),
        window<TFrmContacts>(told(6)
                                 .toldAgainWhenCardSettingsReady()
                                 .shownBy(NavigationButton::Contacts)
                                 .plays<feature::ContactMaker>()
                                 .plays<feature::ContactNames>()),
        window<TFrmSel>(plays<feature::ContactPicker>()),
        window<TFrmSmsMain>(told(5)
                                .toldAgainWhenCardSettingsReady()
                                .takes(WM_SMS_NEW)
                                .takes(WM_SMS_REPORT)
                                .takes(WM_SMS_COUNTS)
                                .takes(WM_SHOW_SMS_MAIN)
                                .shownBy(NavigationButton::Messages)),
        // The SMS screens are told right after the SMS main window.
        window<TFrmSmsList>(told(5)
                                .takes(WM_OPEN_SMS_FOLDER)
                                .takes(WM_SMS_LIST_CHANGED)
                                .plays<feature::SmsFolderView>()),
        window<TFrmSmsEdit>(told(5).takes(WM_OPEN_COMPOSER).plays<feature::SmsWriter>()),
        window<TFrmSmsRead>(told(5).takes(WM_READ_SMS)),
        window<TgetInput>(),
        window<TSatMenuDisplayForm>(told(9).takes(WM_STK_FIRST, MEC_MSG_STK_OTHER - 1)),
        window<TData_connectform>(told(8)
                                      .takes(WM_SHOW_INTERNET_PAGE)
                                      .shownBy(NavigationButton::Internet)
                                      .plays<feature::InternetConnection>()),
        window<TCrForm>(
            shownBy(NavigationButton::CallRecords).plays<feature::CallRecordsView>()),
        window<TSet_netsub>(shownBy(NavigationButton::Settings).shownBy(SettingsEntry::Profiles)),
        window<TSet_SS>(told(10).shownBy(SettingsEntry::CallServices)),
        window<TCallHangupMsgDfm>(),
        window<TCall_managerform>(told(7)
                                      .takes(WM_INCOMING_CALL)
                                      .takes(WM_CALL_EVENT_FIRST, WM_CALL_EVENT_LAST)
                                      .shownBy(NavigationButton::Calls)
                                      .plays<pin::EmergencyCalls>()),
        window<TAffixationfrm>(shownBy(NavigationButton::Toolkit)),
        window<Tussdfrm>(told(11).takes(WM_USSD_STATE).takes(WM_USSD_REPLY)),
        window<TDataLogForm>(takes(WM_OPEN_CONNECTION_LOG)),
        window<TFrmViewPB>(),
        ownedWindow<boxes::TProgressBoxForm>(),
    };
    return list;
}
