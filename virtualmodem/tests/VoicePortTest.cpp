// The card's voice port: a call's sound flows only once the terminal started the port and a call
// is connected, as a 1 kHz tone in 8 kHz 16-bit PCM, and what the computer sends is counted.
#include "CardFixture.h"

#include <cstdint>
#include <cstdlib>

using namespace virtualmodem;
using namespace virtualmodem::testing;

namespace {

class CardVoicePortTest : public CardTest {};

std::string readAtLeast(AtClient &port, size_t bytes)
{
    std::string out;
    for (int i = 0; i < 100 && out.size() < bytes; ++i)
        out += port.readFor(20ms);
    return out;
}

TEST_F(CardVoicePortTest, SoundFlowsOnlyDuringAConnectedCallOnceStarted)
{
    CardOptions options = fastOptions();
    options.pinRequired = false;
    startCard(options);
    AtClient sound;
    ASSERT_EQ(m_card->voicePortPath(), m_link + "-voice");
    ASSERT_TRUE(sound.open(m_card->voicePortPath()));

    ASSERT_EQ(finalOf("ATD5550001;"), "OK");
    ASSERT_EQ(m_card->control("call answer"), "OK");
    EXPECT_EQ(sound.readFor(100ms), "") << "not started";
    ASSERT_EQ(finalOf("AT^VPCM=1"), "OK");
    const std::string pcm = readAtLeast(sound, 3200);
    ASSERT_GE(pcm.size(), 3200u);
    // Little-endian samples; a period of eight, at a quarter of full scale.
    auto sample = [&](size_t i) {
        return static_cast<int16_t>(static_cast<uint8_t>(pcm[2 * i]) |
                                    static_cast<uint8_t>(pcm[2 * i + 1]) << 8);
    };
    int peak = 0;
    for (size_t i = 0; i + 8 < pcm.size() / 2; ++i) {
        EXPECT_EQ(sample(i), sample(i + 8)) << i;
        peak = std::max(peak, std::abs(static_cast<int>(sample(i))));
    }
    EXPECT_EQ(peak, 8000);

    sound.send(std::string(1000, '\x01'));
    bool counted = false;
    for (int i = 0; i < 100 && !counted; ++i) {
        counted = m_card->control("call audio").find("received 1000") != std::string::npos;
        if (!counted)
            sound.readFor(10ms);
    }
    EXPECT_TRUE(counted) << m_card->control("call audio");

    ASSERT_EQ(m_card->control("call hangup"), "OK");
    sound.readFor(100ms);  // what was on its way
    EXPECT_EQ(sound.readFor(100ms), "") << "the call ended";
}

}  // namespace
