// The usage window: the data used per day of the current billing period or per period over the
// past twelve, home and roaming apart, with the totals and this period against its limits.
// Opened from the Internet page's usage link; a thin window over UsageReport.
#pragma once

#include "FeatureWindow.h"
#include "UsageBarChart.h"
#include "UsageReport.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

class TUsageForm final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TUsageForm(feature::FeatureHost &host);

    // Reads the budget and the store again and shows the window.
    void Open();
    // Reads again without showing: the window on show follows the connection.
    void reload();
    void UsageDaysButtonClick() { showView(UsageReport::Days); }
    void UsageMonthsButtonClick() { showView(UsageReport::Months); }
    void ReturnButtonClick();
    UsageReport::View view() const { return m_view; }
    const UsageReport &report() const { return m_report; }

    QPushButton *UsageDaysButton;
    QPushButton *UsageMonthsButton;
    QLabel *UsagePeriodLabel;
    UsageBarChart *UsageChart;
    QLabel *UsageTotalLabel;
    QLabel *UsageLimitLabel;
    QPushButton *ReturnButton;

    void messageArrived(platform::WindowMessageEvent &message) override;
    void connectionStateChanged(ConnectionState state) override;

private:
    void showView(UsageReport::View view);

    feature::FeatureHost &m_host;
    UsageReport m_report;
    UsageReport::View m_view = UsageReport::Days;
};
