#include "MainPictures.h"

#include "CardView.h"

#include <QPainter>
#include <QPainterPath>

namespace mainpictures {

namespace {

// Everything is drawn on a 32 x 32 grid and scaled to the size asked for.
constexpr qreal kGrid = 32.0;

const QColor kGreen(0x2E, 0xA0, 0x4F);
const QColor kBlue(0x1F, 0x6F, 0xC5);
const QColor kOrange(0xE8, 0x8A, 0x1A);
const QColor kGrey(0x8A, 0x96, 0xA3);
const QColor kRed(0xD2, 0x3A, 0x2F);
const QColor kOutline(0x24, 0x33, 0x44);

QImage canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void begin(QPainter &painter, int size)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(size / kGrid, size / kGrid);
}

QColor lighter(const QColor &colour) { return colour.lighter(135); }

// The data card: a USB stick lying on its side, plug to the left.
void drawCard(QPainter &painter, const QColor &colour)
{
    painter.setPen(QPen(kOutline, 1.2));
    painter.setBrush(QColor(0xC9, 0xD2, 0xDC));
    painter.drawRect(QRectF(2, 12, 7, 8));
    QLinearGradient body(0, 8, 0, 24);
    body.setColorAt(0, lighter(colour));
    body.setColorAt(1, colour);
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(8, 8, 22, 16), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawEllipse(QRectF(22, 13, 5, 5));
}

// The SIM card: a card with a cut corner and its chip.
void drawSim(QPainter &painter, const QColor &colour)
{
    QPainterPath card;
    card.moveTo(7, 2);
    card.lineTo(20, 2);
    card.lineTo(26, 8);
    card.lineTo(26, 30);
    card.lineTo(7, 30);
    card.closeSubpath();
    QLinearGradient body(0, 2, 0, 30);
    body.setColorAt(0, lighter(colour));
    body.setColorAt(1, colour);
    painter.setPen(QPen(kOutline, 1.2));
    painter.setBrush(body);
    painter.drawPath(card);
    painter.setBrush(QColor(0xF2, 0xD0, 0x6B));
    painter.setPen(QPen(QColor(0x9C, 0x7A, 0x1E), 0.8));
    painter.drawRoundedRect(QRectF(10.5, 13, 12, 10), 1.5, 1.5);
    painter.drawLine(QPointF(16.5, 13), QPointF(16.5, 23));
    painter.drawLine(QPointF(10.5, 18), QPointF(22.5, 18));
}

// A small badge in the lower right corner: a cross, a tick or a padlock.
enum class Badge { Cross, Tick, Lock };

void drawBadge(QPainter &painter, Badge badge)
{
    const QRectF circle(17, 17, 14, 14);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.setBrush(badge == Badge::Tick ? kGreen : kRed);
    painter.drawEllipse(circle);
    painter.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    switch (badge) {
    case Badge::Cross:
        painter.drawLine(QPointF(20.5, 20.5), QPointF(27.5, 27.5));
        painter.drawLine(QPointF(27.5, 20.5), QPointF(20.5, 27.5));
        break;
    case Badge::Tick: {
        QPainterPath tick;
        tick.moveTo(20, 24.5);
        tick.lineTo(23, 27.5);
        tick.lineTo(28, 21);
        painter.drawPath(tick);
        break;
    }
    case Badge::Lock:
        painter.setPen(QPen(Qt::white, 1.5));
        painter.drawArc(QRectF(21.5, 19.5, 5, 6), 0, 180 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(20.5, 23, 7, 5));
        break;
    }
}

// Four rising bars; the first `filled` of them in colour.
void drawBars(QPainter &painter, int filled, const QColor &colour)
{
    painter.setPen(QPen(kOutline, 0.8));
    for (int bar = 0; bar < 4; ++bar) {
        const qreal height = 8 + bar * 6;
        painter.setBrush(bar < filled ? colour : QColor(0xD5, 0xDC, 0xE4));
        painter.drawRoundedRect(QRectF(3 + bar * 7, 29 - height, 5, height), 1, 1);
    }
}

void drawGlobe(QPainter &painter, const QColor &colour)
{
    const QRectF ball(3, 3, 26, 26);
    QRadialGradient fill(QPointF(11, 10), 22);
    fill.setColorAt(0, lighter(colour));
    fill.setColorAt(1, colour);
    painter.setPen(QPen(kOutline, 1.2));
    painter.setBrush(fill);
    painter.drawEllipse(ball);
    painter.setPen(QPen(QColor(255, 255, 255, 190), 1.1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(10, 3, 12, 26));
    painter.drawLine(QPointF(16, 3), QPointF(16, 29));
    painter.drawLine(QPointF(3, 16), QPointF(29, 16));
    painter.drawLine(QPointF(5.5, 9.5), QPointF(26.5, 9.5));
    painter.drawLine(QPointF(5.5, 22.5), QPointF(26.5, 22.5));
}

void drawEnvelope(QPainter &painter, const QColor &colour)
{
    const QRectF body(2, 7, 28, 19);
    painter.setPen(QPen(kOutline, 1.2));
    painter.setBrush(colour);
    painter.drawRoundedRect(body, 2, 2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath flap;
    flap.moveTo(3, 8.5);
    flap.lineTo(16, 18);
    flap.lineTo(29, 8.5);
    painter.drawPath(flap);
}

void drawHandset(QPainter &painter, const QColor &colour)
{
    QPainterPath handset;
    handset.moveTo(6, 4);
    handset.cubicTo(3, 5, 2, 8, 3, 12);
    handset.cubicTo(5, 20, 11, 26, 19, 29);
    handset.cubicTo(23, 30, 26, 29, 27, 26);
    handset.lineTo(27.5, 23.5);
    handset.lineTo(21.5, 19.5);
    handset.lineTo(18.5, 22);
    handset.cubicTo(14, 20, 11, 17, 9.5, 13);
    handset.lineTo(12, 10);
    handset.lineTo(8, 3.5);
    handset.closeSubpath();
    painter.setPen(QPen(kOutline, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(colour);
    painter.drawPath(handset);
}

}  // namespace

QImage trayMainPicture(int index, int size)
{
    if (index < 0 || index >= kTrayMainCount || size <= 0)
        return {};
    QImage image = canvas(size);
    QPainter painter(&image);
    begin(painter, size);
    switch (index) {
    case kImageCardAbsent:
        drawCard(painter, kGrey);
        drawBadge(painter, Badge::Cross);
        break;
    case kImageCardOnline: drawCard(painter, kGreen); break;
    case kImageNoSignal:
        drawBars(painter, 0, kBlue);
        drawBadge(painter, Badge::Cross);
        break;
    case kImageInService: drawBars(painter, 4, kGreen); break;
    case kImageSimMissing:
        drawSim(painter, kGrey);
        drawBadge(painter, Badge::Cross);
        break;
    case kImageSimReady:
        drawSim(painter, kGreen);
        drawBadge(painter, Badge::Tick);
        break;
    case kImageNotConnected: drawGlobe(painter, kGrey); break;
    case kImageCardFound: drawCard(painter, kOrange); break;
    case kImageSimRegistered: drawSim(painter, kBlue); break;
    case kImageSimBlocked:
        drawSim(painter, kRed);
        drawBadge(painter, Badge::Lock);
        break;
    default: break;
    }
    return image;
}

QImage newSmsPicture(int frame, int size)
{
    if (frame < 0 || frame >= kNewSmsFrames || size <= 0)
        return {};
    // Pulses from pale to full orange and back.
    static constexpr int kStrength[kNewSmsFrames] = {40, 100, 160, 100};
    QImage image = canvas(size);
    QPainter painter(&image);
    begin(painter, size);
    drawEnvelope(painter, QColor(0xFF, 0xB0, 0x2E).lighter(100 + kStrength[frame] / 2));
    if (frame == 2) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kRed);
        painter.drawEllipse(QRectF(22, 2, 9, 9));
    }
    return image;
}

QImage incomingCallPicture(int frame, int size)
{
    if (frame < 0 || frame >= kIncomingCallFrames || size <= 0)
        return {};
    QImage image = canvas(size);
    QPainter painter(&image);
    begin(painter, size);
    // The handset rocks while the sound waves grow, one more per frame.
    painter.translate(16, 16);
    painter.rotate(frame % 2 == 0 ? -6 : 6);
    painter.translate(-16, -16);
    drawHandset(painter, kGreen);
    painter.resetTransform();
    painter.scale(size / kGrid, size / kGrid);
    painter.setPen(QPen(kGreen.darker(120), 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (int wave = 0; wave < frame; ++wave) {
        const qreal radius = 5 + wave * 4;
        painter.drawArc(QRectF(20 - radius, 12 - radius, 2 * radius, 2 * radius), 0, 90 * 16);
    }
    return image;
}

QImage internetPicture(int frame, int size)
{
    if (frame < 0 || frame >= kInternetFrames || size <= 0)
        return {};
    QImage image = canvas(size);
    QPainter painter(&image);
    begin(painter, size);
    drawGlobe(painter, kBlue);
    // Traffic: the upper arrow, the lower arrow, then both.
    const auto arrow = [&painter](bool up, bool lit) {
        painter.setPen(QPen(Qt::white, 0.8));
        painter.setBrush(lit ? kGreen : QColor(0x9A, 0xA8, 0xB6));
        QPainterPath path;
        if (up) {
            path.moveTo(22, 0.5);
            path.lineTo(28, 7);
            path.lineTo(16, 7);
        } else {
            path.moveTo(22, 13.5);
            path.lineTo(28, 7.5);
            path.lineTo(16, 7.5);
        }
        path.closeSubpath();
        painter.drawPath(path);
    };
    arrow(true, frame != 1);
    arrow(false, frame != 0);
    return image;
}

QImage signalLevelPicture(int level)
{
    if (level < 0 || level >= kSignalLevelCount)
        return {};
    QImage image(32, 17, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int bar = 0; bar < 5; ++bar) {
        const qreal height = 4 + bar * 3;
        const QRectF area(1.5 + bar * 6, 16.5 - height, 4, height);
        painter.setPen(QPen(QColor(0x5A, 0x6B, 0x7D), 0.8));
        painter.setBrush(bar < level ? kBlue : QColor(0xD5, 0xDC, 0xE4));
        painter.drawRect(area);
    }
    return image;
}

}  // namespace mainpictures
