#include "RateGraph.h"

#include "ChartDrawing.h"

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
    const QRectF plot = chart::PlotArea(size(), metrics, scale);
    if (plot.isEmpty())
        return;
    chart::DrawScale(painter, plot, metrics, scale);

    // The minutes, counted back from the latest sample at the right edge.
    const uint32_t span = m_history.spanSeconds();
    for (uint32_t minute = 0; minute * 60 <= span; ++minute) {
        const double x = plot.right() - plot.width() * (minute * 60.0) / span;
        painter.setPen(QPen(chart::kGrid, 1, minute ? Qt::DotLine : Qt::SolidLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        const QString label = minute ? platform::GetLanguageString(kTextMinutesAgo)
                                           .replace(QLatin1String("%d"), QString::number(minute))
                                     : platform::GetLanguageString(kTextNow);
        const int labelAdvance = metrics.horizontalAdvance(label);
        // Labels stay inside the widget: the last one is drawn leftwards from its line.
        const double left = std::clamp(x - labelAdvance / 2.0, 0.0, double(width() - labelAdvance));
        painter.setPen(chart::kText);
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
    chart::DrawBorder(painter, plot);
    chart::DrawLegend(painter, plot, metrics,
                      {{m_receiveName, m_receiveColour}, {m_sendName, m_sendColour}});
}
