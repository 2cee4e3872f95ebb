#include "skin/SkinControls.h"

#include <QMouseEvent>
#include <QPainter>

namespace skin {

SkinImage::SkinImage(QWidget *parent) : QWidget(parent) {}

void SkinImage::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void SkinImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (m_stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawPixmap(rect(), m_picture);
    } else if (m_center) {
        painter.drawPixmap((width() - m_picture.width()) / 2, (height() - m_picture.height()) / 2,
                           m_picture);
    } else {
        painter.drawPixmap(0, 0, m_picture);
    }
}

BackImage::BackImage(QWidget *parent) : QWidget(parent) {}

void BackImage::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    setColorKeyed(m_colorKeyed);
}

void BackImage::setColorKeyed(bool on)
{
    m_colorKeyed = on;
    m_drawn = on && !m_picture.isNull()
                  ? QPixmap::fromImage(withColorKey(m_picture.toImage(), QColor(255, 0, 255)))
                  : m_picture;
    update();
}

void BackImage::paintEvent(QPaintEvent *)
{
    if (m_drawn.isNull())
        return;
    QPainter painter(this);
    if (m_drawn.size() == size()) {
        painter.drawPixmap(0, 0, m_drawn);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawPixmap(rect(), m_drawn);
    }
}

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    applyColors();
}

void LinkLabel::setLinkColor(const QColor &color)
{
    m_linkColor = color;
    applyColors();
}

void LinkLabel::setHoverColor(const QColor &color)
{
    m_hoverColor = color;
    applyColors();
}

void LinkLabel::applyColors()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, m_hovered ? m_hoverColor : m_linkColor);
    setPalette(colours);
    QFont underlined = font();
    underlined.setUnderline(m_hovered);
    setFont(underlined);
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    m_hovered = true;
    applyColors();
}

void LinkLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    m_hovered = false;
    applyColors();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

ImageList::ImageList(QObject *parent) : QObject(parent) {}

void ImageList::AddMasked(const QImage &picture, const QColor &maskColor)
{
    m_pictures.push_back(QPixmap::fromImage(withColorKey(picture, maskColor)));
}

QPixmap ImageList::picture(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_pictures[size_t(index)];
}

QImage withColorKey(const QImage &picture, const QColor &key)
{
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb keyRgb = key.rgb() & 0xFFFFFF;
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == keyRgb && qAlpha(line[x]) == 255)
                line[x] = 0;
        }
    }
    return result;
}

}  // namespace skin
