#include "Looks.h"

#include "Icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace skingen {

using namespace scheme;

namespace {

int g_scale = 1;

// A picture of width x height points; painting on it is in points at any scale.
QImage canvas(int width, int height, const QColor &fill = Qt::transparent)
{
    QImage image(width * g_scale, height * g_scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(g_scale);
    image.fill(fill);
    return image;
}

QLinearGradient vertical(const QRectF &area, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QFont uiFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QColor withAlpha(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

// Soft breeze lines: the skin's one decorative motif.
void drawBreeze(QPainter &p, const QRectF &area, const QColor &color, int lines = 3)
{
    p.save();
    p.setClipRect(area);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 0; i < lines; ++i) {
        QPainterPath wave;
        const double baseY = area.bottom() - area.height() * (0.18 + 0.11 * i);
        wave.moveTo(area.left() + area.width() * 0.35, baseY + 8);
        wave.cubicTo(area.left() + area.width() * 0.55, baseY - 22 - 6 * i,
                     area.left() + area.width() * 0.75, baseY + 18, area.right() + 4,
                     baseY - 14 - 4 * i);
        p.setPen(QPen(withAlpha(color, 60 - 14 * i), 2.0 + i, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(wave);
    }
    p.restore();
}

// A rounded panel: gradient fill and a one-pixel border.
void panel(QPainter &p, const QRectF &area, double radius, const QColor &top, const QColor &bottom,
           const QColor &edge)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(edge, 1));
    p.setBrush(vertical(area, top, bottom));
    p.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// The path of a rectangle with only the chosen corners rounded.
QPainterPath roundedCorners(const QRectF &r, double radius, bool topLeft, bool topRight,
                            bool bottomRight, bool bottomLeft)
{
    QPainterPath path;
    path.moveTo(r.left() + (topLeft ? radius : 0), r.top());
    path.lineTo(r.right() - (topRight ? radius : 0), r.top());
    if (topRight)
        path.quadTo(r.topRight(), QPointF(r.right(), r.top() + radius));
    path.lineTo(r.right(), r.bottom() - (bottomRight ? radius : 0));
    if (bottomRight)
        path.quadTo(r.bottomRight(), QPointF(r.right() - radius, r.bottom()));
    path.lineTo(r.left() + (bottomLeft ? radius : 0), r.bottom());
    if (bottomLeft)
        path.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - radius));
    path.lineTo(r.left(), r.top() + (topLeft ? radius : 0));
    if (topLeft)
        path.quadTo(r.topLeft(), QPointF(r.left() + radius, r.top()));
    path.closeSubpath();
    return path;
}

// Pictures keyed with fuchsia are drawn with hard edges: a blended edge pixel would be neither
// fuchsia nor the window's colour.
void fuchsiaOutside(QImage &image, const QPainterPath &shape)
{
    QImage mask(image.size(), QImage::Format_ARGB32_Premultiplied);
    mask.setDevicePixelRatio(image.devicePixelRatio());
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(shape, Qt::black);
    }
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const auto *inside = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(inside[x]) == 0)
                line[x] = qRgb(255, 0, 255);
            else
                line[x] = qRgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x]));  // opaque
        }
    }
}

const QColor kTitleTop(0x0E, 0x4E, 0x8E);
const QColor kTitleBottom(0x15, 0x64, 0xB0);

QImage mainTitle(int width, int height, bool left, bool right)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.fillRect(area, vertical(area, kTitleTop, kTitleBottom));
    p.fillRect(QRectF(0, 0, width, 1), withAlpha(Qt::white, 50));
    p.fillRect(QRectF(0, height - 1, width, 1), QColor(0x0B, 0x40, 0x75));
    if (!left && !right)
        drawBreeze(p, QRectF(width * 0.45, 0, width * 0.55, height * 1.6), Qt::white, 2);
    p.end();
    if (left || right)
        fuchsiaOutside(image, roundedCorners(area, 10, left, right, false, false));
    return image;
}

QImage mainBackground(int width, int height)
{
    QImage image = canvas(width, height, page);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.fillRect(area, vertical(area, QColor(0xEE, 0xF3, 0xF9), QColor(0xE3, 0xEB, 0xF5)));
    // Title bar and navigation band; the title pieces and buttons lie over them.
    p.fillRect(QRectF(0, 0, width, 36), vertical(QRectF(0, 0, width, 36), kTitleTop, kTitleBottom));
    const QRectF band(0, 36, width, 68);
    p.fillRect(band, vertical(band, QColor(0x1E, 0x7F, 0xD2), QColor(0x14, 0x62, 0xB1)));
    drawBreeze(p, band.adjusted(0, -10, 0, 30), Qt::white, 3);
    p.fillRect(QRectF(0, 103, width, 1), QColor(0x0E, 0x4F, 0x90));
    p.fillRect(QRectF(0, 104, width, 2), withAlpha(QColor(0x0E, 0x4F, 0x90), 40));
    // The content panel at (8, 108) 624 x 340, with the welcome motif.
    const QRectF content(8, 108, 624, 340);
    panel(p, content, 8, Qt::white, QColor(0xF1, 0xF6, 0xFC), border);
    drawBreeze(p, content.adjusted(1, 1, -1, -1), brand, 4);
    p.end();
    fuchsiaOutside(image, roundedCorners(area, 10, true, true, true, true));
    return image;
}

QImage mainStatusStrip(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.fillRect(area, vertical(area, QColor(0xE4, 0xED, 0xF7), QColor(0xD2, 0xDF, 0xEE)));
    p.fillRect(QRectF(0, 0, width, 1), QColor(0xB5, 0xC9, 0xDE));
    p.fillRect(QRectF(0, 1, width, 1), withAlpha(Qt::white, 160));
    p.end();
    fuchsiaOutside(image, roundedCorners(area, 10, false, false, true, true));
    return image;
}

QImage pageBackground(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    panel(p, area, 6, QColor(0xFC, 0xFD, 0xFF), QColor(0xEE, 0xF3, 0xF9), border);
    drawBreeze(p, area.adjusted(1, 1, -1, -1), brand, 3);
    return image;
}

QImage sideColumn(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    panel(p, QRectF(0, 0, width, height), 6, QColor(0xE8, 0xF0, 0xF9), QColor(0xD9, 0xE5, 0xF2),
          border);
    return image;
}

QImage dialogBackground(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.fillRect(area, vertical(area, QColor(0xF7, 0xFA, 0xFD), QColor(0xE9, 0xF0, 0xF8)));
    p.setPen(QPen(QColor(0x1D, 0x68, 0xB0), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
    return image;
}

QImage bodyPanel(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    panel(p, QRectF(0, 0, width, height), 5, Qt::white, QColor(0xF8, 0xFB, 0xFE),
          QColor(0xD4, 0xDF, 0xEA));
    return image;
}

QImage captionStrip(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.fillRect(area, vertical(area, QColor(0x2C, 0x8B, 0xDF), QColor(0x15, 0x65, 0xB5)));
    drawBreeze(p, QRectF(width * 0.4, -4, width * 0.6, height * 2.2), Qt::white, 2);
    p.fillRect(QRectF(0, 0, width, 1), withAlpha(Qt::white, 70));
    p.fillRect(QRectF(0, height - 1, width, 1), QColor(0x0F, 0x54, 0x99));
    return image;
}

QImage pageHeader(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPainterPath shape = roundedCorners(area, 6, true, true, false, false);
    p.fillPath(shape, vertical(area, Qt::white, QColor(0xE8, 0xF0, 0xF9)));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(0, height - 2, width, 2), QColor(0xC5, 0xD5, 0xE6));
    p.fillRect(QRectF(0, height - 2, std::min(width, 120), 2), brand);
    p.fillRect(QRectF(10, 7, 3, height - 14), brand);
    return image;
}

QImage footerStrip(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.fillRect(area, vertical(area, QColor(0xEC, 0xF2, 0xF8), QColor(0xE0, 0xE9, 0xF3)));
    p.fillRect(QRectF(0, 0, width, 1), QColor(0xC5, 0xD5, 0xE6));
    return image;
}

QImage sidePanel(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    panel(p, QRectF(0, 0, width, height), 5, QColor(0xEA, 0xF2, 0xFB), QColor(0xDC, 0xE8, 0xF5),
          border);
    drawBreeze(p, QRectF(0, 0, width, height), brand, 2);
    return image;
}

QImage illustration(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A data card on the left, the world on the right, a dotted arc between them.
    const QRectF card(18, height / 2.0 - 14, 58, 28);
    p.setPen(QPen(brandDeep, 1.5));
    p.setBrush(vertical(card, QColor(0x3A, 0x95, 0xE4), QColor(0x15, 0x65, 0xB5)));
    p.drawRoundedRect(card, 6, 6);
    p.setBrush(QColor(0xD0, 0xDC, 0xE8));
    p.setPen(QPen(QColor(0x8A, 0xA2, 0xBC), 1.2));
    p.drawRoundedRect(QRectF(card.right() - 2, card.top() + 7, 16, 14), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(Qt::white, 200));
    p.drawEllipse(QPointF(card.left() + 12, card.center().y()), 3, 3);
    const double globeSize = std::min(height - 20.0, 84.0);
    const QRectF globeBox(width - globeSize - 16, (height - globeSize) / 2, globeSize, globeSize);
    QRadialGradient sea(globeBox.center() - QPointF(globeSize / 5, globeSize / 5), globeSize * 0.7);
    sea.setColorAt(0, QColor(0x5F, 0xD3, 0xC4));
    sea.setColorAt(1, teal.darker(125));
    p.setBrush(sea);
    p.drawEllipse(globeBox);
    drawIcon(p, globeBox.adjusted(4, 4, -4, -4), QStringLiteral("globe"),
             withAlpha(Qt::white, 230));
    QPen dots(brand, 3, Qt::DotLine, Qt::RoundCap);
    p.setPen(dots);
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(card.right() + 18, card.center().y());
    arc.quadTo(QPointF((card.right() + globeBox.left()) / 2, 8),
               QPointF(globeBox.left() - 6, globeBox.center().y()));
    p.drawPath(arc);
    return image;
}

QImage inputField(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    panel(p, QRectF(0, 0, width, height), 6, QColor(0xF3, 0xF7, 0xFB), Qt::white,
          QColor(0x9F, 0xB6, 0xCF));
    p.setPen(QPen(withAlpha(QColor(0x1F, 0x3A, 0x56), 30), 1));
    p.drawLine(QPointF(6, 2.5), QPointF(width - 6, 2.5));
    return image;
}

QImage keypadPanel(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    panel(p, QRectF(0, 0, width, height), 8, QColor(0xE9, 0xF0, 0xF8), QColor(0xDD, 0xE7, 0xF2),
          border);
    return image;
}

QImage aboutBackground(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.fillRect(area, vertical(area, Qt::white, QColor(0xEE, 0xF3, 0xF9)));
    const QRectF band(0, 0, width, 86);
    p.fillRect(band, vertical(band, QColor(0x1E, 0x7F, 0xD2), QColor(0x12, 0x5E, 0xAA)));
    drawBreeze(p, QRectF(0, -20, width, 140), Qt::white, 4);
    p.fillRect(QRectF(0, 86, width, 3), teal);
    drawBreeze(p, QRectF(0, 89, width, height - 89), brand, 3);
    p.setPen(QPen(QColor(0x1D, 0x68, 0xB0), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
    return image;
}

QImage popupBody(int width, int height)
{
    QImage image = canvas(width, height);
    QPainter p(&image);
    const QRectF area(0, 0, width, height);
    p.fillRect(area, vertical(area, Qt::white, QColor(0xEA, 0xF1, 0xF9)));
    drawBreeze(p, area, brand, 2);
    p.setPen(QPen(QColor(0x1D, 0x68, 0xB0), 1));
    p.drawLine(QPointF(0.5, 0), QPointF(0.5, height - 0.5));
    p.drawLine(QPointF(width - 0.5, 0), QPointF(width - 0.5, height - 0.5));
    p.drawLine(QPointF(0, height - 0.5), QPointF(width, height - 0.5));
    return image;
}

// ---- buttons -------------------------------------------------------------------------------

enum Frame { Normal = 0, Disabled = 1, Pushed = 2 };

struct Fill {
    QColor top, bottom, edge;
};

Fill standardFill(Frame frame)
{
    switch (frame) {
    case Disabled:
        return {QColor(0xF0, 0xF3, 0xF6), QColor(0xE9, 0xED, 0xF2), QColor(0xC9, 0xD2, 0xDC)};
    case Pushed:
        return {QColor(0xCC, 0xDE, 0xF2), QColor(0xDF, 0xEA, 0xF7), QColor(0x4F, 0x86, 0xC0)};
    default: return {Qt::white, QColor(0xE2, 0xEA, 0xF4), QColor(0x9C, 0xB3, 0xCD)};
    }
}

Fill colouredFill(Frame frame, const QColor &base)
{
    switch (frame) {
    case Disabled: {
        QColor pale = QColor::fromHslF(base.hslHueF(), 0.25, 0.74);
        return {pale.lighter(104), pale, pale.darker(112)};
    }
    case Pushed: return {base.darker(130), base.darker(112), base.darker(150)};
    default: return {base.lighter(122), base.darker(108), base.darker(135)};
    }
}

void buttonFace(QPainter &p, const QRectF &area, double radius, const Fill &fill, Frame frame,
                bool gloss)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF face = area.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(fill.edge, 1));
    p.setBrush(vertical(face, fill.top, fill.bottom));
    p.drawRoundedRect(face, radius, radius);
    if (frame == Pushed) {
        p.setPen(QPen(withAlpha(Qt::black, 28), 1));
        p.drawLine(QPointF(face.left() + radius, face.top() + 1.5),
                   QPointF(face.right() - radius, face.top() + 1.5));
    } else if (gloss && frame == Normal) {
        p.setPen(QPen(withAlpha(Qt::white, 90), 1));
        p.drawLine(QPointF(face.left() + radius, face.top() + 1.5),
                   QPointF(face.right() - radius, face.top() + 1.5));
    }
}

void keypadFace(QPainter &p, const QRectF &area, Frame frame, const QString &glyph)
{
    buttonFace(p, area.adjusted(1, 1, -1, -1), 5, standardFill(frame), frame, false);
    const QStringList parts = glyph.split(QLatin1Char(' '));
    const QColor digitColour = frame == Disabled ? QColor(0xA9, 0xB5, 0xC2) : ink;
    const QPointF shift = frame == Pushed ? QPointF(1, 1) : QPointF(0, 0);
    const bool letters = parts.size() > 1;
    p.setPen(digitColour);
    p.setFont(uiFont(letters ? 16 : 18, true));
    const QRectF digitBox =
        letters ? QRectF(area.left(), area.top() + 2, area.width(), area.height() * 0.62) : area;
    p.drawText(digitBox.translated(shift), Qt::AlignCenter, parts.value(0));
    if (letters) {
        p.setPen(frame == Disabled ? digitColour : inkMuted);
        p.setFont(uiFont(8, false));
        p.drawText(QRectF(area.left(), area.top() + area.height() * 0.58, area.width(),
                          area.height() * 0.36)
                       .translated(shift),
                   Qt::AlignCenter, parts.value(1));
    }
}

void navFace(QPainter &p, const QRectF &area, Frame frame, const QString &glyph)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    QPointF shift(0, 0);
    if (frame == Pushed) {
        p.setPen(QPen(withAlpha(Qt::white, 70), 1));
        p.setBrush(withAlpha(QColor(0x0A, 0x3D, 0x70), 110));
        p.drawRoundedRect(area.adjusted(3.5, 3.5, -3.5, -3.5), 8, 8);
        shift = QPointF(1, 1);
    }
    const double side = std::min(area.width(), area.height()) * 0.56;
    const QRectF box(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    const QColor colour = frame == Disabled ? withAlpha(Qt::white, 95) : Qt::white;
    if (frame != Disabled) {
        // A faint shadow keeps the white line icon readable on the lighter parts of the band.
        drawIcon(p, box.translated(shift + QPointF(0, 1)), glyph,
                 withAlpha(QColor(0x08, 0x30, 0x60), 90));
    }
    drawIcon(p, box.translated(shift), glyph, colour);
}

void sideFace(QPainter &p, const QRectF &area, Frame frame)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF face = area.adjusted(0.5, 0.5, -0.5, -0.5);
    switch (frame) {
    case Normal:
        p.setPen(QPen(QColor(0xC2, 0xD3, 0xE6), 1));
        p.setBrush(
            vertical(face, withAlpha(Qt::white, 230), withAlpha(QColor(0xF0, 0xF5, 0xFB), 230)));
        p.drawRoundedRect(face, 5, 5);
        break;
    case Disabled:  // the page on show: its button is disabled, so this frame marks the selection
        p.setPen(QPen(QColor(0x8F, 0xB8, 0xE3), 1));
        p.setBrush(vertical(face, QColor(0xD9, 0xEA, 0xFB), QColor(0xC6, 0xDD, 0xF5)));
        p.drawRoundedRect(face, 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(brand);
        p.drawRoundedRect(QRectF(face.left() + 3, face.top() + 5, 4, face.height() - 10), 2, 2);
        break;
    case Pushed:
        p.setPen(QPen(QColor(0x4F, 0x86, 0xC0), 1));
        p.setBrush(vertical(face, QColor(0xC4, 0xDA, 0xF1), QColor(0xD6, 0xE6, 0xF7)));
        p.drawRoundedRect(face, 5, 5);
        break;
    }
}

void tabFace(QPainter &p, const QRectF &area, Frame frame)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF face = area.adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = roundedCorners(face, 6, true, true, false, false);
    Fill fill = standardFill(frame);
    if (frame == Normal)
        fill = {QColor(0xF7, 0xFA, 0xFD), QColor(0xE4, 0xEC, 0xF6), QColor(0xAF, 0xC3, 0xD9)};
    p.setPen(QPen(fill.edge, 1));
    p.setBrush(vertical(face, fill.top, fill.bottom));
    p.drawPath(shape);
    if (frame == Pushed) {
        p.setPen(Qt::NoPen);
        p.setBrush(brand);
        p.drawRect(QRectF(face.left() + 6, face.bottom() - 2.5, face.width() - 12, 2.5));
    }
}

void drawButtonFrame(QPainter &p, const SkinKey &key, const QRectF &area, Frame frame)
{
    const QString glyph = QString::fromLatin1(key.glyph);
    switch (key.look) {
    case Look::PrimaryButton:
        buttonFace(p, area, 4, colouredFill(frame, QColor(0x22, 0x80, 0xD4)), frame, true);
        break;
    case Look::ConnectButton: buttonFace(p, area, 7, colouredFill(frame, teal), frame, true); break;
    case Look::DialButton:
    case Look::HangupButton: {
        const QColor base =
            key.look == Look::DialButton ? QColor(0x2F, 0xAE, 0x57) : QColor(0xDD, 0x4B, 0x43);
        buttonFace(p, area.adjusted(1, 1, -1, -1), 6, colouredFill(frame, base), frame, true);
        const double side = area.height() * 0.62;
        const QPointF shift = frame == Pushed ? QPointF(1, 1) : QPointF(0, 0);
        drawIcon(p,
                 QRectF(area.center().x() - side / 2, area.center().y() - side / 2, side, side)
                     .translated(shift),
                 glyph, frame == Disabled ? withAlpha(Qt::white, 170) : Qt::white);
        break;
    }
    case Look::KeypadButton: keypadFace(p, area, frame, glyph); break;
    case Look::GlyphButton: {
        buttonFace(p, area, 4, standardFill(frame), frame, false);
        const double side = std::min(area.height() * 0.7, area.width() * 0.7);
        const QPointF shift = frame == Pushed ? QPointF(1, 1) : QPointF(0, 0);
        drawIcon(p,
                 QRectF(area.center().x() - side / 2, area.center().y() - side / 2, side, side)
                     .translated(shift),
                 glyph, frame == Disabled ? QColor(0xA9, 0xB5, 0xC2) : QColor(0x2D, 0x4B, 0x6B));
        break;
    }
    case Look::NavButton: navFace(p, area, frame, glyph); break;
    case Look::SideButton: sideFace(p, area, frame); break;
    case Look::TabButton: tabFace(p, area, frame); break;
    default: buttonFace(p, area, 4, standardFill(frame), frame, false); break;
    }
}

// ---- image controls ------------------------------------------------------------------------

QImage titleIcon(const SkinKey &key, int state)  // 0 normal, 1 hot, 2 pushed
{
    QImage image = canvas(key.width, key.height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF area(0, 0, key.width, key.height);
    const bool close = QLatin1String(key.glyph) == QLatin1String("close");
    if (state > 0) {
        QColor tile = close ? QColor(0xE0, 0x4F, 0x4F) : withAlpha(Qt::white, 60);
        if (state == 2)
            tile = close ? QColor(0xB8, 0x36, 0x36) : withAlpha(Qt::black, 60);
        p.setPen(Qt::NoPen);
        p.setBrush(tile);
        p.drawRoundedRect(area, 4, 4);
    }
    drawIcon(p, area.adjusted(1, 1, -1, -1), QString::fromLatin1(key.glyph),
             state == 0 ? withAlpha(Qt::white, 215) : Qt::white);
    return image;
}

QImage statusIcon(const SkinKey &key, int state)
{
    QImage image = canvas(key.width, key.height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF area(0, 0, key.width, key.height);
    const bool envelope = QLatin1String(key.glyph) == QLatin1String("envelope");
    const QColor colour = envelope ? QColor(0xE8, 0x8A, 0x1A) : QColor(0x2F, 0xAE, 0x57);
    if (state > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(colour, state == 1 ? 45 : 80));
        p.drawRoundedRect(area, 4, 4);
    }
    const double side = std::min(area.width(), area.height()) - 2;
    drawIcon(p, QRectF(area.center().x() - side / 2, area.center().y() - side / 2, side, side),
             QString::fromLatin1(key.glyph), state == 2 ? colour.darker(120) : colour);
    return image;
}

}  // namespace

void setDrawScale(int scale) { g_scale = scale; }

QImage drawPicture(const SkinKey &key)
{
    const int w = key.width, h = key.height;
    switch (key.look) {
    case Look::MainBackground: return mainBackground(w, h);
    case Look::MainTitleLeft: return mainTitle(w, h, true, false);
    case Look::MainTitle: return mainTitle(w, h, false, false);
    case Look::MainTitleRight: return mainTitle(w, h, false, true);
    case Look::MainStatusStrip: return mainStatusStrip(w, h);
    case Look::PageBackground: return pageBackground(w, h);
    case Look::SideColumn: return sideColumn(w, h);
    case Look::DialogBackground: return dialogBackground(w, h);
    case Look::BodyPanel: return bodyPanel(w, h);
    case Look::CaptionStrip: return captionStrip(w, h);
    case Look::PageHeader: return pageHeader(w, h);
    case Look::FooterStrip: return footerStrip(w, h);
    case Look::SidePanel: return sidePanel(w, h);
    case Look::Illustration: return illustration(w, h);
    case Look::InputField: return inputField(w, h);
    case Look::KeypadPanel: return keypadPanel(w, h);
    case Look::AboutBackground: return aboutBackground(w, h);
    case Look::PopupBody: return popupBody(w, h);
    default: return {};
    }
}

ImageControlPictures drawImageControl(const SkinKey &key)
{
    if (key.look == Look::TitleIcon)
        return {titleIcon(key, 0), titleIcon(key, 1), titleIcon(key, 2)};
    return {statusIcon(key, 0), statusIcon(key, 1), statusIcon(key, 2)};
}

QImage drawButtonStrip(const SkinKey &key)
{
    QImage strip = canvas(key.width, key.height * 3);
    QPainter p(&strip);
    for (Frame frame : {Normal, Disabled, Pushed}) {
        p.save();
        p.setClipRect(QRect(0, frame * key.height, key.width, key.height));
        drawButtonFrame(p, key, QRectF(0, frame * key.height, key.width, key.height), frame);
        p.restore();
    }
    return strip;
}

std::vector<QImage> drawImageList(const SkinKey &key)
{
    // The connection animation: a pulse running along five dots from the card to the net.
    std::vector<QImage> frames;
    for (int frame = 0; frame < kConnectAnimationFrames; ++frame) {
        QImage image = canvas(key.width, key.height);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        const double step = key.width / double(kConnectAnimationFrames);
        for (int dot = 0; dot < kConnectAnimationFrames; ++dot) {
            const int distance = std::abs(dot - frame);
            const double radius = distance == 0 ? key.height * 0.38 : key.height * 0.26;
            QColor colour = distance == 0 ? teal
                                          : (distance == 1 ? QColor(0x7F, 0xCF, 0xC5)
                                                           : QColor(0xC9, 0xDD, 0xEE));
            p.setBrush(colour);
            p.drawEllipse(QPointF(step * (dot + 0.5), key.height / 2.0), radius, radius);
        }
        frames.push_back(image);
    }
    return frames;
}

KeyColours coloursOf(const SkinKey &key)
{
    KeyColours colours;
    switch (key.look) {
    case Look::Button:
    case Look::SideButton:
    case Look::TabButton:
    case Look::GlyphButton:
    case Look::KeypadButton:
        colours.color = ink;
        colours.hotColor = brand;
        break;
    case Look::PrimaryButton:
    case Look::ConnectButton:
    case Look::DialButton:
    case Look::HangupButton:
    case Look::NavButton:
        colours.color = QColor(Qt::white);
        colours.hotColor = warm;
        break;
    case Look::TextLabel: colours.color = ink; break;
    case Look::AccentLabel: colours.color = brandDeep; break;
    case Look::TxLabel: colours.color = QColor(0xC7, 0x6A, 0x12); break;
    case Look::RxLabel: colours.color = teal.darker(115); break;
    case Look::MutedLabel: colours.color = inkMuted; break;
    case Look::ChoiceColor: colours.color = ink; break;
    case Look::ViewEdit: colours.color = QColor(0xF3, 0xF7, 0xFB); break;
    case Look::Link:
        colours.color = brand;
        colours.hotColor = teal;
        break;
    default: break;
    }
    return colours;
}

}  // namespace skingen
