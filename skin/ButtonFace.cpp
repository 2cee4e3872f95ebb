#include "skin/ButtonFace.h"

#include <QEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace skin {

namespace {

// The rounded ends of a button picture keep their width when the button is wider or narrower
// than the picture; only the middle is stretched.
constexpr int kEndWidth = 8;
// Room around the caption, so that no caption is drawn over the picture's edge.
constexpr int kCaptionMargin = 6;

}  // namespace

ButtonFace::ButtonFace(QPushButton &button, const QPixmap &strip)
    : QObject(&button), m_button(button), m_strip(strip)
{
    m_textColor = button.palette().color(QPalette::ButtonText);
    m_hotTextColor = m_textColor;
    button.installEventFilter(this);
}

void ButtonFace::wear(QPushButton &button, const QPixmap &strip)
{
    if (ButtonFace *worn = of(button)) {
        button.removeEventFilter(worn);
        worn->deleteLater();
        worn->setParent(nullptr);
        worn->setObjectName({});
    }
    if (strip.isNull()) {
        button.update();
        return;
    }
    auto *face = new ButtonFace(button, strip);  // owned by the button
    face->setObjectName(QStringLiteral("ButtonFace"));
    button.setFlat(true);
    // The picture's own height, unless the caption's font needs more.
    const int captionHeight = button.fontMetrics().height() + 6;
    button.setFixedHeight(std::max(face->frameHeight(), captionHeight));
    const int captionWidth =
        button.fontMetrics().horizontalAdvance(button.text()) + 2 * kCaptionMargin;
    button.setMinimumWidth(std::max(button.minimumWidth(), captionWidth));
    button.update();
}

ButtonFace *ButtonFace::of(const QPushButton &button)
{
    return button.findChild<ButtonFace *>(QStringLiteral("ButtonFace"),
                                          Qt::FindDirectChildrenOnly);
}

void ButtonFace::setTextColor(const QColor &color)
{
    m_textColor = color;
    m_button.update();
}

void ButtonFace::setHotTextColor(const QColor &color)
{
    m_hotTextColor = color;
    m_button.update();
}

int ButtonFace::frameIndex() const
{
    if (!m_button.isEnabled())
        return 1;
    if (m_button.isDown() || m_button.isChecked())
        return 2;
    return 0;
}

int ButtonFace::frameHeight() const
{
    return int(m_strip.deviceIndependentSize().height()) / kFrames;
}

bool ButtonFace::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_button)
        return false;
    switch (event->type()) {
    case QEvent::Paint:
        paint();
        return true;
    case QEvent::Enter:
        m_hot = true;
        m_button.update();
        break;
    case QEvent::Leave:
        m_hot = false;
        m_button.update();
        break;
    default: break;
    }
    return false;
}

void ButtonFace::paint()
{
    QPainter painter(&m_button);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Source rectangles are in the picture's own pixels, which are twice as many on a 2x skin.
    const qreal ratio = m_strip.devicePixelRatio();
    const int sourceFrame = m_strip.height() / kFrames;
    const int top = frameIndex() * sourceFrame;
    const int sourceWidth = m_strip.width();
    const QRect area = m_button.rect();
    const int end = std::min(kEndWidth, area.width() / 2);
    const int sourceEnd = std::min(int(end * ratio), sourceWidth / 2);
    painter.drawPixmap(QRect(0, 0, end, area.height()), m_strip,
                       QRect(0, top, sourceEnd, sourceFrame));
    painter.drawPixmap(QRect(end, 0, area.width() - 2 * end, area.height()), m_strip,
                       QRect(sourceEnd, top, sourceWidth - 2 * sourceEnd, sourceFrame));
    painter.drawPixmap(QRect(area.width() - end, 0, end, area.height()), m_strip,
                       QRect(sourceWidth - sourceEnd, top, sourceEnd, sourceFrame));

    QRect caption = area.adjusted(kCaptionMargin / 2, 0, -kCaptionMargin / 2, 0);
    if (frameIndex() == 2)
        caption.translate(1, 1);
    QColor color = m_hot && m_button.isEnabled() ? m_hotTextColor : m_textColor;
    if (!m_button.isEnabled())
        color.setAlpha(120);
    if (!m_button.icon().isNull()) {
        const QSize iconSize = m_button.iconSize();
        const int textWidth = m_button.text().isEmpty()
                                  ? 0
                                  : m_button.fontMetrics().horizontalAdvance(m_button.text()) + 4;
        const int left = caption.left() + (caption.width() - iconSize.width() - textWidth) / 2;
        m_button.icon().paint(&painter, QRect(QPoint(left, caption.top() + (caption.height() -
                                                                                iconSize.height()) /
                                                                                   2),
                                              iconSize),
                              Qt::AlignCenter,
                              m_button.isEnabled() ? QIcon::Normal : QIcon::Disabled);
        caption.setLeft(left + iconSize.width() + 4);
        caption.setWidth(textWidth);
    }
    if (m_button.menu()) {
        // The drop-down mark of a button with a menu.
        const int x = area.right() - 12, y = area.center().y();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPolygon(QPolygon({QPoint(x, y - 2), QPoint(x + 7, y - 2), QPoint(x + 3, y + 2)}));
        caption.setRight(x - 4);
    }
    if (m_button.hasFocus()) {
        // Keyboard focus: a dotted frame inside the picture's edge.
        painter.setPen(QPen(color, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(3, 3, -4, -4));
    }
    painter.setPen(color);
    painter.setFont(m_button.font());
    painter.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine,
                     m_button.text());
}

}  // namespace skin
