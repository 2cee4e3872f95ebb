// The call window and the call records as the program makes them, with the real engine and the
// virtual data card: a dialled call that connects and is hung up, a call that rings and is
// missed, tones after the pauses of a dialled number, a second call waiting and what the
// person does with the two (hold, swap, join, release one), the far end hanging up, an emergency
// call from the PIN dialog and the card pulled during calls.
#include "ProgramOnCard.h"
#include "UI_CallHangupMsg.h"
#include "UI_CallManager.h"
#include "UI_CallRecords.h"

#include "app/pin/PinEntry.h"
#include "app/pin/UI_PasswordDlg.h"
#include "lumacore.h"

#include <QApplication>

using e2e::kWait;
using e2e::text;

class CallsEndToEnd : public e2e::ProgramOnCard {
protected:
    void SetUp() override
    {
        ProgramOnCard::SetUp();
        // A choice dialog that is really shown would wait for a person: it is noted and closed.
        QObject::connect(&m_modalWatch, &QTimer::timeout, [this] {
            if (auto *choices = qobject_cast<TCallHangupMsgDfm *>(QApplication::activeModalWidget())) {
                shownForReal << QStringLiteral("choice dialog");
                choices->reject();
            }
        });
        m_modalWatch.start(50);
    }
    void TearDown() override
    {
        m_modalWatch.stop();
        EXPECT_TRUE(shownForReal.isEmpty()) << shownForReal.join(' ').toStdString();
        ProgramOnCard::TearDown();
    }

    void start(bool pinRequired = false)
    {
        ASSERT_NO_FATAL_FAILURE(installDeliveredProfiles());
        ASSERT_NO_FATAL_FAILURE(startOnCard(pinRequired));
        if (!pinRequired) {
            ASSERT_TRUE(waitForState(kSimReady));
        }
        calls = AppWindow<TCall_managerform>();
        records = AppWindow<TCrForm>();
        ASSERT_TRUE(calls && records);
    }
    bool waitForCall(int state)
    {
        return QTest::qWaitFor([&] { return calls->CallState() == state; }, kWait);
    }
    // The card's calls as "index:status" in index order (0 active, 1 held, 4 ringing, 5 waiting).
    QString cardCalls() const
    {
        return QString::fromStdString(card->control("call list")).mid(2).trimmed();
    }
    bool waitForCard(const QString &list)
    {
        return QTest::qWaitFor([&] { return cardCalls() == list; }, kWait);
    }
    void ring(const QString &number)
    {
        ASSERT_EQ(card->control("call incoming " + number.toStdString()), "OK");
    }
    // The next choice dialog is answered with the button of the numbered text.
    void chooseNext(unsigned choice)
    {
        platform::setDialogResponder([choice](QDialog &dialog) -> std::optional<int> {
            auto *choices = qobject_cast<TCallHangupMsgDfm *>(&dialog);
            if (!choices)
                return QDialog::Rejected;
            for (QPushButton *button : choices->MyButtons) {
                if (!button->isHidden() && button->text() == text(choice)) {
                    button->click();
                    return QDialog::Accepted;
                }
            }
            return QDialog::Rejected;
        });
    }
    // A call rings and is answered with Dial.
    void answerIncoming(const QString &number)
    {
        ASSERT_NO_FATAL_FAILURE(ring(number));
        ASSERT_TRUE(waitForCall(kCallIncoming));
        calls->ImButtonDialClick();
        ASSERT_TRUE(waitForCall(kCallActive));
    }
    // first answered, then second waiting and taken with the first held: second is active.
    void reachActiveHeld(const QString &first, const QString &second)
    {
        ASSERT_NO_FATAL_FAILURE(answerIncoming(first));
        ASSERT_NO_FATAL_FAILURE(ring(second));
        ASSERT_TRUE(waitForCall(kCallActiveWaiting));
        chooseNext(5024);
        calls->ImButtonDialClick();
        ASSERT_TRUE(waitForCall(kCallActiveHeld));
    }
    void chld(int value)
    {
        ASSERT_TRUE(calls->manager().sendChld(value)) << value;
        calls->Refresh();
    }
    // The numbers of the kind's list in the engine's store, oldest first.
    static QStringList kept(uint8_t kind)
    {
        QStringList numbers;
        CallEntry entry{};
        entry.kind = kind;
        entry.storage = 2;
        for (uint16_t status = _MEC_GetFirstCallEntry(kind, &entry); status == 0;
             status = _MEC_GetNextCallEntry(&entry))
            numbers << QString::fromLatin1(entry.number);
        return numbers;
    }
    QStringList parties() const
    {
        QStringList shown;
        for (int row = 0; row < calls->CallListView->topLevelItemCount(); ++row)
            shown << calls->CallListView->topLevelItem(row)->text(1);
        return shown;
    }

    TCall_managerform *calls = nullptr;
    TCrForm *records = nullptr;
    QStringList shownForReal;

private:
    QTimer m_modalWatch;
};

TEST_F(CallsEndToEnd, ADialledCallConnectsIsHungUpAndIsRecordedOnce)
{
    ASSERT_NO_FATAL_FAILURE(start());
    calls->DialNumber("5550100");
    ASSERT_TRUE(waitForCall(kCallActive)) << calls->CallState();
    EXPECT_EQ(calls->CallStateLabel->text(), platform::GetLanguageString(5006));
    calls->ImButtonHangupClick();
    ASSERT_TRUE(waitForCall(kCallIdle));
    ASSERT_TRUE(settle());
    EXPECT_EQ(kept(3), QStringList{"5550100"});
}

TEST_F(CallsEndToEnd, ACallThatStopsRingingIsMissedOnce)
{
    ASSERT_NO_FATAL_FAILURE(start());
    card->control("call incoming +4930123");
    ASSERT_TRUE(waitForCall(kCallIncoming));
    EXPECT_EQ(calls->Memo1->text(), "+4930123");
    card->control("call hangup");
    ASSERT_TRUE(waitForCall(kCallIdle));
    ASSERT_TRUE(settle());
    EXPECT_EQ(kept(1), QStringList{"+4930123"});
}

TEST_F(CallsEndToEnd, TonesAfterThePauseAndAfterTheWaitReachTheCard)
{
    ASSERT_NO_FATAL_FAILURE(start());
    calls->DialNumber("12345P678W9");
    ASSERT_TRUE(waitForCall(kCallActive));
    const auto tones = [&] { return QString::fromStdString(card->control("call tones")); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return tones().contains("678"); }, kWait)) << tones().toStdString();
    calls->ImButtonDialClick();  // goes on after the W
    EXPECT_TRUE(QTest::qWaitFor([&] { return tones().contains("6789"); }, kWait))
        << tones().toStdString();
    calls->ImButtonHangupClick();
    EXPECT_TRUE(waitForCall(kCallIdle));
}

// One call answered, a second one waiting beside it: taken with the first held, the two
// swapped, joined, one party released while the other talks on until its far end hangs up.
TEST_F(CallsEndToEnd, ASecondCallWaitsAndIsTakenSwappedJoinedAndReleased)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(answerIncoming("+4930111"));
    ASSERT_TRUE(waitForCard("1:0"));
    ASSERT_NO_FATAL_FAILURE(ring("+4930222"));
    ASSERT_TRUE(waitForCall(kCallActiveWaiting));
    EXPECT_EQ(calls->Memo1->text(), "+4930222");
    EXPECT_EQ(calls->CallStateLabel->text(), text(5021));
    EXPECT_EQ(cardCalls(), "1:0 2:5");

    chooseNext(5024);  // hold the call in progress and answer
    calls->ImButtonDialClick();
    ASSERT_TRUE(waitForCall(kCallActiveHeld));
    EXPECT_EQ(cardCalls(), "1:1 2:0");
    EXPECT_EQ(calls->Memo1->text(), "+4930222");
    EXPECT_EQ(calls->HoldCallLable->text(), text(5048) + "+4930111");

    ASSERT_NO_FATAL_FAILURE(chld(2));  // swap
    EXPECT_EQ(calls->CallState(), kCallActiveHeld);
    EXPECT_EQ(cardCalls(), "1:0 2:1");
    EXPECT_EQ(calls->Memo1->text(), "+4930111");
    EXPECT_EQ(calls->HoldCallLable->text(), text(5048) + "+4930222");

    calls->ImButtonDialClick();  // join, confirmed
    ASSERT_TRUE(waitForCall(kCallConference));
    EXPECT_EQ(cardCalls(), "1:0 2:0");
    EXPECT_EQ(calls->CallStateLabel->text(), text(5023));
    EXPECT_EQ(parties(), QStringList({"+4930111", "+4930222"}));

    chooseNext(5035);  // release party 1
    calls->ImButtonHangupClick();
    ASSERT_TRUE(waitForCall(kCallActive));
    EXPECT_EQ(cardCalls(), "2:0");
    EXPECT_EQ(calls->Memo1->text(), "+4930222");
    ASSERT_TRUE(settle());
    EXPECT_EQ(kept(2), QStringList{"+4930111"});

    ASSERT_EQ(card->control("call hangup 2"), "OK");
    ASSERT_TRUE(waitForCall(kCallIdle));
    ASSERT_TRUE(settle());
    EXPECT_EQ(kept(2), QStringList({"+4930111", "+4930222"}));
    EXPECT_TRUE(kept(1).isEmpty());
}

// The far end hangs up one call: the program follows with the call that is left, and records
// each call once.
TEST_F(CallsEndToEnd, TheFarEndHangsUp)
{
    enum Setup { OneCall, ActiveAndWaiting, ActiveAndHeld, Conference };
    struct Case {
        Setup setup;
        const char *hangs;  // the card's index of the call the far end ends
        int state;          // the program's state after it
        const char *left;   // the card's calls after it
    };
    const Case cases[] = {
        {OneCall, "1", kCallIdle, ""},
        {ActiveAndWaiting, "1", kCallIncoming, "2:4"},  // the waiting call rings on
        {ActiveAndHeld, "2", kCallHeld, "1:1"},
        {ActiveAndHeld, "1", kCallActive, "2:0"},
        {Conference, "1", kCallActive, "2:0"},
        {Conference, "2", kCallActive, "1:0"},
    };
    ASSERT_NO_FATAL_FAILURE(start());
    int recorded = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.setup) + " far end of call " + c.hangs);
        const QString first = QStringLiteral("+49301%1").arg(recorded, 4, 10, QLatin1Char('0'));
        const QString second = QStringLiteral("+49302%1").arg(recorded, 4, 10, QLatin1Char('0'));
        if (c.setup == OneCall) {
            ASSERT_NO_FATAL_FAILURE(answerIncoming(first));
        } else if (c.setup == ActiveAndWaiting) {
            ASSERT_NO_FATAL_FAILURE(answerIncoming(first));
            ASSERT_NO_FATAL_FAILURE(ring(second));
            ASSERT_TRUE(waitForCall(kCallActiveWaiting));
        } else {
            ASSERT_NO_FATAL_FAILURE(reachActiveHeld(first, second));
            if (c.setup == Conference) {
                calls->ImButtonDialClick();
                ASSERT_TRUE(waitForCall(kCallConference));
            }
        }
        recorded += c.setup == OneCall ? 1 : 2;
        ASSERT_EQ(card->control(std::string("call hangup ") + c.hangs), "OK");
        EXPECT_TRUE(waitForCall(c.state)) << calls->CallState();
        EXPECT_TRUE(waitForCard(c.left)) << cardCalls().toStdString();
        if (calls->CallState() == kCallIncoming) {
            calls->ImButtonDialClick();
            EXPECT_TRUE(waitForCall(kCallActive)) << calls->CallState();
        }
        if (calls->CallState() != kCallIdle) {
            calls->ImButtonHangupClick();  // a held call is ended once confirmed
            ASSERT_TRUE(waitForCall(kCallIdle));
        }
        ASSERT_TRUE(waitForCard(""));
        ASSERT_TRUE(settle());
        EXPECT_EQ(kept(2).size(), recorded);
        EXPECT_EQ(kept(2).removeDuplicates(), 0);
    }
    EXPECT_TRUE(kept(1).isEmpty());
}

// Typed into the PIN dialog, an emergency number is dialled while the SIM waits for its PIN;
// the PIN is neither sent nor forgotten: the dialog stays for it.
TEST_F(CallsEndToEnd, AnEmergencyNumberFromThePinDialogIsDialledAndThePinLeftAlone)
{
    ASSERT_NO_FATAL_FAILURE(start(true));
    const auto dialogUp = [&] {
        pin::TPasswordDlg *dialog = form->monitor().pinEntry().pinDialog();
        return form->monitor().cardState() == kPinRequired && dialog != nullptr &&
               dialog->isVisible();
    };
    ASSERT_TRUE(QTest::qWaitFor(dialogUp, kWait));
    pin::TPasswordDlg *dialog = form->monitor().pinEntry().pinDialog();
    dialog->Edit_Password1->setText(QStringLiteral("112"));
    dialog->ImButton_OKClick();
    EXPECT_EQ(calls->CallStateLabel->text(), text(5005));
    ASSERT_TRUE(waitForCall(kCallActive)) << calls->CallState();
    EXPECT_EQ(cardCalls(), "1:0");
    calls->ImButtonHangupClick();
    ASSERT_TRUE(waitForCall(kCallIdle));
    ASSERT_TRUE(waitForCard(""));
    EXPECT_EQ(form->monitor().cardState(), kPinRequired);
    EXPECT_TRUE(dialogUp());
    for (const auto &[command, count] : card->snapshot().commandsReceived)
        EXPECT_FALSE(command.starts_with("+CPIN=")) << command;
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();

    dialog = form->monitor().pinEntry().pinDialog();
    dialog->Edit_Password1->setText(QStringLiteral("1234"));
    dialog->ImButton_OKClick();
    ASSERT_TRUE(waitForState(kSimReady));
    ASSERT_TRUE(settle());
    EXPECT_EQ(kept(3), QStringList{"112"});
}

// Without a SIM only an emergency number goes out, from the keypad as from anywhere.
TEST_F(CallsEndToEnd, WithoutASimOnlyAnEmergencyNumberIsDialled)
{
    ASSERT_NO_FATAL_FAILURE(installDeliveredProfiles());
    ASSERT_NO_FATAL_FAILURE(plugCard());
    card->removeSim();
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_TRUE(waitForState(kNoSim));
    calls = AppWindow<TCall_managerform>();
    ASSERT_NE(calls, nullptr);
    calls->DialNumber("5550100");
    EXPECT_EQ(calls->CallState(), kCallIdle);
    EXPECT_EQ(boxes.last(), text(12));
    calls->DialNumber("112");
    ASSERT_TRUE(waitForCall(kCallActive)) << calls->CallState();
    EXPECT_EQ(cardCalls(), "1:0");
    ASSERT_EQ(card->control("call hangup"), "OK");  // the emergency services end the call
    ASSERT_TRUE(waitForCall(kCallIdle));
}

// The card pulled out with a call connected, ringing, or one connected and one held: the
// window is back to idle at once, each call is recorded once, and a call works again once the
// card is back.
TEST_F(CallsEndToEnd, TheCardPulledDuringACall)
{
    enum Setup { Dialled, Ringing, ActiveAndHeld };
    struct Case {
        Setup setup;
        uint8_t kind;  // the list the calls go to
    };
    const Case cases[] = {{Dialled, 3}, {Ringing, 1}, {ActiveAndHeld, 2}};
    ASSERT_NO_FATAL_FAILURE(start());
    int round = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.setup);
        const QString first = QStringLiteral("+49401%1").arg(round, 4, 10, QLatin1Char('0'));
        const QString second = QStringLiteral("+49402%1").arg(round, 4, 10, QLatin1Char('0'));
        ++round;
        const qsizetype before = kept(c.kind).size();
        QStringList expected;
        switch (c.setup) {
        case Dialled:
            calls->DialNumber(first);
            ASSERT_TRUE(waitForCall(kCallActive));
            expected = {first};
            break;
        case Ringing:
            ASSERT_NO_FATAL_FAILURE(ring(first));
            ASSERT_TRUE(waitForCall(kCallIncoming));
            expected = {first};
            break;
        case ActiveAndHeld:
            ASSERT_NO_FATAL_FAILURE(reachActiveHeld(first, second));
            expected = {first, second};
            break;
        }
        ASSERT_TRUE(card->removeCard());
        ASSERT_TRUE(waitForState(kCardAbsent));
        ASSERT_TRUE(waitForCall(kCallIdle)) << calls->CallState();
        EXPECT_TRUE(calls->Memo1->text().isEmpty());
        EXPECT_FALSE(calls->ImButtonDial->isEnabled());
        ASSERT_TRUE(settle());
        QStringList added = kept(c.kind).mid(before);
        added.sort();
        EXPECT_EQ(added, expected);
        ASSERT_TRUE(card->insertCard());
        ASSERT_TRUE(waitForState(kSimReady));
        ASSERT_TRUE(waitForCard(""));
        EXPECT_TRUE(calls->ImButtonDial->isEnabled());
    }
    calls->DialNumber("5550100");
    EXPECT_TRUE(waitForCall(kCallActive));
    calls->ImButtonHangupClick();
    EXPECT_TRUE(waitForCall(kCallIdle));
}

namespace {

struct ChldOnCard {
    CallState from;
    int value;
    CallState to;
    const char *left;  // the card's calls after it: "index:status", 0 active, 1 held, 5 waiting
};

}  // namespace

// Every +CHLD the call window sends, from each state it is sent in, with the program and the
// card agreeing on what is left. The first call is the card's 1, the second its 2 (active in
// the states with a held call), the ringing third its 3.
TEST_F(CallsEndToEnd, EachChldLeavesTheProgramAndTheCardAgreeing)
{
    const ChldOnCard rows[] = {
        {kCallActive, 2, kCallHeld, "1:1"},
        {kCallActiveWaiting, 0, kCallActive, "1:0"},
        {kCallActiveWaiting, 1, kCallActive, "2:0"},
        {kCallActiveWaiting, 2, kCallActiveHeld, "1:1 2:0"},
        {kCallActiveWaiting, 11, kCallIncoming, "2:4"},
        {kCallHeld, 2, kCallActive, "1:0"},
        {kCallHeldIncoming, 0, kCallHeld, "1:1"},
        {kCallHeldIncoming, 11, kCallIncoming, "2:4"},
        {kCallActiveHeld, 0, kCallActive, "2:0"},
        {kCallActiveHeld, 1, kCallActive, "1:0"},
        {kCallActiveHeld, 2, kCallActiveHeld, "1:0 2:1"},
        {kCallActiveHeld, 3, kCallConference, "1:0 2:0"},
        {kCallActiveHeld, 12, kCallHeld, "1:1"},
        {kCallActiveHeld, 11, kCallActive, "2:0"},
        {kCallActiveHeldWaiting, 0, kCallActiveHeld, "1:1 2:0"},
        {kCallActiveHeldWaiting, 1, kCallActiveHeld, "1:1 3:0"},
        {kCallActiveHeldWaiting, 3, kCallConferenceWaiting, "1:0 2:0 3:5"},
        {kCallActiveHeldWaiting, 12, kCallHeldIncoming, "1:1 3:5"},
        {kCallActiveHeldWaiting, 11, kCallActiveWaiting, "2:0 3:5"},
        {kCallConference, 2, kCallConferenceHeld, "1:1 2:1"},
        {kCallConference, 11, kCallActive, "2:0"},
        {kCallConference, 21, kCallActiveHeld, "1:0 2:1"},
        {kCallConferenceWaiting, 0, kCallConference, "1:0 2:0"},
        {kCallConferenceWaiting, 1, kCallActive, "3:0"},
        {kCallConferenceWaiting, 2, kCallActiveConferenceHeld, "1:1 2:1 3:0"},
        {kCallConferenceWaiting, 11, kCallActiveWaiting, "2:0 3:5"},
        {kCallConferenceWaiting, 21, kCallActiveHeldWaiting, "1:0 2:1 3:5"},
        {kCallActiveConferenceHeld, 1, kCallConference, "1:0 2:0"},
        {kCallActiveConferenceHeld, 2, kCallConferenceActiveHeld, "1:0 2:0 3:1"},
        {kCallActiveConferenceHeld, 13, kCallConferenceHeld, "1:1 2:1"},
        {kCallActiveConferenceHeld, 11, kCallActiveHeld, "2:1 3:0"},
        {kCallConferenceActiveHeld, 1, kCallActive, "3:0"},
        {kCallConferenceActiveHeld, 2, kCallActiveConferenceHeld, "1:1 2:1 3:0"},
        {kCallConferenceActiveHeld, 13, kCallConference, "1:0 2:0"},
        {kCallConferenceActiveHeld, 11, kCallActiveHeld, "2:0 3:1"},
        {kCallConferenceHeld, 2, kCallConference, "1:0 2:0"},
        {kCallConferenceHeld, 11, kCallHeld, "2:1"},
        {kCallConferenceHeldIncoming, 0, kCallConferenceHeld, "1:1 2:1"},
        {kCallConferenceHeldIncoming, 11, kCallHeldIncoming, "2:1 3:5"},
    };
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_EQ(card->control("call timing ring 500"), "OK");
    std::function<void(CallState)> reach = [&](CallState target) {
        const auto then = [&](CallState before, auto step) {
            ASSERT_NO_FATAL_FAILURE(reach(before));
            ASSERT_NO_FATAL_FAILURE(step());
        };
        const auto ringing = [&](CallState before, const char *number) {
            then(before, [&] { ASSERT_NO_FATAL_FAILURE(ring(number)); });
        };
        switch (target) {
        case kCallActive: ASSERT_NO_FATAL_FAILURE(answerIncoming("5550001")); break;
        case kCallActiveWaiting: ringing(kCallActive, "5550002"); break;
        case kCallHeld: then(kCallActive, [&] { chld(2); }); break;
        case kCallHeldIncoming: ringing(kCallHeld, "5550002"); break;
        case kCallActiveHeld: then(kCallActiveWaiting, [&] { chld(2); }); break;
        case kCallActiveHeldWaiting: ringing(kCallActiveHeld, "5550003"); break;
        case kCallConference: then(kCallActiveHeld, [&] { chld(3); }); break;
        case kCallConferenceWaiting: ringing(kCallConference, "5550003"); break;
        case kCallActiveConferenceHeld: then(kCallConferenceWaiting, [&] { chld(2); }); break;
        case kCallConferenceActiveHeld: then(kCallActiveConferenceHeld, [&] { chld(2); }); break;
        case kCallConferenceHeld: then(kCallConference, [&] { chld(2); }); break;
        case kCallConferenceHeldIncoming: ringing(kCallConferenceHeld, "5550003"); break;
        default: FAIL() << "not reached here: " << int(target);
        }
        ASSERT_TRUE(waitForCall(target)) << "reaching " << int(target) << ", at " << calls->CallState();
    };
    for (const ChldOnCard &row : rows) {
        SCOPED_TRACE(testing::Message() << "from " << int(row.from) << " +CHLD=" << row.value);
        ASSERT_NO_FATAL_FAILURE(reach(row.from));
        ASSERT_NO_FATAL_FAILURE(chld(row.value));
        EXPECT_EQ(calls->CallState(), row.to);
        EXPECT_TRUE(waitForCard(row.left)) << cardCalls().toStdString();
        if (row.to == kCallIncoming) {
            calls->ImButtonDialClick();  // the call left ringing can be answered
            EXPECT_TRUE(waitForCall(kCallActive)) << calls->CallState();
        }
        chooseNext(5030);  // everything ended, whatever is left
        calls->ImButtonHangupClick();
        ASSERT_TRUE(waitForCall(kCallIdle)) << calls->CallState();
        ASSERT_TRUE(waitForCard(""));
    }
}
