// The card's data port: a packet data call answers CONNECT only with packet service, traffic
// flows while on line, and the network can drop, refuse or delay the call.
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
        ASSERT_TRUE(data_.open(card_->dataPortPath())) << card_->dataPortPath();
    }
    AtClient data_;
};

TEST_F(CardDataPortTest, PacketCallConnectsCarriesTrafficAndEndsWhenThePortCloses)
{
    startRegistered();
    EXPECT_EQ(card_->dataPortPath(), link_ + "-data");
    EXPECT_EQ(data_.command("AT").final, "OK");
    EXPECT_EQ(data_.command("ATD*99#").final, "CONNECT 7200000");
    EXPECT_TRUE(card_->dataCallOnline());
    // Downloaded traffic arrives while on line; what we send is taken as our traffic.
    data_.send(std::string(500, '\x7e'));
    EXPECT_GE(data_.readFor(350ms).size(), 2 * DataPort::kBytesPerTick);
    data_.close();
    for (int i = 0; i < 50 && card_->dataCallOnline(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(card_->dataCallOnline());
}

TEST_F(CardDataPortTest, NetworkDropsRefusesOrDelaysTheCall)
{
    startRegistered();
    ASSERT_EQ(data_.command("ATD*99***1#").final, "CONNECT 7200000");
    EXPECT_EQ(card_->control("data drop"), "OK");
    bool noCarrier = false;
    for (int i = 0; i < 20 && !noCarrier; ++i)
        noCarrier = data_.readFor(50ms).find("NO CARRIER") != std::string::npos;
    EXPECT_TRUE(noCarrier);
    EXPECT_FALSE(card_->dataCallOnline());

    EXPECT_EQ(card_->control("data refuse on"), "OK");
    EXPECT_EQ(data_.command("ATD*99#").final, "NO CARRIER");
    EXPECT_EQ(card_->control("data refuse off"), "OK");

    EXPECT_EQ(card_->control("data slow 300"), "OK");
    data_.send("ATD*99#\r");
    EXPECT_EQ(data_.readLine(100ms), std::nullopt);
    EXPECT_EQ(data_.readLine(2s), "CONNECT 7200000");
    EXPECT_EQ(card_->control("data slow x"), "ERROR usage: data slow <milliseconds>|off");
}

TEST_F(CardDataPortTest, NoPacketServiceNoCall)
{
    startRegistered();
    card_->setNetwork(Coverage::None);
    EXPECT_EQ(data_.command("ATD*99#").final, "NO CARRIER");
    card_->setNetwork(Coverage::Home);
    EXPECT_EQ(data_.command("ATD12345;").final, "NO CARRIER");  // not a packet call
    EXPECT_EQ(data_.command("ATD*99#").final, "CONNECT 7200000");
    // Unplugging the card hangs the data port up too.
    EXPECT_TRUE(card_->removeCard());
    EXPECT_TRUE(data_.waitForHangUp(2s));
}

TEST_F(CardDataPortTest, UnusedPortWaitsWithoutWakingUp)
{
    DataPort port([] { return true; });
    std::string error;
    ASSERT_TRUE(port.open((folder_ / "idle-data").string(), error)) << error;
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
