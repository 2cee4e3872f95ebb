#include "FeatureWindows.h"

#include "platform/ResStringManager.h"

namespace {

using platform::GetLanguageString;
constexpr auto Page = FeatureWindowKind::Page;
constexpr auto Dialog = FeatureWindowKind::Dialog;

}  // namespace

TSetMenuForm::TSetMenuForm()
    : TFeaturePage(QStringLiteral("TSetMenuForm"), GetLanguageString(1007),
                   QStringLiteral("Choose a settings page: connection profiles, security, network, "
                                  "SMS and sound, or restore the factory settings."),
                   Page)
{
}

TSet_msgform::TSet_msgform()
    : TFeaturePage(
          QStringLiteral("TSet_msgform"), GetLanguageString(3021),
          QStringLiteral("Service centre number, validity period, delivery reports and the "
                         "storage for incoming messages."),
          Page)
{
}

TSet_netpopform::TSet_netpopform()
    : TFeaturePage(QStringLiteral("TSet_netpopform"), GetLanguageString(3054),
                   QStringLiteral("Adds a connection profile."), Dialog)
{
}

TSet_netpopeditform::TSet_netpopeditform()
    : TFeaturePage(QStringLiteral("TSet_netpopeditform"), GetLanguageString(3054),
                   QStringLiteral("Changes a connection profile."), Dialog)
{
}

TSet_netform::TSet_netform()
    : TFeaturePage(QStringLiteral("TSet_netform"), GetLanguageString(3020),
                   QStringLiteral("Network mode and operator selection, automatic or manual."),
                   Page)
{
}

TManual_Set::TManual_Set()
    : TFeaturePage(QStringLiteral("TManual_Set"), GetLanguageString(3004),
                   QStringLiteral("Searches the operators in reach and registers with the one "
                                  "chosen."),
                   Dialog)
{
}

TSet_securityform::TSet_securityform()
    : TFeaturePage(QStringLiteral("TSet_securityform"), GetLanguageString(3019),
                   QStringLiteral("PIN protection, changing the PIN, standby, and backup and "
                                  "restore of contacts, messages and call records."),
                   Page)
{
}

TSet_soundform::TSet_soundform()
    : TFeaturePage(QStringLiteral("TSet_soundform"), GetLanguageString(3022),
                   QStringLiteral("The sound played for new messages, calls and the Internet "
                                  "connection."),
                   Page)
{
}

TFrmCopyTips::TFrmCopyTips()
    : TFeaturePage(QStringLiteral("TFrmCopyTips"), GetLanguageString(1006),
                   QStringLiteral("Shows the progress of copying contacts."), Dialog)
{
}

TFmEditPB::TFmEditPB()
    : TFeaturePage(QStringLiteral("TFmEditPB"), GetLanguageString(4045),
                   QStringLiteral("Creates or changes one contact."), Dialog)
{
}

TFrmContacts::TFrmContacts()
    : TFeaturePage(QStringLiteral("TFrmContacts"), GetLanguageString(1006),
                   QStringLiteral("Contacts and groups on the SIM card and on this computer."),
                   Page)
{
    TimerLoadSIMData.setObjectName(QStringLiteral("TimerLoadSIMData"));
}

TFrmSel::TFrmSel()
    : TFeaturePage(QStringLiteral("TFrmSel"), GetLanguageString(4040),
                   QStringLiteral("Picks the recipients of a message from the contacts."), Dialog)
{
}

TFrmSmsMain::TFrmSmsMain()
    : TFeaturePage(QStringLiteral("TFrmSmsMain"), GetLanguageString(1005),
                   QStringLiteral("Inbox, sent messages and drafts on the SIM card and on this "
                                  "computer."),
                   Page)
{
    tmrSmsInitSet.setObjectName(QStringLiteral("tmrSmsInitSet"));
    tmrLoadMeMsg.setObjectName(QStringLiteral("tmrLoadMeMsg"));
    tmrLoadSimMsg.setObjectName(QStringLiteral("tmrLoadSimMsg"));
}

TFrmSmsList::TFrmSmsList()
    : TFeaturePage(QStringLiteral("TFrmSmsList"), GetLanguageString(1005),
                   QStringLiteral("The messages of one folder."), Page)
{
}

TFrmSmsEdit::TFrmSmsEdit()
    : TFeaturePage(QStringLiteral("TFrmSmsEdit"), GetLanguageString(1005),
                   QStringLiteral("Writes and sends a message."), Page)
{
}

TFrmSmsRead::TFrmSmsRead()
    : TFeaturePage(QStringLiteral("TFrmSmsRead"), GetLanguageString(1005),
                   QStringLiteral("Shows one received message."), Page)
{
}

TgetInput::TgetInput()
    : TFeaturePage(QStringLiteral("TgetInput"), GetLanguageString(1099),
                   QStringLiteral("Asks for the input the SIM card's menu needs."), Dialog)
{
}

TSatMenuDisplayForm::TSatMenuDisplayForm()
    : TFeaturePage(QStringLiteral("TSatMenuDisplayForm"), GetLanguageString(1099),
                   QStringLiteral("The menu of the SIM card's own services."), Page)
{
}

TData_connectform::TData_connectform()
    : TFeaturePage(QStringLiteral("TData_connectform"), GetLanguageString(1003),
                   QStringLiteral("Connects this computer to the Internet through the data card "
                                  "and shows the traffic while connected."),
                   Page)
{
}

TCrForm::TCrForm()
    : TFeaturePage(QStringLiteral("TCrForm"), GetLanguageString(1008),
                   QStringLiteral("Missed, received and dialled calls."), Page)
{
}

TSet_netsub::TSet_netsub()
    : TFeaturePage(QStringLiteral("TSet_netsub"), GetLanguageString(3155),
                   QStringLiteral("The saved connection profiles and the default one used to "
                                  "connect."),
                   Page)
{
}

TSet_SS::TSet_SS()
    : TFeaturePage(QStringLiteral("TSet_SS"), GetLanguageString(3128),
                   QStringLiteral("Call forwarding, call barring, caller ID and call waiting."),
                   Page)
{
}

TCallHangupMsgDfm::TCallHangupMsgDfm()
    : TFeaturePage(QStringLiteral("TCallHangupMsgDfm"), GetLanguageString(5016),
                   QStringLiteral("Offers the choices when a call ends."), Dialog)
{
}

TCall_managerform::TCall_managerform()
    : TFeaturePage(QStringLiteral("TCall_managerform"), GetLanguageString(5016),
                   QStringLiteral("Makes and answers voice calls."), Page)
{
}

TAffixationfrm::TAffixationfrm()
    : TFeaturePage(QStringLiteral("TAffixationfrm"), GetLanguageString(1099),
                   QStringLiteral("The SIM card's own services and USSD requests."), Page)
{
}

Tussdfrm::Tussdfrm()
    : TFeaturePage(QStringLiteral("Tussdfrm"), QStringLiteral("USSD"),
                   QStringLiteral("Sends a service code to the network and shows its reply."), Page)
{
}

TDataLogForm::TDataLogForm()
    : TFeaturePage(QStringLiteral("TDataLogForm"), GetLanguageString(6035),
                   QStringLiteral("The Internet connections made, with their time and traffic."),
                   Dialog)
{
}

TFrmViewPB::TFrmViewPB()
    : TFeaturePage(QStringLiteral("TFrmViewPB"), GetLanguageString(4075),
                   QStringLiteral("Shows one contact."), Dialog)
{
}
