// The call window tells the main window each change of the call state and raises its notices;
// a finished call reaches the call records page; the PIN dialog dials emergency numbers through
// the call window; the call records show themselves when the missed-call indicator asks for them
// and hand their numbers to the windows of other folders.
#include "UI_CallManager.h"
#include "UI_CallRecords.h"

#include "RecordingHost.h"
#include "lumacore/fake/FakeVoice.h"

#include "FeatureRoles.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(CallWindows, EachChangeOfTheCallStateIsPostedToTheMainWindowOnce)
{
    lumacore_fake::reset();
    FakeVoice voice;
    FakeCallRecords store;
    RecordingHost host;
    TCall_managerform form(host);
    form.cardStateChanged(kSimReady);
    form.DialNumber("100");
    form.DialNumber("100");  // a call is already being set up
    platform::WindowMessageEvent connected(MEC_MSG_CALL_DIAL_RESULT, 1, 0);
    form.messageArrived(connected);
    form.ImButtonHangupClick();
    QCoreApplication::sendPostedEvents();
    using Posted = std::pair<uint32_t, uint32_t>;
    const uint32_t notice = platform::WM_CALL_STATE;
    EXPECT_EQ(host.posted, (std::vector<Posted>{{notice, 1}, {notice, 3}, {notice, 0}}));
    EXPECT_EQ(store.entries().size(), 1u);
    lumacore_fake::reset();
}

TEST(CallWindows, CallRecordsShowThemselvesOnlyWhenAskedTo)
{
    RecordingHost host;
    TCrForm records(host);
    platform::WindowMessageEvent other(platform::WM_CALL_EVENT_FIRST, 0, 0);
    records.messageArrived(other);
    EXPECT_TRUE(host.shownInPanel.empty());
    records.showCallRecords();
    EXPECT_EQ(host.shownInPanel, std::vector<QWidget *>{&records});
}

namespace {

class SmsWriterStub : public QWidget, public feature::SmsWriter {
public:
    QStringList written;
    void writeSmsTo(const QString &numbers) override { written << numbers; }
};

// The fake engine's voice calls and call store, the texts, and boxes that answer yes.
class CallWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!platform::stringManager())
            platform::createStringManager();  // ./language of the program folder
        lumacore_fake::reset();
        voice = std::make_unique<FakeVoice>();
        store = std::make_unique<FakeCallRecords>();
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool) {
            boxes << text;
            return 1;
        });
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler({});
        store.reset();
        voice.reset();
        lumacore_fake::reset();
    }

    std::unique_ptr<FakeVoice> voice;
    std::unique_ptr<FakeCallRecords> store;
    QStringList boxes;
    RecordingHost host;
};

}  // namespace

TEST_F(CallWindowsTest, AMissedCallRingsThenShowsItsIndicatorAndLandsOnceInTheMissedList)
{
    TCrForm records(host);
    host.peers.addWidget(records);
    TCall_managerform form(host);
    form.cardStateChanged(kSimReady);
    records.ShowList(1);
    host.noticesRaised.clear();
    platform::WindowMessageEvent ringing(platform::WM_INCOMING_CALL, 0, 0,
                                         std::make_unique<platform::TextBlock>("+4930123"));
    form.messageArrived(ringing);
    EXPECT_EQ(form.CallState(), kCallIncoming);
    EXPECT_EQ(form.Memo1->text(), "+4930123");
    platform::WindowMessageEvent missed(MEC_MSG_CALL_INCOMING_MISSED, 0, 0);
    form.messageArrived(missed);
    platform::WindowMessageEvent ended(MEC_MSG_CALL_ALL_ENDED, 0, 0);
    form.messageArrived(ended);
    EXPECT_EQ(host.noticesRaised, (QStringList{"incomingCall(+4930123)", "missedCall()"}));
    ASSERT_EQ(records.CRListView->topLevelItemCount(), 1);
    EXPECT_EQ(records.CRListView->topLevelItem(0)->text(2), "+4930123");
    EXPECT_EQ(store->entries().size(), 1u);
}

TEST_F(CallWindowsTest, WhileTheCardWaitsForThePinOnlyAnEmergencyNumberIsDialled)
{
    TCall_managerform form(host);
    form.cardStateChanged(kPinRequired);
    EXPECT_TRUE(form.IsEmergencyNumber("112"));
    EXPECT_FALSE(form.IsEmergencyNumber("1234"));
    form.ShowAndPlaceCall("1234");
    EXPECT_TRUE(voice->dialled().empty());
    form.ShowAndPlaceCall("112");
    EXPECT_EQ(voice->dialled(), std::vector<std::string>{"112"});
    EXPECT_TRUE(form.IsSettingUpCall());
    EXPECT_EQ(form.CallStateLabel->text(), platform::GetLanguageString(5005));
    EXPECT_EQ(host.shownInPanel.back(), &form);
}

TEST_F(CallWindowsTest, TheRecordsHandTheirNumbersToTheComposerAndDeleteOnlyWhatWasAsked)
{
    store->put("100", 3, 5, {2026, 12, 10, 9, 0, 1});
    store->put("200", 3, 5, {2026, 12, 10, 9, 0, 2});
    store->put("300", 3, 5, {2026, 12, 10, 9, 0, 3});
    SmsWriterStub writer;
    host.peers.addWidget(writer, feature::WindowOptions{}.plays<feature::SmsWriter>());
    TCrForm records(host);
    records.ShowList(3);
    records.CRListView->topLevelItem(0)->setSelected(true);
    records.CRListView->topLevelItem(2)->setSelected(true);
    EXPECT_FALSE(records.CRDialling->isEnabled());
    records.CRNewMsgClick();
    EXPECT_EQ(writer.written, QStringList{"300;100"});
    records.CRDeleteClick();
    EXPECT_EQ(boxes, QStringList{platform::GetLanguageString(7021)});
    ASSERT_EQ(store->entries().size(), 1u);
    EXPECT_STREQ(store->entries()[0].number, "200");
    EXPECT_EQ(records.RecordSaved->text(), "1/50 " + platform::GetLanguageString(7016));
}
