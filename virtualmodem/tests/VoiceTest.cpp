// The card's voice calls on the wire, with a clock the test moves: what the far end does, how
// each call progresses, and what hold, swap, conference and release leave in the call list.
#include "virtualmodem/Modem.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace virtualmodem {
namespace {

using namespace std::chrono_literals;

class VirtualModemVoiceTest : public ::testing::Test {
protected:
    VirtualModemVoiceTest() : m_modem(initial(), [this] { return m_now; })
    {
        answer("ATE0");
    }

    static ModemState initial()
    {
        ModemState state;
        state.sim.pinEnabled = false;
        return state;
    }

    std::string answer(const std::string &line)
    {
        m_modem.receive(line + "\r");
        return m_modem.takeOutput();
    }

    std::string control(const std::string &line)
    {
        std::istringstream stream(line);
        std::vector<std::string> words;
        for (std::string word; stream >> word;)
            words.push_back(word);
        return controlCalls(m_modem, words);
    }

    // What the card says on its own as time passes.
    std::string after(std::chrono::milliseconds time)
    {
        m_now += time;
        m_modem.process();
        return m_modem.takeOutput();
    }

    // The call list as "index:status[m]" words, "m" for a conference member.
    std::string calls()
    {
        std::string out;
        for (const VoiceCall &call : m_modem.state().voice.calls) {
            out += (out.empty() ? "" : " ") + std::to_string(call.index) + ":" +
                   std::to_string(call.status) + (call.multiparty ? "m" : "");
        }
        return out;
    }

    void connectOutgoing(const std::string &number)
    {
        ASSERT_EQ(answer("ATD" + number + ";"), "\r\nOK\r\n");
        after(m_modem.state().voice.alertAfter);
        after(m_modem.state().voice.answerAfter);
    }

    Clock::time_point m_now = Clock::time_point(100s);
    Modem m_modem;
};

TEST_F(VirtualModemVoiceTest, OutgoingCallsEndAsTheFarEndBehaves)
{
    struct Case {
        const char *outcome;
        std::chrono::milliseconds wait;
        const char *report;  // what the card says once the wait is over
        const char *list;    // the call list then
    };
    const Case cases[] = {
        {"connect", 1200ms, "", "1:0"},
        {"busy", 200ms, "\r\nBUSY\r\n", ""},
        {"fail", 200ms, "\r\nNO CARRIER\r\n", ""},
        {"no-answer", 30200ms, "\r\nNO ANSWER\r\n", ""},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.outcome);
        m_modem.state().voice.calls.clear();
        ASSERT_EQ(control(std::string("call outcome 5550001 ") + test.outcome), "OK");
        ASSERT_EQ(answer("ATD5550001;"), "\r\nOK\r\n");
        EXPECT_EQ(answer("AT+CLCC"), "\r\n+CLCC: 1,0,2,0,0,\"5550001\",129\r\n\r\nOK\r\n");
        std::string said = after(200ms);
        said += after(test.wait - 200ms);
        EXPECT_EQ(said, test.report);
        EXPECT_EQ(calls(), test.list);
    }
}

TEST_F(VirtualModemVoiceTest, DiallingNeedsTheSimAndNetworkExceptForEmergencies)
{
    struct Case {
        const char *situation;
        std::function<void(ModemState &)> set;
        const char *ordinary;
        const char *emergency;
    };
    const Case cases[] = {
        {"PIN pending", [](ModemState &s) { s.sim.lock = SimLock::Pin; },
         "\r\n+CME ERROR: 11\r\n", "\r\nOK\r\n"},
        {"no SIM", [](ModemState &s) { s.sim.inserted = false; }, "\r\n+CME ERROR: 10\r\n",
         "\r\nOK\r\n"},
        {"emergency only", [](ModemState &s) { s.network.coverage = Coverage::Limited; },
         "\r\n+CME ERROR: 32\r\n", "\r\nOK\r\n"},
        {"no network", [](ModemState &s) { s.network.coverage = Coverage::None; },
         "\r\n+CME ERROR: 30\r\n", "\r\n+CME ERROR: 30\r\n"},
    };
    answer("AT+CMEE=1");
    for (const Case &test : cases) {
        SCOPED_TRACE(test.situation);
        ModemState saved = m_modem.state();
        test.set(m_modem.state());
        EXPECT_EQ(answer("ATD5550001;"), test.ordinary);
        EXPECT_EQ(answer("ATD112;"), test.emergency);
        m_modem.state() = saved;
    }
    // A dial string without ';' is a data call, which the control port does not take.
    EXPECT_EQ(answer("ATD5550001"), "\r\nERROR\r\n");
}

// What a caller is seen as: RING (or +CRING) again and again, the number before or after it or
// not at all, as the card's firmware does it; and a card that lists a ringing call or not.
TEST_F(VirtualModemVoiceTest, IncomingCallsRingAsTheFirmwareDoes)
{
    struct Case {
        const char *setting;
        const char *caller;
        const char *rings;
        const char *list;
    };
    const Case cases[] = {
        {"", "+5491140001234", "\r\nRING\r\n\r\n+CLIP: \"+5491140001234\",145,,,,0\r\n",
         "+CLCC: 1,1,4,0,0,\"+5491140001234\",145"},
        {"", "hidden", "\r\nRING\r\n\r\n+CLIP: \"\",128,,,,1\r\n", "+CLCC: 1,1,4,0,0,\"\",128"},
        {"AT+CRC=1", "5550002", "\r\n+CRING: VOICE\r\n\r\n+CLIP: \"5550002\",129,,,,0\r\n",
         "+CLCC: 1,1,4,0,0,\"5550002\",129"},
        {"AT+CLIP=0", "5550002", "\r\nRING\r\n", "+CLCC: 1,1,4,0,0,\"5550002\",129"},
        {"clip-first", "5550002", "\r\n+CLIP: \"5550002\",129,,,,0\r\n\r\nRING\r\n",
         "+CLCC: 1,1,4,0,0,\"5550002\",129"},
        {"no-clip", "5550002", "\r\nRING\r\n", "+CLCC: 1,1,4,0,0,\"5550002\",129"},
        {"clcc-no-ringing", "5550002", "\r\nRING\r\n\r\n+CLIP: \"5550002\",129,,,,0\r\n", ""},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(std::string(test.setting) + " " + test.caller);
        m_modem.powerUp();
        answer("ATE0");
        answer("AT+CLIP=1");
        const std::string setting = test.setting;
        m_modem.state().quirks.modes.clear();
        if (setting == "clip-first")
            m_modem.state().quirks.modes.insert(Quirk::ClipBeforeRing);
        else if (setting == "no-clip")
            m_modem.state().quirks.modes.insert(Quirk::NoClip);
        else if (setting == "clcc-no-ringing")
            m_modem.state().quirks.modes.insert(Quirk::ClccHidesRinging);
        else if (!setting.empty())
            answer(setting);
        ASSERT_EQ(control(std::string("call incoming ") + test.caller), "OK");
        EXPECT_EQ(m_modem.takeOutput(), test.rings);
        EXPECT_EQ(after(2900ms), "");
        EXPECT_EQ(after(100ms), test.rings);
        const std::string list = test.list;
        EXPECT_EQ(answer("AT+CLCC"), list.empty() ? "\r\nOK\r\n" : "\r\n" + list + "\r\n\r\nOK\r\n");
    }
}

TEST_F(VirtualModemVoiceTest, ACallsEndIsToldOrOnlyListed)
{
    ASSERT_EQ(control("call incoming 5550002"), "OK");
    m_modem.takeOutput();
    EXPECT_EQ(answer("ATA"), "\r\nOK\r\n");
    EXPECT_EQ(control("call hangup"), "OK");
    EXPECT_EQ(m_modem.takeOutput(), "\r\nNO CARRIER\r\n");

    m_modem.state().quirks.modes.insert(Quirk::QuietCallEnd);
    connectOutgoing("5550003");
    EXPECT_EQ(control("call hangup 1"), "OK");
    EXPECT_EQ(m_modem.takeOutput(), "");
    EXPECT_EQ(answer("AT+CLCC"), "\r\nOK\r\n");
    // A caller who gives up: the ringing stops, the list empties.
    ASSERT_EQ(control("call incoming 5550002"), "OK");
    after(30000ms);
    EXPECT_EQ(calls(), "");
}

// Hold, swap, conference and release, each from the calls it needs, as the network takes them;
// what it refuses changes nothing. Together the rows hold every change of calls a subscriber may
// ask for with +CHLD while one to three calls exist.
TEST_F(VirtualModemVoiceTest, SupplementaryServicesMoveTheCallsAsTheNetworkAllows)
{
    answer("AT+CMEE=1");
    answer("AT+CCWA=1");
    struct Case {
        // a active, h held, w waiting, c a conference of calls 1 and 2; "ch" it held, "ach" it
        // held beside an active call, "cah" it active beside a held one
        const char *calls;
        const char *command;
        const char *answer;
        const char *list;
    };
    const Case cases[] = {
        {"a", "AT+CHLD=2", "OK", "1:1"},
        {"a", "AT+CHLD=3", "+CME ERROR: 3", "1:0"},
        {"a", "AT+CHLD=17", "+CME ERROR: 3", "1:0"},
        {"h", "AT+CHLD=2", "OK", "1:0"},
        {"h", "AT+CHLD=22", "+CME ERROR: 3", "1:1"},
        {"aw", "AT+CHLD=0", "OK", "1:0"},
        {"aw", "AT+CHLD=1", "OK", "2:0"},
        {"aw", "AT+CHLD=2", "OK", "1:1 2:0"},
        // A waiting call left alone rings as an incoming call.
        {"aw", "AT+CHLD=11", "OK\r\n\r\nRING", "2:4"},
        {"aw", "AT+CHLD=12", "OK", "1:0"},
        {"hw", "AT+CHLD=0", "OK", "1:1"},
        {"hw", "AT+CHLD=11", "OK\r\n\r\nRING", "2:4"},
        {"hw", "AT+CHLD=2", "OK", "1:1 2:0"},
        {"ah", "AT+CHLD=0", "OK", "1:0"},
        {"ah", "AT+CHLD=1", "OK", "2:0"},
        {"ah", "AT+CHLD=2", "OK", "1:1 2:0"},
        {"ah", "AT+CHLD=3", "OK", "1:0m 2:0m"},
        {"ah", "AT+CHLD=11", "OK", "2:1"},
        {"ah", "AT+CHLD=12", "OK", "1:0"},
        {"ahw", "AT+CHLD=0", "OK", "1:0 2:1"},
        {"ahw", "AT+CHLD=1", "OK", "2:1 3:0"},
        {"ahw", "AT+CHLD=2", "+CME ERROR: 3", "1:0 2:1 3:5"},
        {"ahw", "AT+CHLD=3", "OK", "1:0m 2:0m 3:5"},
        {"ahw", "AT+CHLD=11", "OK", "2:1 3:5"},
        {"ahw", "AT+CHLD=12", "OK", "1:0 3:5"},
        {"c", "AT+CHLD=2", "OK", "1:1m 2:1m"},
        {"c", "AT+CHLD=12", "OK", "1:0"},
        {"c", "AT+CHLD=22", "OK", "1:1 2:0"},
        {"cw", "AT+CHLD=0", "OK", "1:0m 2:0m"},
        {"cw", "AT+CHLD=1", "OK", "3:0"},
        {"cw", "AT+CHLD=2", "OK", "1:1m 2:1m 3:0"},
        {"cw", "AT+CHLD=11", "OK", "2:0 3:5"},
        {"cw", "AT+CHLD=22", "OK", "1:1 2:0 3:5"},
        {"ach", "AT+CHLD=1", "OK", "1:0m 2:0m"},
        {"ach", "AT+CHLD=2", "OK", "1:0m 2:0m 3:1"},
        {"ach", "AT+CHLD=13", "OK", "1:1m 2:1m"},
        {"ach", "AT+CHLD=11", "OK", "2:1 3:0"},
        {"cah", "AT+CHLD=1", "OK", "3:0"},
        {"cah", "AT+CHLD=2", "OK", "1:1m 2:1m 3:0"},
        {"cah", "AT+CHLD=13", "OK", "1:0m 2:0m"},
        {"cah", "AT+CHLD=11", "OK", "2:0 3:1"},
        {"ch", "AT+CHLD=2", "OK", "1:0m 2:0m"},
        {"ch", "AT+CHLD=11", "OK", "2:1"},
        {"chw", "AT+CHLD=0", "OK", "1:1m 2:1m"},
        {"chw", "AT+CHLD=11", "OK", "2:1 3:5"},
    };
    auto step = [&](const char *command) {
        ASSERT_EQ(answer(command), "\r\nOK\r\n") << command;
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(std::string(test.calls) + " " + test.command);
        m_modem.state().voice.calls.clear();
        const std::string setUp = test.calls;
        // The card dials call 1, then call 2, which holds call 1.
        connectOutgoing("5550001");
        if (setUp != "a" && setUp != "aw")
            connectOutgoing("5550002");
        if (setUp[0] == 'h')
            step("AT+CHLD=12");
        else if (setUp.rfind("ah", 0) == 0)
            step("AT+CHLD=2");
        else if (setUp.find('c') != std::string::npos)
            step("AT+CHLD=3");
        if (setUp.rfind("ch", 0) == 0)
            step("AT+CHLD=2");
        if (setUp.find('w') != std::string::npos || setUp == "ach" || setUp == "cah") {
            ASSERT_EQ(control("call incoming 5550009"), "OK");
            m_modem.takeOutput();
        }
        if (setUp == "ach" || setUp == "cah")
            step("AT+CHLD=2");
        if (setUp == "cah")
            step("AT+CHLD=2");
        if (HasFatalFailure())
            return;
        EXPECT_EQ(answer(test.command), "\r\n" + std::string(test.answer) + "\r\n");
        EXPECT_EQ(calls(), test.list);
    }
}

TEST_F(VirtualModemVoiceTest, TonesAreKeptOnlyDuringACall)
{
    EXPECT_EQ(answer("AT+VTS=1"), "\r\nERROR\r\n");
    connectOutgoing("5550001");
    EXPECT_EQ(answer("AT+VTS=1"), "\r\nOK\r\n");
    EXPECT_EQ(answer("AT+VTS=\"#\""), "\r\nOK\r\n");
    EXPECT_EQ(answer("AT+VTS=2,3"), "\r\nOK\r\n");
    EXPECT_EQ(answer("AT+VTS=X"), "\r\nERROR\r\n");
    EXPECT_EQ(control("call tones"), "OK 1#23");
}

TEST_F(VirtualModemVoiceTest, AWaitingCallNeedsTheServiceOn)
{
    connectOutgoing("5550001");
    ASSERT_EQ(answer("AT+CCWA=1,0"), "\r\nOK\r\n");
    EXPECT_NE(control("call incoming 5550009"), "OK");
    EXPECT_EQ(calls(), "1:0");
}

}  // namespace
}  // namespace virtualmodem
