// Dial-up over pppd, for a real card.
//
// A phonebook entry lives in memory until it is dialled; the dial writes pppd's options file and
// the chat script into the user's runtime folder, readable by the user only (the password is in
// the options file, never on a command line), and starts pppd without a shell. pppd stays in the
// foreground as our child: its output tells the progress, its exit the outcome, and the
// connection is over when it ends. Hanging up is SIGTERM, then SIGKILL when pppd has not ended
// after a grace period. Deleting the entry removes the files.
//
// Counters come from /sys/class/net/pppN/statistics, 64-bit, and stay 64-bit up to the caller.
//
// pppd ends with the program: a small watcher process, forked beside pppd, ends it when the
// program is gone without a word (a crash or a kill). Files an earlier run left behind are
// removed when the backend starts.
#pragma once

#include "platform/ras/DataPort.h"
#include "platform/ras/PppdProgress.h"
#include "platform/ras/RasApi.h"

#include <QElapsedTimer>

#include <unistd.h>

#include <functional>
#include <map>
#include <memory>

class QProcess;

namespace ras {

class PppdBackend final : public RasApi {
    Q_OBJECT
public:
    struct Settings {
        std::string controlPort;                      // the engine's port ($LUMACORE_PORT)
        std::string dataPort;                         // set: use this port ($LUMACORE_DATA_PORT)
        std::function<std::string()> engineDataPort;  // else the port the engine names
        DataPortLookup lookup;      // where sysfs and /dev are (tests make their own)
        std::string runtimeFolder;  // empty: $XDG_RUNTIME_DIR
        std::string peersFile = "/etc/ppp/peers/lumadial";
        int hangUpGraceMs = 3000;
    };
    // Settings from the environment: LUMACORE_PORT, LUMACORE_DATA_PORT, XDG_RUNTIME_DIR.
    static Settings settingsFromEnvironment();

    explicit PppdBackend(Settings settings, QObject *parent = nullptr);
    ~PppdBackend() override;

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
    // pppd's process and its interface: both stay while the link lasts.
    std::string connectionIdentity(ConnectionHandle handle) const override;

    // The files written for an entry's dial (empty before the dial and after deleteEntry).
    std::string optionsFile(const std::string &entryName) const;
    std::string chatFile(const std::string &entryName) const;

private:
    struct Entry {
        PhonebookEntry properties;
        std::string optionsPath;
        std::string chatPath;
    };
    struct Connection {
        QProcess *process = nullptr;  // child of the backend, freed after it ended
        PppdProgress progress;
        std::string entryName;
        std::string deviceName;
        std::string pending;  // output not yet ended by a newline
        bool connected = false;
        bool ended = false;
        bool hangingUp = false;
        int guard = -1;  // the program's end of the watcher's pipe, open while pppd runs
        void closeGuard()
        {
            if (guard >= 0)
                ::close(guard);
            guard = -1;
        }
        ~Connection() { closeGuard(); }
        uint64_t sentBase = 0;
        uint64_t receivedBase = 0;
        QElapsedTimer upTime;
    };

    std::string dataPort() const;
    std::string runtimeFolder() const;
    bool readCounters(const Connection &connection, uint64_t &sent, uint64_t &received) const;
    void removeFiles(Entry &entry);
    void readOutput(ConnectionHandle handle);
    void processEnded(ConnectionHandle handle, int exitStatus, bool crashed);
    void startFailed(ConnectionHandle handle, uint32_t error);

    Settings m_settings;
    std::map<std::string, Entry> m_entries;
    std::map<ConnectionHandle, std::unique_ptr<Connection>> m_connections;
    ConnectionHandle m_nextHandle = 1;
    unsigned m_fileCounter = 0;
};

// The program for a name: the PATH first, then /usr/sbin and /sbin (not on a normal user's
// PATH on Debian). Empty when there is none.
std::string findProgram(const std::string &name);

}  // namespace ras
