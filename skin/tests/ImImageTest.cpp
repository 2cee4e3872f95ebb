#include "skin/ImImage.h"
#include "skin/ImPanel.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace skin;

namespace {

QPixmap solid(const QColor &color)
{
    QPixmap picture(4, 4);
    picture.fill(color);
    return picture;
}

void sendEnter(QWidget &widget)
{
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), widget.mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(&widget, &enter);
}

void sendLeave(QWidget &widget)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
}

void click(QWidget &widget)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), widget.mapToGlobal(QPointF(1, 1)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1),
                        widget.mapToGlobal(QPointF(1, 1)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

}  // namespace

TEST(ImImage, StatusChoosesThePicture)
{
    TImImage image;
    const QPixmap base = solid(Qt::red), hot = solid(Qt::green), sel = solid(Qt::blue);
    image.setPicture(base);
    image.setHotPicture(hot);
    image.setSelPicture(sel);
    struct Case {
        int status;
        qint64 picture;
    };
    const Case cases[] = {
        {0, base.cacheKey()},
        {TImImage::Hot, hot.cacheKey()},
        {TImImage::Selected, sel.cacheKey()},
        {TImImage::Hot | TImImage::Selected, hot.cacheKey()},  // hot before selected
        {TImImage::Pressed | TImImage::Hot, sel.cacheKey()},   // pressed before hot
    };
    for (const Case &c : cases) {
        image.setStatus(c.status);
        EXPECT_EQ(image.currentPicture().cacheKey(), c.picture) << c.status;
    }
    image.setHotPicture(QPixmap());
    image.setStatus(TImImage::Hot);
    EXPECT_EQ(image.currentPicture().cacheKey(), base.cacheKey());  // no hot picture: base
}

TEST(ImImage, StatusChangeSignalsOnlyRealChanges)
{
    TImImage image;
    QSignalSpy changes(&image, &TImImage::statusChanged);
    image.setStatus(TImImage::Hot);
    image.setStatus(TImImage::Hot);
    image.setStatus(0);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes[0][0].toInt(), TImImage::Hot);
    EXPECT_EQ(changes[0][1].toInt(), 0);
    EXPECT_EQ(changes[1][0].toInt(), 0);
    EXPECT_EQ(changes[1][1].toInt(), TImImage::Hot);
}

TEST(ImImage, MouseSetsAndClearsHotAndPressed)
{
    TImImage image;
    image.resize(10, 10);
    sendEnter(image);
    EXPECT_EQ(image.Status(), TImImage::Hot);
    EXPECT_TRUE(image.isHoverTimerActive());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), image.mapToGlobal(QPointF(1, 1)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&image, &press);
    EXPECT_EQ(image.Status(), TImImage::Hot | TImImage::Pressed);
    sendLeave(image);
    EXPECT_EQ(image.Status(), 0);
    EXPECT_FALSE(image.isHoverTimerActive());
}

TEST(ImImage, PressDragOutAndBackInThenReleaseClicks)
{
    TImImage image;
    image.resize(10, 10);
    QSignalSpy clicks(&image, &TImImage::clicked);
    const auto send = [&image](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, image.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&image, &event);
    };
    sendEnter(image);
    send(QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton);
    // Out while held: shown unpressed. The hover timer finds the cursor outside as well.
    send(QEvent::MouseMove, {30, 2}, Qt::LeftButton);
    EXPECT_EQ(image.Status() & (TImImage::Hot | TImImage::Pressed), 0);
    // Back in, still held: pressed again.
    send(QEvent::MouseMove, {3, 3}, Qt::LeftButton);
    EXPECT_EQ(image.Status(), TImImage::Hot | TImImage::Pressed);
    send(QEvent::MouseButtonRelease, {3, 3}, Qt::NoButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(image.Status() & TImImage::Pressed, 0);

    // Released outside: no click; a release with no press before it: no click.
    send(QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton);
    send(QEvent::MouseMove, {30, 2}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {30, 2}, Qt::NoButton);
    send(QEvent::MouseButtonRelease, {3, 3}, Qt::NoButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ImImage, BackgroundImageNeverChangesStatus)
{
    TImImage image;
    image.resize(10, 10);
    image.setIsBkgnd(true);
    QSignalSpy clicks(&image, &TImImage::clicked);
    sendEnter(image);
    click(image);
    EXPECT_EQ(image.Status(), 0);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ImPanel, GroupedClickSettlesTheSelection)
{
    for (const bool keep : {true, false}) {
        TImPanel panel;
        panel.setKeepSelStatus(keep);
        TImImage first(&panel), second(&panel), loner(&panel);
        for (TImImage *image : {&first, &second, &loner})
            image->resize(10, 10);
        first.setGrouped(true);
        second.setGrouped(true);
        first.setSelected(true);
        loner.setSelected(true);  // not grouped, but an image of the panel all the same

        QSignalSpy clicks(&second, &TImImage::clicked);
        click(second);
        EXPECT_EQ(clicks.count(), 1);
        EXPECT_FALSE(first.isSelected()) << keep;
        EXPECT_EQ(second.isSelected(), keep);
        EXPECT_EQ(second.Status() & TImImage::Pressed, 0);
        EXPECT_FALSE(loner.isSelected());

        panel.ResetAll();
        EXPECT_EQ(first.Status() | second.Status() | loner.Status(), 0);
    }
}
