// The call window and the call records as the program makes them, with the real engine and the
// virtual data card: a dialled call that connects and is hung up, a call that rings and is
// missed, and tones after the pauses of a dialled number.
#include "ProgramOnCard.h"
#include "UI_CallManager.h"
#include "UI_CallRecords.h"

#include "lumacore.h"

using e2e::kWait;

class CallsEndToEnd : public e2e::ProgramOnCard {
protected:
    void start()
    {
        ASSERT_NO_FATAL_FAILURE(startOnCard());
        ASSERT_TRUE(waitForState(kSimReady));
        calls = AppWindow<TCall_managerform>();
        records = AppWindow<TCrForm>();
        ASSERT_TRUE(calls && records);
    }
    bool waitForCall(int state)
    {
        return QTest::qWaitFor([&] { return calls->CallState() == state; }, kWait);
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

    TCall_managerform *calls = nullptr;
    TCrForm *records = nullptr;
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
