#include "config/BL_File.h"
#include "logic/BL_Set.h"
#include "logic/BL_Sms.h"
#include "lumacore/fake/FakeLumacore.h"
#include "platform/Clock.h"
#include "MessageCatcher.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>
#include <string>
#include <vector>

namespace {

class FixedClock : public platform::Clock {
public:
    QDateTime localNow() const override { return QDateTime(QDate(2026, 12, 9), QTime(8, 30, 5)); }
};

// The engine's side: field sizes of 140 octets, what was saved and sent, and failures on cue.
struct Engine {
    static inline uint32_t capacity[3] = {};
    static inline int held[3] = {};  // messages each storage holds when it is read
    static inline std::vector<_MEC_SMS_RECORD> saved;
    static inline std::vector<_MEC_SMS_RECORD> sent;
    static inline size_t failSaveAt = SIZE_MAX;  // the save call (from 0) that fails
    static inline size_t failSendAt = SIZE_MAX;
    static inline int cursor = 0;

    static void install()
    {
        saved.clear();
        sent.clear();
        failSaveAt = failSendAt = SIZE_MAX;
        lumacore_fake::onCall(&_MEC_GetFieldSizes, [](_MEC_FIELD_SIZES *sizes) -> MEC_STATUS {
            sizes->messageCapacity = capacity[sizes->storage];
            sizes->messageBits = 1120;
            sizes->messageCodings = 1 | 4;
            std::strcpy(sizes->numberCharacters, "0123456789+*#");
            return 0;
        });
        lumacore_fake::onCall(&_MEC_SaveMessage, [](_MEC_SMS_RECORD *record) -> MEC_STATUS {
            if (saved.size() == failSaveAt)
                return 20322;
            record->index = static_cast<uint16_t>(100 + saved.size());
            saved.push_back(*record);
            return 0;
        });
        lumacore_fake::onCall(&_MEC_SendMessage, [](const _MEC_SMS_RECORD *record) -> MEC_STATUS {
            if (sent.size() == failSendAt)
                return 20500;
            sent.push_back(*record);
            return 0;
        });
        lumacore_fake::onCall(&_MEC_GetFirstMessage, [](uint8_t, _MEC_SMS_RECORD *record) {
            cursor = 0;
            return next(record);
        });
        lumacore_fake::onCall(&_MEC_GetNextMessage, &next);
    }

    static MEC_STATUS next(_MEC_SMS_RECORD *record)
    {
        if (cursor >= held[record->storage])
            return 13;
        record->index = static_cast<uint16_t>(++cursor);
        record->status = SMS_STATUS_READ;
        std::strcpy(record->text, "held");
        return 0;
    }
};

std::string textOf(const _MEC_SMS_RECORD &record)
{
    return std::string(record.text, record.textLength);
}

class SmsSendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        lumacore_fake::reset();
        Engine::install();
        platform::setClock(&m_clock);
        platform::setPauseHandler([this](int ms) { pauses.push_back(ms); });
        file = std::make_unique<TBL_File>(m_folder.path());
        store = std::make_unique<TBL_sms>(&settings, file.get());
    }
    void TearDown() override
    {
        platform::setPauseHandler({});
        platform::setClock(nullptr);
        lumacore_fake::reset();
    }

    void fill(std::array<uint32_t, 3> capacities, std::array<int, 3> held)
    {
        for (int s = 0; s < 3; ++s) {
            Engine::capacity[s] = capacities[s];
            Engine::held[s] = held[s];
        }
        ASSERT_EQ(settings.LoadFieldLimits(), 0);
        for (uint8_t s : {SMS_STORE_SIM, SMS_STORE_PC})
            ASSERT_EQ(store->LoadMessages(s), 0);
    }

    static SmsItem draft(uint8_t storage, const std::string &number, const std::string &text)
    {
        SmsItem item{};
        item.recordSize = sizeof item;
        item.storage = storage;
        item.status = SMS_STATUS_UNSENT;
        item.folder = SMS_FOLDER_DRAFTS;
        std::strcpy(item.number, number.c_str());
        std::strcpy(item.text, text.c_str());
        return item;
    }

    FixedClock m_clock;
    QTemporaryDir m_folder;
    TBLSet settings;
    std::unique_ptr<TBL_File> file;
    std::unique_ptr<TBL_sms> store;
    std::vector<int> pauses;
};

TEST_F(SmsSendTest, TextsAreCodedAndCutByTheirUnits)
{
    fill({50, 50, 50}, {0, 0, 0});
    const std::string a152(152, 'a');
    struct Case {
        const char *name;
        std::string text;
        uint8_t coding;
        std::vector<size_t> partBytes;  // GSM codes, or bytes of system-code-page text
    };
    const Case cases[] = {
        {"exactly one message", std::string(160, 'a'), 1, {160}},
        {"one more: 153 and 8", std::string(161, 'a'), 1, {153, 8}},
        {"a bracket counts two", std::string(158, 'a') + "[", 1, {160}},
        {"a bracket tips it over", std::string(159, 'a') + "[", 1, {153, 8}},
        {"currency sign counts two", std::string(158, 'a') + "\u00a4", 1, {160}},
        {"an escape pair is never cut", a152 + "[bbbbbbbb", 1, {152, 10}},
        {"A umlaut needs 16 bits", "\u00c4", 4, {2}},
        {"euro needs 16 bits", "5 \u20ac", 4, {5}},
        {"70 wide characters are one message", std::string(69, 'x') + "\u00c4", 4, {71}},
        {"71 are 67 and 4", std::string(70, 'x') + "\u00c4", 4, {67, 5}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Engine::sent.clear();
        int sent = -1;
        ASSERT_EQ(store->SendMessage(c.text.c_str(), "555", SMS_STORE_CARD, false, &sent), 0);
        ASSERT_EQ(Engine::sent.size(), c.partBytes.size());
        EXPECT_EQ(sent, static_cast<int>(c.partBytes.size()));
        for (size_t i = 0; i < c.partBytes.size(); ++i) {
            const _MEC_SMS_RECORD &record = Engine::sent[i];
            EXPECT_EQ(record.coding, c.coding);
            EXPECT_EQ(record.textLength, c.partBytes[i]) << "part " << i + 1;
            const uint32_t flagged = record.longMessage;  // a packed field, read by value
            EXPECT_EQ(flagged, c.partBytes.size() > 1 ? 1u : 0u);
            if (c.partBytes.size() > 1) {
                EXPECT_EQ(record.partNumber, i + 1);
                EXPECT_EQ(record.partCount, c.partBytes.size());
                EXPECT_EQ(record.reference, Engine::sent[0].reference);
            }
        }
    }
}

// Letters no default alphabet has go in 7 bits under the national tables that have them, each
// part giving up the room of their header element: 149 septets beside the Turkish one.
TEST_F(SmsSendTest, TurkishGoesInSevenBitsUnderItsTables)
{
    fill({50, 50, 50}, {0, 0, 0});
    std::string text;
    for (int i = 0; i < 156; ++i)
        text += "\u015f";  // ş
    int sent = -1;
    ASSERT_EQ(store->SendMessage(text.c_str(), "555", SMS_STORE_CARD, false, &sent), 0);
    ASSERT_EQ(Engine::sent.size(), 2u);
    for (const _MEC_SMS_RECORD &record : Engine::sent) {
        EXPECT_EQ(record.coding, 1);
        EXPECT_EQ(record.lockingShift, 1);
        EXPECT_EQ(record.singleShift, 0);
    }
    EXPECT_EQ(Engine::sent[0].textLength, 149);
    EXPECT_EQ(Engine::sent[1].textLength, 7);
    EXPECT_EQ(static_cast<uint8_t>(Engine::sent[0].text[0]), 0x1D);  // ş in the Turkish table
}

TEST_F(SmsSendTest, AccentedLettersKeepTheirCodesOrFold)
{
    fill({50, 50, 50}, {0, 0, 0});
    ASSERT_EQ(store->SendMessage("\u00c9\u00e0\u00ca[", "555", SMS_STORE_SIM, false, nullptr), 0);
    ASSERT_EQ(Engine::sent.size(), 1u);
    EXPECT_EQ(textOf(Engine::sent[0]), std::string("\x1f\x7f"
                                                   "E\x1b\x3c"));
}

TEST_F(SmsSendTest, CapacityRefusesWhatDoesNotFitBeforeTheEngineIsAsked)
{
    struct Case {
        const char *name;
        uint8_t storage;
        uint32_t capacity;
        int held;
        std::string text;
        uint16_t expected;
    };
    const Case cases[] = {
        {"full SIM", SMS_STORE_SIM, 3, 3, "hi", 4205},
        {"one place, one message", SMS_STORE_SIM, 3, 2, "hi", 0},
        {"one place, two parts", SMS_STORE_SIM, 3, 2, std::string(161, 'a'), 4205},
        {"full PC", SMS_STORE_PC, 2, 2, "hi", 4204},
        {"capacity never reported", SMS_STORE_SIM, 0, 7, "hi", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::array<uint32_t, 3> capacities{50, 50, 50};
        std::array<int, 3> held{0, 0, 0};
        capacities[c.storage] = c.capacity;
        held[c.storage] = c.held;
        store = std::make_unique<TBL_sms>(&settings, file.get());
        fill(capacities, held);
        Engine::saved.clear();
        SmsItem item = draft(c.storage, "555", c.text);
        EXPECT_EQ(store->SaveMessage(&item), c.expected);
        EXPECT_EQ(Engine::saved.empty(), c.expected != 0);
    }
    // The card's own code, on its own capacity.
    store = std::make_unique<TBL_sms>(&settings, file.get());
    fill({50, 0, 50}, {0, 0, 0});
    Engine::capacity[SMS_STORE_CARD] = 1;
    ASSERT_EQ(settings.LoadFieldLimits(), 0);
    EXPECT_EQ(store->CheckCapacity(SMS_STORE_CARD, 2), 4206);
}

TEST_F(SmsSendTest, ADraftWithoutRecipientsIsStoredOnceWithTheTimeWrittenBack)
{
    fill({50, 50, 50}, {0, 0, 0});
    SmsItem item = draft(SMS_STORE_PC, "", "note to self");
    ASSERT_EQ(store->SaveMessage(&item), 0);
    ASSERT_EQ(Engine::saved.size(), 1u);
    EXPECT_STREQ(Engine::saved[0].recipient, "");
    EXPECT_EQ(Engine::saved[0].sendTime.hour, 8);
    EXPECT_STREQ(item.time, "2026-12-09  08:30:05");

    const std::vector<SmsItem> drafts = store->Items(SMS_STORE_PC);
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_EQ(drafts[0].storageIndex, 100);
    EXPECT_STREQ(drafts[0].text, "note to self");
    EXPECT_EQ(store->GetMessageCount(SMS_FOLDER_DRAFTS, SMS_STORE_PC), 1);

    // A received message keeps its sender, a name that is no number, and its own time.
    SmsItem received = draft(SMS_STORE_PC, "My Bank", "Your card is ready");
    received.status = SMS_STATUS_READ;
    received.folder = SMS_FOLDER_INBOX;
    std::strcpy(received.time, "2026-11-30  17:45:00");
    ASSERT_EQ(store->SaveMessage(&received), 0);
    ASSERT_EQ(Engine::saved.size(), 2u);
    EXPECT_STREQ(Engine::saved[1].sender, "My Bank");
    EXPECT_EQ(Engine::saved[1].receiveTime.day, 30);
    EXPECT_EQ(Engine::saved[1].receiveTime.minute, 45);
}

TEST_F(SmsSendTest, ASavedLongMessageIsMergedAndAFailedPartKeepsWhatWasStored)
{
    fill({50, 50, 50}, {0, 0, 0});
    const std::string text = std::string(153, 'a') + std::string(153, 'b') + "c";
    SmsItem item = draft(SMS_STORE_SIM, "111;222", text);
    ASSERT_EQ(store->SaveMessage(&item), 0);
    ASSERT_EQ(Engine::saved.size(), 6u);
    const std::vector<SmsItem> items = store->Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(std::string(items[0].text), text);
    EXPECT_STREQ(items[1].number, "222");
    EXPECT_NE(Engine::saved[0].reference, Engine::saved[3].reference);
    EXPECT_EQ(store->GetMessageCount(SMS_FOLDER_DRAFTS, SMS_STORE_SIM), 6);

    Engine::failSaveAt = Engine::saved.size() + 1;
    SmsItem broken = draft(SMS_STORE_SIM, "333", text);
    EXPECT_EQ(store->SaveMessage(&broken), 20322);
    EXPECT_EQ(store->GetMessageCount(SMS_FOLDER_DRAFTS, SMS_STORE_SIM), 7);

    // 160 letters of two bytes each are one message of GSM codes on the SIM; kept as text on
    // the PC they would not fit one record, and go whole in two.
    std::string greek;
    for (int i = 0; i < 160; ++i)
        greek += "Δ";
    Engine::saved.clear();
    Engine::failSaveAt = SIZE_MAX;
    SmsItem onSim = draft(SMS_STORE_SIM, "", greek);
    ASSERT_EQ(store->SaveMessage(&onSim), 0);
    SmsItem onPc = draft(SMS_STORE_PC, "", greek);
    ASSERT_EQ(store->SaveMessage(&onPc), 0);
    ASSERT_EQ(Engine::saved.size(), 3u);
    EXPECT_EQ(Engine::saved[0].textLength, 160);
    EXPECT_EQ(std::string(Engine::saved[1].text) + Engine::saved[2].text, greek);
}

TEST_F(SmsSendTest, AFailedPartStopsTheCallAndLeavesAnUnsentCopy)
{
    fill({50, 50, 50}, {0, 0, 0});
    const int32_t before = file->allConfig().concatReference.get();
    Engine::failSendAt = 3;  // the second part to the second recipient
    int sent = 0;
    const std::string text(161, 'z');
    EXPECT_EQ(store->SendMessage(text.c_str(), "111;222;333", SMS_STORE_CARD, true, &sent), 20500);
    EXPECT_EQ(sent, 3);
    ASSERT_EQ(Engine::sent.size(), 3u);
    EXPECT_STREQ(Engine::sent[2].recipient, "222");
    EXPECT_EQ(pauses, (std::vector<int>{2000, 2000, 2000}));

    const std::vector<SmsItem> copies = store->Items(SMS_STORE_PC);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_STREQ(copies[0].number, "111");
    EXPECT_EQ(copies[0].folder, SMS_FOLDER_SENT);
    EXPECT_EQ(std::string(copies[0].text), text);
    EXPECT_STREQ(copies[1].number, "222");
    EXPECT_EQ(copies[1].folder, SMS_FOLDER_DRAFTS);
    EXPECT_EQ(copies[1].status, SMS_STATUS_UNSENT);
    // Two recipients' sends and two copies each drew on the counter.
    EXPECT_EQ(file->allConfig().concatReference.get(), before + 4);
}

TEST_F(SmsSendTest, ACopyKeepsAllOfAVeryLongTextAndTooManyPartsAreRefused)
{
    fill({50, 50, 50}, {0, 0, 0});
    std::string text;
    for (int i = 0; text.size() < 900; ++i)
        text += std::to_string(i) + ' ';
    int sent = 0;
    ASSERT_EQ(store->SendMessage(text.c_str(), "555", SMS_STORE_CARD, true, &sent), 0);
    EXPECT_EQ(sent, 6);
    std::string kept;
    for (const SmsItem &copy : store->Items(SMS_STORE_PC))
        kept += copy.text;  // five parts and one: two items
    EXPECT_EQ(kept, text);

    Engine::sent.clear();
    const std::string tooLong(153 * 255 + 1, 'a');
    EXPECT_EQ(store->SendMessage(tooLong.c_str(), "555", SMS_STORE_CARD, false, &sent), 6);
    EXPECT_TRUE(Engine::sent.empty());
}

TEST_F(SmsSendTest, BadArgumentsAreRefusedBeforeSending)
{
    fill({50, 50, 50}, {0, 0, 0});
    struct Case {
        const char *text;
        const char *recipients;
        uint16_t expected;
    };
    const std::string many = [] {
        std::string numbers;
        for (int i = 0; i < 201; ++i)
            numbers += "5;";
        return numbers + "5";
    }();
    const Case cases[] = {
        {nullptr, "555", 1},  {"hi", "", 1000},    {"hi", nullptr, 1000},
        {"hi", "5;;6", 4207}, {"hi", "55a", 4207}, {"hi", many.c_str(), 4208},
    };
    for (const Case &c : cases) {
        int sent = -1;
        EXPECT_EQ(store->SendMessage(c.text, c.recipients, SMS_STORE_CARD, true, &sent),
                  c.expected);
        EXPECT_EQ(sent, 0);
    }
    EXPECT_TRUE(Engine::sent.empty());
    EXPECT_TRUE(Engine::saved.empty());
}

}  // namespace
