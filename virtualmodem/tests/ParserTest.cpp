// Command lines as terminals write them, split the way a V.250 modem reads them.
#include "virtualmodem/Charset.h"
#include "virtualmodem/CommandParser.h"

#include <gtest/gtest.h>

namespace virtualmodem {
namespace {

std::string describe(const std::vector<AtCommand> &commands)
{
    std::string out;
    for (const AtCommand &command : commands) {
        if (!out.empty())
            out += " | ";
        out += command.name;
        switch (command.kind) {
        case AtKind::Execute: break;
        case AtKind::Set: out += "="; break;
        case AtKind::Read: out += "?"; break;
        case AtKind::Test: out += "=?"; break;
        }
        if (command.registerNumber >= 0)
            out += "#" + std::to_string(command.registerNumber);
        if (!command.argument.empty())
            out += "[" + command.argument + "]";
    }
    return out;
}

TEST(VirtualModemParserTest, SplitsLinesLikeAModem)
{
    struct Case {
        std::string body;
        std::string commands;  // "!" when the line cannot be read
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"E0", "E[0]"},
        {"e0v1&fq0", "E[0] | V[1] | &F | Q[0]"},
        {"Z", "Z"},
        {"I3", "I[3]"},
        {"+CSQ", "+CSQ"},
        {"+creg?", "+CREG?"},
        {"+CREG=?", "+CREG=?"},
        {"+CMEE=1;+CREG=2", "+CMEE=[1] | +CREG=[2]"},
        {"+COPS=3,0;+COPS?", "+COPS=[3,0] | +COPS?"},
        {"E0+CMEE=1", "E[0] | +CMEE=[1]"},
        {"+CPIN=\"1234\"", "+CPIN=[\"1234\"]"},
        {"+CUSD=1,\"*100#;x\",15", "+CUSD=[1,\"*100#;x\",15]"},
        {"+CPIN = \"12 34\" ", "+CPIN=[\"12 34\"]"},
        {"+CGDCONT=1, \"IP\", \"apn\"", "+CGDCONT=[1,\"IP\",\"apn\"]"},
        {"S0=1", "S=#0[1]"},
        {"S7?", "S?#7"},
        {"D*99#", "D[*99#]"},
        {"D+5491112345678;", "D[+5491112345678;]"},
        {"E0D123;", "E[0] | D[123;]"},
        {"$TSSPCSW=?", "$TSSPCSW=?"},
        {"+CPIN=\"1234", "!"},
        {"+", "!"},
        {"&", "!"},
        {"S", "!"},
        {"+CSQ X", "!"},
        {"?", "!"},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.body);
        const auto commands = splitCommandLine(step.body);
        EXPECT_EQ(commands ? describe(*commands) : "!", step.commands);
    }
}

TEST(VirtualModemParserTest, ReadsArgumentsWithEmptyAndQuotedValues)
{
    struct Case {
        std::string argument;
        std::string values;  // each value in brackets, quoted ones with quotes; "!" when unreadable
    };
    const std::vector<Case> cases = {
        {"", ""},           {"1", "[1]"},    {"1,\"SM\",,3", "[1][\"SM\"][][3]"},
        {"1,", "[1][]"},    {",", "[][]"},   {"\"a,b\",2", "[\"a,b\"][2]"},
        {"\"\"", "[\"\"]"}, {"\"open", "!"}, {"\"a\"b", "!"},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.argument);
        const auto values = parseArguments(step.argument);
        std::string described = "!";
        if (values) {
            described.clear();
            for (const AtValue &value : *values) {
                described += value.quoted ? "[\"" + value.text + "\"]" : "[" + value.text + "]";
            }
        }
        EXPECT_EQ(described, step.values);
    }
    const auto values = parseArguments("5,\"7\",,300,x");
    ASSERT_TRUE(values);
    EXPECT_EQ(numberArgument(*values, 0, 0, 9), 5);
    EXPECT_FALSE(numberArgument(*values, 1, 0, 9));  // quoted
    EXPECT_FALSE(numberArgument(*values, 2, 0, 9));  // empty
    EXPECT_FALSE(numberArgument(*values, 3, 0, 255));
    EXPECT_FALSE(numberArgument(*values, 4, 0, 9));
    EXPECT_FALSE(numberArgument(*values, 5, 0, 9));
}

TEST(VirtualModemCharsetTest, TextCrossesEveryTerminalCharacterSet)
{
    struct Case {
        std::string utf8;
        Charset charset;
        std::string terminal;
    };
    const std::vector<Case> cases = {
        {"Brisa", Charset::Ira, "Brisa"},
        {"Año", Charset::Ira, "A?o"},
        {"Brisa", Charset::Ucs2, "00420072006900730061"},
        {"Año €", Charset::Ucs2, "004100F1006F002020AC"},
        {"@£ñ", Charset::Gsm, std::string("\x00\x01\x7D", 3)},
        {"[€]", Charset::Gsm, "\x1B\x3C\x1B\x65\x1B\x3E"},
        {"日", Charset::Gsm, "?"},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(step.utf8);
        EXPECT_EQ(encodeForTerminal(step.utf8, step.charset), step.terminal);
        if (step.terminal.find('?') == std::string::npos) {
            EXPECT_EQ(decodeFromTerminal(step.terminal, step.charset), step.utf8);
        }
    }
    EXPECT_FALSE(decodeFromTerminal("0042007", Charset::Ucs2));
    EXPECT_FALSE(decodeFromTerminal("D800", Charset::Ucs2));
    EXPECT_FALSE(utf8ToGsm("日本"));
    EXPECT_FALSE(charsetFromName("8859-1"));
}

}  // namespace
}  // namespace virtualmodem
