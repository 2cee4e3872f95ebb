// The main window's pages: the content panel (Mainpanel) with one feature window at a time, the
// page title, and the navigation row that chooses the page and shows which one is current.
#include "UI_MainFrm.h"

#include "UI_Affixation.h"
#include "UI_CallManager.h"
#include "UI_CallRecords.h"
#include "UI_Contacts.h"
#include "UI_DataConnectForm.h"
#include "UI_SetMenuForm.h"
#include "UI_SetNetSub.h"
#include "UI_SmsMain.h"
#include "WindowTable.h"

#include "platform/ResStringManager.h"

namespace {

using platform::GetLanguageString;

// The settings menu is the left-hand column of the settings area; its pages sit beside it.
constexpr int kSettingsColumnWidth = 150;

}  // namespace

void TMainform::SetPageTitle(const QString &text)
{
    m_pageCaption = text;
    Label_Caption->setText(text);
}

void TMainform::hidePages()
{
    for (QObject *child : Mainpanel->children())
        if (auto *page = qobject_cast<QWidget *>(child))
            page->hide();
}

void TMainform::showPage(QWidget *page, QPoint position)
{
    if (!page)
        return;
    Mainpanel->show();
    Label_Welcom->hide();
    hidePages();
    if (page->parentWidget() != Mainpanel)
        page->setParent(Mainpanel, Qt::Widget);
    page->setGeometry(QRect(position, Mainpanel->size() - QSize(position.x(), position.y())));
    // Hidden and shown again: brought to the front.
    page->hide();
    page->show();
    page->raise();
    SetPageTitle(page->windowTitle());
    // A page beside the settings column is a settings page: the column stays with it.
    if (position.x() == kSettingsColumnWidth && page != m_windows.find<TSetMenuForm>())
        showSettingsColumn();
    if (auto *shown = dynamic_cast<feature::FeatureWindow *>(page))
        shown->shownInPanel();
}

void TMainform::showSettingsColumn()
{
    TSetMenuForm *menu = m_windows.find<TSetMenuForm>();
    if (!menu)
        return;
    if (menu->parentWidget() != Mainpanel)
        menu->setParent(Mainpanel, Qt::Widget);
    menu->setGeometry(0, 0, kSettingsColumnWidth, Mainpanel->height());
    menu->show();
    menu->raise();
}

std::vector<skin::TImButton *> TMainform::navigationButtons() const
{
    return {FirstpageButton, InternetButton, CallButton,    MsgButton,
            PonebookButton,  ConfigButton,   CallhisButton, StkButton};
}

void TMainform::markCurrentPage(skin::TImButton *current)
{
    for (skin::TImButton *button : navigationButtons())
        button->setChecked(button == current);
}

void TMainform::FirstpageButtonClick()
{
    markCurrentPage(FirstpageButton);
    Mainpanel->hide();
    Label_Welcom->show();
    SetPageTitle(GetLanguageString(1001));
}

void TMainform::InternetButtonClick()
{
    markCurrentPage(InternetButton);
    showPage(m_windows.find<TData_connectform>());
}

void TMainform::MsgButtonClick()
{
    markCurrentPage(MsgButton);
    TFrmSmsMain *sms = m_windows.find<TFrmSmsMain>();
    showPage(sms);
    // A full storage is told when the SMS button is pressed, not each time the screen returns.
    if (sms)
        sms->CheckFull();
}

void TMainform::PonebookButtonClick()
{
    markCurrentPage(PonebookButton);
    showPage(m_windows.find<TFrmContacts>());
}

void TMainform::CallButtonClick()
{
    markCurrentPage(CallButton);
    showPage(m_windows.find<TCall_managerform>());
}

void TMainform::CallhisButtonClick()
{
    markCurrentPage(CallhisButton);
    showPage(m_windows.find<TCrForm>());
}

void TMainform::ConfigButtonClick()
{
    TSet_netsub *profiles = m_windows.find<TSet_netsub>();
    if (!m_windows.find<TSetMenuForm>() || !profiles)
        return;
    markCurrentPage(ConfigButton);
    // The settings column and the profile page beside it, together.
    showPage(profiles, QPoint(kSettingsColumnWidth, 0));
}

void TMainform::StkButtonClick()
{
    markCurrentPage(StkButton);
    showPage(m_windows.find<TAffixationfrm>());
}
