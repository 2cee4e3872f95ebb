#include "Icons.h"

#include <QPainterPath>

#include <cmath>

namespace skingen {

namespace {

// Icons are designed on a 24 x 24 grid and scaled into the box.
class Grid {
public:
    Grid(QPainter &painter, const QRectF &box, const QColor &color) : m_painter(painter)
    {
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing, true);
        m_painter.translate(box.topLeft());
        m_painter.scale(box.width() / 24.0, box.height() / 24.0);
        m_stroke = QPen(color, 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        m_painter.setPen(m_stroke);
        m_painter.setBrush(Qt::NoBrush);
        m_color = color;
    }
    ~Grid() { m_painter.restore(); }
    Grid(const Grid &) = delete;
    Grid &operator=(const Grid &) = delete;

    QPainter &p() { return m_painter; }
    void fill()
    {
        m_painter.setBrush(m_color);
        m_painter.setPen(Qt::NoPen);
    }
    void stroke(double width = 1.9)
    {
        m_stroke.setWidthF(width);
        m_painter.setPen(m_stroke);
        m_painter.setBrush(Qt::NoBrush);
    }

private:
    QPainter &m_painter;
    QPen m_stroke;
    QColor m_color;
};

void home(Grid &g)
{
    QPainterPath roof;
    roof.moveTo(3, 11.5);
    roof.lineTo(12, 3.5);
    roof.lineTo(21, 11.5);
    g.p().drawPath(roof);
    QPainterPath body;
    body.moveTo(5.5, 10);
    body.lineTo(5.5, 20.5);
    body.lineTo(18.5, 20.5);
    body.lineTo(18.5, 10);
    g.p().drawPath(body);
    g.p().drawRect(QRectF(10, 14, 4, 6.5));
}

void globe(Grid &g)
{
    g.p().drawEllipse(QRectF(3, 3, 18, 18));
    g.p().drawEllipse(QRectF(8, 3, 8, 18));
    g.p().drawLine(QPointF(3.5, 12), QPointF(20.5, 12));
    g.p().drawLine(QPointF(5, 7.5), QPointF(19, 7.5));
    g.p().drawLine(QPointF(5, 16.5), QPointF(19, 16.5));
}

void envelope(Grid &g)
{
    g.p().drawRoundedRect(QRectF(3, 5.5, 18, 13), 1.5, 1.5);
    QPainterPath flap;
    flap.moveTo(3.5, 6.5);
    flap.lineTo(12, 13);
    flap.lineTo(20.5, 6.5);
    g.p().drawPath(flap);
}

void contacts(Grid &g)
{
    g.p().drawEllipse(QRectF(8, 3.5, 8, 8));
    QPainterPath shoulders;
    shoulders.moveTo(4, 20.5);
    shoulders.cubicTo(4.5, 15, 8, 13.5, 12, 13.5);
    shoulders.cubicTo(16, 13.5, 19.5, 15, 20, 20.5);
    shoulders.closeSubpath();
    g.p().drawPath(shoulders);
}

void gear(Grid &g)
{
    QPainterPath teeth;
    const int count = 8;
    for (int i = 0; i < count * 2; ++i) {
        const double angle = (i * M_PI) / count;
        const double radius = (i % 2 == 0) ? 9.5 : 7.4;
        const double spread = 0.22;
        const QPointF a(12 + radius * std::cos(angle - spread),
                        12 + radius * std::sin(angle - spread));
        const QPointF b(12 + radius * std::cos(angle + spread),
                        12 + radius * std::sin(angle + spread));
        if (i == 0)
            teeth.moveTo(a);
        else
            teeth.lineTo(a);
        teeth.lineTo(b);
    }
    teeth.closeSubpath();
    g.p().drawPath(teeth);
    g.p().drawEllipse(QRectF(8.8, 8.8, 6.4, 6.4));
}

void sim(Grid &g)
{
    QPainterPath card;
    card.moveTo(6, 3);
    card.lineTo(14.5, 3);
    card.lineTo(19, 7.5);
    card.lineTo(19, 21);
    card.lineTo(6, 21);
    card.closeSubpath();
    g.p().drawPath(card);
    g.stroke(1.5);
    g.p().drawRoundedRect(QRectF(9, 10, 7, 8), 1, 1);
    g.p().drawLine(QPointF(12.5, 10), QPointF(12.5, 18));
    g.p().drawLine(QPointF(9, 14), QPointF(16, 14));
}

void help(Grid &g)
{
    g.p().drawEllipse(QRectF(3, 3, 18, 18));
    QPainterPath hook;
    hook.moveTo(9.2, 9.5);
    hook.cubicTo(9.2, 6.5, 14.8, 6.5, 14.8, 9.5);
    hook.cubicTo(14.8, 11.8, 12, 11.8, 12, 14.2);
    g.p().drawPath(hook);
    g.fill();
    g.p().drawEllipse(QRectF(10.9, 16.2, 2.2, 2.2));
}

QPainterPath handset()
{
    QPainterPath path;
    path.moveTo(6.6, 3.2);
    path.lineTo(9.2, 3.2);
    path.lineTo(10.6, 7.6);
    path.lineTo(8.6, 9.6);
    path.cubicTo(9.8, 12.2, 11.8, 14.2, 14.4, 15.4);
    path.lineTo(16.4, 13.4);
    path.lineTo(20.8, 14.8);
    path.lineTo(20.8, 17.4);
    path.cubicTo(20.8, 19.4, 19.2, 20.8, 17.4, 20.8);
    path.cubicTo(10.2, 20.2, 3.8, 13.8, 3.2, 6.6);
    path.cubicTo(3.2, 4.8, 4.6, 3.2, 6.6, 3.2);
    path.closeSubpath();
    return path;
}

void phone(Grid &g)
{
    g.fill();
    g.p().drawPath(handset());
}

void hangup(Grid &g)
{
    g.fill();
    g.p().translate(12, 12);
    g.p().rotate(135);
    g.p().translate(-12, -12);
    g.p().drawPath(handset());
}

void history(Grid &g)
{
    QPainterPath arc;
    arc.arcMoveTo(QRectF(3, 3, 18, 18), 160);
    arc.arcTo(QRectF(3, 3, 18, 18), 160, -320);
    g.p().drawPath(arc);
    QPainterPath arrow;
    arrow.moveTo(2.5, 7);
    arrow.lineTo(3.6, 11);
    arrow.lineTo(7.4, 9.6);
    g.p().drawPath(arrow);
    g.p().drawLine(QPointF(12, 7.5), QPointF(12, 12.5));
    g.p().drawLine(QPointF(12, 12.5), QPointF(15.5, 14.5));
}

void backspace(Grid &g)
{
    QPainterPath outline;
    outline.moveTo(8.5, 5.5);
    outline.lineTo(20.5, 5.5);
    outline.lineTo(20.5, 18.5);
    outline.lineTo(8.5, 18.5);
    outline.lineTo(2.5, 12);
    outline.closeSubpath();
    g.p().drawPath(outline);
    g.p().drawLine(QPointF(11.5, 9), QPointF(17, 15));
    g.p().drawLine(QPointF(17, 9), QPointF(11.5, 15));
}

void arrow(Grid &g, bool right)
{
    if (!right) {
        g.p().translate(24, 0);
        g.p().scale(-1, 1);
    }
    g.p().drawLine(QPointF(4, 12), QPointF(19, 12));
    QPainterPath head;
    head.moveTo(13, 6);
    head.lineTo(19.5, 12);
    head.lineTo(13, 18);
    g.p().drawPath(head);
}

void cross(Grid &g)
{
    g.stroke(2.4);
    g.p().drawLine(QPointF(6.5, 6.5), QPointF(17.5, 17.5));
    g.p().drawLine(QPointF(17.5, 6.5), QPointF(6.5, 17.5));
}

void minimize(Grid &g)
{
    g.stroke(2.4);
    g.p().drawLine(QPointF(6.5, 16.5), QPointF(17.5, 16.5));
}

void browse(Grid &g)
{
    g.fill();
    for (double x : {6.0, 12.0, 18.0})
        g.p().drawEllipse(QPointF(x, 13), 1.8, 1.8);
}

void signal(Grid &g)
{
    g.fill();
    for (int bar = 0; bar < 4; ++bar) {
        const double height = 5 + bar * 4.5;
        g.p().drawRoundedRect(QRectF(3.5 + bar * 4.8, 21 - height, 3.2, height), 0.8, 0.8);
    }
}

void search(Grid &g)
{
    g.p().drawEllipse(QRectF(4, 4, 12, 12));
    g.stroke(2.6);
    g.p().drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
}

}  // namespace

bool drawIcon(QPainter &painter, const QRectF &box, const QString &name, const QColor &color)
{
    Grid g(painter, box, color);
    if (name == QLatin1String("home"))
        home(g);
    else if (name == QLatin1String("globe"))
        globe(g);
    else if (name == QLatin1String("envelope"))
        envelope(g);
    else if (name == QLatin1String("contacts"))
        contacts(g);
    else if (name == QLatin1String("gear"))
        gear(g);
    else if (name == QLatin1String("sim"))
        sim(g);
    else if (name == QLatin1String("help"))
        help(g);
    else if (name == QLatin1String("phone"))
        phone(g);
    else if (name == QLatin1String("hangup"))
        hangup(g);
    else if (name == QLatin1String("history"))
        history(g);
    else if (name == QLatin1String("backspace"))
        backspace(g);
    else if (name == QLatin1String("arrow-right"))
        arrow(g, true);
    else if (name == QLatin1String("arrow-left"))
        arrow(g, false);
    else if (name == QLatin1String("close"))
        cross(g);
    else if (name == QLatin1String("minimize"))
        minimize(g);
    else if (name == QLatin1String("browse"))
        browse(g);
    else if (name == QLatin1String("signal"))
        signal(g);
    else if (name == QLatin1String("search"))
        search(g);
    else
        return false;
    return true;
}

}  // namespace skingen
