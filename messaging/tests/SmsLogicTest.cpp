// The SMS screens' logic without a widget: the loads as the card becomes ready, the counts and
// full notices, the list's rows and rules, and the delete and move runs.
#include "FakeSmsStore.h"
#include "SmsFolders.h"
#include "SmsListModel.h"
#include "SmsRuns.h"
#include "SmsTexts.h"

#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <gtest/gtest.h>

using platform::GetLanguageString;

namespace {

QStringList wantedTimers(const SmsFolders &folders)
{
    QStringList wanted;
    const char *names[] = {"init", "card", "sim"};
    for (int load = 0; load < SmsFolders::LoadCount; ++load)
        if (folders.timerWanted(SmsFolders::Load(load)))
            wanted << names[load];
    return wanted;
}

}  // namespace

TEST(SmsFolders, LoadsRunOncePerReadyPeriodAndRetryUntilTheyWork)
{
    FakeSmsStore store;
    SmsFolders folders(store);
    folders.SetDeviceState(11);
    EXPECT_EQ(wantedTimers(folders), (QStringList{"init", "card"}));
    // The card is not read before the engine's SMS set-up worked.
    EXPECT_FALSE(folders.Tick(SmsFolders::LoadCard));
    store.initAnswers = {7001};
    EXPECT_FALSE(folders.Tick(SmsFolders::InitSettings));
    EXPECT_TRUE(folders.Tick(SmsFolders::InitSettings));
    store.loadAnswers = {7003};
    EXPECT_FALSE(folders.Tick(SmsFolders::LoadCard));
    EXPECT_EQ(wantedTimers(folders), (QStringList{"card"}));
    EXPECT_TRUE(folders.Tick(SmsFolders::LoadCard));
    EXPECT_TRUE(wantedTimers(folders).isEmpty());
    folders.SetDeviceState(12);
    EXPECT_EQ(wantedTimers(folders), (QStringList{"sim"}));
    EXPECT_TRUE(folders.Tick(SmsFolders::LoadSim));
    EXPECT_FALSE(folders.Tick(SmsFolders::LoadSim));  // loaded: nothing more is read
    EXPECT_EQ(store.log, (QStringList{"init", "init", "load 1", "load 1", "load 0"}));

    // The card went away: the next ready period reads everything again.
    folders.SetDeviceState(1);
    EXPECT_FALSE(folders.simLoaded() || folders.cardLoaded() || folders.settingsReady());
    EXPECT_TRUE(wantedTimers(folders).isEmpty());
    folders.SetDeviceState(12);
    EXPECT_EQ(wantedTimers(folders), (QStringList{"init", "card", "sim"}));
}

TEST(SmsFolders, ACardReadyAtOnceStillGetsItsSetUpBeforeTheSimIsRead)
{
    FakeSmsStore store;
    SmsFolders folders(store);
    folders.SetDeviceState(12);
    EXPECT_FALSE(folders.Tick(SmsFolders::LoadSim));
    EXPECT_TRUE(folders.Tick(SmsFolders::InitSettings));
    EXPECT_TRUE(folders.Tick(SmsFolders::LoadSim));
    EXPECT_TRUE(folders.Tick(SmsFolders::LoadCard));
    EXPECT_EQ(store.log, (QStringList{"init", "load 0", "load 1"}));
}

TEST(SmsFolders, CountsShowTheSimOnlyOnceItWasRead)
{
    FakeSmsStore store;
    store.capacity[SMS_STORE_SIM] = 30;
    store.capacity[SMS_STORE_PC] = 500;
    store.items = {MakeItem(1, 1, SMS_STORE_PC, "+1", "", SMS_STATUS_READ, 3),
                   MakeItem(9, 1, SMS_STORE_PC, "+1", ""), MakeItem(2, 2, SMS_STORE_SIM, "+2", "")};
    SmsFolders folders(store);
    const QString messages = GetLanguageString(2049);
    SmsFolders::Counts counts = folders.CountTexts();
    EXPECT_EQ(counts.folders[0], GetLanguageString(2020) + ":4 " + messages);
    EXPECT_TRUE(counts.simCapacity.isEmpty());
    EXPECT_EQ(counts.pcCapacity, GetLanguageString(2070) + ":500 " + messages);

    folders.SetDeviceState(12);
    ASSERT_TRUE(folders.Tick(SmsFolders::InitSettings));
    ASSERT_TRUE(folders.Tick(SmsFolders::LoadSim));
    counts = folders.CountTexts();
    EXPECT_EQ(counts.folders[1], GetLanguageString(2021) + ":0 " + messages + " " +
                                     GetLanguageString(2023) + ":1 " + messages);
    EXPECT_EQ(counts.simCapacity, GetLanguageString(2052) + ":30 " + messages);

    // The card's own memory is named once it was read and holds messages of that folder.
    store.items.push_back(MakeItem(5, 1, SMS_STORE_CARD, "+5", ""));
    ASSERT_TRUE(folders.Tick(SmsFolders::LoadCard));
    counts = folders.CountTexts();
    EXPECT_TRUE(counts.folders[0].endsWith(" " + GetLanguageString(3121) + ":1 " + messages))
        << counts.folders[0].toStdString();
    EXPECT_EQ(counts.folders[1].count(':'), 2) << counts.folders[1].toStdString();  // PC, SIM
}

TEST(SmsFolders, FullNoticeNamesTheFullStorages)
{
    struct Case {
        bool simLoaded;
        int simHeld, simCapacity, pcHeld, pcCapacity;
        int notice;
    } cases[] = {
        {true, 2, 2, 5, 5, 2069}, {true, 2, 2, 4, 5, 2036},
        {true, 1, 2, 5, 5, 2068}, {false, 2, 2, 1, 5, 0},  // a SIM not read is never called full
        {true, 0, 0, 0, 0, 0},                             // capacities not known: nothing is full
        {true, 1, 2, 4, 5, 0},
    };
    for (const Case &c : cases) {
        FakeSmsStore store;
        store.capacity[SMS_STORE_SIM] = c.simCapacity;
        store.capacity[SMS_STORE_PC] = c.pcCapacity;
        for (int i = 0; i < c.simHeld; ++i)
            store.items.push_back(MakeItem(uint16_t(i), 1, SMS_STORE_SIM, "+1", ""));
        for (int i = 0; i < c.pcHeld; ++i)
            store.items.push_back(MakeItem(uint16_t(i), 1, SMS_STORE_PC, "+1", ""));
        SmsFolders folders(store);
        if (c.simLoaded) {
            folders.SetDeviceState(12);
            ASSERT_TRUE(folders.Tick(SmsFolders::InitSettings));
            ASSERT_TRUE(folders.Tick(SmsFolders::LoadSim));
        }
        EXPECT_EQ(folders.FullNotice(), c.notice) << "SIM " << c.simHeld << "/" << c.simCapacity
                                                  << " PC " << c.pcHeld << "/" << c.pcCapacity;
    }
}

TEST(SmsListModel, RowsAreNewestFirstWithUndatedDraftsLast)
{
    FakeSmsStore store;
    store.items = {MakeItem(1, 3, SMS_STORE_PC, "+1", ""),
                   MakeItem(2, 3, SMS_STORE_PC, "+2", "2026-12-01  09:00:00"),
                   MakeItem(3, 3, SMS_STORE_PC, "+3", "2026-12-08  10:00:00"),
                   MakeItem(4, 1, SMS_STORE_PC, "+4", "2026-12-09  10:00:00"),
                   MakeItem(5, 3, SMS_STORE_SIM, "+5", "2026-12-09  11:00:00")};
    SmsListModel model(store);
    model.SetFilter(SMS_FOLDER_DRAFTS, SMS_STORE_PC);
    model.Refresh();
    QStringList numbers;
    for (const SmsItem &item : model.rows())
        numbers << SmsListModel::Cells(item)[SmsListModel::NumberColumn];
    EXPECT_EQ(numbers, (QStringList{"+3", "+2", "+1"}));
    EXPECT_EQ(model.Caption(), 2003);
}

TEST(SmsListModel, CellsShowUnreadAndThePartsOfALongMessage)
{
    SmsItem whole =
        MakeItem(1, 1, SMS_STORE_PC, "+5989", "2026-12-08  10:00:00", SMS_STATUS_UNREAD, 3);
    std::strcpy(whole.contactName, "Ana");
    EXPECT_EQ(SmsListModel::Cells(whole), (QStringList{"+5989", "Ana", "2026-12-08  10:00:00",
                                                       GetLanguageString(4013), "3/3"}));
    SmsItem partial = whole;
    partial.status = SMS_STATUS_READ;
    partial.partSlots[1].present = 0;  // one part still missing
    EXPECT_EQ(SmsListModel::Cells(partial)[SmsListModel::PartsColumn], "2/3");
    EXPECT_EQ(SmsListModel::Cells(partial)[SmsListModel::StatusColumn], "");
    // A part whose slots were never filled shows no count.
    SmsItem lonePart = MakeItem(2, 1, SMS_STORE_PC, "+1", "");
    lonePart.longMessage = 1;
    EXPECT_EQ(SmsListModel::Cells(lonePart)[SmsListModel::PartsColumn], "");
}

TEST(SmsListModel, ButtonsFollowTheFolderAndTheCard)
{
    struct Case {
        uint8_t folder, state;
        bool reply, forward, move, choice;
    } cases[] = {
        {1, 12, true, true, true, true},    {2, 12, false, true, true, true},
        {3, 12, false, false, false, true}, {1, 11, false, false, false, false},
        {2, 4, false, false, false, false},
    };
    FakeSmsStore store;
    for (const Case &c : cases) {
        SmsListModel model(store);
        model.SetFilter(c.folder, SMS_STORE_PC);
        const SmsListModel::Buttons buttons = model.ButtonsFor(c.state);
        EXPECT_EQ(buttons.reply, c.reply) << int(c.folder) << "/" << int(c.state);
        EXPECT_EQ(buttons.forward, c.forward) << int(c.folder) << "/" << int(c.state);
        EXPECT_EQ(buttons.move, c.move) << int(c.folder) << "/" << int(c.state);
        EXPECT_EQ(buttons.storageChoice, c.choice) << int(c.folder) << "/" << int(c.state);
    }
    SmsListModel model(store);
    model.SetFilter(1, SMS_STORE_SIM);
    EXPECT_FALSE(model.LeaveSimUnlessReady(12));
    EXPECT_TRUE(model.LeaveSimUnlessReady(11));
    EXPECT_EQ(model.storage(), SMS_STORE_PC);
    EXPECT_FALSE(model.LeaveSimUnlessReady(11));
}

TEST(SmsListModel, ActionsTellWhatIsWrongWithTheSelection)
{
    using A = SmsListModel;
    struct Case {
        A::Action action;
        size_t selected;
        int problem;
    } cases[] = {{A::Open, 0, 2026},   {A::Open, 1, 0},       {A::Open, 2, 2029},
                 {A::Reply, 3, 2030},  {A::Forward, 2, 2031}, {A::SaveNumber, 2, 2032},
                 {A::Delete, 0, 2026}, {A::Delete, 5, 0},     {A::MoveAcross, 2, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(A::SelectionProblem(c.action, c.selected), c.problem)
            << c.action << " " << c.selected;
}

TEST(SmsRuns, DeleteCountsStoredMessagesAndGoesOnAfterAFailure)
{
    FakeSmsStore store;
    store.items = {MakeItem(1, 1, SMS_STORE_PC, "+1", "", SMS_STATUS_UNREAD),
                   MakeItem(10, 1, SMS_STORE_PC, "+2", "", SMS_STATUS_READ, 3),
                   MakeItem(20, 1, SMS_STORE_PC, "+3", "")};
    const std::vector<SmsItem> selected = store.items;
    int unreadSeen = 0;
    size_t lastProgress = 0;
    SmsRuns runs(store, {.stopRequested = {},
                         .progress = [&](size_t done, size_t) { lastProgress = done; },
                         .unreadTouched = [&](const SmsItem &) { ++unreadSeen; }});
    SmsRunResult result = runs.Delete(selected);
    EXPECT_EQ(result.total, 5);
    EXPECT_EQ(result.succeeded, 5);
    EXPECT_EQ(unreadSeen, 1);
    EXPECT_EQ(lastProgress, 3u);

    store.items = selected;
    store.deleteAnswers = {0, 20321};
    result = runs.Delete(selected);
    EXPECT_EQ(result.succeeded, 2);  // the first and the third
    EXPECT_EQ(result.failed, 3);
    EXPECT_EQ(SmsRuns::Summary(2047, result), GetLanguageString(2047) + ":5, " +
                                                  GetLanguageString(1) + ":2, " +
                                                  GetLanguageString(2) + ":3");
}

TEST(SmsRuns, StopAndAVanishedCardEndTheRun)
{
    FakeSmsStore store;
    store.items = {MakeItem(1, 1, SMS_STORE_SIM, "+1", ""), MakeItem(2, 1, SMS_STORE_SIM, "+2", ""),
                   MakeItem(3, 1, SMS_STORE_SIM, "+3", "")};
    const std::vector<SmsItem> selected = store.items;
    int asked = 0;
    SmsRuns::Hooks hooks;
    hooks.stopRequested = [&] { return ++asked > 1; };
    SmsRuns stopping(store, hooks);
    SmsRunResult result = stopping.Delete(selected);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.succeeded, 1);
    EXPECT_EQ(result.failed, 0);

    store.items = selected;
    store.log.clear();
    store.deleteAnswers = {7002};
    SmsRuns gone(store, {});
    result = gone.Delete(selected);
    EXPECT_EQ(result.failed, 3);  // not tried once the card is gone
    EXPECT_EQ(store.log, QStringList{"delete 1"});
}

TEST(SmsRuns, MovingIntoAFullSimToldOnceAndNothingLost)
{
    struct Case {
        const char *what;
        int simCapacity;
        std::deque<uint16_t> moveAnswers;
        int moved, failed;
        QStringList calls;
    } cases[] = {
        {"room for one", 2, {}, 1, 3, {"move 1 to 0", "load 0"}},
        {"the card says full", 0, {0, 20322}, 1, 3, {"move 1 to 0", "move 2 to 0", "load 0"}},
        {"room for all", 10, {}, 4, 0, {"move 1 to 0", "move 2 to 0", "move 5 to 0", "load 0"}},
    };
    for (const Case &c : cases) {
        FakeSmsStore store;
        store.capacity[SMS_STORE_SIM] = c.simCapacity;
        store.items = {MakeItem(9, 1, SMS_STORE_SIM, "+9", ""),
                       MakeItem(1, 1, SMS_STORE_PC, "+1", ""),
                       MakeItem(2, 1, SMS_STORE_PC, "+2", ""),
                       MakeItem(5, 1, SMS_STORE_PC, "+5", "", SMS_STATUS_READ, 2)};
        const std::vector<SmsItem> selected(store.items.begin() + 1, store.items.end());
        store.moveAnswers = c.moveAnswers;
        SmsRuns runs(store, {});
        const SmsRunResult result = runs.Move(selected);
        EXPECT_EQ(result.succeeded, c.moved) << c.what;
        EXPECT_EQ(result.failed, c.failed) << c.what;
        EXPECT_EQ(result.fullNotice, c.failed > 0 ? 2036 : 0) << c.what;
        EXPECT_EQ(store.log, c.calls) << c.what;
        EXPECT_EQ(store.Count(0, SMS_STORE_PC) + store.Count(0, SMS_STORE_SIM), 5) << c.what;
    }
}

TEST(SmsTexts, LongLabelsAreCutBetweenCharacters)
{
    struct Case {
        const char *codePage;
        std::string ansi;
        QString shown;
    } cases[] = {
        {"UTF-8", "Twenty bytes exactly", "Twenty bytes exactly"},
        {"UTF-8", "Ana Maria Gonzalez Diaz!!", "Ana Maria Gonzale..."},
        // Eight two-byte letters are 16 bytes: the ninth would pass the 17th byte.
        {"UTF-8",
         "\xc3\x84\xc3\x84\xc3\x84\xc3\x84\xc3\x84\xc3\x84\xc3\x84\xc3\x84\xc3\x84\xc3\x84\xc3\x84",
         QString(8, QChar(0xC4)) + "..."},
        {"GBK", "12345678901234567890", "12345678901234567890"},
        {"GBK", std::string("1234567890123456") + "\xd5\xc5\xd5\xc5\xd5\xc5",
         QStringLiteral("1234567890123456...")},
    };
    for (const Case &c : cases) {
        platform::forceSystemCodePage(c.codePage);
        EXPECT_EQ(SmsShortLabel(c.ansi), c.shown) << c.codePage << " " << c.ansi;
    }
    platform::forceSystemCodePage("");
}

TEST(SmsTexts, ReportNamesTheOutcomeTheNumberAndTheTime)
{
    SmsReportPayload report{};
    std::strcpy(report.number, "+59899123456");
    std::strcpy(report.time, "2026-12-09  01:00:00");
    EXPECT_EQ(SmsReportText(report),
              GetLanguageString(2054) + "+59899123456\n2026-12-09  01:00:00");
    // The status byte says delivered (0x00-0x1F: also forwarded or replaced), still trying
    // (0x20-0x3F: the network keeps at it) or failed (0x40 and up, reserved values included).
    const struct {
        uint8_t status;
        int text;
    } cases[] = {{0x01, 2054}, {0x1F, 2054}, {0x20, 2076}, {0x25, 2076}, {0x3F, 2076},
                 {0x40, 2055}, {0x46, 2055}, {0x65, 2055}, {0x7F, 2055}, {0xFF, 2055}};
    for (const auto &c : cases) {
        report.status = c.status;
        EXPECT_TRUE(SmsReportText(report).startsWith(GetLanguageString(c.text))) << int(c.status);
    }
}
