#include "platform/DialogSeam.h"

#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

TEST(PlatformDialogSeam, ResponderAnswersWithoutShowingAndScopesNest)
{
    QDialog dialog;
    int asked = 0;
    {
        ScopedDialogResponder outer([&](QDialog &) -> std::optional<int> {
            ++asked;
            return QDialog::Accepted;
        });
        EXPECT_EQ(execDialog(dialog), QDialog::Accepted);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        {
            ScopedDialogResponder inner([](QDialog &) -> std::optional<int> { return 7; });
            EXPECT_EQ(execDialog(dialog), 7);
        }
        EXPECT_EQ(execDialog(dialog), QDialog::Accepted);  // the outer one is back
    }
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(PlatformDialogSeam, ResponderCanLetTheDialogRunForReal)
{
    QDialog dialog;
    ScopedDialogResponder pass([](QDialog &) -> std::optional<int> { return std::nullopt; });
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(5); });
    EXPECT_EQ(execDialog(dialog), 5);
}

TEST(PlatformDialogSeam, MessageBoxesGoToTheHandlerOrDecline)
{
    setMessageBoxHandler({});
    EXPECT_EQ(AskMessageBox(nullptr, "Delete?", 3), 2);

    struct Shown {
        QString text;
        int iconType;
        bool twoButtons;
    };
    std::vector<Shown> shown;
    setMessageBoxHandler([&](QWidget *, const QString &text, int iconType, bool twoButtons) {
        shown.push_back({text, iconType, twoButtons});
        return 1;
    });
    ShowMessageBox(nullptr, "Saved", 1);
    EXPECT_EQ(AskMessageBox(nullptr, "Delete?", 16), 1);
    setMessageBoxHandler({});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Saved");
    EXPECT_FALSE(shown[0].twoButtons);
    EXPECT_EQ(shown[1].iconType, 16);
    EXPECT_TRUE(shown[1].twoButtons);
}
