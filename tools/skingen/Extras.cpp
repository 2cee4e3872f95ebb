#include "Extras.h"

#include "Icons.h"
#include "Looks.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace skingen {

using namespace scheme;

namespace {

QColor withAlpha(QColor color, int alpha)
{
    color.setAlpha(std::clamp(alpha, 0, 255));
    return color;
}

void drawMark(QPainter &p, const QRectF &box)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient fill(box.topLeft() + QPointF(box.width() * 0.3, box.height() * 0.25),
                         box.width());
    fill.setColorAt(0, QColor(0x5F, 0xD8, 0xC8));
    fill.setColorAt(0.55, teal);
    fill.setColorAt(1, brandDeep);
    p.setPen(QPen(withAlpha(Qt::white, 210), std::max(1.0, box.width() / 16)));
    p.setBrush(fill);
    p.drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
    const double w = box.width();
    const int arcs = w < 20 ? 2 : 3;
    for (int i = 0; i < arcs; ++i) {
        QPainterPath wave;
        const double y = box.top() + w * (0.40 + 0.18 * i);
        wave.moveTo(box.left() + w * 0.2, y);
        wave.cubicTo(box.left() + w * 0.38, y - w * 0.16, box.left() + w * 0.55, y + w * 0.12,
                     box.left() + w * 0.8, y - w * 0.06);
        p.setPen(QPen(Qt::white, std::max(1.2, w / (arcs == 2 ? 9.0 : 12.0)), Qt::SolidLine,
                      Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    }
}

void drawTower(QPainter &p, const QPointF &top, double height, const QColor &colour)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    const double spread = height * 0.32;
    const QPointF leftFoot(top.x() - spread, top.y() + height);
    const QPointF rightFoot(top.x() + spread, top.y() + height);
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(top, leftFoot);
    p.drawLine(top, rightFoot);
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    for (double t : {0.35, 0.65}) {
        const QPointF a = top + (leftFoot - top) * t;
        const QPointF b = top + (rightFoot - top) * t;
        p.drawLine(a, b);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(top, 4.5, 4.5);
}

void drawWaves(QPainter &p, const QPointF &centre, double phase, const QColor &colour, double reach)
{
    for (int k = 0; k < 3; ++k) {
        const double t = std::fmod(phase + k / 3.0, 1.0);
        const double radius = 10 + t * reach;
        const int alpha = int(230 * (1.0 - t));
        p.setPen(QPen(withAlpha(colour, alpha), 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF box(centre.x() - radius, centre.y() - radius, radius * 2, radius * 2);
        p.drawArc(box, -40 * 16, 80 * 16);
        p.drawArc(box, 140 * 16, 80 * 16);
    }
}

void searchFrame(QPainter &p, const QRectF &area, int frame)
{
    const double phase = frame / double(kAnimationFrames);
    const QPointF top(area.center().x(), area.top() + 40);
    drawWaves(p, top, phase, brand, 40);
    drawTower(p, top, 70, brandDeep);
    // A lens sweeping round the tower, beyond the waves: the search.
    const double angle = phase * 2 * M_PI;
    const QPointF lens(area.center().x() + 86 * std::cos(angle),
                       area.top() + 64 + 34 * std::sin(angle));
    drawIcon(p, QRectF(lens.x() - 13, lens.y() - 13, 26, 26), QStringLiteral("search"),
             teal.darker(110));
}

void selectFrame(QPainter &p, const QRectF &area, int frame)
{
    const double phase = frame / double(kAnimationFrames);
    p.setRenderHint(QPainter::Antialiasing, true);
    // The card on the left.
    const QRectF card(area.left() + 16, area.top() + 62, 54, 26);
    p.setPen(QPen(brandDeep, 1.5));
    p.setBrush(brand);
    p.drawRoundedRect(card, 6, 6);
    p.setPen(QPen(QColor(0x8A, 0xA2, 0xBC), 1.2));
    p.setBrush(QColor(0xD0, 0xDC, 0xE8));
    p.drawRoundedRect(QRectF(card.right() - 2, card.top() + 6, 14, 14), 2, 2);
    // The chosen network's tower on the right, lighting up as the pulse arrives.
    const QPointF top(area.right() - 44, area.top() + 32);
    if (phase > 0.6)
        drawWaves(p, top, (phase - 0.6) * 1.2, teal, 40);
    drawTower(p, top, 66, phase > 0.6 ? teal.darker(115) : brandDeep);
    // Pulses along the path from card to tower.
    const QPointF start(card.right() + 18, card.center().y());
    const QPointF end(top.x() - 26, top.y() + 26);
    const int dots = 7;
    for (int d = 0; d < dots; ++d) {
        const double t = (d + 0.5) / dots;
        QPointF point = start + (end - start) * t;
        point.ry() -= std::sin(t * M_PI) * 22;
        const double distance = std::abs(t - phase);
        const double radius = distance < 0.12 ? 5.0 : 3.0;
        p.setPen(Qt::NoPen);
        p.setBrush(distance < 0.12 ? teal : QColor(0xBF, 0xD4, 0xEA));
        p.drawEllipse(point, radius, radius);
    }
}

}  // namespace

QImage drawLogo(LogoSize size)
{
    int side = 16;
    QColor under(0x20, 0x78, 0xCA);  // the dialogs' caption strip
    switch (size) {
    case LogoSize::Small: break;
    case LogoSize::Title:
        side = 26;
        under = QColor(0x12, 0x59, 0x9F);  // the main window's title bar
        break;
    case LogoSize::Big:
        side = 64;
        under = QColor(0x18, 0x6F, 0xC0);  // the band of the splash and About box
        break;
    }
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(under);
    {
        QPainter p(&image);
        drawMark(p, QRectF(0, 0, side, side));
    }
    const QRgb background = under.rgb();
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            if (line[x] == background)
                line[x] = qRgb(255, 0, 255);
    }
    return image;
}

QImage drawAnimation(Animation animation)
{
    QImage strip(kAnimationWidth * kAnimationFrames, kAnimationHeight,
                 QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    for (int frame = 0; frame < kAnimationFrames; ++frame) {
        const QRectF area(frame * kAnimationWidth, 0, kAnimationWidth, kAnimationHeight);
        p.save();
        p.setClipRect(area);
        if (animation == Animation::Search)
            searchFrame(p, area, frame);
        else
            selectFrame(p, area, frame);
        p.restore();
    }
    p.end();
    QImage result = strip.convertToFormat(QImage::Format_ARGB32);
    result.setText(QStringLiteral("Frames"), QString::number(kAnimationFrames));
    result.setText(QStringLiteral("Delay"), QString::number(kAnimationDelay));
    return result;
}

}  // namespace skingen
