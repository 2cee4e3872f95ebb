// The SMS list, reading and main screens as the program makes them, with the real engine and the
// virtual data card: a new message listed on top of the inbox shown and read from there, a move
// into a SIM with room for one message, and a PC message that outlives the card pulled.
#include "ProgramOnCard.h"
#include "UI_SmsList.h"
#include "UI_SmsMain.h"
#include "UI_EditPB.h"
#include "UI_SmsRead.h"

#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

#include <cstring>
#include <ctime>

using e2e::kWait;
using platform::GetLanguageString;

namespace {

virtualmodem::IncomingSms incoming(const char *from, const char *text)
{
    virtualmodem::IncomingSms sms;
    sms.from = from;
    sms.text = text;
    return sms;
}

}  // namespace

class SmsWindowsEndToEnd : public e2e::ProgramOnCard {
protected:
    void SetUp() override
    {
        ProgramOnCard::SetUp();
        platform::setPauseHandler([](int) {});
    }

    // The new-message sound's notice (no sound settings in the test folder) is not ours.
    void boxShown(const QString &shown, bool twoButtons) override
    {
        if (!shown.startsWith(GetLanguageString(text::kConfigUnreadable)))
            (twoButtons ? asked : told) << shown;
    }

    // The program up with the SIM ready, and the SMS main screen's loads done.
    void start()
    {
        ASSERT_NO_FATAL_FAILURE(startOnCard());
        ASSERT_TRUE(waitForState(kSimReady));
        main = AppWindow<TFrmSmsMain>();
        list = AppWindow<TFrmSmsList>();
        reader = AppWindow<TFrmSmsRead>();
        ASSERT_TRUE(main && list && reader);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return main->folders().simLoaded() && main->folders().cardLoaded(); }, kWait));
    }

    TFrmSmsMain *main = nullptr;
    TFrmSmsList *list = nullptr;
    TFrmSmsRead *reader = nullptr;
    QStringList told, asked;
};

TEST_F(SmsWindowsEndToEnd, ANewMessageTopsTheInboxShownAndIsReadFromThere)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_EQ(card->deliverSms(incoming("+59899000111", "First")), "");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return SmsGetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM) == 1; }, kWait));
    list->ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_SIM);
    ASSERT_EQ(list->ListViewSms->topLevelItemCount(), 1);

    // The second one the network stamped a minute later.
    virtualmodem::IncomingSms second = incoming("+59899000222", "Second, unread");
    second.sentAt = std::time(nullptr) + 60;
    ASSERT_EQ(card->deliverSms(second), "");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return list->ListViewSms->topLevelItemCount() == 2; }, kWait));
    QTreeWidgetItem *top = list->ListViewSms->topLevelItem(0);
    EXPECT_EQ(top->text(SmsListModel::NumberColumn), "+59899000222");
    EXPECT_EQ(top->text(SmsListModel::StatusColumn), GetLanguageString(text::kNew));

    top->setSelected(true);
    list->btnEditSmsClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reader->item().has_value(); }, kWait));
    EXPECT_EQ(reader->mmoMsgContent->toPlainText(), "Second, unread");
    EXPECT_EQ(reader->lblSendOrRecvNum->text(), "+59899000222");
    list->Refresh();
    EXPECT_EQ(list->ListViewSms->topLevelItem(0)->text(SmsListModel::StatusColumn), "");

    // The sender kept as a contact: the contacts window's editor opens with the number.
    reader->btnSaveNumClick();
    TFmEditPB *editor = AppWindow<TFmEditPB>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return editor->EdPhoneNumber->text() == QStringLiteral("+59899000222"); }, kWait));
    EXPECT_TRUE(told.isEmpty()) << told.join(" | ").toStdString();
}

TEST_F(SmsWindowsEndToEnd, AMoveIntoASimWithRoomForOneSaysSoOnceAndLosesNothing)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(card->setMessageCapacity("SM", 2));
    ASSERT_TRUE(card->fillMessages("SM", 1));
    ASSERT_EQ(SetLoadFieldLimits(), 0);
    ASSERT_EQ(SmsLoadMessages(SMS_STORE_SIM), 0);
    for (const char *text : {"one", "two", "three"}) {
        SmsItem item{};
        item.storage = SMS_STORE_PC;
        item.status = SMS_STATUS_READ;
        item.folder = SMS_FOLDER_INBOX;
        std::strcpy(item.number, "+59899000333");
        std::strcpy(item.text, text);
        ASSERT_EQ(SmsSaveMessage(&item), 0);
    }
    list->ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_PC);
    ASSERT_EQ(list->ListViewSms->topLevelItemCount(), 3);
    list->ListViewSms->selectAll();
    list->btnSaveToClick();

    EXPECT_EQ(asked, QStringList{GetLanguageString(text::kSmsMoveConfirm)});
    EXPECT_EQ(told, (QStringList{GetLanguageString(text::kSmsSimFull),
                                 QStringLiteral("%1:3, %2:1, %3:2")
                                     .arg(GetLanguageString(text::kSmsMoveSummary),
                                          GetLanguageString(text::kSucceeded),
                                          GetLanguageString(text::kFailed))}));
    EXPECT_EQ(SmsGetMessageCount(SMS_FOLDER_ALL, SMS_STORE_SIM), 2);
    EXPECT_EQ(SmsGetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_PC), 2);
    EXPECT_EQ(list->ListViewSms->topLevelItemCount(), 2);
    EXPECT_EQ(card->snapshot().messageStorages[0].messages.size(), 2u);
}

TEST_F(SmsWindowsEndToEnd, APcMessageOutlivesTheCardPulledAndPutBack)
{
    ASSERT_NO_FATAL_FAILURE(start());
    SmsItem draft{};
    draft.storage = SMS_STORE_PC;
    draft.status = SMS_STATUS_UNSENT;
    draft.folder = SMS_FOLDER_DRAFTS;
    std::strcpy(draft.number, "+59899000444");
    std::strcpy(draft.text, "Kept on the PC");
    ASSERT_EQ(SmsSaveMessage(&draft), 0);

    ASSERT_TRUE(card->removeCard());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->folders().cardLoaded(); }, kWait));
    ASSERT_TRUE(card->insertCard());
    ASSERT_TRUE(waitForState(kSimReady));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return main->folders().simLoaded() && main->folders().cardLoaded(); }, kWait));

    // Listed once, and deleted for good.
    list->ShowFolder(SMS_FOLDER_DRAFTS, SMS_STORE_PC);
    ASSERT_EQ(list->ListViewSms->topLevelItemCount(), 1);
    EXPECT_EQ(list->ListViewSms->topLevelItem(0)->text(SmsListModel::NumberColumn), "+59899000444");
    list->ListViewSms->topLevelItem(0)->setSelected(true);
    list->btnDelSmsClick();
    ASSERT_FALSE(told.isEmpty());
    EXPECT_EQ(told.back(),
              QStringLiteral("%1:1, %2:1, %3:0")
                  .arg(GetLanguageString(text::kSmsDeleteSummary),
                       GetLanguageString(text::kSucceeded), GetLanguageString(text::kFailed)));
    EXPECT_EQ(list->ListViewSms->topLevelItemCount(), 0);
    ASSERT_EQ(SmsLoadMessages(SMS_STORE_CARD), 0);
    EXPECT_EQ(SmsGetMessageCount(SMS_FOLDER_ALL, SMS_STORE_PC), 0);
}
