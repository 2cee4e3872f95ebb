// USSD on the real engine against the virtual card, in every form real cards use.
#include "EngineFixture.h"

#include "codec/Hex.h"
#include "codec/Unicode.h"

namespace engine_test {
namespace {

struct Replies {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<_MEC_USSD_REPLY> records;
};
Replies g_replies;

intptr_t sinkSendReply(void *, uint32_t message, uint32_t, uint32_t, const void *data, size_t size)
{
    if (message == MEC_MSG_USSD_REPLY && data && size == sizeof(_MEC_USSD_REPLY)) {
        std::lock_guard lock(g_replies.mutex);
        g_replies.records.push_back(*static_cast<const _MEC_USSD_REPLY *>(data));
        g_replies.changed.notify_all();
    }
    return 255;
}

LumacoreWindowSink g_ussdSink{nullptr, sinkPost, sinkSendReply};

// The record's text as the program reads it: UCS-2 hex under 0x48, else the text itself.
std::string textOf(const _MEC_USSD_REPLY &record)
{
    if (record.dataCodingScheme == 0x48) {
        auto bytes = codec::bytesFromHex(record.text);
        return bytes ? codec::utf8FromUtf16BigEndian(*bytes).value_or("?") : "?";
    }
    EXPECT_EQ(record.dataCodingScheme, 0x0Fu);
    return record.text;
}

class UssdEngineTest : public ReadyCardTest {
protected:
    UssdEngineTest() : ReadyCardTest("lumacore-ussd") {}

    void SetUp() override
    {
        ReadyCardTest::SetUp();
        ASSERT_EQ(_MEC_RegisterAppHandle(&g_ussdSink, 0), 0);
        std::lock_guard lock(g_replies.mutex);
        g_replies.records.clear();
    }

    // The next reply the engine delivers, after the `count` already seen.
    std::optional<_MEC_USSD_REPLY> reply(size_t count, std::chrono::milliseconds limit = 5000ms)
    {
        std::unique_lock lock(g_replies.mutex);
        if (!g_replies.changed.wait_for(lock, limit,
                                        [&] { return g_replies.records.size() > count; }))
            return std::nullopt;
        return g_replies.records[count];
    }
    size_t seen()
    {
        std::lock_guard lock(g_replies.mutex);
        return g_replies.records.size();
    }

    // A request and its reply: the reply's type and text.
    std::pair<int, std::string> ask(const std::string &code)
    {
        const size_t before = seen();
        EXPECT_EQ(_MEC_SendUssdRequest(code.c_str(), static_cast<uint32_t>(code.size())), 0) << code;
        auto record = reply(before);
        if (!record)
            return {-1, "no reply"};
        return {static_cast<int>(record->resultType), textOf(*record)};
    }
};

const std::string kGerman = "Ihr Guthaben beträgt 12,50 €. Gültig bis 31.12.2026. Grüße von Brisa!";
const std::string kRussian = "Ваш баланс: 150,00 руб. Спасибо, что вы с нами!";
const std::string kEmoji = "Bonus aktiviert 🎉 Danke! 😀";

TEST_F(UssdEngineTest, EveryFormOfReplyAndRequestACardUsesGivesTheText)
{
    struct Case {
        const char *what;
        std::vector<virtualmodem::Quirk> quirks;
        const char *charset;
    };
    using virtualmodem::Quirk;
    const Case cases[] = {
        {"packed hex and UCS-2 hex", {}, "IRA"},
        {"text in the GSM set", {Quirk::UssdText}, "GSM"},
        {"text in a UCS2 set", {Quirk::UssdText}, "UCS2"},
        {"unpacked hex", {Quirk::UssdUnpacked}, "IRA"},
        {"UCS-2 under scheme 15", {Quirk::UssdUcs2As15}, "IRA"},
        {"an empty reply first", {Quirk::UssdEmptyFirst}, "IRA"},
        {"replies over several lines", {Quirk::UssdMultiLine}, "GSM"},
        {"the reply before the OK", {Quirk::UssdHoldOk}, "IRA"},
        {"requests only as hex", {Quirk::UssdRequestHex}, "IRA"},
        {"requests only as packed hex", {Quirk::UssdRequestPacked}, "IRA"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        // A fresh engine: it learns each card's request form anew.
        ASSERT_EQ(_MEC_Shutdown(), 0);
        ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
        ASSERT_EQ(_MEC_RegisterAppHandle(&g_ussdSink, 0), 0);
        for (auto quirk : c.quirks)
            card->setQuirk(quirk, true);
        ASSERT_EQ(Engine::current()->run(std::string("AT+CSCS=\"") + c.charset + "\"").status, 0);
        EXPECT_EQ(ask("*100#"), std::make_pair(0, kGerman));
        EXPECT_EQ(ask("*101#"), std::make_pair(0, kRussian));
        EXPECT_EQ(ask("*102#"), std::make_pair(0, kEmoji));
        // A dialogue: the answers go in the form the card took.
        EXPECT_EQ(ask("*123#").first, 1);
        auto tariffs = ask("2");
        EXPECT_EQ(tariffs.first, 1);
        EXPECT_NE(tariffs.second.find("Tarif S (5 €)\n2 Tarif M"), std::string::npos)
            << tariffs.second;
        EXPECT_EQ(_MEC_SendUssdCancel(), 0);
        for (auto quirk : c.quirks)
            card->setQuirk(quirk, false);
    }
}

TEST_F(UssdEngineTest, TheNetworkEndsRefusesAndTakesItsTime)
{
    EXPECT_EQ(ask("*135#"), std::make_pair(2, std::string()));
    EXPECT_EQ(ask("*999#"), std::make_pair(4, std::string()));
    // Slower than a command's time-out, whether the card holds its OK for it or not.
    card->setUssdDelay(true, 2500ms);
    for (bool holdOk : {false, true}) {
        card->setQuirk(virtualmodem::Quirk::UssdHoldOk, holdOk);
        EXPECT_EQ(ask("*130#"), std::make_pair(0, std::string("Ihr Guthaben: 3,20 €")));
    }
}

TEST_F(UssdEngineTest, ACancelledSessionSendsNoLateReply)
{
    card->setUssdDelay(false, 300ms);
    const size_t before = seen();
    ASSERT_EQ(_MEC_SendUssdRequest("*100#", 5), 0);
    EXPECT_EQ(_MEC_SendUssdCancel(), 0);
    // The next request's reply is the first to come.
    EXPECT_EQ(ask("*101#"), std::make_pair(0, kRussian));
    EXPECT_EQ(seen(), before + 1);
}

}  // namespace
}  // namespace engine_test
