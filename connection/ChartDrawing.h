// What the rate graph and the usage chart draw alike: the plot's frame with the value axis's
// lines and labels, and the legend above the plot.
#pragma once

#include "AxisScale.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QRectF>

#include <utility>
#include <vector>

namespace chart {

inline const QColor kGrid(0xD5, 0xDD, 0xE5);
inline const QColor kText(0x55, 0x60, 0x6B);

// The plot inside a widget of `size`: right of the scale's labels, below the legend's line and
// above a line of labels for the horizontal axis. Empty when the widget is too small to draw in.
QRectF PlotArea(const QSize &size, const QFontMetrics &metrics, const AxisScale &scale);
// The plot's light background, and a line with its label at each step of the scale.
void DrawScale(QPainter &painter, const QRectF &plot, const QFontMetrics &metrics,
               const AxisScale &scale);
// The plot's border, drawn last, over what was drawn inside.
void DrawBorder(QPainter &painter, const QRectF &plot);
// A coloured square and a name for each entry, right-aligned above the plot; unnamed entries
// are left out.
void DrawLegend(QPainter &painter, const QRectF &plot, const QFontMetrics &metrics,
                const std::vector<std::pair<QString, QColor>> &entries);

}  // namespace chart
