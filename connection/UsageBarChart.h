// The usage window's chart and the Internet page's bar of this period against the limit.
//
// The chart: one bar per day or per period, home at the foot of each bar and
// roaming stacked on it, against an axis of round amounts, with a legend.
#pragma once

#include "UsageReport.h"

#include <QColor>
#include <QWidget>

class UsageBarChart final : public QWidget {
    Q_OBJECT
public:
    explicit UsageBarChart(QWidget *parent = nullptr);

    void setBars(std::vector<UsageBar> bars, const AxisScale &scale);
    void setNames(const QString &home, const QString &roaming);
    const std::vector<UsageBar> &bars() const { return m_bars; }

    QSize sizeHint() const override { return {420, 170}; }
    QSize minimumSizeHint() const override { return {260, 120}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<UsageBar> m_bars;
    AxisScale m_scale;
    QString m_homeName;
    QString m_roamingName;
    QColor m_homeColour{0x1F, 0x7A, 0xC4};
    QColor m_roamingColour{0xE0, 0x8A, 0x1E};
};

// This period's use against the limit: a thin bar filled to the share used, in a colour that
// turns at the warning share and at the limit.
class UsageGaugeBar final : public QWidget {
    Q_OBJECT
public:
    explicit UsageGaugeBar(QWidget *parent = nullptr);
    void setGauge(double share, UsageGauge::Level level);
    double share() const { return m_share; }
    UsageGauge::Level level() const { return m_level; }

    QSize sizeHint() const override { return {200, 10}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_share = 0;
    UsageGauge::Level m_level = UsageGauge::Normal;
};
