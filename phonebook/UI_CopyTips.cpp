#include "UI_CopyTips.h"

#include "FeaturePage.h"

#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

#include <QCoreApplication>

using platform::GetLanguageString;

namespace {

constexpr int kWidth = 300, kHeight = 110, kCaptionHeight = 25;
const QColor kTextColour(0x1F, 0x3A, 0x56);

const feature::WindowSkin kSkin{nullptr,
                                nullptr,
                                {{"PBCOPYPROGRESS.COPYPROGBKIMAGE", "CopyProgBkImage"},
                                 {"PBCOPYPROGRESS.CAPTIONIMAGE", "CaptionImage"},
                                 {"PBCOPYPROGRESS.BTSTOP", "BtStop"}}};

}  // namespace

TFrmCopyTips::TFrmCopyTips(feature::FeatureHost &host)
    : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
{
    (void)host;
    setObjectName(QStringLiteral("TFrmCopyTips"));
    setWindowTitle(GetLanguageString(text::kPbContacts));
    setFixedSize(kWidth, kHeight);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xF4, 0xF7, 0xFB));
    colours.setColor(QPalette::WindowText, kTextColour);
    setPalette(colours);
    setAutoFillBackground(true);

    CopyProgBkImage = new skin::BackImage(this);
    CopyProgBkImage->setObjectName(QStringLiteral("CopyProgBkImage"));
    CopyProgBkImage->setGeometry(0, 0, kWidth, kHeight);
    CaptionImage = new skin::BackImage(this);
    CaptionImage->setObjectName(QStringLiteral("CaptionImage"));
    CaptionImage->setGeometry(0, 0, kWidth, kCaptionHeight);
    LbCaption = new QLabel(windowTitle(), this);
    LbCaption->setObjectName(QStringLiteral("LbCaption"));
    LbCaption->setGeometry(8, 0, kWidth - 16, kCaptionHeight);
    QFont bold = LbCaption->font();
    bold.setPixelSize(12);
    bold.setBold(true);
    LbCaption->setFont(bold);
    LbTips = new QLabel(this);
    LbTips->setObjectName(QStringLiteral("LbTips"));
    LbTips->setGeometry(12, 32, kWidth - 24, 18);
    PBCopy = new QProgressBar(this);
    PBCopy->setObjectName(QStringLiteral("PBCopy"));
    PBCopy->setRange(0, 100);
    PBCopy->setGeometry(12, 54, kWidth - 24, 18);
    BtStop = new QPushButton(GetLanguageString(text::kPbStop), this);
    BtStop->setObjectName(QStringLiteral("BtStop"));
    BtStop->setGeometry(kWidth - 12 - 72, 78, 72, 24);
    connect(BtStop, &QPushButton::clicked, this, [this] { m_stopPressed = true; });
    applySkin();
}

void TFrmCopyTips::applySkin()
{
    feature::WearSkin(*this, kSkin);
    // Light text on the skin's caption strip; the window's own text colour without one.
    QPalette caption = LbCaption->palette();
    caption.setColor(QPalette::WindowText,
                     CaptionImage->Picture().isNull() ? kTextColour : QColor(Qt::white));
    LbCaption->setPalette(caption);
}

void TFrmCopyTips::Open(const QString &text, const std::vector<QWidget *> &disabled)
{
    m_stopPressed = false;
    m_disabled.clear();
    // A window this one belongs to stays enabled, or Stop could not be pressed.
    auto holdsThis = [this](QWidget *widget) {
        for (QWidget *up = parentWidget(); up; up = up->parentWidget())
            if (up == widget)
                return true;
        return false;
    };
    for (QWidget *widget : disabled)
        if (widget && widget->isEnabled() && !holdsThis(widget)) {
            widget->setEnabled(false);
            m_disabled.emplace_back(widget);
        }
    LbTips->setText(text);
    PBCopy->setValue(0);
    // In the middle of the window the run belongs to.
    for (QWidget *widget : disabled)
        if (widget && widget->window()->isVisible()) {
            move(widget->window()->frameGeometry().center() - rect().center());
            break;
        }
    show();
    raise();
    letEventsRun();
}

void TFrmCopyTips::SetProgress(int percent)
{
    PBCopy->setValue(percent);
    letEventsRun();
}

void TFrmCopyTips::SetText(const QString &text)
{
    LbTips->setText(text);
    letEventsRun();
}

void TFrmCopyTips::Finish()
{
    hide();
    for (const QPointer<QWidget> &widget : m_disabled)
        if (widget)
            widget->setEnabled(true);
    m_disabled.clear();
}

void TFrmCopyTips::letEventsRun()
{
    // Input to the disabled windows is dropped by Qt; paints, timers and this window's Stop run.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
