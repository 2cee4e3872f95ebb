#include "PasswordRules.h"

#include "lumacore.h"

#include <gtest/gtest.h>

using namespace pin;

namespace {

using Messages = std::vector<unsigned>;

}  // namespace

TEST(PinPasswordText, OnlyOneToEightAsciiDigits)
{
    struct Case {
        const char16_t *text;
        bool accepted;
    };
    const Case cases[] = {
        {u"", false},
        {u"0", true},
        {u"12345678", true},
        {u"123456789", false},  // one too many
        {u"12a4", false},
        {u"-123", false},  // a sign parses as a number but is no PIN
        {u"+123", false},
        {u" 123", false},
        {u"12\"3", false},                     // would end the quoted AT argument
        {u"\uFF11\uFF12\uFF13\uFF14", false},  // full-width digits
        {u"\u0661\u0662\u0663\u0664", false},  // Arabic-Indic digits
    };
    for (const Case &c : cases)
        EXPECT_EQ(IsPasswordText(QString::fromUtf16(c.text)), c.accepted)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(PinDigitsField, KeepsTheLastGoodTextAndForgetsItWhenEmptied)
{
    DigitsField field;
    struct Step {
        const char *typed;
        const char *held;
        bool reverted;
    };
    const Step steps[] = {
        {"1", "1", false},   {"12", "12", false},   {"12x", "12", true},
        {"12", "12", false}, {"123", "123", false}, {"1x23", "123", true},
        {"", "", false},     {"a", "", true},       {"9", "9", false},
    };
    for (const Step &step : steps) {
        const DigitsField::Change change = field.changed(QString::fromLatin1(step.typed));
        EXPECT_EQ(change.text, QString::fromLatin1(step.held)) << step.typed;
        EXPECT_EQ(change.reverted, step.reverted) << step.typed;
        EXPECT_EQ(field.lastGood(), QString::fromLatin1(step.held)) << step.typed;
    }
}

TEST(PinValidation, ChecksOfEachModeInOrder)
{
    struct Case {
        PasswordMode mode;
        const char *first;
        const char *second;
        Messages messages;
    };
    const Case cases[] = {
        // The current PIN and the start-up PIN: empty, then too short.
        {PasswordMode::CurrentPin, "", "", {1027}},
        {PasswordMode::CurrentPin, "123", "", {1100}},
        {PasswordMode::CurrentPin, "1234", "", {}},
        {PasswordMode::StartupPin, "", "", {1027}},
        {PasswordMode::StartupPin, "1", "", {1100}},
        {PasswordMode::StartupPin, "123", "", {1100}},
        {PasswordMode::StartupPin, "1234", "", {}},
        {PasswordMode::StartupPin, "12345678", "", {}},
        // The PUK has texts of its own.
        {PasswordMode::Puk, "", "", {1028}},
        {PasswordMode::Puk, "123", "", {1101}},
        {PasswordMode::Puk, "12345678", "", {}},
        // A new PIN twice: both empty is one message; one empty also differs.
        {PasswordMode::NewPin, "", "", {1027}},
        {PasswordMode::NewPin, "1234", "", {1027, 1029}},
        {PasswordMode::NewPin, "", "1234", {1027, 1029}},
        {PasswordMode::NewPin, "123", "123", {1100}},
        {PasswordMode::NewPin, "123", "1234", {1100, 1029}},
        {PasswordMode::NewPin, "1234", "4321", {1029}},
        {PasswordMode::NewPin, "1234", "1234", {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(
            ValidatePasswords(c.mode, QString::fromLatin1(c.first), QString::fromLatin1(c.second)),
            c.messages)
            << int(c.mode) << " '" << c.first << "' '" << c.second << "'";
    }
}

TEST(PinOkAndCancelSteps, EmergencyNumbersComeFirst)
{
    struct OkCase {
        bool emergency;
        uint8_t cardState;
        bool settingUp;
        OkStep step;
    };
    const OkCase okCases[] = {
        {true, 8, false, OkStep::DialEmergency}, {true, 8, true, OkStep::DialEmergency},
        {true, 9, false, OkStep::Validate},  // only while the card waits for its PIN
        {true, 9, true, OkStep::CallBeingSetUp}, {false, 8, true, OkStep::CallBeingSetUp},
        {false, 8, false, OkStep::Validate},
    };
    for (const OkCase &c : okCases)
        EXPECT_EQ(ChooseOkStep(c.emergency, c.cardState, c.settingUp), c.step)
            << c.emergency << int(c.cardState);

    EXPECT_EQ(ChooseCancelStep(PasswordMode::StartupPin, true), CancelStep::JustClose);
    EXPECT_EQ(ChooseCancelStep(PasswordMode::Puk, true), CancelStep::JustClose);
    EXPECT_EQ(ChooseCancelStep(PasswordMode::StartupPin, false), CancelStep::PostCancelResult);
    for (const PasswordMode mode :
         {PasswordMode::CurrentPin, PasswordMode::Puk, PasswordMode::NewPin})
        EXPECT_EQ(ChooseCancelStep(mode, false), CancelStep::EndWithCancel) << int(mode);
}

TEST(PinEngineOutcomes, WhatEachAnswerLeadsTo)
{
    struct Case {
        uint16_t status;
        PinOutcome startup;
        PinOutcome puk;
    };
    const Case cases[] = {
        {0, {0, 6}, {0, 6}},
        {MEC_ERR_WRONG_PASSWORD, {1025, 6}, {1026, 6}},
        {MEC_ERR_SIM_BLOCKED, {1034, 6}, {1054, 10}},
        // Another failure: the PIN state is read again rather than leaving state 8 without a
        // dialog.
        {MEC_ERR_TIMEOUT, {3103, 6}, {1026, 6}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(StartupPinOutcome(c.status), c.startup) << c.status;
        EXPECT_EQ(PukOutcome(c.status), c.puk) << c.status;
    }
}
