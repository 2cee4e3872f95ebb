// Voice calls end to end, the real engine against the virtual card: how each call's progress
// reaches the program (the incoming-call callback and the call messages) for every class of
// firmware, what the program's own requests leave in the card's call list, and that they are no
// news to the program.
#include "EngineFixture.h"

#include <algorithm>
#include <cstring>

using namespace engine_test;
using virtualmodem::Quirk;

namespace {

struct Callers {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> numbers;
};
Callers g_callers;

MEC_STATUS onCallComing(const char *number)
{
    std::lock_guard lock(g_callers.mutex);
    g_callers.numbers.emplace_back(number);
    g_callers.changed.notify_all();
    return 0;
}

class VoiceEngineTest : public ReadyCardTest {
protected:
    VoiceEngineTest() : ReadyCardTest("lumacore-voice") {}

    void beforeStartup() override
    {
        EngineTimings timings = quickTimings();
        timings.ringSilence = 700ms;
        setEngineTimings(timings);
        control("call timing alert 50");
        control("call timing answer 200");
        control("call timing ring 150");
        {
            std::lock_guard lock(g_callers.mutex);
            g_callers.numbers.clear();
        }
        ASSERT_EQ(_MEC_SetCallBackCallCallComing(onCallComing, 0), MEC_OK);
    }

    void SetUp() override
    {
        ReadyCardTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(_MEC_RegisterAppHandle(&g_sink, 0), 0);
        g_recorder.clear();
    }

    void control(const std::string &line) { ASSERT_EQ(card->control(line), "OK") << line; }

    // The first post of the message after `from` posts, waited for.
    std::optional<uint32_t> waitForPost(uint32_t message, size_t from = 0)
    {
        std::optional<uint32_t> found;
        g_recorder.waitFor([&](Recorder &r) {
            for (size_t i = from; i < r.posts.size(); ++i) {
                if (r.posts[i].first == message) {
                    found = r.posts[i].second;
                    return true;
                }
            }
            return false;
        });
        return found;
    }
    std::vector<std::pair<uint32_t, uint32_t>> posts()
    {
        std::lock_guard lock(g_recorder.mutex);
        return g_recorder.posts;
    }

    // The callers announced so far, once `count` of them came.
    std::vector<std::string> waitForCallers(size_t count)
    {
        std::unique_lock lock(g_callers.mutex);
        g_callers.changed.wait_for(lock, 5s, [&] { return g_callers.numbers.size() >= count; });
        return g_callers.numbers;
    }

    // The call list as "index:status" words, as the program reads it.
    std::string calls()
    {
        _MEC_CLCC_LIST list{};
        if (_MEC_SendCLCCCmd(&list) != 0)
            return "failed";
        std::vector<std::string> words;
        for (uint32_t i = 0; i < list.count; ++i)
            words.push_back(std::to_string(list.calls[i].callIndex) + ":" +
                            std::to_string(list.calls[i].status) +
                            (list.calls[i].multiparty ? "m" : ""));
        std::sort(words.begin(), words.end());
        std::string out;
        for (const auto &word : words)
            out += (out.empty() ? "" : " ") + word;
        return out;
    }

    void dialConnected(const std::string &number)
    {
        const size_t before = posts().size();
        uint8_t result = 0;
        ASSERT_EQ(_MEC_Dial(number.c_str(), &result), 0);
        ASSERT_EQ(waitForPost(MEC_MSG_CALL_DIAL_RESULT, before), 1u);
    }
};

// A dialled call reaches the program as connected, busy, unanswered or failed, whether the
// card says so or only its list does; a connected call the far end ends is told as released.
TEST_F(VoiceEngineTest, DialledCallsEndAsTheFarEndBehaves)
{
    struct Case {
        const char *outcome;
        bool quiet;
        uint32_t result;
    };
    const Case cases[] = {
        {"connect", false, 1}, {"busy", false, 7},      {"no-answer", false, 8},
        {"fail", false, 0},    {"connect", true, 1},    {"busy", true, 0},
        {"no-answer", true, 0},
    };
    control("call timing give-up 300");
    for (const Case &test : cases) {
        SCOPED_TRACE(std::string(test.outcome) + (test.quiet ? " told by the list only" : ""));
        card->setQuirk(Quirk::QuietCallEnd, test.quiet);
        control(std::string("call outcome 5550001 ") + test.outcome);
        const size_t before = posts().size();
        uint8_t result = 0;
        ASSERT_EQ(_MEC_Dial("5550001", &result), 0);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(waitForPost(MEC_MSG_CALL_DIAL_RESULT, before), test.result);
        if (test.result == 1) {
            control("call hangup");
            EXPECT_TRUE(waitForPost(MEC_MSG_CALL_REMOTE_RELEASED, before));
        }
        EXPECT_TRUE(eventually([&] { return calls().empty(); }));
    }
}

// A caller is announced with the number however the card tells it: before the ring, after it,
// only in the call list, or not at all; answering and the far end's hang-up follow.
TEST_F(VoiceEngineTest, IncomingCallsWhateverTheFirmwareTellsFirst)
{
    struct Case {
        std::vector<Quirk> quirks;
        const char *caller;
        const char *shown;  // the last number announced
    };
    const Case cases[] = {
        {{}, "+5491140001234", "+5491140001234"},
        {{}, "hidden", ""},
        {{Quirk::ClipBeforeRing}, "5550002", "5550002"},
        {{Quirk::NoClip}, "5550002", "5550002"},
        {{Quirk::ClccHidesRinging}, "5550002", "5550002"},
        {{Quirk::ClccHidesRinging, Quirk::NoClip}, "5550002", ""},
        {{Quirk::QuietCallEnd}, "5550002", "5550002"},
        {{Quirk::ClipBeforeRing, Quirk::QuietCallEnd}, "5550002", "5550002"},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(std::string(test.caller) + " with " + std::to_string(test.quirks.size()) +
                     " quirks, first " +
                     std::to_string(test.quirks.empty() ? -1 : static_cast<int>(test.quirks[0])));
        for (Quirk quirk : {Quirk::ClipBeforeRing, Quirk::NoClip, Quirk::ClccHidesRinging,
                            Quirk::QuietCallEnd})
            card->setQuirk(quirk, std::count(test.quirks.begin(), test.quirks.end(), quirk) != 0);
        size_t heard = 0;
        {
            std::lock_guard lock(g_callers.mutex);
            heard = g_callers.numbers.size();
        }
        const size_t before = posts().size();
        control(std::string("call incoming ") + test.caller);
        auto callers = waitForCallers(heard + 1);
        ASSERT_GT(callers.size(), heard);
        // A number that follows the ring may be announced a second time, never a third.
        EXPECT_TRUE(eventually([&] { return waitForCallers(heard + 1).back() == test.shown; }));
        EXPECT_LE(waitForCallers(heard + 1).size(), heard + 2);
        uint8_t result = 0;
        ASSERT_EQ(_MEC_Answer(&result), 0);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(calls().substr(1), ":0");
        control("call hangup");
        EXPECT_TRUE(waitForPost(MEC_MSG_CALL_REMOTE_RELEASED, before));
        for (const auto &[message, wParam] : posts())
            EXPECT_NE(message, static_cast<uint32_t>(MEC_MSG_CALL_INCOMING_CONNECTED));
    }
}

TEST_F(VoiceEngineTest, MissedCallsAreToldHoweverTheCardEndsThem)
{
    const std::vector<std::vector<Quirk>> classes = {
        {}, {Quirk::QuietCallEnd}, {Quirk::ClccHidesRinging, Quirk::QuietCallEnd}};
    for (const auto &quirks : classes) {
        SCOPED_TRACE(quirks.size());
        for (Quirk quirk : quirks)
            card->setQuirk(quirk, true);
        const size_t before = posts().size();
        size_t heard = 0;
        {
            std::lock_guard lock(g_callers.mutex);
            heard = g_callers.numbers.size();
        }
        control("call incoming 5550002");
        ASSERT_GT(waitForCallers(heard + 1).size(), heard);
        control("call hangup");
        EXPECT_TRUE(waitForPost(MEC_MSG_CALL_INCOMING_MISSED, before));
    }
}

// Waiting, hold, swap, conference, private talk and release: the card's list follows each
// request, and none of them is news to the program.
TEST_F(VoiceEngineTest, HoldSwapConferenceAndReleaseLeaveNoStrayNews)
{
    dialConnected("5550001");
    const size_t before = posts().size();
    control("call incoming 5550009");
    ASSERT_EQ(waitForCallers(1), std::vector<std::string>{"5550009"});
    EXPECT_EQ(calls(), "1:0 2:5");
    uint8_t result = 0;
    ASSERT_EQ(_MEC_Answer(&result), 0);  // a waiting call: the active one is held
    EXPECT_EQ(result, 1);
    EXPECT_EQ(calls(), "1:1 2:0");
    struct Step {
        uint32_t value;
        const char *list;
    };
    const Step steps[] = {{2, "1:0 2:1"}, {3, "1:0m 2:0m"}, {22, "1:1 2:0"},
                          {3, "1:0m 2:0m"}, {2, "1:1m 2:1m"}, {2, "1:0m 2:0m"},
                          {11, "2:0"},       {2, "2:1"},       {2, "2:0"}};
    for (const Step &step : steps) {
        SCOPED_TRACE(step.value);
        ASSERT_EQ(_MEC_SendCHLDCommand(step.value), 0);
        EXPECT_EQ(calls(), step.list);
    }
    EXPECT_NE(_MEC_SendCHLDCommand(3), 0) << "nothing to join";
    EXPECT_NE(_MEC_SendCHLDCommand(4), 0);
    ASSERT_EQ(_MEC_Hangup(), 0);
    EXPECT_EQ(calls(), "");
    // Let the engine's watch look at the card a few more times: still no news.
    const uint64_t rounds = Engine::current()->watchRounds();
    EXPECT_TRUE(eventually([&] { return Engine::current()->watchRounds() > rounds + 3; }));
    EXPECT_EQ(posts().size(), before);
}

TEST_F(VoiceEngineTest, AbortStopsOnlyTheDialledCall)
{
    dialConnected("5550001");
    control("call outcome 5550002 no-answer");
    uint8_t result = 0;
    ASSERT_EQ(_MEC_Dial("5550002", &result), 0);
    EXPECT_TRUE(eventually([&] { return calls() == "1:1 2:3"; }));
    ASSERT_EQ(_MEC_ATDAbort(), 0);
    EXPECT_EQ(calls(), "1:1");
    ASSERT_EQ(_MEC_Dial("5550002", &result), 0);
    ASSERT_EQ(_MEC_Hangup(), 0);
    EXPECT_EQ(calls(), "");
}

TEST_F(VoiceEngineTest, HangUpFallsBackToHWhereChupIsRefused)
{
    card->setMissingCommands({"+CHUP"});
    for (int round = 0; round < 2; ++round) {
        dialConnected("5550001");
        ASSERT_EQ(_MEC_Hangup(), 0);
        EXPECT_EQ(calls(), "");
    }
    const auto received = card->snapshot().commandsReceived;
    EXPECT_EQ(received.count("+CHUP") ? received.at("+CHUP") : 0, 1) << "asked once, then H";
    EXPECT_EQ(received.count("H") ? received.at("H") : 0, 2);
}

TEST_F(VoiceEngineTest, TonesLevelsMuteAndEmergencyNumbers)
{
    dialConnected("5550001");
    for (char tone : std::string("12345678#*"))
        ASSERT_EQ(_MEC_SetDTMF(tone), 0);
    EXPECT_NE(_MEC_SetDTMF('+'), 0);
    EXPECT_EQ(card->snapshot().voice.tones, "12345678#*");

    // The card's speaker has nine steps; the program's six come back as it set them.
    const uint8_t levels[] = {0, 56, 111, 155, 205, 255};
    for (uint8_t position = 0; position <= 5; ++position) {
        ASSERT_EQ(_MEC_SetEarphoneVol(position), 0);
        uint8_t level = 1;
        ASSERT_EQ(_MEC_ReadEarPhoneVol(&level), 0);
        EXPECT_EQ(level, levels[position]);
    }
    EXPECT_NE(_MEC_SetEarphoneVol(6), 0);
    ASSERT_EQ(_MEC_SetMicMute(1), 0);
    EXPECT_EQ(_MEC_GetMicMuteState(), MEC_MIC_MUTED);
    ASSERT_EQ(_MEC_SetMicMute(0), 0);
    EXPECT_EQ(_MEC_GetMicMuteState(), MEC_MIC_NOT_MUTED);

    _MEC_EMERGENCY_LIST list{};
    ASSERT_EQ(_MEC_GetEmergencyCall(&list), 0);
    EXPECT_STREQ(list.numbers[0], "112");
    EXPECT_STREQ(list.numbers[1], "911");
    EXPECT_STREQ(list.numbers[2], "");
    EXPECT_EQ(card->snapshot().commandsReceived.count("+CRSM=176,28599,0,0,6"), 1u);
}

TEST_F(VoiceEngineTest, PulledCardEndsEveryCall)
{
    dialConnected("5550001");
    const size_t before = posts().size();
    ASSERT_TRUE(card->removeCard());
    EXPECT_TRUE(waitForPost(MEC_MSG_CALL_ALL_ENDED, before));
}

}  // namespace

namespace {

class VoiceBeforePinTest : public EngineTest {};

// While the SIM waits for its PIN an emergency number is dialled and connects; any other number
// is refused until the PIN is given.
TEST_F(VoiceBeforePinTest, EmergencyNumbersAreDialledWhileTheSimWaitsForItsPin)
{
    ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
    ASSERT_EQ(_MEC_RegisterAppHandle(&g_sink, 0), 0);
    _MEC_EMERGENCY_LIST list{};
    ASSERT_EQ(_MEC_GetEmergencyCall(&list), 0);
    EXPECT_STREQ(list.numbers[0], "112");
    uint8_t result = 0;
    EXPECT_EQ(_MEC_Dial("5550001", &result), MEC_ERR_CME_BASE + 11);  // SIM PIN required
    ASSERT_EQ(_MEC_Dial(list.numbers[0], &result), 0);
    EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) {
        return std::count(r.posts.begin(), r.posts.end(),
                          std::pair<uint32_t, uint32_t>{MEC_MSG_CALL_DIAL_RESULT, 1}) == 1;
    }));
    ASSERT_EQ(_MEC_Hangup(), 0);
}

}  // namespace

TEST_F(VoiceEngineTest, CardCommandsAreOneCommandLineAndTheControlPortIsNamed)
{
    char port[256] = {};
    ASSERT_EQ(_MEC_GetControlPort(port, sizeof port), 0);
    EXPECT_EQ(std::string(port) + "-voice", card->voicePortPath());

    const struct {
        const char *command;
        bool sent;
        bool soundPortAfter;
    } cases[] = {
        {"AT^VPCM=1", true, true},
        {"at^vpcm=0", true, false},
        // Nothing the settings hold may end the line and start another command.
        {"AT^VPCM=1\r+CFUN=0", false, false},
        {"AT^VPCM=1\n", false, false},
        {"+CFUN=0", false, false},
        {"", false, false},
        {nullptr, false, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(_MEC_SendCardCommand(c.command) == 0, c.sent) << (c.command ? c.command : "null");
        EXPECT_EQ(card->snapshot().voice.soundPort, c.soundPortAfter);
    }
    EXPECT_EQ(card->snapshot().commandsReceived.count("+CFUN=0"), 0u);
    EXPECT_NE(_MEC_SendCardCommand("AT^NOSUCHTHING"), 0);
}
