#include "BoxFrame.h"

#include "skin/DesignPictures.h"
#include "skin/FaceManager.h"
#include "skin/Logo.h"

#include <QGuiApplication>
#include <QScreen>

namespace boxes {

namespace {

const QColor kTextColour(0x1F, 0x3A, 0x56);

QFont boxFont(const QFont &base)
{
    QFont font = base;
    font.setPixelSize(12);
    return font;
}

}  // namespace

BoxFrame::BoxFrame(QWidget *owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFixedSize(kWidth, kHeight);
    setFont(boxFont(font()));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xF4, 0xF7, 0xFB));
    colours.setColor(QPalette::WindowText, kTextColour);
    colours.setColor(QPalette::Text, kTextColour);
    setPalette(colours);
    setAutoFillBackground(true);

    MessageBKImage = new skin::BackImage(this);
    MessageBKImage->setObjectName(QStringLiteral("MessageBKImage"));
    MessageBKImage->setGeometry(0, 0, kWidth, kHeight);

    CaptionImage = new skin::BackImage(this);
    CaptionImage->setObjectName(QStringLiteral("CaptionImage"));
    CaptionImage->setGeometry(0, 0, kWidth, 25);

    BgImage = new skin::BackImage(this);
    BgImage->setObjectName(QStringLiteral("BgImage"));
    BgImage->setGeometry(4, 28, 230, 118);

    LogoImage = new skin::SkinImage(this);
    LogoImage->setObjectName(QStringLiteral("LogoImage"));
    LogoImage->setGeometry(5, 4, 16, 16);
    skin::LoadSmallLogo(LogoImage);
    AMLogoImage = new skin::SkinImage(this);
    AMLogoImage->setObjectName(QStringLiteral("AMLogoImage"));
    AMLogoImage->setGeometry(LogoImage->geometry().right() + 1 + 10, 4, 16, 16);
    skin::LoadSecondLogo(AMLogoImage);

    const auto icon = [this](const char *name, skin::MessageIcon kind) {
        auto *image = new skin::SkinImage(this);
        image->setObjectName(QLatin1String(name));
        image->setGeometry((kWidth - 26) / 2, 34, 26, 26);
        image->setPicture(skin::messageIconPicture(kind));
        image->hide();
        return image;
    };
    InforImage = icon("InforImage", skin::MessageIcon::Information);
    WarningImage = icon("WarningImage", skin::MessageIcon::Warning);
    QuestionImage = icon("QuestionImage", skin::MessageIcon::Question);

    MessageStrLabel = new QLabel(this);
    MessageStrLabel->setObjectName(QStringLiteral("MessageStrLabel"));
    MessageStrLabel->setAlignment(Qt::AlignCenter);
    MessageStrLabel->setWordWrap(true);
    MessageStrLabel->setTextFormat(Qt::PlainText);

    MessageMemo = new QTextEdit(this);
    MessageMemo->setObjectName(QStringLiteral("MessageMemo"));
    MessageMemo->setReadOnly(true);
    MessageMemo->setFrameShape(QFrame::NoFrame);
    MessageMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MessageMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MessageMemo->setFocusPolicy(Qt::NoFocus);
    MessageMemo->viewport()->setAutoFillBackground(false);
    MessageMemo->setAutoFillBackground(false);
    MessageMemo->setStyleSheet(QStringLiteral("QTextEdit { background: transparent; color: %1; }")
                                   .arg(kTextColour.name()));
    MessageMemo->document()->setDocumentMargin(1);
    MessageMemo->hide();
    placeText(kTextTop);

    ImImage_Close = new skin::TImImage(this);
    ImImage_Close->setObjectName(QStringLiteral("ImImage_Close"));
    ImImage_Close->setGeometry(kWidth - 16 - 5, 4, 16, 16);
    ImImage_Close->setPicture(skin::closePicture(false));
    ImImage_Close->setHotPicture(skin::closePicture(true));
    ImImage_Close->setCursor(Qt::PointingHandCursor);

    CancleImButton = makeButton(QStringLiteral("CancleImButton"));
}

skin::TImButton *BoxFrame::makeButton(const QString &name)
{
    auto *button = new skin::TImButton(this);
    button->setObjectName(name);
    button->setLooks(skin::TImButtonLooks::ibkFullPicture);
    button->setPictureCount(3);
    button->setShowFullPicCaption(true);
    button->setTransparent(true);
    button->setAnimateSpeed(200);
    button->setFocusRect(false);
    button->setFontColor(kTextColour);
    button->resize(72, 24);
    return button;
}

void BoxFrame::placeText(int top)
{
    MessageStrLabel->setGeometry((kWidth - 225) / 2, top, 225, 49);
    MessageMemo->setGeometry((kWidth - 217) / 2, top, 217, 49);
}

void BoxFrame::setBoxText(const QString &text, int labelLimit)
{
    m_text = text;
    // Characters, not UTF-16 units: a character outside the BMP counts once.
    const bool fitsLabel = text.toUcs4().size() < labelLimit;
    if (fitsLabel) {
        MessageStrLabel->setText(text);
        MessageStrLabel->show();
        MessageMemo->clear();
        MessageMemo->hide();
    } else {
        MessageMemo->setPlainText(text);
        QTextCursor all(MessageMemo->document());
        all.select(QTextCursor::Document);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        all.mergeBlockFormat(centred);
        MessageMemo->show();
        MessageStrLabel->clear();
        MessageStrLabel->hide();
    }
}

void BoxFrame::applySkin(const QString &prefix, skin::TImButton *okButton)
{
    const skin::ScopedFaceManager faces(skin::FaceManager::kVariantOthers);
    if (!faces.chosen())
        return;
    faces.apply(MessageBKImage, prefix + QStringLiteral(".BKIMAGE"));
    faces.apply(BgImage, prefix + QStringLiteral(".BGIMAGE"));
    faces.apply(CaptionImage, prefix + QStringLiteral(".CAPTIONIMAGE"));
    faces.apply(CancleImButton, prefix + QStringLiteral(".BTCANCEL"));
    if (okButton)
        faces.apply(okButton, prefix + QStringLiteral(".BTOK"));
}

void BoxFrame::centreOver(QWidget *owner)
{
    QRect area;
    if (owner && owner->window()->isVisible())
        area = owner->window()->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isNull())
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
}

}  // namespace boxes
