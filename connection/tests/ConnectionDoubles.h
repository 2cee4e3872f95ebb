// Doubles of the connection's surroundings for its tests: a clock that moves when told, a
// dialler whose answers the test chooses (events fired by the test), and a window that records.
#pragma once

#include "DataConnection.h"

#include "config/BL_File.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"

#include <map>
#include <string>
#include <vector>

namespace connection_test {

class TestClock : public platform::Clock {
public:
    QDateTime localNow() const override
    {
        return QDateTime(QDate(2026, 5, 31), QTime(12, 0)).addMSecs(qint64(tick) + jumped);
    }
    uint32_t tickCount() const override { return tick; }
    uint32_t tick = 50'000;
    qint64 jumped = 0;  // the wall clock set forward (or back) by this much
};

// A dialler whose answers the test chooses; events are fired by the test.
class ScriptedRas : public ras::RasApi {
public:
    uint32_t enumDevices(std::vector<ras::DialDevice> &listed) override
    {
        listed = devices;
        return ras::kSuccess;
    }
    uint32_t validateEntryName(const std::string &name) override
    {
        return entries.count(name) ? ras::kAlreadyExists : ras::kSuccess;
    }
    uint32_t setEntryProperties(const ras::PhonebookEntry &entry) override
    {
        entries[entry.name] = entry;
        return ras::kSuccess;
    }
    uint32_t deleteEntry(const std::string &name) override
    {
        return entries.erase(name) ? ras::kSuccess : ras::kEntryNotFound;
    }
    uint32_t dial(const ras::DialParams &params, ras::ConnectionHandle &handle) override
    {
        dialled.push_back(params);
        if (dialResult != ras::kSuccess)
            return dialResult;
        handle = 7;
        live = true;
        return ras::kSuccess;
    }
    uint32_t getConnectStatus(ras::ConnectionHandle handle, ras::ConnectionStatus &status) override
    {
        if (handle != 7 || !live)
            return ras::kInvalidHandle;
        status.state = up ? ras::kConnected : ras::kConnecting;
        return ras::kSuccess;
    }
    uint32_t getStatistics(ras::ConnectionHandle, ras::Statistics &statistics) override
    {
        statistics = counters;
        return live && up ? ras::kSuccess : ras::kInvalidHandle;
    }
    uint32_t clearStatistics(ras::ConnectionHandle) override { return ras::kSuccess; }
    uint32_t hangUp(ras::ConnectionHandle handle) override
    {
        ++hangUps;
        live = up = false;
        emit hangUpFinished(handle, ras::kSuccess);
        return ras::kSuccess;
    }
    uint32_t enumConnections(std::vector<ras::ActiveConnection> &connections) override
    {
        connections = active;
        return ras::kSuccess;
    }
    std::string connectionIdentity(ras::ConnectionHandle handle) const override
    {
        return handle == 7 && live ? identity : std::string();
    }

    void connectNow()
    {
        up = true;
        emit dialEvent(7, ras::kConnected, ras::kSuccess);
    }

    std::vector<ras::DialDevice> devices{{"modem", "Data card (ttyUSB0)", "/dev/ttyUSB0"}};
    std::vector<ras::ActiveConnection> active;
    std::map<std::string, ras::PhonebookEntry> entries;
    std::vector<ras::DialParams> dialled;
    uint32_t dialResult = ras::kSuccess;
    ras::Statistics counters;
    std::string identity;
    bool live = false;
    bool up = false;
    int hangUps = 0;
};

class RecordingHost : public DataConnectionHost {
public:
    void showConnectionState(::ConnectionState state) override { states.push_back(state); }
    void showTraffic(const TrafficMeter &meter) override { lastSent = meter.totalSent(); }
    void setConnectEnabled(bool enabled) override { connectEnabled = enabled; }
    void setLogLinkEnabled(bool) override {}
    void showMessage(int stringId) override { messages.push_back(stringId); }
    void showDialError(uint32_t error, const QString &text) override
    {
        errors.push_back(error);
        errorTexts.push_back(text);
    }
    bool askCredentials(const ProfileRecord &, CredentialAnswer &answer) override
    {
        ++prompts;
        answer = credentials;
        return promptAccepted;
    }
    void connectionUp() override { ++ups; }
    void connectionDown() override { ++downs; }
    void logConnection(const ConnectionLogRecord &record) override { logged.push_back(record); }
    bool inService() const override { return service; }

    std::vector<int> states;
    std::vector<int> messages;
    std::vector<uint32_t> errors;
    std::vector<QString> errorTexts;
    std::vector<ConnectionLogRecord> logged;
    CredentialAnswer credentials;
    bool promptAccepted = true;
    bool connectEnabled = false;
    bool service = true;
    int prompts = 0, ups = 0, downs = 0;
    uint64_t lastSent = 0;
};

// The default profile the tests dial.
inline void fillTestProfile(ProfileRecord &profile)
{
    platform::copyToField(profile.name, sizeof profile.name, "Brisa AR");
    platform::copyToField(profile.dialNumber, sizeof profile.dialNumber, "*99#");
    platform::copyToField(profile.userName, sizeof profile.userName, "brisa");
    platform::copyToField(profile.password, sizeof profile.password, "secret");
    platform::copyToField(profile.apnAutomatic, 4, "0");
    platform::copyToField(profile.apn, sizeof profile.apn, "internet.brisa");
    platform::copyToField(profile.dnsAutomatic, 4, "1");
    platform::copyToField(profile.pdpAddressAutomatic, 4, "1");
    platform::copyToField(profile.authentication, 5, "PAP");
}

}  // namespace connection_test
