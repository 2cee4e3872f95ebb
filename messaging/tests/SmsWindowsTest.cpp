// The SMS windows over a scripted store: what the list, the reading screen and the main screen
// show, what they hand to the other windows, and what they ask the user.
#include "FakeSmsStore.h"
#include "SmsRuns.h"
#include "UI_SmsList.h"
#include "UI_SmsMain.h"
#include "UI_SmsRead.h"

#include "FeatureRoles.h"
#include "SmsMessages.h"
#include "RecordingHost.h"

#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using platform::GetLanguageString;

namespace {

class SmsWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setMessageBoxHandler(
            [this](QWidget *, const QString &text, int, bool twoButtons) {
                (twoButtons ? asked : told) << text;
                return 1;
            });
    }
    void TearDown() override { platform::setMessageBoxHandler({}); }

    // Delivers what the windows posted to the host.
    std::vector<std::pair<uint32_t, uint32_t>> posted()
    {
        QCoreApplication::sendPostedEvents(&host);
        return host.posted;
    }
    static void select(TFrmSmsList &list, std::initializer_list<int> rows)
    {
        list.ListViewSms->clearSelection();
        for (int row : rows)
            list.ListViewSms->topLevelItem(row)->setSelected(true);
    }

    RecordingHost host;
    QStringList told, asked;
};

// The phonebook's editor for a new contact, as the host hands it out for its role.
class RecordingContactMaker : public QWidget,
                              public feature::FeatureWindow,
                              public feature::ContactMaker {
public:
    QStringList numbers;
    Done done;
    void newContactWithNumber(const QString &number, Done whenClosed) override
    {
        numbers << number;
        done = std::move(whenClosed);
    }
};

std::unique_ptr<FakeSmsStore> storeWith(std::vector<SmsItem> items, FakeSmsStore **view)
{
    auto store = std::make_unique<FakeSmsStore>();
    store->items = std::move(items);
    *view = store.get();
    return store;
}

}  // namespace

TEST_F(SmsWindowsTest, TheListShowsItselfForTheIndicatorOnly)
{
    TFrmSmsList list(host);
    platform::WindowMessageEvent other(platform::WM_SMS_NEW, 0, 0);
    list.messageArrived(other);
    EXPECT_TRUE(host.shownInPanel.empty());
    platform::WindowMessageEvent open(WM_OPEN_SMS_FOLDER, 1, 2);
    list.messageArrived(open);
    EXPECT_EQ(host.shownInPanel, std::vector<QWidget *>{&list});
    list.openSmsFolder(SMS_FOLDER_SENT, SMS_STORE_PC);
    EXPECT_EQ(host.shownInPanel, (std::vector<QWidget *>{&list, &list}));
}

TEST_F(SmsWindowsTest, OpeningAnUnreadMessageMarksItReadAndHandsItToTheReader)
{
    FakeSmsStore *store = nullptr;
    TFrmSmsList list(
        host,
        storeWith({MakeItem(4, 1, SMS_STORE_PC, "+1", "2026-12-08  10:00:00"),
                   MakeItem(7, 1, SMS_STORE_PC, "+2", "2026-12-09  10:00:00", SMS_STATUS_UNREAD)},
                  &store));
    list.cardStateChanged(kSimReady);
    list.ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_PC);
    ASSERT_EQ(list.ListViewSms->topLevelItemCount(), 2);
    EXPECT_EQ(list.ListViewSms->topLevelItem(0)->text(0), "+2");  // the newest on top
    EXPECT_EQ(list.ListViewSms->topLevelItem(0)->toolTip(0), "+2");

    list.btnEditSmsClick();
    select(list, {0, 1});
    list.btnEditSmsClick();
    list.btnReplySmsClick();
    EXPECT_EQ(told, (QStringList{GetLanguageString(2026), GetLanguageString(2029),
                                 GetLanguageString(2030)}));

    select(list, {0});
    list.btnEditSmsClick();
    EXPECT_EQ(store->log, QStringList{"read 7"});
    EXPECT_EQ(list.ListViewSms->topLevelItem(0)->text(SmsListModel::StatusColumn), "");
    EXPECT_EQ(host.noticesRaised, QStringList{"clearNewSms()"});
    RecordingContactMaker contacts;
    host.peers.addWidget(contacts, feature::plays<feature::ContactMaker>());
    list.btnReplySmsClick();
    list.btnSaveNumClick();
    EXPECT_EQ(posted(), (std::vector<std::pair<uint32_t, uint32_t>>{
                            {WM_READ_SMS, 0}, {WM_OPEN_COMPOSER, kComposeReply}}));
    // The contact editor gets the sender's number; when it closes, the list reads its folder
    // again, with the sender's new name.
    EXPECT_EQ(contacts.numbers, QStringList{QStringLiteral("+2")});
    ASSERT_TRUE(contacts.done);
    contacts.done(true, QStringLiteral("Ann"));
    EXPECT_EQ(posted().back(), (std::pair<uint32_t, uint32_t>{WM_OPEN_SMS_FOLDER, 1}));
}

TEST_F(SmsWindowsTest, DeletingSelectedRowsCountsThePartsAndReadsTheListAgain)
{
    FakeSmsStore *store = nullptr;
    TFrmSmsList list(
        host,
        storeWith({MakeItem(1, 1, SMS_STORE_PC, "+1", "2026-12-09  10:00:00"),
                   MakeItem(10, 1, SMS_STORE_PC, "+2", "2026-12-08  10:00:00", SMS_STATUS_READ, 3),
                   MakeItem(20, 1, SMS_STORE_PC, "+3", "2026-12-07  10:00:00")},
                  &store));
    list.cardStateChanged(kSimReady);
    list.ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_PC);
    select(list, {0, 1, 2});
    list.btnDelSmsClick();
    EXPECT_EQ(asked, QStringList{GetLanguageString(2027)});
    EXPECT_EQ(told, QStringList{GetLanguageString(2047) + ":5, " + GetLanguageString(1) + ":5, " +
                                GetLanguageString(2) + ":0"});
    EXPECT_EQ(list.ListViewSms->topLevelItemCount(), 0);
    EXPECT_FALSE(host.busy);
    EXPECT_TRUE(list.isEnabled());
    EXPECT_EQ(host.noticesRaised, (QStringList{"disableNavigation()", "enableNavigation()"}));
}

TEST_F(SmsWindowsTest, TheListLeavesTheSimWhenTheCardIsNotReady)
{
    FakeSmsStore *store = nullptr;
    TFrmSmsList list(host, storeWith({MakeItem(1, 1, SMS_STORE_SIM, "+1", ""),
                                      MakeItem(2, 1, SMS_STORE_PC, "+2", "")},
                                     &store));
    list.cardStateChanged(kSimReady);
    list.ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_SIM);
    EXPECT_EQ(list.cbbChooseStorage->currentIndex(), 1);
    EXPECT_TRUE(list.btnReplySms->isEnabled());
    list.cardStateChanged(kCardRegistered);
    EXPECT_EQ(list.model().storage(), SMS_STORE_PC);
    EXPECT_EQ(list.cbbChooseStorage->currentIndex(), 0);
    EXPECT_FALSE(list.cbbChooseStorage->isEnabled());
    EXPECT_FALSE(list.btnReplySms->isEnabled());
    ASSERT_EQ(list.ListViewSms->topLevelItemCount(), 1);
    EXPECT_EQ(list.ListViewSms->topLevelItem(0)->text(0), "+2");

    // A new message elsewhere leaves the rows alone; in the folder shown it is listed.
    store->items.push_back(MakeItem(3, 1, SMS_STORE_PC, "+3", "2026-12-09  10:00:00"));
    platform::WindowMessageEvent elsewhere(WM_SMS_LIST_CHANGED, SMS_FOLDER_INBOX,
                                           SMS_STORE_SIM);
    list.messageArrived(elsewhere);
    EXPECT_EQ(list.ListViewSms->topLevelItemCount(), 1);
    platform::WindowMessageEvent here(WM_SMS_LIST_CHANGED, SMS_FOLDER_INBOX, SMS_STORE_PC);
    list.messageArrived(here);
    ASSERT_EQ(list.ListViewSms->topLevelItemCount(), 2);
    EXPECT_EQ(list.ListViewSms->topLevelItem(0)->text(0), "+3");
}

// With the SMS settings keeping messages in the data card, they arrive in its own memory: the
// user reaches them through the storage choice and moves them to the PC like SIM messages.
TEST_F(SmsWindowsTest, MessagesInTheCardsOwnMemoryAreListedAndMovedToThePc)
{
    FakeSmsStore *store = nullptr;
    TFrmSmsList list(host, storeWith({MakeItem(4, 1, SMS_STORE_CARD, "+4", ""),
                                      MakeItem(2, 1, SMS_STORE_PC, "+2", "")},
                                     &store));
    list.cardStateChanged(kSimReady);
    list.ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_PC);
    list.cbbChooseStorage->setCurrentIndex(2);
    list.cbbChooseStorageChange(2);
    EXPECT_EQ(list.model().storage(), SMS_STORE_CARD);
    ASSERT_EQ(list.ListViewSms->topLevelItemCount(), 1);
    EXPECT_EQ(list.ListViewSms->topLevelItem(0)->text(0), "+4");

    SmsRuns runs(*store, {});
    const SmsRunResult moved = runs.Move({store->items[0]});
    EXPECT_EQ(moved.succeeded, 1);
    EXPECT_TRUE(store->log.contains(QStringLiteral("move 4 to 2")))
        << store->log.join('|').toStdString();

    list.cardStateChanged(kCardRegistered);
    EXPECT_EQ(list.model().storage(), SMS_STORE_PC);
    EXPECT_EQ(list.cbbChooseStorage->currentIndex(), 0);
}

TEST_F(SmsWindowsTest, TheReaderCutsLongLabelsAndLetsGoOfASimMessageWithTheCard)
{
    TFrmSmsRead reader(host, std::make_unique<FakeSmsStore>());
    reader.cardStateChanged(kSimReady);
    SmsItem item = MakeItem(3, 1, SMS_STORE_SIM, "+59899123456", "2026-12-09  10:00:00");
    std::strcpy(item.contactName, "Ana Maria Gonzalez Diaz!!");
    std::strcpy(item.text, "Hello");
    reader.Show(item);
    EXPECT_EQ(reader.lblSendOrRecvName->text(), "Ana Maria Gonzale...");
    EXPECT_EQ(reader.lblSendOrRecvName->toolTip(), "Ana Maria Gonzalez Diaz!!");
    EXPECT_EQ(reader.lblSendOrRecvNum->text(), "+59899123456");
    EXPECT_EQ(reader.mmoMsgContent->toPlainText(), "Hello");
    EXPECT_TRUE(reader.btnRes->isEnabled());

    reader.cardStateChanged(kCardRegistered);
    EXPECT_FALSE(reader.item().has_value());
    EXPECT_FALSE(reader.btnRes->isEnabled());

    item.storage = SMS_STORE_PC;
    reader.Show(item);
    reader.cardStateChanged(kNoSim);
    EXPECT_TRUE(reader.item().has_value());
    EXPECT_TRUE(reader.btnDelSms->isEnabled());
}

TEST_F(SmsWindowsTest, TheMainScreenPassesNewMessagesToTheListAndShowsReports)
{
    TFrmSmsMain main(host, std::make_unique<FakeSmsStore>());
    SmsItem item = MakeItem(3, SMS_FOLDER_INBOX, SMS_STORE_SIM, "+1", "");
    platform::WindowMessageEvent arrived(platform::WM_SMS_NEW, 0, 0,
                                         makePayload<platform::WM_SMS_NEW>(item));
    main.messageArrived(arrived);
    const auto messages = posted();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              (std::pair<uint32_t, uint32_t>{WM_SMS_LIST_CHANGED, SMS_FOLDER_INBOX}));

    SmsReportPayload report{};
    std::strcpy(report.number, "+1");
    platform::WindowMessageEvent reported(platform::WM_SMS_REPORT, 0, 0,
                                          makePayload<platform::WM_SMS_REPORT>(report));
    main.messageArrived(reported);
    main.messageArrived(reported);
    EXPECT_EQ(main.reportBoxes().size(), 2u);  // one box per report, none waits for the other
}

TEST_F(SmsWindowsTest, LoadingTimersStandStillDuringACall)
{
    TFrmSmsMain main(host, std::make_unique<FakeSmsStore>());
    QStringList names;
    for (QTimer *timer : main.timersStoppedDuringCall())
        names << timer->objectName();
    EXPECT_EQ(names, (QStringList{"tmrSmsInitSet", "tmrLoadMeMsg", "tmrLoadSimMsg"}));
    main.cardStateChanged(kCardRegistered);
    EXPECT_TRUE(main.tmrSmsInitSet.isActive());
    main.tmrSmsInitSetTimer();
    EXPECT_FALSE(main.tmrSmsInitSet.isActive());
    EXPECT_TRUE(main.tmrLoadMeMsg.isActive());
    main.cardStateChanged(kCardInserted);
    EXPECT_FALSE(main.tmrLoadMeMsg.isActive());

    // A card state during a dialled call leaves the loads waiting, and the end of the call
    // (whatever the main window set back) starts them.
    main.callStateChanged(kCallDialling);
    main.cardStateChanged(kCardRegistered);
    EXPECT_FALSE(main.tmrSmsInitSet.isActive());
    main.callStateChanged(kCallIdle);
    EXPECT_TRUE(main.tmrSmsInitSet.isActive());
    EXPECT_TRUE(main.tmrLoadMeMsg.isActive());
}
