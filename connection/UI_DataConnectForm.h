// The Internet page: a thin window over DataConnection. It shows the state, the traffic and the
// rates it is told, animates while a dial or hang-up is under way, and asks the user what the
// connection needs (credentials, a failure explained).
#pragma once

#include "ConnectionLog.h"
#include "DataBudget.h"
#include "DataConnection.h"
#include "FeatureRoles.h"
#include "FeatureWindow.h"
#include "RateGraph.h"
#include "UsageBarChart.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

class TBL_File;

class TData_connectform final : public QWidget,
                                public feature::FeatureWindow,
                                public feature::InternetConnection,
                                public DataConnectionHost,
                                public DataBudgetHost {
    Q_OBJECT
public:
    // The dial-up layer for this run (pppd, or the virtual card's) and the program's files.
    explicit TData_connectform(feature::FeatureHost &host);
    TData_connectform(feature::FeatureHost &host, std::unique_ptr<ras::RasApi> ras,
                      TBL_File &files);
    ~TData_connectform() override;

    // 0 idle, 1 dialling, 2 cancelling, 3 connected, 4 disconnecting.
    int ConnectionState() const { return m_connectionState; }
    // Posts a change of the state to the main window (WM_CONNECTION_STATE), once per change.
    void setConnectionState(int state);
    // The tray hint while connected: sent, received and time; empty otherwise.
    QString StatusText() const;
    // The user took the card off line or powered it off.
    void UserAskedOffline() { m_userAskedOffline = true; }
    bool userAskedOffline() const { return m_userAskedOffline; }
    void offlineAsked() override { UserAskedOffline(); }
    QString statusText() const override { return StatusText(); }
    DataConnection &connection() { return *m_connection; }
    // The data budget on this connection (the budget page and the usage window use it).
    DataBudget &budget() { return *m_budget; }
    ras::RasApi &dialUp() { return *m_ras; }
    // The last card state the main window told.
    uint8_t cardState() const { return m_cardState; }

    void ImButtonConnectClick();
    void QueryLogClick();
    void QueryUsageClick();
    // This period's use against the limit of the network the card is on; the line is hidden
    // when that network has no limit.
    void showPeriodUse(const BudgetSettings &budget, const UsageMonth &period, bool roamingNow);
    void DataAnimateTimer();

    QLabel *DataTitleLabel;
    QLabel *DataStateLabel;
    QLabel *DataHintLabel;
    QLabel *DataAnimateImage;
    QLabel *DataTransportLabel;
    QLabel *DataReceivedLabel;
    QLabel *DataTimeLabel;
    QLabel *DataTxRateLabel;
    QLabel *DataRxRateLabel;
    RateGraph *DataRateGraph;
    QPushButton *ImButtonConnect;
    QLabel *QueryLog;
    QLabel *QueryUsage;
    QLabel *DataUsageLabel;
    UsageGaugeBar *DataUsageBar;
    QTimer DataAnimate;

    // feature::FeatureWindow
    void cardStateChanged(CardState state) override;
    void messageArrived(platform::WindowMessageEvent &message) override;
    void shownInPanel() override;
    std::vector<QTimer *> timersStoppedDuringCall() override { return {}; }

    // DataConnectionHost
    void showConnectionState(::ConnectionState state) override;
    void showTraffic(const TrafficMeter &meter) override;
    void setConnectEnabled(bool enabled) override;
    void setLogLinkEnabled(bool enabled) override;
    void showMessage(int stringId) override;
    void showDialError(uint32_t error, const QString &text) override;
    bool askCredentials(const ProfileRecord &profile, CredentialAnswer &answer) override;
    void connectionUp() override { m_host.notices().connectionUp(); }
    void connectionDown() override { m_host.notices().connectionDown(); }
    void logConnection(const ConnectionLogRecord &record) override;
    bool inService() const override;

    // DataBudgetHost
    bool roamingNow() const override { return m_host.roaming(); }
    void budgetWarning(bool roaming, uint64_t usedBytes, uint64_t limitBytes) override;
    void budgetLimit(bool roaming, uint64_t limitBytes, bool disconnected) override;
    bool confirmDialOverLimit(bool roaming) override;

private:
    void showIdleHint();
    void refreshPeriodUse();
    void showStatistics(bool shown);
    // On SIM ready: a SIM whose operator no delivered profile serves is offered the provider
    // database's profile, once per SIM in a run; taken, it becomes the default.
    void offerProviderProfile();

    feature::FeatureHost &m_host;
    TBL_File &m_files;
    std::unique_ptr<ras::RasApi> m_ras;
    std::unique_ptr<DataConnection> m_connection;
    std::unique_ptr<DataBudget> m_budget;
    ConnectionLog m_log;
    int m_connectionState = 0;
    uint8_t m_cardState = 1;
    int m_animationFrame = 0;
    bool m_userAskedOffline = false;
    std::string m_offeredImsi;
};
