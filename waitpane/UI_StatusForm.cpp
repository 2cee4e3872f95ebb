#include "UI_StatusForm.h"

#include "skin/FaceManager.h"
#include "skin/Logo.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace waitpane {

TStatusForm::TStatusForm(int kind, const QString &caption, const QString &programDir, Hooks hooks)
    : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("StatusForm"));
    setFixedSize(kWidth, kHeight);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(caption);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xF4, 0xF7, 0xFB));
    setPalette(colours);
    setAutoFillBackground(true);

    WaitFrmBKImage = new skin::BackImage(this);
    WaitFrmBKImage->setObjectName(QStringLiteral("WaitFrmBKImage"));
    WaitFrmBKImage->setGeometry(0, 0, kWidth, 150);
    CaptionImage = new skin::BackImage(this);
    CaptionImage->setObjectName(QStringLiteral("CaptionImage"));
    CaptionImage->setGeometry(0, 0, kWidth, 25);
    LogoImage = new skin::SkinImage(this);
    LogoImage->setObjectName(QStringLiteral("LogoImage"));
    LogoImage->setGeometry(5, 3, 16, 16);
    AMLogoImage = new skin::SkinImage(this);
    AMLogoImage->setObjectName(QStringLiteral("AMLogoImage"));
    CaptionLabel = new QLabel(caption, this);
    CaptionLabel->setObjectName(QStringLiteral("CaptionLabel"));
    CaptionLabel->setGeometry(104, 2, 132, 18);
    CaptionLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    CaptionLabel->setTextFormat(Qt::PlainText);
    QFont captionFont = font();
    captionFont.setPixelSize(12);
    captionFont.setBold(true);
    CaptionLabel->setFont(captionFont);
    QPalette captionColours = CaptionLabel->palette();
    captionColours.setColor(QPalette::WindowText, Qt::white);
    CaptionLabel->setPalette(captionColours);
    Animate1 = new AnimationStrip(this);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setGeometry(5, 27, 227, 120);
    Animate1->setCursor(Qt::WaitCursor);

    applySkin();
    skin::LoadSmallLogo(LogoImage);
    // The second logo stays hidden; the caption follows the first one.
    AMLogoImage->setGeometry(LogoImage->geometry().right() + 1, 3, 16, 16);
    skin::LoadSecondLogo(AMLogoImage);
    AMLogoImage->hide();
    const int captionLeft = LogoImage->geometry().right() + 1 + 6;
    CaptionLabel->setGeometry(captionLeft, 2, kWidth - captionLeft - 6, 21);

    const QString animation = animationFile(kind, programDir);
    if (!animation.isEmpty() && Animate1->open(animation)) {
        Animate1->setProperty("animationFile", animation);  // readable by tools and tests
        Animate1->play();
    }

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));

    Timer1.setInterval(kCloseCheckInterval);
    connect(&Timer1, &QTimer::timeout, this, &TStatusForm::Timer1Timer);
    Timer1.start();
}

QString TStatusForm::animationFile(int kind, const QString &programDir)
{
    if (kind == 1)
        return programDir + QStringLiteral("/resource/avi/search.png");
    if (kind == 2)
        return programDir + QStringLiteral("/resource/avi/select.png");
    return {};
}

void TStatusForm::applySkin()
{
    const skin::ScopedFaceManager faces(skin::FaceManager::kVariantOthers);
    if (!faces.chosen()) {
        // No skin: a plain dark strip, so the white caption can still be read.
        QPalette strip = CaptionImage->palette();
        strip.setColor(QPalette::Window, QColor(0x2A, 0x4F, 0x8C));
        CaptionImage->setPalette(strip);
        CaptionImage->setAutoFillBackground(true);
        return;
    }
    faces.apply(CaptionImage, QStringLiteral("WAITPANE.CAPTIONIMAGE"));
    faces.apply(WaitFrmBKImage, QStringLiteral("WAITPANE.WAITFRMBKIMAGE"));
}

void TStatusForm::Timer1Timer()
{
    if (m_closing)
        return;
    if (m_hooks.closeRequested && m_hooks.closeRequested()) {
        Timer1.stop();
        closeForGood();
        if (m_hooks.closed)
            m_hooks.closed();
    }
}

void TStatusForm::CancelAction()
{
    if (m_hooks.cancel)
        m_hooks.cancel();
}

void TStatusForm::closeForGood()
{
    m_closing = true;
    Animate1->stop();
    close();
}

void TStatusForm::closeEvent(QCloseEvent *event)
{
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

void TStatusForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        CancelAction();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace waitpane
