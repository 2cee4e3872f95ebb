// The card on its pseudo-terminal, driven as a program drives a real card.
#include "CardFixture.h"

#include "virtualmodem/ControlSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <thread>

namespace virtualmodem::testing {
namespace {

struct Step {
    std::string command;
    std::vector<std::string> lines;
    std::string final;
};

class VirtualModemTest : public CardTest {
protected:
    void run(const std::vector<Step> &steps)
    {
        for (const Step &step : steps) {
            SCOPED_TRACE(step.command);
            const Answer answer = m_client.command(step.command);
            EXPECT_EQ(answer.lines, step.lines);
            EXPECT_EQ(answer.final, step.final);
        }
    }
};

TEST_F(VirtualModemTest, PinAndPukCountersFollowTheSim)
{
    startCard();
    run({
        {"ATE0", {}, "OK"},
        {"AT+CMEE=1", {}, "OK"},
        {"AT+CPIN?", {"+CPIN: SIM PIN"}, "OK"},
        {"AT+CPINR=\"SIM PIN\"", {"+CPINR: SIM PIN,3,3"}, "OK"},
        {"AT+CIMI", {}, "+CME ERROR: 11"},
        {"AT+CPIN=\"0000\"", {}, "+CME ERROR: 16"},
        {"AT+CPINR=\"SIM PIN\"", {"+CPINR: SIM PIN,2,3"}, "OK"},
        {"AT+CPIN=\"0000\"", {}, "+CME ERROR: 16"},
        {"AT+CPIN=\"0000\"", {}, "+CME ERROR: 16"},
        // The third wrong PIN blocks it: now only the PUK helps.
        {"AT+CPIN?", {"+CPIN: SIM PUK"}, "OK"},
        {"AT+CPIN=\"1234\"", {}, "+CME ERROR: 12"},
        {"AT+CPINR=\"SIM*\"",
         {"+CPINR: SIM PIN,0,3", "+CPINR: SIM PUK,10,10", "+CPINR: SIM PIN2,3,3",
          "+CPINR: SIM PUK2,10,10"},
         "OK"},
        {"AT+CPIN=\"11111111\",\"4321\"", {}, "+CME ERROR: 16"},
        {"AT+CPINR=\"SIM PUK\"", {"+CPINR: SIM PUK,9,10"}, "OK"},
        {"AT+CPIN=\"12345678\",\"4321\"", {}, "OK"},
        {"AT+CPIN?", {"+CPIN: READY"}, "OK"},
        {"AT+CPINR=\"SIM P*\"",
         {"+CPINR: SIM PIN,3,3", "+CPINR: SIM PUK,10,10", "+CPINR: SIM PIN2,3,3",
          "+CPINR: SIM PUK2,10,10"},
         "OK"},
        {"AT+CIMI", {"722310123456789"}, "OK"},
        // No PIN is pending any more.
        {"AT+CPIN=\"4321\"", {}, "+CME ERROR: 3"},
        {"AT+CLCK=\"SC\",2", {"+CLCK: 1"}, "OK"},
        {"AT+CLCK=\"SC\",0,\"1111\"", {}, "+CME ERROR: 16"},
        {"AT+CPINR=\"SIM PIN\"", {"+CPINR: SIM PIN,2,3"}, "OK"},
        {"AT+CLCK=\"SC\",0,\"4321\"", {}, "OK"},
        {"AT+CLCK=\"SC\",2", {"+CLCK: 0"}, "OK"},
        {"AT+CPINR=\"SIM PIN\"", {"+CPINR: SIM PIN,3,3"}, "OK"},
        // A disabled PIN cannot be changed.
        {"AT+CPWD=\"SC\",\"4321\",\"5555\"", {}, "+CME ERROR: 3"},
        {"AT+CLCK=\"SC\",1,\"4321\"", {}, "OK"},
        {"AT+CPWD=\"SC\",\"4321\",\"12\"", {}, "+CME ERROR: 3"},
        {"AT+CPWD=\"SC\",\"4321\",\"5555\"", {}, "OK"},
    });

    // The new PIN is asked at the next power-up.
    ASSERT_TRUE(m_card->removeCard());
    ASSERT_TRUE(m_card->insertCard());
    ASSERT_TRUE(m_client.open(m_link));
    run({
        {"ATE0", {}, "OK"},
        {"AT+CMEE=2", {}, "OK"},
        {"AT+CPIN?", {"+CPIN: SIM PIN"}, "OK"},
        {"AT+CPIN=\"4321\"", {}, "+CME ERROR: incorrect password"},
        {"AT+CPIN=\"5555\"", {}, "OK"},
    });
}

TEST_F(VirtualModemTest, TenWrongPuksKillTheSim)
{
    startCard();
    run({{"ATE0", {}, "OK"}, {"AT+CMEE=1", {}, "OK"}});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(finalOf("AT+CPIN=\"0000\""), "+CME ERROR: 16");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(finalOf("AT+CPIN=\"00000000\",\"1111\""), "+CME ERROR: 16");
    run({
        {"AT+CPIN?", {}, "+CME ERROR: 13"},
        {"AT+CPIN=\"12345678\",\"1111\"", {}, "+CME ERROR: 13"},
        {"AT+CIMI", {}, "+CME ERROR: 13"},
    });
}

TEST_F(VirtualModemTest, EchoFollowsAteUnlessTheCardCannotEcho)
{
    startCard();
    Answer answer = m_client.command("AT");
    EXPECT_TRUE(answer.echoed);
    EXPECT_EQ(answer.final, "OK");
    // The line that switches echo off is still echoed; the next one is not.
    answer = m_client.command("ATE0");
    EXPECT_TRUE(answer.echoed);
    answer = m_client.command("AT");
    EXPECT_FALSE(answer.echoed);
    EXPECT_EQ(answer.final, "OK");
    answer = m_client.command("ATE1");
    EXPECT_FALSE(answer.echoed);
    EXPECT_TRUE(m_client.command("AT").echoed);

    m_card->setNoEcho(true);
    answer = m_client.command("ATE1");
    EXPECT_FALSE(answer.echoed);
    EXPECT_EQ(answer.final, "ERROR");
    EXPECT_FALSE(m_client.command("AT+CSQ").echoed);
}

TEST_F(VirtualModemTest, RegistrationIsReportedWhenTheNetworkChanges)
{
    startCard();
    run({{"ATE0", {}, "OK"},
         {"AT+CREG=2", {}, "OK"},
         {"AT+CGREG=1", {}, "OK"},
         {"AT+CREG?", {"+CREG: 2,0"}, "OK"}});
    // Entering the PIN registers the card; the reports follow the OK.
    EXPECT_EQ(finalOf("AT+CPIN=\"1234\""), "OK");
    EXPECT_EQ(m_client.readLine(1s), "+CREG: 1,\"2C1A\",\"01A2B3C4\",2");
    EXPECT_EQ(m_client.readLine(1s), "+CGREG: 1");

    struct Change {
        Coverage coverage;
        std::vector<std::string> reports;
        std::string creg;
        std::string cops;
        std::string csq;
    };
    const std::vector<Change> changes = {
        {Coverage::Roaming,
         {"+CREG: 5,\"1F03\",\"00C0FFEE\",2", "+CGREG: 5"},
         "+CREG: 2,5,\"1F03\",\"00C0FFEE\",2",
         "+COPS: 0,0,\"Celeste Movil\",2",
         "+CSQ: 20,99"},
        {Coverage::None, {"+CREG: 2", "+CGREG: 2"}, "+CREG: 2,2", "+COPS: 0", "+CSQ: 99,99"},
        {Coverage::Limited, {"+CREG: 3", "+CGREG: 3"}, "+CREG: 2,3", "+COPS: 0", "+CSQ: 20,99"},
        {Coverage::Home,
         {"+CREG: 1,\"2C1A\",\"01A2B3C4\",2", "+CGREG: 1"},
         "+CREG: 2,1,\"2C1A\",\"01A2B3C4\",2",
         "+COPS: 0,0,\"Brisa\",2",
         "+CSQ: 20,99"},
    };
    for (const Change &change : changes) {
        SCOPED_TRACE(change.creg);
        m_card->setNetwork(change.coverage);
        for (const std::string &report : change.reports)
            EXPECT_EQ(m_client.readLine(1s), report);
        run({{"AT+CREG?", {change.creg}, "OK"},
             {"AT+COPS?", {change.cops}, "OK"},
             {"AT+CSQ", {change.csq}, "OK"}});
    }

    // Neither the same network again nor the signal is a registration change.
    m_card->setNetwork(Coverage::Home);
    m_card->setSignal(3);
    EXPECT_EQ(m_client.readLine(200ms), std::nullopt);
    // The radio going off is.
    run({{"AT+CFUN=4", {}, "OK"}});
    EXPECT_EQ(m_client.readLine(1s), "+CREG: 0");
    EXPECT_EQ(m_client.readLine(1s), "+CGREG: 0");
    run({{"AT+CFUN?", {"+CFUN: 4"}, "OK"}, {"AT+CSQ", {"+CSQ: 99,99"}, "OK"}});
}

TEST_F(VirtualModemTest, RemovedCardHangsUpAndReturnsAtTheSameLink)
{
    startCard();
    EXPECT_EQ(finalOf("AT"), "OK");
    ASSERT_TRUE(m_card->removeCard());
    EXPECT_TRUE(m_client.waitForHangUp(2s));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(m_link)));
    EXPECT_EQ(m_card->devicePath(), "");
    EXPECT_FALSE(m_card->removeCard());

    ASSERT_TRUE(m_card->insertCard());
    EXPECT_EQ(m_card->devicePath(), m_link);
    AtClient again;
    ASSERT_TRUE(again.open(m_link));
    const Answer answer = again.command("AT+CPIN?");
    EXPECT_TRUE(answer.echoed);  // a fresh power-up: echo is on again
    EXPECT_EQ(answer.lines, std::vector<std::string>{"+CPIN: SIM PIN"});
    EXPECT_FALSE(m_card->insertCard());
}

TEST_F(VirtualModemTest, StaleLinkIsReplacedButOtherFilesAreKept)
{
    std::filesystem::create_symlink("/nonexistent", m_link);
    startCard();
    EXPECT_EQ(finalOf("AT"), "OK");
    m_card.reset();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(m_link)));

    const std::string file = (m_folder / "file").string();
    {
        std::ofstream(file) << "keep";
    }
    VirtualModem card;
    EXPECT_FALSE(card.start(file));
    EXPECT_NE(card.lastError().find("not a symbolic link"), std::string::npos);
    std::string content;
    std::ifstream(file) >> content;
    EXPECT_EQ(content, "keep");
}

TEST_F(VirtualModemTest, MessageStorageAnswersOnlyAMomentAfterThePin)
{
    startCard();
    run({{"ATE0", {}, "OK"},
         {"AT+CPMS?", {}, "+CMS ERROR: 311"},
         {"AT+CPIN=\"1234\"", {}, "OK"},
         {"AT+CPMS?", {}, "+CMS ERROR: 314"}});
    // Busy for a moment, then it answers; never busy again.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    Answer answer = m_client.command("AT+CPMS?");
    while (answer.final != "OK" && std::chrono::steady_clock::now() < deadline) {
        EXPECT_EQ(answer.final, "+CMS ERROR: 314");
        std::this_thread::sleep_for(10ms);
        answer = m_client.command("AT+CPMS?");
    }
    run({{"AT+CPMS?", {"+CPMS: \"SM\",0,20,\"SM\",0,20,\"SM\",0,20"}, "OK"},
         {"AT+CPMS=\"ME\",\"ME\"", {"+CPMS: 0,100,0,100,0,20"}, "OK"},
         {"AT+CPMS=\"XX\"", {}, "+CMS ERROR: 321"}});

    m_card->removeSim();
    run({{"AT+CPMS?", {}, "+CMS ERROR: 310"}, {"AT+CPIN?", {}, "ERROR"}});
}

TEST_F(VirtualModemTest, QuirksMisbehaveAsAsked)
{
    startCard();
    EXPECT_EQ(finalOf("ATE0"), "OK");

    m_card->setGarbage(true);
    Answer answer = m_client.command("AT+CSQ");
    ASSERT_EQ(answer.lines.size(), 2u);
    EXPECT_EQ(answer.lines[1], "+CSQ: 20,99");
    EXPECT_EQ(answer.final, "OK");
    m_card->setGarbage(false);

    m_card->setMissingCommands({"+cpms", "+CMEE"});
    run({{"AT+CMEE=1", {}, "ERROR"}, {"AT+CPMS?", {}, "ERROR"}, {"AT+CSQ", {"+CSQ: 20,99"}, "OK"}});
    m_card->setMissingCommands({});

    m_card->setSlowAnswers(300ms);
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_EQ(finalOf("AT"), "OK");
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 300ms);
    m_card->setSlowAnswers(0ms);

    m_card->setSilent(true);
    EXPECT_EQ(m_client.command("AT", 300ms).final, "");
    m_card->setSilent(false);
    EXPECT_EQ(finalOf("AT"), "OK");
}

// A line to the control socket and its one-line answer.
std::string controlLine(const std::string &path, const std::string &line)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return "(cannot connect)";
    }
    const std::string request = line + "\n";
    if (::write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size()))
        return "(cannot send)";
    std::string answer;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        answer.push_back(c);
    ::close(fd);
    return answer;
}

TEST_F(VirtualModemTest, ControlSocketDrivesTheCard)
{
    CardOptions options = fastOptions();
    options.pinRequired = false;
    startCard(options);
    ControlSocket control(*m_card);
    const std::string socketPath = (m_folder / "control").string();
    std::string error;
    ASSERT_TRUE(control.start(socketPath, error)) << error;
    EXPECT_EQ(finalOf("ATE0"), "OK");

    struct Case {
        std::string control;
        std::string answer;
        std::string command;  // what shows the effect, empty when nothing does
        std::vector<std::string> lines;
        std::string final;
    };
    const std::vector<Case> cases = {
        {"signal 7", "OK", "AT+CSQ", {"+CSQ: 7,99"}, "OK"},
        {"signal 32", "ERROR signal must be 0-31 or 99", "AT+CSQ", {"+CSQ: 7,99"}, "OK"},
        {"signal", "ERROR usage: signal <0-31|99>", "", {}, ""},
        {"network none", "OK", "AT+CSQ", {"+CSQ: 99,99"}, "OK"},
        {"network roaming", "OK", "AT+CREG?", {"+CREG: 0,5"}, "OK"},
        {"network moon", "ERROR unknown network 'moon'", "AT+CREG?", {"+CREG: 0,5"}, "OK"},
        {"sim remove", "OK", "AT+CPIN?", {}, "ERROR"},
        {"pin-required on", "OK", "", {}, ""},
        {"sim insert", "OK", "AT+CPIN?", {"+CPIN: SIM PIN"}, "OK"},
        {"pin-required maybe", "ERROR usage: pin-required on|off", "", {}, ""},
        {"quirk missing +CSQ,+CPIN", "OK", "AT+CPIN?", {}, "ERROR"},
        {"quirk missing off", "OK", "AT+CSQ", {"+CSQ: 7,99"}, "OK"},
        {"quirk teleport on", "ERROR unknown quirk 'teleport'", "", {}, ""},
        {"quirk silent on", "OK", "AT", {}, ""},
        {"quirk silent off", "OK", "AT", {}, "OK"},
        {"dance", "ERROR unknown command 'dance'", "", {}, ""},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.control);
        EXPECT_EQ(controlLine(socketPath, step.control), step.answer);
        if (step.command.empty())
            continue;
        const Answer answer = m_client.command(step.command, step.final.empty() ? 300ms : 3s);
        EXPECT_EQ(answer.lines, step.lines);
        EXPECT_EQ(answer.final, step.final);
    }

    EXPECT_EQ(controlLine(socketPath, "card remove"), "OK");
    EXPECT_TRUE(m_client.waitForHangUp(2s));
    EXPECT_EQ(controlLine(socketPath, "card remove"), "ERROR the card is not inserted");
    EXPECT_EQ(controlLine(socketPath, "card insert"), "OK");
    EXPECT_EQ(controlLine(socketPath, "card insert"), "ERROR the card is already inserted");
    ASSERT_TRUE(m_client.open(m_link));
    EXPECT_EQ(finalOf("AT"), "OK");

    // A second server on the same socket is refused while the first one lives.
    ControlSocket second(*m_card);
    EXPECT_FALSE(second.start(socketPath, error));
    EXPECT_NE(error.find("already listens"), std::string::npos);
}

}  // namespace
}  // namespace virtualmodem::testing
