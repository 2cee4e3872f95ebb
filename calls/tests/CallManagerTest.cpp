// The call manager's logic against the fake engine's voice network: how the calls move between
// the states on the buttons, the +CHLD commands and the engine's events, which calls the call
// records receive, the tones after a dialled number, the star key and the call timer.
#include "CallManager.h"

#include "lumacore/fake/FakeVoice.h"
#include "platform/ResStringManager.h"

#include <gtest/gtest.h>

#include <map>

using namespace calls;

namespace {

class RecordingView : public CallManagerView {
public:
    std::vector<int> messages;
    QStringList recorded;  // "kind:number"
    std::vector<CallState> states;
    QStringList notices;
    int choice = -1;
    std::vector<std::vector<int>> offered;
    bool confirmAnswer = true;
    std::function<void()> duringChoice;
    int toneDelay = -1;
    bool dialTimer = false;
    bool callTimer = false;
    int saved = 4;

    void message(int text) override { messages.push_back(text); }
    int choose(const std::vector<int> &texts) override
    {
        offered.push_back(texts);
        if (duringChoice)
            duringChoice();
        return choice;
    }
    bool confirm(const QString &) override { return confirmAnswer; }
    void earphoneNotice() override { notices << "earphone"; }
    void showDialledCalls() override { notices << "dialled list"; }
    void showWindow() override {}
    void stateChanged(CallState state) override { states.push_back(state); }
    void ring(const QString &text, bool updateOnly) override
    {
        notices << (updateOnly ? "ring update " : "ring ") + text;
    }
    void stopRing() override { notices << "stop ring"; }
    void callAccepted() override { notices << "accepted"; }
    void missedCall() override { notices << "missed"; }
    void recordCall(uint8_t kind, const QDateTime &, const QString &number) override
    {
        recorded << QStringLiteral("%1:%2").arg(kind).arg(number);
    }
    void scheduleTones(int ms) override { toneDelay = ms; }
    void cancelTones() override { toneDelay = -1; }
    void setDialTimer(bool running) override { dialTimer = running; }
    void setCallTimer(bool running) override { callTimer = running; }
    int savedEarphone() override { return saved; }
    void saveEarphone(int position, bool) override { saved = position; }
};

// The card lists each number of the tests under its own index.
const std::map<QString, int> kIds{{"100", 1}, {"200", 2}, {"300", 3}, {"400", 4}};

class CallManagerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!platform::stringManager())
            platform::createStringManager();  // ./language of the program folder
    }
    void SetUp() override
    {
        lumacore_fake::reset();
        m_view = RecordingView();
        m_voice = std::make_unique<FakeVoice>();
        m_voice->list({{1, 0, "100"}, {2, 0, "200"}, {3, 0, "300"}, {4, 0, "400"}});
        m_manager = std::make_unique<CallManager>(
            m_view, [](const QString &number) { return number == "555" ? "Ann" : QString(); },
            [this] { return m_now; });
        m_manager->deviceStateChanged(12);
    }
    void TearDown() override { lumacore_fake::reset(); }

    // Brings the manager into the state through the events that lead there: 100 is the first
    // call, 200 rings while it is connected or held, 300 is the second call dialled beside the
    // held 100, 400 rings beside those two.
    void reach(CallState target)
    {
        CallManager &m = *m_manager;
        auto dial = [&](const QString &number) {
            m.setTyped(number);
            m.dialPressed();
            m.dialResult(1);
        };
        switch (target) {
        case kCallIdle: break;
        case kCallDialling: m.placeCall("100"); break;
        case kCallActive: dial("100"); break;
        case kCallIncoming: m.incomingCall("200"); break;
        case kCallActiveWaiting: reach(kCallActive); m.incomingCall("200"); break;
        case kCallHeld: reach(kCallActive); m.sendChld(2); break;
        case kCallHeldDialling: reach(kCallHeld); m.setTyped("300"); m.dialPressed(); break;
        case kCallHeldIncoming: reach(kCallHeld); m.incomingCall("200"); break;
        case kCallActiveHeld: reach(kCallHeld); dial("300"); break;
        case kCallActiveHeldWaiting: reach(kCallActiveHeld); m.incomingCall("400"); break;
        case kCallConference: reach(kCallActiveHeld); m.sendChld(3); break;
        case kCallConferenceWaiting: reach(kCallConference); m.incomingCall("400"); break;
        case kCallActiveConferenceHeld: reach(kCallConferenceWaiting); m.sendChld(2); break;
        case kCallConferenceActiveHeld: reach(kCallActiveConferenceHeld); m.sendChld(2); break;
        case kCallConferenceHeld: reach(kCallConference); m.sendChld(2); break;
        case kCallConferenceHeldDialling: reach(kCallConferenceHeld); m.setTyped("200"); m.dialPressed(); break;
        case kCallConferenceHeldIncoming: reach(kCallConferenceHeld); m.incomingCall("400"); break;
        }
        ASSERT_EQ(m.state(), target);
        m_view.recorded.clear();
        m_view.messages.clear();
        m_view.notices.clear();
    }
    QString number(int slot) const
    {
        return slot < 0 ? QStringLiteral("-") : m_manager->slot(slot).number;
    }
    // "active/held/ringing": the numbers in those roles.
    QString roles() const
    {
        return number(m_manager->activeSlot()) + "/" + number(m_manager->heldSlot()) + "/" +
               number(m_manager->waitingSlot());
    }

    QDateTime m_now{QDate(2026, 12, 10), QTime(11, 0)};
    RecordingView m_view;
    std::unique_ptr<FakeVoice> m_voice;
    std::unique_ptr<CallManager> m_manager;
};

// What a +CHLD value is: a plain value, or "release"/"private" of the call with a number.
struct Chld {
    int value;
    const char *of = nullptr;
    int resolve() const { return of ? value + kIds.at(QString::fromLatin1(of)) : value; }
};

struct ChldRow {
    CallState from;
    Chld chld;
    CallState to;
    const char *roles;      // active/held/ringing after
    const char *recorded;   // "kind:number ..." handed to the call records
};

}  // namespace

TEST_F(CallManagerTest, EachChldCommandMovesTheCallsAsTheCardDoes)
{
    const ChldRow rows[] = {
        {kCallActive, {2}, kCallHeld, "-/100/-", ""},
        {kCallActiveWaiting, {0}, kCallActive, "100/-/-", "2:200"},
        {kCallActiveWaiting, {1}, kCallActive, "200/-/-", "3:100"},
        {kCallActiveWaiting, {2}, kCallActiveHeld, "200/100/-", ""},
        {kCallActiveWaiting, {10, "100"}, kCallIncoming, "-/-/200", "3:100"},
        {kCallHeld, {2}, kCallActive, "100/-/-", ""},
        {kCallHeldIncoming, {0}, kCallHeld, "-/100/-", "2:200"},
        {kCallHeldIncoming, {10, "100"}, kCallIncoming, "-/-/200", "3:100"},
        {kCallActiveHeld, {0}, kCallActive, "300/-/-", "3:100"},
        {kCallActiveHeld, {1}, kCallActive, "100/-/-", "3:300"},
        {kCallActiveHeld, {2}, kCallActiveHeld, "100/300/-", ""},
        {kCallActiveHeld, {3}, kCallConference, "-/-/-", ""},
        {kCallActiveHeld, {10, "300"}, kCallHeld, "-/100/-", "3:300"},
        {kCallActiveHeld, {10, "100"}, kCallActive, "300/-/-", "3:100"},
        {kCallActiveHeldWaiting, {0}, kCallActiveHeld, "300/100/-", "2:400"},
        {kCallActiveHeldWaiting, {1}, kCallActiveHeld, "400/100/-", "3:300"},
        {kCallActiveHeldWaiting, {3}, kCallConferenceWaiting, "-/-/400", ""},
        {kCallActiveHeldWaiting, {10, "300"}, kCallHeldIncoming, "-/100/400", "3:300"},
        {kCallActiveHeldWaiting, {10, "100"}, kCallActiveWaiting, "300/-/400", "3:100"},
        {kCallConference, {2}, kCallConferenceHeld, "-/-/-", ""},
        {kCallConference, {10, "300"}, kCallActive, "100/-/-", "3:300"},
        {kCallConference, {20, "300"}, kCallActiveHeld, "300/100/-", ""},
        {kCallConferenceWaiting, {0}, kCallConference, "-/-/-", "2:400"},
        {kCallConferenceWaiting, {1}, kCallActive, "400/-/-", "3:300 3:100"},
        {kCallConferenceWaiting, {2}, kCallActiveConferenceHeld, "400/-/-", ""},
        {kCallConferenceWaiting, {10, "100"}, kCallActiveWaiting, "300/-/400", "3:100"},
        {kCallConferenceWaiting, {20, "100"}, kCallActiveHeldWaiting, "100/300/400", ""},
        {kCallActiveConferenceHeld, {1}, kCallConference, "-/-/-", "2:400"},
        {kCallActiveConferenceHeld, {2}, kCallConferenceActiveHeld, "-/400/-", ""},
        {kCallActiveConferenceHeld, {10, "400"}, kCallConferenceHeld, "-/-/-", "2:400"},
        {kCallActiveConferenceHeld, {10, "300"}, kCallActiveHeld, "400/100/-", "3:300"},
        {kCallConferenceActiveHeld, {1}, kCallActive, "400/-/-", "3:300 3:100"},
        {kCallConferenceActiveHeld, {2}, kCallActiveConferenceHeld, "400/-/-", ""},
        {kCallConferenceActiveHeld, {10, "400"}, kCallConference, "-/-/-", "2:400"},
        {kCallConferenceActiveHeld, {10, "100"}, kCallActiveHeld, "300/400/-", "3:100"},
        {kCallConferenceHeld, {2}, kCallConference, "-/-/-", ""},
        {kCallConferenceHeld, {10, "300"}, kCallHeld, "-/100/-", "3:300"},
        {kCallConferenceHeldIncoming, {0}, kCallConferenceHeld, "-/-/-", "2:400"},
        {kCallConferenceHeldIncoming, {10, "100"}, kCallHeldIncoming, "-/300/400", "3:100"},
        // A pair the table does not name leaves the calls as they are.
        {kCallHeld, {1}, kCallHeld, "-/100/-", ""},
    };
    for (const ChldRow &row : rows) {
        SCOPED_TRACE(testing::Message() << "from " << int(row.from) << " value "
                                        << row.chld.resolve());
        TearDown();
        SetUp();
        reach(row.from);
        ASSERT_TRUE(m_manager->sendChld(row.chld.resolve()));
        EXPECT_EQ(m_manager->state(), row.to);
        EXPECT_EQ(roles(), QString::fromLatin1(row.roles));
        EXPECT_EQ(m_view.recorded.join(' '), QString::fromLatin1(row.recorded));
        if (row.to == kCallConference) {
            EXPECT_EQ(m_manager->display().parties.size(), 2);
        }
    }
}

TEST_F(CallManagerTest, TheJoinedConferenceListsTheFormerActiveCallFirst)
{
    reach(kCallActiveHeld);
    m_manager->sendChld(3);
    EXPECT_EQ(m_manager->display().parties, (QStringList{"300", "100"}));
}

TEST_F(CallManagerTest, ARefusedOrInvalidChldChangesNothing)
{
    reach(kCallActiveHeld);
    m_voice->failChld(MEC_ERR_ERROR);
    EXPECT_FALSE(m_manager->sendChld(3));
    EXPECT_FALSE(m_manager->sendChld(-1));
    EXPECT_EQ(m_manager->state(), kCallActiveHeld);
    EXPECT_EQ(m_view.messages, (std::vector<int>{2, 2}));
}

TEST_F(CallManagerTest, ACallWhoseIndexTheCardNeverToldIsNotReleasedBlindly)
{
    // Without the card's index, 10 + -1 would be +CHLD=9: some other call or none.
    m_manager->deviceStateChanged(11);  // no call list outside SIM ready
    m_manager->setTyped("100");
    m_manager->dialPressed();
    m_manager->dialResult(1);
    m_manager->incomingCall("200");
    EXPECT_EQ(m_manager->slot(m_manager->activeSlot()).callId, -1);
    m_view.choice = 1;  // release the active call
    m_manager->hangupPressed();
    EXPECT_TRUE(m_voice->chld().empty());
    EXPECT_EQ(m_view.messages, std::vector<int>{2});
    EXPECT_EQ(m_manager->state(), kCallActiveWaiting);
}

struct EventRow {
    CallState from;
    const char *event;
    CallState to;
    const char *recorded;
};

TEST_F(CallManagerTest, EngineEventsEndTheRightCallAndRecordEachOnce)
{
    const EventRow rows[] = {
        {kCallDialling, "dial 0", kCallIdle, "3:100"},
        {kCallDialling, "dial 5", kCallIdle, "3:100"},
        {kCallDialling, "timeout", kCallIdle, "3:100"},
        {kCallHeldDialling, "dial 0", kCallHeld, "3:300"},
        {kCallConferenceHeldDialling, "dial 0", kCallConferenceHeld, "3:200"},
        {kCallDialling, "dial 1", kCallActive, ""},
        {kCallHeldDialling, "dial 1", kCallActiveHeld, ""},
        {kCallConferenceHeldDialling, "dial 1", kCallActiveConferenceHeld, ""},
        {kCallIncoming, "3029", kCallActive, ""},
        {kCallIncoming, "3031", kCallIdle, "1:200"},
        {kCallActiveWaiting, "3031", kCallActive, "1:200"},
        {kCallHeldIncoming, "3031", kCallHeld, "1:200"},
        {kCallActiveHeldWaiting, "3031", kCallActiveHeld, "1:400"},
        {kCallConferenceWaiting, "3031", kCallConference, "1:400"},
        {kCallConferenceHeldIncoming, "3031", kCallConferenceHeld, "1:400"},
        // The remote party hangs up.
        {kCallDialling, "3028", kCallDialling, "3:100"},
        {kCallActive, "3028", kCallIdle, "3:100"},
        {kCallHeld, "3028", kCallIdle, "3:100"},
        {kCallIncoming, "3028", kCallIdle, "1:200"},
        {kCallActiveWaiting, "3028", kCallIncoming, "3:100"},
        {kCallHeldIncoming, "3028", kCallIncoming, "3:100"},
        {kCallHeldDialling, "3028", kCallHeld, "3:300"},
        {kCallActiveHeld, "3028", kCallHeld, "3:300"},
        {kCallActiveHeldWaiting, "3028", kCallHeldIncoming, "3:300"},
        {kCallActiveConferenceHeld, "3028", kCallConferenceHeld, "2:400"},
        {kCallConferenceHeldDialling, "3028", kCallConferenceHeld, "3:200"},
        {kCallConference, "3028", kCallConference, ""},
        // Every call ends: each still in a slot is recorded, the ringing one as missed.
        {kCallActiveHeldWaiting, "3030", kCallIdle, "3:100 3:300 1:400"},
        {kCallConference, "3030", kCallIdle, "3:100 3:300"},
        // The card is pulled during a call.
        {kCallActiveHeld, "card gone", kCallIdle, "3:100 3:300"},
    };
    for (const EventRow &row : rows) {
        SCOPED_TRACE(testing::Message() << "from " << int(row.from) << " " << row.event);
        TearDown();
        SetUp();
        reach(row.from);
        const std::string event = row.event;
        if (event.starts_with("dial "))
            m_manager->dialResult(static_cast<uint32_t>(std::stoi(event.substr(5))));
        else if (event == "timeout")
            m_manager->dialTimedOut();
        else if (event == "3028")
            m_manager->remoteReleased();
        else if (event == "3029")
            m_manager->incomingConnected();
        else if (event == "3030")
            m_manager->allCallsEnded();
        else if (event == "3031")
            m_manager->incomingMissed();
        else if (event == "card gone")
            m_manager->deviceStateChanged(1);
        EXPECT_EQ(m_manager->state(), row.to);
        EXPECT_EQ(m_view.recorded.join(' '), QString::fromLatin1(row.recorded));
        if (row.to == kCallIdle) {
            // A late event for a call already ended records nothing more.
            m_manager->allCallsEnded();
            m_manager->incomingMissed();
            m_manager->remoteReleased();
            m_manager->dialResult(0);
            EXPECT_EQ(m_view.recorded.join(' '), QString::fromLatin1(row.recorded));
            EXPECT_EQ(m_manager->slotsInUse(), 0);
        }
    }
}

TEST_F(CallManagerTest, WhenTheCardListsTheCallsLeftTheOneThatHungUpIsTheOneThatEnds)
{
    struct Row {
        CallState from;
        std::vector<const char *> left;  // what the card lists after the release
        CallState to;
        const char *roles;
        const char *recorded;
    };
    const Row rows[] = {
        {kCallActiveHeld, {"300"}, kCallActive, "300/-/-", "3:100"},
        {kCallActiveHeld, {"100"}, kCallHeld, "-/100/-", "3:300"},
        {kCallActiveHeldWaiting, {"300", "400"}, kCallActiveWaiting, "300/-/400", "3:100"},
        {kCallConference, {"300"}, kCallActive, "300/-/-", "3:100"},
        {kCallConference, {}, kCallIdle, "-/-/-", "3:100 3:300"},
        {kCallConferenceHeld, {"100"}, kCallHeld, "-/100/-", "3:300"},
        {kCallConferenceActiveHeld, {"300", "100"}, kCallConference, "-/-/-", "2:400"},
        {kCallActiveConferenceHeld, {"100", "400"}, kCallActiveHeld, "400/100/-", "3:300"},
        {kCallConferenceHeldIncoming, {"300", "400"}, kCallHeldIncoming, "-/300/400", "3:100"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "from " << int(row.from));
        TearDown();
        SetUp();
        reach(row.from);
        std::vector<FakeVoice::ListedCall> listed;
        for (const char *number : row.left)
            listed.push_back({kIds.at(QString::fromLatin1(number)), 0, number});
        m_voice->list(listed);
        m_manager->remoteReleased();
        EXPECT_EQ(m_manager->state(), row.to);
        EXPECT_EQ(roles(), QString::fromLatin1(row.roles));
        EXPECT_EQ(m_view.recorded.join(' '), QString::fromLatin1(row.recorded));
    }
}

TEST_F(CallManagerTest, HangingUpWhileRingingRefusesTheCallAndListsItAsReceived)
{
    reach(kCallIncoming);
    m_manager->hangupPressed();
    EXPECT_EQ(m_manager->state(), kCallIdle);
    EXPECT_EQ(m_view.recorded, QStringList{"2:200"});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_Hangup"), 1);
    m_manager->allCallsEnded();  // the card's own end of the call
    EXPECT_EQ(m_view.recorded, QStringList{"2:200"});
}

TEST_F(CallManagerTest, HangingUpAllRecordsEveryCallTheRingingOneAsRefused)
{
    reach(kCallConferenceWaiting);
    m_view.choice = 3;  // end all calls
    m_manager->hangupPressed();
    EXPECT_EQ(m_manager->state(), kCallIdle);
    EXPECT_EQ(m_view.recorded, (QStringList{"3:100", "3:300", "2:400"}));
}

TEST_F(CallManagerTest, AChoiceOvertakenByAnEngineEventIsNotCarriedOut)
{
    reach(kCallActiveWaiting);
    m_view.choice = 0;  // reject the waiting call ...
    m_view.duringChoice = [&] { m_manager->incomingMissed(); };  // ... which stopped ringing
    m_manager->hangupPressed();
    EXPECT_TRUE(m_voice->chld().empty());
    EXPECT_EQ(m_manager->state(), kCallActive);
}

TEST_F(CallManagerTest, TheSameCallerAnnouncedAgainChangesNothing)
{
    reach(kCallIncoming);
    m_manager->incomingCall("200");
    EXPECT_EQ(m_manager->slotsInUse(), 1);
    EXPECT_TRUE(m_view.notices.isEmpty());
    // Another number while one rings replaces what the ringing call shows.
    m_manager->incomingCall("555");
    EXPECT_EQ(m_manager->display().input, "Ann");
    EXPECT_EQ(m_view.notices, QStringList{"ring update Ann"});
}

TEST_F(CallManagerTest, AnsweringConnectsTheRingingCallOrRecordsItWhenRefused)
{
    reach(kCallHeldIncoming);
    m_manager->dialPressed();
    EXPECT_EQ(m_manager->state(), kCallActiveHeld);
    EXPECT_EQ(roles(), "200/100/-");

    TearDown();
    SetUp();
    reach(kCallIncoming);
    m_voice->answerWith(2);
    m_manager->dialPressed();
    EXPECT_EQ(m_manager->state(), kCallIdle);
    EXPECT_EQ(m_view.messages, std::vector<int>{5009});
    EXPECT_EQ(m_view.recorded, QStringList{"2:200"});
}

TEST_F(CallManagerTest, TonesAfterPauseAndWaitGoOutAfterTheCallConnects)
{
    struct Row {
        const char *number;
        const char *dialled;
        const char *afterConnect;  // tones sent once the sender has run out of steps
        const char *afterDial;     // tones after one Dial press at the wait
    };
    const Row rows[] = {
        {"12345P678W9", "12345", "678", "6789"},
        {"123W4P5", "123", "", "45"},
        {"1P2P3", "1", "23", "23"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.number);
        TearDown();
        SetUp();
        m_manager->placeCall(row.number);
        ASSERT_EQ(m_voice->dialled(), std::vector<std::string>{row.dialled});
        EXPECT_EQ(m_voice->tones(), "");
        m_manager->dialResult(1);
        for (int step = 0; step < 10 && m_view.toneDelay >= 0; ++step) {
            m_view.toneDelay = -1;
            m_manager->sendNextTones();
        }
        EXPECT_EQ(m_voice->tones(), row.afterConnect);
        m_manager->dialPressed();
        for (int step = 0; step < 10 && m_view.toneDelay >= 0; ++step) {
            m_view.toneDelay = -1;
            m_manager->sendNextTones();
        }
        EXPECT_EQ(m_voice->tones(), row.afterDial);
        EXPECT_EQ(m_manager->state(), kCallActive);
    }
}

TEST_F(CallManagerTest, ThePauseWaitsThreeSecondsBeforeTheNextTones)
{
    m_manager->placeCall("1P2");
    m_manager->dialResult(1);
    EXPECT_EQ(m_view.toneDelay, 0);
    m_manager->sendNextTones();
    EXPECT_EQ(m_view.toneDelay, 3000);
    EXPECT_EQ(m_voice->tones(), "");
    // The far end hangs up during the pause: nothing more is sent.
    m_manager->remoteReleased();
    m_manager->sendNextTones();
    EXPECT_EQ(m_voice->tones(), "");
}

TEST_F(CallManagerTest, ANumberIsDialledOnlyInTheCardStatesThatAllowIt)
{
    struct Row {
        uint8_t device;
        const char *number;
        bool dialled;
        int message;  // 0 for none
    };
    const Row rows[] = {
        {12, "100", true, 0},  {11, "100", true, 0},  {8, "100", false, 0},
        {4, "100", false, 12}, {1, "100", false, 11}, {8, "112", true, 0},
        {4, "911", true, 0},   {10, "112", true, 0},  {1, "112", false, 11},
        {7, "112", false, 0},  {12, "12a", false, 5002},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.device) << " " << row.number);
        TearDown();
        SetUp();
        m_manager->deviceStateChanged(row.device);
        m_manager->placeCall(row.number);
        EXPECT_EQ(!m_voice->dialled().empty(), row.dialled);
        EXPECT_EQ(m_manager->state(), row.dialled ? kCallDialling : kCallIdle);
        EXPECT_EQ(m_view.messages, row.message ? std::vector<int>{row.message} : std::vector<int>{});
    }
}

TEST_F(CallManagerTest, TheEmergencyNumbersAreTheCardsAnd112And911Always)
{
    m_voice->emergencyNumbers({"999", "08"});
    EXPECT_TRUE(m_manager->readEmergencyNumbers());
    for (const char *number : {"999", "08", "112", "911"})
        EXPECT_TRUE(m_manager->isEmergencyNumber(number)) << number;
    EXPECT_FALSE(m_manager->isEmergencyNumber("0"));
    EXPECT_FALSE(m_manager->isEmergencyNumber(""));
    m_manager->deviceStateChanged(8);
    m_manager->placeCall("999");
    EXPECT_EQ(m_manager->display().stateText, 5005);
}

TEST_F(CallManagerTest, TheKeypadTypesComposesOrSendsTonesByState)
{
    for (QChar c : QStringLiteral("12a*#+PW"))
        m_manager->key(c);
    EXPECT_EQ(m_manager->typed(), "12*#+PW");
    m_manager->key('\b');
    EXPECT_EQ(m_manager->typed(), "12*#+P");
    m_manager->setTyped(QString(32, '1'));
    EXPECT_FALSE(m_manager->key('2'));
    EXPECT_EQ(m_view.messages, std::vector<int>{5014});

    m_manager->setTyped("100");
    m_manager->dialPressed();
    EXPECT_FALSE(m_manager->key('5'));  // dialling: every key dropped
    m_manager->dialResult(1);
    for (QChar c : QStringLiteral("5+#\b"))
        m_manager->key(c);
    EXPECT_EQ(m_voice->tones(), "5#");
}

TEST_F(CallManagerTest, TheStarKeyTypesStarPlusPauseAndWaitByTaps)
{
    struct Row {
        std::vector<int64_t> presses;  // ms
        const char *typed;             // at once and when the last double-click time runs out
    };
    const Row rows[] = {
        {{0}, "*"},
        {{0, 200}, "+"},
        {{0, 200, 400}, "P"},
        {{0, 200, 400, 600}, "W"},
        {{0, 600}, "**"},  // later than the double-click time: two stars
        {{0, 200, 900}, "+*"},
    };
    for (const Row &row : rows) {
        StarKey star(500);
        QString typed;
        for (int64_t ms : row.presses)
            typed += star.press(ms);
        if (auto last = star.expire())
            typed += *last;
        EXPECT_EQ(typed, QString::fromLatin1(row.typed));
    }
}

TEST_F(CallManagerTest, TheCallTimerCarriesTheMillisecondsBetweenTicks)
{
    reach(kCallActiveHeld);
    const int64_t start = m_now.toMSecsSinceEpoch();
    EXPECT_TRUE(m_view.callTimer);
    // Connected before this moment: the timer started when the first call connected.
    m_manager->timerTick(start + 1500);
    m_manager->timerTick(start + 2600);
    EXPECT_EQ(m_manager->shownDuration(), 2);
    EXPECT_EQ(m_manager->slot(m_manager->heldSlot()).duration, 2);
    m_manager->allCallsEnded();
    EXPECT_FALSE(m_view.callTimer);
    EXPECT_EQ(m_manager->shownDuration(), std::nullopt);
    EXPECT_EQ(m_manager->display().stateText, 5003);
}

TEST_F(CallManagerTest, TheEarphoneLevelIsShownAndKeptAsASliderPosition)
{
    m_voice->setEarphoneLevel(155);
    EXPECT_EQ(m_manager->readEarphone(), 3);
    EXPECT_EQ(m_view.saved, 3);
    m_voice->setEarphoneLevel(100);  // between the card's steps: shown as 0
    EXPECT_EQ(m_manager->readEarphone(), 0);
    EXPECT_TRUE(m_manager->setEarphone(5));
    EXPECT_EQ(m_voice->earphoneLevel(), 255);
    m_voice->failEarphone(MEC_ERR_ERROR);
    EXPECT_FALSE(m_manager->setEarphone(1));
    EXPECT_EQ(m_view.saved, 5);
    EXPECT_EQ(m_view.messages, std::vector<int>{5011});
}

TEST_F(CallManagerTest, ACallAtSimReadyRunsAtTheMiddleLevelAndTheChosenLevelComesBack)
{
    EXPECT_TRUE(m_manager->setEarphone(4));
    m_manager->placeCall("100");
    EXPECT_EQ(m_voice->earphoneLevel(), 111);
    m_manager->dialResult(1);
    m_manager->remoteReleased();
    EXPECT_EQ(m_voice->earphoneLevel(), 205);
}

TEST_F(CallManagerTest, NumbersMatchInNationalAndInternationalForm)
{
    EXPECT_TRUE(SameNumber("+441234567890", "01234567890"));
    EXPECT_TRUE(SameNumber("112", "112"));
    EXPECT_FALSE(SameNumber("+441234567890", "01234567891"));
    EXPECT_FALSE(SameNumber("4567890", "123"));
}
