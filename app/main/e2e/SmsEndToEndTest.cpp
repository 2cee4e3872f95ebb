// The program's messages with every window made as at start-up, the real engine and the virtual
// data card: a long message arriving out of order read whole, a send to three numbers of which
// one fails, a delivery report, a flash message and a broadcast page, a full SIM, and the card
// pulled in the middle of a move.
#include "ProgramOnCard.h"

#include "SmsMessages.h"
#include "UI_SmsList.h"
#include "UI_SmsMain.h"
#include "UI_SmsEdit.h"
#include "SmsSendResults.h"
#include "SmsRuns.h"

#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "logic/WindowPayloads.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/WindowMessages.h"

#include <QLabel>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

using e2e::kWait;

namespace {

const std::string kOwnNumber = "+5491140000001";  // the virtual card's own: a send comes back

// Keeps a copy of the reports and new-message notices the main window is sent, and lets them
// go on to the card monitor.
class MessageWatch : public QObject {
public:
    std::vector<SmsReportPayload> reports;
    std::vector<SmsItem> arrived;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != platform::WindowMessageEvent::eventType())
            return false;
        const auto &message = static_cast<const platform::WindowMessageEvent &>(*event);
        SmsReportPayload report;
        SmsItem item;
        if (payloadOf<platform::WM_SMS_REPORT>(message, &report))
            reports.push_back(report);
        else if (payloadOf<platform::WM_SMS_NEW>(message, &item))
            arrived.push_back(item);
        return false;
    }
};

// What the list of one folder shows: the store's walk.
std::vector<SmsItem> folderItems(uint8_t folder, uint8_t storage)
{
    std::vector<SmsItem> items;
    SmsItem item{};
    item.folder = folder;
    item.storage = storage;
    for (uint16_t status = SmsGetFirstMessage(&item); status == 0;
         status = SmsGetNextMessage(&item))
        items.push_back(item);
    return items;
}

std::multiset<std::string> textsOf(const std::vector<SmsItem> &items)
{
    std::multiset<std::string> texts;
    for (const SmsItem &item : items)
        texts.insert(item.text);
    return texts;
}

}  // namespace

class SmsEndToEnd : public e2e::ProgramOnCard {
protected:
    void SetUp() override
    {
        ProgramOnCard::SetUp();
        platform::setPauseHandler([this](int ms) { pauses.push_back(ms); });
    }

    void TearDown() override
    {
        if (MainWindowHandle() != nullptr)
            MainWindowHandle()->removeEventFilter(&watch);
        ProgramOnCard::TearDown();
    }

    // The card in, the program up, the SIM ready and the network found; the card's sizes read.
    void start()
    {
        ASSERT_NO_FATAL_FAILURE(startOnCard());
        MainWindowHandle()->installEventFilter(&watch);
        ready();
    }

    void ready()
    {
        ASSERT_TRUE(waitForState(kSimReady));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return form->monitor().network().signalLevel() > 0; }, kWait));
        uint16_t status = 0;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (status = SetLoadFieldLimits()) == 0; }, kWait))
            << status;
    }

    // Reads a storage as the list does, again while the SIM is still busy.
    void load(uint8_t storage)
    {
        uint16_t status = 0;
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return (status = SmsLoadMessages(storage)) == 0; }, kWait))
            << status;
    }

    int inboxCount()
    {
        return SmsGetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM) +
               SmsGetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_CARD);
    }

    // A move run as the list window makes it, on the program's store.
    SmsRuns &moveRun(std::function<void(size_t, size_t)> progress = {})
    {
        runs =
            std::make_unique<SmsRuns>(*programStore, SmsRuns::Hooks{{}, std::move(progress), {}});
        return *runs;
    }

    MessageWatch watch;
    std::vector<int> pauses;
    std::unique_ptr<SmsStoreAccess> programStore = MakeProgramSmsStore();
    std::unique_ptr<SmsRuns> runs;
};

TEST_F(SmsEndToEnd, ALongMessageArrivingLastPartFirstReadsWhole)
{
    ASSERT_NO_FATAL_FAILURE(start());
    std::string text;
    for (int i = 0; text.size() < 400; ++i)
        text += "Line " + std::to_string(i) + " of the long one. ";
    virtualmodem::IncomingSms sms;
    sms.from = "+59899123456";
    sms.text = text;
    sms.partsReversed = true;
    ASSERT_EQ(card->deliverSms(sms), "");

    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.arrived.size() == 3; }, kWait));
    // Each notice carries the message as it then stands; the last one is whole.
    EXPECT_EQ(watch.arrived[0].usedSlots(), 1);
    const SmsItem &whole = watch.arrived[2];
    EXPECT_EQ(whole.usedSlots(), 3);
    EXPECT_EQ(std::string(whole.text), text);

    // The list shows it as one row, whole.
    ASSERT_EQ(whole.storage, SMS_STORE_SIM);
    TFrmSmsList *list = AppWindow<TFrmSmsList>();
    ASSERT_NE(list, nullptr);
    list->ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_SIM);
    const std::vector<SmsItem> &inbox = list->model().rows();
    ASSERT_EQ(inbox.size(), 1u);
    EXPECT_EQ(list->ListViewSms->topLevelItemCount(), 1);
    EXPECT_EQ(std::string(inbox[0].text), text);
    EXPECT_STREQ(inbox[0].number, "+59899123456");
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_EQ(inbox[0].partSlots[slot].partNumber, slot + 1);
    EXPECT_EQ(SmsGetMessageCount(SMS_FOLDER_INBOX, whole.storage), 3);
}

TEST_F(SmsEndToEnd, ASendToThreeNumbersStopsAtTheOneThatFails)
{
    ASSERT_NO_FATAL_FAILURE(start());
    card->setSmsFailing("+59899000222", true);
    const std::string recipients = kOwnNumber + ";+59899000222;+59899000333";
    int sent = -1;
    const uint16_t status =
        SmsSendMessage("Meet at nine", recipients.c_str(), SMS_STORE_SIM, true, &sent);
    EXPECT_NE(status, 0);
    EXPECT_EQ(sent, 1);

    // The first went out (and, sent to the card's own number, comes back).
    ASSERT_TRUE(QTest::qWaitFor([&] { return inboxCount() == 1; }, kWait));
    const std::vector<SmsItem> copies = folderItems(SMS_FOLDER_SENT, SMS_STORE_PC);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].number, kOwnNumber);
    EXPECT_STREQ(copies[0].text, "Meet at nine");
    // The second is kept unsent; the third was never tried.
    const std::vector<SmsItem> drafts = folderItems(SMS_FOLDER_DRAFTS, SMS_STORE_PC);
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_STREQ(drafts[0].number, "+59899000222");
    EXPECT_EQ(drafts[0].status, SMS_STATUS_UNSENT);

    // Sent again once the number works, a long text goes in parts, spaced.
    card->setSmsFailing("+59899000222", false);
    const std::string longText(200, 'x');
    EXPECT_EQ(SmsSendMessage(longText.c_str(), "+59899000222", SMS_STORE_SIM, false, &sent), 0);
    EXPECT_EQ(sent, 2);
    EXPECT_EQ(pauses, std::vector<int>{2000});
}

TEST_F(SmsEndToEnd, AReportNamesTheNumberOfTheMessageItFollows)
{
    ASSERT_NO_FATAL_FAILURE(start());
    platform::copyToField(FileStore().allConfig().smsStatusReport,
                          sizeof FileStore().allConfig().smsStatusReport, "0");
    platform::copyToField(FileStore().allConfig().smsStorage,
                          sizeof FileStore().allConfig().smsStorage, "0");
    ASSERT_EQ(_MEC_SetSmsConfig(BuildSmsConfigBlock(FileStore().allConfig())), 0);
    int sent = 0;
    ASSERT_EQ(SmsSendMessage("Did you get it?", kOwnNumber.c_str(), SMS_STORE_SIM, true, &sent), 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !watch.reports.empty(); }, kWait));
    const SmsReportPayload &report = watch.reports.front();
    EXPECT_EQ(report.number, kOwnNumber);
    // The SMS main screen shows it in a box of its own, naming the number.
    TFrmSmsMain *smsMain = AppWindow<TFrmSmsMain>();
    ASSERT_NE(smsMain, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !smsMain->reportBoxes().empty(); }, kWait));
    EXPECT_TRUE(
        smsMain->reportBoxes().front()->boxText().contains(QString::fromStdString(kOwnNumber)));
    const std::vector<SmsItem> copies = folderItems(SMS_FOLDER_SENT, SMS_STORE_PC);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_STREQ(copies[0].number, report.number);
}

TEST_F(SmsEndToEnd, AFlashMessageIsShownNotStoredAndABroadcastGoesToTheClock)
{
    ASSERT_NO_FATAL_FAILURE(start());
    load(SMS_STORE_SIM);
    virtualmodem::IncomingSms flash;
    flash.from = "+59899777000";
    flash.text = "Read me now";
    flash.messageClass = 0;
    ASSERT_EQ(card->deliverSms(flash), "");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return boxes.contains(QStringLiteral("+59899777000:\r\nRead me now\r\n")); }, kWait))
        << boxes.join(u'|').toStdString();
    load(SMS_STORE_SIM);
    load(SMS_STORE_CARD);
    EXPECT_EQ(inboxCount(), 0);
    EXPECT_TRUE(watch.arrived.empty());
    for (const virtualmodem::MessageStorage &storage : card->snapshot().messageStorages)
        EXPECT_TRUE(storage.messages.empty()) << storage.name;

    ASSERT_EQ(card->deliverBroadcast(50, "Rain 14:00"), "");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form->Label_clock->text() == QStringLiteral("Rain 14:00"); }, kWait));
}

TEST_F(SmsEndToEnd, AFullSimRefusesASaveAndAMoveLosesNothing)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(card->setMessageCapacity("SM", 3));
    ASSERT_TRUE(card->fillMessages("SM", 3));
    // A SIM's size never changes while it is in: the engine learns the new one from the card's
    // next answer about the storage, which the load gives.
    load(SMS_STORE_SIM);
    ASSERT_EQ(SetLoadFieldLimits(), 0);
    ASSERT_EQ(SmsGetMessageCount(SMS_FOLDER_ALL, SMS_STORE_SIM), 3);

    SmsItem draft{};
    draft.storage = SMS_STORE_SIM;
    draft.status = SMS_STATUS_UNSENT;
    draft.folder = SMS_FOLDER_DRAFTS;
    std::strcpy(draft.text, "No room");
    EXPECT_EQ(SmsSaveMessage(&draft), 4205);
    EXPECT_EQ(card->snapshot().messageStorages[0].messages.size(), 3u);

    // Into the PC instead, then moved to the SIM: refused as full, and kept where it was.
    draft.storage = SMS_STORE_PC;
    ASSERT_EQ(SmsSaveMessage(&draft), 0);
    EXPECT_EQ(SmsCheckCapacity(SMS_STORE_SIM, 1), 4205);
    const SmsRunResult result = moveRun().Move(folderItems(SMS_FOLDER_DRAFTS, SMS_STORE_PC));
    EXPECT_EQ(result.fullNotice, text::kSmsSimFull);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(card->snapshot().messageStorages[0].messages.size(), 3u);
    load(SMS_STORE_PC);
    EXPECT_EQ(textsOf(folderItems(SMS_FOLDER_DRAFTS, SMS_STORE_PC)),
              std::multiset<std::string>{"No room"});
}

TEST_F(SmsEndToEnd, TheCardPulledInTheMiddleOfAMoveLosesNothing)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(card->fillMessages("SM", 5));
    load(SMS_STORE_SIM);
    const std::vector<SmsItem> onSim = folderItems(SMS_FOLDER_ALL, SMS_STORE_SIM);
    ASSERT_EQ(onSim.size(), 5u);

    const SmsRunResult result = moveRun([&](size_t done, size_t) {
                                    if (done == 2)
                                        card->removeCard();
                                }).Move(onSim);
    EXPECT_EQ(result.succeeded, 2);
    EXPECT_EQ(result.failed, 3);

    ASSERT_TRUE(QTest::qWaitFor([&] { return form->monitor().cardState() != kSimReady; }, kWait));
    ASSERT_TRUE(card->insertCard());
    ASSERT_NO_FATAL_FAILURE(ready());
    load(SMS_STORE_SIM);
    load(SMS_STORE_PC);
    std::multiset<std::string> after = textsOf(folderItems(SMS_FOLDER_ALL, SMS_STORE_SIM));
    const std::multiset<std::string> onPc = textsOf(folderItems(SMS_FOLDER_ALL, SMS_STORE_PC));
    EXPECT_EQ(onPc.size(), 2u);
    after.insert(onPc.begin(), onPc.end());
    EXPECT_EQ(after, textsOf(onSim));
}

TEST_F(SmsEndToEnd, AMoveWhoseOriginalCannotBeDeletedLeavesNoCopy)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(card->fillMessages("SM", 1));
    load(SMS_STORE_SIM);
    card->setMissingCommands({"+CMGD"});
    EXPECT_EQ(moveRun().Move(folderItems(SMS_FOLDER_ALL, SMS_STORE_SIM)).failed, 1);
    load(SMS_STORE_PC);
    EXPECT_TRUE(folderItems(SMS_FOLDER_ALL, SMS_STORE_PC).empty());
    EXPECT_EQ(card->snapshot().messageStorages[0].messages.size(), 1u);

    // Tried again once the card deletes: one copy on the PC, none left on the SIM.
    card->setMissingCommands({});
    EXPECT_EQ(moveRun().Move(folderItems(SMS_FOLDER_ALL, SMS_STORE_SIM)).succeeded, 1);
    EXPECT_EQ(textsOf(folderItems(SMS_FOLDER_ALL, SMS_STORE_PC)),
              std::multiset<std::string>{"Message 1"});
    EXPECT_TRUE(folderItems(SMS_FOLDER_ALL, SMS_STORE_SIM).empty());
    EXPECT_TRUE(card->snapshot().messageStorages[0].messages.empty());
}

// The composer in the program: a two-part text to three numbers of which the card refuses one.
// Each recipient is tried, each gets its own result and its own copy on the PC.
TEST_F(SmsEndToEnd, TheComposerSendsToEachNumberAndShowsEachResult)
{
    ASSERT_NO_FATAL_FAILURE(start());
    card->setSmsFailing("+59899000222", true);
    form->show();
    form->MsgButtonClick();
    platform::PostMessage(form, WM_OPEN_COMPOSER, kComposeNew, 0);
    QCoreApplication::sendPostedEvents();
    auto *composer = AppWindow<TFrmSmsEdit>();
    ASSERT_TRUE(composer->isVisible());
    composer->EdRecvPer->setText(
        QString::fromStdString(kOwnNumber + ";+59899000222\xef\xbc\x9b+59899000333"));
    composer->MeContent->setPlainText(QString(161, u'x'));
    QStringList results;
    platform::setDialogResponder([&](QDialog &dialog) -> std::optional<int> {
        if (auto *shown = dynamic_cast<SmsSendResults *>(&dialog)) {
            results << shown->LbCounts->text();
            for (int row = 0; row < shown->LvResults->topLevelItemCount(); ++row)
                results << shown->LvResults->topLevelItem(row)->text(0) + u' ' +
                               shown->LvResults->topLevelItem(row)->text(1);
        }
        return QDialog::Accepted;
    });
    boxes.clear();
    composer->btnSentClick();

    EXPECT_EQ(boxes, QStringList{"6" + platform::GetLanguageString(text::kSmsWillBeSent)});
    ASSERT_EQ(results.size(), 4);
    EXPECT_EQ(results[0], platform::GetLanguageString(text::kSmsToSend) + ":6, " +
                              platform::GetLanguageString(text::kSucceeded) + ":4, " +
                              platform::GetLanguageString(text::kFailed) + ":2");
    EXPECT_EQ(results[2],
              "+59899000222 " + platform::GetLanguageString(text::kSmsNotSent).trimmed());
    EXPECT_TRUE(results[3].startsWith("+59899000333 "));
    EXPECT_EQ(folderItems(SMS_FOLDER_SENT, SMS_STORE_PC).size(), 2u);
    const std::vector<SmsItem> drafts = folderItems(SMS_FOLDER_DRAFTS, SMS_STORE_PC);
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_STREQ(drafts[0].number, "+59899000222");
    EXPECT_EQ(std::string(drafts[0].text), std::string(161, 'x'));
    // The message to the card's own number comes back in two parts, read whole.
    ASSERT_TRUE(QTest::qWaitFor([&] { return inboxCount() == 2; }, kWait));
    // Back on the SMS screen it was opened from.
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(composer->isVisible());
    EXPECT_TRUE(AppWindow<TFrmSmsMain>()->isVisible());
}
