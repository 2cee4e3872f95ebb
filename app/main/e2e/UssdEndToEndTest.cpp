// The USSD screen as the program makes it, with the real engine and the virtual data card: the
// balance in German, Russian and with emoji, a menu answered twice and cancelled, a network that
// never answers, and the card pulled in the middle of a dialogue.
#include "ProgramOnCard.h"
#include "UI_Affixation.h"
#include "UI_Ussd.h"

#include "config/BL_File.h"
#include "language/TextNumbers.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "platform/Clock.h"

using e2e::kWait;

namespace {

class SteppedClock final : public platform::Clock {
public:
    uint32_t now = 5000;
    uint32_t tickCount() const override { return now; }
};

}  // namespace

class UssdEndToEnd : public e2e::ProgramOnCard {
protected:
    void SetUp() override
    {
        ProgramOnCard::SetUp();
        platform::setPauseHandler([](int) {});
    }
    void TearDown() override
    {
        platform::setClock(nullptr);
        ProgramOnCard::TearDown();
    }

    // The test folder has no settings: the program's notice of it is not ours.
    void boxShown(const QString &shown, bool) override
    {
        if (!shown.startsWith(platform::GetLanguageString(text::kConfigUnreadable)))
            boxes << shown;
    }

    void start()
    {
        ASSERT_NO_FATAL_FAILURE(startOnCard());
        ASSERT_TRUE(waitForState(kSimReady));
        // Standby refused only for what the program is doing, not by the person's choice.
        FileStore().allConfig().forbidStandby = 0;
        ASSERT_FALSE(form->monitor().power().wouldDenySuspend());
        entry = AppWindow<TAffixationfrm>();
        ussd = AppWindow<Tussdfrm>();
        ASSERT_TRUE(entry && ussd);
        entry->FormShow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ussd->btnSend->isEnabled(); }, kWait));
    }

    // Types the text and sends it; true once the reply holds `expected`.
    bool ask(const QString &text, const QString &expected)
    {
        ussd->USSDStr->setText(text);
        ussd->btnSendClick();
        return QTest::qWaitFor([&] { return ussd->USSDinf->toPlainText().contains(expected); }, kWait);
    }

    TAffixationfrm *entry = nullptr;
    Tussdfrm *ussd = nullptr;
};

TEST_F(UssdEndToEnd, TheBalanceReadsInGermanRussianAndWithEmoji)
{
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_TRUE(ask("*100#", QStringLiteral("Ihr Guthaben beträgt 12,50 €. Gültig bis 31.12.2026. "
                                            "Grüße von Brisa!")))
        << ussd->USSDinf->toPlainText().toStdString();
    EXPECT_TRUE(ask("*101#", QStringLiteral("Ваш баланс: 150,00 руб. Спасибо, что вы с нами!")))
        << ussd->USSDinf->toPlainText().toStdString();
    EXPECT_TRUE(ask("*102#", QStringLiteral("Bonus aktiviert 🎉 Danke! 😀")))
        << ussd->USSDinf->toPlainText().toStdString();
    EXPECT_FALSE(UssdIsBusy());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

TEST_F(UssdEndToEnd, AMenuIsAnsweredTwiceThenCancelledAndHoldsTheProgramMeanwhile)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(ask("*123#", QStringLiteral("Servicemenü\n1 Guthaben")));
    EXPECT_TRUE(UssdIsBusy());
    // The program will not close, nor let the system sleep, while the dialogue is open.
    EXPECT_EQ(form->refusalString(), 1104u);
    EXPECT_TRUE(form->monitor().power().wouldDenySuspend());
    EXPECT_FALSE(ussd->btnBalance->isEnabled());

    ASSERT_TRUE(ask("2", QStringLiteral("Tarife\n1 Tarif S (5 €)")));
    ASSERT_TRUE(ask("1", QStringLiteral("Tarif S buchen?\n1 Ja\n2 Nein")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ussd->btnCancel->isEnabled(); }, kWait));
    ussd->btnCancelClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !UssdIsBusy() && ussd->USSDinf->toPlainText().isEmpty(); },
                                kWait));
    EXPECT_EQ(form->refusalString(), 0u);
    EXPECT_FALSE(form->monitor().power().wouldDenySuspend());
    EXPECT_EQ(card->snapshot().commandsReceived["+CUSD=2"], 1);
    // The network forgot the menu: an answer now is no code and does not go out.
    ussd->USSDStr->setText("1");
    ussd->btnSendClick();
    EXPECT_EQ(boxes, QStringList{platform::GetLanguageString(9003)});
}

TEST_F(UssdEndToEnd, ANetworkThatNeverAnswersIsGivenUpAfter48Seconds)
{
    ASSERT_NO_FATAL_FAILURE(start());
    SteppedClock clock;
    platform::setClock(&clock);
    card->setUssdDelay(true, std::chrono::minutes(10));
    ussd->USSDStr->setText("*130#");
    ussd->btnSendClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return UssdGetState() == TBL_Ussd::Waiting; }, kWait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ussd->USSDTimer->isActive(); }, kWait));
    ussd->USSDTimerTimer();
    EXPECT_TRUE(UssdIsBusy());
    clock.now += 48000;
    ussd->USSDTimerTimer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return UssdGetState() == TBL_Ussd::Ready; }, kWait));
    EXPECT_FALSE(UssdIsBusy());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ussd->btnSend->isEnabled(); }, kWait));
    EXPECT_FALSE(ussd->USSDTimer->isActive());
    EXPECT_EQ(card->snapshot().commandsReceived["+CUSD=2"], 1);
}

TEST_F(UssdEndToEnd, TheCardPulledInADialogueEndsItAndTheScreenWaitsForACard)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(ask("*123#", QStringLiteral("Servicemenü")));
    ASSERT_TRUE(UssdIsBusy());
    ASSERT_TRUE(card->removeCard());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->monitor().cardState() != kSimReady; }, kWait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return UssdGetState() == TBL_Ussd::Unavailable; }, kWait));
    EXPECT_FALSE(UssdIsBusy());
    EXPECT_EQ(form->refusalString(), 0u);
    ASSERT_TRUE(settle());
    EXPECT_FALSE(ussd->btnSend->isEnabled());
    EXPECT_FALSE(ussd->USSDStr->isEnabled());
    // Back in, the screen takes requests again.
    ASSERT_TRUE(card->insertCard());
    ASSERT_TRUE(waitForState(kSimReady));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ussd->btnSend->isEnabled(); }, kWait));
    EXPECT_TRUE(ask("*100#", QStringLiteral("12,50 €")))
        << ussd->USSDinf->toPlainText().toStdString() << boxes.join('|').toStdString();
}
