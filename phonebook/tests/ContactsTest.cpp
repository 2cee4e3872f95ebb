// The contacts window: its SIM-loading timer is the one that stands still during a call, and it
// remembers the card state it was told.
#include "UI_Contacts.h"

#include "RecordingHost.h"

#include <gtest/gtest.h>

TEST(Contacts, LoadingTimerStandsStillDuringACallAndTheCardStateIsKept)
{
    RecordingHost host;
    TFrmContacts contacts(host);
    ASSERT_EQ(contacts.timersStoppedDuringCall().size(), 1u);
    EXPECT_EQ(contacts.timersStoppedDuringCall().front()->objectName(),
              QStringLiteral("TimerLoadSIMData"));
    EXPECT_EQ(contacts.cardState(), 1);
    contacts.cardStateChanged(12);
    EXPECT_EQ(contacts.cardState(), 12);
}
