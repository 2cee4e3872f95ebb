#include "UI_SetNetSub.h"

#include "ProviderProfile.h"

#include "UI_SetNetPopEditForm.h"
#include "UI_SetNetPopForm.h"
#include "WindowControls.h"

#include "FeaturePage.h"

#include "config/BL_File.h"
#include "logic/EngineValues.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <lumacore.h>

#include <QFile>
#include <QGridLayout>

using platform::GetLanguageString;

namespace {

constexpr int kWarningIcon = 2;
constexpr int kInformationIcon = 1;
constexpr int kDeliveredProfiles = 3;

const feature::WindowSkin kSkin{"SETNETCONFIG.BKIMAGE",
                                "SETNETCONFIG.TITLEIMAGE",
                                {{"SETNETCONFIG.BTADD", "AddButton"},
                                 {"SETNETCONFIG.BTEDIT", "EditButton"},
                                 {"SETNETCONFIG.BTDELETE", "DeleteButton"},
                                 {"SETNETCONFIG.BTDEFAULT", "DefaultButton"}}};

}  // namespace

TSet_netsub::TSet_netsub(feature::FeatureHost &host) : m_host(host)
{
    setObjectName(QStringLiteral("TSet_netsub"));
    setWindowTitle(GetLanguageString(3155));
    ListBoxFileName = new QListWidget(this);
    ListBoxFileName->setObjectName(QStringLiteral("ListBoxFileName"));
    Edit_Default = new QLineEdit(this);
    Edit_Default->setObjectName(QStringLiteral("Edit_Default"));
    Edit_Default->setReadOnly(true);
    AddButton = NamedButton(this, "AddButton", 3037);
    EditButton = NamedButton(this, "EditButton", 3038);
    DeleteButton = NamedButton(this, "DeleteButton", 3039);
    DefaultButton = NamedButton(this, "DefaultButton", 3040);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(GetLanguageString(3034), this), 0, 0, 1, 2);
    grid->addWidget(new QLabel(GetLanguageString(3035), this), 1, 0, 1, 2);
    grid->addWidget(ListBoxFileName, 2, 0, 4, 1);
    grid->addWidget(AddButton, 2, 1);
    grid->addWidget(EditButton, 3, 1);
    grid->addWidget(DeleteButton, 4, 1);
    grid->addWidget(DefaultButton, 5, 1);
    grid->addWidget(new QLabel(GetLanguageString(3036), this), 6, 0, 1, 2);
    grid->addWidget(Edit_Default, 7, 0);

    connect(ListBoxFileName, &QListWidget::itemClicked, this, &TSet_netsub::ListBoxFileNameClick);
    // The arrow keys select without a click: the delivered profiles stay guarded.
    connect(ListBoxFileName, &QListWidget::currentRowChanged, this,
            &TSet_netsub::ListBoxFileNameClick);
    connect(AddButton, &QPushButton::clicked, this, &TSet_netsub::AddButtonClick);
    connect(EditButton, &QPushButton::clicked, this, &TSet_netsub::EditButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TSet_netsub::DeleteButtonClick);
    connect(DefaultButton, &QPushButton::clicked, this, &TSet_netsub::DefaultButtonClick);
    feature::WearSkin(*this, kSkin);
}

TSet_netsub::~TSet_netsub() = default;

void TSet_netsub::warn(int text)
{
    platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text), kWarningIcon);
}


int TSet_netsub::selectedRow()
{
    const int row = ListBoxFileName->currentRow();
    if (row < 0)
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(3049), kInformationIcon);
    return row;
}

QStringList TSet_netsub::listItems() const
{
    QStringList items;
    for (int row = 0; row < ListBoxFileName->count(); ++row)
        items << ListBoxFileName->item(row)->text();
    return items;
}

void TSet_netsub::FormShow()
{
    for (QPushButton *each : {AddButton, EditButton, DeleteButton, DefaultButton})
        each->setEnabled(true);
    std::vector<ProfileRecord> profiles;
    const ProfileFileStatus status = FileStore().LoadProfileList(profiles);
    if (status != ProfileFileStatus::Ok) {
        warn(3050);
        if (status == ProfileFileStatus::Damaged) {
            for (QPushButton *each : {AddButton, EditButton, DeleteButton, DefaultButton})
                each->setEnabled(false);
        }
        return;
    }
    ListBoxFileName->clear();
    for (const ProfileRecord &profile : profiles)
        ListBoxFileName->addItem(platform::fromAnsi(ProfileName(profile)));
    if (!QFile::exists(QString::fromStdString(FileStore().filePath(kDefaultProfileFile)))) {
        warn(3051);
        return;
    }
    FileStore().LoadDefaultProfile();
    Edit_Default->setText(platform::fromAnsi(ProfileName(FileStore().defaultProfile())));
}

void TSet_netsub::ListBoxFileNameClick()
{
    const bool delivered =
        ListBoxFileName->currentRow() >= 0 && ListBoxFileName->currentRow() < kDeliveredProfiles;
    DeleteButton->setEnabled(!delivered);
    EditButton->setText(GetLanguageString(delivered ? 3156 : 3038));
}

void TSet_netsub::AddButtonClick()
{
    auto *add = m_host.window<TSet_netpopform>();
    if (add == nullptr)
        return;
    TSet_netpopform &dialog = *add;
    dialog.setListItems(listItems());
    dialog.FormShow();
    if (platform::execDialog(dialog) == QDialog::Accepted)
        ListBoxFileName->addItem(dialog.Edit_filename->text());
}

void TSet_netsub::EditButtonClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    ProfileRecord record{};
    FileStore().FindProfile(platform::toAnsi(ListBoxFileName->item(row)->text()), record);
    auto *edit = m_host.window<TSet_netpopeditform>();
    if (edit == nullptr)
        return;
    TSet_netpopeditform &dialog = *edit;
    dialog.setListItems(listItems());
    dialog.LoadRecord(record, row < kDeliveredProfiles);
    if (platform::execDialog(dialog) != QDialog::Accepted)
        return;
    const QString newName = dialog.Edit_filename->text();
    ListBoxFileName->item(row)->setText(newName);
    if (platform::fromAnsi(ProfileName(dialog.openedRecord())) == Edit_Default->text()) {
        Edit_Default->setText(newName);
        FileStore().WriteDefaultProfile(dialog.savedRecord());
        pushModemParams();
    }
}

void TSet_netsub::DeleteButtonClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString name = ListBoxFileName->item(row)->text();
    if (platform::toAnsi(name) == ProfileName(FileStore().defaultProfile())) {
        warn(3052);
        return;
    }
    if (row < kDeliveredProfiles)
        return;  // the delivered profiles are never deleted, whatever selected them
    if (platform::AskMessageBox(m_host.dialogOwner(), GetLanguageString(3160), 3) != 1)
        return;
    if (FileStore().DeleteProfile(platform::toAnsi(name)))
        std::unique_ptr<QListWidgetItem>(ListBoxFileName->takeItem(row));  // handed over, freed
    else
        warn(3050);
}

void TSet_netsub::DefaultButtonClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString name = ListBoxFileName->item(row)->text();
    if (!FileStore().SetDefaultProfile(platform::toAnsi(name))) {
        warn(3050);
        return;
    }
    Edit_Default->setText(name);
    pushModemParams();
}

void TSet_netsub::pushModemParams() { PushDefaultModemParams(FileStore(), m_host.cardState()); }
