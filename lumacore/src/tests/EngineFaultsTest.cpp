// The card's faults: garbage, silence, slow answers, the card pulled, a storm of reports. While
// the fault lasts every call the program makes in its main state returns, with an answer or a
// failure and never after more than its time-out; once the fault ends the card is usable again.
#include "EngineFixture.h"

using namespace engine_test;

namespace {

struct Fault {
    const char *name;
    std::function<void(virtualmodem::VirtualModem &)> begin;
    std::function<void(virtualmodem::VirtualModem &)> end;
    std::vector<uint16_t> allowed;  // what the calls may answer during the fault
};

const Fault kFaults[] = {
    {"garbage lines",
     [](auto &card) { card.setGarbage(true); },
     [](auto &card) { card.setGarbage(false); },
     {0}},
    {"silence",
     [](auto &card) { card.setSilent(true); },
     [](auto &card) { card.setSilent(false); },
     {7001}},
    {"slow answers",
     [](auto &card) { card.setSlowAnswers(700ms); },
     [](auto &card) { card.setSlowAnswers(0ms); },
     {0, 7001}},
    {"answers later than the time-out",
     [](auto &card) { card.setSlowAnswers(2000ms); },
     [](auto &card) { card.setSlowAnswers(0ms); },
     {0, 7001}},
    {"card pulled",
     [](auto &card) { card.removeCard(); },
     [](auto &card) { card.insertCard(); },
     {7002}},
    {"1000 reports a second",
     [](auto &card) { card.setQuirk(virtualmodem::Quirk::Storm, true); },
     [](auto &card) { card.setQuirk(virtualmodem::Quirk::Storm, false); },
     {0}},
};

// The calls the main window's timers make while the SIM is ready.
const std::function<uint16_t()> kMainStateCalls[] = {
    [] {
        uint8_t csq = 0;
        return _MEC_GetCsq(&csq);
    },
    [] {
        _MEC_NETWORK_PARA network{};
        return _MEC_GetNetworkPara(&network);
    },
    [] {
        _MEC_ZDON_PARA operatorPara{};
        return _MEC_GetZdonPara(&operatorPara);
    },
    [] { return _MEC_Echo(); },
};

TEST_F(EngineTest, SurvivesTheCardsFaultsAndRecovers)
{
    for (const auto &fault : kFaults) {
        SCOPED_TRACE(fault.name);
        newCard();
        startToSimUsable();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(eventually([] { return _MEC_TestSimState() == 0; }));
        fault.begin(*card);
        for (int round = 0; round < 3; ++round) {
            for (const auto &call : kMainStateCalls) {
                auto started = std::chrono::steady_clock::now();
                uint16_t status = call();
                EXPECT_NE(std::find(fault.allowed.begin(), fault.allowed.end(), status),
                          fault.allowed.end())
                    << "status " << status;
                // No hang: a network read is four commands, and at most one waits out the
                // time-out before the card counts as unresponsive.
                EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms + 3 * 800ms);
            }
        }
        fault.end(*card);
        // Back to normal: a card put back in starts afresh and wants its PIN again.
        EXPECT_TRUE(eventually([] { return _MEC_Echo() == 0; }));
        uint8_t state = 9;
        if (_MEC_GetPinState(&state) == 0 && state == 1) {
            ASSERT_EQ(_MEC_SetPin("1234", nullptr), 0);
        }
        EXPECT_TRUE(eventually([] {
            uint8_t csq = 0;
            return _MEC_GetCsq(&csq) == 0 && csq == 20;
        }));
        EXPECT_TRUE(eventually([this] { return serviceText() == "UMTS"; }));
    }
}

}  // namespace
