#include "NewMsgForm.h"

#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
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
    layout->addWidget(Label_Title);

    Label_Text = new QLabel(this);
    Label_Text->setObjectName(QStringLiteral("Label_Text"));
    Label_Text->setTextFormat(Qt::PlainText);
    Label_Text->setWordWrap(true);
    Label_Text->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label_Text, 1);

    const QString okCaption = platform::GetLanguageString(6);
    Button_Close = new QPushButton(okCaption.isEmpty() ? QStringLiteral("OK") : okCaption, this);
    Button_Close->setObjectName(QStringLiteral("Button_Close"));
    Button_Close->setFixedWidth(80);
    layout->addWidget(Button_Close, 0, Qt::AlignHCenter);
    connect(Button_Close, &QPushButton::clicked, this, &TNewMsgForm::Button_CloseClick);

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

TNewMsgPopups::~TNewMsgPopups()
{
    releaseNewSmsPopup();
    closeCallPopup();
}

void TNewMsgPopups::showNewSmsPopup(const QString &text, bool aboveCallPopup)
{
    if (m_newSms)
        return;
    // Owned by the owner window (or by itself when there is none) and freed when it closes.
    m_newSms = new TNewMsgForm(m_owner, TNewMsgForm::kNewSms, text);
    m_newSms->setAttribute(Qt::WA_DeleteOnClose);
    m_newSms->placeAtBottomRight(aboveCallPopup ? 1 : 0);
    m_newSms->show();
}

void TNewMsgPopups::releaseNewSmsPopup()
{
    if (m_newSms)
        m_newSms->close();  // deletes it
}

void TNewMsgPopups::showCallPopup(const QString &number)
{
    if (m_call)
        return;
    // No parent: this function owns it, and nothing else may free it while it runs.
    auto popup = std::make_unique<TNewMsgForm>(nullptr, TNewMsgForm::kIncomingCall, number);
    m_call = popup.get();
    popup->placeAtBottomRight(0);
    platform::execDialog(*popup);
}

void TNewMsgPopups::setCallPopupText(const QString &number)
{
    if (m_call)
        m_call->setText(number);
}

void TNewMsgPopups::closeCallPopup()
{
    if (m_call)
        m_call->reject();
}
