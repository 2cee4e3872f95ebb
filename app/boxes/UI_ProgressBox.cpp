#include "UI_ProgressBox.h"

#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

#include <QCloseEvent>

namespace boxes {

TProgressBoxForm::TProgressBoxForm(QWidget *owner, const QString &buttonMode)
    : BoxFrame(owner), m_buttonMode(buttonMode == kButtonSingle ? kButtonSingle : kButtonNo)
{
    setObjectName(QStringLiteral("ProgressBoxForm"));
    setWindowTitle(QStringLiteral("Brisa Internet"));
    applySkin(QStringLiteral("PROGRESSBOX"), nullptr);
    InforImage->show();
    CancleImButton->setText(platform::GetLanguageString(text::kCancel));
    connect(CancleImButton, &QAbstractButton::clicked, this,
            &TProgressBoxForm::CancleImButtonClick);
    connect(ImImage_Close, &skin::TImImage::clicked, this, &TProgressBoxForm::ImImage_CloseClick);

    if (m_buttonMode == kButtonSingle) {
        CancleImButton->move((kWidth - CancleImButton->width()) / 2, kButtonTop);
        CancleImButton->show();
        ImImage_Close->show();
    } else {
        CancleImButton->hide();
        ImImage_Close->hide();
        placeText(kTextTopWithoutButtons);
    }
    centreOver(owner);
}

void TProgressBoxForm::CancleImButtonClick() { m_cancelRequested = true; }
void TProgressBoxForm::ImImage_CloseClick() { m_cancelRequested = true; }

// Escape asks to cancel like the button, where there is one; the box stays for its caller.
void TProgressBoxForm::reject()
{
    if (m_buttonMode == kButtonSingle)
        m_cancelRequested = true;
}

// Only the caller closes the box; a close from the window system is a cancel request at most.
void TProgressBoxForm::closeEvent(QCloseEvent *event)
{
    if (event->spontaneous()) {
        reject();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);  // not QDialog's, which would turn the close into a reject
}

}  // namespace boxes
