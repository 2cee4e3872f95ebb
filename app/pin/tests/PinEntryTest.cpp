#include "PinEntry.h"
#include "PinTestSupport.h"
#include "UI_PasswordDlg.h"

#include "FakeLumacore.h"

#include "platform/DialogSeam.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace pin;
using namespace pin::testing;

namespace {

constexpr uint32_t kCardState = platform::WM_CARD_STATE;

class PinEntryTest : public PinTest {
protected:
    void SetUp() override
    {
        PinTest::SetUp();
        lumacore_fake::onCall(&_MEC_QueryPINLeftTimes,
                              [](uint8_t *pin, uint8_t *puk) -> MEC_STATUS {
                                  *pin = 2;
                                  *puk = 10;
                                  return 0;
                              });
        entry.setCallWindow(&callWindow);
        entry.setCardStateSource([this] { return cardState; });
    }

    // Types into the start-up dialog and presses OK, then hands the posted result to the entry
    // as the main window's dispatch does.
    void enterPin(const QString &pin)
    {
        ASSERT_NE(entry.pinDialog(), nullptr);
        QTest::keyClicks(entry.pinDialog()->Edit_Password1, pin);
        entry.pinDialog()->ImButton_OKClick();
        deliverPinResult();
    }
    void deliverPinResult()
    {
        for (const auto &[message, wParam] : window.messages()) {
            if (message == platform::WM_PIN_RESULT && handedOn++ == 0)
                entry.PinDialogResult(wParam);
        }
        handedOn = 0;
    }
    // Answers the PUK flow's modal dialogs with the texts given, pressing OK (or cancel for a
    // null text).
    platform::ScopedDialogResponder answerPuk(std::vector<const char *> texts)
    {
        // The seam copies the responder for every dialog, so the answers count in the fixture.
        return platform::ScopedDialogResponder([this, texts](QDialog &shown) -> std::optional<int> {
            auto &dialog = dynamic_cast<TPasswordDlg &>(shown);
            const size_t index = modesShown.size();
            modesShown.push_back(dialog.mode());
            const char *text = index < texts.size() ? texts[index] : nullptr;
            if (!text) {
                dialog.ImButton_CancelClick();
                return dialog.result();
            }
            dialog.Edit_Password1->setText(QString::fromLatin1(text));
            dialog.Edit_Password2->setText(QString::fromLatin1(text));
            dialog.ImButton_OKClick();
            return dialog.result();
        });
    }

    QWidget owner;
    MessageRecorder window;
    FakeCallWindow callWindow;
    BoxRecorder boxes;
    PinEntry entry{&owner, &window};
    uint8_t cardState = 8;
    int handedOn = 0;
    std::vector<PasswordMode> modesShown;
};

}  // namespace

TEST_F(PinEntryTest, StartupDialogIsModelessOnTopWithTheAttemptsLeft)
{
    entry.OpenPinDialog();
    TPasswordDlg *dialog = entry.pinDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->mode(), PasswordMode::StartupPin);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->stayOnTop());
    EXPECT_EQ(dialog->Label_Password1Caption->text(), textOf(1038));
    EXPECT_EQ(dialog->PINLeftTimes->text(), QStringLiteral("2") + textOf(1174));
    EXPECT_TRUE(dialog->PINLeftTimes->isVisible());
}

TEST_F(PinEntryTest, WithoutACountTheDialogShowsNone)
{
    struct Case {
        const char *name;
        MEC_STATUS status;
        uint8_t pinLeft;
    };
    for (const Case &c : {Case{"engine fails", MEC_ERR_TIMEOUT, 3},
                          Case{"card does not tell", MEC_OK, MEC_PIN_COUNT_UNKNOWN}}) {
        SCOPED_TRACE(c.name);
        lumacore_fake::onCall(&_MEC_QueryPINLeftTimes, [c](uint8_t *pin, uint8_t *puk) {
            *pin = c.pinLeft;
            *puk = 10;
            return c.status;
        });
        entry.OpenPinDialog();
        ASSERT_NE(entry.pinDialog(), nullptr);
        EXPECT_EQ(entry.pinDialog()->attemptsLeft(), std::nullopt);
        EXPECT_FALSE(entry.pinDialog()->PINLeftTimes->isVisible());
        EXPECT_TRUE(entry.pinDialog()->PINLeftTimes->text().isEmpty());
    }
}

TEST_F(PinEntryTest, StartupPinAnswersOfTheEngine)
{
    struct Case {
        uint16_t status;
        QStringList boxes;
    };
    const Case cases[] = {
        {0, {}},
        {MEC_ERR_WRONG_PASSWORD, {textOf(1025)}},
        {MEC_ERR_SIM_BLOCKED, {textOf(1034)}},
        {MEC_ERR_TIMEOUT, {textOf(3103)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status);
        MessageRecorder target;
        BoxRecorder shown;
        PinEntry pinEntry(&owner, &target);
        lumacore_fake::clearCalls();
        lumacore_fake::setResult("_MEC_SetPin", c.status);
        owner.setEnabled(false);
        pinEntry.OpenPinDialog();
        QTest::keyClicks(pinEntry.pinDialog()->Edit_Password1, QStringLiteral("1234"));
        pinEntry.pinDialog()->ImButton_OKClick();
        ASSERT_EQ(target.messages(),
                  (std::vector<MessageRecorder::Message>{{platform::WM_PIN_RESULT, 100}}));
        pinEntry.PinDialogResult(100);
        EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_SetPin"),
                  std::vector<std::string>{"\"1234\", null"});
        EXPECT_EQ(shown.texts, c.boxes);
        // Every answer reads the PIN state again: state 6.
        EXPECT_EQ(target.cardStates(), std::vector<uint32_t>{6});
        EXPECT_EQ(pinEntry.pinDialog(), nullptr) << "freed when the flow ends";
        EXPECT_TRUE(owner.isEnabled());
    }
}

TEST_F(PinEntryTest, WrongPinThenANewDialogThenTheRightOne)
{
    lumacore_fake::onCall(&_MEC_SetPin, [](const char *pin, const char *) -> MEC_STATUS {
        return std::string(pin) == "4321" ? 0 : MEC_ERR_WRONG_PASSWORD;
    });
    entry.OpenPinDialog();
    enterPin(QStringLiteral("1234"));
    EXPECT_EQ(boxes.texts, QStringList{textOf(1025)});
    EXPECT_EQ(window.cardStates(), std::vector<uint32_t>{6});
    EXPECT_FALSE(entry.HasOpenDialog());

    // State 6 found the PIN still wanted: state 8 again opens a fresh dialog.
    entry.OpenPinDialog();
    ASSERT_NE(entry.pinDialog(), nullptr);
    EXPECT_EQ(entry.pinDialog()->firstText(), QString()) << "a fresh dialog, not the old one";
    enterPin(QStringLiteral("4321"));
    EXPECT_EQ(boxes.texts, QStringList{textOf(1025)}) << "no box for the right PIN";
    EXPECT_EQ(window.cardStates(), (std::vector<uint32_t>{6, 6}));
}

TEST_F(PinEntryTest, AThreeDigitPinNeverReachesTheEngine)
{
    entry.OpenPinDialog();
    enterPin(QStringLiteral("123"));
    EXPECT_EQ(boxes.texts, QStringList{textOf(1100)});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetPin"), 0);
    EXPECT_TRUE(window.messages().empty());
    EXPECT_TRUE(entry.pinDialog()->isVisible());
}

TEST_F(PinEntryTest, CancellingTheStartupDialogBlocksTheSimAndSendsNothing)
{
    entry.OpenPinDialog();
    QTest::keyClicks(entry.pinDialog()->Edit_Password1, QStringLiteral("1234"));
    entry.pinDialog()->ImButton_CancelClick();
    deliverPinResult();
    EXPECT_EQ(window.cardStates(), std::vector<uint32_t>{10});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetPin"), 0);
    EXPECT_FALSE(entry.HasOpenDialog());
}

TEST_F(PinEntryTest, AnEmergencyNumberIsDialledInsteadOfSentAsPin)
{
    entry.OpenPinDialog();
    enterPin(QStringLiteral("112"));
    EXPECT_EQ(callWindow.dialled, QStringList{QStringLiteral("112")});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetPin"), 0);
    EXPECT_TRUE(window.messages().empty());
    EXPECT_TRUE(entry.pinDialog()->isVisible());
}

TEST_F(PinEntryTest, PukFlowAnswersOfTheEngine)
{
    struct Case {
        uint16_t status;
        QStringList boxes;
        uint32_t state;
    };
    const Case cases[] = {
        {0, {}, 6},
        {MEC_ERR_SIM_BLOCKED, {textOf(1054)}, 10},
        {MEC_ERR_WRONG_PASSWORD, {textOf(1026)}, 6},
        {MEC_ERR_TIMEOUT, {textOf(1026)}, 6},
    };
    cardState = 9;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status);
        MessageRecorder target;
        BoxRecorder shown;
        PinEntry pinEntry(&owner, &target);
        lumacore_fake::clearCalls();
        lumacore_fake::setResult("_MEC_SetPin", c.status);
        modesShown.clear();
        const auto answer = answerPuk({"12345678", "4321"});
        pinEntry.RunPukFlow();
        EXPECT_EQ(modesShown, (std::vector<PasswordMode>{PasswordMode::Puk, PasswordMode::NewPin}));
        EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_SetPin"),
                  std::vector<std::string>{"\"12345678\", \"4321\""});
        EXPECT_EQ(shown.texts, c.boxes);
        EXPECT_EQ(target.cardStates(), std::vector<uint32_t>{c.state});
        EXPECT_FALSE(pinEntry.HasOpenDialog());
        EXPECT_FALSE(pinEntry.IsPukFlowRunning());
    }
}

TEST_F(PinEntryTest, CancellingEitherPukDialogBlocksTheSim)
{
    cardState = 9;
    struct Case {
        std::vector<const char *> answers;
        std::vector<PasswordMode> shown;
    };
    const Case cases[] = {
        {{nullptr}, {PasswordMode::Puk}},
        {{"12345678", nullptr}, {PasswordMode::Puk, PasswordMode::NewPin}},
    };
    for (const Case &c : cases) {
        MessageRecorder target;
        PinEntry pinEntry(&owner, &target);
        modesShown.clear();
        const auto answer = answerPuk(c.answers);
        pinEntry.RunPukFlow();
        EXPECT_EQ(modesShown, c.shown);
        EXPECT_EQ(target.cardStates(), std::vector<uint32_t>{10});
        EXPECT_EQ(lumacore_fake::countOf("_MEC_SetPin"), 0);
        EXPECT_FALSE(pinEntry.HasOpenDialog());
    }
}

TEST_F(PinEntryTest, ThePukDialogIsOnTopAndShowsThePukAttempts)
{
    cardState = 9;
    std::optional<int> attempts;
    bool onTop = false;
    const platform::ScopedDialogResponder answer([&](QDialog &shown) -> std::optional<int> {
        auto &dialog = dynamic_cast<TPasswordDlg &>(shown);
        attempts = dialog.attemptsLeft();
        onTop = dialog.stayOnTop();
        return QDialog::Rejected;
    });
    entry.RunPukFlow();
    EXPECT_EQ(attempts, 10);
    EXPECT_TRUE(onTop);

    // A PUK count the card does not tell is shown as none, not as 255 or 0.
    lumacore_fake::onCall(&_MEC_QueryPINLeftTimes, [](uint8_t *pin, uint8_t *puk) {
        *pin = 0;
        *puk = MEC_PIN_COUNT_UNKNOWN;
        return MEC_STATUS(MEC_OK);
    });
    attempts = 99;
    entry.RunPukFlow();
    EXPECT_EQ(attempts, std::nullopt);
}

TEST_F(PinEntryTest, CardPulledWhileThePukDialogRunsEndsTheFlowQuietly)
{
    cardState = 9;
    const platform::ScopedDialogResponder answer([&](QDialog &shown) -> std::optional<int> {
        // Card state 1 arrives while the dialog waits for the user.
        entry.CloseAndFree();
        return shown.result();
    });
    entry.RunPukFlow();
    EXPECT_TRUE(window.messages().empty()) << "no state 10 after the card went";
    EXPECT_FALSE(entry.HasOpenDialog());
    EXPECT_FALSE(entry.IsPukFlowRunning());
}

TEST_F(PinEntryTest, CardPulledWhileTheWrongPukBoxIsUpPostsNothingMore)
{
    cardState = 9;
    lumacore_fake::setResult("_MEC_SetPin", MEC_ERR_WRONG_PASSWORD);
    boxes.onBox = [&] { entry.CloseAndFree(); };
    const auto answer = answerPuk({"12345678", "4321"});
    entry.RunPukFlow();
    EXPECT_EQ(boxes.texts, QStringList{textOf(1026)});
    EXPECT_TRUE(window.cardStates().empty());
}

TEST_F(PinEntryTest, CardPulledWhileTheStartupDialogWaitsInABox)
{
    // The user pressed OK with too short a PIN; the card goes while the box is up.
    entry.OpenPinDialog();
    QPointer<TPasswordDlg> dialog = entry.pinDialog();
    boxes.onBox = [&] { entry.CloseAndFree(); };
    QTest::keyClicks(dialog->Edit_Password1, QStringLiteral("12"));
    dialog->ImButton_OKClick();
    EXPECT_FALSE(entry.HasOpenDialog());
    EXPECT_TRUE(window.messages().empty());
    // The dialog outlived its handler and is freed by the next flow.
    entry.OpenPinDialog();
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(PinEntryTest, CardPulledWhileTheWrongPinBoxIsUp)
{
    lumacore_fake::setResult("_MEC_SetPin", MEC_ERR_WRONG_PASSWORD);
    boxes.onBox = [&] { entry.CloseAndFree(); };
    entry.OpenPinDialog();
    enterPin(QStringLiteral("1234"));
    EXPECT_EQ(boxes.texts, QStringList{textOf(1025)});
    EXPECT_TRUE(window.cardStates().empty());
    EXPECT_FALSE(entry.HasOpenDialog());
}

TEST_F(PinEntryTest, AResultAfterTheDialogWentIsIgnored)
{
    entry.OpenPinDialog();
    QTest::keyClicks(entry.pinDialog()->Edit_Password1, QStringLiteral("1234"));
    entry.pinDialog()->ImButton_OKClick();
    entry.CloseAndFree();  // card state 1 was queued before the result
    deliverPinResult();
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetPin"), 0);
    EXPECT_TRUE(window.cardStates().empty());
}

TEST_F(PinEntryTest, CloseDropsAndRestoresStayOnTop)
{
    entry.OpenPinDialog();
    entry.SetDialogsOnTop(false);
    EXPECT_FALSE(entry.pinDialog()->stayOnTop());
    EXPECT_TRUE(entry.pinDialog()->isVisible()) << "still shown, only no longer on top";
    entry.SetDialogsOnTop(true);
    EXPECT_TRUE(entry.pinDialog()->stayOnTop());
    EXPECT_TRUE(entry.pinDialog()->isVisible());
}

TEST_F(PinEntryTest, ANewStateEightReplacesAnOpenDialog)
{
    entry.OpenPinDialog();
    QPointer<TPasswordDlg> first = entry.pinDialog();
    entry.OpenPinDialog();
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(entry.pinDialog(), nullptr);
    EXPECT_TRUE(entry.pinDialog()->isVisible());
}
