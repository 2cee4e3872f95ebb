#include "UI_CallHangupMsg.h"

#include "FeaturePage.h"
#include "WindowControls.h"

#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kChoices = 10;
constexpr int kButtonWidth = 140;
constexpr int kSpacing = 15;

}  // namespace

TCallHangupMsgDfm::TCallHangupMsgDfm(feature::FeatureHost &host)
    : QDialog(host.dialogOwner(), Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TCallHangupMsgDfm"));
    setWindowTitle(GetLanguageString(5016));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 14, 20, 16);
    column->setSpacing(kSpacing);
    std::vector<feature::SkinKey> keys;
    static const char *const kNames[kChoices] = {"MyButton0", "MyButton1", "MyButton2",
                                                 "MyButton3", "MyButton4", "MyButton5",
                                                 "MyButton6", "MyButton7", "MyButton8",
                                                 "MyButton9"};
    for (int i = 0; i < kChoices; ++i) {
        QPushButton *button = NamedControl<QPushButton>(this, kNames[i]);
        button->setFixedWidth(kButtonWidth);
        button->hide();
        column->addWidget(button, 0, Qt::AlignHCenter);
        connect(button, &QPushButton::clicked, this, [this, i] {
            m_chosen = i;
            accept();
        });
        MyButtons.push_back(button);
        keys.push_back({"CALLHANGUP.MYBUTTON", kNames[i]});
    }
    BtCancel = NamedButton(this, "BtCancel", 7);
    BtCancel->setFixedWidth(kButtonWidth);
    column->addWidget(BtCancel, 0, Qt::AlignHCenter);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    keys.push_back({"CALLHANGUP.BTCANCEL", "BtCancel"});
    feature::WearSkin(*this, {"CALLHANGUP.BKIMAGE", "CALLHANGUP.TITLEIMAGE", keys});
}

void TCallHangupMsgDfm::SetChoices(const QStringList &choices)
{
    for (int i = 0; i < kChoices; ++i) {
        const bool used = i < choices.size();
        MyButtons[static_cast<size_t>(i)]->setText(used ? choices[i] : QString());
        MyButtons[static_cast<size_t>(i)]->setVisible(used);
    }
    adjustSize();
}

int TCallHangupMsgDfm::Choose(const QStringList &choices)
{
    SetChoices(choices);
    m_chosen = -1;
    // reject() (Cancel, Escape, a change of the calls) leaves nothing chosen.
    if (platform::execDialog(*this) != QDialog::Accepted)
        return -1;
    return m_chosen < choices.size() ? m_chosen : -1;
}
