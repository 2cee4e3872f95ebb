#include "UI_SetNetForm.h"

#include "UI_ManualSet.h"

#include "FeaturePage.h"
#include "WindowControls.h"
#include "config/BL_File.h"
#include "platform/DialogSeam.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kInformation = 1;

const feature::WindowSkin kSkin{"SETNET.BKIMAGE",
                                "SETNET.TITLEIMAGE",
                                {{"SETNET.BTAPPLY", "ApplyButton"},
                                 {"SETNET.BTCANCEL", "CancelButton"},
                                 {"SETNET.BTMANUALSELECT", "ManualSelectBtn"}}};

}  // namespace

TSet_netform::TSet_netform(feature::FeatureHost &host, AllConfig *config)
    : m_host(host), m_selection(config ? *config : FileStore().allConfig())
{
    setObjectName(QStringLiteral("TSet_netform"));
    setWindowTitle(GetLanguageString(3020));

    RadioGroup_NetOpt = NamedControl<QGroupBox>(this, "RadioGroup_NetOpt", GetLanguageString(3041));
    RadioButton_Automatic = NamedButton<QRadioButton>(RadioGroup_NetOpt, "RadioButton_Automatic", 3042);
    RadioButton_Manual = NamedButton<QRadioButton>(RadioGroup_NetOpt, "RadioButton_Manual", 3043);
    auto *kinds = new QVBoxLayout(RadioGroup_NetOpt);
    kinds->addWidget(RadioButton_Automatic);
    kinds->addWidget(RadioButton_Manual);

    RadioGroup_Auto = NamedControl<QGroupBox>(this, "RadioGroup_Auto", GetLanguageString(3044));
    auto *modes = new QVBoxLayout(RadioGroup_Auto);
    const std::array<int, 3> captions{3154, 3047, 3048};
    for (size_t i = 0; i < captions.size(); ++i) {
        const std::string name = "RadioButton_Mode" + std::to_string(i);
        RadioButton_Modes[i] = NamedButton<QRadioButton>(RadioGroup_Auto, name.c_str(), captions[i]);
        modes->addWidget(RadioButton_Modes[i]);
        connect(RadioButton_Modes[i], &QRadioButton::clicked, this,
                [this, i] { RadioGroup_AutoClick(static_cast<int>(i)); });
    }

    ApplyButton = NamedButton(this, "ApplyButton", 10);
    CancelButton = NamedButton(this, "CancelButton", 7);
    ManualSelectBtn = NamedButton(this, "ManualSelectBtn", 3107);
    ManualSelectBtn->hide();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ApplyButton);
    buttons->addWidget(CancelButton);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 16 + feature::kTitleStripHeight, 24, 16);
    column->addWidget(RadioGroup_NetOpt);
    column->addWidget(RadioGroup_Auto);
    column->addStretch(1);
    column->addLayout(buttons);

    connect(RadioButton_Automatic, &QRadioButton::clicked, this, [this] { RadioGroup_NetOptClick(0); });
    connect(RadioButton_Manual, &QRadioButton::clicked, this, [this] { RadioGroup_NetOptClick(1); });
    connect(ApplyButton, &QPushButton::clicked, this, &TSet_netform::ApplyButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSet_netform::CancelButtonClick);
    feature::WearSkin(*this, kSkin);
    updateEnabled();
    ApplyButton->setEnabled(false);
}

void TSet_netform::showValues()
{
    RadioButton_Automatic->setChecked(m_selection.shownKind == 0);
    RadioButton_Manual->setChecked(m_selection.shownKind == 1);
    RadioGroup_Auto->setVisible(m_selection.shownKind == 0);
    const int choice = m_selection.shownChoice;
    for (size_t i = 0; i < RadioButton_Modes.size(); ++i)
        RadioButton_Modes[i]->setChecked(static_cast<int>(i) == choice);
}

// The choices are open only with the card ready, no call and the data connection idle; a mode
// the card does not offer stays greyed out rather than failing after Apply.
void TSet_netform::updateEnabled()
{
    const bool open = m_selection.choicesOpen();
    RadioGroup_NetOpt->setEnabled(open);
    RadioGroup_Auto->setEnabled(open);
    ManualSelectBtn->setEnabled(open);
    for (size_t i = 0; i < RadioButton_Modes.size(); ++i)
        RadioButton_Modes[i]->setEnabled(open && m_selection.choiceOffered(static_cast<int>(i)));
    if (!open)
        ApplyButton->setEnabled(false);
}

void TSet_netform::cardStateChanged(CardState state)
{
    m_cardState = state;
    m_selection.setCardState(state);
    if (state == kSimReady)
        showValues();
    updateEnabled();
}

void TSet_netform::callStateChanged(CallState state)
{
    m_selection.setCallActive(state != kCallIdle);
    updateEnabled();
}

void TSet_netform::connectionStateChanged(ConnectionState state)
{
    m_selection.setConnectionBusy(state != kConnectionIdle);
    updateEnabled();
}

void TSet_netform::ussdSessionChanged(UssdSession session)
{
    m_selection.setUssdActive(session != kUssdSessionOver);
    updateEnabled();
}

void TSet_netform::FormShow()
{
    m_selection.shownKind = m_selection.appliedKind;
    m_selection.shownChoice = m_selection.appliedChoice < 0 ? 0 : m_selection.appliedChoice;
    showValues();
    updateEnabled();
    ApplyButton->setEnabled(false);
}

void TSet_netform::RadioGroup_NetOptClick(int index)
{
    m_selection.shownKind = index;
    RadioGroup_Auto->setVisible(index == 0);
    ApplyButton->setEnabled(m_selection.choicesOpen());
}

void TSet_netform::RadioGroup_AutoClick(int index)
{
    m_selection.shownChoice = index;
    ApplyButton->setEnabled(m_selection.choicesOpen());
}

void TSet_netform::ApplyButtonClick()
{
    ApplyButton->setEnabled(false);
    int message = 0;
    if (m_selection.Apply(message) == NetworkSelection::ApplyStep::OpenManualDialog) {
        if (auto *dialog = m_host.window<TManual_Set>()) {
            dialog->setPage(this);
            platform::execDialog(*dialog);
        }
        return;
    }
    showValues();
    if (message != 0)
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(message), kInformation);
}

void TSet_netform::ManualRegistered() { m_selection.RegisteredByHand(); }

void TSet_netform::ManualLeft()
{
    const int message = m_selection.LeftWithoutChoice();
    if (message != 0)
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(message), kInformation);
    showValues();
    ApplyButton->setEnabled(false);
}

void TSet_netform::CancelButtonClick()
{
    hide();
    m_host.show(feature::SettingsEntry::Profiles);
}
