#include "ChartDrawing.h"

#include <algorithm>

namespace chart {

namespace {

int labelWidthOf(const QFontMetrics &metrics, const AxisScale &scale)
{
    int widest = 0;
    for (int index = 0; index <= scale.steps; ++index)
        widest = std::max(widest, metrics.horizontalAdvance(scale.label(index)));
    return widest;
}

}  // namespace

QRectF PlotArea(const QSize &size, const QFontMetrics &metrics, const AxisScale &scale)
{
    const int labelWidth = labelWidthOf(metrics, scale);
    const int textHeight = metrics.height();
    const QRectF plot(labelWidth + 8, textHeight + 5, size.width() - labelWidth - 16,
                      size.height() - 2 * textHeight - 11);
    return plot.width() < 20 || plot.height() < 20 ? QRectF() : plot;
}

void DrawScale(QPainter &painter, const QRectF &plot, const QFontMetrics &metrics,
               const AxisScale &scale)
{
    painter.fillRect(plot, QColor(255, 255, 255, 200));
    const int textHeight = metrics.height();
    const double labelRight = plot.left() - 4;
    for (int index = 0; index <= scale.steps; ++index) {
        const double y = plot.bottom() - plot.height() * index / scale.steps;
        painter.setPen(QPen(kGrid, 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(kText);
        painter.drawText(QRectF(0, y - textHeight / 2.0, labelRight, textHeight),
                         Qt::AlignRight | Qt::AlignVCenter, scale.label(index));
    }
}

void DrawBorder(QPainter &painter, const QRectF &plot)
{
    painter.setPen(QPen(kGrid.darker(110), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
}

void DrawLegend(QPainter &painter, const QRectF &plot, const QFontMetrics &metrics,
                const std::vector<std::pair<QString, QColor>> &entries)
{
    double right = plot.right();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const auto &[name, colour] = *entry;
        if (name.isEmpty())
            continue;
        const int advance = metrics.horizontalAdvance(name);
        painter.setPen(kText);
        painter.drawText(QPointF(right - advance, metrics.ascent() + 1), name);
        painter.fillRect(QRectF(right - advance - 12, metrics.ascent() / 2.0 - 2, 8, 8), colour);
        right -= advance + 22;
    }
}

}  // namespace chart
