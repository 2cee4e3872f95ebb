// What a profile turns into for pppd and chat. A hostile profile (quotes, blanks, newlines, ';',
// '$(...)', 200 characters) must give files that pppd reads as data: each field one word of
// data, or refused; never an extra option, chat step or shell command. The generated files are
// printed so that a reader of the test log sees them.
#include "platform/ras/PppdFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>
#include <vector>

using namespace ras;

namespace {

// The words of a pppd options file, split as pppd does: blanks separate, '#' starts a comment
// outside quotes, double or single quotes group, a backslash takes the next character.
std::vector<std::vector<std::string>> pppdLines(const std::string &text)
{
    std::vector<std::vector<std::string>> lines(1);
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            word += text[++i];
            inWord = true;
        } else if (quote) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == '#' && !inWord) {
            while (i + 1 < text.size() && text[i + 1] != '\n')
                ++i;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord)
                lines.back().push_back(word);
            word.clear();
            inWord = false;
            if (c == '\n' && !lines.back().empty())
                lines.emplace_back();
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        lines.back().push_back(word);
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

std::string valueOf(const std::vector<std::vector<std::string>> &lines, const std::string &option)
{
    for (const auto &line : lines)
        if (line.size() == 2 && line[0] == option)
            return line[1];
    return "<missing>";
}

PhonebookEntry plainEntry()
{
    PhonebookEntry entry;
    entry.name = "Brisa AR";
    entry.number = "*99#";
    entry.apn = "internet.brisa.example";
    entry.pdpType = "IP";
    return entry;
}

const PppdFileNames kNames{"/dev/ttyUSB0", "/usr/sbin/chat",
                           "/run/user/1000/lumadial-ppp-1-1.chat",
                           "/run/user/1000/lumadial-ppp-1-1.options"};

TEST(PppdFiles, HostileUserNameAndPasswordStayOneWordOfData)
{
    const std::string hostile =
        "x\" \"; $(touch /tmp/owned) `id` 'q' \\ # connect /bin/sh" + std::string(146, 'A');
    ASSERT_GE(hostile.size(), 200u);
    PppdFiles files;
    std::string problem;
    ASSERT_EQ(buildPppdFiles(plainEntry(), {"Brisa AR", "*99#", hostile, hostile + "pw"}, kNames,
                             files, problem),
              kSuccess)
        << problem;
    std::cout << "---- options file ----\n"
              << files.options << "---- chat script ----\n"
              << files.chat << "----\n";

    const auto lines = pppdLines(files.options);
    EXPECT_EQ(valueOf(lines, "user"), hostile);
    EXPECT_EQ(valueOf(lines, "password"), hostile + "pw");
    // Every line is one option (or the port or speed) with at most one argument: nothing the
    // user typed became an option of its own.
    std::vector<std::string> options;
    for (const auto &line : lines) {
        EXPECT_LE(line.size(), 2u) << line[0];
        options.push_back(line[0]);
    }
    const std::vector<std::string> expected{"/dev/ttyUSB0",
                                            "115200",
                                            "nodetach",
                                            "defaultroute",
                                            "noipdefault",
                                            "ipcp-accept-local",
                                            "ipcp-accept-remote",
                                            "usepeerdns",
                                            "novj",
                                            "nobsdcomp",
                                            "nodeflate",
                                            "refuse-chap",
                                            "refuse-mschap",
                                            "refuse-mschap-v2",
                                            "refuse-eap",
                                            "user",
                                            "password",
                                            "connect"};
    EXPECT_EQ(options, expected);
    EXPECT_EQ(files.chat.find("owned"), std::string::npos);
}

TEST(PppdFiles, FieldsWithoutASafeFormAreRefused)
{
    struct Case {
        const char *field;
        PhonebookEntry entry;
        DialParams params;
    };
    auto entry = plainEntry();
    auto withApn = [&](const char *apn) {
        auto changed = entry;
        changed.apn = apn;
        return changed;
    };
    auto withAddress = [&](const char *address) {
        auto changed = entry;
        changed.specificIpAddress = true;
        changed.ipAddress = address;
        return changed;
    };
    const DialParams plain{"Brisa AR", "*99#", "user", "secret"};
    const std::vector<Case> cases{
        {"user name", entry, {"Brisa AR", "*99#", "user\nconnect /bin/sh", "x"}},
        {"password", entry, {"Brisa AR", "*99#", "u", "pw\rdebug"}},
        {"password", entry, {"Brisa AR", "*99#", "u", std::string(256, 'p')}},
        {"dial number", entry, {"Brisa AR", "*99#;ATH", "u", "p"}},
        {"dial number", entry, {"Brisa AR", "*99# $(reboot)", "u", "p"}},
        {"APN", withApn("internet\"\nOK 'AT+CFUN=0'"), plain},
        {"APN", withApn("inter net"), plain},
        {"APN", withApn("$(id).example"), plain},
        {"APN", withApn(std::string(101, 'a').c_str()), plain},
        {"PDP address", withAddress("10.0.0.1 debug"), plain},
        {"PDP address", withAddress("10.0.0.256"), plain},
    };
    for (const Case &test : cases) {
        PppdFiles files;
        std::string problem;
        EXPECT_EQ(buildPppdFiles(test.entry, test.params, kNames, files, problem),
                  kInvalidParameter)
            << test.field;
        EXPECT_EQ(problem, test.field);
        EXPECT_TRUE(files.options.empty());
    }
}

TEST(PppdFiles, ChatScriptSetsTheApnThenDials)
{
    auto entry = plainEntry();
    entry.requireChap = true;
    entry.specificIpAddress = true;
    entry.ipAddress = "10.1.2.3";
    entry.specificNameServers = true;
    PppdFiles files;
    std::string problem;
    ASSERT_EQ(buildPppdFiles(entry, {"Brisa AR", "", "", ""}, kNames, files, problem), kSuccess);
    EXPECT_NE(files.chat.find("OK 'AT+CGDCONT=1,\"IP\",\"internet.brisa.example\"'\nOK 'ATD*99#'"),
              std::string::npos)
        << files.chat;
    // ABORT order fixes chat's exit codes, which the progress reader relies on.
    EXPECT_EQ(files.chat.rfind("ABORT 'NO CARRIER'\nABORT 'ERROR'\nABORT 'BUSY'", 0), 0u);
    const auto lines = pppdLines(files.options);
    EXPECT_EQ(valueOf(lines, "user"), "");
    bool address = false, peerDns = false, refusePap = false;
    for (const auto &line : lines) {
        address = address || line[0] == "10.1.2.3:";
        peerDns = peerDns || line[0] == "usepeerdns";
        refusePap = refusePap || line[0] == "refuse-pap";
    }
    EXPECT_TRUE(address);
    EXPECT_FALSE(peerDns);
    EXPECT_TRUE(refusePap);
}

TEST(PppdFiles, NumbersAndApnsAProfileMayHoldAreDialled)
{
    struct Case {
        const char *number;
        const char *apn;
        const char *chat;  // the two chat steps that set the APN and dial
    };
    const std::vector<Case> cases{
        {"*99***1#", "internet", "'AT+CGDCONT=1,\"IP\",\"internet\"'\nOK 'ATD*99***1#'"},
        {"*99# ", "internet.example   ",
         "'AT+CGDCONT=1,\"IP\",\"internet.example\"'\nOK 'ATD*99#'"},
        {" #777", "\"web.example\"", "'AT+CGDCONT=1,\"IP\",\"web.example\"'\nOK 'ATD#777'"},
        {"+49 (176) 123-45.6", "a-b.c", "'AT+CGDCONT=1,\"IP\",\"a-b.c\"'\nOK 'ATD+49176123456'"},
        {"*99#W,", "x", "'AT+CGDCONT=1,\"IP\",\"x\"'\nOK 'ATD*99#W,'"},
    };
    for (const Case &test : cases) {
        auto entry = plainEntry();
        entry.number = test.number;
        entry.apn = test.apn;
        PppdFiles files;
        std::string problem;
        ASSERT_EQ(buildPppdFiles(entry, {"Brisa AR", "", "", ""}, kNames, files, problem),
                  kSuccess)
            << test.number << " / " << test.apn << ": " << problem;
        EXPECT_NE(files.chat.find(test.chat), std::string::npos) << files.chat;
    }
}

TEST(PppdFiles, FixedNameServersReachTheResolverOfTheLink)
{
    auto entry = plainEntry();
    entry.specificNameServers = true;
    entry.primaryDns = {8, 8, 8, 8};
    entry.secondaryDns = {192, 168, 0, 53};
    PppdFiles files;
    std::string problem;
    ASSERT_EQ(buildPppdFiles(entry, {"Brisa AR", "", "", ""}, kNames, files, problem), kSuccess);
    const auto lines = pppdLines(files.options);
    for (const auto &line : lines)
        EXPECT_NE(line[0], "usepeerdns");  // the network's servers would replace them
    const std::string parameter = valueOf(lines, "ipparam");

    // pppd's ip-up runs the hook with the parameter; here resolvectl is a stand-in that logs.
    QTemporaryDir folder(QDir::homePath() + "/ip-up-XXXXXX");
    ASSERT_TRUE(folder.isValid());
    const QString log = folder.filePath("resolvectl.log");
    const QString resolvectl = folder.filePath("resolvectl");
    {
        QFile script(resolvectl);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n[ \"$1\" = status ] || echo \"$*\" >> \"$LOG\"\n");
    }
    QFile::setPermissions(resolvectl, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QProcess hook;
    QProcessEnvironment environment;
    environment.insert("PATH", folder.path() + ":/usr/bin:/bin");
    environment.insert("LOG", log);
    environment.insert("PPP_IFACE", "ppp0");
    environment.insert("PPP_IPPARAM", QString::fromStdString(parameter));
    hook.setProcessEnvironment(environment);
    hook.start("/bin/sh", {RAS_SOURCE_FOLDER "/lumadial.ip-up"});
    ASSERT_TRUE(hook.waitForFinished(5000));
    EXPECT_EQ(hook.exitCode(), 0) << hook.readAllStandardError().toStdString();
    QFile logged(log);
    ASSERT_TRUE(logged.open(QIODevice::ReadOnly)) << parameter;
    EXPECT_EQ(logged.readAll().toStdString(),
              "dns ppp0 8.8.8.8 192.168.0.53\ndomain ppp0 ~.\ndefault-route ppp0 yes\n");
}

TEST(PppdFiles, ConnectCommandReachesTheShellAsTwoPathsOnly)
{
    // Paths with quotes, blanks and '$(...)': the shell pppd runs must see each as one word.
    const std::string chatProgram = "/opt/it's here/$(id)/chat";
    const std::string chatScript = "/run/user/1000/a \"b\" `c`;d.chat";
    PppdFiles files;
    std::string problem;
    ASSERT_EQ(buildPppdFiles(plainEntry(), {"Brisa AR", "*99#", "u", "p"},
                             {"/dev/ttyUSB0", chatProgram, chatScript, ""}, files, problem),
              kSuccess);
    std::string command = valueOf(pppdLines(files.options), "connect");
    // Let a real shell split it, with printf standing in for chat.
    const std::string program = "exec " + quoteShellWord(chatProgram);
    ASSERT_EQ(command.rfind(program, 0), 0u) << command;
    command.replace(0, program.size(), "printf '%s\\n'");
    QProcess shell;
    shell.start("/bin/sh", {"-c", QString::fromStdString(command)});
    ASSERT_TRUE(shell.waitForFinished(5000));
    EXPECT_EQ(shell.readAllStandardOutput().toStdString(), "-v\n-s\n-f\n" + chatScript + "\n");
}

}  // namespace
