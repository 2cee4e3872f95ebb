// The SIM toolkit as a person uses it, with the real engine and the virtual card's toolkit
// application: the main menu, a sub-menu, a question of digits answered too short and then
// right, the SIM's text confirmed, back to the main menu; and a card without the toolkit.
#include "ProgramOnCard.h"
#include "UI_GetInput.h"
#include "UI_SatMenuDisplay.h"

#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

using e2e::kWait;
using platform::GetLanguageString;

class ToolkitEndToEnd : public e2e::ProgramOnCard {
protected:
    // Only the toolkit's boxes: the sound settings' notice of the test folder is not ours.
    void boxShown(const QString &shown, bool twoButtons) override
    {
        if (!shown.startsWith(GetLanguageString(text::kConfigUnreadable)))
            boxes << (twoButtons ? "?" : "") + shown;
    }

    void start()
    {
        ASSERT_NO_FATAL_FAILURE(startOnCard());
        ASSERT_TRUE(waitForState(kSimReady));
        screen = AppWindow<TSatMenuDisplayForm>();
        ASSERT_NE(screen, nullptr);
    }

    ::testing::AssertionResult showing(const QString &title, int items)
    {
        const bool shown = QTest::qWaitFor(
            [&] {
                return screen->SatMenuLabel->text() == title &&
                       screen->SatMenuDisplayListBox->count() == items &&
                       screen->SatMenuDisplayListBox->isEnabled();
            },
            kWait);
        if (shown)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "showing \"" << screen->SatMenuLabel->text().toStdString() << "\" with "
               << screen->SatMenuDisplayListBox->count() << " items, list "
               << (screen->SatMenuDisplayListBox->isEnabled() ? "enabled" : "disabled")
               << "; boxes: " << boxes.join(" | ").toStdString();
    }

    void choose(int row)
    {
        screen->SatMenuDisplayListBox->setCurrentRow(row);
        screen->SatMenuDisplay_OkButton->click();
    }

    TSatMenuDisplayForm *screen = nullptr;
};

TEST_F(ToolkitEndToEnd, MenusAQuestionRefusedBelowItsMinimumThenAnsweredAndBackToTheMainMenu)
{
    ASSERT_NO_FATAL_FAILURE(start());
    screen->STKCallBackforMain();
    ASSERT_TRUE(showing("Brisa Services", 3));
    choose(1);
    EXPECT_FALSE(screen->SatMenuDisplayListBox->isEnabled());  // busy until the SIM answers
    ASSERT_TRUE(showing("Services", 6));
    EXPECT_TRUE(screen->SatMenuDisplay_BackButton->isEnabled());

    // The person types two digits and presses OK, is told it is too short, types four.
    QStringList prompts;
    platform::ScopedDialogResponder typing([&](QDialog &dialog) -> std::optional<int> {
        auto *input = qobject_cast<TgetInput *>(&dialog);
        if (!input)
            return QDialog::Rejected;
        prompts << input->Label_InputBoxCaption->text();
        QTest::keyClicks(input->Edit_InputBox, "12");
        input->ImButton_OKClick();
        QTest::keyClicks(input->Edit_InputBox, "34");
        input->ImButton_OKClick();
        return input->result();
    });
    choose(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() >= 2; }, kWait));
    EXPECT_EQ(prompts, QStringList{"Top-up code"});
    EXPECT_EQ(boxes[0], GetLanguageString(text::kStkInputTooShort));
    EXPECT_EQ(boxes[1], "?Code 1234 accepted");  // confirmed with OK
    ASSERT_TRUE(showing("Services", 6));

    screen->SatMenuDisplay_BackButton->click();
    ASSERT_TRUE(showing("Brisa Services", 3));
    EXPECT_FALSE(screen->SatMenuDisplay_BackButton->isEnabled());
    EXPECT_EQ(card->snapshot().toolkit.answers, (std::vector<std::string>{"3:1", "4:1234"}));
}

TEST_F(ToolkitEndToEnd, ACardWithoutTheToolkitIsSaidToOfferNone)
{
    ASSERT_NO_FATAL_FAILURE(plugCard());
    card->setMissingCommands({"+CUSATA", "+CUSATR", "+CUSATE", "+CUSATT"});
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_TRUE(waitForState(kSimReady));
    screen = AppWindow<TSatMenuDisplayForm>();
    ASSERT_NE(screen, nullptr);
    screen->STKCallBackforMain();
    EXPECT_EQ(boxes, QStringList{GetLanguageString(text::kStkNotOffered)});
    EXPECT_EQ(screen->SatMenuDisplayListBox->count(), 0);
}
