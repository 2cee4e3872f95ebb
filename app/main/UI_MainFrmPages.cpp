// The main window's pages: the content panel (Mainpanel) with one feature window at a time, the
// page title, and the navigation row that chooses the page and shows which one is current. Which
// window each button and each settings entry shows comes from the windows' registrations.
#include "UI_MainFrm.h"

#include "WindowTable.h"

#include "platform/ResStringManager.h"

#include <utility>

namespace {

using feature::NavigationButton;
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
    const bool beside = m_windows.besideSettingsColumn(page);
    if (beside)
        position = QPoint(kSettingsColumnWidth, 0);
    m_pages.shown(page);
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
    // A settings page: the column stays with it.
    if (beside)
        showSettingsColumn();
    if (auto *shown = dynamic_cast<feature::FeatureWindow *>(page))
        shown->shownInPanel();
}

void TMainform::showPreviousPage()
{
    showPage(m_pages.back());
}

void TMainform::showSettingsColumn()
{
    QWidget *menu = m_windows.settingsColumn();
    if (!menu)
        return;
    if (menu->parentWidget() != Mainpanel)
        menu->setParent(Mainpanel, Qt::Widget);
    menu->setGeometry(0, 0, kSettingsColumnWidth, Mainpanel->height());
    menu->show();
    menu->raise();
}

std::vector<std::pair<NavigationButton, skin::TImButton *>> TMainform::navigationButtons() const
{
    return {{NavigationButton::None, FirstpageButton},   {NavigationButton::Internet, InternetButton},
            {NavigationButton::Calls, CallButton},       {NavigationButton::Messages, MsgButton},
            {NavigationButton::Contacts, PonebookButton}, {NavigationButton::Settings, ConfigButton},
            {NavigationButton::CallRecords, CallhisButton}, {NavigationButton::Toolkit, StkButton}};
}

void TMainform::markCurrentPage(NavigationButton current)
{
    for (const auto &[which, button] : navigationButtons())
        button->setChecked(which == current);
}

void TMainform::show(NavigationButton button)
{
    QWidget *page = m_windows.shownBy(button);
    if (!page)
        return;
    markCurrentPage(button);
    showPage(page);
    if (auto *shown = dynamic_cast<feature::FeatureWindow *>(page))
        shown->shownByNavigation();
}

void TMainform::show(feature::SettingsEntry entry) { showPage(m_windows.shownBy(entry)); }

void TMainform::FirstpageButtonClick()
{
    markCurrentPage(NavigationButton::None);
    Mainpanel->hide();
    Label_Welcom->show();
    SetPageTitle(GetLanguageString(1001));
    m_pages.clear();
}

void TMainform::InternetButtonClick() { show(NavigationButton::Internet); }
void TMainform::MsgButtonClick() { show(NavigationButton::Messages); }
void TMainform::PonebookButtonClick() { show(NavigationButton::Contacts); }
void TMainform::CallButtonClick() { show(NavigationButton::Calls); }
void TMainform::CallhisButtonClick() { show(NavigationButton::CallRecords); }
void TMainform::ConfigButtonClick() { show(NavigationButton::Settings); }
void TMainform::StkButtonClick() { show(NavigationButton::Toolkit); }
