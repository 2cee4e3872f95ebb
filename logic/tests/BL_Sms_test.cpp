#include "logic/BL_Sms.h"
#include "lumacore/fake/FakeLumacore.h"
#include "MessageCatcher.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <map>

namespace {

struct Part {
    uint16_t index;
    uint8_t partNumber;
    const char *text;
    uint8_t status = 1;
    const char *sender = "+59899000111";
    uint16_t reference = 42;
    uint8_t partCount = 3;
    bool flaggedLong = false;  // the long-message flag even without a part count
    uint16_t day = 8;          // of December 2026, 10:00
};

_MEC_SMS_RECORD recordOf(const Part &part, uint8_t storage)
{
    _MEC_SMS_RECORD record{};
    record.index = part.index;
    record.longMessage = part.partCount > 1 || part.flaggedLong ? 1 : 0;
    record.reference = part.reference;
    record.partCount = part.partCount;
    record.partNumber = part.partNumber;
    record.status = part.status;
    record.storage = storage;
    std::strcpy(record.sender, part.sender);
    std::strcpy(record.text, part.text);
    record.receiveTime = {2026, 12, part.day, 10, 0, 0, 4, 1};
    return record;
}

// The engine's copy of one storage, read by GetMessage. As the engine does, a walk
// (GetFirst/GetNext) goes over what the last load of its storage read, not over what the
// storage holds now.
class FakeStorage {
public:
    static inline std::vector<Part> parts;
    static inline std::map<uint8_t, std::vector<Part>> loaded;
    static inline size_t cursor = 0;

    static void install()
    {
        cursor = 0;
        loaded.clear();
        lumacore_fake::onCall(&_MEC_LoadMessages, [](uint8_t storage) -> MEC_STATUS {
            loaded[storage] = parts;
            return 0;
        });
        lumacore_fake::onCall(&_MEC_GetFirstMessage,
                              [](uint8_t, _MEC_SMS_RECORD *record) -> MEC_STATUS {
                                  cursor = 0;
                                  return next(record);
                              });
        lumacore_fake::onCall(&_MEC_GetNextMessage,
                              [](_MEC_SMS_RECORD *record) -> MEC_STATUS { return next(record); });
        lumacore_fake::onCall(&_MEC_GetMessage,
                              [](uint16_t index, _MEC_SMS_RECORD *record) -> MEC_STATUS {
                                  for (const Part &part : parts) {
                                      if (part.index == index) {
                                          *record = recordOf(part, record->storage);
                                          return 0;
                                      }
                                  }
                                  return 13;
                              });
    }

    static MEC_STATUS next(_MEC_SMS_RECORD *record)
    {
        const std::vector<Part> &walked = loaded[record->storage];
        if (cursor >= walked.size()) {
            return 13;
        }
        *record = recordOf(walked[cursor++], record->storage);
        return 0;
    }
};

class SmsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        lumacore_fake::reset();
        FakeStorage::parts.clear();
        FakeStorage::install();
    }
    void TearDown() override { lumacore_fake::reset(); }

    TBL_sms store;
};

TEST_F(SmsStoreTest, AnEmptyStorageLoadsAsSuccessWithZeroCounts)
{
    EXPECT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    EXPECT_TRUE(store.Items(SMS_STORE_SIM).empty());
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_ALL, SMS_STORE_SIM), 0);
}

TEST_F(SmsStoreTest, AFailingEngineLoadIsPassedOnAndNothingIsRead)
{
    lumacore_fake::onCall(&_MEC_LoadMessages,
                          [](uint8_t) -> MEC_STATUS { return MEC_ERR_TIMEOUT; });
    EXPECT_EQ(store.LoadMessages(SMS_STORE_SIM), MEC_ERR_TIMEOUT);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_GetFirstMessage"), 0);
}

TEST_F(SmsStoreTest, PartsArrivingOutOfOrderJoinIntoOneItemInPartOrder)
{
    FakeStorage::parts = {{13, 3, "three."}, {11, 1, "one, "}, {12, 2, "two, "}};
    std::vector<std::string> reported;
    for (const uint16_t index : {13, 11, 12}) {
        SmsItem item{};
        ASSERT_EQ(store.OnNewMessage(SMS_STORE_SIM, index, &item), 0);
        reported.emplace_back(item.text);
    }
    EXPECT_EQ(reported,
              (std::vector<std::string>{"[...]three.", "one, [...]three.", "one, two, three."}));

    const std::vector<SmsItem> items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_STREQ(items[0].text, "one, two, three.");
    EXPECT_EQ(items[0].usedSlots(), 3);
    EXPECT_EQ(items[0].partSlots[0].partNumber, 1);
    EXPECT_EQ(items[0].partSlots[1].partNumber, 2);
    EXPECT_EQ(items[0].partSlots[2].partNumber, 3);
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM), 3);
    const std::optional<SmsItem> found = store.FindMessageByIndex(12, SMS_STORE_SIM);
    ASSERT_TRUE(found.has_value());
    EXPECT_STREQ(found->text, "one, two, three.");
    EXPECT_FALSE(store.FindMessageByIndex(14, SMS_STORE_SIM).has_value());
}

TEST_F(SmsStoreTest, OneUnreadPartMakesTheMergedMessageUnread)
{
    FakeStorage::parts = {{1, 1, "a", 1}, {2, 2, "b", 2}, {3, 3, "c", 1}};
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    const auto items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].status, SMS_STATUS_UNREAD);
}

TEST_F(SmsStoreTest, SameReferenceFromDifferentSendersStaysApart)
{
    FakeStorage::parts = {
        {1, 1, "a1", 1, "+111", 7, 2},
        {2, 1, "b1", 1, "+222", 7, 2},
        {3, 2, "a2", 1, "+111", 7, 2},
        {4, 2, "b2", 1, "+222", 7, 2},
    };
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    std::map<std::string, std::string> bySender;
    for (const SmsItem &item : store.Items(SMS_STORE_SIM)) {
        bySender[item.number] = item.text;
    }
    EXPECT_EQ(bySender, (std::map<std::string, std::string>{{"+111", "a1a2"}, {"+222", "b1b2"}}));
}

TEST_F(SmsStoreTest, ASixPartMessageBecomesTwoItems)
{
    for (uint8_t i = 1; i <= 6; ++i) {
        FakeStorage::parts.push_back({static_cast<uint16_t>(20 + i), i, "x", 1, "+111", 9, 6});
    }
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    const auto items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].usedSlots() + items[1].usedSlots(), 6);
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM), 6);
}

TEST_F(SmsStoreTest, ALongMessagePartWithoutAPartCountStillCountsOne)
{
    // The engine flags it as part of a long message but gives no part count: it is never
    // merged, is shown by the walk, and must not vanish from the counters.
    FakeStorage::parts = {{5, 1, "lonely", 1, "+1", 3, 0, true}, {6, 1, "single", 1, "+2", 0, 1}};
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    ASSERT_EQ(store.Items(SMS_STORE_SIM).size(), 2u);
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM), 2);
}

TEST_F(SmsStoreTest, LoadingTheCardAlsoReadsThePcStorageAsItIsNow)
{
    ASSERT_EQ(store.LoadMessages(SMS_STORE_PC), 0);  // at start, empty
    FakeStorage::parts = {{1, 1, "hello", 1, "+1", 0, 1}};
    ASSERT_EQ(store.LoadMessages(SMS_STORE_CARD), 0);
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_ALL, SMS_STORE_CARD), 1);
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_ALL, SMS_STORE_PC), 1);
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_ALL, SMS_STORE_SIM), 0);
}

TEST_F(SmsStoreTest, ANoticeOfAListedMessageReplacesItInsteadOfAddingIt)
{
    struct Case {
        const char *name;
        std::vector<Part> parts;
        uint16_t announced;
        const char *text;
        int count;
    };
    const Case cases[] = {
        {"single", {{4, 0, "hi", 1, "+1", 0, 0}}, 4, "hi", 1},
        {"part of a long one",
         {{11, 1, "one, "}, {12, 2, "two, "}, {13, 3, "three."}},
         12,
         "one, two, three.",
         3},
        {"first part of a long one",
         {{11, 1, "one, "}, {12, 2, "two, "}, {13, 3, "three."}},
         11,
         "one, two, three.",
         3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeStorage::parts = c.parts;
        ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
        SmsItem reported{};
        ASSERT_EQ(store.OnNewMessage(SMS_STORE_SIM, c.announced, &reported), 0);
        EXPECT_STREQ(reported.text, c.text);
        const std::vector<SmsItem> items = store.Items(SMS_STORE_SIM);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_STREQ(items[0].text, c.text);
        EXPECT_EQ(items[0].messageCount(), c.count);
        EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM), c.count);
    }
}

TEST_F(SmsStoreTest, ALongMessageWhoseDeleteStopsHalfWayListsOnlyWhatIsLeft)
{
    FakeStorage::parts = {{11, 1, "one, "}, {12, 2, "two, "}, {13, 3, "three."}};
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    lumacore_fake::onCall(&_MEC_DeleteMessage, [](uint16_t index, uint8_t) -> MEC_STATUS {
        return index == 12 ? 20321 : 0;
    });
    EXPECT_EQ(store.DeleteMessage(store.Items(SMS_STORE_SIM).at(0)), 20321);

    std::vector<SmsItem> items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].usedSlots(), 2);
    EXPECT_STREQ(items[0].text, "[...]two, three.");  // the deleted first part leaves its mark
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_INBOX, SMS_STORE_SIM), 2);
    EXPECT_FALSE(store.FindMessageByIndex(11, SMS_STORE_SIM).has_value());

    // Deleted again, what was left goes; the part already gone is not asked for.
    lumacore_fake::clearCalls();
    lumacore_fake::onCall(&_MEC_DeleteMessage, [](uint16_t, uint8_t) -> MEC_STATUS { return 0; });
    EXPECT_EQ(store.DeleteMessage(items[0]), 0);
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_DeleteMessage"),
              (std::vector<std::string>{"12, 0", "13, 0"}));
    EXPECT_TRUE(store.Items(SMS_STORE_SIM).empty());
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_ALL, SMS_STORE_SIM), 0);
}

TEST_F(SmsStoreTest, TheWalkReturnsOnlyTheFilteredFolderInListOrder)
{
    FakeStorage::parts = {
        {1, 1, "in1", 1, "+1", 0, 1},
        {2, 1, "sent", 3, "+2", 0, 1},
        {3, 1, "in2", 2, "+3", 0, 1},
        {4, 1, "other", 5, "+4", 0, 1},
    };
    ASSERT_EQ(store.LoadMessages(SMS_STORE_PC), 0);
    EXPECT_EQ(store.GetMessageCount(SMS_FOLDER_ALL, SMS_STORE_PC), 3);  // "other" is never counted

    SmsItem item{};
    item.folder = SMS_FOLDER_INBOX;
    item.storage = SMS_STORE_PC;
    std::vector<std::string> texts;
    for (uint16_t status = store.GetFirstMessage(&item); status == 0;
         status = store.GetNextMessage(&item)) {
        texts.emplace_back(item.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"in1", "in2"}));
    EXPECT_EQ(store.GetNextMessage(&item), 13);
}

TEST_F(SmsStoreTest, JoinedTextsLongerThanTheFieldAreCutNotOverrun)
{
    const std::string long300(300, 'y');
    for (uint8_t i = 1; i <= 4; ++i) {
        FakeStorage::parts.push_back({static_cast<uint16_t>(i), i, nullptr, 1, "+1", 5, 4});
    }
    static std::string texts[4];
    for (int i = 0; i < 4; ++i) {
        texts[i] = long300;
        FakeStorage::parts[i].text = texts[i].c_str();
    }
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    const auto items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(std::strlen(items[0].text), kSmsTextBytes);
}

// A part that never came leaves a mark where it belongs, in the item and in the whole text.
TEST_F(SmsStoreTest, AMissingPartIsMarkedWhereItBelongs)
{
    const struct {
        std::vector<Part> parts;
        const char *text;
    } cases[] = {
        {{{1, 1, "one "}, {3, 3, "three"}}, "one [...]three"},
        {{{1, 1, "one "}, {2, 2, "two "}}, "one two [...]"},
        {{{2, 2, "two "}, {3, 3, "three"}}, "[...]two three"},
        {{{1, 1, "one "}, {2, 2, "two "}, {3, 3, "three"}}, "one two three"},
    };
    for (const auto &c : cases) {
        FakeStorage::parts = c.parts;
        ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
        const auto items = store.Items(SMS_STORE_SIM);
        ASSERT_EQ(items.size(), 1u) << c.text;
        EXPECT_STREQ(items[0].text, c.text);
        EXPECT_EQ(store.MessageText(items[0]), c.text);
    }
}

// A sender's 8-bit references come round again; parts days apart are two messages.
TEST_F(SmsStoreTest, AReusedReferenceDaysLaterStartsAnotherMessage)
{
    FakeStorage::parts = {
        {1, 1, "old ", 1, "+111", 7, 2, false, 1},
        {2, 2, "new", 1, "+111", 7, 2, false, 8},
        {3, 1, "same day ", 1, "+222", 7, 2, false, 8},
        {4, 2, "joins", 1, "+222", 7, 2, false, 8},
    };
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    std::vector<std::string> texts;
    for (const SmsItem &item : store.Items(SMS_STORE_SIM)) {
        texts.emplace_back(item.text);
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"[...]new", "old [...]", "same day joins"}));
}

// The engine hands the halves of an emoji cut between two UCS-2 parts over as they are.
TEST_F(SmsStoreTest, AnEmojiCutBetweenPartsJoinsWhole)
{
    platform::forceSystemCodePage("UTF-8");
    FakeStorage::parts = {{1, 1, "A\xED\xA0\xBD", 1, "+1", 6, 2}, {2, 2, "\xED\xB8\x80" "B", 1, "+1", 6, 2}};
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    const auto items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_STREQ(items[0].text, "A\U0001F600B");
    platform::forceSystemCodePage({});
}

// 67 Chinese characters a part are 201 bytes: four parts pass the 800 the item's field holds,
// and the reading screen still gets all of them.
TEST_F(SmsStoreTest, TheWholeTextOfALongMessageOutlivesTheField)
{
    std::string part;
    for (int i = 0; i < 67; ++i) {
        part += "\u4e2d";
    }
    for (uint8_t i = 1; i <= 4; ++i) {
        FakeStorage::parts.push_back({static_cast<uint16_t>(i), i, part.c_str(), 1, "+1", 5, 4});
    }
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    const auto items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_LE(std::strlen(items[0].text), kSmsTextBytes);
    EXPECT_EQ(store.MessageText(items[0]), part + part + part + part);
}

// The storage indices a whole walk of a storage returns, with one new message stored after the
// given number of steps.
std::vector<uint16_t> walkWithArrival(TBL_sms &store, size_t stepsBefore, uint16_t arriving)
{
    std::vector<uint16_t> seen;
    SmsItem item{};
    item.folder = SMS_FOLDER_ALL;
    item.storage = SMS_STORE_SIM;
    for (uint16_t status = store.GetFirstMessage(&item); status == 0;
         status = store.GetNextMessage(&item)) {
        seen.push_back(item.storageIndex);
        if (seen.size() == stepsBefore) {
            EXPECT_EQ(store.OnNewMessage(SMS_STORE_SIM, arriving, nullptr), 0);
        }
    }
    return seen;
}

TEST_F(SmsStoreTest, AWalkSeesEachMessageOnceWhileAPartJoinsItsMessage)
{
    // Two single messages and the first half of a long one; a third single message arrives,
    // then, in the middle of a walk, the second half.
    FakeStorage::parts = {{2, 0, "two", 1, "+1", 0, 0},
                          {3, 0, "three", 1, "+1", 0, 0},
                          {1, 1, "long, ", 1, "+2", 9, 2}};
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    FakeStorage::parts.push_back({5, 0, "five", 1, "+1", 0, 0});
    FakeStorage::parts.push_back({4, 2, "joined", 1, "+2", 9, 2});
    ASSERT_EQ(store.OnNewMessage(SMS_STORE_SIM, 5, nullptr), 0);

    const std::vector<uint16_t> seen = walkWithArrival(store, 3, 4);
    EXPECT_EQ(seen, (std::vector<uint16_t>{2, 3, 1, 5}));

    // The next walk sees the joined message.
    const std::vector<SmsItem> items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_STREQ(items.back().text, "long, joined");
}

// A reader on another thread, started from inside an engine call. The engine call waits up to
// two seconds for the reader's answer, as a slow card would keep it waiting.
struct ReaderDuringEngineCall {
    static inline TBL_sms *store = nullptr;
    static inline std::thread thread;
    static inline std::atomic<bool> answered{false};
    static inline bool answeredInTime = false;

    static void run(void (*read)(TBL_sms &))
    {
        answered = false;
        thread = std::thread([read] {
            read(*store);
            answered = true;
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!answered && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        answeredInTime = answered.load();
    }
};

TEST_F(SmsStoreTest, NoLockIsHeldWhileTheEngineIsAsked)
{
    ReaderDuringEngineCall::store = &store;
    lumacore_fake::onCall(&_MEC_GetFirstMessage, [](uint8_t, _MEC_SMS_RECORD *) -> MEC_STATUS {
        ReaderDuringEngineCall::run(
            [](TBL_sms &shared) { (void)shared.GetMessageCount(SMS_FOLDER_ALL, SMS_STORE_SIM); });
        return 13;
    });
    lumacore_fake::onCall(&_MEC_GetMessage, [](uint16_t, _MEC_SMS_RECORD *record) -> MEC_STATUS {
        ReaderDuringEngineCall::run([](TBL_sms &shared) { (void)shared.Items(SMS_STORE_SIM); });
        *record = recordOf({7, 0, "x", 1, "+1", 0, 0}, SMS_STORE_SIM);
        return 0;
    });

    EXPECT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    ReaderDuringEngineCall::thread.join();
    EXPECT_TRUE(ReaderDuringEngineCall::answeredInTime) << "a count waited for the storage walk";

    EXPECT_EQ(store.OnNewMessage(SMS_STORE_SIM, 7, nullptr), 0);
    ReaderDuringEngineCall::thread.join();
    EXPECT_TRUE(ReaderDuringEngineCall::answeredInTime) << "a copy waited for the message's read";
}

}  // namespace
