// Network selection and the supplementary services end to end against the virtual card: the
// search in every shape cards answer it, manual and automatic registration, forwarding, barring,
// CLIP and call waiting as the network keeps them, and the network refusing.
#include "EngineFixture.h"

#include <array>
#include <string>
#include <vector>

using namespace lumacore;
using namespace std::chrono_literals;

namespace {

class ServicesEngineTest : public engine_test::ReadyCardTest {
protected:
    ServicesEngineTest() : ReadyCardTest("lumacore-services") {}

    void beforeStartup() override
    {
        EngineTimings timings = engine_test::quickTimings();
        timings.searchRetryPause = 10ms;
        setEngineTimings(timings);
        card->setNetworkScanTime(50ms);
    }

    // "state numeric technology name" per network found.
    std::vector<std::string> search(uint16_t &status)
    {
        std::array<_MEC_OPERATOR_INFO, MEC_OPERATOR_LIST_MAX> buffer{};
        _MEC_OPERATOR_INFO *records = buffer.data();
        uint32_t count = 0;
        status = _MEC_GetOperaterList(&records, &count);
        std::vector<std::string> found;
        for (uint32_t i = 0; i < count; ++i)
            found.push_back(std::to_string(buffer[i].state) + " " + buffer[i].numericId + " " +
                            buffer[i].accessTechnology + " " + buffer[i].shortName);
        return found;
    }

    static _MEC_OPERATOR_SELECT choice(const char *numeric, uint32_t technology)
    {
        _MEC_OPERATOR_SELECT selection{};
        selection.mode = 1;
        selection.format = 2;
        copyOut(selection.numericId, sizeof selection.numericId, numeric);
        selection.accessTechnology = technology;
        return selection;
    }

    static uint8_t selectMode()
    {
        uint8_t mode = 99;
        EXPECT_EQ(_MEC_GetNetworkSelectMode(&mode), 0);
        return mode;
    }
};

TEST_F(ServicesEngineTest, SearchFindsTheSameNetworksInEveryShapeCardsAnswer)
{
    const std::vector<std::string> expected = {"2 722310 3G Brisa", "1 72234 3G Austral",
                                               "3 72207 2G Pampa", "1 72236 2G Litoral"};
    struct Case {
        const char *control;
        std::vector<std::string> networks;
    } cases[] = {
        {"quirk cops-odd off", expected},
        {"quirk cops-lines on", expected},
        {"quirk cops-busy 2", expected},
        // Names left out (the short one stands in for the long and back), AcT missing or after
        // the parenthesis: the third network's AcT comes after the group, the second has none.
        {"quirk cops-odd on",
         {"2 722310 3G Brisa", "1 72234  Austral Movil", "3 72207 2G Pampa", "1 72236 2G Litoral"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.control);
        ASSERT_EQ(card->control(c.control), "OK");
        uint16_t status = 1;
        EXPECT_EQ(search(status), c.networks);
        EXPECT_EQ(status, 0);
    }
    // A card that stays busy longer than the engine asks.
    ASSERT_EQ(card->control("quirk cops-busy 5"), "OK");
    uint16_t status = 0;
    EXPECT_TRUE(search(status).empty());
    EXPECT_EQ(status, 10515);
}

TEST_F(ServicesEngineTest, ManualRegistrationForbiddenRefusedAndAutomaticModesBack)
{
    uint32_t offered = 0;
    ASSERT_EQ(_MEC_GetNetworkSelectModes(&offered), 0);
    EXPECT_EQ(offered, (1u << 5) | (1u << 2) | (1u << 1));
    EXPECT_EQ(selectMode(), 5);

    ASSERT_EQ(_MEC_SetNetworkSelectMode(4), 0);  // before a search: nothing changes yet
    EXPECT_EQ(selectMode(), 5);
    ASSERT_EQ(_MEC_SetOperator(choice("72234", 2)), 0);
    EXPECT_EQ(selectMode(), 0);
    _MEC_ZDON_PARA para{};
    ASSERT_EQ(_MEC_GetZdonPara(&para), 0);
    EXPECT_STREQ(para.roaming, "ROAM_ON");

    EXPECT_EQ(_MEC_SetOperator(choice("72207", 0)), 10032);  // forbidden
    EXPECT_EQ(_MEC_SetOperator(choice("72x07", 0)), MEC_ERR_ERROR);  // never sent

    struct Mode {
        uint8_t set;
        int ws46;
    } modes[] = {{2, 22}, {1, 12}, {5, 25}};
    for (const auto &mode : modes) {
        SCOPED_TRACE(int(mode.set));
        ASSERT_EQ(_MEC_SetNetworkSelectMode(mode.set), 0);
        EXPECT_EQ(selectMode(), mode.set);
        auto state = card->snapshot();
        EXPECT_EQ(state.network.systemMode, mode.ws46);
        EXPECT_EQ(state.network.selectionMode, 0);
    }
    // On UTRAN only, the network on GSM only is not there.
    ASSERT_EQ(_MEC_SetNetworkSelectMode(2), 0);
    uint16_t status = 1;
    auto found = search(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_NE(_MEC_SetOperator(choice("72236", 0)), 0);
    EXPECT_EQ(_MEC_SetNetworkSelectMode(3), MEC_ERR_NOT_SUPPORTED);
}

TEST_F(ServicesEngineTest, CardWithoutSystemModesOffersOnlyAutomatic)
{
    card->setMissingCommands({"+WS46"});
    uint32_t offered = 0;
    ASSERT_EQ(_MEC_GetNetworkSelectModes(&offered), 0);
    EXPECT_EQ(offered, 1u << 5);
    EXPECT_EQ(selectMode(), 5);
    EXPECT_EQ(_MEC_SetNetworkSelectMode(5), 0);
    EXPECT_NE(_MEC_SetNetworkSelectMode(2), 0);
}

TEST_F(ServicesEngineTest, ForwardingPerConditionCountsOnlyVoice)
{
    _MEC_CALL_FORWARD_REQUEST request{};
    request.reason = 1;
    request.mode = 3;
    copyOut(request.number, sizeof request.number, "+5491155550000");
    _MEC_CALL_FORWARD_ANSWER answer{};
    ASSERT_EQ(_MEC_SetCallForwardCmd(request, &answer), 0);
    ASSERT_EQ(_MEC_GetCallForwardSet(1, &answer), 0);
    EXPECT_EQ(answer.status, 1u);
    EXPECT_EQ(answer.serviceClass, 1u);
    EXPECT_STREQ(answer.number, "+5491155550000");
    ASSERT_EQ(_MEC_GetCallForwardSet(0, &answer), 0);
    EXPECT_EQ(answer.status, 0u);

    // Forwarding of data calls only is off for the window.
    card->editState([](virtualmodem::ModemState &state) {
        state.services.forwarding[{2, 2}] = "1155551111";
    });
    ASSERT_EQ(_MEC_GetCallForwardSet(2, &answer), 0);
    EXPECT_EQ(answer.status, 0u);
    EXPECT_STREQ(answer.number, "");

    request.mode = 4;
    ASSERT_EQ(_MEC_SetCallForwardCmd(request, &answer), 0);
    ASSERT_EQ(_MEC_GetCallForwardSet(1, &answer), 0);
    EXPECT_EQ(answer.status, 0u);

    // A number that is no number is refused before the card sees it.
    request.mode = 3;
    copyOut(request.number, sizeof request.number, "12\",3,\"9");
    EXPECT_EQ(_MEC_SetCallForwardCmd(request, &answer), MEC_ERR_ERROR);
}

TEST_F(ServicesEngineTest, BarringWithItsPasswordClipAndWaiting)
{
    _MEC_CALL_BARRING_REQUEST bar{};
    copyOut(bar.facility, sizeof bar.facility, "AO");
    bar.mode = 1;
    uint32_t status = 9;
    ASSERT_EQ(_MEC_SetCallBarringCmd(bar, &status), 0);
    ASSERT_EQ(_MEC_GetCallBarringCmd("AO", &status), 0);
    EXPECT_EQ(status, 1u);
    ASSERT_EQ(_MEC_GetCallBarringCmd("OI", &status), 0);
    EXPECT_EQ(status, 0u);
    // A barring password changed elsewhere: the network refuses the request.
    ASSERT_EQ(card->control("barring-password 9999"), "OK");
    bar.mode = 0;
    EXPECT_EQ(_MEC_SetCallBarringCmd(bar, &status), MEC_ERR_SERVICE_REFUSED);
    EXPECT_EQ(_MEC_GetCallBarringCmd("ZZ", &status), MEC_ERR_ERROR);

    uint32_t mode = 9;
    ASSERT_EQ(_MEC_CallerModeSetCmd(0), 0);
    ASSERT_EQ(_MEC_GetCallerListMode(&mode), 0);
    EXPECT_EQ(mode, 0u);
    ASSERT_EQ(_MEC_CallerModeSetCmd(1), 0);
    ASSERT_EQ(_MEC_GetCallerListMode(&mode), 0);
    EXPECT_EQ(mode, 1u);
    ASSERT_EQ(card->control("clip provisioned off"), "OK");
    EXPECT_EQ(_MEC_CallerModeSetCmd(1), MEC_ERR_SERVICE_REFUSED);
    ASSERT_EQ(_MEC_GetCallerListMode(&mode), 0);
    EXPECT_EQ(mode, 0u);

    uint32_t waiting = 9;
    ASSERT_EQ(_MEC_GetCallWaiting(&waiting), 0);
    EXPECT_EQ(waiting, 1u);
    ASSERT_EQ(_MEC_SetCallWaiting(0), 0);
    ASSERT_EQ(_MEC_GetCallWaiting(&waiting), 0);
    EXPECT_EQ(waiting, 0u);
}

TEST_F(ServicesEngineTest, NetworkRefusingEveryServiceIsResultSeven)
{
    ASSERT_EQ(card->control("services refuse on"), "OK");
    _MEC_CALL_FORWARD_ANSWER answer{};
    uint32_t value = 0;
    _MEC_CALL_FORWARD_REQUEST erase{};
    erase.mode = 4;
    _MEC_CALL_BARRING_REQUEST bar{};
    copyOut(bar.facility, sizeof bar.facility, "AI");
    const std::vector<std::pair<const char *, uint16_t>> results = {
        {"forwarding query", _MEC_GetCallForwardSet(3, &answer)},
        {"forwarding change", _MEC_SetCallForwardCmd(erase, &answer)},
        {"barring query", _MEC_GetCallBarringCmd("IR", &value)},
        {"barring change", _MEC_SetCallBarringCmd(bar, &value)},
        {"waiting query", _MEC_GetCallWaiting(&value)},
        {"waiting change", _MEC_SetCallWaiting(1)},
    };
    for (const auto &[what, result] : results)
        EXPECT_EQ(result, MEC_ERR_SERVICE_REFUSED) << what;
}

}  // namespace
