#include "UsageBarChart.h"

#include "ChartDrawing.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

UsageBarChart::UsageBarChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("UsageChart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void UsageBarChart::setBars(std::vector<UsageBar> bars, const AxisScale &scale)
{
    m_bars = std::move(bars);
    m_scale = scale;
    update();
}

void UsageBarChart::setNames(const QString &home, const QString &roaming)
{
    m_homeName = home;
    m_roamingName = roaming;
    update();
}

void UsageBarChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont small = font();
    small.setPixelSize(10);
    painter.setFont(small);
    const QFontMetrics metrics(small);
    const QRectF plot = chart::PlotArea(size(), metrics, m_scale);
    if (plot.isEmpty())
        return;
    chart::DrawScale(painter, plot, metrics, m_scale);

    if (!m_bars.empty()) {
        const double slot = plot.width() / double(m_bars.size());
        const double barWidth = std::max(1.0, slot * 0.7);
        // Every n-th label, so that neighbours never overlap; the current bar's always, with
        // room kept on either side of it.
        int widest = 0;
        for (const UsageBar &bar : m_bars)
            widest = std::max(widest, metrics.horizontalAdvance(bar.label));
        const size_t every = size_t(std::max(1.0, std::ceil((widest + 6) / slot)));
        const auto current = std::find_if(m_bars.begin(), m_bars.end(),
                                          [](const UsageBar &bar) { return bar.current; });
        const size_t currentIndex = size_t(current - m_bars.begin());
        auto labelled = [&](size_t index) {
            if (index == currentIndex)
                return true;
            const size_t distance =
                index > currentIndex ? index - currentIndex : currentIndex - index;
            return index % every == 0 && (current == m_bars.end() || distance >= every);
        };
        const double top = m_scale.top();
        auto heightOf = [&](uint64_t bytes) {
            return plot.height() * std::min(double(bytes), top) / top;
        };
        for (size_t index = 0; index < m_bars.size(); ++index) {
            const UsageBar &bar = m_bars[index];
            const double left = plot.left() + slot * double(index) + (slot - barWidth) / 2;
            const double home = heightOf(bar.home.total());
            const double both = heightOf(bar.home.total() + bar.roaming.total());
            QColor homeColour = m_homeColour;
            QColor roamingColour = m_roamingColour;
            if (!bar.current) {
                // The bars before today a shade lighter: the eye finds today's at once.
                homeColour = homeColour.lighter(125);
                roamingColour = roamingColour.lighter(115);
            }
            painter.fillRect(QRectF(left, plot.bottom() - home, barWidth, home), homeColour);
            painter.fillRect(QRectF(left, plot.bottom() - both, barWidth, both - home),
                             roamingColour);
            if (labelled(index)) {
                QFont labelFont = small;
                labelFont.setBold(bar.current);
                painter.setFont(labelFont);
                painter.setPen(chart::kText);
                painter.drawText(QRectF(left + barWidth / 2 - slot * double(every) / 2,
                                        plot.bottom() + 2, slot * double(every), metrics.height()),
                                 Qt::AlignHCenter | Qt::AlignTop, bar.label);
                painter.setFont(small);
            }
        }
    }
    chart::DrawBorder(painter, plot);
    chart::DrawLegend(painter, plot, metrics,
                      {{m_homeName, m_homeColour}, {m_roamingName, m_roamingColour}});
}

UsageGaugeBar::UsageGaugeBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DataUsageBar"));
    setFixedHeight(10);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void UsageGaugeBar::setGauge(double share, UsageGauge::Level level)
{
    m_share = share;
    m_level = level;
    update();
}

void UsageGaugeBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF whole = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(0xB8, 0xC4, 0xCF), 1));
    painter.setBrush(QColor(0xEE, 0xF2, 0xF5));
    painter.drawRoundedRect(whole, 4, 4);
    const QColor fill = m_level == UsageGauge::Reached   ? QColor(0xC6, 0x32, 0x2B)
                        : m_level == UsageGauge::Warning ? QColor(0xE0, 0x8A, 0x1E)
                                                         : QColor(0x2E, 0x9E, 0x6A);
    const double filled = whole.width() * std::clamp(m_share, 0.0, 1.0);
    if (filled > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(whole.left(), whole.top(), filled, whole.height()), 4, 4);
    }
}
