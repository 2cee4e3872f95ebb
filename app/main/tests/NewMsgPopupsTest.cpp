// The notice pop-ups: placement, one of each, the modal call notice.
#include "NewMsgForm.h"

#include "platform/DialogSeam.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

TEST(NewMsgPopups, MessageNoticeSitsBottomRightAndAboveACallNotice)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    TNewMsgPopups popups(nullptr);
    popups.showNewSmsPopup(QStringLiteral("+5491100001"), false);
    ASSERT_TRUE(popups.hasNewSmsPopup());
    TNewMsgForm *form = popups.newSmsPopup();
    EXPECT_EQ(form->kind(), TNewMsgForm::kNewSms);
    EXPECT_EQ(form->Label_Text->text(), QStringLiteral("+5491100001"));
    EXPECT_EQ(form->pos(), QPoint(screen.right() + 1 - TNewMsgForm::kWidth,
                                  screen.bottom() + 1 - TNewMsgForm::kHeight - 60));
    EXPECT_TRUE(form->isVisible());

    // A second one while it is up changes nothing.
    popups.showNewSmsPopup(QStringLiteral("+5491100002"), true);
    EXPECT_EQ(popups.newSmsPopup(), form);
    EXPECT_EQ(form->Label_Text->text(), QStringLiteral("+5491100001"));

    // The user closes it: it is gone, and the next one may appear (above a call notice).
    form->Button_Close->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(popups.hasNewSmsPopup());
    popups.showNewSmsPopup(QStringLiteral("+5491100003"), true);
    EXPECT_EQ(popups.newSmsPopup()->y(), screen.bottom() + 1 - 2 * TNewMsgForm::kHeight - 60);
    popups.releaseNewSmsPopup();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(popups.hasNewSmsPopup());
}

TEST(NewMsgPopups, CallNoticeIsModalAndFreedWhenItCloses)
{
    TNewMsgPopups popups(nullptr);
    int shown = 0;
    platform::ScopedDialogResponder responder([&](QDialog &dialog) -> std::optional<int> {
        auto *form = qobject_cast<TNewMsgForm *>(&dialog);
        EXPECT_NE(form, nullptr);
        EXPECT_TRUE(popups.hasCallPopup());
        popups.setCallPopupText(QStringLiteral("Ana"));
        EXPECT_EQ(form->text(), QStringLiteral("Ana"));
        EXPECT_EQ(form->kind(), TNewMsgForm::kIncomingCall);
        ++shown;
        return QDialog::Rejected;
    });
    popups.showCallPopup(QStringLiteral("+5491100004"));
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(popups.hasCallPopup());
    popups.closeCallPopup();  // nothing to close: harmless
}
