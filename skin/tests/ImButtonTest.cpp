#include "skin/ImButton.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace skin;

namespace {

ImButtonDrawState stateOf(bool disabled, bool pushed, bool hot, bool animated = false)
{
    ImButtonDrawState state;
    state.disabled = disabled;
    state.pushed = pushed;
    state.hot = hot;
    state.animated = animated;
    return state;
}

// A strip of frames, each 20 x 10, frame k filled with colours[k].
QPixmap strip(const std::vector<QColor> &colours, int frameHeight = 10)
{
    QPixmap picture(20, frameHeight * int(colours.size()));
    QPainter painter(&picture);
    for (size_t k = 0; k < colours.size(); ++k)
        painter.fillRect(0, int(k) * frameHeight, 20, frameHeight, colours[k]);
    return picture;
}

QColor centreColour(QWidget &widget)
{
    const QImage shot = widget.grab().toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

void sendEnter(QWidget &widget)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(&widget, &enter);
}

void sendLeave(QWidget &widget)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
}

void sendMouse(QWidget &widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

}  // namespace

TEST(ImButtonFrame, StateChoosesTheFrame)
{
    struct Case {
        const char *what;
        ImButtonDrawState state;
        int pictureCount;
        int pictureHeight;
        int buttonHeight;
        int frame;
        int count;
    };
    const Case cases[] = {
        {"normal", stateOf(false, false, false), 3, 72, 24, 0, 3},
        {"hot with three frames shows frame 0", stateOf(false, false, true), 3, 72, 24, 0, 3},
        {"hot with four frames shows frame 3", stateOf(false, false, true), 4, 96, 24, 3, 4},
        {"pushed", stateOf(false, true, true), 3, 72, 24, 2, 3},
        {"disabled wins over pushed", stateOf(true, true, true), 3, 72, 24, 1, 3},
        {"count 0: three times the height", stateOf(false, true, false), 0, 72, 24, 2, 3},
        {"count 0: height not a multiple", stateOf(false, true, false), 0, 80, 24, 2, 3},
        {"count 0: picture as high as the button", stateOf(false, true, false), 0, 24, 24, 0, 1},
        {"count 0: picture lower than the button", stateOf(true, false, false), 0, 10, 24, 0, 1},
        {"count 0: button of no height", stateOf(true, false, false), 0, 10, 0, 0, 1},
        {"single frame disabled", stateOf(true, false, false), 1, 24, 24, 0, 1},
    };
    for (const Case &c : cases) {
        const ImButtonFrame frame = TCustomImButton::chooseFrame(
            c.state, 0, c.pictureCount, c.pictureHeight, 0, 0, c.buttonHeight);
        EXPECT_FALSE(frame.fromAnimation) << c.what;
        EXPECT_EQ(frame.index, c.frame) << c.what;
        EXPECT_EQ(frame.count, c.count) << c.what;
    }
}

TEST(ImButtonFrame, HoverAnimationUsesItsOwnStrip)
{
    const ImButtonFrame frame =
        TCustomImButton::chooseFrame(stateOf(false, false, true, true), 2, 3, 72, 4, 96, 24);
    EXPECT_TRUE(frame.fromAnimation);
    EXPECT_EQ(frame.index, 2);
    EXPECT_EQ(frame.count, 4);
    const ImButtonFrame wrapped =
        TCustomImButton::chooseFrame(stateOf(false, false, true, true), 4, 3, 72, 4, 96, 24);
    EXPECT_EQ(wrapped.index, 0);
    const ImButtonFrame pushed =
        TCustomImButton::chooseFrame(stateOf(false, true, true, true), 1, 3, 72, 4, 96, 24);
    EXPECT_FALSE(pushed.fromAnimation);
    EXPECT_EQ(pushed.index, 2);
}

// The button paints the frame of its state over its whole face.
TEST(ImButtonPaint, FullPictureShowsTheStateFrame)
{
    TImButton button;
    button.resize(40, 20);
    button.setLooks(TImButtonLooks::ibkFullPicture);
    button.setPictureCount(3);
    button.setPicture(strip({Qt::red, Qt::green, Qt::blue}));
    EXPECT_EQ(centreColour(button), QColor(Qt::red));

    sendEnter(button);
    EXPECT_TRUE(button.isHot());
    EXPECT_EQ(centreColour(button), QColor(Qt::red));  // hot: frame 3 does not exist, frame 0

    sendMouse(button, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    EXPECT_EQ(centreColour(button), QColor(Qt::blue));
    sendMouse(button, QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton);

    button.setEnabled(false);
    EXPECT_EQ(centreColour(button), QColor(Qt::green));
}

TEST(ImButtonPaint, FourthFrameIsTheHotLook)
{
    TImButton button;
    button.resize(20, 10);
    button.setLooks(TImButtonLooks::ibkFullPicture);
    button.setPicture(strip({Qt::red, Qt::green, Qt::blue, Qt::yellow}));  // count 0: from height
    sendEnter(button);
    EXPECT_EQ(button.currentFrame().index, 3);
    EXPECT_EQ(centreColour(button), QColor(Qt::yellow));
}

TEST(ImButtonPaint, EmptyPictureFallsBackToTheNormalLook)
{
    TImButton button;
    button.resize(40, 20);
    button.setLooks(TImButtonLooks::ibkFullPicture);
    button.setColor(QColor(10, 200, 30));
    EXPECT_EQ(centreColour(button), QColor(10, 200, 30));
    TImButtonColors colours;
    colours.DisabledColor = QColor(90, 90, 90);
    button.setColors(colours);
    button.setEnabled(false);
    EXPECT_EQ(centreColour(button), QColor(90, 90, 90));
}

TEST(ImButtonPaint, DisabledCaptionIsEmbossed)
{
    TImButton button;
    button.resize(60, 24);
    button.setLooks(TImButtonLooks::ibkFullPicture);
    button.setPicture(strip({Qt::white, Qt::white, Qt::white}, 24));
    button.setShowFullPicCaption(true);
    button.setText(QStringLiteral("WWW"));
    QPalette colours = button.palette();
    colours.setColor(QPalette::Light, QColor(255, 0, 0));
    colours.setColor(QPalette::Dark, QColor(0, 0, 255));
    button.setPalette(colours);
    button.setFontColor(QColor(0, 255, 0));
    button.setEnabled(false);
    const QImage shot = button.grab().toImage();
    bool light = false, dark = false, normal = false;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            light |= c.red() > 200 && c.green() < 60 && c.blue() < 60;
            dark |= c.blue() > 200 && c.red() < 60 && c.green() < 60;
            normal |= c.green() > 200 && c.red() < 60 && c.blue() < 60;
        }
    EXPECT_TRUE(light);
    EXPECT_TRUE(dark);
    EXPECT_FALSE(normal);
}

TEST(ImButtonMouse, PressLeaveAndComeBack)
{
    TImButton button;
    button.resize(40, 20);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);

    sendEnter(button);
    EXPECT_TRUE(button.isHot());
    EXPECT_TRUE(button.isHoverTimerActive());

    sendMouse(button, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    EXPECT_TRUE(button.isCaptured());
    EXPECT_TRUE(button.isPushed());

    // Out while held: shown unpressed, still captured.
    sendMouse(button, QEvent::MouseMove, {80, 5}, Qt::LeftButton);
    EXPECT_FALSE(button.isHot());
    EXPECT_FALSE(button.isPushed());
    EXPECT_TRUE(button.isCaptured());
    EXPECT_FALSE(button.isHoverTimerActive());
    EXPECT_EQ(button.currentFrame().index, 0);

    // Back in, still held: pushed again.
    sendMouse(button, QEvent::MouseMove, {6, 6}, Qt::LeftButton);
    EXPECT_TRUE(button.isHot());
    EXPECT_TRUE(button.isPushed());

    sendMouse(button, QEvent::MouseButtonRelease, {6, 6}, Qt::NoButton);
    EXPECT_FALSE(button.isCaptured());
    EXPECT_FALSE(button.isPushed());
    EXPECT_EQ(clicks.count(), 1);

    // Released outside: no click.
    sendMouse(button, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    sendMouse(button, QEvent::MouseMove, {80, 5}, Qt::LeftButton);
    sendMouse(button, QEvent::MouseButtonRelease, {80, 5}, Qt::NoButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button.isCaptured());
}

TEST(ImButtonMouse, DisabledWhileHeldDoesNotStayPushed)
{
    TImButton button;
    button.resize(40, 20);
    button.setPictureCount(3);
    sendEnter(button);
    sendMouse(button, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    ASSERT_TRUE(button.isPushed());

    button.setEnabled(false);
    EXPECT_EQ(button.currentFrame().index, 1);
    button.setEnabled(true);
    EXPECT_FALSE(button.isCaptured());
    EXPECT_FALSE(button.isPushed());
    EXPECT_NE(button.currentFrame().index, 2);

    // Leaving and coming back no longer brings the old press back.
    sendLeave(button);
    sendEnter(button);
    EXPECT_FALSE(button.isPushed());
}

TEST(ImButtonMouse, DoubleClickActsAsPress)
{
    TImButton button;
    button.resize(40, 20);
    sendMouse(button, QEvent::MouseButtonDblClick, {5, 5}, Qt::LeftButton);
    EXPECT_TRUE(button.isCaptured());
    EXPECT_TRUE(button.isPushed());
}

TEST(ImButtonMouse, HoverTimerTreatsACursorOutsideAsLeaving)
{
    QWidget window;
    window.resize(200, 100);
    TImButton button(&window);
    button.setGeometry(10, 10, 40, 20);
    window.show();
    sendEnter(button);

    QCursor::setPos(button.mapToGlobal(QPoint(5, 5)));
    button.Timer_HoverTimer();
    EXPECT_TRUE(button.isHot());

    QCursor::setPos(button.mapToGlobal(QPoint(150, 70)));
    button.Timer_HoverTimer();
    EXPECT_FALSE(button.isHot());
    EXPECT_FALSE(button.isHoverTimerActive());

    sendEnter(button);
    sendLeave(button);
    EXPECT_FALSE(button.isHot());
}

TEST(ImButtonColours, UnsetStateColoursFallBackToTheButtonColour)
{
    TImButton button;
    button.setColor(QColor(1, 2, 3));
    TImButtonColors colours;
    colours.PushedColor = QColor(9, 9, 9);
    button.setColors(colours);
    EXPECT_EQ(button.stateColor(stateOf(false, true, false)), QColor(9, 9, 9));
    EXPECT_EQ(button.stateColor(stateOf(false, false, true)), QColor(1, 2, 3));
    EXPECT_EQ(button.stateColor(stateOf(true, false, false)), QColor(1, 2, 3));
    EXPECT_EQ(button.stateColor(stateOf(false, false, false)), QColor(1, 2, 3));
}
