// The AT dialogue: what is an answer, an echo, an unsolicited code or a prompt, however the
// bytes are cut.
#include "AtLine.h"
#include "Status.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

AtDialogue::Output feedAll(AtDialogue &dialogue, std::string_view bytes, size_t chunk = 0)
{
    AtDialogue::Output all;
    size_t step = chunk ? chunk : bytes.size();
    for (size_t i = 0; i < bytes.size(); i += step) {
        AtDialogue::Output part;
        dialogue.feed(bytes.data() + i, std::min(step, bytes.size() - i), part);
        for (auto &code : part.unsolicited)
            all.unsolicited.push_back(code);
        if (part.answer)
            all.answer = part.answer;
        all.prompt = all.prompt || part.prompt;
    }
    return all;
}

TEST(AtDialogue, FinalResultsAndTheirStatus)
{
    struct Case {
        const char *line;
        bool final;
        uint16_t status;
    };
    const Case cases[] = {
        {"OK", true, 0},
        {"ERROR", true, kStatusError},
        {"+CME ERROR: 16", true, kStatusWrongPassword},
        {"+CME ERROR: 12", true, kStatusSimBlocked},
        {"+CME ERROR: 10", true, kStatusNoSim},
        {"+CME ERROR: 13", true, kStatusNoSim},
        {"+CME ERROR: 30", true, 10030},
        {"+CME ERROR: incorrect password", true, kStatusWrongPassword},
        {"+CME ERROR: SIM PUK required", true, kStatusSimBlocked},
        {"+CME ERROR: something new", true, kStatusError},
        {"+CMS ERROR: 500", true, 20500},
        {"CONNECT", true, 0},
        {"CONNECT 7200000", true, 0},
        {"NO CARRIER", true, kStatusError},
        {"BUSY", true, kStatusError},
        {"NO ANSWER", true, kStatusError},
        // Refusals worded by the firmware itself end the answer too.
        {"COMMAND NOT SUPPORT", true, kStatusError},
        {"TOO MANY PARAMETERS", true, kStatusError},
        {"OKAY", false, 0},
        {"+CREG: 1", false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        auto result = parseFinalResult(c.line);
        ASSERT_EQ(result.has_value(), c.final);
        if (c.final) {
            EXPECT_EQ(statusOf(*result), c.status);
        }
    }
}

TEST(AtDialogue, NumericResultCodesOfACardInV0EndTheAnswer)
{
    struct Case {
        const char *stream;
        bool answered;
        FinalKind kind;
        size_t lines;
    };
    const Case cases[] = {
        {"+CSQ: 18,99\r\n0\r", true, FinalKind::Ok, 1},
        {"4\r", true, FinalKind::Error, 0},
        {"+CME ERROR: 16\r\n", true, FinalKind::CmeError, 0},
        {"356938035643809\r\n0\r", true, FinalKind::Ok, 1},
        {"+CSQ: 18,99\r\n", false, FinalKind::Ok, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stream);
        AtDialogue dialogue;
        dialogue.beginCommand("AT+CSQ");
        auto out = feedAll(dialogue, c.stream);
        ASSERT_EQ(out.answer.has_value(), c.answered);
        if (!c.answered)
            continue;
        EXPECT_EQ(out.answer->final.kind, c.kind);
        EXPECT_EQ(out.answer->lines.size(), c.lines);
    }
    // With no command waiting a digit is no result of anything.
    AtDialogue idle;
    auto out = feedAll(idle, "0\r\n");
    EXPECT_FALSE(out.answer);
}

TEST(AtDialogue, ResponsePrefixOfCommands)
{
    EXPECT_EQ(responsePrefixOf("AT+CREG?"), "+CREG:");
    EXPECT_EQ(responsePrefixOf("AT+COPS=3,0;+COPS?"), "+COPS:");
    EXPECT_EQ(responsePrefixOf("at+cpin?"), "+CPIN:");
    EXPECT_EQ(responsePrefixOf("AT+CLCK=\"SC\",2"), "+CLCK:");
    EXPECT_EQ(responsePrefixOf("ATE0"), "");
    EXPECT_EQ(responsePrefixOf("AT"), "");
}

TEST(AtDialogue, AnswerWithEchoAndUnsolicitedCodesInBetween)
{
    const std::string stream =
        "AT+CREG?\r\r\n+CREG: 2,1,\"1F3A\",\"00C8D2B4\",2\r\n\r\nRING\r\n\r\n+CMTI: "
        "\"SM\",3\r\n\r\nOK\r\n";
    // Every way of cutting the bytes gives the same result.
    for (size_t chunk : {size_t(0), size_t(1), size_t(3), size_t(7)}) {
        SCOPED_TRACE(chunk);
        AtDialogue dialogue;
        dialogue.beginCommand("AT+CREG?");
        auto out = feedAll(dialogue, stream, chunk);
        ASSERT_TRUE(out.answer);
        EXPECT_EQ(out.answer->final.kind, FinalKind::Ok);
        ASSERT_EQ(out.answer->lines.size(), 1u);
        EXPECT_EQ(out.answer->lines[0], "+CREG: 2,1,\"1F3A\",\"00C8D2B4\",2");
        ASSERT_EQ(out.unsolicited.size(), 2u);
        EXPECT_EQ(out.unsolicited[0].line, "RING");
        EXPECT_EQ(out.unsolicited[1].line, "+CMTI: \"SM\",3");
        EXPECT_FALSE(dialogue.commandPending());
    }
}

TEST(AtDialogue, RegistrationCodeDuringAnotherCommandIsUnsolicited)
{
    AtDialogue dialogue;
    dialogue.beginCommand("AT+CGSN");
    auto out =
        feedAll(dialogue, "\r\n+CREG: 5,\"00AF\",\"0001E3F6\"\r\n356938035643809\r\n\r\nOK\r\n");
    ASSERT_TRUE(out.answer);
    ASSERT_EQ(out.answer->lines.size(), 1u);
    EXPECT_EQ(out.answer->lines[0], "356938035643809");
    ASSERT_EQ(out.unsolicited.size(), 1u);
    EXPECT_EQ(out.unsolicited[0].line, "+CREG: 5,\"00AF\",\"0001E3F6\"");
}

TEST(AtDialogue, TwoLineMessageCodesCarryTheirPdu)
{
    AtDialogue dialogue;
    auto out = feedAll(
        dialogue,
        "\r\n+CMT: "
        ",24\r\n07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07\r\n"
        "\r\n+CDS: 25\r\n0791...\r\n");
    ASSERT_EQ(out.unsolicited.size(), 2u);
    EXPECT_EQ(out.unsolicited[0].line, "+CMT: ,24");
    EXPECT_EQ(out.unsolicited[0].pdu.substr(0, 8), "07911326");
    EXPECT_EQ(out.unsolicited[1].pdu, "0791...");
}

TEST(AtDialogue, PromptForThePdu)
{
    AtDialogue dialogue;
    dialogue.beginCommand("AT+CMGS=23", true);
    auto prompt = feedAll(dialogue, "\r\n> ");
    EXPECT_TRUE(prompt.prompt);
    EXPECT_FALSE(prompt.answer);
    auto done = feedAll(dialogue, "\r\n+CMGS: 12\r\n\r\nOK\r\n");
    ASSERT_TRUE(done.answer);
    EXPECT_EQ(done.answer->lines.at(0), "+CMGS: 12");
}

TEST(AtDialogue, LateAnswerOfAnAbandonedCommandIsDropped)
{
    AtDialogue dialogue;
    dialogue.beginCommand("AT+COPS=?");
    dialogue.abandonCommand();
    EXPECT_TRUE(dialogue.stale());
    auto late = feedAll(dialogue, "\r\n+COPS: (2,\"A\",\"A\",\"00101\",2)\r\n\r\nOK\r\n");
    EXPECT_FALSE(late.answer);
    EXPECT_TRUE(late.unsolicited.empty());
    EXPECT_FALSE(dialogue.stale());
    dialogue.beginCommand("AT");
    auto next = feedAll(dialogue, "\r\nERROR\r\n");
    ASSERT_TRUE(next.answer);
    EXPECT_EQ(next.answer->final.kind, FinalKind::Error);
}

TEST(AtDialogue, GarbageAndEndlessLinesStayBounded)
{
    AtDialogue dialogue;
    dialogue.beginCommand("AT");
    std::string noise(AtDialogue::kMaxLineLength * 3, '\x7f');
    noise += std::string("\0\0\xff\xfe", 4);
    auto out = feedAll(dialogue, noise + "\r\nOK\r\n");
    ASSERT_TRUE(out.answer);
    EXPECT_EQ(out.answer->final.kind, FinalKind::Ok);
    for (const auto &line : out.answer->lines)
        EXPECT_LE(line.size(), AtDialogue::kMaxLineLength);
}

TEST(AtDialogue, NoCarrierWithoutACommandIsNews)
{
    AtDialogue dialogue;
    auto out = feedAll(dialogue, "\r\nNO CARRIER\r\n\r\nOK\r\n");
    ASSERT_EQ(out.unsolicited.size(), 1u);
    EXPECT_EQ(out.unsolicited[0].line, "NO CARRIER");
}

// The far end hangs up just as the engine asks something else: the call's end is news, and
// the question still gets its own answer. Only a call command ends with these codes.
TEST(AtDialogue, CallEndCodesEndOnlyCallCommands)
{
    struct Case {
        const char *command;
        const char *bytes;
        bool news;
    };
    const Case cases[] = {
        {"AT+CLCC", "\r\nNO CARRIER\r\n\r\nOK\r\n", true},
        {"AT+CHUP", "\r\nNO CARRIER\r\n\r\nOK\r\n", true},
        {"AT+CSQ", "\r\nBUSY\r\n\r\n+CSQ: 20,99\r\n\r\nOK\r\n", true},
        {"AT+VTS=1", "\r\nNO ANSWER\r\n\r\nOK\r\n", true},
        {"ATE0V0", "3\r0\r", true},
        {"ATD5550100;", "\r\nNO CARRIER\r\n", false},
        {"atd5550100;", "\r\nBUSY\r\n", false},
        {"ATA", "\r\nNO CARRIER\r\n", false},
        {"ATH", "\r\nNO CARRIER\r\n", false},
        {"AT+CHLD=2", "\r\nNO CARRIER\r\n", false},
        {"ATD*99#", "\r\nNO CARRIER\r\n", false},
        {"AT+CGDATA=\"PPP\",1", "\r\nNO CARRIER\r\n", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        AtDialogue dialogue;
        dialogue.beginCommand(c.command);
        auto out = feedAll(dialogue, c.bytes);
        ASSERT_TRUE(out.answer);
        if (c.news) {
            ASSERT_EQ(out.unsolicited.size(), 1u);
            EXPECT_EQ(out.answer->final.kind, FinalKind::Ok);
        } else {
            EXPECT_TRUE(out.unsolicited.empty());
            EXPECT_NE(out.answer->final.kind, FinalKind::Ok);
        }
    }
}

TEST(AtDialogue, FieldsWithQuotesAndGroups)
{
    auto fields = splitFields(" 2,\"a,b\" , (1,2),  x ");
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].text, "2");
    EXPECT_EQ(fields[1].text, "a,b");
    EXPECT_TRUE(fields[1].quoted);
    EXPECT_EQ(fields[2].text, "(1,2)");
    EXPECT_EQ(fields[3].text, "x");
    EXPECT_TRUE(splitFields("").empty());
    EXPECT_EQ(splitFields(",").size(), 2u);
}

}  // namespace

TEST(AtDialogue, AUssdReplyOverSeveralLinesIsOneCode)
{
    struct Case {
        const char *what;
        bool commandPending;
        std::string bytes;
        std::vector<std::string> unsolicited;
        std::vector<std::string> answerLines;
    };
    const Case cases[] = {
        {"between commands", false,
         "\r\n+CUSD: 1,\"1 Balance\r\n2 Tariffs\r\n3 Internet\",15\r\n",
         {"+CUSD: 1,\"1 Balance\n2 Tariffs\n3 Internet\",15"},
         {}},
        {"inside the answer to the request", true,
         "\r\n+CUSD: 0,\"Saldo\r\n5 EUR\",15\r\n\r\nOK\r\n", {}, {"+CUSD: 0,\"Saldo\n5 EUR\",15"}},
        {"a quote never closed ends at the result code", true,
         "\r\n+CUSD: 0,\"Saldo\r\nOK\r\n", {}, {"+CUSD: 0,\"Saldo"}},
        {"a quote never closed ends at a report", false,
         "\r\n+CUSD: 0,\"Saldo\r\n+CREG: 1\r\n", {"+CUSD: 0,\"Saldo", "+CREG: 1"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t chunk : {size_t(0), size_t(3)}) {
            AtDialogue dialogue;
            if (c.commandPending)
                dialogue.beginCommand("AT+CUSD=1,\"*100#\",15");
            const auto out = feedAll(dialogue, c.bytes, chunk);
            std::vector<std::string> codes;
            for (const auto &code : out.unsolicited)
                codes.push_back(code.line);
            EXPECT_EQ(codes, c.unsolicited);
            EXPECT_EQ(out.answer.has_value(), c.commandPending);
            if (out.answer) {
                EXPECT_EQ(out.answer->lines, c.answerLines);
            }
        }
    }
}
