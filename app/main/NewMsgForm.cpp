#include "NewMsgForm.h"

#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

const QColor kCaptionColour(0x2B, 0x5C, 0x8A);
const QColor kBodyColour(0xF4, 0xF7, 0xFB);
const QColor kTextColour(0x1F, 0x3A, 0x56);

}  // namespace

TNewMsgForm::TNewMsgForm(QWidget *owner, int kind, const QString &text)
    : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_kind(kind)
{
    setObjectName(QStringLiteral("NewMsgForm"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(platform::GetLanguageString(kind == kIncomingCall ? 1013 : 1012));
    // A notice must not take the focus away from what the user is typing elsewhere.
    setAttribute(Qt::WA_ShowWithoutActivating);

    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBodyColour);
    colours.setColor(QPalette::WindowText, kTextColour);
    setPalette(colours);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(4);

    Label_Title = new QLabel(windowTitle(), this);
    Label_Title->setObjectName(QStringLiteral("Label_Title"));
    Label_Title->setFixedHeight(22);
    Label_Title->setIndent(8);
    Label_Title->setAutoFillBackground(true);
    QPalette caption = Label_Title->palette();
    caption.setColor(QPalette::Window, kCaptionColour);
    caption.setColor(QPalette::WindowText, Qt::white);
    Label_Title->setPalette(caption);
    QFont bold = Label_Title->font();
    bold.setBold(true);
    Label_Title->setFont(bold);
    Label_Title->setCursor(Qt::SizeAllCursor);
    Label_Title->installEventFilter(this);
    layout->addWidget(Label_Title);

    Label_Text = new QLabel(this);
    Label_Text->setObjectName(QStringLiteral("Label_Text"));
    Label_Text->setTextFormat(Qt::PlainText);
    Label_Text->setWordWrap(true);
    Label_Text->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label_Text, 1);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    const auto buttonText = [](int number, const char *fallback) {
        const QString language = platform::GetLanguageString(number);
        return language.isEmpty() ? QString::fromLatin1(fallback) : language;
    };
    SMS_IMbutton = new QPushButton(buttonText(2005, "Read"), this);
    SMS_IMbutton->setObjectName(QStringLiteral("SMS_IMbutton"));
    SMS_IMbutton->setFixedWidth(80);
    SMS_IMbutton->setVisible(kind == kNewSms);
    buttons->addWidget(SMS_IMbutton);
    connect(SMS_IMbutton, &QPushButton::clicked, this, &TNewMsgForm::SMS_IMbuttonClick);
    Button_Close = new QPushButton(buttonText(6, "OK"), this);
    Button_Close->setObjectName(QStringLiteral("Button_Close"));
    Button_Close->setFixedWidth(80);
    buttons->addWidget(Button_Close);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(Button_Close, &QPushButton::clicked, this, &TNewMsgForm::Button_CloseClick);

    Timer_Close = new QTimer(this);
    Timer_Close->setObjectName(QStringLiteral("Timer_Close"));
    Timer_Close->setSingleShot(true);
    Timer_Close->setInterval(kind == kIncomingCall ? kCallLifetimeMs : kNewSmsLifetimeMs);
    connect(Timer_Close, &QTimer::timeout, this, &TNewMsgForm::Button_CloseClick);
    Timer_Close->start();

    setText(text);
}

QString TNewMsgForm::text() const { return Label_Text->text(); }

void TNewMsgForm::setText(const QString &text) { Label_Text->setText(text); }

void TNewMsgForm::placeAtBottomRight(int stacked)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.x() + area.width() - width(),
         area.y() + area.height() - height() - 60 - stacked * height());
}

void TNewMsgForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(kCaptionColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TNewMsgForm::Button_CloseClick() { reject(); }

void TNewMsgForm::SMS_IMbuttonClick()
{
    // Taken first: closing may free the notice.
    const std::function<void()> open = m_open;
    reject();
    if (open)
        open();
}

bool TNewMsgForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Label_Title)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() != Qt::LeftButton)
            break;
        m_dragging = true;
        m_dragOffset = press->globalPosition().toPoint() - pos();
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragOffset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: m_dragging = false; break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

NewMsgPopups::~NewMsgPopups()
{
    releaseNewSmsPopup();
    closeCallPopup();
}

void NewMsgPopups::showNewSmsPopup(const QString &text, bool aboveCallPopup)
{
    if (m_newSms)
        return;
    // Owned by the owner window (or by itself when there is none) and freed when it closes.
    m_newSms = new TNewMsgForm(m_owner, TNewMsgForm::kNewSms, text);
    m_newSms->setAttribute(Qt::WA_DeleteOnClose);
    m_newSms->setOpenAction(m_openNewSms);
    m_newSms->placeAtBottomRight(aboveCallPopup ? 1 : 0);
    m_newSms->show();
}

void NewMsgPopups::releaseNewSmsPopup()
{
    if (m_newSms)
        m_newSms->close();  // deletes it
}

void NewMsgPopups::showCallPopup(const QString &number)
{
    if (m_call)
        return;
    // No parent: this function owns it, and nothing else may free it while it runs.
    auto popup = std::make_unique<TNewMsgForm>(nullptr, TNewMsgForm::kIncomingCall, number);
    m_call = popup.get();
    popup->placeAtBottomRight(0);
    platform::execDialog(*popup);
}

void NewMsgPopups::setCallPopupText(const QString &number)
{
    if (m_call)
        m_call->setText(number);
}

void NewMsgPopups::closeCallPopup()
{
    if (m_call)
        m_call->reject();
}
