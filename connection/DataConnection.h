// The Internet connection without its window: dialling the default profile through the
// dial-up layer, the connection state, the traffic sampled each second, hanging up, the clean-up
// after a connection and the log entry of each connection that was up.
//
// The window (the Internet page) implements DataConnectionHost to show what it is told and to
// ask the user; everything it decides lives here. Timers keep the program's names and their tick
// handlers are public, so tests drive time by calling them.
#pragma once

#include "TrafficMeter.h"

#include "config/ConfigRecords.h"
#include "logic/EngineValues.h"
#include "platform/ras/RasApi.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <string>

class TBL_File;

// One finished connection, for the connection log.
struct ConnectionLogRecord {
    QDateTime end;  // local time
    uint32_t durationSeconds = 0;
    std::string userName;
    uint64_t bytesSent = 0;
    uint64_t bytesReceived = 0;
};

// What the user typed into the credential prompt.
struct CredentialAnswer {
    std::string userName;
    std::string password;
    bool save = false;
};

class DataConnectionHost {
public:
    virtual ~DataConnectionHost() = default;
    // The state changed: show it (and tell the other windows: message 1127).
    virtual void showConnectionState(::ConnectionState state) = 0;
    // Once a second while connected, and once on connecting.
    virtual void showTraffic(const TrafficMeter &meter) = 0;
    virtual void setConnectEnabled(bool enabled) = 0;
    virtual void setLogLinkEnabled(bool enabled) = 0;
    // A message of the program by resource number (warning icon).
    virtual void showMessage(int stringId) = 0;
    // A dial-up failure: its plain sentence, or when there is none, 6015 and the number.
    virtual void showDialError(uint32_t error, const QString &text) = 0;
    // The credential prompt, filled from the default profile; false when cancelled.
    virtual bool askCredentials(const ProfileRecord &profile, CredentialAnswer &answer) = 0;
    virtual void connectionUp() = 0;
    virtual void connectionDown() = 0;
    virtual void logConnection(const ConnectionLogRecord &record) = 0;
    // The main window's "in service" flag.
    virtual bool inService() const = 0;
};

class DataConnection : public QObject {
    Q_OBJECT
public:
    DataConnection(ras::RasApi &ras, TBL_File &files, DataConnectionHost &host,
                   QObject *parent = nullptr);

    ConnectionState state() const { return m_state; }
    const TrafficMeter &traffic() const { return m_traffic; }
    // The profile name of the connection (for the texts of the page).
    std::string profileName() const;
    // The tray's status text while connected (1046, 1047, 1048 are passed in), else empty.
    QString trayText(const QString &sentLabel, const QString &receivedLabel,
                     const QString &timeLabel, const QString &hour, const QString &minute,
                     const QString &second) const;

    // The connect button (Connect, Cancel or Disconnect by state).
    void ImButtonConnectClick();
    // The card state from the main window.
    void cardStateChanged(uint8_t cardState);
    // Ends a connection that is up, as the Disconnect button does.
    void disconnectNow();
    // Asked before each dial; a dial it answers false to is not made.
    void setDialGuard(std::function<bool()> guard) { m_dialGuard = std::move(guard); }

signals:
    // The connection came up (or was taken over); `identity` names it while it lasts.
    void linkUp(const QString &identity);
    // A sample of the connection's totals since it came up.
    void trafficSampled(uint64_t totalSent, uint64_t totalReceived);
    // The connection that was up has ended (its last sample came before).
    void linkDown();

public:
    // Timer ticks.
    void LinkDataUpdateTimer();
    void CheckConnStatusTimer();
    void EnableConnBtnTimer();
    void WaitTimerTimer();

    QTimer LinkDataUpdate;
    QTimer CheckConnStatus;
    QTimer EnableConnBtn;
    QTimer WaitTimer;

private:
    void dialEvent(ras::ConnectionHandle handle, uint32_t state, uint32_t error);
    void hangUpFinished(ras::ConnectionHandle handle, uint32_t result);
    void disconnected(ras::ConnectionHandle handle);
    void setState(ConnectionState state);
    void hangUp();
    void startCleanUp();
    void showError(uint32_t error);
    bool modemListed(ras::DialDevice &device);
    bool connectedNow();
    void takeSample();
    uint32_t writeEntry(const ProfileRecord &profile, const ras::DialDevice &device);
    bool cardUsable() const;

    ras::RasApi &m_ras;
    TBL_File &m_files;
    DataConnectionHost &m_host;
    ConnectionState m_state = kConnectionIdle;
    ConnectionState m_shownState = kConnectionIdle;
    ras::ConnectionHandle m_handle = ras::kNoConnection;
    uint8_t m_cardState = 0;
    bool m_suppressErrors = false;
    std::string m_entryName;
    std::string m_dialUser;
    std::string m_dialPassword;
    std::string m_logUser;
    TrafficMeter m_traffic;
    uint32_t m_connectTick = 0;
    int m_cleanUpTicks = 0;
    std::function<bool()> m_dialGuard;
};
