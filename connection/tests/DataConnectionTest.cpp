// The connection's states, with a scripted dialler and a recording window: a whole connection
// logged once with its duration and bytes, a refused dial, cancelling, the card pulled while
// connected, a connection that was already up, and the credential prompt.
#include "DataConnection.h"
#include "ConnectionDoubles.h"

#include "config/BL_File.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace connection_test;

class DataConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setClock(&clock);
        files = std::make_unique<TBL_File>(folder.path());
        fillTestProfile(files->defaultProfile());
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
