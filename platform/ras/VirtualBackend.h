// Dial-up on the virtual data card: the card's data port is dialled with ATD, and after CONNECT
// the link is simulated: the backend sends a little traffic of its own, reads what the card
// sends, and counts both. The call is over when the card says NO CARRIER, the port hangs up
// (the card was pulled), or we close the port (hang-up).
#pragma once

#include "platform/ras/RasApi.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace ras {

class VirtualBackend final : public RasApi {
    Q_OBJECT
public:
    static constexpr int kAnswerTimeoutMs = 30000;
    // Uploaded traffic while on line: this many bytes every tick.
    static constexpr int kUploadBytes = 200;
    static constexpr int kUploadTickMs = 100;

    // The data port of the virtual card (see virtualmodem/DataPort.h).
    explicit VirtualBackend(std::string dataPort, QObject *parent = nullptr);
    ~VirtualBackend() override;

    uint32_t enumDevices(std::vector<DialDevice> &devices) override;
    uint32_t validateEntryName(const std::string &name) override;
    uint32_t setEntryProperties(const PhonebookEntry &entry) override;
    uint32_t deleteEntry(const std::string &name) override;
    uint32_t dial(const DialParams &params, ConnectionHandle &handle) override;
    uint32_t getConnectStatus(ConnectionHandle handle, ConnectionStatus &status) override;
    uint32_t getStatistics(ConnectionHandle handle, Statistics &statistics) override;
    uint32_t clearStatistics(ConnectionHandle handle) override;
    uint32_t hangUp(ConnectionHandle handle) override;
    uint32_t enumConnections(std::vector<ActiveConnection> &connections) override;
    // This run's connection number: a virtual connection never outlives the program.
    std::string connectionIdentity(ConnectionHandle handle) const override;

private:
    void readPort();
    void upload();
    // Closes the port; the connection is forgotten.
    void closePort();
    void end(uint32_t error);

    std::string m_dataPort;
    std::map<std::string, PhonebookEntry> m_entries;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_answerTimer;
    QTimer m_uploadTimer;
    QElapsedTimer m_upTime;
    ConnectionHandle m_handle = kNoConnection;
    ConnectionHandle m_nextHandle = 1;
    qint64 m_startedAt = QDateTime::currentMSecsSinceEpoch();
    std::string m_entryName;
    std::string m_received;  // command-mode answers not yet read whole
    bool m_connected = false;
    uint64_t m_sent = 0;
    uint64_t m_receivedBytes = 0;
    uint64_t m_sentBase = 0;
    uint64_t m_receivedBase = 0;
};

// The dial-up layer for this run: the virtual card's when the engine's port is the virtual card
// (LUMACORE_PORT=virtual, or a port with a "-data" port beside it), else pppd, which asks
// engineDataPort for the port to dial on.
std::unique_ptr<RasApi> CreateRasBackend(std::function<std::string()> engineDataPort,
                                         QObject *parent = nullptr);

}  // namespace ras
