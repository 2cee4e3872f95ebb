#include "UI_GetInput.h"

#include "ToolkitMenu.h"

#include "FeaturePage.h"
#include "WindowControls.h"

#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kWarning = 2;
constexpr uint32_t kYesNo = 1;

const feature::WindowSkin kSkin{
    "GETINPUT.BKIMAGE",
    "GETINPUT.TITLEIMAGE",
    {{"GETINPUT.BTOK", "ImButton_OK"}, {"GETINPUT.BTCANCEL", "ImButton_Cancel"}}};

}  // namespace

TgetInput::TgetInput(feature::FeatureHost &host) : QDialog(nullptr)
{
    (void)host;
    setObjectName(QStringLiteral("TgetInput"));
    setWindowTitle(GetLanguageString(text::kSimToolkit));
    setModal(true);
    setMinimumWidth(340);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(14, feature::kTitleStripHeight + 10, 14, 12);
    Label_InputBoxCaption = NamedLabel(this, "Label_InputBoxCaption");
    Label_InputBoxCaption->setWordWrap(true);
    column->addWidget(Label_InputBoxCaption);

    auto *lengths = new QGridLayout;
    MinLength = NamedLabel(this, "MinLength");
    MinLength->setText(GetLanguageString(text::kStkMinLength));
    MinLengthValue = NamedLabel(this, "MinLengthValue");
    MaxLength = NamedLabel(this, "MaxLength");
    MaxLength->setText(GetLanguageString(text::kStkMaxLength));
    MaxLengthValue = NamedLabel(this, "MaxLengthValue");
    lengths->addWidget(MinLength, 0, 0);
    lengths->addWidget(MinLengthValue, 0, 1);
    lengths->addWidget(MaxLength, 0, 2);
    lengths->addWidget(MaxLengthValue, 0, 3);
    lengths->setColumnStretch(4, 1);
    column->addLayout(lengths);

    Edit_InputBox = NamedControl<QLineEdit>(this, "Edit_InputBox");
    column->addWidget(Edit_InputBox);
    ComboBoxYesOrNo = NamedControl<QComboBox>(this, "ComboBoxYesOrNo");
    ComboBoxYesOrNo->addItems({GetLanguageString(text::kYes), GetLanguageString(text::kNo)});
    column->addWidget(ComboBoxYesOrNo);
    column->addStretch(1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    ImButton_OK = NamedButton(this, "ImButton_OK", text::kOk);
    ImButton_Cancel = NamedButton(this, "ImButton_Cancel", text::kCancel);
    buttons->addWidget(ImButton_OK);
    buttons->addWidget(ImButton_Cancel);
    column->addLayout(buttons);

    connect(ImButton_OK, &QPushButton::clicked, this, &TgetInput::ImButton_OKClick);
    connect(ImButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Edit_InputBox, &QLineEdit::textEdited, this, &TgetInput::Edit_InputBoxChange);
    feature::WearSkin(*this, kSkin);
}

void TgetInput::Prepare(uint32_t kind, uint32_t minimum, uint32_t maximum,
                        const std::string &prompt)
{
    m_kind = kind;
    m_minimum = minimum;
    m_maximum = maximum;
    m_lastValid.clear();
    Label_InputBoxCaption->setText(platform::fromAnsi(prompt));
    MinLengthValue->setText(QString::number(minimum));
    MaxLengthValue->setText(QString::number(maximum));
    const bool yesNo = kind == kYesNo;
    Edit_InputBox->clear();
    Edit_InputBox->setVisible(!yesNo);
    ComboBoxYesOrNo->setVisible(yesNo);
    ComboBoxYesOrNo->setCurrentIndex(0);
    MinLength->setVisible(!yesNo);
    MinLengthValue->setVisible(!yesNo);
    MaxLength->setVisible(!yesNo);
    MaxLengthValue->setVisible(!yesNo);
}

std::optional<std::string> TgetInput::Ask(uint32_t kind, uint32_t minimum, uint32_t maximum,
                                          const std::string &prompt)
{
    Prepare(kind, minimum, maximum, prompt);
    if (platform::execDialog(*this) != QDialog::Accepted)
        return std::nullopt;
    return Answer();
}

std::optional<std::string> TgetInput::Answer() const
{
    if (m_kind == kYesNo)
        return std::string(ComboBoxYesOrNo->currentIndex() == 0 ? "1" : "0");
    if (toolkit_input::tooShort(m_kind, m_minimum, Edit_InputBox->text()))
        return std::nullopt;
    return platform::toAnsi(Edit_InputBox->text());
}

void TgetInput::Edit_InputBoxChange(const QString &text)
{
    if (toolkit_input::accepts(m_kind, m_maximum, text)) {
        m_lastValid = text;
        return;
    }
    Edit_InputBox->setText(m_lastValid);
    Edit_InputBox->setCursorPosition(static_cast<int>(m_lastValid.size()));
}

void TgetInput::ImButton_OKClick()
{
    if (!Answer()) {
        // Too short: said so, and the dialog stays with the text kept.
        platform::ShowMessageBox(this, GetLanguageString(text::kStkInputTooShort), kWarning);
        return;
    }
    accept();
}
