#include "UI_SetSoundForm.h"

#include "FeaturePage.h"

#include "config/BL_File.h"
#include "WindowControls.h"
#include "language/TextNumbers.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kInformation = 1;
constexpr int kWarning = 2;

const feature::WindowSkin kSkin{"SETSOUND.BKIMAGE",
                                "SETSOUND.TITLEIMAGE",
                                {{"SETSOUND.BTAPPLY", "ApplyButton"},
                                 {"SETSOUND.BTCANCEL", "CancelButton"},
                                 {"SETSOUND.BTBROWER", "BrowerButton1"},
                                 {"SETSOUND.BTBROWER", "BrowerButton2"},
                                 {"SETSOUND.BTBROWER", "BrowerButton3"},
                                 {"SETSOUND.BTBROWER", "BrowerButton4"}}};

struct RowNames {
    const char *label, *edit, *mute, *browse;
    int caption;
};
constexpr RowNames kRowNames[SoundSettings::kRowCount] = {
    {"Label_NetConnect", "Edit_NetConnect", "CheckBox_NetConnect", "BrowerButton1", 3074},
    {"Label2", "Edit2", "CheckBox2", "BrowerButton2", 3075},
    {"Label3", "Edit3", "CheckBox3", "BrowerButton3", 3076},
    {"Label4", "Edit4", "CheckBox4", "BrowerButton4", 3077},
};

}  // namespace

TSet_soundform::TSet_soundform(feature::FeatureHost &host, TBL_File *store)
    : m_host(host), m_settings(store ? *store : FileStore())
{
    setObjectName(QStringLiteral("TSet_soundform"));
    setWindowTitle(GetLanguageString(3022));

    auto *grid = new QGridLayout;
    for (int row = 0; row < SoundSettings::kRowCount; ++row) {
        const RowNames &names = kRowNames[row];
        Labels[row] = NamedLabel(this, names.label, GetLanguageString(names.caption));
        Edits[row] = NamedControl<QLineEdit>(this, names.edit);
        Edits[row]->setReadOnly(true);
        MuteBoxes[row] = NamedButton<QCheckBox>(this, names.mute, 3078);
        // The skin draws the button as a folder glyph; its words are its tool tip.
        BrowseButtons[row] = NamedControl<QPushButton>(this, names.browse);
        BrowseButtons[row]->setFixedSize(28, 22);
        BrowseButtons[row]->setToolTip(GetLanguageString(3079));
        BrowseButtons[row]->setAccessibleName(GetLanguageString(3079));
        // The label above, the file with its mute box and browse button below it.
        grid->addWidget(Labels[row], 2 * row, 0, 1, 3);
        grid->addWidget(Edits[row], 2 * row + 1, 0);
        grid->addWidget(MuteBoxes[row], 2 * row + 1, 1);
        grid->addWidget(BrowseButtons[row], 2 * row + 1, 2);
        connect(MuteBoxes[row], &QCheckBox::clicked, this, [this, row](bool checked) {
            m_settings.setMuted(row, checked);
            ApplyButton->setEnabled(true);
        });
        connect(BrowseButtons[row], &QPushButton::clicked, this,
                [this, row] { BrowseClick(row); });
    }
    grid->setColumnStretch(0, 1);
    grid->setVerticalSpacing(6);

    ApplyButton = NamedButton(this, "ApplyButton", 10);
    CancelButton = NamedButton(this, "CancelButton", 7);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ApplyButton);
    buttons->addWidget(CancelButton);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, feature::kTitleStripHeight + 12, 24, 16);
    column->addLayout(grid);
    column->addStretch(1);
    column->addLayout(buttons);

    connect(ApplyButton, &QPushButton::clicked, this, &TSet_soundform::ApplyButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSet_soundform::CancelButtonClick);
    ApplyButton->setEnabled(false);
    feature::WearSkin(*this, kSkin);
}

void TSet_soundform::setRowVisible(int row, bool visible)
{
    for (QWidget *control : std::initializer_list<QWidget *>{Labels[row], Edits[row], MuteBoxes[row],
                                                             BrowseButtons[row]})
        control->setVisible(visible);
}

void TSet_soundform::FormShow()
{
    m_settings.load();
    for (int row = 0; row < SoundSettings::kRowCount; ++row) {
        MuteBoxes[row]->setChecked(m_settings.choice(row).muted);
        Edits[row]->setText(m_settings.choice(row).file);
        Edits[row]->setCursorPosition(0);
    }
    ApplyButton->setEnabled(false);
    // The ring is chosen here too, but not shown: it is written with the others.
    setRowVisible(SoundSettings::kIncomingCall, false);
}

void TSet_soundform::BrowseClick(int row)
{
    // The program finds its files by absolute paths, yet a dialog that changed the working
    // directory would still surprise anything that opens a relative one.
    const QString workingDirectory = QDir::currentPath();
    const QString file = platform::getOpenFileName(m_host.dialogOwner(), BrowseButtons[row]->toolTip(),
                                                   m_settings.initialFolder(),
                                                   SoundSettings::fileFilter());
    QDir::setCurrent(workingDirectory);
    if (file.isEmpty())
        return;
    const QString path = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    if (!m_settings.choose(row, path)) {
        platform::ShowMessageBox(m_host.dialogOwner(),
                                 GetLanguageString(text::kSoundFileUnusable), kWarning);
        return;
    }
    Edits[row]->setText(path);
    Edits[row]->setCursorPosition(0);
    ApplyButton->setEnabled(true);
    m_host.notices().previewSound(path);
}

void TSet_soundform::ApplyButtonClick()
{
    const int shown = m_settings.apply();
    const bool saved = shown != 3018;
    platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(shown),
                             saved ? kInformation : kWarning);
    if (saved)
        ApplyButton->setEnabled(false);
}

void TSet_soundform::CancelButtonClick()
{
    hide();
    m_host.show(feature::SettingsEntry::Profiles);
}
