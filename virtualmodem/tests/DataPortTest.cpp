// The card's data port: a packet data call answers CONNECT only with packet service, traffic
// flows while on line at the rate set, and the network can drop, refuse or delay the call.
#include "CardFixture.h"
#include "virtualmodem/DataPort.h"

#include <thread>

using namespace virtualmodem;
using namespace virtualmodem::testing;

namespace {

class CardDataPortTest : public CardTest {
protected:
    // A card with a SIM without PIN, so it registers at once.
    void startRegistered()
    {
        CardOptions options = fastOptions();
        options.pinRequired = false;
        startCard(options);
        ASSERT_TRUE(m_data.open(m_card->dataPortPath())) << m_card->dataPortPath();
    }
    AtClient m_data;
};

TEST_F(CardDataPortTest, PacketCallConnectsCarriesTrafficAndEndsWhenThePortCloses)
{
    startRegistered();
    EXPECT_EQ(m_card->dataPortPath(), m_link + "-data");
    EXPECT_EQ(m_data.command("AT").final, "OK");
    EXPECT_EQ(m_data.command("ATD*99#").final, "CONNECT 7200000");
    EXPECT_TRUE(m_card->dataCallOnline());
    // Downloaded traffic arrives while on line; what we send is taken as our traffic.
    m_data.send(std::string(500, '\x7e'));
    EXPECT_GE(m_data.readFor(350ms).size(), 2 * DataPort::kBytesPerTick);
    // A faster link: the stream as large as it is set.
    EXPECT_EQ(m_card->control("data rate 16000"), "OK");
    EXPECT_GE(m_data.readFor(350ms).size(), 2 * 16000u);
    EXPECT_EQ(m_card->control("data rate 0"), "ERROR usage: data rate <bytes per 100 ms>");
    m_data.close();
    for (int i = 0; i < 50 && m_card->dataCallOnline(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(m_card->dataCallOnline());
}

TEST_F(CardDataPortTest, NetworkDropsRefusesOrDelaysTheCall)
{
    startRegistered();
    ASSERT_EQ(m_data.command("ATD*99***1#").final, "CONNECT 7200000");
    EXPECT_EQ(m_card->control("data drop"), "OK");
    bool noCarrier = false;
    for (int i = 0; i < 20 && !noCarrier; ++i)
        noCarrier = m_data.readFor(50ms).find("NO CARRIER") != std::string::npos;
    EXPECT_TRUE(noCarrier);
    EXPECT_FALSE(m_card->dataCallOnline());

    EXPECT_EQ(m_card->control("data refuse on"), "OK");
    EXPECT_EQ(m_data.command("ATD*99#").final, "NO CARRIER");
    EXPECT_EQ(m_card->control("data refuse off"), "OK");

    EXPECT_EQ(m_card->control("data slow 300"), "OK");
    m_data.send("ATD*99#\r");
    EXPECT_EQ(m_data.readLine(100ms), std::nullopt);
    EXPECT_EQ(m_data.readLine(2s), "CONNECT 7200000");
    EXPECT_EQ(m_card->control("data slow x"), "ERROR usage: data slow <milliseconds>|off");
}

TEST_F(CardDataPortTest, NoPacketServiceNoCall)
{
    startRegistered();
    m_card->setNetwork(Coverage::None);
    EXPECT_EQ(m_data.command("ATD*99#").final, "NO CARRIER");
    m_card->setNetwork(Coverage::Home);
    EXPECT_EQ(m_data.command("ATD12345;").final, "NO CARRIER");  // not a packet call
    EXPECT_EQ(m_data.command("ATD*99#").final, "CONNECT 7200000");
    // Unplugging the card hangs the data port up too.
    EXPECT_TRUE(m_card->removeCard());
    EXPECT_TRUE(m_data.waitForHangUp(2s));
}

TEST_F(CardDataPortTest, UnusedPortWaitsWithoutWakingUp)
{
    DataPort port([] { return true; });
    std::string error;
    ASSERT_TRUE(port.open((m_folder / "idle-data").string(), error)) << error;
    auto waitUntil = [&](size_t waits) {
        for (int i = 0; i < 500 && port.idleCounts().waits < waits; ++i)
            std::this_thread::sleep_for(10ms);
        return port.idleCounts().waits >= waits;
    };
    // Used once, then left: the port waits for the next user.
    AtClient client;
    ASSERT_TRUE(client.open(port.path()));
    EXPECT_EQ(client.command("AT").final, "OK");
    client.close();
    ASSERT_TRUE(waitUntil(1));
    ASSERT_TRUE(client.open(port.path()));
    EXPECT_EQ(client.command("AT").final, "OK");
    client.close();
    ASSERT_TRUE(waitUntil(2));
    // Only the user's coming woke it.
    EXPECT_EQ(port.idleCounts().emptyWakeups, 0u);
}

}  // namespace
