#include "SkinKeys.h"

namespace skingen {

namespace {

// Window geometry the pictures are drawn for. Pages fill the main window's content panel;
// settings pages sit beside the settings column.
constexpr int kPageW = 624, kPageH = 340;
constexpr int kSettingsW = 474, kColumnW = 150;
constexpr int kButtonW = 80, kButtonH = 24;
constexpr int kSideButtonW = 134, kSideButtonH = 30;
constexpr int kTabW = 100, kTabH = 28;
constexpr int kHeaderH = 28, kCaptionH = 25;

constexpr SkinFile M = SkinFile::Main;
constexpr SkinFile O = SkinFile::Others;

SkinKey picture(const char *key, SkinFile file, Look look, int width, int height,
                const char *glyph = "")
{
    return SkinKey{key, file, look, width, height, glyph};
}
SkinKey button(const char *key, Look look = Look::Button, int width = kButtonW,
               int height = kButtonH, const char *glyph = "")
{
    return SkinKey{key, O, look, width, height, glyph};
}
SkinKey colour(const char *key, Look look) { return SkinKey{key, O, look, 0, 0, ""}; }

std::vector<SkinKey> buildTable()
{
    using L = Look;
    return {
        // The main window: 640 x 480, title bar 36 high, navigation band 36-104, content
        // panel at (8, 108) 624 x 340, status strip 28 high at the bottom.
        picture("MAIN.YBBACKIMAGE", M, L::MainBackground, 640, 480),
        picture("MAIN.YBBACKIMAGE_TITLE_LEFT", M, L::MainTitleLeft, 12, 36),
        picture("MAIN.YBBACKIMAGE_TITLE", M, L::MainTitle, 616, 36),
        picture("MAIN.YBBACKIMAGE_TITLE_RIGHT", M, L::MainTitleRight, 12, 36),
        picture("MAIN.YBBACKIMAGE_UNDER", M, L::MainStatusStrip, 640, 28),
        picture("MAIN.FIRSTPAGEBUTTON", M, L::NavButton, 64, 60, "home"),
        picture("MAIN.INTERNETBUTTON", M, L::NavButton, 64, 60, "globe"),
        picture("MAIN.MSGBUTTON", M, L::NavButton, 64, 60, "envelope"),
        picture("MAIN.PONEBOOKBUTTON", M, L::NavButton, 64, 60, "contacts"),
        picture("MAIN.CONFIGBUTTON", M, L::NavButton, 64, 60, "gear"),
        picture("MAIN.STKBUTTON", M, L::NavButton, 64, 60, "sim"),
        picture("MAIN.HELPBUTTON", M, L::NavButton, 64, 60, "help"),
        picture("MAIN.CALLBUTTON", M, L::NavButton, 64, 60, "phone"),
        picture("MAIN.CALLHISBUTTON", M, L::NavButton, 64, 60, "history"),
        picture("MAIN.IMIMAGE_TITLE_CLOSE", M, L::TitleIcon, 20, 20, "close"),
        picture("MAIN.IMIMAGE_TITLE_MINIMIZE", M, L::TitleIcon, 20, 20, "minimize"),
        picture("MAIN.IMIMAGE_NEWSMS", M, L::StatusIcon, 20, 18, "envelope"),
        picture("MAIN.IMIMAGE_INCOMINGCALL", M, L::StatusIcon, 20, 18, "phone"),

        // Splash window and About box, 388 x 242.
        picture("ABOUT.YBBACKIMAGE_BACK", O, L::AboutBackground, 388, 242),
        colour("ABOUT.LABEL_PCSOFTWAREVERSIONCAPTION", L::TextLabel),
        colour("ABOUT.LABEL_BOARDSOFTWAREVERSIONCAPTION", L::TextLabel),
        colour("ABOUT.LABEL_RIGHTS", L::MutedLabel),
        colour("ABOUT.YbUrlLabel_HomePage", L::Link),
        colour("START.YbUrlLabel_HomePage", L::Link),

        // Message box and progress box, 238 x 150.
        picture("MESSAGEBOX.BKIMAGE", O, L::DialogBackground, 238, 150),
        picture("MESSAGEBOX.CAPTIONIMAGE", O, L::CaptionStrip, 238, kCaptionH),
        picture("MESSAGEBOX.BGIMAGE", O, L::BodyPanel, 230, 118),
        button("MESSAGEBOX.BTOK", L::PrimaryButton, 72),
        button("MESSAGEBOX.BTCANCEL", L::Button, 72),
        picture("PROGRESSBOX.BKIMAGE", O, L::DialogBackground, 238, 150),
        picture("PROGRESSBOX.CAPTIONIMAGE", O, L::CaptionStrip, 238, kCaptionH),
        picture("PROGRESSBOX.BGIMAGE", O, L::BodyPanel, 230, 118),
        button("PROGRESSBOX.BTCANCEL", L::Button, 72),

        // The wait window of the status library, 238 x 150.
        picture("WAITPANE.WAITFRMBKIMAGE", O, L::DialogBackground, 238, 150),
        picture("WAITPANE.CAPTIONIMAGE", O, L::CaptionStrip, 238, kCaptionH),

        // PIN dialog (300 x 190) and the PIN input dialog of the security page.
        picture("PASSWD.PWDFRMBACK", O, L::DialogBackground, 300, 190),
        picture("PASSWD.TITLEIMAGE", O, L::CaptionStrip, 300, kCaptionH),
        picture("PASSWD.BKIMAGE", O, L::BodyPanel, 292, 158),
        button("PASSWD.BTOK", L::PrimaryButton),
        button("PASSWD.BTCANCEL"),
        picture("PASSWDINPUT.BKIMAGE", O, L::DialogBackground, 300, 190),
        picture("PASSWDINPUT.TITLEIMAGE", O, L::CaptionStrip, 300, kCaptionH),
        button("PASSWDINPUT.BTOK", L::PrimaryButton),
        button("PASSWDINPUT.BTCANCEL"),

        // Credential prompt of the data connection, 300 x 200.
        picture("CHECKPASSWD.IMPANEL_TITLE", O, L::CaptionStrip, 300, kCaptionH),
        picture("CHECKPASSWD.IMPANEL_BACKGROUD", O, L::DialogBackground, 300, 175),
        picture("CHECKPASSWD.IMIMAGE_CLOSE", O, L::TitleIcon, 16, 16, "close"),
        button("CHECKPASSWD.CHECKPWD_OKBUTTON", L::PrimaryButton),
        button("CHECKPASSWD.CHECKPWD_CANCELBUTTON"),

        // Data connection page and its log.
        picture("DATACONNECT.DATAINTERFACEBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("DATACONNECT.TITLEIMAGE", O, L::PageHeader, kPageW, kHeaderH),
        picture("DATACONNECT.DATADIALOGIMAGE", O, L::Illustration, 220, 120),
        button("DATACONNECT.IMBUTTONCONNECT", L::ConnectButton, 128, 36),
        picture("DATACONNECT.DATAANIIMAGELIST", O, L::ConnectAnimation, 120, 16),
        colour("DATACONNECT.DATASTATELABEL", L::AccentLabel),
        colour("DATACONNECT.DataTxRateLabel", L::TxLabel),
        colour("DATACONNECT.DataRxRateLabel", L::RxLabel),
        picture("DATACONNECTLOG.DATAINTERFACEBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("DATACONNECTLOG.TITLEIMAGE", O, L::PageHeader, kPageW, kHeaderH),
        button("DATACONNECTLOG.CLEARALLBUTTON"),
        button("DATACONNECTLOG.DELETEBUTTON"),
        button("DATACONNECTLOG.RETURNBUTTON"),
        colour("DATACONNECTLOG.TOTALDATALABEL", L::TextLabel),
        colour("DATACONNECTLOG.TotleDataValue", L::AccentLabel),
        colour("DATACONNECTLOG.TotalTimeLabel", L::TextLabel),
        colour("DATACONNECTLOG.TotalTime", L::AccentLabel),

        // Call window: keypad of 56 x 34 keys on a 204 x 196 panel, number field 260 x 40.
        picture("CALLMANAGER.CALLINTERFACEBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("CALLMANAGER.TITLEIMAGE", O, L::PageHeader, kPageW, kHeaderH),
        picture("CALLMANAGER.INPUTFIELDIMAGE", O, L::InputField, 260, 40),
        picture("CALLMANAGER.KEYBOARDBKIMAGE", O, L::KeypadPanel, 204, 196),
        button("CALLMANAGER.IMBUTTON1", L::KeypadButton, 56, 34, "1"),
        button("CALLMANAGER.IMBUTTON2", L::KeypadButton, 56, 34, "2 ABC"),
        button("CALLMANAGER.IMBUTTON3", L::KeypadButton, 56, 34, "3 DEF"),
        button("CALLMANAGER.IMBUTTON4", L::KeypadButton, 56, 34, "4 GHI"),
        button("CALLMANAGER.IMBUTTON5", L::KeypadButton, 56, 34, "5 JKL"),
        button("CALLMANAGER.IMBUTTON6", L::KeypadButton, 56, 34, "6 MNO"),
        button("CALLMANAGER.IMBUTTON7", L::KeypadButton, 56, 34, "7 PQRS"),
        button("CALLMANAGER.IMBUTTON8", L::KeypadButton, 56, 34, "8 TUV"),
        button("CALLMANAGER.IMBUTTON9", L::KeypadButton, 56, 34, "9 WXYZ"),
        button("CALLMANAGER.IMBUTTON0", L::KeypadButton, 56, 34, "0 +"),
        button("CALLMANAGER.IMBUTTONSTAR", L::KeypadButton, 56, 34, "*"),
        button("CALLMANAGER.IMBUTTONHASH", L::KeypadButton, 56, 34, "#"),
        button("CALLMANAGER.IMBUTTONDELETE", L::GlyphButton, 56, 34, "backspace"),
        button("CALLMANAGER.IMBUTTONDIAL", L::DialButton, 88, 34, "phone"),
        button("CALLMANAGER.IMBUTTONHANGUP", L::HangupButton, 88, 34, "hangup"),
        // The call window's choice dialog (hold, swap, join, ...), 180 x 250.
        picture("CALLHANGUP.BKIMAGE", O, L::DialogBackground, 180, 250),
        picture("CALLHANGUP.TITLEIMAGE", O, L::CaptionStrip, 180, kCaptionH),
        button("CALLHANGUP.BTCANCEL", L::Button, 140),
        button("CALLHANGUP.MYBUTTON", L::Button, 140),

        // Call records.
        picture("CR.CRBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("CR.TITLEIMAGE", O, L::PageHeader, kPageW, kHeaderH),
        button("CR.CRMISSED", L::TabButton, kTabW, kTabH),
        button("CR.CRRECEIVED", L::TabButton, kTabW, kTabH),
        button("CR.CRDIALLED", L::TabButton, kTabW, kTabH),
        button("CR.CRDIALLING", L::Button),
        button("CR.CRNEWMSG", L::Button),
        button("CR.CRSAVENUMBER", L::Button),
        button("CR.CRDELETE", L::Button),
        button("CR.CRCLEAR", L::Button),

        // Contacts window, editor (460 x 360), selection, viewer (420 x 330), copy notice.
        picture("PBMAIN.CONTACTSBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("PBMAIN.PBMAINTITLE", O, L::PageHeader, kPageW, kHeaderH),
        picture("PBMAIN.LEFTIMAGE", O, L::SidePanel, 150, 312),
        button("PBMAIN.BTNEWCONTACT"),
        button("PBMAIN.BTEDITCONTACT"),
        button("PBMAIN.BTDELETECONTACT"),
        button("PBMAIN.BTVIEWCONTACT"),
        button("PBMAIN.BTSEARCH"),
        button("PBMAIN.BTEXPORTVCARD"),
        button("PBMAIN.BTIMPORTVCARD"),
        button("PBMAIN.BTDIAL"),
        button("PBMAIN.BTNEWMESSAGE"),
        button("PBMAIN.BTSAVECONTACTAS"),
        picture("PBEDIT.PBEDITBKIMAGE", O, L::DialogBackground, 460, 360),
        picture("PBEDIT.IMAGETITLE", O, L::CaptionStrip, 460, kCaptionH),
        picture("PBEDIT.LEFTIMAGE", O, L::SidePanel, 120, 335),
        button("PBEDIT.BTOK", L::PrimaryButton),
        button("PBEDIT.BTCANCEL"),
        button("PBSEL.BTOK", L::PrimaryButton),
        button("PBSEL.BTCANCEL"),
        button("PBSEL.BTLTOR", L::Button, 40),
        button("PBSEL.BTRTOL", L::Button, 40),
        button("PBSEL.BTSENDSMS"),
        picture("PBSEL.BKIMAGE", O, L::DialogBackground, 560, 360),
        picture("PBVIEW.BKIMAGE", O, L::DialogBackground, 420, 330),
        picture("PBVIEW.TITLEIMAGE", O, L::CaptionStrip, 420, kCaptionH),
        picture("PBVIEW.LEFTIMAGE", O, L::SidePanel, 110, 305),
        button("PBVIEW.BTOK", L::PrimaryButton),
        colour("PBVIEW.RBPC", L::ChoiceColor),
        colour("PBVIEW.RBSIM", L::ChoiceColor),
        colour("PBVIEW.EDNAME", L::ViewEdit),
        colour("PBVIEW.EDPHONENUMBER", L::ViewEdit),
        colour("PBVIEW.EDHOMEPHONE", L::ViewEdit),
        colour("PBVIEW.EDPHONEEX1", L::ViewEdit),
        colour("PBVIEW.EDEMAIL", L::ViewEdit),
        colour("PBVIEW.EDGROUP", L::ViewEdit),
        picture("PBCOPYPROGRESS.CAPTIONIMAGE", O, L::CaptionStrip, 300, kCaptionH),
        picture("PBCOPYPROGRESS.COPYPROGBKIMAGE", O, L::DialogBackground, 300, 110),
        button("PBCOPYPROGRESS.BTSTOP", L::Button, 72),

        // SMS screens: folder buttons as tabs, a header strip, the page.
        picture("SMS_MAIN.SMSBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("SMS_MAIN.HeadImage", O, L::PageHeader, kPageW, kHeaderH),
        button("SMS_MAIN.BTNRECEIVEBOX", L::TabButton, kTabW, kTabH),
        button("SMS_MAIN.BTNSENDBOX", L::TabButton, kTabW, kTabH),
        button("SMS_MAIN.BTNDRAFTBOX", L::TabButton, kTabW, kTabH),
        button("SMS_MAIN.BTNWRITESMS", L::PrimaryButton, kTabW, kTabH),
        picture("SMS_LIST.SMSBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("SMS_LIST.HeadImage", O, L::PageHeader, kPageW, kHeaderH),
        button("SMS_LIST.BTNRECEIVEBOX", L::TabButton, kTabW, kTabH),
        button("SMS_LIST.BTNSENDBOX", L::TabButton, kTabW, kTabH),
        button("SMS_LIST.BTNDRAFTBOX", L::TabButton, kTabW, kTabH),
        button("SMS_LIST.BTNWRITESMS", L::PrimaryButton, kTabW, kTabH),
        button("SMS_LIST.BTNEDITSMS"),
        button("SMS_LIST.BTNREPLYSMS"),
        button("SMS_LIST.BTNFORWORDSMS"),
        button("SMS_LIST.BTNDELSMS"),
        button("SMS_LIST.BTNSAVETO"),
        button("SMS_LIST.BTNSAVENUM"),
        button("SMS_LIST.BTNCANCEL"),
        picture("SMS_READ.SMSBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("SMS_READ.HeadImage", O, L::PageHeader, kPageW, kHeaderH),
        button("SMS_READ.BTNRECEIVEBOX", L::TabButton, kTabW, kTabH),
        button("SMS_READ.BTNSENDBOX", L::TabButton, kTabW, kTabH),
        button("SMS_READ.BTNDRAFTBOX", L::TabButton, kTabW, kTabH),
        button("SMS_READ.BTNWRITESMS", L::PrimaryButton, kTabW, kTabH),
        button("SMS_READ.BTNRES"),
        button("SMS_READ.BTNTRANS"),
        button("SMS_READ.BTNSAVETO"),
        button("SMS_READ.BTNSAVENUM"),
        button("SMS_READ.BTNDELSMS"),
        button("SMS_READ.BTNCANCEL"),
        picture("SMS_EDIT.SMSBKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("SMS_EDIT.HeadImage", O, L::PageHeader, kPageW, kHeaderH),
        button("SMS_EDIT.BTNRECEIVEBOX", L::TabButton, kTabW, kTabH),
        button("SMS_EDIT.BTNSENDBOX", L::TabButton, kTabW, kTabH),
        button("SMS_EDIT.BTNDRAFTBOX", L::TabButton, kTabW, kTabH),
        button("SMS_EDIT.BTNWRITESMS", L::PrimaryButton, kTabW, kTabH),
        button("SMS_EDIT.BTNSENT", L::PrimaryButton),
        button("SMS_EDIT.BTNSAVES"),
        button("SMS_EDIT.BTNCANCEL"),
        button("SMS_EDIT.BTNSEARCHNUM", L::Button, 40),
        // The notice pop-up, 179 x 112.
        picture("NEWMSG.IMPANEL_TITLE", O, L::CaptionStrip, 179, 22),
        picture("NEWMSG.IMPANEL_WND", O, L::PopupBody, 179, 90),

        // USSD and the SIM toolkit (pages), the toolkit's input dialog (320 x 200).
        picture("USSD.BKIMAGE", O, L::PageBackground, kPageW, 300),
        picture("USSD.TITLEIMAGE", O, L::PageHeader, kPageW, kHeaderH),
        button("USSD.BTSEND", L::PrimaryButton),
        button("USSD.BTCANCEL"),
        button("USSD.BTBALANCE", L::Button, 140),
        button("USSD.BTKEEPBALANCE", L::Button, 170),
        picture("SETMENUDISPLAY.BKIMAGE", O, L::PageBackground, kPageW, kPageH),
        picture("SETMENUDISPLAY.TITLEIMAGE", O, L::PageHeader, kPageW, kHeaderH),
        button("SETMENUDISPLAY.BTUSSD", L::TabButton, kTabW, kTabH),
        button("SETMENUDISPLAY.BTSTK", L::TabButton, kTabW, kTabH),
        button("SETMENUDISPLAY.BTOK", L::PrimaryButton),
        button("SETMENUDISPLAY.BTBACK"),
        button("SETMENUDISPLAY.BTBACKEND"),
        picture("GETINPUT.BACKIMAGE", O, L::DialogBackground, 320, 200),
        picture("GETINPUT.TITLEIMAGE", O, L::CaptionStrip, 320, kCaptionH),
        picture("GETINPUT.BKIMAGE", O, L::BodyPanel, 312, 168),
        button("GETINPUT.BTOK", L::PrimaryButton),
        button("GETINPUT.BTCANCEL"),

        // Settings: the column of page buttons and the pages beside it (474 x 340).
        picture("SETMENU.BKIMAGE", O, L::SideColumn, kColumnW, kPageH),
        button("SETMENU.CFGFILEBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETMENU.SAFECFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETMENU.NETCFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETMENU.MSGCFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETMENU.SOUNDCFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETMENU.SSBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETMENU.RESTORECFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        picture("SETNETCONFIG.BKIMAGE", O, L::PageBackground, kSettingsW, kPageH),
        picture("SETNETCONFIG.TITLEIMAGE", O, L::PageHeader, kSettingsW, kHeaderH),
        button("SETNETCONFIG.BTADD"),
        button("SETNETCONFIG.BTEDIT"),
        button("SETNETCONFIG.BTDELETE"),
        button("SETNETCONFIG.BTDEFAULT", L::PrimaryButton),
        // Add and edit dialogs of a connection profile, 420 x 380.
        picture("SETNETADD.BKIMAGE", O, L::DialogBackground, 420, 380),
        button("SETNETADD.BTOK", L::PrimaryButton),
        button("SETNETADD.BTCANCEL"),
        picture("SETNETEDIT.BKIMAGE", O, L::DialogBackground, 420, 380),
        button("SETNETEDIT.BTOK", L::PrimaryButton),
        button("SETNETEDIT.BTCANCEL"),
        colour("SETNETEDIT.CHECK_ASK", L::ChoiceColor),
        colour("SETNETEDIT.CHECK_SAVE", L::ChoiceColor),
        colour("SETNETEDIT.RADIO_AUTO_APN", L::ChoiceColor),
        colour("SETNETEDIT.RADIO_MANUL_APN", L::ChoiceColor),
        colour("SETNETEDIT.RADIO_AUTO_DNS", L::ChoiceColor),
        colour("SETNETEDIT.RADIO_MANUAL_DNS", L::ChoiceColor),
        colour("SETNETEDIT.RADIO_AUTO_PDP", L::ChoiceColor),
        colour("SETNETEDIT.RADIO_MANUAL_PDP", L::ChoiceColor),
        colour("SETNETEDIT.RADIO_IP_PDP", L::ChoiceColor),
        colour("SETNETEDIT.RADIO_PPP_PDP", L::ChoiceColor),
        picture("SETSECURITY.BKIMAGE", O, L::PageBackground, kSettingsW, kPageH),
        picture("SETSECURITY.TITLEIMAGE", O, L::PageHeader, kSettingsW, kHeaderH),
        button("SETSECURITY.BTAPPLY", L::PrimaryButton),
        button("SETSECURITY.BTCANCEL"),
        button("SETSECURITY.BTMODPIN", L::Button, 110),
        button("SETSECURITY.BTBACKUP", L::Button, 110),
        button("SETSECURITY.BTRESTORE", L::Button, 110),
        picture("SETNET.BKIMAGE", O, L::PageBackground, kSettingsW, kPageH),
        picture("SETNET.TITLEIMAGE", O, L::PageHeader, kSettingsW, kHeaderH),
        button("SETNET.BTAPPLY", L::PrimaryButton),
        button("SETNET.BTCANCEL"),
        button("SETNET.BTMANUALSELECT", L::Button, 110),
        // Manual operator selection, 460 x 340.
        picture("SETNETSELECT.CAPTIONIMAGE", O, L::CaptionStrip, 460, kCaptionH),
        picture("SETNETSELECT.TITLEIMAGE", O, L::PageHeader, 460, kHeaderH),
        picture("SETNETSELECT.UNDERIMAGE", O, L::FooterStrip, 460, 44),
        button("SETNETSELECT.BTAPPLY", L::PrimaryButton),
        button("SETNETSELECT.BTCANCEL"),
        button("SETNETSELECT.BTREFRESH"),
        picture("SETMSG.BKIMAGE", O, L::PageBackground, kSettingsW, kPageH),
        picture("SETMSG.TITLEIMAGE", O, L::PageHeader, kSettingsW, kHeaderH),
        button("SETMSG.BTAPPLY", L::PrimaryButton),
        button("SETMSG.BTCANCEL"),
        picture("SETSOUND.BKIMAGE", O, L::PageBackground, kSettingsW, kPageH),
        picture("SETSOUND.TITLEIMAGE", O, L::PageHeader, kSettingsW, kHeaderH),
        button("SETSOUND.BTAPPLY", L::PrimaryButton),
        button("SETSOUND.BTCANCEL"),
        button("SETSOUND.BTBROWER", L::GlyphButton, 28, 22, "browse"),
        // Supplementary services: a page of its own with its own column of page buttons.
        picture("SETSUPPLY.BKIMAGE", O, L::SideColumn, kColumnW, kPageH),
        picture("SETSUPPLY.IMAGEFORM", O, L::PageBackground, kSettingsW, kPageH),
        picture("SETSUPPLY.TITLEIMAGE", O, L::PageHeader, kSettingsW, kHeaderH),
        button("SETSUPPLY.APPLYBUTTONCF", L::PrimaryButton),
        button("SETSUPPLY.APPLYBUTTONCB", L::PrimaryButton),
        button("SETSUPPLY.APPLYBUTTONCLIP", L::PrimaryButton),
        button("SETSUPPLY.BTCANCEL"),
        button("SETSUPPLY.CFGFILEBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETSUPPLY.SAFECFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETSUPPLY.NETCFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETSUPPLY.MSGCFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETSUPPLY.SOUNDCFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETSUPPLY.SSBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
        button("SETSUPPLY.RESTORECFGBUTTON", L::SideButton, kSideButtonW, kSideButtonH),
    };
}

}  // namespace

const std::vector<SkinKey> &skinKeys()
{
    static const std::vector<SkinKey> table = buildTable();
    return table;
}

KeyKind kindOf(Look look)
{
    switch (look) {
    case Look::TitleIcon:
    case Look::StatusIcon: return KeyKind::ImageControl;
    case Look::Button:
    case Look::PrimaryButton:
    case Look::SideButton:
    case Look::TabButton:
    case Look::NavButton:
    case Look::KeypadButton:
    case Look::DialButton:
    case Look::HangupButton:
    case Look::GlyphButton:
    case Look::ConnectButton: return KeyKind::Button;
    case Look::ConnectAnimation: return KeyKind::ImageList;
    case Look::TextLabel:
    case Look::AccentLabel:
    case Look::TxLabel:
    case Look::RxLabel:
    case Look::MutedLabel:
    case Look::ChoiceColor:
    case Look::ViewEdit:
    case Look::Link: return KeyKind::Colour;
    default: return KeyKind::Picture;
    }
}

}  // namespace skingen
