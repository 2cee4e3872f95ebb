#include "UI_SetMenuForm.h"

#include "FeaturePage.h"
#include "WindowControls.h"

#include "config/BL_File.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kInformation = 1;
constexpr int kQuestion = 3;
constexpr int kAskRestore = 3017;

const feature::WindowSkin kSkin{"SETMENU.BKIMAGE",
                                nullptr,
                                {{"SETMENU.CFGFILEBUTTON", "CfgfileButton"},
                                 {"SETMENU.SAFECFGBUTTON", "SafecfgButton"},
                                 {"SETMENU.NETCFGBUTTON", "NetcfgButton"},
                                 {"SETMENU.MSGCFGBUTTON", "MsgcfgButton"},
                                 {"SETMENU.SOUNDCFGBUTTON", "SoundcfgButton"},
                                 {"SETMENU.SSBUTTON", "SSButton"},
                                 {"SETMENU.RESTORECFGBUTTON", "RestorecfgButton"}}};

feature::SettingsEntry entryOf(TSetMenuForm::Page page)
{
    switch (page) {
    case TSetMenuForm::kProfiles: return feature::SettingsEntry::Profiles;
    case TSetMenuForm::kSecurity: return feature::SettingsEntry::Security;
    case TSetMenuForm::kNetwork: return feature::SettingsEntry::Network;
    case TSetMenuForm::kSms: return feature::SettingsEntry::Sms;
    case TSetMenuForm::kSound: return feature::SettingsEntry::Sound;
    case TSetMenuForm::kCallServices: return feature::SettingsEntry::CallServices;
    case TSetMenuForm::kNoPage: break;
    }
    return feature::SettingsEntry::None;
}

}  // namespace

TSetMenuForm::TSetMenuForm(feature::FeatureHost &host, RestoreCalls calls)
    : m_host(host), m_calls(std::move(calls))
{
    setObjectName(QStringLiteral("TSetMenuForm"));
    setWindowTitle(GetLanguageString(1007));
    auto *column = new QVBoxLayout(this);
    // A column 150 wide: its page buttons take all of it but the skin's 8-pixel edges.
    column->setContentsMargins(8, 12, 8, 12);
    column->setSpacing(6);
    CfgfileButton = NamedButton(this, "CfgfileButton", 3155);
    SafecfgButton = NamedButton(this, "SafecfgButton", 3019);
    NetcfgButton = NamedButton(this, "NetcfgButton", 3020);
    MsgcfgButton = NamedButton(this, "MsgcfgButton", 3021);
    SoundcfgButton = NamedButton(this, "SoundcfgButton", 3022);
    SSButton = NamedButton(this, "SSButton", 3128);
    RestorecfgButton = NamedButton(this, "RestorecfgButton", 3023);
    RestorecfgButton->setToolTip(GetLanguageString(3108));
    for (const auto &[button, page] : pageButtons()) {
        column->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, page = page] { showPage(page); });
    }
    column->addStretch(1);
    column->addWidget(RestorecfgButton);
    connect(RestorecfgButton, &QPushButton::clicked, this, &TSetMenuForm::RestorecfgButtonClick);
    feature::WearSkin(*this, kSkin);
}

std::vector<std::pair<QPushButton *, TSetMenuForm::Page>> TSetMenuForm::pageButtons() const
{
    return {{CfgfileButton, kProfiles}, {SafecfgButton, kSecurity}, {NetcfgButton, kNetwork},
            {MsgcfgButton, kSms},       {SoundcfgButton, kSound},   {SSButton, kCallServices}};
}

void TSetMenuForm::showPage(Page page)
{
    m_page = page;
    for (const auto &[button, buttonPage] : pageButtons())
        button->setEnabled(buttonPage != page);
    if (page != kNoPage)
        m_host.show(entryOf(page));
}

void TSetMenuForm::shownInPanel()
{
    // The settings button shows the profiles first.
    if (m_page == kNoPage)
        showPage(kProfiles);
}

void TSetMenuForm::RestorecfgButtonClick()
{
    if (platform::AskMessageBox(m_host.dialogOwner(), GetLanguageString(kAskRestore), kQuestion) != 1)
        return;
    const RestoreOutcome outcome =
        RestoreFactorySettings(m_cardState, FileStore().allConfig(), m_calls);
    platform::ShowMessageBox(m_host.dialogOwner(), outcome.message, kInformation);
    // The page on show, and the pages that show settings, show the restored values.
    if (m_page != kNoPage)
        m_host.show(entryOf(m_page));
}
