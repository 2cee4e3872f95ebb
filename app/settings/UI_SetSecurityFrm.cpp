#include "UI_SetSecurityFrm.h"

#include "FeaturePage.h"
#include "UI_PasswordDlg.h"
#include "WindowControls.h"

#include "config/BL_File.h"
#include "platform/DialogSeam.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QStandardPaths>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kAskPuk = 3097;
constexpr int kBackUpCaption = 3085;
constexpr int kRestoreCaption = 3084;

const feature::WindowSkin kSkin{"SETSECURITY.BKIMAGE",
                                "SETSECURITY.TITLEIMAGE",
                                {{"SETSECURITY.BTAPPLY", "ApplyButton"},
                                 {"SETSECURITY.BTCANCEL", "CancelButton"},
                                 {"SETSECURITY.BTMODPIN", "ImButton_ModPIN"},
                                 {"SETSECURITY.BTBACKUP", "ImButton_BK"},
                                 {"SETSECURITY.BTRESTORE", "ImButton_Restore"}}};

}  // namespace

TSet_securityform::TSet_securityform(feature::FeatureHost &host, AllConfig *config,
                                     SecurityCalls calls)
    : m_host(host), m_settings(config ? *config : FileStore().allConfig(), std::move(calls), user())
{
    setObjectName(QStringLiteral("TSet_securityform"));
    setWindowTitle(GetLanguageString(3019));

    CheckBox_EnablePIN = NamedButton<QCheckBox>(this, "CheckBox_EnablePIN", 3080);
    ImButton_ModPIN = NamedButton(this, "ImButton_ModPIN", 3083);
    CheckBox_DisPwoer = NamedButton<QCheckBox>(this, "CheckBox_DisPwoer", 3082);
    Label_BK_and_Restor = NamedLabel(this, "Label_BK_and_Restor", GetLanguageString(3165));
    Label_BK_and_Restor->setWordWrap(true);
    ImButton_BK = NamedButton(this, "ImButton_BK", kBackUpCaption);
    ImButton_Restore = NamedButton(this, "ImButton_Restore", kRestoreCaption);
    ApplyButton = NamedButton(this, "ApplyButton", 10);
    CancelButton = NamedButton(this, "CancelButton", 7);

    auto *pinRow = new QHBoxLayout;
    pinRow->addWidget(CheckBox_EnablePIN, 1);
    pinRow->addWidget(ImButton_ModPIN);
    auto *storeRow = new QHBoxLayout;
    storeRow->addStretch(1);
    storeRow->addWidget(ImButton_BK);
    storeRow->addWidget(ImButton_Restore);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ApplyButton);
    buttons->addWidget(CancelButton);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 16 + feature::kTitleStripHeight, 24, 16);
    column->setSpacing(10);
    column->addLayout(pinRow);
    column->addWidget(CheckBox_DisPwoer);
    column->addSpacing(16);
    column->addWidget(Label_BK_and_Restor);
    column->addLayout(storeRow);
    column->addStretch(1);
    column->addLayout(buttons);

    connect(CheckBox_EnablePIN, &QCheckBox::clicked, this,
            &TSet_securityform::CheckBox_EnablePINClick);
    connect(CheckBox_DisPwoer, &QCheckBox::clicked, this,
            &TSet_securityform::CheckBox_DisPwoerClick);
    connect(ApplyButton, &QPushButton::clicked, this, &TSet_securityform::ApplyButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSet_securityform::CancelButtonClick);
    connect(ImButton_ModPIN, &QPushButton::clicked, this, &TSet_securityform::ImButton_ModPINClick);
    connect(ImButton_BK, &QPushButton::clicked, this, &TSet_securityform::ImButton_BKClick);
    connect(ImButton_Restore, &QPushButton::clicked, this,
            &TSet_securityform::ImButton_RestoreClick);
    feature::WearSkin(*this, kSkin);
    m_settings.shown();
    refresh();
}

SecurityUser TSet_securityform::user()
{
    SecurityUser user;
    user.prompt = [this](int caption) {
        pin::TPasswordDlg dialog(m_host.dialogOwner(), caption == kAskPuk
                                                           ? pin::PasswordMode::Puk
                                                           : pin::PasswordMode::CurrentPin);
        dialog.setFirstCaption(GetLanguageString(caption));
        return dialog.runModal() == QDialog::Accepted ? dialog.firstText() : QString();
    };
    user.show = [this](int text, int icon) {
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text), icon);
    };
    user.ask = [this](int text) {
        return platform::AskMessageBox(m_host.dialogOwner(), GetLanguageString(text), 1) == 1;
    };
    user.chooseFile = [this](bool save) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString filter = QStringLiteral("*.dat");
        return save ? platform::getSaveFileName(m_host.dialogOwner(),
                                                GetLanguageString(kBackUpCaption), folder, filter)
                    : platform::getOpenFileName(m_host.dialogOwner(),
                                                GetLanguageString(kRestoreCaption), folder, filter);
    };
    user.fileExists = [](const QString &path) { return QFileInfo(path).isFile(); };
    user.postCardState = [this](uint8_t state) {
        platform::PostMessage(m_host.messageTarget(), platform::WM_CARD_STATE, state, 0);
    };
    return user;
}

void TSet_securityform::refresh()
{
    CheckBox_EnablePIN->setChecked(m_settings.pinRequestShown());
    CheckBox_DisPwoer->setChecked(m_settings.standbyForbiddenShown());
    CheckBox_EnablePIN->setEnabled(m_settings.pinControlsEnabled());
    ImButton_ModPIN->setEnabled(m_settings.pinControlsEnabled());
    ApplyButton->setEnabled(m_settings.applyEnabled());
}

void TSet_securityform::cardStateChanged(CardState state)
{
    m_settings.setCardState(state);
    refresh();
}

void TSet_securityform::FormShow()
{
    m_settings.shown();
    refresh();
}

void TSet_securityform::CheckBox_EnablePINClick()
{
    m_settings.pinRequestClicked(CheckBox_EnablePIN->isChecked());
    refresh();
}

void TSet_securityform::CheckBox_DisPwoerClick()
{
    m_settings.standbyClicked(CheckBox_DisPwoer->isChecked());
    refresh();
}

void TSet_securityform::ApplyButtonClick()
{
    m_settings.apply();
    refresh();
}

void TSet_securityform::ImButton_ModPINClick()
{
    m_settings.changePin();
    refresh();
}

void TSet_securityform::ImButton_BKClick() { m_settings.backUp(); }

void TSet_securityform::ImButton_RestoreClick() { m_settings.restore(); }

void TSet_securityform::CancelButtonClick()
{
    hide();
    m_host.show(feature::SettingsEntry::Profiles);
}
