#include "UI_MessageBox.h"
#include "UI_ProgressBox.h"

#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace boxes;

namespace {

QString repeated(int characters) { return QString(characters, QLatin1Char('x')); }

// The program's English texts, when the build made them.
class WithTexts : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        platform::createStringManager(qEnvironmentVariable("LUMADIAL_PROGRAM_DIR") +
                                      QStringLiteral("/language/english.so"));
    }
    static void TearDownTestSuite() { platform::destroyStringManager(); }
};

}  // namespace

TEST(MessageBoxText, ShortTextInTheLabelLongInTheMemo)
{
    struct Case {
        int characters;
        bool inLabel;
    };
    for (const Case c : {Case{0, true}, Case{28, true}, Case{29, false}, Case{120, false}}) {
        TMessageBoxForm box(nullptr);
        box.setMessageText(repeated(c.characters));
        EXPECT_EQ(!box.MessageStrLabel->isHidden(), c.inLabel) << c.characters;
        EXPECT_EQ(!box.MessageMemo->isHidden(), !c.inLabel) << c.characters;
        const QString shown =
            c.inLabel ? box.MessageStrLabel->text() : box.MessageMemo->toPlainText();
        EXPECT_EQ(shown, repeated(c.characters));
    }
}

TEST(MessageBoxText, ProgressBoxMovesTheLimitTo31)
{
    for (const auto &[characters, inLabel] : {std::pair{30, true}, std::pair{31, false}}) {
        TProgressBoxForm box(nullptr);
        box.SetText(repeated(characters));
        EXPECT_EQ(!box.MessageStrLabel->isHidden(), inLabel) << characters;
        EXPECT_EQ(!box.MessageMemo->isHidden(), !inLabel) << characters;
    }
}

TEST(MessageBoxText, CharactersAreCountedNotCodeUnits)
{
    // 28 characters, one of them outside the basic plane (two UTF-16 units): still the label.
    const QString text = repeated(27) + QString::fromUcs4(U"\U0001F4F6");
    ASSERT_EQ(text.size(), 29);
    TMessageBoxForm box(nullptr);
    box.setMessageText(text);
    EXPECT_FALSE(box.MessageStrLabel->isHidden());
}

TEST(MessageBoxModes, ButtonsCloseImageAndTextPlace)
{
    struct Case {
        QString mode;
        bool ok;
        bool cancel;
        bool closeImage;
        int textTop;
    };
    const int centred = (BoxFrame::kWidth - 72) / 2;
    const Case cases[] = {
        {kButtonSingle, true, false, true, BoxFrame::kTextTop},
        {kButtonDouble, true, true, true, BoxFrame::kTextTop},
        {kButtonNo, false, false, false, BoxFrame::kTextTopWithoutButtons},
        {kButtonNoModal, true, false, true, BoxFrame::kTextTop},
        {kNoneModal, true, false, true, BoxFrame::kTextTop},
        {QStringLiteral("SOMETHING_ELSE"), true, false, true, BoxFrame::kTextTop},
    };
    for (const Case &c : cases) {
        TMessageBoxForm box(nullptr, 1, c.mode);
        SCOPED_TRACE(c.mode.toStdString());
        EXPECT_EQ(!box.OkButton->isHidden(), c.ok);
        EXPECT_EQ(!box.CancleImButton->isHidden(), c.cancel);
        EXPECT_EQ(!box.ImImage_Close->isHidden(), c.closeImage);
        EXPECT_EQ(box.MessageStrLabel->y(), c.textTop);
        EXPECT_EQ(box.MessageMemo->y(), c.textTop);
        if (c.ok && !c.cancel) {
            EXPECT_EQ(box.OkButton->x(), centred);
        }
        if (c.cancel) {
            EXPECT_LT(box.OkButton->geometry().right(), box.CancleImButton->x());
            EXPECT_EQ(box.OkButton->x() + box.CancleImButton->geometry().right(),
                      BoxFrame::kWidth - 1);
        }
    }
}

TEST(MessageBoxModes, WhatEachButtonDoes)
{
    {
        TMessageBoxForm box(nullptr, 1, kButtonDouble);
        box.show();
        box.OkButton->click();
        EXPECT_EQ(box.result(), kResultOk);
        EXPECT_FALSE(box.isVisible());
    }
    {
        TMessageBoxForm box(nullptr, 1, kButtonDouble);
        box.show();
        box.CancleImButton->click();
        EXPECT_EQ(box.result(), kResultCancel);
    }
    {
        TMessageBoxForm box(nullptr, 1, kButtonSingle);
        box.show();
        emit box.ImImage_Close->clicked();
        EXPECT_EQ(box.result(), kResultCancel);
        EXPECT_FALSE(box.isVisible());
    }
    {
        // The call window's notice: OK tells it, the box stays for the call window to close.
        TMessageBoxForm box(nullptr, 1, kButtonNoModal);
        QSignalSpy acknowledged(&box, &TMessageBoxForm::noticeAcknowledged);
        box.show();
        box.OkButton->click();
        EXPECT_EQ(acknowledged.count(), 1);
        EXPECT_TRUE(box.isVisible());
        box.close();  // the call window ends the notice
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(acknowledged.count(), 1);
    }
    {
        TMessageBoxForm box(nullptr, 1, kNoneModal);
        box.show();
        box.OkButton->click();
        EXPECT_FALSE(box.isVisible());
    }
    {
        // No buttons: neither Escape nor a close from the window system ends it.
        TMessageBoxForm box(nullptr, 1, kButtonNo);
        box.show();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
        EXPECT_TRUE(box.isVisible());
        box.reject();
        EXPECT_TRUE(box.isVisible());
        box.close();  // its owner can
        EXPECT_FALSE(box.isVisible());
    }
}

TEST(MessageBoxIcons, IconTypeChoosesOneIcon)
{
    struct Case {
        int type;
        bool information, warning, question;
    };
    const Case cases[] = {
        {1, true, false, false},  {2, false, true, false},   {3, false, false, true},
        {4, false, false, true},  {16, false, false, true},  {0, false, false, false},
        {5, false, false, false}, {17, false, false, false},
    };
    for (const Case &c : cases) {
        TMessageBoxForm box(nullptr, c.type);
        EXPECT_EQ(!box.InforImage->isHidden(), c.information) << c.type;
        EXPECT_EQ(!box.WarningImage->isHidden(), c.warning) << c.type;
        EXPECT_EQ(!box.QuestionImage->isHidden(), c.question) << c.type;
    }
}

TEST_F(WithTexts, ButtonCaptionsFollowTheIconType)
{
    ASSERT_FALSE(platform::GetLanguageString(13).isEmpty()) << "english.so not found";
    struct Case {
        int type;
        unsigned ok, cancel;
    };
    for (const Case c : {Case{4, 13, 14}, Case{5, 6, 16}, Case{1, 6, 7}, Case{3, 6, 7}}) {
        TMessageBoxForm box(nullptr, c.type, kButtonDouble);
        EXPECT_EQ(box.OkButton->text(), platform::GetLanguageString(c.ok)) << c.type;
        EXPECT_EQ(box.CancleImButton->text(), platform::GetLanguageString(c.cancel)) << c.type;
    }
    TProgressBoxForm progress(nullptr, kButtonSingle);
    EXPECT_EQ(progress.CancleImButton->text(), platform::GetLanguageString(7));
}

TEST(ProgramMessageBoxes, ShowAndAskGoThroughTheSeam)
{
    installProgramMessageBoxes();
    struct Seen {
        QString mode;
        int icon = 0;
        QString text;
        bool onTop = false;
    };
    std::vector<Seen> seen;
    int answer = kResultOk;
    const platform::ScopedDialogResponder responder([&](QDialog &dialog) -> std::optional<int> {
        auto *box = qobject_cast<TMessageBoxForm *>(&dialog);
        if (!box)
            return std::nullopt;
        seen.push_back({box->buttonMode(), box->iconType(), box->boxText(),
                        bool(box->windowFlags() & Qt::WindowStaysOnTopHint)});
        return answer;
    });

    platform::ShowMessageBox(nullptr, QStringLiteral("Card removed"), 2);
    EXPECT_EQ(platform::AskMessageBox(nullptr, QStringLiteral("Exit?"), 3), 1);
    answer = kResultCancel;
    EXPECT_EQ(platform::AskMessageBox(nullptr, QStringLiteral("Exit?"), 3), 2);
    answer = 0;  // ended by anything but the first button
    EXPECT_EQ(platform::AskMessageBox(nullptr, QStringLiteral("Exit?"), 3), 2);

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].mode, kButtonSingle);
    EXPECT_EQ(seen[0].icon, 2);
    EXPECT_EQ(seen[0].text, QStringLiteral("Card removed"));
    EXPECT_TRUE(seen[0].onTop);
    EXPECT_EQ(seen[1].mode, kButtonDouble);
    EXPECT_EQ(seen[1].icon, 3);
    EXPECT_FALSE(seen[1].onTop);
    platform::setMessageBoxHandler({});
}

TEST(ProgressBox, ModesAndCancelRequests)
{
    {
        TProgressBoxForm box(nullptr, kButtonSingle);
        EXPECT_FALSE(box.CancleImButton->isHidden());
        EXPECT_FALSE(box.ImImage_Close->isHidden());
        EXPECT_EQ(box.CancleImButton->x(), (BoxFrame::kWidth - box.CancleImButton->width()) / 2);
        EXPECT_EQ(box.MessageStrLabel->y(), BoxFrame::kTextTop);
        box.show();
        box.CancleImButton->click();
        EXPECT_TRUE(box.CancelRequested());
        EXPECT_TRUE(box.isVisible());  // the caller closes it
    }
    {
        TProgressBoxForm box(nullptr, kButtonSingle);
        box.show();
        emit box.ImImage_Close->clicked();
        EXPECT_TRUE(box.CancelRequested());
        EXPECT_TRUE(box.isVisible());
    }
    for (const QString &mode : {kButtonNo, kButtonDouble, QStringLiteral("junk")}) {
        TProgressBoxForm box(nullptr, mode);
        EXPECT_EQ(box.buttonMode(), kButtonNo);
        EXPECT_TRUE(box.CancleImButton->isHidden());
        EXPECT_TRUE(box.ImImage_Close->isHidden());
        EXPECT_EQ(box.MessageStrLabel->y(), BoxFrame::kTextTopWithoutButtons);
        box.show();
        box.reject();  // Escape
        EXPECT_FALSE(box.CancelRequested());
        box.close();  // the caller
        EXPECT_FALSE(box.isVisible());
    }
}
