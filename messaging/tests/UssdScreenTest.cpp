// The USSD screen over the scripted engine: the operator's balance code, the wait for a reply on
// the program's clock, and what a code the network would not take shows.
#include "UI_Ussd.h"
#include "UssdBalanceCode.h"
#include "UssdWaiting.h"

#include "RecordingHost.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "lumacore/fake/FakeLumacore.h"
#include "platform/Clock.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace {

class SteppedClock final : public platform::Clock {
public:
    uint32_t now = 1000;
    uint32_t tickCount() const override { return now; }
};

const char kDatabase[] = R"(<?xml version="1.0"?>
<serviceproviders format="2.0">
  <country code="de">
    <provider><name>Netz Eins</name>
      <gsm><network-id mcc="262" mnc="01"/><network-id mcc="262" mnc="06"/>
        <balance-check><ussd>*100#</ussd></balance-check>
        <balance-top-up><ussd replacement="CODE">*103*CODE#</ussd></balance-top-up>
      </gsm></provider>
    <provider><name>Ohne Code</name>
      <gsm><network-id mcc="262" mnc="07"/></gsm></provider>
  </country>
  <country code="ar">
    <provider><name>Brisa</name>
      <gsm><network-id mcc="722" mnc="310"/>
        <balance-check><ussd>#150#</ussd></balance-check></gsm></provider>
    <provider><name>Short code twin</name>
      <gsm><network-id mcc="722" mnc="31"/>
        <balance-check><ussd>*999#</ussd></balance-check></gsm></provider>
  </country>
</serviceproviders>)";

}  // namespace

TEST(UssdBalanceCode, TheOperatorsCodeIsFoundAndTheOneThePersonKeepsWins)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString database = folder.filePath("serviceproviders.xml");
    {
        QFile file(database);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kDatabase);
    }
    KeptBalanceCodes kept(folder.filePath("settings/balance-codes"));
    struct Case {
        const char *imsi;
        std::optional<QString> code;
    };
    const Case fromDatabase[] = {
        {"262011234567890", QStringLiteral("*100#")},
        {"262061234567890", QStringLiteral("*100#")},  // a second network of the provider
        {"262071234567890", std::nullopt},              // an operator without one
        {"722310123456789", QStringLiteral("#150#")},   // the longer operator code wins
        {"999991234567890", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case &c : fromDatabase) {
        const auto found = BalanceCodeFor(c.imsi, kept, database);
        EXPECT_EQ(found ? std::optional(found->code) : std::nullopt, c.code) << c.imsi;
    }
    // The person's own code for one operator, kept over the database's and replaced later.
    ASSERT_TRUE(kept.keep({QStringLiteral("*101#"), QStringLiteral("26201")}));
    ASSERT_TRUE(kept.keep({QStringLiteral("*102#"), QStringLiteral("26201")}));
    ASSERT_TRUE(kept.keep({QStringLiteral("*5#"), QStringLiteral("72231")}));
    EXPECT_EQ(BalanceCodeFor("262011234567890", kept, database)->code, QStringLiteral("*102#"));
    EXPECT_EQ(BalanceCodeFor("262061234567890", kept, database)->code, QStringLiteral("*100#"));
    EXPECT_EQ(BalanceCodeFor("722310123456789", kept, database)->code, QStringLiteral("*5#"));
    EXPECT_FALSE(kept.keep({QStringLiteral("*1 00#"), QStringLiteral("26201")}));
    EXPECT_FALSE(BalanceCodeFor("262011234567890", kept, folder.filePath("missing.xml")) ==
                 std::nullopt);
    QBuffer broken;
    broken.setData("<serviceproviders><provider>");
    broken.open(QIODevice::ReadOnly);
    EXPECT_EQ(FindBalanceCode(broken, "262011234567890"), std::nullopt);
}

TEST(UssdWaiting, TheWaitEndsAfter48SecondsOnTheClockHoweverFewTicksCame)
{
    SteppedClock clock;
    platform::setClock(&clock);
    UssdWaiting waiting;
    waiting.start();
    auto tick = waiting.tick(QStringLiteral("Waiting"));
    EXPECT_FALSE(tick.timedOut);
    EXPECT_EQ(tick.shown, QStringLiteral("    Waiting*"));
    // A window thread held up for most of the wait: three ticks, yet the time is up.
    clock.now += 47999;
    EXPECT_FALSE(waiting.tick(QStringLiteral("Waiting")).timedOut);
    clock.now += 1;
    EXPECT_TRUE(waiting.tick(QStringLiteral("Waiting")).timedOut);
    EXPECT_FALSE(waiting.running());
    // Across the wrap of the 32-bit tick count too.
    clock.now = 0xFFFFF000u;
    waiting.start();
    clock.now += 10000;
    EXPECT_FALSE(waiting.tick(QStringLiteral("Waiting")).timedOut);
    clock.now += 38000;
    EXPECT_TRUE(waiting.tick(QStringLiteral("Waiting")).timedOut);
    platform::setClock(nullptr);
}

class UssdScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        if (!platform::stringManager())
            platform::createStringManager();
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool) {
            boxes << text;
            return 1;
        });
        ASSERT_EQ(StartBusinessLogic(0, 400, 0), 0);
        ASSERT_EQ(RegisterMainWindow(&host, 0), 0);
        lumacore_fake::onCall(&_MEC_GetSIMCardOperator, [](char *imsi) -> MEC_STATUS {
            std::strcpy(imsi, "262011234567890");
            return 0;
        });
        lumacore_fake::onCall(&_MEC_SendUssdRequest, [this](const char *text, uint32_t length) -> MEC_STATUS {
            sent.emplace_back(text, length);
            return 0;
        });
        QFile file(folder.filePath("serviceproviders.xml"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kDatabase);
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler({});
        platform::setClock(nullptr);
        (void)StopBusinessLogic();
        RegisterMainWindow(nullptr, 1);
        lumacore_fake::reset();
    }
    void settle()
    {
        QCoreApplication::processEvents();
        screen->Refresh();
    }

    QTemporaryDir folder;
    RecordingHost host;
    std::unique_ptr<Tussdfrm> screen;
    std::vector<std::string> sent;
    QStringList boxes;
};

TEST_F(UssdScreenTest, TheBalanceButtonSendsTheOperatorsCodeAndTheWaitGivesUpOnTime)
{
    SteppedClock clock;
    platform::setClock(&clock);
    screen = std::make_unique<Tussdfrm>(host, folder.filePath("serviceproviders.xml"),
                                        folder.filePath("balance-codes"));
    screen->SetDeviceState(kSimReady);
    settle();
    ASSERT_TRUE(screen->balanceCode());
    EXPECT_EQ(screen->balanceCode()->code, QStringLiteral("*100#"));
    EXPECT_TRUE(screen->btnBalance->isEnabled());
    screen->btnBalanceClick();
    settle();
    EXPECT_EQ(sent, std::vector<std::string>{"*100#"});
    EXPECT_TRUE(screen->USSDTimer->isActive());
    EXPECT_FALSE(screen->btnSend->isEnabled());
    // No reply: the wait gives up at 48 s and the session is cancelled.
    screen->USSDTimerTimer();
    clock.now += 48000;
    screen->USSDTimerTimer();
    settle();
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SendUssdCancel"), 1);
    EXPECT_FALSE(screen->USSDTimer->isActive());
    EXPECT_FALSE(UssdIsBusy());
    EXPECT_TRUE(screen->btnSend->isEnabled());
}

TEST_F(UssdScreenTest, ACodeTheNetworkWouldNotTakeIsRefusedAndTheOwnCodeIsKept)
{
    screen = std::make_unique<Tussdfrm>(host, folder.filePath("serviceproviders.xml"),
                                        folder.filePath("balance-codes"));
    screen->SetDeviceState(kSimReady);
    settle();
    screen->USSDStr->setText(QStringLiteral("hello"));
    screen->btnSendClick();
    EXPECT_EQ(boxes, QStringList{platform::GetLanguageString(9003)});
    EXPECT_TRUE(sent.empty());
    // The person's own balance code, kept for this operator and sent by the button from now on.
    screen->USSDStr->setText(QStringLiteral("*111*1#"));
    screen->btnKeepBalanceClick();
    Tussdfrm again(host, folder.filePath("serviceproviders.xml"), folder.filePath("balance-codes"));
    again.SetDeviceState(kSimReady);
    ASSERT_TRUE(again.balanceCode());
    EXPECT_EQ(again.balanceCode()->code, QStringLiteral("*111*1#"));
    // Typing past 133 characters is cut back with a word.
    screen->USSDStr->setText(QString(140, QLatin1Char('1')));
    EXPECT_EQ(screen->USSDStr->text().size(), 133);
    EXPECT_EQ(boxes.size(), 2);
}
