// Firmware as it comes: for each class of behaviour real cards show, the virtual card is put in
// that mode and the real engine runs the program's start-up against it, then what the quirk
// would break is checked.
#include "EngineFixture.h"

using namespace engine_test;
using virtualmodem::Quirk;

namespace {

struct QuirkCase {
    const char *name;
    std::function<void(virtualmodem::VirtualModem &)> setUp;
    // What the network reads as once the SIM took its PIN ("UMTS" on the home network).
    const char *networkType;
    std::function<void(virtualmodem::VirtualModem &)> check;
};

void expectWrongPinToldApart() { EXPECT_EQ(_MEC_ChangePinPasswd("9999", "1111"), 7305); }

void expectOperatorNamed()
{
    _MEC_ZDON_PARA para{};
    ASSERT_EQ(_MEC_GetZdonPara(&para), 0);
    EXPECT_STREQ(para.operatorName, "Brisa");
    EXPECT_STREQ(para.numericId, "722310");
}

void expectPinCounts(uint8_t pin, uint8_t puk)
{
    uint8_t pinLeft = 0, pukLeft = 0;
    ASSERT_EQ(_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft), 0);
    EXPECT_EQ(pinLeft, pin);
    EXPECT_EQ(pukLeft, puk);
}

auto quirk(Quirk which)
{
    return [which](virtualmodem::VirtualModem &card) { card.setQuirk(which, true); };
}

const QuirkCase kQuirkCases[] = {
    {"a bare AT answered ERROR", quirk(Quirk::BareAtRefused), "UMTS",
     [](auto &) { EXPECT_EQ(_MEC_Echo(), 0) << "a card that answers is there"; }},
    {"no echo at all", [](auto &card) { card.setNoEcho(true); }, "UMTS", nullptr},
    {"echo that will not go", quirk(Quirk::StuckEcho), "UMTS",
     [](auto &) { expectOperatorNamed(); }},
    {"+CMEE refused: plain ERROR", [](auto &card) { card.setMissingCommands({"+CMEE"}); }, "UMTS",
     [](auto &) { expectWrongPinToldApart(); }},
    {"verbose +CME ERROR texts", quirk(Quirk::VerboseErrors), "UMTS",
     [](auto &) { expectWrongPinToldApart(); }},
    {"chained commands refused", quirk(Quirk::NoChains), "UMTS",
     [](auto &) { expectOperatorNamed(); }},
    {"a set-up command swallowed without an answer",
     [](auto &card) { card.setMutedCommands({"+CMER"}); }, "UMTS", nullptr},
    {"+CPMS? refused", [](auto &card) { card.setMissingCommands({"+CPMS"}); }, "UMTS",
     [](auto &) { EXPECT_EQ(_MEC_TestSimState(), 0); }},
    {"+CFUN=1 taken, radio stays off", quirk(Quirk::RadioOff), "NO SERVICE",
     [](auto &card) {
         uint8_t mode = 0;
         EXPECT_EQ(_MEC_SetOperationMode(5), 7003);
         ASSERT_EQ(_MEC_GetOperationMode(&mode), 0);
         EXPECT_EQ(mode, 6);
         // The switch back on: the same call now brings the card on line.
         card.setQuirk(Quirk::RadioOff, false);
         EXPECT_EQ(_MEC_SetOperationMode(5), 0);
         ASSERT_EQ(_MEC_GetOperationMode(&mode), 0);
         EXPECT_EQ(mode, 5);
     }},
    {"refusals worded COMMAND NOT SUPPORT", quirk(Quirk::OddFinals), "UMTS",
     [](auto &) {
         // Ended by the card's own word, not by the time-out (7001).
         EXPECT_EQ(Engine::current()->run("AT+XNOSUCH").status, 7003);
         expectWrongPinToldApart();
     }},
    {"ATV0 numeric results", quirk(Quirk::NumericResults), "UMTS",
     [](auto &) {
         EXPECT_EQ(Engine::current()->run("AT+XNOSUCH").status, 7003);
         expectOperatorNamed();
     }},
    {"+CPINR gives the PIN line only", quirk(Quirk::CpinrPinOnly), "UMTS",
     [](auto &) { expectPinCounts(3, 10); }},
    {"+CPINR PIN line only, no SIM status",
     [](auto &card) {
         card.setQuirk(Quirk::CpinrPinOnly, true);
         card.setMissingCommands({"+CRSM"});
     },
     "UMTS", [](auto &) { expectPinCounts(3, MEC_PIN_COUNT_UNKNOWN); }},
    {"+CRSM answers 9F xx with data", quirk(Quirk::CrsmPending), "UMTS",
     [](auto &) {
         char spn[64] = {};
         ASSERT_EQ(_SIMOperate(176, 28486, 0, 1, 16, spn, sizeof spn), 0);
         EXPECT_STREQ(spn, "Brisa");
     }},
    {"+CGSN gives a MEID behind a prefix", quirk(Quirk::OddSerial), "UMTS",
     [](auto &) {
         char serial[MEC_IMEI_TEXT_SIZE] = {};
         ASSERT_EQ(_MEC_QueryImei(serial), 0);
         EXPECT_STREQ(serial, "A1000049C3F1B2");
     }},
    {"registration lines as real cards write them", quirk(Quirk::OddRegistration), "UMTS",
     [](auto &card) {
         expectOperatorNamed();
         // Their reports too: roaming is noticed from a line with a lost quote.
         card.setNetwork(virtualmodem::Coverage::Roaming);
         EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) {
             return !r.operators.empty() && std::string(r.operators.back().roaming) == "ROAM_ON";
         }));
     }},
    {"every +CREG= refused: polled", quirk(Quirk::NoRegistrationReports), "UMTS",
     [](auto &card) {
         card.setNetwork(virtualmodem::Coverage::None);
         EXPECT_TRUE(g_recorder.waitFor([](Recorder &r) {
             return !r.serviceTexts.empty() && r.serviceTexts.back() == "No Service";
         }));
     }},
    {"attached on LTE only", [](auto &card) { card.setNetwork(virtualmodem::Coverage::Lte); },
     "LTE",
     [](auto &) {
         _MEC_NETWORK_PARA network{};
         ASSERT_EQ(_MEC_GetNetworkPara(&network), 0);
         EXPECT_EQ(network.serviceDomain, 1);
         _MEC_ZDON_PARA para{};
         ASSERT_EQ(_MEC_GetZdonPara(&para), 0);
         EXPECT_STREQ(para.operatorName, "Brisa");
         EXPECT_STREQ(para.serviceDomain, "PS_ONLY");
     }},
    {"stored-message headers in other shapes", quirk(Quirk::OddMessageHeaders), "UMTS",
     [](auto &card) {
         ASSERT_TRUE(card.fillMessages("SM", 2));
         ASSERT_TRUE(eventually([] { return _MEC_TestSimState() == 0; }));
         ASSERT_EQ(_MEC_LoadMessages(0), 0);
         _MEC_SMS_RECORD message{};
         int listed = 0;
         for (uint16_t status = _MEC_GetFirstMessage(0, &message); status == 0;
              status = _MEC_GetNextMessage(&message))
             ++listed;
         EXPECT_EQ(listed, 2);
         message = _MEC_SMS_RECORD{};
         EXPECT_EQ(_MEC_GetMessage(2, &message), 0);
         EXPECT_EQ(message.index, 2);
     }},
    {"phonebook entries without a type field", quirk(Quirk::PhonebookOddEntries), "UMTS",
     [](auto &card) {
         ASSERT_TRUE(card.setPhonebookEntry("SM", 3, {"+4917612345678", "Anna"}));
         ASSERT_TRUE(eventually([] { return _MEC_LoadContacts(0) == 0; }));
         _MEC_CONTACT_RECORD contact{};
         ASSERT_EQ(_MEC_GetFirstContact(&contact), 0);
         EXPECT_EQ(contact.index, 3u);
         EXPECT_STREQ(contact.name, "Anna");
         EXPECT_STREQ(contact.numbers[0].number, "+4917612345678");
     }},
    {"a write that takes longer than a second", [](auto &) {}, "UMTS",
     [](auto &card) {
         // The card stops reading; a long line fills its buffer and the write waits for it.
         card.stallReading(1500ms);
         AtResponse response = Engine::current()->run("AT+CMGS=" + std::string(200000, '1'));
         EXPECT_NE(response.status, 7002) << "a slow card is not a lost one";
         EXPECT_TRUE(eventually([] { return _MEC_Echo() == 0; }));
     }},
};

TEST_F(EngineTest, TakesFirmwareAsItComes)
{
    for (const auto &c : kQuirkCases) {
        SCOPED_TRACE(c.name);
        newCard();
        c.setUp(*card);
        startToSimUsable();
        if (HasFatalFailure())
            return;
        EXPECT_TRUE(eventually([&] { return serviceText() == c.networkType; })) << serviceText();
        uint8_t csq = 0;
        EXPECT_EQ(_MEC_GetCsq(&csq), 0);
        if (c.check)
            c.check(*card);
    }
}

}  // namespace
