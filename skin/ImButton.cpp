#include "skin/ImButton.h"

#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace skin {

TCustomImButton::TCustomImButton(QWidget *parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    m_color = palette().color(QPalette::Button);
    m_fontColor = palette().color(QPalette::ButtonText);
    // The embossed caption of a disabled button: a white highlight and a slate shadow, which
    // stay readable on the pale disabled frames of the skin.
    QPalette colours = palette();
    colours.setColor(QPalette::Light, Qt::white);
    colours.setColor(QPalette::Dark, QColor(0x6F, 0x7E, 0x8E));
    setPalette(colours);
    Timer_Hover.setInterval(kHoverInterval);
    connect(&Timer_Hover, &QTimer::timeout, this, &TCustomImButton::Timer_HoverTimer);
    Timer_Animate.setInterval(m_animateSpeed);
    connect(&Timer_Animate, &QTimer::timeout, this, &TCustomImButton::Timer_AnimateTimer);
}

void TCustomImButton::setLooks(TImButtonLooks looks)
{
    m_looks = looks;
    update();
}

void TCustomImButton::setPicture(const QPixmap &picture, bool isIcon)
{
    m_picture = picture;
    m_pictureIsIcon = isIcon;
    update();
}

void TCustomImButton::setPictureCount(int count)
{
    m_pictureCount = std::max(count, 0);
    update();
}
void TCustomImButton::setAnimatePicture(const QPixmap &picture)
{
    m_animatePicture = picture;
    updateAnimationTimer();
    update();
}
void TCustomImButton::setAnimatedCount(int count)
{
    m_animatedCount = std::max(count, 0);
    update();
}
void TCustomImButton::setAnimated(bool animated)
{
    m_animated = animated;
    updateAnimationTimer();
    update();
}

void TCustomImButton::setAnimateSpeed(int milliseconds)
{
    m_animateSpeed = std::max(milliseconds, 1);
    Timer_Animate.setInterval(m_animateSpeed);
}

void TCustomImButton::setShowFullPicCaption(bool show)
{
    m_showFullPicCaption = show;
    update();
}
void TCustomImButton::setHotTextColor(const QColor &color)
{
    m_hotTextColor = color;
    update();
}
void TCustomImButton::setFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}
void TCustomImButton::setFocusRect(bool on)
{
    m_focusRect = on;
    update();
}
void TCustomImButton::setSpacing(int spacing)
{
    m_spacing = spacing;
    update();
}
void TCustomImButton::setTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}
void TCustomImButton::setColors(const TImButtonColors &colors)
{
    m_colors = colors;
    update();
}
void TCustomImButton::setColor(const QColor &color)
{
    m_color = color;
    update();
}

ImButtonDrawState TCustomImButton::drawState() const
{
    ImButtonDrawState state;
    // A checked button (the navigation row's current page) stays pushed in.
    state.pushed = isPushed() || isChecked();
    state.focused = hasFocus();
    state.hot = m_hot;
    state.animated = m_animated && !m_animatePicture.isNull();
    state.disabled = !isEnabled();
    return state;
}

int TCustomImButton::frameCount(int declaredCount, int pictureHeight, int buttonHeight)
{
    int count = declaredCount;
    if (count <= 0)
        count = buttonHeight > 0 ? pictureHeight / buttonHeight : 0;
    return std::max(count, 1);
}

ImButtonFrame TCustomImButton::chooseFrame(const ImButtonDrawState &state, int animationCounter,
                                           int pictureCount, int pictureHeight, int animatedCount,
                                           int animationHeight, int buttonHeight)
{
    ImButtonFrame frame;
    if (state.disabled) {
        frame.index = 1;
    } else if (state.pushed) {
        frame.index = 2;
    } else if (state.hot) {
        if (state.animated) {
            frame.fromAnimation = true;
            frame.index = animationCounter;
        } else {
            frame.index = 3;
        }
    }
    frame.count = frame.fromAnimation ? frameCount(animatedCount, animationHeight, buttonHeight)
                                      : frameCount(pictureCount, pictureHeight, buttonHeight);
    if (frame.index >= frame.count || frame.index < 0)
        frame.index = 0;
    return frame;
}

ImButtonFrame TCustomImButton::currentFrame() const
{
    return chooseFrame(drawState(), m_animationCounter, m_pictureCount, m_picture.height(),
                       m_animatedCount, m_animatePicture.height(), height());
}

QColor TCustomImButton::stateColor(const ImButtonDrawState &state) const
{
    QColor chosen;
    if (state.disabled)
        chosen = m_colors.DisabledColor;
    else if (state.pushed)
        chosen = m_colors.PushedColor;
    else if (state.hot)
        chosen = m_colors.HotColor;
    else
        chosen = m_colors.DefaultColor;
    return chosen.isValid() ? chosen : m_color;
}

void TCustomImButton::Timer_HoverTimer()
{
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        mouseLeft();
}

void TCustomImButton::Timer_AnimateTimer()
{
    const int count = frameCount(m_animatedCount, m_animatePicture.height(), height());
    m_animationCounter = (m_animationCounter + 1) % count;
    update();
}

void TCustomImButton::updateAnimationTimer()
{
    if (m_hot && m_animated && !m_animatePicture.isNull())
        Timer_Animate.start();
    else
        Timer_Animate.stop();
}

void TCustomImButton::mouseEntered()
{
    m_hot = true;
    m_animationCounter = 0;
    if (m_captured)
        m_pushed = true;
    Timer_Hover.start();
    updateAnimationTimer();
    update();
}

void TCustomImButton::mouseLeft()
{
    Timer_Hover.stop();
    m_hot = false;
    m_pushed = false;
    updateAnimationTimer();
    update();
}

void TCustomImButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    mouseEntered();
}

void TCustomImButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    mouseLeft();
}

void TCustomImButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && isEnabled()) {
        m_captured = true;
        m_pushed = true;
        update();
    }
    QAbstractButton::mousePressEvent(event);
}

void TCustomImButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // Cleared before the click runs: a click handler may open a modal window.
        m_captured = false;
        m_pushed = false;
        update();
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void TCustomImButton::mouseDoubleClickEvent(QMouseEvent *event) { mousePressEvent(event); }

void TCustomImButton::mouseMoveEvent(QMouseEvent *event)
{
    QAbstractButton::mouseMoveEvent(event);
    // While the button holds the mouse, leaving and coming back are seen here, whatever the
    // window system reports as enter and leave.
    if (!m_captured)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (!inside && (m_hot || m_pushed))
        mouseLeft();
    else if (inside && !m_hot)
        mouseEntered();
}

void TCustomImButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        // A disabled button never sees the release of a press it holds: let the press go, or
        // the button would look pushed again once enabled.
        m_captured = false;
        m_pushed = false;
    }
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
}

void TCustomImButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const ImButtonDrawState state = drawState();
    switch (m_looks) {
    case TImButtonLooks::ibkFullPicture:
        if (m_picture.isNull())
            drawNormal(painter, state, false);
        else
            drawFullPicture(painter, state);
        break;
    case TImButtonLooks::ibkFlat: drawNormal(painter, state, true); break;
    case TImButtonLooks::ibkWindowsXP: drawWindowsXP(painter, state); break;
    case TImButtonLooks::ibkNormal: drawNormal(painter, state, false); break;
    }
}

void TCustomImButton::drawFullPicture(QPainter &painter, const ImButtonDrawState &state)
{
    // The picture covers the whole button; where it is see-through the parent shows, which is
    // what painting the parent's background first achieves.
    const ImButtonFrame frame =
        chooseFrame(state, m_animationCounter, m_pictureCount, m_picture.height(), m_animatedCount,
                    m_animatePicture.height(), height());
    const QPixmap &strip = frame.fromAnimation ? m_animatePicture : m_picture;
    if (m_pictureIsIcon && !frame.fromAnimation) {
        painter.drawPixmap(0, 0, strip);
    } else {
        int frameHeight = strip.height() / frame.count;
        int frameTop = frame.index * frameHeight;
        if (frameHeight <= 0) {  // a strip shorter than its frame count: show it whole
            frameHeight = strip.height();
            frameTop = 0;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawPixmap(rect(), strip, QRect(0, frameTop, strip.width(), frameHeight));
    }
    if (m_showFullPicCaption) {
        QRect textRect = rect().adjusted(3, 3, -3, -3);
        QRect focusRect = rect().adjusted(4, 4, -4, -4);
        if (state.pushed) {
            textRect.translate(1, 1);
            focusRect.translate(1, 1);
        }
        drawCaption(painter, textRect, focusRect, state,
                    Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic);
    }
}

void TCustomImButton::drawNormal(QPainter &painter, const ImButtonDrawState &state, bool flat)
{
    const QColor color = stateColor(state);
    const QRect area = rect();
    if (!m_transparent)
        painter.fillRect(area, color);
    const QColor light = color.lighter(150);
    const QColor dark = color.darker(160);
    const bool drawFrame = !flat || state.hot || state.pushed;
    if (drawFrame) {
        const QColor topLeft = state.pushed ? dark : light;
        const QColor bottomRight = state.pushed ? light : dark;
        painter.setPen(topLeft);
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
    }

    QRect content = area.adjusted(3, 3, -3, -3);
    if (state.pushed)
        content.translate(1, 1);
    // Glyph: the state's frame of the picture at its own size, left of the caption.
    if (!m_picture.isNull()) {
        const ImButtonFrame frame =
            chooseFrame(state, 0, m_pictureCount, m_picture.height(), 0, 0, height());
        int frameHeight = m_picture.height() / frame.count;
        if (frameHeight <= 0)
            frameHeight = m_picture.height();
        const QRect source(0, frame.index * frameHeight, m_picture.width(), frameHeight);
        const int textWidth =
            text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text()) + m_spacing;
        const int groupWidth = source.width() + textWidth;
        const int left = content.left() + std::max(0, (content.width() - groupWidth) / 2);
        const int top = content.top() + (content.height() - frameHeight) / 2;
        painter.drawPixmap(QPoint(left, top), m_picture, source);
        content.setLeft(left + source.width() + m_spacing);
        drawCaption(painter, content, area.adjusted(4, 4, -4, -4), state,
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic);
        return;
    }
    drawCaption(painter, content, area.adjusted(4, 4, -4, -4), state,
                Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic);
}

void TCustomImButton::drawWindowsXP(QPainter &painter, const ImButtonDrawState &state)
{
    const QColor color = stateColor(state);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0, state.pushed ? color.darker(115) : color.lighter(125));
    gradient.setColorAt(1, state.pushed ? color.lighter(105) : color.darker(108));
    painter.setBrush(gradient);
    painter.setPen(state.hot ? m_hotTextColor : color.darker(170));
    painter.drawRoundedRect(area, 3, 3);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QRect textRect = rect().adjusted(3, 3, -3, -3);
    QRect focusRect = rect().adjusted(4, 4, -4, -4);
    if (state.pushed) {
        textRect.translate(1, 1);
        focusRect.translate(1, 1);
    }
    drawCaption(painter, textRect, focusRect, state,
                Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic);
}

void TCustomImButton::drawCaption(QPainter &painter, const QRect &textRect, const QRect &focusRect,
                                  const ImButtonDrawState &state, int alignment)
{
    if (state.focused && m_focusRect) {
        QPen pen(stateColor(state).darker(200));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focusRect.adjusted(0, 0, -1, -1));
    }
    if (text().isEmpty())
        return;
    painter.setFont(font());
    if (state.disabled) {
        // Embossed: a light copy one pixel down and right, the shadow colour in place.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(textRect.translated(1, 1), alignment, text());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawText(textRect, alignment, text());
        return;
    }
    painter.setPen(state.hot ? m_hotTextColor : m_fontColor);
    painter.drawText(textRect, alignment, text());
}

}  // namespace skin
