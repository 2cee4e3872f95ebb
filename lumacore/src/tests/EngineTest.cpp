// The engine end to end, through its C calls, against the virtual data card on a pty in this
// process: start-up to SIM ready, PIN and PUK, the card pulled and put back, the network coming
// and going, shut-down, and cards that talk garbage or nothing.
#include "EngineFixture.h"

#include <fstream>
#include <future>

using namespace engine_test;

namespace {

TEST_F(EngineTest, StartUpToSimReady)
{
    ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
    ASSERT_EQ(_MEC_RegisterAppHandle(&g_sink, 0), 0);
    EXPECT_EQ(_MEC_Echo(), 0);
    uint8_t mode = 0;
    ASSERT_EQ(_MEC_GetOperationMode(&mode), 0);
    EXPECT_EQ(mode, 5);

    uint8_t state = 9;
    ASSERT_EQ(_MEC_GetPinState(&state), 0);
    EXPECT_EQ(state, 1);
    uint8_t pinLeft = 0, pukLeft = 0;
    ASSERT_EQ(_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft), 0);
    EXPECT_EQ(pinLeft, 3);
    EXPECT_EQ(pukLeft, 10);
    ASSERT_EQ(_MEC_SetPin("1234", ""), 0);
    ASSERT_EQ(_MEC_GetPinState(&state), 0);
    EXPECT_EQ(state, 0);
    ASSERT_EQ(_MEC_NetcardStart(), 0);
    EXPECT_EQ(_MEC_ClearEcho(), 0);

    // The SIM's store answers once it is no longer busy: message 3026 with wParam 2.
    EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) {
        for (auto [message, wParam] : r.posts)
            if (message == MEC_MSG_SIM_READY && wParam == 2)
                return true;
        return false;
    }));
    EXPECT_EQ(_MEC_TestSimState(), 0);

    _MEC_NETWORK_PARA network{};
    ASSERT_EQ(_MEC_GetNetworkPara(&network), 0);
    EXPECT_STREQ(network.networkType, "UMTS");
    EXPECT_EQ(network.serviceDomain, 2);
    _MEC_ZDON_PARA operatorPara{};
    ASSERT_EQ(_MEC_GetZdonPara(&operatorPara), 0);
    EXPECT_STRNE(operatorPara.operatorName, "");
    EXPECT_STREQ(operatorPara.roaming, "ROAM_OFF");
    EXPECT_STREQ(operatorPara.serviceDomain, "CS_PS");
    EXPECT_STRNE(operatorPara.numericId, "");

    uint8_t csq = 0;
    ASSERT_EQ(_MEC_GetCsq(&csq), 0);
    EXPECT_EQ(csq, 20);
    char imei[MEC_IMEI_TEXT_SIZE] = {};
    ASSERT_EQ(_MEC_QueryImei(imei), 0);
    EXPECT_STREQ(imei, "356938035643809");
    char imsi[MEC_SIM_OPERATOR_TEXT_SIZE] = {};
    ASSERT_EQ(_MEC_GetSIMCardOperator(imsi), 0);
    EXPECT_EQ(std::string(imsi).substr(0, 5), "72231");
    char spn[64] = {};
    ASSERT_EQ(_SIMOperate(176, 28486, 0, 1, 16, spn, sizeof spn), 0);
    EXPECT_STREQ(spn, "Brisa");
    char software[MEC_VERSION_TEXT_SIZE] = {}, internal[MEC_VERSION_TEXT_SIZE] = {};
    ASSERT_EQ(_MEC_GetSoftwareVersion(software, internal), 0);
    EXPECT_STREQ(software, "VDC 1.0.0");
    char board[MEC_VERSION_TEXT_SIZE] = {};
    ASSERT_EQ(_MEC_GetBoardVersion(board), 0);
    EXPECT_STRNE(board, "");
    uint8_t enabled = 0;
    ASSERT_EQ(_MEC_IfPinEnable(&enabled), 0);
    EXPECT_EQ(enabled, 1);

    ASSERT_EQ(_MEC_SetModemPara("IP", "internet.brisa", ""), 0);
    EXPECT_EQ(card->snapshot().contexts[1].apn, "internet.brisa");
    // Text that would end the quoted APN and smuggle in a command is refused.
    EXPECT_NE(_MEC_SetModemPara("IP", "x\";+CFUN=0;\"", ""), 0);
    EXPECT_EQ(card->snapshot().contexts[1].apn, "internet.brisa");
    // A call the standard commands cannot carry says so.
    EXPECT_EQ(_MEC_SetMicrophoneVol(2), 7004);
}

TEST_F(EngineTest, PinAndPukWithRetryCounters)
{
    ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
    uint8_t pinLeft = 0, pukLeft = 0, state = 0;
    // Not digits: refused without spending an attempt.
    EXPECT_EQ(_MEC_SetPin("12a4", nullptr), 7305);
    EXPECT_EQ(_MEC_SetPin("12", nullptr), 7305);
    ASSERT_EQ(_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft), 0);
    EXPECT_EQ(pinLeft, 3);

    EXPECT_EQ(_MEC_SetPin("0000", nullptr), 7305);
    EXPECT_EQ(_MEC_SetPin("0000", nullptr), 7305);
    ASSERT_EQ(_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft), 0);
    EXPECT_EQ(pinLeft, 1);
    // The last attempt blocks the SIM.
    EXPECT_EQ(_MEC_SetPin("0000", nullptr), 7306);
    ASSERT_EQ(_MEC_GetPinState(&state), 0);
    EXPECT_EQ(state, 2);

    EXPECT_EQ(_MEC_SetPin("00000000", "4321"), 7305);
    ASSERT_EQ(_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft), 0);
    EXPECT_EQ(pukLeft, 9);
    ASSERT_EQ(_MEC_SetPin("12345678", "4321"), 0);
    ASSERT_EQ(_MEC_GetPinState(&state), 0);
    EXPECT_EQ(state, 0);
    ASSERT_EQ(_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft), 0);
    EXPECT_EQ(pinLeft, 3);
    EXPECT_EQ(pukLeft, 10);

    EXPECT_EQ(_MEC_ChangePinPasswd("9999", "1111"), 7305);
    EXPECT_EQ(_MEC_ChangePinPasswd("4321", "1111"), 0);
    EXPECT_EQ(_MEC_SetPinEnable(0, "4321"), 7305);
    EXPECT_EQ(_MEC_SetPinEnable(0, "1111"), 0);
    uint8_t enabled = 1;
    ASSERT_EQ(_MEC_IfPinEnable(&enabled), 0);
    EXPECT_EQ(enabled, 0);
}

TEST_F(EngineTest, CardPulledMidCommandAndPutBack)
{
    startToSimUsable();
    card->setSlowAnswers(1200ms);
    auto pending = std::async(std::launch::async, [] {
        auto started = std::chrono::steady_clock::now();
        uint8_t csq = 0;
        uint16_t status = _MEC_GetCsq(&csq);
        return std::make_pair(status, std::chrono::steady_clock::now() - started);
    });
    // Pulled while the card holds a command it has not answered.
    ASSERT_TRUE(eventually([&] { return card->answerPending(); }));
    ASSERT_TRUE(card->removeCard());
    auto [status, took] = pending.get();
    EXPECT_EQ(status, 7002);
    EXPECT_LT(took, 1000ms);  // promptly, not after the slow answer or the time-out
    EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) { return !r.meStates.empty(); }));
    EXPECT_EQ(_MEC_Echo(), 7002);

    card->setSlowAnswers(0ms);
    ASSERT_TRUE(card->insertCard());
    EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) { return r.meStates.size() >= 2; }));
    {
        std::lock_guard lock(g_recorder.mutex);
        EXPECT_EQ(g_recorder.meStates, (std::vector<uint8_t>{2, 1}));
    }
    EXPECT_EQ(_MEC_Echo(), 0);
    uint8_t state = 9;
    ASSERT_EQ(_MEC_GetPinState(&state), 0);
    EXPECT_EQ(state, 1);  // a new power-up: the SIM wants its PIN again
}

TEST_F(EngineTest, PausedWatchStaysQuietAndReportsOnResume)
{
    startToSimUsable();
    ASSERT_EQ(_MEC_disableCheckCard(), 0);
    ASSERT_TRUE(card->removeCard());
    // Rounds of the watch pass without a word.
    auto engine = Engine::current();
    ASSERT_TRUE(engine);
    const uint64_t rounds = engine->watchRounds();
    ASSERT_TRUE(eventually([&] { return engine->watchRounds() >= rounds + 3; }));
    {
        std::lock_guard lock(g_recorder.mutex);
        EXPECT_TRUE(g_recorder.meStates.empty());
    }
    ASSERT_TRUE(card->insertCard());
    ASSERT_EQ(_MEC_enableCheckCard(), 0);
    EXPECT_TRUE(g_recorder.waitFor(
        [](Recorder &r) { return !r.meStates.empty() && r.meStates.back() == 1; }));
    EXPECT_EQ(_MEC_Echo(), 0);
}

TEST_F(EngineTest, NetworkLossRoamingAndLimitedService)
{
    startToSimUsable();
    EXPECT_EQ(serviceText(), "UMTS");

    card->setNetwork(virtualmodem::Coverage::None);
    EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) {
        return !r.serviceTexts.empty() && r.serviceTexts.back() == "No Service";
    }));
    EXPECT_EQ(serviceText(), "NO SERVICE");

    card->setNetwork(virtualmodem::Coverage::Roaming);
    EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) {
        return !r.operators.empty() && std::string(r.operators.back().roaming) == "ROAM_ON" &&
               r.operators.back().operatorName[0] != '\0';
    }));
    EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) {
        return !r.serviceTexts.empty() && r.serviceTexts.back() != "No Service";
    }));

    card->setNetwork(virtualmodem::Coverage::Limited);
    EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) {
        return !r.serviceTexts.empty() && r.serviceTexts.back() == "Limited Service";
    }));
    // Only changes are reported: no text twice in a row.
    std::lock_guard lock(g_recorder.mutex);
    for (size_t i = 1; i < g_recorder.serviceTexts.size(); ++i)
        EXPECT_NE(g_recorder.serviceTexts[i], g_recorder.serviceTexts[i - 1]);
}

TEST_F(EngineTest, OperationModesAndShutDown)
{
    startToSimUsable();
    uint8_t mode = 0;
    ASSERT_EQ(_MEC_SetOperationMode(6), 0);
    ASSERT_EQ(_MEC_GetOperationMode(&mode), 0);
    EXPECT_EQ(mode, 6);
    ASSERT_EQ(_MEC_Poweroff(1), 0);
    ASSERT_EQ(_MEC_GetOperationMode(&mode), 0);
    EXPECT_EQ(mode, 1);
    ASSERT_EQ(_MEC_SetOperationMode(5), 0);
    ASSERT_EQ(_MEC_GetOperationMode(&mode), 0);
    EXPECT_EQ(mode, 5);
    EXPECT_NE(_MEC_SetOperationMode(3), 0);

    ASSERT_EQ(_MEC_NetcardStop(), 0);
    ASSERT_EQ(_MEC_Shutdown(), 0);
    EXPECT_EQ(_MEC_Echo(), 7002);
    // And up again.
    ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
    EXPECT_EQ(_MEC_Echo(), 0);
}

TEST_F(EngineTest, GarbageAndSilentCards)
{
    card->setGarbage(true);
    ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
    uint8_t csq = 0;
    EXPECT_EQ(_MEC_GetCsq(&csq), 0);
    EXPECT_EQ(csq, 20);
    char imei[MEC_IMEI_TEXT_SIZE] = {};
    EXPECT_EQ(_MEC_QueryImei(imei), 0);
    card->setGarbage(false);

    card->setSilent(true);
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(_MEC_Echo(), 7001);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    card->setSilent(false);
    // The watch's probe finds it talking again.
    EXPECT_TRUE(eventually([] { return _MEC_Echo() == 0; }));
    EXPECT_EQ(_MEC_GetCsq(&csq), 0);
}

TEST_F(EngineTest, SilentAtStartIsAnnouncedWhenItTalks)
{
    card->setSilent(true);
    EXPECT_EQ(_MEC_Startup(0, 400, 0), 7001);
    card->setSilent(false);
    EXPECT_TRUE(g_recorder.waitFor(
        [](Recorder &r) { return !r.meStates.empty() && r.meStates.back() == 1; }));
    EXPECT_EQ(_MEC_Echo(), 0);
}

TEST_F(EngineTest, CardWithHolesStillStarts)
{
    card->setMissingCommands({"+CMEE", "+CPMS", "+CPINR", "+CMER"});
    startToSimUsable();
    // No +CPMS: the SIM answering its IMSI stands for a ready store.
    EXPECT_EQ(_MEC_TestSimState(), 0);
    // No +CPINR: the SIM's own status tells the counts; without that too, nothing is known.
    uint8_t pinLeft = 0, pukLeft = 0;
    ASSERT_EQ(_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft), 0);
    EXPECT_EQ(pinLeft, 3);
    EXPECT_EQ(pukLeft, 10);
    card->setMissingCommands({"+CMEE", "+CPMS", "+CPINR", "+CMER", "+CRSM"});
    EXPECT_EQ(_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft), 7004);
    // Without +CMEE a wrong password is a plain ERROR; it is still told apart.
    EXPECT_EQ(_MEC_ChangePinPasswd("9999", "1111"), 7305);
}

TEST_F(EngineTest, BusyPortNamesItsHolder)
{
    // A lock folder of the test's own: a lock file in the system's would be seen by every
    // other run on a port of the same name.
    const std::filesystem::path locks = folder / "lock";
    std::filesystem::create_directories(locks);
    ::setenv("LUMACORE_LOCK_DIR", locks.c_str(), 1);
    const std::string lock =
        (locks / ("LCK.." + std::filesystem::path(link).filename().string())).string();
    std::ofstream(lock) << "         1\n";  // held by process 1, which is always alive
    EXPECT_EQ(_MEC_Startup(0, 400, 0), 7005);
    auto engine = Engine::current();
    ASSERT_TRUE(engine);
    // The program shows the user the same text.
    char text[256];
    ASSERT_EQ(_MEC_GetLastErrorText(text, sizeof text), 0);
    EXPECT_NE(std::string(text).find("pid 1"), std::string::npos) << text;
    std::filesystem::remove(lock);
    // Once the port is free the watch finds the card.
    EXPECT_TRUE(g_recorder.waitFor(
        [](Recorder &r) { return !r.meStates.empty() && r.meStates.back() == 1; }));
    ::unsetenv("LUMACORE_LOCK_DIR");
}

TEST_F(EngineTest, BackupAndRestoreThroughTheCalls)
{
    ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
    std::string backup = (folder / "backup.dat").string();
    ASSERT_EQ(_MEC_BackUpDBToFile(backup.c_str()), 0);
    EXPECT_EQ(_MEC_LoadDBFromFile(backup.c_str()), 0);
    std::ofstream((folder / "junk.dat").string()) << "junk";
    EXPECT_NE(_MEC_LoadDBFromFile((folder / "junk.dat").c_str()), 0);
    EXPECT_NE(_MEC_LoadDBFromFile(nullptr), 0);
}

}  // namespace
