// The connection's states, with a scripted dialler and a recording window: a whole connection
// logged once with its duration and bytes, a refused dial, cancelling, the card pulled while
// connected, a connection that was already up, and the credential prompt.
#include "DataConnection.h"

#include "config/BL_File.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

class TestClock : public platform::Clock {
public:
    QDateTime localNow() const override
    {
        return QDateTime(QDate(2026, 5, 31), QTime(12, 0)).addMSecs(tick);
    }
    uint32_t tickCount() const override { return tick; }
    uint32_t tick = 50'000;
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

class DataConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setClock(&clock);
        files = std::make_unique<TBL_File>(folder.path());
        ProfileRecord &profile = files->defaultProfile();
        platform::copyToField(profile.name, sizeof profile.name, "Brisa AR");
        platform::copyToField(profile.dialNumber, sizeof profile.dialNumber, "*99#");
        platform::copyToField(profile.userName, sizeof profile.userName, "brisa");
        platform::copyToField(profile.password, sizeof profile.password, "secret");
        platform::copyToField(profile.apnAutomatic, 4, "0");
        platform::copyToField(profile.apn, sizeof profile.apn, "internet.brisa");
        platform::copyToField(profile.dnsAutomatic, 4, "1");
        platform::copyToField(profile.pdpAddressAutomatic, 4, "1");
        platform::copyToField(profile.authentication, 5, "PAP");
        connection = std::make_unique<DataConnection>(ras, *files, host);
        connection->cardStateChanged(kSimReady);
    }
    void TearDown() override { platform::setClock(nullptr); }

    void secondsPass(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.tick += 1000;
            ras.counters.bytesSent += 1000;
            ras.counters.bytesReceived += 10'000;
            connection->LinkDataUpdateTimer();
        }
    }
    void runCleanUp()
    {
        for (int i = 0; i < 10 && connection->CheckConnStatus.isActive(); ++i)
            connection->CheckConnStatusTimer();
    }

    QTemporaryDir folder;
    TestClock clock;
    ScriptedRas ras;
    RecordingHost host;
    std::unique_ptr<TBL_File> files;
    std::unique_ptr<DataConnection> connection;
};

TEST_F(DataConnectionTest, WholeConnectionIsLoggedOnceWithItsTimeAndBytes)
{
    connection->ImButtonConnectClick();
    ASSERT_EQ(connection->state(), kConnectionDialling);
    ASSERT_EQ(ras.dialled.size(), 1u);
    EXPECT_EQ(ras.dialled[0].userName, "brisa");
    EXPECT_EQ(ras.entries.at("Brisa AR").apn, "internet.brisa");
    ras.connectNow();
    ASSERT_EQ(connection->state(), kConnectionConnected);
    EXPECT_TRUE(connection->LinkDataUpdate.isActive());
    secondsPass(65);
    EXPECT_EQ(host.lastSent, 65'000u);
    EXPECT_EQ(connection->trayText("S", "R", "T", "h", "m", "s"),
              "S63.48KB\r\nR634.77KB\r\nT00h01m05s");

    connection->ImButtonConnectClick();  // Disconnect
    EXPECT_EQ(connection->state(), kConnectionIdle);
    EXPECT_EQ(host.states, (std::vector<int>{1, 3, 4, 0}));
    ASSERT_EQ(host.logged.size(), 1u);
    EXPECT_EQ(host.logged[0].durationSeconds, 65u);
    EXPECT_EQ(host.logged[0].bytesReceived, 650'000u);
    EXPECT_EQ(host.logged[0].userName, "brisa");
    EXPECT_EQ(host.ups, 1);
    EXPECT_EQ(host.downs, 1);
    EXPECT_TRUE(connection->trayText("S", "R", "T", "h", "m", "s").isEmpty());
    runCleanUp();
    EXPECT_TRUE(ras.entries.empty());  // the clean-up removed the entry
}

TEST_F(DataConnectionTest, RefusedDialReturnsToIdleWithItsReasonAndLogsNothing)
{
    connection->ImButtonConnectClick();
    emit ras.dialEvent(7, ras::kDisconnected, ras::kNoCarrier);
    EXPECT_EQ(connection->state(), kConnectionIdle);
    ASSERT_EQ(host.errors, std::vector<uint32_t>{ras::kNoCarrier});
    EXPECT_TRUE(host.errorTexts[0].startsWith("No carrier"));
    EXPECT_TRUE(host.logged.empty());

    // A dial the dialler refuses at once.
    ras.dialResult = ras::kDialerMissing;
    host.errors.clear();
    connection->ImButtonConnectClick();
    EXPECT_EQ(connection->state(), kConnectionIdle);
    EXPECT_EQ(host.errors, std::vector<uint32_t>{ras::kDialerMissing});
}

TEST_F(DataConnectionTest, CancelledDialIgnoresALateConnectAndShowsNoError)
{
    connection->ImButtonConnectClick();
    ras.live = true;
    connection->ImButtonConnectClick();  // Cancel: hang-up finishes at once here
    EXPECT_EQ(connection->state(), kConnectionIdle);
    EXPECT_EQ(host.states, (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(host.logged.empty());
}

TEST_F(DataConnectionTest, CardPulledWhileConnectedEndsTheConnectionCleanly)
{
    connection->ImButtonConnectClick();
    ras.connectNow();
    secondsPass(3);
    connection->cardStateChanged(kCardAbsent);
    EXPECT_EQ(connection->state(), kConnectionIdle);
    EXPECT_EQ(ras.hangUps, 1);  // the dialler is stopped, not left running on a gone port
    EXPECT_FALSE(host.connectEnabled);
    ASSERT_EQ(host.logged.size(), 1u);
    EXPECT_EQ(host.logged[0].durationSeconds, 3u);
    // Enabled again once the card is ready and its data port listed.
    connection->cardStateChanged(kSimReady);
    connection->WaitTimerTimer();
    EXPECT_TRUE(host.connectEnabled);
}

TEST_F(DataConnectionTest, ConnectionAlreadyUpIsTakenOver)
{
    ras.active = {{7, "Brisa AR", "Data card (ttyUSB0)"}};
    ras.live = ras.up = true;
    connection->ImButtonConnectClick();
    EXPECT_EQ(connection->state(), kConnectionConnected);
    EXPECT_TRUE(ras.dialled.empty());
}

TEST_F(DataConnectionTest, RefusalsBeforeDialling)
{
    host.service = false;
    connection->ImButtonConnectClick();
    EXPECT_EQ(host.messages, std::vector<int>{1082});
    host.service = true;
    host.messages.clear();
    ras.devices.clear();
    connection->ImButtonConnectClick();
    EXPECT_EQ(host.messages, std::vector<int>{6011});
    EXPECT_TRUE(ras.dialled.empty());

    // Manual DNS with an empty secondary: told, and dialled all the same.
    ras.devices = {{"modem", "card", "/dev/ttyUSB0"}};
    host.messages.clear();
    ProfileRecord &profile = files->defaultProfile();
    platform::copyToField(profile.dnsAutomatic, 4, "0");
    platform::copyToField(profile.primaryDns, 25, "8.8.8.8");
    connection->ImButtonConnectClick();
    EXPECT_EQ(host.messages, std::vector<int>{6027});
    EXPECT_EQ(ras.dialled.size(), 1u);
}

TEST_F(DataConnectionTest, CredentialPromptReplacesTheDialCredentialsAndStoresThemWhenAsked)
{
    ProfileRecord &profile = files->defaultProfile();
    platform::copyToField(profile.askCredentials, 4, "1");
    files->AppendProfile(profile);
    files->WriteDefaultProfile(profile);
    host.credentials = {"typed", "typedpw", false};
    connection->ImButtonConnectClick();
    ASSERT_EQ(ras.dialled.size(), 1u);
    EXPECT_EQ(ras.dialled[0].userName, "typed");
    EXPECT_EQ(ras.dialled[0].password, "typedpw");
    // Not saved: the profile forgets the old credentials too.
    EXPECT_EQ(platform::fieldText(files->defaultProfile().userName, 104), "");

    host.promptAccepted = false;
    connection->cardStateChanged(kCardAbsent);
    connection->cardStateChanged(kSimReady);
    connection->ImButtonConnectClick();
    EXPECT_EQ(ras.dialled.size(), 1u);  // cancelled prompt: no dial
}

}  // namespace
