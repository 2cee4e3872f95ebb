// What the message box and the progress box share: a 238 x 150 borderless box with a caption
// strip, two logos, a close image, an icon, and a text shown in a one-line-or-so label when
// short and in a scrolling memo when long.
#pragma once

#include "skin/ImButton.h"
#include "skin/ImImage.h"
#include "skin/SkinControls.h"

#include <QDialog>
#include <QLabel>
#include <QString>
#include <QTextEdit>

namespace boxes {

// Button modes of the boxes.
inline const QString kButtonSingle = QStringLiteral("MSG_BUTTON_SINGLE");
inline const QString kButtonDouble = QStringLiteral("MSG_BUTTON_DOUBLE");
inline const QString kButtonNo = QStringLiteral("MSG_BUTTON_NO");
inline const QString kButtonNoModal = QStringLiteral("MSG_BUTTON_NOMODAL");
inline const QString kNoneModal = QStringLiteral("MSG_NONE_MODAL");

// Results a box ends with.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;

class BoxFrame : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 238;
    static constexpr int kHeight = 150;
    static constexpr int kButtonTop = 116;
    static constexpr int kTextTop = 62;
    static constexpr int kTextTopWithoutButtons = 73;

    // Shows the text in the label when it has fewer than labelLimit characters, else in the memo.
    void setBoxText(const QString &text, int labelLimit);
    QString boxText() const { return m_text; }

    skin::BackImage *MessageBKImage;
    skin::BackImage *BgImage;
    skin::BackImage *CaptionImage;
    skin::SkinImage *LogoImage;
    skin::SkinImage *AMLogoImage;
    QLabel *MessageStrLabel;
    QTextEdit *MessageMemo;
    skin::SkinImage *InforImage;
    skin::SkinImage *WarningImage;
    skin::SkinImage *QuestionImage;
    skin::TImImage *ImImage_Close;
    skin::TImButton *CancleImButton;

protected:
    explicit BoxFrame(QWidget *owner);

    // Applies the skin keys of the box ("<prefix>.BKIMAGE" and so on) with a manager of its own.
    void applySkin(const QString &prefix, skin::TImButton *okButton);
    // Moves the text controls to the given top.
    void placeText(int top);
    void centreOver(QWidget *owner);
    skin::TImButton *makeButton(const QString &name);

private:
    QString m_text;
};

}  // namespace boxes
