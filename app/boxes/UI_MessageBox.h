// The program's message box: a text, an icon and one, two or no buttons.
#pragma once

#include "BoxFrame.h"

namespace boxes {

class TMessageBoxForm : public BoxFrame {
    Q_OBJECT
public:
    // A text shorter than this goes to the label, a longer one to the memo.
    static constexpr int kLabelLimit = 29;

    // iconType: 1 information, 2 warning, 3, 4 and 16 question, anything else no icon.
    // buttonMode: one of the MSG_* modes; an unknown mode is a one-button box.
    explicit TMessageBoxForm(QWidget *owner, int iconType = 1,
                             const QString &buttonMode = kButtonSingle);

    void setMessageText(const QString &text) { setBoxText(text, kLabelLimit); }
    const QString &buttonMode() const { return m_buttonMode; }
    int iconType() const { return m_iconType; }

    skin::TImButton *OkButton;

    // Handlers.
    void OkButtonClick();
    void CancleImButtonClick();
    void ImImage_CloseClick();
    // Escape and the window system's close act as the close image.
    void reject() override;

signals:
    // MSG_BUTTON_NOMODAL: the user acknowledged the notice; the box stays until its owner
    // closes it.
    void noticeAcknowledged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void layoutButtons();
    void showIcon();

    QString m_buttonMode;
    int m_iconType;
};

// Shows a box with the given mode modally through the dialog seam. 1 for the first button,
// 2 for the second button or the close image.
int runMessageBox(QWidget *owner, const QString &text, int iconType, const QString &buttonMode);

// Routes the program's ShowMessageBox and AskMessageBox to these boxes.
void installProgramMessageBoxes();

}  // namespace boxes
