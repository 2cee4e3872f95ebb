// The USSD session: which codes open one, what each reply shows and what the windows are told.
#include "logic/BL_Base.h"
#include "logic/BL_Ussd.h"
#include "lumacore/fake/FakeLumacore.h"
#include "platform/ResStringManager.h"
#include "MessageCatcher.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class UssdSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        lumacore_fake::reset();
        platform::createStringManager(qEnvironmentVariable("LUMADIAL_PROGRAM_DIR") +
                                      "/language/english.so");
        ASSERT_FALSE(platform::GetLanguageStringAnsi(9004).empty());
        ASSERT_EQ(StartBusinessLogic(0, 400, 0), 0);
        ASSERT_EQ(RegisterMainWindow(window.get(), 0), 0);
        ussd.SetReady(true);
        window->messages.clear();
    }
    void TearDown() override
    {
        lumacore_fake::reset();
        ASSERT_EQ(StopBusinessLogic(), 0);
        RegisterMainWindow(nullptr, 1);
        platform::destroyStringManager();
    }

    uint16_t send(const std::string &text) { return ussd.SendRequest(text.c_str(), text.size()); }

    // The session messages since the last look: 1 opened, 0 over.
    std::vector<uint32_t> sessionNotices()
    {
        std::vector<uint32_t> notices;
        for (const auto &message : window->take(platform::WM_USSD_SESSION))
            notices.push_back(message.wParam);
        window->messages.clear();
        return notices;
    }

    static _MEC_USSD_REPLY record(uint32_t type, const char *text, uint32_t scheme = 15)
    {
        _MEC_USSD_REPLY reply{};
        reply.resultType = type;
        std::strncpy(reply.text, text, sizeof reply.text - 1);
        reply.dataCodingScheme = scheme;
        return reply;
    }

    std::unique_ptr<MessageCatcher> window = std::make_unique<MessageCatcher>();
    TBL_Ussd ussd;
};

TEST(UssdOpeningCodes, CodesTheNetworkTakesOpenASession)
{
    const std::pair<const char *, bool> cases[] = {
        {"*100#", true},  {"*133#", true},   {"*1#", true},     {"*12*3#", true},
        {"*12**#", false}, {"7", true},      {"75", true},      {"79", false},
        {"70", false},     {"#100#", true},  {"*111*1#", true}, {"*101*12*3#", true},
        {"100", false},    {"*100", false},  {"**100#", false}, {"*10a#", false},
        {"", false},       {"hello", false},
    };
    for (const auto &[code, opens] : cases)
        EXPECT_EQ(TBL_Ussd::IsOpeningCode(code), opens) << code;
}

TEST(UssdReplyText, TheCodingSchemeDecidesHowTheStringReads)
{
    struct Case {
        const char *text;
        uint32_t scheme;
        std::string shown;
    };
    const Case cases[] = {
        {"Saldo 5 EUR", 0x0F, "Saldo 5 EUR"},
        {"de\rSaldo", 0x10, "Saldo"},
        {"deSaldo", 0x11, "Saldo"},
        {"004100420043", 0x48, "ABC"},
        {"004100420043", 0x58, "ABC"},
        {"D83DDE00", 0x48, "\xF0\x9F\x98\x80"},  // a surrogate pair
        {"0412", 0x48, "\xD0\x92"},
        {"Saldo", 0xF0, ""},
        {"Saldo", 0x44, "Saldo"},
    };
    for (const Case &c : cases) {
        _MEC_USSD_REPLY reply{};
        std::strncpy(reply.text, c.text, sizeof reply.text - 1);
        reply.dataCodingScheme = c.scheme;
        EXPECT_EQ(TBL_Ussd::DecodeReplyText(reply), c.shown) << c.text << " " << c.scheme;
    }
}

TEST_F(UssdSessionTest, ADialogueOpensOnceStaysOpenForAnswersAndEndsWithTheNetworksWord)
{
    EXPECT_EQ(send("*100"), TBL_Ussd::NotACode);
    EXPECT_EQ(send(std::string(134, '1')), TBL_Ussd::BadLength);
    EXPECT_EQ(sessionNotices(), std::vector<uint32_t>{});

    EXPECT_EQ(send("*123#"), TBL_Ussd::Sent);
    EXPECT_EQ(ussd.GetState(), TBL_Ussd::Waiting);
    EXPECT_EQ(sessionNotices(), std::vector<uint32_t>{1});
    const std::string heading = platform::GetLanguageStringAnsi(9004);
    EXPECT_EQ(ussd.HandleReply(record(1, "1 Balance\n2 Tariffs")), heading + "\n\n1 Balance\n2 Tariffs");
    EXPECT_TRUE(ussd.SessionOpen());
    // An answer is no code, and goes all the same.
    EXPECT_EQ(send("2"), TBL_Ussd::Sent);
    EXPECT_EQ(sessionNotices(), std::vector<uint32_t>{});
    EXPECT_EQ(ussd.HandleReply(record(2, "")), platform::GetLanguageStringAnsi(9005) + heading);
    EXPECT_FALSE(ussd.SessionOpen());
    EXPECT_EQ(sessionNotices(), std::vector<uint32_t>{0});
    EXPECT_EQ(send("2"), TBL_Ussd::NotACode);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SendUssdRequest"), 2);
}

TEST_F(UssdSessionTest, EachEndOfASessionClosesItOnceAndTellsTheWindows)
{
    struct Case {
        const char *what;
        std::function<void(TBL_Ussd &)> end;
        std::vector<uint32_t> notices;
        uint8_t state;
    };
    const Case cases[] = {
        {"a final reply", [](TBL_Ussd &u) { u.HandleReply(record(0, "Saldo")); }, {0}, TBL_Ussd::Replied},
        {"not supported", [](TBL_Ussd &u) { u.HandleReply(record(4, "")); }, {0}, TBL_Ussd::Replied},
        {"timed out by the network", [](TBL_Ussd &u) { u.HandleReply(record(5, "")); }, {0},
         TBL_Ussd::Replied},
        {"cancel", [](TBL_Ussd &u) { EXPECT_EQ(u.Cancel(), 0); }, {0}, TBL_Ussd::Ready},
        {"the card ready again", [](TBL_Ussd &u) { u.SetReady(true); }, {0}, TBL_Ussd::Ready},
        // The card gone: the state says it, no session message.
        {"the card gone", [](TBL_Ussd &u) { u.SetReady(false); }, {}, TBL_Ussd::Unavailable},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ussd.SetReady(true);
        ASSERT_EQ(send("*100#"), TBL_Ussd::Sent);
        sessionNotices();
        c.end(ussd);
        EXPECT_FALSE(ussd.SessionOpen());
        EXPECT_EQ(ussd.GetState(), c.state);
        EXPECT_EQ(sessionNotices(), c.notices);
    }
}

TEST_F(UssdSessionTest, AnEngineFailureLeavesTheRequestSendingAndARefusedCancelStillEnds)
{
    lumacore_fake::setResult("_MEC_SendUssdRequest", MEC_ERR_TIMEOUT);
    EXPECT_EQ(send("*100#"), TBL_Ussd::EngineFailed);
    EXPECT_EQ(ussd.GetState(), TBL_Ussd::Sending);
    EXPECT_TRUE(ussd.SessionOpen());
    lumacore_fake::setResult("_MEC_SendUssdCancel", MEC_ERR_TIMEOUT);
    EXPECT_EQ(ussd.Cancel(), TBL_Ussd::EngineFailed);
    EXPECT_EQ(ussd.GetState(), TBL_Ussd::Ready);
    EXPECT_FALSE(ussd.SessionOpen());
}

}  // namespace
