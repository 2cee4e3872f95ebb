#include "UI_MessageBox.h"

#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace boxes {

TMessageBoxForm::TMessageBoxForm(QWidget *owner, int iconType, const QString &buttonMode)
    : BoxFrame(owner), m_buttonMode(buttonMode), m_iconType(iconType)
{
    setObjectName(QStringLiteral("MessageBoxForm"));
    setWindowTitle(QStringLiteral("Brisa Internet"));
    OkButton = makeButton(QStringLiteral("OkButton"));
    applySkin(QStringLiteral("MESSAGEBOX"), OkButton);

    // Captions: "yes/no" style boxes use their own pair of texts.
    unsigned okText = 6, cancelText = 7;
    if (iconType == 4) {
        okText = 13;
        cancelText = 14;
    } else if (iconType == 5) {
        cancelText = 16;
    }
    OkButton->setText(platform::GetLanguageString(okText));
    CancleImButton->setText(platform::GetLanguageString(cancelText));

    connect(OkButton, &QAbstractButton::clicked, this, &TMessageBoxForm::OkButtonClick);
    connect(CancleImButton, &QAbstractButton::clicked, this, &TMessageBoxForm::CancleImButtonClick);
    connect(ImImage_Close, &skin::TImImage::clicked, this, &TMessageBoxForm::ImImage_CloseClick);

    showIcon();
    layoutButtons();
    centreOver(owner);
}

void TMessageBoxForm::showIcon()
{
    InforImage->setVisible(m_iconType == 1);
    WarningImage->setVisible(m_iconType == 2);
    QuestionImage->setVisible(m_iconType == 3 || m_iconType == 4 || m_iconType == 16);
}

void TMessageBoxForm::layoutButtons()
{
    const int buttonWidth = OkButton->width();
    if (m_buttonMode == kButtonNo) {
        OkButton->hide();
        CancleImButton->hide();
        ImImage_Close->hide();
        placeText(kTextTopWithoutButtons);
        return;
    }
    if (m_buttonMode == kButtonDouble) {
        const int gap = 20;
        const int left = (kWidth - 2 * buttonWidth - gap) / 2;
        OkButton->move(left, kButtonTop);
        CancleImButton->move(left + buttonWidth + gap, kButtonTop);
        OkButton->show();
        CancleImButton->show();
        return;
    }
    // Single, the two non-modal notices and any unknown mode: OK alone, centred.
    OkButton->move((kWidth - buttonWidth) / 2, kButtonTop);
    OkButton->show();
    CancleImButton->hide();
}

void TMessageBoxForm::OkButtonClick()
{
    if (m_buttonMode == kButtonNoModal) {
        emit noticeAcknowledged();
        return;
    }
    done(kResultOk);
}

void TMessageBoxForm::CancleImButtonClick() { done(kResultCancel); }

void TMessageBoxForm::ImImage_CloseClick()
{
    if (m_buttonMode == kButtonNo)
        return;
    if (m_buttonMode == kButtonNoModal) {
        emit noticeAcknowledged();
        return;
    }
    done(kResultCancel);
}

void TMessageBoxForm::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        OkButton->isVisible()) {
        OkButtonClick();
        return;
    }
    BoxFrame::keyPressEvent(event);
}

// Escape and the window system's close act as the close image; a box without buttons cannot
// be closed by the user.
void TMessageBoxForm::reject()
{
    if (m_buttonMode == kButtonNo)
        return;
    ImImage_CloseClick();
}

// close() from the program (the call window ending its notice) closes the box; a close from the
// window system goes the way of the close image.
void TMessageBoxForm::closeEvent(QCloseEvent *event)
{
    if (event->spontaneous()) {
        reject();
        if (isVisible())
            event->ignore();
        return;
    }
    setResult(kResultCancel);
    QWidget::closeEvent(event);
}

int runMessageBox(QWidget *owner, const QString &text, int iconType, const QString &buttonMode)
{
    TMessageBoxForm box(owner, iconType, buttonMode);
    if (buttonMode == kButtonSingle)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setMessageText(text);
    const int result = platform::execDialog(box);
    return result == kResultOk ? 1 : 2;
}

void installProgramMessageBoxes()
{
    platform::setMessageBoxHandler(
        [](QWidget *owner, const QString &text, int iconType, bool twoButtons) {
            return runMessageBox(owner, text, iconType, twoButtons ? kButtonDouble : kButtonSingle);
        });
}

}  // namespace boxes
