#include "skin/ImImage.h"

#include "skin/ImPanel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace skin {

TImImage::TImImage(QWidget *parent) : QWidget(parent)
{
    Timer_Hover.setInterval(kHoverInterval);
    connect(&Timer_Hover, &QTimer::timeout, this, &TImImage::Timer_HoverTimer);
}

void TImImage::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}
void TImImage::setHotPicture(const QPixmap &picture)
{
    m_hotPicture = picture;
    update();
}
void TImImage::setSelPicture(const QPixmap &picture)
{
    m_selPicture = picture;
    update();
}

void TImImage::setStatus(int status)
{
    if (status == m_status)
        return;
    const int old = m_status;
    m_status = status;
    emit statusChanged(status, old);
    update();
}

void TImImage::setSelected(bool selected)
{
    setStatus(selected ? (m_status | Selected) : (m_status & ~Selected));
}

const QPixmap &TImImage::currentPicture() const
{
    const QPixmap *chosen = &m_picture;
    if (m_status & Pressed)
        chosen = &m_selPicture;
    else if (m_status & Hot)
        chosen = &m_hotPicture;
    else if (m_status & Selected)
        chosen = &m_selPicture;
    // A state without a picture of its own keeps the base picture rather than going blank.
    return chosen->isNull() ? m_picture : *chosen;
}

void TImImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPixmap &picture = currentPicture();
    if (!picture.isNull()) {
        if (m_stretch) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.drawPixmap(rect(), picture);
        } else if (m_center) {
            painter.drawPixmap((width() - picture.width()) / 2, (height() - picture.height()) / 2,
                               picture);
        } else {
            painter.drawPixmap(0, 0, picture);
        }
    }
    if (m_drawBevel && !m_isBkgnd) {
        const bool sunken = m_status & (Pressed | Selected);
        const bool raised = !sunken && (m_status & Hot);
        if (sunken || raised) {
            const QRect area = rect().adjusted(0, 0, -1, -1);
            const QColor shadow = palette().color(QPalette::Dark);
            const QColor highlight = palette().color(QPalette::Light);
            painter.setPen(sunken ? shadow : highlight);
            painter.drawLine(area.topLeft(), area.topRight());
            painter.drawLine(area.topLeft(), area.bottomLeft());
            painter.setPen(sunken ? highlight : shadow);
            painter.drawLine(area.bottomLeft(), area.bottomRight());
            painter.drawLine(area.topRight(), area.bottomRight());
        }
    }
}

void TImImage::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    Timer_Hover.start();
    if (m_isBkgnd)
        return;
    int status = m_status | Hot;
    if (QGuiApplication::mouseButtons() & Qt::LeftButton)
        status |= Pressed;
    setStatus(status);
}

void TImImage::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    mouseLeft();
}

void TImImage::mouseLeft()
{
    Timer_Hover.stop();
    if (!m_isBkgnd)
        setStatus(m_status & ~(Hot | Pressed));
}

void TImImage::Timer_HoverTimer()
{
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        mouseLeft();
}

void TImImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_captured = true;
        if (isEnabled() && !m_isBkgnd)
            setStatus(m_status | Pressed);
    }
    QWidget::mousePressEvent(event);
}

void TImImage::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const bool captured = m_captured;
    m_captured = false;
    if (!m_isBkgnd)
        setStatus(m_status & ~Pressed);
    // A press that was dragged out and back in still clicks: what counts is where the button
    // went down and where it came up, not the way between.
    if (captured && isEnabled() && rect().contains(event->position().toPoint()))
        Click();
}

void TImImage::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    if (!m_captured || m_isBkgnd)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside && !(m_status & Pressed)) {
        Timer_Hover.start();
        setStatus(m_status | Hot | (isEnabled() ? Pressed : 0));
    } else if (!inside && (m_status & (Hot | Pressed))) {
        mouseLeft();
    }
}

void TImImage::Click()
{
    if (!m_isBkgnd)
        setStatus(m_status & ~Pressed);
    if (m_grouped && !m_isBkgnd) {
        if (auto *panel = qobject_cast<TImPanel *>(parentWidget())) {
            panel->UnselectAll();
            if (panel->KeepSelStatus())
                setSelected(true);
        }
    }
    emit clicked();
}

}  // namespace skin
