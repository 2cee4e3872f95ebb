// The progress box: a text and, optionally, a cancel button, shown while a long operation
// runs. The caller shows it, updates its text, polls CancelRequested() and closes it.
#pragma once

#include "BoxFrame.h"

namespace boxes {

class TProgressBoxForm : public BoxFrame {
    Q_OBJECT
public:
    // A text shorter than this goes to the label, a longer one to the memo.
    static constexpr int kLabelLimit = 31;

    // buttonMode MSG_BUTTON_SINGLE shows the cancel button; every other mode is MSG_BUTTON_NO.
    explicit TProgressBoxForm(QWidget *owner, const QString &buttonMode = kButtonNo);

    void SetText(const QString &text) { setBoxText(text, kLabelLimit); }
    bool CancelRequested() const { return m_cancelRequested; }
    const QString &buttonMode() const { return m_buttonMode; }

    // Handlers: both only ask; the caller decides when to stop.
    void CancleImButtonClick();
    void ImImage_CloseClick();

    // Escape: a cancel request where there is a cancel button.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_buttonMode;
    bool m_cancelRequested = false;
};

}  // namespace boxes
