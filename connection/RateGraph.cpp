#include "RateGraph.h"

#include "platform/ResStringManager.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int kTextNow = 6301;
constexpr int kTextMinutesAgo = 6302;  // "%d min"

}  // namespace

RateGraph::RateGraph(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DataRateGraph"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void RateGraph::setColours(const QColor &receive, const QColor &send)
{
    m_receiveColour = receive;
    m_sendColour = send;
    update();
}

void RateGraph::setNames(const QString &receive, const QString &send)
{
    m_receiveName = receive;
    m_sendName = send;
    update();
}

void RateGraph::add(uint32_t tick, double receiveRate, double sendRate)
{
    m_history.add(tick, receiveRate, sendRate);
    update();
}

void RateGraph::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont small = font();
    small.setPixelSize(10);
    painter.setFont(small);
    const QFontMetrics metrics(small);

    const AxisScale scale = ChooseRateScale(m_history.peak());
    int labelWidth = 0;
    for (int index = 0; index <= scale.steps; ++index)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(scale.label(index)));
    const int textHeight = metrics.height();
    const QRectF plot(labelWidth + 8, textHeight + 4, width() - labelWidth - 16,
                      height() - 2 * textHeight - 10);
    if (plot.width() < 20 || plot.height() < 20)
        return;

    painter.fillRect(plot, QColor(255, 255, 255, 200));
    const QColor grid(0xD5, 0xDD, 0xE5);
    const QColor text(0x55, 0x60, 0x6B);

    // The scale: a line and its label at each step.
    for (int index = 0; index <= scale.steps; ++index) {
        const double y = plot.bottom() - plot.height() * index / scale.steps;
        painter.setPen(QPen(grid, 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(0, y - textHeight / 2.0, labelWidth + 4, textHeight),
                         Qt::AlignRight | Qt::AlignVCenter, scale.label(index));
    }
    // The minutes, counted back from the latest sample at the right edge.
    const uint32_t span = m_history.spanSeconds();
    for (uint32_t minute = 0; minute * 60 <= span; ++minute) {
        const double x = plot.right() - plot.width() * (minute * 60.0) / span;
        painter.setPen(QPen(grid, 1, minute ? Qt::DotLine : Qt::SolidLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        const QString label = minute ? platform::GetLanguageString(kTextMinutesAgo)
                                           .replace(QLatin1String("%d"), QString::number(minute))
                                     : platform::GetLanguageString(kTextNow);
        const int labelAdvance = metrics.horizontalAdvance(label);
        // Labels stay inside the widget: the last one is drawn leftwards from its line.
        const double left = std::clamp(x - labelAdvance / 2.0, 0.0, double(width() - labelAdvance));
        painter.setPen(text);
        painter.drawText(QPointF(left, plot.bottom() + 3 + metrics.ascent()), label);
    }

    auto pointAt = [&](const RateHistory::Point &point) {
        const double top = scale.top();
        return QPointF(plot.right() - plot.width() * point.secondsAgo / span,
                       plot.bottom() - plot.height() * std::min(point.rate, top) / top);
    };
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
    for (const auto direction : {RateHistory::Receive, RateHistory::Send}) {
        const QColor colour = direction == RateHistory::Receive ? m_receiveColour : m_sendColour;
        for (const auto &line : m_history.lines(direction)) {
            QPainterPath path(pointAt(line.front()));
            for (size_t index = 1; index < line.size(); ++index)
                path.lineTo(pointAt(line[index]));
            if (direction == RateHistory::Receive && line.size() > 1) {
                // The received amount shaded beneath its line: most traffic is downloads.
                QPainterPath area = path;
                area.lineTo(pointAt({line.back().secondsAgo, 0}));
                area.lineTo(pointAt({line.front().secondsAgo, 0}));
                area.closeSubpath();
                QColor shade = colour;
                shade.setAlpha(40);
                painter.fillPath(area, shade);
            }
            painter.strokePath(path, QPen(colour, 1.6));
            if (line.size() == 1)  // a lone sample still shows
                painter.fillRect(QRectF(pointAt(line.front()) - QPointF(1, 1), QSizeF(2, 2)),
                                 colour);
        }
    }
    painter.setClipping(false);
    painter.setPen(QPen(grid.darker(110), 1));
    painter.drawRect(plot);

    // The legend above the plot, right-aligned.
    double right = plot.right();
    for (const auto &[name, colour] : {std::pair{m_sendName, m_sendColour},
                                       std::pair{m_receiveName, m_receiveColour}}) {
        if (name.isEmpty())
            continue;
        const int advance = metrics.horizontalAdvance(name);
        painter.setPen(text);
        painter.drawText(QPointF(right - advance, metrics.ascent() + 1), name);
        painter.fillRect(QRectF(right - advance - 12, metrics.ascent() / 2.0 - 2, 8, 8), colour);
        right -= advance + 22;
    }
}
