#include "UI_SetMsgForm.h"

#include "logic/EngineValues.h"

#include "FeaturePage.h"

#include "config/BL_File.h"
#include "WindowControls.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kInformation = 1;

const feature::WindowSkin kSkin{"SETMSG.BKIMAGE",
                                "SETMSG.TITLEIMAGE",
                                {{"SETMSG.BTAPPLY", "ApplyButton"}, {"SETMSG.BTCANCEL", "CancelButton"}}};

}  // namespace

TSet_msgform::TSet_msgform(feature::FeatureHost &host, AllConfig *config)
    : m_host(host), m_settings(config ? *config : FileStore().allConfig())
{
    setObjectName(QStringLiteral("TSet_msgform"));
    setWindowTitle(GetLanguageString(text::kSmsSettingsCaption));

    auto *grid = new QGridLayout;
    Label_MSGCen = NamedLabel(this, "Label_MSGCen", GetLanguageString(text::kSmsCentre));
    Edit_MSGCen = NamedControl<QLineEdit>(this, "Edit_MSGCen");
    Edit_MSGCen->setMaxLength(SmsSettings::kCentreLength);
    // The field refuses every character but the digits and "+".
    Edit_MSGCen->setValidator(new QRegularExpressionValidator(  // owned by the field
        QRegularExpression(QStringLiteral("[+0-9]{0,32}")), Edit_MSGCen));
    Label_MSGTime = NamedLabel(this, "Label_MSGTime", GetLanguageString(text::kSmsValidity));
    ComboBox_MSGTime = NamedControl<QComboBox>(this, "ComboBox_MSGTime");
    for (unsigned number : {text::kSmsValidity12Hours, text::kSmsValidity1Day,
                            text::kSmsValidity1Week, text::kSmsValidityMaximum})
        ComboBox_MSGTime->addItem(GetLanguageString(number));
    Label_SMSStore =
        NamedLabel(this, "Label_SMSStore", GetLanguageString(text::kSmsSaveIncomingTo));
    Combo_SMSStore = NamedControl<QComboBox>(this, "Combo_SMSStore");
    for (unsigned number : {text::kSmsSaveToSim, text::kSmsDataCard, text::kSmsSaveToPc})
        Combo_SMSStore->addItem(GetLanguageString(number));
    RadioGroup_MSGState =
        NamedControl<QGroupBox>(this, "RadioGroup_MSGState", GetLanguageString(text::kSmsReport));
    RadioButton_Report = NamedButton<QRadioButton>(RadioGroup_MSGState, "RadioButton_Report",
                                                   text::kSmsReportRequest);
    RadioButton_NoReport = NamedButton<QRadioButton>(RadioGroup_MSGState, "RadioButton_NoReport",
                                                     text::kSmsReportNone);
    auto *radios = new QHBoxLayout(RadioGroup_MSGState);
    radios->addWidget(RadioButton_Report);
    radios->addWidget(RadioButton_NoReport);
    radios->addStretch(1);

    grid->addWidget(Label_MSGCen, 0, 0);
    grid->addWidget(Edit_MSGCen, 0, 1);
    grid->addWidget(Label_MSGTime, 1, 0);
    grid->addWidget(ComboBox_MSGTime, 1, 1);
    grid->addWidget(RadioGroup_MSGState, 2, 0, 1, 2);
    grid->addWidget(Label_SMSStore, 3, 0);
    grid->addWidget(Combo_SMSStore, 3, 1);
    grid->setColumnStretch(1, 1);

    ApplyButton = NamedButton(this, "ApplyButton", 10);
    CancelButton = NamedButton(this, "CancelButton", 7);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ApplyButton);
    buttons->addWidget(CancelButton);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 16, 24, 16);
    column->addLayout(grid);
    column->addStretch(1);
    column->addLayout(buttons);

    // Only what the user does enables Apply; what the page fills in itself does not.
    connect(Edit_MSGCen, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (SmsSettings::ValidCentre(text))
            edited();
    });
    connect(ComboBox_MSGTime, &QComboBox::activated, this, &TSet_msgform::edited);
    connect(Combo_SMSStore, &QComboBox::activated, this, &TSet_msgform::edited);
    connect(RadioButton_Report, &QRadioButton::clicked, this, &TSet_msgform::edited);
    connect(RadioButton_NoReport, &QRadioButton::clicked, this, &TSet_msgform::edited);
    connect(ApplyButton, &QPushButton::clicked, this, &TSet_msgform::ApplyButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSet_msgform::CancelButtonClick);
    setCardFieldsEnabled(false);
    ApplyButton->setEnabled(false);
    feature::WearSkin(*this, kSkin);
}

void TSet_msgform::setCardFieldsEnabled(bool enabled)
{
    for (QWidget *field : std::initializer_list<QWidget *>{Edit_MSGCen, Combo_SMSStore}) {
        field->setEnabled(enabled);
        QPalette colours = field->palette();
        colours.setColor(QPalette::Base,
                         enabled ? palette().color(QPalette::Base) : QColor(0xC0, 0xC0, 0xC0));
        field->setPalette(colours);
    }
}

void TSet_msgform::SetDeviceState(uint8_t state)
{
    m_cardState = state;
    setCardFieldsEnabled(state == kSimReady);
    if (state != kSimReady)
        return;
    Edit_MSGCen->setText(platform::fromAnsi(m_settings.DeviceReady()));
    Combo_SMSStore->setCurrentIndex(m_settings.storageIndex());
}

void TSet_msgform::FormShow()
{
    Edit_MSGCen->clear();
    if (m_cardState == kSimReady)
        Edit_MSGCen->setText(platform::fromAnsi(SmsSettings::ReadCentre()));
    Combo_SMSStore->setCurrentIndex(m_settings.storageIndex());
    ComboBox_MSGTime->setCurrentIndex(m_settings.validityIndex());
    // A radio group with nothing chosen shows both buttons off.
    const int report = m_settings.reportIndex();
    for (QRadioButton *radio : {RadioButton_Report, RadioButton_NoReport})
        radio->setAutoExclusive(false);
    RadioButton_Report->setChecked(report == 0);
    RadioButton_NoReport->setChecked(report == 1);
    for (QRadioButton *radio : {RadioButton_Report, RadioButton_NoReport})
        radio->setAutoExclusive(true);
    ApplyButton->setEnabled(false);
}

void TSet_msgform::ApplyButtonClick()
{
    SmsSettings::Choices choices;
    choices.centre = platform::toAnsi(Edit_MSGCen->text());
    choices.validity = ComboBox_MSGTime->currentIndex();
    choices.report = RadioButton_Report->isChecked()     ? 0
                     : RadioButton_NoReport->isChecked() ? 1
                                                         : -1;
    choices.storage = Combo_SMSStore->currentIndex();
    ApplyButton->setEnabled(false);
    for (int text : m_settings.Apply(choices, m_cardState))
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text), kInformation);
}

void TSet_msgform::CancelButtonClick()
{
    hide();
    m_host.show(feature::SettingsEntry::Profiles);
}
