// What the engine answers without asking the card: known facts until a command, the SIM or the
// card changes them.
#include "StableAnswers.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

AtResponse ok(std::vector<std::string> lines = {})
{
    AtResponse response;
    response.lines = std::move(lines);
    return response;
}

AtResponse failed(uint16_t status)
{
    AtResponse response;
    response.status = status;
    return response;
}

TEST(StableAnswers, KnownUntilACommandOrTheSimChangesIt)
{
    const AtResponse imsi = ok({"722310123456789"});
    const AtResponse range = ok({"+CPBR: (1-250),20,14"});
    struct Step {
        const char *command;
        AtResponse answer;  // what the card answered; unused when it is not asked
        bool known;         // answered without the card
    };
    const Step steps[] = {
        {"AT+CIMI", failed(10011), false},  // PIN required: nothing learnt
        {"AT+CIMI", imsi, false},
        {"AT+CIMI", {}, true},
        {"AT+CPBR=?", range, false},  // the selected book is not known yet
        {"AT+CPBS=\"SM\"", ok(), false},
        {"at+cpbs=\"sm\"", {}, true},
        {"AT+CPBR=?", range, false},
        {"AT+CPBR=?", {}, true},
        {"AT+CPBS=\"ME\"", ok(), false},
        {"AT+CPBR=?", ok({"+CPBR: (1-200),40,20"}), false},
        {"AT+CPBS=\"SM\"", ok(), false},
        {"AT+CPBR=?", {}, true},
        {"AT+CFUN=4", ok(), false},  // the radio switched: the selection may be reset
        {"AT+CPBS=\"SM\"", ok(), false},
        {"AT+CPBS=\"ME\";+CPBR=?", ok(), false},
        {"AT+CPBS=\"SM\"", failed(7002), false},
        {"AT+CPBS=\"SM\"", ok(), false},
        {"AT+CIMI", {}, true},
        {"AT+CPIN?", ok({"+CPIN: SIM PIN"}), false},  // another SIM, perhaps
        {"AT+CIMI", imsi, false},
        {"AT+CSQ", failed(7307), false},  // no SIM
        {"AT+CIMI", imsi, false},
    };
    StableAnswers answers;
    for (const Step &step : steps) {
        SCOPED_TRACE(step.command);
        auto known = answers.answerFor(step.command);
        EXPECT_EQ(known.has_value(), step.known);
        if (!known)
            answers.noteAnswer(step.command, step.answer);
    }
    EXPECT_EQ(answers.answerFor("AT+CIMI")->lines, imsi.lines);
    answers.forget();
    EXPECT_FALSE(answers.answerFor("AT+CIMI"));

    EXPECT_FALSE(answers.messageCapacity("SM"));
    answers.noteAnswer("AT+CPMS?", ok({"+CPMS: \"SM\",3,20,\"SM\",3,20,\"SM\",3,20"}));
    answers.noteAnswer("AT+CPMS=\"ME\"", ok({"+CPMS: 0,100,3,20,3,20"}));
    EXPECT_EQ(answers.messageCapacity("SM"), 20);
    EXPECT_EQ(answers.messageCapacity("ME"), 100);
}

}  // namespace
