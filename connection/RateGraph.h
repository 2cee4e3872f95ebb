// The Internet page's live graph of the receive and send rates over the last minutes, drawn with
// QPainter from a RateHistory: a scale of round steps on the left, the minutes along the bottom.
#pragma once

#include "RateHistory.h"

#include <QColor>
#include <QWidget>

class RateGraph final : public QWidget {
    Q_OBJECT
public:
    explicit RateGraph(QWidget *parent = nullptr);

    RateHistory &history() { return m_history; }
    const RateHistory &history() const { return m_history; }
    // The colours of the two lines: those of the page's rate labels, so that each line is
    // known by the label beside it.
    void setColours(const QColor &receive, const QColor &send);
    // The names of the two lines in the legend.
    void setNames(const QString &receive, const QString &send);
    // A sample arrived: drawn at once.
    void add(uint32_t tick, double receiveRate, double sendRate);

    QSize sizeHint() const override { return {300, 140}; }
    QSize minimumSizeHint() const override { return {220, 110}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RateHistory m_history;
    QColor m_receiveColour{0x13, 0x8A, 0x7E};
    QColor m_sendColour{0xC8, 0x64, 0x1A};
    QString m_receiveName;
    QString m_sendName;
};
