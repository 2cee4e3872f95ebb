// The network page's rules and the manual dialog's list against the scripted engine: the card's
// mode read into the page, the choices locked by a call or a connection, Apply after a manual
// registration, the modes the card does not offer, names for operators given as digits, and a
// forbidden or unknown operator refused before the card is asked.
#include "NetworkSelection.h"
#include "UI_ManualSet.h"
#include "UI_SetNetForm.h"

#include "FakeLumacore.h"
#include "RecordingHost.h"
#include "logic/EngineValues.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <gtest/gtest.h>

namespace {

_MEC_OPERATOR_INFO record(uint32_t state, const char *name, const char *numeric,
                          const char *technology)
{
    _MEC_OPERATOR_INFO info{};
    info.state = state;
    std::strncpy(info.shortName, name, sizeof info.shortName - 1);
    std::strncpy(info.numericId, numeric, sizeof info.numericId - 1);
    std::strncpy(info.accessTechnology, technology, sizeof info.accessTechnology - 1);
    return info;
}

class NetworkSelectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool) {
            messages << text;
            return 1;
        });
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler({});
        lumacore_fake::reset();
    }
    void engineMode(uint8_t mode, uint32_t offered = (1u << 5) | (1u << 2) | (1u << 1))
    {
        lumacore_fake::onCall(&_MEC_GetNetworkSelectMode, [mode](uint8_t *out) -> MEC_STATUS {
            *out = mode;
            return 0;
        });
        lumacore_fake::onCall(&_MEC_GetNetworkSelectModes, [offered](uint32_t *out) -> MEC_STATUS {
            *out = offered;
            return 0;
        });
    }

    AllConfig config{};
    QStringList messages;
};

TEST_F(NetworkSelectionTest, CardModeReadIntoThePage)
{
    struct Case {
        uint8_t engine;
        int kind;
        int choice;
        int engineMode;
        bool byHand;
    } cases[] = {
        {0, 1, 0, -1, true}, {5, 0, 0, 5, false}, {4, 0, 0, 5, false},
        {2, 0, 1, 2, false}, {1, 0, 2, 1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.engine));
        config = AllConfig{};
        engineMode(c.engine);
        NetworkSelection selection(config);
        selection.setCardState(kSimReady);
        EXPECT_EQ(selection.shownKind, c.kind);
        EXPECT_EQ(config.networkSelection, c.kind);
        EXPECT_EQ(selection.shownChoice, c.choice);
        EXPECT_EQ(selection.engineMode, c.engineMode);
        EXPECT_EQ(selection.registeredByHand, c.byHand);
    }
}

TEST_F(NetworkSelectionTest, ChoicesLockedByCallConnectionOrCardNotReady)
{
    struct Case {
        uint8_t card;
        bool call;
        bool connection;
        bool ussd;
        bool open;
    } cases[] = {
        {kSimReady, false, false, false, true},  {kSimReady, false, true, false, false},
        {kSimReady, true, false, false, false},  {kSimReady, false, false, true, true},
        {kCardRegistered, false, false, false, false},
    };
    engineMode(5);
    for (const auto &c : cases) {
        NetworkSelection selection(config);
        selection.setCardState(c.card);
        selection.setCallActive(c.call);
        selection.setConnectionBusy(c.connection);
        selection.setUssdActive(c.ussd);
        EXPECT_EQ(selection.choicesOpen(), c.open)
            << int(c.card) << c.call << c.connection << c.ussd;
    }
}

TEST_F(NetworkSelectionTest, PageGreysOutWhatTheCardDoesNotOfferAndLocksWhileConnected)
{
    engineMode(5, 1u << 5);
    RecordingHost host;
    TSet_netform page(host, &config);
    page.cardStateChanged(kSimReady);
    page.FormShow();
    EXPECT_TRUE(page.RadioButton_Modes[0]->isEnabled());
    EXPECT_FALSE(page.RadioButton_Modes[1]->isEnabled());
    EXPECT_FALSE(page.RadioButton_Modes[2]->isEnabled());
    page.connectionStateChanged(kConnectionConnected);
    EXPECT_FALSE(page.RadioGroup_NetOpt->isEnabled());
    EXPECT_FALSE(page.RadioButton_Modes[0]->isEnabled());
    page.connectionStateChanged(kConnectionIdle);
    EXPECT_TRUE(page.RadioGroup_NetOpt->isEnabled());
}

TEST_F(NetworkSelectionTest, ApplyAfterManualRegistrationSetsTheModeEvenUnchanged)
{
    engineMode(5);
    NetworkSelection selection(config);
    selection.setCardState(kSimReady);
    int message = 0;
    EXPECT_EQ(selection.Apply(message), NetworkSelection::ApplyStep::Done);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetNetworkSelectMode"), 0);  // nothing changed

    selection.shownKind = 1;
    EXPECT_EQ(selection.Apply(message), NetworkSelection::ApplyStep::OpenManualDialog);
    selection.RegisteredByHand();
    selection.shownKind = 0;
    selection.shownChoice = 0;
    EXPECT_EQ(selection.Apply(message), NetworkSelection::ApplyStep::Done);
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_SetNetworkSelectMode"),
              (std::vector<std::string>{"5"}));
    EXPECT_EQ(message, 3033);
    EXPECT_EQ(config.networkSelection, 0);

    // A refused mode: the applied choice is shown again.
    lumacore_fake::setResult("_MEC_SetNetworkSelectMode", MEC_ERR_CME_BASE + 4);
    selection.shownChoice = 2;
    selection.Apply(message);
    EXPECT_EQ(message, 3101);
    EXPECT_EQ(selection.shownChoice, 0);
    EXPECT_EQ(config.autoSelectionChoice, 0);
}

TEST_F(NetworkSelectionTest, OperatorRowsNameDigitsFromTheProviderDatabase)
{
    const std::vector<_MEC_OPERATOR_INFO> records = {
        record(2, "Brisa", "722310", "3G"), record(1, "99934", "99934", "2"),
        record(1, "", "999341", "0"), record(3, "", "72207", "4G"), record(7, "X", "72299", "")};
    auto rows = OperatorRows(records, [](const QString &numeric) {
        return ProviderNameOf(QStringLiteral(CONNECTION_TEST_DATA "/serviceproviders-sample.xml"),
                              numeric);
    });
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].name, "Brisa");
    EXPECT_EQ(rows[1].name, "Short Code Telecom");
    EXPECT_EQ(rows[1].networkType, "3G");
    EXPECT_EQ(rows[2].name, "Long Code Mobile");
    EXPECT_EQ(rows[2].networkType, "2G");
    EXPECT_EQ(rows[3].name, "");  // not in the database
    EXPECT_EQ(rows[3].networkType, "");
    EXPECT_EQ(rows[4].stateText, "");

    EXPECT_EQ(RowRefusal(nullptr), 3153);
    EXPECT_EQ(RowRefusal(&rows[3]), 3015);
    OperatorRow unknown = rows[0];
    unknown.state = 0;
    EXPECT_EQ(RowRefusal(&unknown), 3016);
    EXPECT_EQ(RowRefusal(&rows[1]), 0);
    _MEC_OPERATOR_SELECT chosen = SelectionOf(rows[1]);
    EXPECT_STREQ(chosen.numericId, "99934");
    EXPECT_EQ(chosen.accessTechnology, 2u);
    EXPECT_EQ(SelectionOf(rows[2]).accessTechnology, 0u);
}

TEST_F(NetworkSelectionTest, ForbiddenOperatorRefusedBeforeTheCardIsAsked)
{
    RecordingHost host;
    TManual_Set dialog(host);
    dialog.setWaitWindow({[](int, const QString &) {}, [] {}});
    dialog.FillList({record(2, "Brisa", "722310", "3G"), record(3, "Pampa", "72207", "2G")});
    dialog.OperatorListView->setCurrentItem(dialog.OperatorListView->topLevelItem(1));
    dialog.Apply_BtnClick();
    EXPECT_EQ(messages, QStringList{platform::GetLanguageString(3015)});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetOperator"), 0);
}

}  // namespace
