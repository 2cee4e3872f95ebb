#include "skin/DesignPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace skin {

namespace {

QPixmap blank(int side)
{
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    return picture;
}

void drawGlyph(QPainter &painter, const QRectF &area, const QString &glyph, const QColor &color)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(int(area.height() * 0.72));
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(area, Qt::AlignCenter, glyph);
}

}  // namespace

QPixmap messageIconPicture(MessageIcon icon)
{
    QPixmap picture = blank(26);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF area(1, 1, 24, 24);
    switch (icon) {
    case MessageIcon::Information: {
        QRadialGradient fill(area.center() - QPointF(4, 4), 18);
        fill.setColorAt(0, QColor(0x5A, 0xA9, 0xF0));
        fill.setColorAt(1, QColor(0x1B, 0x67, 0xB8));
        painter.setBrush(fill);
        painter.setPen(QPen(QColor(0x14, 0x52, 0x94), 1));
        painter.drawEllipse(area);
        drawGlyph(painter, area.translated(0, 1), QStringLiteral("i"), Qt::white);
        break;
    }
    case MessageIcon::Warning: {
        QPainterPath triangle;
        triangle.moveTo(13, 1.5);
        triangle.lineTo(24.5, 23.5);
        triangle.lineTo(1.5, 23.5);
        triangle.closeSubpath();
        QLinearGradient fill(0, 1, 0, 24);
        fill.setColorAt(0, QColor(0xFF, 0xD5, 0x4F));
        fill.setColorAt(1, QColor(0xF2, 0xA3, 0x1B));
        painter.setBrush(fill);
        painter.setPen(
            QPen(QColor(0xB9, 0x77, 0x0E), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(triangle);
        drawGlyph(painter, QRectF(1, 6, 24, 18), QStringLiteral("!"), QColor(0x3A, 0x2A, 0x05));
        break;
    }
    case MessageIcon::Question: {
        QRadialGradient fill(area.center() - QPointF(4, 4), 18);
        fill.setColorAt(0, QColor(0x4F, 0xD1, 0xC1));
        fill.setColorAt(1, QColor(0x11, 0x8C, 0x80));
        painter.setBrush(fill);
        painter.setPen(QPen(QColor(0x0C, 0x6B, 0x62), 1));
        painter.drawEllipse(area);
        drawGlyph(painter, area.translated(0, 1), QStringLiteral("?"), Qt::white);
        break;
    }
    }
    return picture;
}

QPixmap closePicture(bool hot)
{
    QPixmap picture = blank(16);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (hot) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xE0, 0x4F, 0x4F));
        painter.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
    }
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
    painter.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    return picture;
}

}  // namespace skin
