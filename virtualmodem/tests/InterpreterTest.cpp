// The AT interpreter on its own: exact bytes on the wire, with a clock the test moves.
#include "virtualmodem/Modem.h"

#include <gtest/gtest.h>

namespace virtualmodem {
namespace {

using namespace std::chrono_literals;

class VirtualModemInterpreterTest : public ::testing::Test {
protected:
    VirtualModemInterpreterTest() : m_modem(initial(), [this] { return m_now; }) {}

    static ModemState initial()
    {
        ModemState state;
        state.sim.pinEnabled = false;
        state.simBusyTime = 1500ms;
        state.networkScanTime = 2000ms;
        return state;
    }

    // Sends the bytes and returns what is due at once.
    std::string exchange(const std::string &bytes)
    {
        m_modem.receive(bytes);
        return m_modem.takeOutput();
    }

    // The answer to one command line with echo off.
    std::string answer(const std::string &line) { return exchange(line + "\r"); }

    void advance(std::chrono::milliseconds time)
    {
        m_now += time;
        m_modem.process();
    }

    Clock::time_point m_now = Clock::time_point(100s);
    Modem m_modem;
};

TEST_F(VirtualModemInterpreterTest, LinesAreFramedAsV250Says)
{
    struct Case {
        std::string input;
        std::string output;
    };
    const std::vector<Case> cases = {
        {"AT\r", "AT\r\r\nOK\r\n"},
        {"at+csq\r", "at+csq\r\r\n+CSQ: 20,99\r\n\r\nOK\r\n"},
        {"ATE0\r", "ATE0\r\r\nOK\r\n"},
        {"AT\r", "\r\nOK\r\n"},
        // Noise before the prefix and line feeds are ignored; backspace edits the line.
        {"\x1b\r\nxyzAT+CFUN?\r", "\r\n+CFUN: 1\r\n\r\nOK\r\n"},
        {"AT+CSX\bQ\r", "\r\n+CSQ: 20,99\r\n\r\nOK\r\n"},
        // Several commands in one line: one OK; the first failure ends the line.
        {"AT+CMEE=1;+CGMI;+CGMM\r", "\r\nLumadial\r\n\r\nVirtual 3G Data Card\r\n\r\nOK\r\n"},
        {"AT+CGMI;+CFUN=7;+CGMM\r", "\r\nLumadial\r\n\r\n+CME ERROR: 4\r\n"},
        {"ATE0V1Q0X4\r", "\r\nOK\r\n"},
        // A/ repeats the last line, without a terminator.
        {"A/", "\r\nOK\r\n"},
        {"AT+NOSUCH\r", "\r\nERROR\r\n"},
        {"AT+CPIN=\"12\r", "\r\nERROR\r\n"},
        {"AT+CMEE=2;+CFUN=7\r", "\r\n+CME ERROR: operation not supported\r\n"},
        {"AT+CMEE=0;+CFUN=7\r", "\r\nERROR\r\n"},
        {"ATS3?\r", "\r\n013\r\n\r\nOK\r\n"},
        {"ATV0\r", "0\r"},
        {"AT+CSQ\r", "+CSQ: 20,99\r\n0\r"},
        {"AT+NOSUCH\r", "4\r"},
        {"ATZ\r", "\r\nOK\r\n"},
        {"AT\r", "AT\r\r\nOK\r\n"},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.input);
        EXPECT_EQ(exchange(step.input), step.output);
    }
}

TEST_F(VirtualModemInterpreterTest, FirmwareQuirksOnTheWire)
{
    struct Case {
        Quirk quirk;
        std::vector<std::string> before;  // lines sent first, answers not looked at
        std::string line;
        std::string expected;  // what the answer holds
        std::string absent;    // what it must not hold
    };
    const Case cases[] = {
        {Quirk::BareAtRefused, {"ATE0"}, "AT", "\r\nERROR\r\n", "OK"},
        {Quirk::BareAtRefused, {"ATE0"}, "AT+CSQ", "\r\nOK\r\n", "ERROR"},
        {Quirk::NumericResults, {"ATE0"}, "AT+CSQ", "+CSQ: 20,99\r\n0\r", "OK"},
        {Quirk::NumericResults, {"ATE0"}, "AT+XNOSUCH", "4\r", "ERROR"},
        {Quirk::OddFinals, {"ATE0"}, "AT+XNOSUCH", "\r\nCOMMAND NOT SUPPORT\r\n", "ERROR"},
        {Quirk::StuckEcho, {"ATE0"}, "AT+CSQ", "AT+CSQ\r", "ERROR"},
        {Quirk::NoChains, {"ATE0"}, "AT+COPS=3,0;+COPS?", "ERROR", "+COPS:"},
        {Quirk::NoChains, {"ATE0"}, "AT+COPS?", "+COPS: 0,0,\r\n", "Brisa"},
        {Quirk::NoChains, {"ATE0", "AT+COPS=3,0"}, "AT+COPS?", "+COPS: 0,0,\"Brisa\",2", ""},
        {Quirk::VerboseErrors,
         {"ATE0", "AT+CMEE=1"},
         "AT+CFUN=2",
         "+CME ERROR: operation not supported",
         "+CME ERROR: 4"},
        {Quirk::RadioOff, {"ATE0", "AT+CFUN=1"}, "AT+CFUN?", "+CFUN: 4", ""},
        {Quirk::CpinrPinOnly, {"ATE0"}, "AT+CPINR", "+CPINR: SIM PIN,3,3", "SIM PUK"},
        {Quirk::CrsmPending, {"ATE0"}, "AT+CRSM=176,28486,0,0,17", "+CRSM: 159,17,\"", "144,0"},
        {Quirk::OddSerial, {"ATE0"}, "AT+CGSN", "MEID: A1000049C3F1B2", "356938035643809"},
        {Quirk::NoRegistrationReports, {"ATE0"}, "AT+CREG=2", "ERROR", ""},
        {Quirk::NoRegistrationReports, {"ATE0"}, "AT+CREG?", "+CREG: 0,1", ""},
        {Quirk::OddRegistration,
         {"ATE0", "AT+CREG=2"},
         "AT+CREG?",
         "+CREG: 1,\"2C 1A,\"01A2B3C4\",2\r\n+CREG: 2,1,\"2C 1A,\"01A2B3C4\",2,0",
         ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        m_modem.state().quirks.modes = {c.quirk};
        m_modem.powerUp();
        for (const auto &line : c.before)
            answer(line);
        const std::string out = answer(c.line);
        EXPECT_NE(out.find(c.expected), std::string::npos) << out;
        if (!c.absent.empty()) {
            EXPECT_EQ(out.find(c.absent), std::string::npos) << out;
        }
    }
}

TEST_F(VirtualModemInterpreterTest, OverlongLineIsRefused)
{
    answer("ATE0");
    EXPECT_EQ(answer("AT+CGDCONT=1,\"IP\",\"" + std::string(3000, 'a') + "\""), "\r\nERROR\r\n");
    EXPECT_EQ(answer("AT"), "\r\nOK\r\n");
}

TEST_F(VirtualModemInterpreterTest, SimFilesAnswerWithStatusWords)
{
    answer("ATE0");
    m_modem.state().sim.pinEnabled = true;
    m_modem.powerUp();
    answer("ATE0");
    const std::string spn = "014272697361FFFFFFFFFFFFFFFFFFFFFF";
    struct Case {
        std::string command;
        std::string line;
    };
    const std::vector<Case> lockedCases = {
        {"AT+CRSM=176,28486,0,0,17", "+CRSM: 144,0,\"" + spn + "\""},
        {"AT+CRSM=176,28486,0,1,16", "+CRSM: 144,0,\"" + spn.substr(2) + "\""},
        {"AT+CRSM=176,12258,0,0,10", "+CRSM: 144,0,\"984513103254769810F0\""},
        // The IMSI needs the PIN.
        {"AT+CRSM=176,28423,0,0,9", "+CRSM: 152,4"},
        {"AT+CRSM=176,28486,0,10,16", "+CRSM: 103,0"},
        {"AT+CRSM=176,28486,0,17,1", "+CRSM: 107,0"},
        {"AT+CRSM=176,20000,0,0,1", "+CRSM: 148,4"},
        {"AT+CRSM=178,28486,1,4,17", "+CRSM: 148,8"},
        {"AT+CRSM=192,28486,0,0,15", "+CRSM: 144,0,\"000000116F46040004FFFF01020000\""},
        {"AT+CRSM=176,28599,0,0,6", "+CRSM: 144,0,\"11F2FF19F1FF\""},
    };
    for (const Case &step : lockedCases) {
        SCOPED_TRACE(step.command);
        EXPECT_EQ(answer(step.command), "\r\n" + step.line + "\r\n\r\nOK\r\n");
    }

    answer("AT+CPIN=\"1234\"");
    const std::vector<Case> readyCases = {
        {"AT+CRSM=176,28423,0,0,9", "+CRSM: 144,0,\"087922131032547698\""},
        {"AT+CRSM=178,28480,1,4,24",
         "+CRSM: 144,0,\"FFFFFFFFFFFFFFFFFFFF0891451941000000F1FFFFFFFFFF\""},
        {"AT+CRSM=178,28480,2,4,24", "+CRSM: 148,2"},
        {"AT+CRSM=214,28486,0,0,1,\"00\"", "+CRSM: 152,4"},
        {"AT+CRSM=242",
         "+CRSM: 144,0,\"00000000"
         "7F2002"
         "0000000000"
         "09130206040083"
         "8A838A\""},
    };
    for (const Case &step : readyCases) {
        SCOPED_TRACE(step.command);
        EXPECT_EQ(answer(step.command), "\r\n" + step.line + "\r\n\r\nOK\r\n");
    }
    m_modem.state().sim.inserted = false;
    EXPECT_EQ(answer("AT+CRSM=176,28486,0,0,17"), "\r\nERROR\r\n");
}

TEST_F(VirtualModemInterpreterTest, MessageStorageIsBusyForAMomentAfterPowerUp)
{
    answer("ATE0");
    EXPECT_EQ(answer("AT+CPMS?"), "\r\n+CMS ERROR: 314\r\n");
    advance(1499ms);
    EXPECT_EQ(answer("AT+CPMS?"), "\r\n+CMS ERROR: 314\r\n");
    advance(1ms);
    EXPECT_EQ(answer("AT+CPMS?"), "\r\n+CPMS: \"SM\",0,20,\"SM\",0,20,\"SM\",0,20\r\n\r\nOK\r\n");
}

TEST_F(VirtualModemInterpreterTest, SlowAnswersHoldBackTheNextCommand)
{
    answer("ATE0");
    m_modem.state().quirks.slowAnswers = 500ms;
    EXPECT_EQ(exchange("AT+CGMI\rAT+CGMM\r"), "");
    advance(499ms);
    EXPECT_EQ(m_modem.takeOutput(), "");
    advance(1ms);
    EXPECT_EQ(m_modem.takeOutput(), "\r\nLumadial\r\n\r\nOK\r\n");
    advance(500ms);
    EXPECT_EQ(m_modem.takeOutput(), "\r\nVirtual 3G Data Card\r\n\r\nOK\r\n");
    EXPECT_FALSE(m_modem.nextEvent());
}

TEST_F(VirtualModemInterpreterTest, NetworkScanTakesItsTimeAndListsWhatTheRadioSees)
{
    answer("ATE0");
    EXPECT_EQ(answer("AT+COPS=?"), "");
    advance(2000ms);
    EXPECT_EQ(m_modem.takeOutput(),
              "\r\n+COPS: (2,\"Brisa\",\"Brisa\",\"722310\",2),(1,\"Austral "
              "Movil\",\"Austral\",\"72234\",2),"
              "(3,\"Pampa Telecom\",\"Pampa\",\"72207\",0),"
              "(1,\"Litoral Movil\",\"Litoral\",\"72236\",0),,(0-4),(0-2)\r\n\r\nOK\r\n");

    struct Case {
        std::string command;
        std::string answer;
    };
    const std::vector<Case> cases = {
        {"AT+CMEE=1", "\r\nOK\r\n"},
        {"AT+COPS=1,2,\"72234\",2", "\r\nOK\r\n"},
        {"AT+CREG?", "\r\n+CREG: 0,5\r\n\r\nOK\r\n"},
        {"AT+COPS?", "\r\n+COPS: 1,2,\"72234\",2\r\n\r\nOK\r\n"},
        // A forbidden network is refused, and the card stays with the choice, unregistered.
        {"AT+COPS=1,0,\"Pampa Telecom\"", "\r\n+CME ERROR: 32\r\n"},
        {"AT+CREG?", "\r\n+CREG: 0,3\r\n\r\nOK\r\n"},
        {"AT+COPS?", "\r\n+COPS: 1\r\n\r\nOK\r\n"},
        {"AT+COPS=1,2,\"99999\"", "\r\n+CME ERROR: 30\r\n"},
        // Mode 4 falls back to automatic selection.
        {"AT+COPS=4,2,\"72207\"", "\r\nOK\r\n"},
        {"AT+COPS=3,1;+COPS?", "\r\n+COPS: 0,1,\"Brisa\",2\r\n\r\nOK\r\n"},
        {"AT+CSCS=\"UCS2\";+COPS=3,0;+COPS?",
         "\r\n+COPS: 0,0,\"00420072006900730061\",2\r\n\r\nOK\r\n"},
        {"AT+COPS=1,0,\"004100750073007400720061006C0020004D006F00760069006C\"", "\r\nOK\r\n"},
        {"AT+COPS=2;+CREG?", "\r\n+CREG: 0,0\r\n\r\nOK\r\n"},
        {"AT+COPS=0;+WS46=12;+COPS?", "\r\n+COPS: 0,0,\"00420072006900730061\",0\r\n\r\nOK\r\n"},
        {"AT+WS46=28", "\r\n+CME ERROR: 4\r\n"},
        {"AT+WS46?", "\r\n+WS46: 12\r\n\r\nOK\r\n"},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.command);
        EXPECT_EQ(answer(step.command), step.answer);
    }
}

TEST_F(VirtualModemInterpreterTest, ContextsAreDefinedListedAndUndefined)
{
    answer("ATE0");
    struct Case {
        std::string command;
        std::string answer;
    };
    const std::vector<Case> cases = {
        {"AT+CGDCONT?", "\r\nOK\r\n"},
        {"AT+CGDCONT=1,\"IP\",\"internet.brisa\"", "\r\nOK\r\n"},
        {"AT+CGDCONT=3,\"ipv4v6\",\"ims\",\"10.0.0.1\",0,2", "\r\nOK\r\n"},
        {"AT+CGDCONT?",
         "\r\n+CGDCONT: 1,\"IP\",\"internet.brisa\",\"\",0,0\r\n+CGDCONT: "
         "3,\"IPV4V6\",\"ims\",\"10.0.0.1\",0,2\r\n"
         "\r\nOK\r\n"},
        {"AT+CGDCONT=1", "\r\nOK\r\n"},
        {"AT+CGDCONT=17,\"IP\",\"x\"", "\r\nERROR\r\n"},
        {"AT+CGDCONT=2,\"X25\",\"x\"", "\r\nERROR\r\n"},
        {"AT+CGDCONT?", "\r\n+CGDCONT: 3,\"IPV4V6\",\"ims\",\"10.0.0.1\",0,2\r\n\r\nOK\r\n"},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.command);
        EXPECT_EQ(answer(step.command), step.answer);
    }
}

}  // namespace
}  // namespace virtualmodem
