// What the card monitor shows of the network: the network type and service domain, the
// operator's name (the SIM's service-provider name where it has one), roaming, and the signal
// bars, with the timers that read them again (Timer_RSSI, Timer_NoService, TimerSpn).
#pragma once

#include "CardView.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

class TrayNotices;
struct _MEC_ZDON_RECORD;

class NetworkStatus : public QObject {
    Q_OBJECT
public:
    NetworkStatus(CardView &view, TrayNotices &tray);

    // Bars (0-5) for a signal value of _MEC_GetCsq (-1 when the call failed).
    static int signalBars(int csq, bool inService);

    // The reset of the display, in two steps: the signal (Timer_RSSI stopped and quick again,
    // no bars), then the network (type, domain, operator and roaming cleared, not in service).
    void resetSignal();
    void resetNetwork();
    // Stops the no-service count and the provider name's read.
    void stopTimers();
    // Reading the mode: the operator label and the provider name start empty, and the
    // provider name is read from the SIM in a while.
    void startReadingProviderName();

    // No SIM: not in service (what is shown stays).
    void leaveService() { m_inService = false; }
    // Reads the network type and domain (after 11 s without service, "No Service" also counts
    // as none).
    void readNetworkStatus(bool fromNoServiceTimer);
    // Reads the operator's name and roaming.
    void readOperator();
    // Reads the signal once and shows it.
    void pollSignal();

    // The service text the engine posted (WM_SERVICE_TEXT).
    void serviceText(const std::string &text);
    // The operator record the engine posted (WM_OPERATOR_RECORD).
    void operatorRecord(const _MEC_ZDON_RECORD &record);

    bool inService() const { return m_inService; }
    // The card is registered on a network other than its home network.
    bool roaming() const { return m_roaming; }
    bool signalPresent() const { return m_signalPresent; }
    int signalLevel() const { return m_signalLevel; }
    int noServiceTicks() const { return m_noServiceTicks; }
    const QString &operatorText() const { return m_operatorText; }

    QTimer Timer_RSSI;
    QTimer Timer_NoService;
    QTimer TimerSpn;
    void Timer_RSSITimer();
    void Timer_NoServiceTimer();
    void TimerSpnTimer();

private:
    void showSignal(int level);
    void applyRoaming(const std::string &text);
    void startNoServiceTimer();

    CardView &m_view;
    TrayNotices &m_tray;
    bool m_inService = false;
    bool m_roaming = false;
    bool m_signalPresent = false;
    int m_signalLevel = 0;
    int m_noServiceTicks = 0;
    int m_signalPolls = 0;
    QString m_operatorText;
};
