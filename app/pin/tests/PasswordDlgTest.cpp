#include "PinEntry.h"
#include "PinTestSupport.h"
#include "UI_PasswordDlg.h"

#include "platform/DialogSeam.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace pin;
using namespace pin::testing;

namespace {

class PasswordDlgTest : public PinTest {
protected:
    // A start-up dialog as the main window shows it, reporting to recorder.
    std::unique_ptr<TPasswordDlg> startupDialog(uint8_t cardState = 8)
    {
        auto dialog = std::make_unique<TPasswordDlg>(nullptr, PasswordMode::StartupPin, 3);
        dialog->setResultTarget(&recorder);
        dialog->setCallWindow(&callWindow);
        dialog->setCardStateSource([cardState] { return cardState; });
        dialog->setStayOnTop(true);
        dialog->show();
        return dialog;
    }

    MessageRecorder recorder;
    FakeCallWindow callWindow;
    BoxRecorder boxes;
};

using Message = MessageRecorder::Message;

}  // namespace

TEST_F(PasswordDlgTest, TypedLettersVanishAtOnceWithTheCaretAtTheEnd)
{
    for (const PasswordMode mode : {PasswordMode::StartupPin, PasswordMode::NewPin}) {
        TPasswordDlg dialog(nullptr, mode);
        for (QLineEdit *field : {dialog.Edit_Password1, dialog.Edit_Password2}) {
            QTest::keyClicks(field, QStringLiteral("12a3-4 "));
            EXPECT_EQ(field->text(), QStringLiteral("1234"));
            EXPECT_EQ(field->cursorPosition(), 4);
            // Text that arrives whole (a paste) is refused whole.
            field->insert(QStringLiteral("5x6"));
            EXPECT_EQ(field->text(), QStringLiteral("1234"));
            EXPECT_EQ(field->cursorPosition(), 4);
            QTest::keyClicks(field, QStringLiteral("56789"));
            EXPECT_EQ(field->text(), QStringLiteral("12345678")) << "at most 8 digits";
            field->clear();
            QTest::keyClicks(field, QStringLiteral("x"));
            EXPECT_EQ(field->text(), QString()) << "an emptied field has no last good text";
            EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        }
    }
}

TEST_F(PasswordDlgTest, EachModeShowsItsCaptionsFieldsAndAttempts)
{
    struct Case {
        PasswordMode mode;
        std::optional<int> attempts;
        QString firstCaption;
        bool secondShown;
        bool attemptsShown;
        int firstCaptionTop;
        int firstFieldTop;
    };
    const Case cases[] = {
        {PasswordMode::CurrentPin, std::nullopt, QStringLiteral("Enter password:"), false, false,
         30, 45},
        {PasswordMode::Puk, 10, textOf(1040), false, true, 30, 45},
        {PasswordMode::NewPin, std::nullopt, textOf(1035), true, false, 12, 27},
        {PasswordMode::StartupPin, 2, textOf(1038), false, true, 20, 44},
        {PasswordMode::StartupPin, std::nullopt, textOf(1038), false, false, 20, 44},
    };
    for (const Case &c : cases) {
        TPasswordDlg dialog(nullptr, c.mode, c.attempts);
        dialog.show();
        SCOPED_TRACE(int(c.mode));
        EXPECT_EQ(dialog.size(), QSize(300, 190));
        EXPECT_EQ(dialog.Label_Password1Caption->text(), c.firstCaption);
        EXPECT_EQ(dialog.Label_Password2Caption->isVisible(), c.secondShown);
        EXPECT_EQ(dialog.Edit_Password2->isVisible(), c.secondShown);
        if (c.secondShown) {
            EXPECT_EQ(dialog.Label_Password2Caption->text(), textOf(1036));
        }
        EXPECT_EQ(dialog.PINLeftTimes->isVisible(), c.attemptsShown);
        if (c.attempts) {
            EXPECT_EQ(dialog.PINLeftTimes->text(), QString::number(*c.attempts) + textOf(1174));
        }
        EXPECT_EQ(dialog.Label_Password1Caption->y(), c.firstCaptionTop);
        EXPECT_EQ(dialog.Edit_Password1->y(), c.firstFieldTop);
        EXPECT_EQ(dialog.ImButton_OK->text(), textOf(6));
        EXPECT_EQ(dialog.ImButton_Cancel->text(), textOf(7));
    }
}

TEST_F(PasswordDlgTest, WearsTheSkin)
{
    TPasswordDlg dialog(nullptr, PasswordMode::StartupPin);
    EXPECT_FALSE(dialog.PwdBKImage->Picture().isNull());
    EXPECT_FALSE(dialog.ImPanel_Title->Picture().isNull());
    EXPECT_FALSE(dialog.ImPanel_Backgroud->Picture().isNull());
    EXPECT_FALSE(dialog.ImButton_OK->Picture().isNull());
    EXPECT_FALSE(dialog.ImButton_Cancel->Picture().isNull());
    EXPECT_EQ(dialog.ImImage_AMLogo->x(),
              dialog.ImImage_Logo->x() + dialog.ImImage_Logo->width() + 10);
}

TEST_F(PasswordDlgTest, StartupPinPostsItsResultOnlyForAcceptedInput)
{
    struct Case {
        const char *typed;
        QStringList boxes;
        std::vector<Message> posted;
    };
    const Case cases[] = {
        {"", {textOf(1027)}, {}},
        {"123", {textOf(1100)}, {}},
        {"1234", {}, {{platform::WM_PIN_RESULT, kPinResultOk}}},
        {"12345678", {}, {{platform::WM_PIN_RESULT, kPinResultOk}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        MessageRecorder target;
        BoxRecorder shown;
        auto dialog = std::make_unique<TPasswordDlg>(nullptr, PasswordMode::StartupPin);
        dialog->setResultTarget(&target);
        dialog->setStayOnTop(true);
        dialog->show();
        QTest::keyClicks(dialog->Edit_Password1, QString::fromLatin1(c.typed));
        dialog->ImButton_OKClick();
        EXPECT_EQ(shown.texts, c.boxes);
        EXPECT_EQ(target.messages(), c.posted);
        EXPECT_EQ(dialog->isVisible(), c.posted.empty()) << "a refused PIN keeps the dialog open";
        EXPECT_FALSE(dialog->stayOnTop()) << "the boxes must come in front of it";
    }
}

TEST_F(PasswordDlgTest, CancelEscapeAndTheCloseImagePostCancel)
{
    const std::function<void(TPasswordDlg &)> ways[] = {
        [](TPasswordDlg &dialog) { dialog.ImButton_CancelClick(); },
        [](TPasswordDlg &dialog) { dialog.ImImage_CloseClick(); },
        [](TPasswordDlg &dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
    };
    for (const auto &way : ways) {
        MessageRecorder target;
        auto dialog = std::make_unique<TPasswordDlg>(nullptr, PasswordMode::StartupPin);
        dialog->setResultTarget(&target);
        dialog->show();
        QTest::keyClicks(dialog->Edit_Password1, QStringLiteral("1234"));
        way(*dialog);
        EXPECT_EQ(target.messages(),
                  (std::vector<Message>{{platform::WM_PIN_RESULT, kPinResultCancel}}));
        EXPECT_FALSE(dialog->isVisible());
    }
    // Return is OK.
    MessageRecorder target;
    TPasswordDlg dialog(nullptr, PasswordMode::StartupPin);
    dialog.setResultTarget(&target);
    dialog.show();
    QTest::keyClicks(dialog.Edit_Password1, QStringLiteral("1234"));
    QTest::keyClick(dialog.Edit_Password1, Qt::Key_Return);
    EXPECT_EQ(target.messages(), (std::vector<Message>{{platform::WM_PIN_RESULT, kPinResultOk}}));
}

TEST_F(PasswordDlgTest, AnEmergencyNumberIsDialledAndThePinLeftAlone)
{
    auto dialog = startupDialog(8);
    QTest::keyClicks(dialog->Edit_Password1, QStringLiteral("112"));
    dialog->ImButton_OKClick();
    EXPECT_EQ(callWindow.dialled, QStringList{QStringLiteral("112")});
    EXPECT_TRUE(boxes.texts.isEmpty()) << "no 'too short' for an emergency number";
    EXPECT_TRUE(recorder.messages().empty());
    EXPECT_TRUE(dialog->isVisible()) << "the dialog stays for the PIN";
}

TEST_F(PasswordDlgTest, AnEmergencyNumberOutsideStateEightIsJustAShortPin)
{
    TPasswordDlg dialog(nullptr, PasswordMode::Puk);
    dialog.setCallWindow(&callWindow);
    dialog.setCardStateSource([] { return uint8_t(9); });
    QTest::keyClicks(dialog.Edit_Password1, QStringLiteral("112"));
    dialog.ImButton_OKClick();
    EXPECT_TRUE(callWindow.dialled.isEmpty());
    EXPECT_EQ(boxes.texts, QStringList{textOf(1101)});
}

TEST_F(PasswordDlgTest, WhileACallIsSetUpOkOnlySaysSo)
{
    callWindow.settingUpCall = true;
    auto dialog = startupDialog(8);
    QTest::keyClicks(dialog->Edit_Password1, QStringLiteral("1234"));
    dialog->ImButton_OKClick();
    EXPECT_EQ(boxes.texts, QStringList{textOf(1090)});
    EXPECT_TRUE(recorder.messages().empty());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(PasswordDlgTest, CancelWithAnEmergencyNumberTypedJustCloses)
{
    // In the dialog's field or in the call window's number field.
    for (const bool inCallWindow : {false, true}) {
        MessageRecorder target;
        callWindow.numberField = inCallWindow ? QStringLiteral("911") : QString();
        auto dialog = std::make_unique<TPasswordDlg>(nullptr, PasswordMode::StartupPin);
        dialog->setResultTarget(&target);
        dialog->setCallWindow(&callWindow);
        dialog->show();
        QTest::keyClicks(dialog->Edit_Password1,
                         inCallWindow ? QStringLiteral("1234") : QStringLiteral("112"));
        dialog->ImButton_CancelClick();
        EXPECT_TRUE(target.messages().empty()) << inCallWindow;
        EXPECT_FALSE(dialog->isVisible()) << inCallWindow;
    }
}

TEST_F(PasswordDlgTest, NewPinRunsModallyUntilBothFieldsAgree)
{
    TPasswordDlg dialog(nullptr, PasswordMode::NewPin);
    int attempts = 0;
    const platform::ScopedDialogResponder answer([&](QDialog &shown) -> std::optional<int> {
        auto &password = dynamic_cast<TPasswordDlg &>(shown);
        const std::pair<const char *, const char *> tries[] = {
            {"1234", ""}, {"1234", "4321"}, {"4321", "4321"}};
        for (const auto &[first, second] : tries) {
            ++attempts;
            password.Edit_Password1->setText(QString::fromLatin1(first));
            password.Edit_Password2->setText(QString::fromLatin1(second));
            password.setResult(-1);
            password.ImButton_OKClick();
            if (password.result() != -1)
                return password.result();
        }
        return std::nullopt;
    });
    EXPECT_EQ(dialog.runModal(), QDialog::Accepted);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(boxes.texts, (QStringList{textOf(1027), textOf(1029), textOf(1029)}));
    EXPECT_EQ(dialog.firstText(), QStringLiteral("4321"));
}

TEST_F(PasswordDlgTest, AGivenUpDialogStopsAfterTheBoxItWaitsIn)
{
    // Mode 3 with one field empty shows two boxes; the dialog is given up in the first.
    TPasswordDlg dialog(nullptr, PasswordMode::NewPin);
    dialog.Edit_Password1->setText(QStringLiteral("1234"));
    boxes.onBox = [&] {
        EXPECT_TRUE(dialog.isInHandler());
        dialog.abandon();
    };
    dialog.ImButton_OKClick();
    EXPECT_EQ(boxes.texts.size(), 1);
    EXPECT_FALSE(dialog.isInHandler());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(PasswordDlgTest, ARefusedEntryKeepsARealModalRunGoing)
{
    // No responder: the dialog runs its own event loop, as it does for the user.
    TPasswordDlg dialog(nullptr, PasswordMode::Puk);
    dialog.setStayOnTop(true);
    bool stillRunning = false;
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClicks(dialog.Edit_Password1, QStringLiteral("123"));
        dialog.ImButton_OKClick();  // refused: too short, and the dialog drops its on-top style
        QTimer::singleShot(0, &dialog, [&] {
            stillRunning = dialog.isVisible();
            QTest::keyClicks(dialog.Edit_Password1, QStringLiteral("45678"));
            dialog.ImButton_OKClick();
        });
    });
    EXPECT_EQ(dialog.runModal(), QDialog::Accepted);
    EXPECT_TRUE(stillRunning);
    EXPECT_EQ(boxes.texts, QStringList{textOf(1101)});
    EXPECT_EQ(dialog.firstText(), QStringLiteral("12345678"));
    EXPECT_FALSE(dialog.stayOnTop());
}
