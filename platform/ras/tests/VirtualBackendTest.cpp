// Dialling the virtual data card: connect with traffic both ways, hang up, and the card
// dropping, refusing, answering late, or being pulled.
#include "platform/ras/VirtualBackend.h"

#include "virtualmodem/VirtualModem.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using namespace ras;

namespace {

class VirtualBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/ras-virtual-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        virtualmodem::CardOptions options;
        options.pinRequired = false;
        options.simBusyTime = std::chrono::milliseconds(0);
        card = std::make_unique<virtualmodem::VirtualModem>(options);
        ASSERT_TRUE(card->start((folder / "card").string())) << card->lastError();
        backend = std::make_unique<VirtualBackend>(card->dataPortPath());
        PhonebookEntry entry;
        entry.name = "Virtual";
        entry.number = "*99#";
        ASSERT_EQ(backend->setEntryProperties(entry), kSuccess);
    }
    void TearDown() override
    {
        backend.reset();
        card.reset();
        std::filesystem::remove_all(folder);
    }

    // Dials and waits for the first dial event: {handle, state, error}.
    QList<QVariant> dial(ConnectionHandle &handle, int timeoutMs = 5000)
    {
        QSignalSpy events(backend.get(), &RasApi::dialEvent);
        EXPECT_EQ(backend->dial({"Virtual", "*99#", "", ""}, handle), kSuccess);
        if (!events.wait(timeoutMs))
            return {};
        return events.takeFirst();
    }

    std::filesystem::path folder;
    std::unique_ptr<virtualmodem::VirtualModem> card;
    std::unique_ptr<VirtualBackend> backend;
};

TEST_F(VirtualBackendTest, ConnectsCountsTrafficAndHangsUp)
{
    std::vector<DialDevice> devices;
    backend->enumDevices(devices);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].type, "modem");

    ConnectionHandle handle = kNoConnection;
    const auto event = dial(handle);
    ASSERT_EQ(event.size(), 3);
    EXPECT_EQ(event[1].toUInt(), kConnected);
    // Traffic both ways while on line.
    Statistics statistics;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return backend->getStatistics(handle, statistics) == kSuccess &&
                   statistics.bytesReceived > 1600u && statistics.bytesSent > 0u;
        },
        5000));
    EXPECT_GT(statistics.bytesReceived, 1600u);
    EXPECT_GT(statistics.bytesSent, 0u);
    EXPECT_TRUE(card->dataCallOnline());

    QSignalSpy finished(backend.get(), &RasApi::hangUpFinished);
    backend->hangUp(handle);
    ASSERT_TRUE(finished.wait(2000));
    EXPECT_EQ(finished.takeFirst()[1].toUInt(), kSuccess);
    ConnectionStatus status;
    EXPECT_EQ(backend->getConnectStatus(handle, status), kInvalidHandle);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !card->dataCallOnline(); }, 2000));
}

TEST_F(VirtualBackendTest, CardDropsRefusesDelaysOrIsPulled)
{
    ConnectionHandle handle = kNoConnection;
    ASSERT_EQ(dial(handle).value(1).toUInt(), kConnected);
    QSignalSpy dropped(backend.get(), &RasApi::disconnected);
    card->control("data drop");
    ASSERT_TRUE(dropped.wait(2000));

    card->control("data refuse on");
    auto refused = dial(handle);
    EXPECT_EQ(refused.value(1).toUInt(), kDisconnected);
    EXPECT_EQ(refused.value(2).toUInt(), kNoCarrier);
    card->control("data refuse off");

    card->control("data slow 300");
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(dial(handle).value(1).toUInt(), kConnected);
    EXPECT_GE(timer.elapsed(), 250);

    card->removeCard();
    ASSERT_TRUE(dropped.wait(2000));
    std::vector<ActiveConnection> active;
    backend->enumConnections(active);
    EXPECT_TRUE(active.empty());
}

}  // namespace
