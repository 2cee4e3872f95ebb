// The engine's short-message calls end to end against the virtual card: a long message that
// arrives last part first, sending to several numbers with one refused, status reports, class 0,
// cell broadcasts, the unread flag a listing does not lose, a full SIM and the PC storage.
#include "EngineFixture.h"
#include "Store.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <string>
#include <vector>

using namespace lumacore;
using namespace std::chrono_literals;

namespace {

struct Heard {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<uint8_t, uint16_t>> arrived;
    std::vector<std::tuple<uint8_t, std::string, std::string>> reports;
    std::vector<std::pair<std::string, std::string>> flashes;
    std::vector<std::string> broadcasts;

    template <typename Predicate>
    bool waitFor(Predicate predicate)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return predicate(*this); });
    }
};
Heard g_heard;

template <typename Change>
MEC_STATUS record(Change &&change)
{
    std::lock_guard lock(g_heard.mutex);
    change(g_heard);
    g_heard.changed.notify_all();
    return 0;
}

_MEC_SMS_RECORD outgoing(const std::string &to, const std::string &text, uint8_t storage = 0)
{
    _MEC_SMS_RECORD message{};
    message.storage = storage;
    message.status = 4;  // unsent
    copyOut(message.recipient, sizeof message.recipient, to);
    copyOut(message.text, sizeof message.text, text);
    message.coding = 4;
    return message;
}

std::vector<_MEC_SMS_RECORD> walk(uint8_t storage)
{
    std::vector<_MEC_SMS_RECORD> records;
    if (_MEC_LoadMessages(storage) != 0)
        return records;
    _MEC_SMS_RECORD message{};
    message.storage = storage;
    for (uint16_t status = _MEC_GetFirstMessage(0, &message); status == 0;
         status = _MEC_GetNextMessage(&message)) {
        records.push_back(message);
        message = _MEC_SMS_RECORD{};
        message.storage = storage;
    }
    return records;
}

class SmsEngineTest : public engine_test::ReadyCardTest {
protected:
    SmsEngineTest() : ReadyCardTest("lumacore-sms") {}

    void SetUp() override
    {
        ReadyCardTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(_MEC_NetcardStart(), 0);
    }

    void beforeStartup() override
    {
        card->setSmsReportDelay(100ms);
        {
            std::lock_guard lock(g_heard.mutex);
            g_heard.arrived.clear();
            g_heard.reports.clear();
            g_heard.flashes.clear();
            g_heard.broadcasts.clear();
        }
        EXPECT_EQ(0,
                  _MEC_SetCallBackSmsArriveNew(
                      [](uint8_t storage, uint16_t index) {
                          return record([&](Heard &h) { h.arrived.emplace_back(storage, index); });
                      },
                      0));
        EXPECT_EQ(0, _MEC_SetCallBackSmsSendReportArrive(
                         [](uint8_t status, const char *number, const char *time) {
                             return record(
                                 [&](Heard &h) { h.reports.emplace_back(status, number, time); });
                         },
                         0));
        EXPECT_EQ(0, _MEC_SetCallBackSmsArriveClass0(
                         [](const char *number, const char *text) {
                             return record([&](Heard &h) { h.flashes.emplace_back(number, text); });
                         },
                         0));
        EXPECT_EQ(0, _MEC_SetCallBackSmsArriveBroadcast(
                         [](const char *text) {
                             return record([&](Heard &h) { h.broadcasts.push_back(text); });
                         },
                         0));
        SmsConfigBlock settings{};
        settings.validity = '2';
        settings.statusReport = 0;
        settings.storage = '0';
        ASSERT_EQ(_MEC_SetSmsConfig(settings), 0);  // before start-up: kept
    }

    void afterShutdown() override
    {
        EXPECT_EQ(0, _MEC_SetCallBackSmsArriveNew(nullptr, 0));
        EXPECT_EQ(0, _MEC_SetCallBackSmsSendReportArrive(nullptr, 0));
        EXPECT_EQ(0, _MEC_SetCallBackSmsArriveClass0(nullptr, 0));
        EXPECT_EQ(0, _MEC_SetCallBackSmsArriveBroadcast(nullptr, 0));
    }
};

TEST_F(SmsEngineTest, LongMessageArrivingLastPartFirstIsAnnouncedAndReadWhole)
{
    std::string text;
    for (int i = 0; text.size() < 400; ++i)
        text += "part of a long message " + std::to_string(i) + " ";
    virtualmodem::IncomingSms incoming;
    incoming.from = "+5491140005555";
    incoming.text = text;
    incoming.partsReversed = true;
    ASSERT_EQ(card->deliverSms(incoming), "");
    ASSERT_TRUE(g_heard.waitFor([](Heard &h) { return h.arrived.size() == 3; }));

    auto parts = walk(0);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts.front().partNumber, 3);  // stored in the order it came
    std::sort(parts.begin(), parts.end(),
              [](auto &a, auto &b) { return a.partNumber < b.partNumber; });
    std::string joined;
    for (const auto &part : parts) {
        EXPECT_EQ(uint32_t{part.longMessage}, 1u);  // a copy: the record is packed
        EXPECT_EQ(part.partCount, 3);
        EXPECT_EQ(part.reference, parts.front().reference);
        EXPECT_STREQ(part.sender, "+5491140005555");
        EXPECT_EQ(part.status, 2);  // unread, though the listing marked them read on the card
        joined += part.text;
    }
    EXPECT_EQ(joined, text);
    // Read once more: still unread, until the program says otherwise.
    EXPECT_EQ(walk(0).front().status, 2);
    ASSERT_EQ(_MEC_SetMessageStatus(parts[0].index, 1, 0), 0);
    for (const auto &again : walk(0))
        EXPECT_EQ(again.status, again.index == parts[0].index ? 1 : 2);
}

// Commits to the PC store while it runs.
template <typename Work>
int commitsDuring(Work &&work)
{
    static std::atomic<int> commits;
    commits = 0;
    auto hook = [](void *) {
        ++commits;
        return 0;
    };
    {
        auto lock = pcStore().lock();
        sqlite3_commit_hook(pcStore().database(), hook, nullptr);
    }
    work();
    auto lock = pcStore().lock();
    sqlite3_commit_hook(pcStore().database(), nullptr, nullptr);
    return commits;
}

TEST_F(SmsEngineTest, TheFirstReadOfManyNewMessagesKeepsTheirUnreadMarksInOneCommit)
{
    constexpr size_t kNew = 12;
    for (size_t n = 1; n <= kNew; ++n) {
        virtualmodem::IncomingSms incoming;
        incoming.from = "+5491140005555";
        incoming.text = "New " + std::to_string(n);
        ASSERT_EQ(card->deliverSms(incoming), "");
    }
    ASSERT_TRUE(g_heard.waitFor([](Heard &h) { return h.arrived.size() == kNew; }));
    std::vector<_MEC_SMS_RECORD> read;
    // At most one commit: the marks were kept as each message arrived (it is read then, to tell
    // a flash message the card filed), or all at once by this first listing.
    EXPECT_LE(commitsDuring([&] { read = walk(0); }), 1);
    ASSERT_EQ(read.size(), kNew);
    for (const _MEC_SMS_RECORD &again : walk(0))
        EXPECT_EQ(again.status, 2);  // the card marked them read; the engine did not forget
}

TEST_F(SmsEngineTest, SendingToThreeNumbersGivesEachItsOwnResultAndReport)
{
    card->setSmsFailing("+5491149999999", true);
    SmsConfigBlock settings{};
    settings.validity = '1';
    settings.statusReport = 1;
    settings.storage = '0';
    ASSERT_EQ(_MEC_SetSmsConfig(settings), 0);
    const std::vector<std::string> to{"+5491140001111", "+5491149999999", "+5491140002222"};
    std::vector<uint16_t> results;
    for (const std::string &number : to) {
        auto message = outgoing(number, "Meeting at eight");
        results.push_back(_MEC_SendMessage(&message));
    }
    EXPECT_EQ(results, (std::vector<uint16_t>{0, 20021, 0}));  // +CMS ERROR 21: refused
    ASSERT_TRUE(g_heard.waitFor([](Heard &h) { return h.reports.size() == 2; }));
    std::lock_guard lock(g_heard.mutex);
    EXPECT_EQ(std::get<0>(g_heard.reports[0]), 0);  // delivered
    EXPECT_EQ(std::get<1>(g_heard.reports[0]), to[0]);
    EXPECT_EQ(std::get<1>(g_heard.reports[1]), to[2]);
    EXPECT_EQ(std::get<2>(g_heard.reports[1]).size(), 19u);  // "YYYY-MM-DD HH:MM:SS"
}

TEST_F(SmsEngineTest, LongTextSentToItselfComesBackInParts)
{
    std::string text(200, 'x');
    auto message = outgoing("+5491140000001", text);
    message.coding = 1;
    ASSERT_EQ(_MEC_SendMessage(&message), 0);
    ASSERT_TRUE(g_heard.waitFor([](Heard &h) { return h.arrived.size() == 2; }));
    auto parts = walk(0);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(std::string(parts[0].text) + parts[1].text, text);
    EXPECT_EQ(parts[1].partNumber, 2);
}

TEST_F(SmsEngineTest, ClassZeroIsShownNotStoredAndBroadcastsArrive)
{
    virtualmodem::IncomingSms flash;
    flash.from = "+5491140007777";
    flash.text = "Your balance is low";
    flash.messageClass = 0;
    ASSERT_EQ(card->deliverSms(flash), "");
    ASSERT_EQ(card->deliverBroadcast(50, "Cell 0012 Palermo"), "");
    ASSERT_TRUE(g_heard.waitFor(
        [](Heard &h) { return h.flashes.size() == 1 && h.broadcasts.size() == 1; }));
    {
        std::lock_guard lock(g_heard.mutex);
        EXPECT_EQ(g_heard.flashes[0].first, "+5491140007777");
        EXPECT_EQ(g_heard.flashes[0].second, "Your balance is low");
        EXPECT_EQ(g_heard.broadcasts[0], "Cell 0012 Palermo");
        EXPECT_TRUE(g_heard.arrived.empty());
    }
    EXPECT_TRUE(walk(0).empty());
    EXPECT_TRUE(walk(2).empty());
}

// Many cards file a flash message like any other when +CNMI asks them to store and announce.
TEST_F(SmsEngineTest, FlashMessageTheCardFiledIsShownAndTakenOffTheCard)
{
    card->setQuirk(virtualmodem::Quirk::FlashStored, true);
    virtualmodem::IncomingSms flash;
    flash.from = "+5491140007777";
    flash.text = "Your balance is low";
    flash.messageClass = 0;
    ASSERT_EQ(card->deliverSms(flash), "");
    ASSERT_TRUE(g_heard.waitFor([](Heard &h) { return h.flashes.size() == 1; }));
    {
        std::lock_guard lock(g_heard.mutex);
        EXPECT_EQ(g_heard.flashes[0].first, "+5491140007777");
        EXPECT_EQ(g_heard.flashes[0].second, "Your balance is low");
        EXPECT_TRUE(g_heard.arrived.empty());
    }
    EXPECT_TRUE(walk(0).empty());
    // An ordinary message still arrives as one.
    flash.messageClass.reset();
    ASSERT_EQ(card->deliverSms(flash), "");
    ASSERT_TRUE(g_heard.waitFor([](Heard &h) { return h.arrived.size() == 1; }));
    EXPECT_EQ(walk(0).size(), 1u);
}

// Messages received into the card's own memory: +CPMS? then names only "ME", and the SIM's size
// is still known.
TEST_F(SmsEngineTest, SimCapacityKnownWhileMessagesArriveInTheCard)
{
    ASSERT_EQ(_MEC_SetSmsSaveLocation(1), 0);
    for (const auto &[storage, capacity] : {std::pair{0, 20u}, std::pair{1, 100u}}) {
        _MEC_FIELD_SIZES sizes{};
        sizes.size = sizeof sizes;
        sizes.storage = uint8_t(storage);
        ASSERT_EQ(_MEC_GetFieldSizes(&sizes), 0);
        EXPECT_EQ(uint32_t{sizes.messageCapacity}, capacity) << storage;
    }
    // Still received into the card.
    uint32_t location = 9;
    ASSERT_EQ(_MEC_GetSmsSaveLocation(&location), 0);
    EXPECT_EQ(location, 1u);
    EXPECT_EQ(card->snapshot().selectedStorages[2], "ME");
}

TEST_F(SmsEngineTest, FullSimRefusesTheWriteAndKeepsWhatItHolds)
{
    ASSERT_TRUE(card->fillMessages("SM", 20));
    auto draft = outgoing("+5491140001111", "one too many");
    EXPECT_EQ(_MEC_SaveMessage(&draft), 20322);  // +CMS ERROR 322: memory full
    EXPECT_EQ(walk(0).size(), 20u);
    // The same draft goes to the card's own memory and to the PC.
    draft.storage = 1;
    ASSERT_EQ(_MEC_SaveMessage(&draft), 0);
    EXPECT_EQ(draft.index, 1);
    draft.storage = 2;
    ASSERT_EQ(_MEC_SaveMessage(&draft), 0);
    auto inCard = walk(1);
    auto pc = walk(2);
    ASSERT_EQ(inCard.size(), 1u);
    ASSERT_EQ(pc.size(), 1u);
    EXPECT_STREQ(inCard[0].text, "one too many");
    EXPECT_STREQ(pc[0].recipient, "+5491140001111");
    EXPECT_EQ(pc[0].status, 4);
    EXPECT_EQ(_MEC_DeleteMessage(pc[0].index, 2), 0);
    EXPECT_TRUE(walk(2).empty());
    EXPECT_EQ(_MEC_DeleteMessage(inCard[0].index, 1), 0);
    EXPECT_TRUE(walk(1).empty());
}

// The PC keeps text as it is, also for a 7-bit message: '@' and '_' are GSM codes 0x00 and 0x11,
// but a PC record holds text, not codes.
TEST_F(SmsEngineTest, ThePcKeepsSevenBitTextAsWritten)
{
    auto draft = outgoing("+5491140001111", "write to a_b@example.com");
    draft.storage = 2;
    draft.coding = 1;
    draft.textLength = static_cast<uint8_t>(std::strlen(draft.text));
    ASSERT_EQ(_MEC_SaveMessage(&draft), 0);
    const auto pc = walk(2);
    ASSERT_EQ(pc.size(), 1u);
    EXPECT_STREQ(pc[0].text, "write to a_b@example.com");
}

TEST_F(SmsEngineTest, MessagesGoToThePcWhenThatIsWhereTheyAreKept)
{
    SmsConfigBlock settings{};
    settings.storage = '2';
    ASSERT_EQ(_MEC_SetSmsConfig(settings), 0);
    virtualmodem::IncomingSms incoming;
    incoming.from = "+5491140005555";
    incoming.text = "Привет";
    ASSERT_EQ(card->deliverSms(incoming), "");
    ASSERT_TRUE(g_heard.waitFor([](Heard &h) { return h.arrived.size() == 1; }));
    {
        std::lock_guard lock(g_heard.mutex);
        EXPECT_EQ(g_heard.arrived[0].first, 2);
    }
    auto pc = walk(2);
    ASSERT_EQ(pc.size(), 1u);
    EXPECT_STREQ(pc[0].text, "Привет");
    EXPECT_EQ(pc[0].status, 2);
    EXPECT_EQ(pc[0].receiveTime.hasZone, 1);  // the network's zone is kept with its time
    EXPECT_TRUE(walk(0).empty());  // removed from the SIM once it was on the PC
    char centre[MEC_SMS_CENTER_TEXT_SIZE]{};
    ASSERT_EQ(_MEC_GetSmsCenter(centre), 0);
    EXPECT_STREQ(centre, "+5491100009000");
    EXPECT_EQ(_MEC_SetSmsCenter("+54;AT"), 7003);
    ASSERT_EQ(_MEC_SetSmsCenter("+5491100001234"), 0);
    ASSERT_EQ(_MEC_GetSmsCenter(centre), 0);
    EXPECT_STREQ(centre, "+5491100001234");
}

}  // namespace
