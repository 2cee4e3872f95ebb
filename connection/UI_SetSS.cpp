#include "UI_SetSS.h"

#include "FeaturePage.h"
#include "WindowControls.h"
#include "config/BL_File.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "UI_ProgressBox.h"

using platform::GetLanguageString;

namespace {

constexpr int kInformation = 1;
constexpr int kWarning = 2;
constexpr int kReadAll = 3149;

const feature::WindowSkin kSkin{"SETSUPPLY.BKIMAGE",
                                "SETSUPPLY.TITLEIMAGE",
                                {{"SETSUPPLY.APPLYBUTTONCF", "ApplyButtonCF"},
                                 {"SETSUPPLY.APPLYBUTTONCB", "ApplyButtonCB"},
                                 {"SETSUPPLY.APPLYBUTTONCLIP", "ApplyButtonCLIP"},
                                 {"SETSUPPLY.BTCANCEL", "CancelButton"}}};

// The conditions' and facilities' names; the language library has none of its own for them.
const std::array<const char *, 4> kForwardNames{"CheckBox_CFU", "CheckBox_CFB", "CheckBox_CFNRY",
                                                "CheckBox_CFNRC"};
const std::array<const char *, 4> kForwardEdits{"Edit_CFU", "Edit_CFB", "Edit_CFNRY",
                                                "Edit_CFNRC"};
const std::array<const char *, 4> kForwardCaptions{
    "Forward all calls", "Forward when busy", "Forward when not answered",
    "Forward when not reachable"};
const std::array<const char *, 5> kBarringNames{"CheckBox_AO", "CheckBox_OI", "CheckBox_OX",
                                                "CheckBox_AI", "CheckBox_IR"};
const std::array<const char *, 5> kBarringCaptions{
    "Bar all outgoing calls", "Bar outgoing international calls",
    "Bar outgoing international calls except to the home country", "Bar all incoming calls",
    "Bar incoming calls when roaming abroad"};

}  // namespace

TSet_SS::TSet_SS(feature::FeatureHost &host, AllConfig *config)
    : m_host(host),
      m_services(config ? *config : FileStore().allConfig(),
                 config ? std::function<bool()>{} : [] { return FileStore().SaveAllConfig(); })
{
    setObjectName(QStringLiteral("TSet_SS"));
    setWindowTitle(GetLanguageString(3128));

    SSCFBtn = NamedControl<QToolButton>(this, "SSCFBtn");
    SSCBBtn = NamedControl<QToolButton>(this, "SSCBBtn");
    SSCLIPBtn = NamedControl<QToolButton>(this, "SSCLIPBtn");
    SSCFBtn->setText(QStringLiteral("Forwarding"));
    SSCBBtn->setText(QStringLiteral("Barring"));
    SSCLIPBtn->setText(QStringLiteral("Caller ID"));
    auto *tabRow = new QHBoxLayout;
    for (QToolButton *tab : {SSCFBtn, SSCBBtn, SSCLIPBtn})
        tabRow->addWidget(tab);
    tabRow->addStretch(1);

    Tabs = NamedControl<QStackedWidget>(this, "Tabs");
    auto *forwarding = new QWidget;
    auto *forwardGrid = new QGridLayout(forwarding);
    for (size_t i = 0; i < CheckBox_Forward.size(); ++i) {
        CheckBox_Forward[i] = NamedControl<QCheckBox>(forwarding, kForwardNames[i],
                                                      QString::fromLatin1(kForwardCaptions[i]));
        Edit_Forward[i] = NamedControl<QLineEdit>(forwarding, kForwardEdits[i]);
        Edit_Forward[i]->setMaxLength(CallServices::kNumberMaximum);
        const int row = static_cast<int>(i) * 2;
        forwardGrid->addWidget(CheckBox_Forward[i], row, 0, 1, 2);
        forwardGrid->addWidget(new QLabel(GetLanguageString(2014)), row + 1, 0);
        forwardGrid->addWidget(Edit_Forward[i], row + 1, 1);
        const int condition = static_cast<int>(i);
        connect(CheckBox_Forward[i], &QCheckBox::clicked, this, [this, condition](bool checked) {
            m_services.ForwardClicked(condition, checked);
            refresh();
        });
        connect(Edit_Forward[i], &QLineEdit::textEdited, this,
                [this, condition](const QString &text) {
                    m_services.ForwardEdited(condition, text);
                    refresh();
                });
    }
    forwardGrid->setRowStretch(8, 1);
    auto *barringPage = new QWidget;
    auto *barringColumn = new QVBoxLayout(barringPage);
    for (size_t i = 0; i < CheckBox_Barring.size(); ++i) {
        CheckBox_Barring[i] = NamedControl<QCheckBox>(barringPage, kBarringNames[i],
                                                      QString::fromLatin1(kBarringCaptions[i]));
        barringColumn->addWidget(CheckBox_Barring[i]);
        const int facility = static_cast<int>(i);
        connect(CheckBox_Barring[i], &QCheckBox::clicked, this, [this, facility](bool checked) {
            m_services.BarringClicked(facility, checked);
            refresh();
        });
    }
    barringColumn->addStretch(1);
    auto *clipPage = new QWidget;
    auto *clipColumn = new QVBoxLayout(clipPage);
    CheckBox_CLIP = NamedButton<QCheckBox>(clipPage, "CheckBox_CLIP", 3129);
    CheckBox_CCWA = NamedButton<QCheckBox>(clipPage, "CheckBox_CCWA", 3147);
    clipColumn->addWidget(CheckBox_CLIP);
    clipColumn->addWidget(CheckBox_CCWA);
    clipColumn->addStretch(1);
    connect(CheckBox_CLIP, &QCheckBox::clicked, this, [this](bool checked) {
        m_services.ClipClicked(checked);
        refresh();
    });
    connect(CheckBox_CCWA, &QCheckBox::clicked, this, [this](bool checked) {
        m_services.WaitingClicked(checked);
        refresh();
    });
    Tabs->addWidget(forwarding);
    Tabs->addWidget(barringPage);
    Tabs->addWidget(clipPage);

    ApplyButtonCF = NamedButton(this, "ApplyButtonCF", 10);
    ApplyButtonCB = NamedButton(this, "ApplyButtonCB", 10);
    ApplyButtonCLIP = NamedButton(this, "ApplyButtonCLIP", 10);
    CancelButton = NamedButton(this, "CancelButton", 7);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {ApplyButtonCF, ApplyButtonCB, ApplyButtonCLIP, CancelButton})
        buttons->addWidget(button);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 12 + feature::kTitleStripHeight, 24, 16);
    column->addLayout(tabRow);
    column->addWidget(Tabs, 1);
    column->addLayout(buttons);

    connect(SSCFBtn, &QToolButton::clicked, this, [this] { ShowTab(0); });
    connect(SSCBBtn, &QToolButton::clicked, this, [this] { ShowTab(1); });
    connect(SSCLIPBtn, &QToolButton::clicked, this, [this] { ShowTab(2); });
    connect(ApplyButtonCF, &QPushButton::clicked, this, &TSet_SS::ApplyButtonCFClick);
    connect(ApplyButtonCB, &QPushButton::clicked, this, &TSet_SS::ApplyButtonCBClick);
    connect(ApplyButtonCLIP, &QPushButton::clicked, this, &TSet_SS::ApplyButtonCLIPClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSet_SS::CancelButtonClick);
    feature::WearSkin(*this, kSkin);
    ShowTab(0);
}

void TSet_SS::refresh()
{
    for (size_t i = 0; i < CheckBox_Forward.size(); ++i) {
        const auto &row = m_services.forward[i];
        CheckBox_Forward[i]->setChecked(row.checked);
        CheckBox_Forward[i]->setEnabled(row.enabled);
        if (Edit_Forward[i]->text() != row.number)
            Edit_Forward[i]->setText(row.number);
        Edit_Forward[i]->setEnabled(row.enabled);
    }
    for (size_t i = 0; i < CheckBox_Barring.size(); ++i) {
        CheckBox_Barring[i]->setChecked(m_services.barring[i].checked);
        CheckBox_Barring[i]->setEnabled(m_services.barring[i].enabled);
    }
    CheckBox_CLIP->setChecked(m_services.clip.checked);
    CheckBox_CLIP->setEnabled(m_services.clip.enabled);
    CheckBox_CCWA->setChecked(m_services.waiting.checked);
    CheckBox_CCWA->setEnabled(m_services.waiting.enabled);
    ApplyButtonCF->setEnabled(m_services.applyForwardEnabled);
    ApplyButtonCB->setEnabled(m_services.applyBarringEnabled);
    ApplyButtonCLIP->setEnabled(m_services.applyClipEnabled);
}

void TSet_SS::showMessages(const std::vector<int> &texts)
{
    for (int text : texts)
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text), kInformation);
}

void TSet_SS::ShowTab(int tab)
{
    Tabs->setCurrentIndex(tab);
    SSCFBtn->setEnabled(tab != 0);
    SSCBBtn->setEnabled(tab != 1);
    SSCLIPBtn->setEnabled(tab != 2);
    ApplyButtonCF->setVisible(tab == 0);
    ApplyButtonCB->setVisible(tab == 1);
    ApplyButtonCLIP->setVisible(tab == 2);
    if (tab == 0)
        m_services.ShowForwarding();
    else if (tab == 1)
        m_services.ShowBarring();
    else
        m_services.ShowClip();
    refresh();
}

void TSet_SS::FormShow()
{
    if (!m_services.queried() && m_host.cardState() == kSimReady) {
        // The queries take a while on the network: a box says so, and the main window waits.
        boxes::TProgressBoxForm progress(m_host.dialogOwner());
        QPointer<QWidget> mainWindow = m_host.dialogOwner() ? m_host.dialogOwner()->window() : nullptr;
        if (mainWindow)
            mainWindow->setEnabled(false);
        progress.SetText(GetLanguageString(3148));
        progress.show();
        QCoreApplication::processEvents();
        const int summary = m_services.FirstShow();
        progress.close();
        if (mainWindow) {
            mainWindow->setEnabled(true);
            mainWindow->setFocus();
        }
        if (summary != 0)
            platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(summary),
                                     summary == kReadAll ? kInformation : kWarning);
    }
    ShowTab(0);
}

void TSet_SS::ApplyButtonCFClick()
{
    const auto messages = m_services.ApplyForwarding();
    refresh();
    showMessages(messages);
}

void TSet_SS::ApplyButtonCBClick()
{
    const auto messages = m_services.ApplyBarring();
    refresh();
    showMessages(messages);
}

void TSet_SS::ApplyButtonCLIPClick()
{
    if (currentTab() != 2)
        return;
    const auto messages = m_services.ApplyClip();
    refresh();
    showMessages(messages);
}

void TSet_SS::cardStateChanged(CardState state)
{
    m_services.CardStateChanged(state);
    refresh();
    if (state != kSimReady && isVisible()) {
        hide();
        m_host.show(feature::SettingsEntry::Security);
    }
}

void TSet_SS::CancelButtonClick()
{
    hide();
    m_host.show(feature::SettingsEntry::Security);
}
