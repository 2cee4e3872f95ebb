// The notice pop-ups: placement, one of each, the modal call notice.
#include "NewMsgForm.h"

#include "platform/DialogSeam.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTest>

#include <gtest/gtest.h>

TEST(NewMsgPopups, MessageNoticeSitsBottomRightAndAboveACallNotice)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    NewMsgPopups popups(nullptr);
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
    NewMsgPopups popups(nullptr);
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

TEST(NewMsgPopups, MessageNoticeOpensTheMessageClosesByItselfAndFollowsItsCaption)
{
    NewMsgPopups popups(nullptr);
    int opened = 0;
    popups.setOpenNewSms([&] { ++opened; });
    popups.showNewSmsPopup(QStringLiteral("+5491100005"), false);
    TNewMsgForm *form = popups.newSmsPopup();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->SMS_IMbutton->isVisible());
    EXPECT_TRUE(form->Timer_Close->isActive());
    EXPECT_EQ(form->Timer_Close->interval(), TNewMsgForm::kNewSmsLifetimeMs);

    // Dragged by its caption.
    const QPoint start = form->pos();
    QTest::mousePress(form->Label_Title, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10),
                     QPointF(start + QPoint(-30, -20) + QPoint(10, 10)), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(form->Label_Title, &move);
    QTest::mouseRelease(form->Label_Title, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(form->pos(), start + QPoint(-30, -20));

    form->SMS_IMbutton->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(popups.hasNewSmsPopup());

    // Left alone, it goes when its time is up; the call notice's buttons are the call window's.
    popups.showNewSmsPopup(QStringLiteral("+5491100006"), false);
    popups.newSmsPopup()->Timer_Close->setInterval(1);
    popups.newSmsPopup()->Timer_Close->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popups.hasNewSmsPopup(); }, 2000));
    EXPECT_EQ(opened, 1);
    TNewMsgForm call(nullptr, TNewMsgForm::kIncomingCall, QStringLiteral("+5491100007"));
    EXPECT_TRUE(call.SMS_IMbutton->isHidden());
    EXPECT_EQ(call.Timer_Close->interval(), TNewMsgForm::kCallLifetimeMs);
}
