// Image buttons: one picture holds the button's state frames (normal, disabled, pushed, and
// optionally hot), stacked top to bottom; the button picks the frame for its state and
// stretches it over itself. TCustomImButton carries the behaviour, TImButton is what windows
// place.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QTimer>

namespace skin {

enum class TImButtonLooks { ibkNormal, ibkFlat, ibkFullPicture, ibkWindowsXP };

// Button colour per state. An invalid colour means "not set": the button's own colour is used.
struct TImButtonColors {
    QColor DefaultColor;
    QColor DisabledColor;
    QColor PushedColor;
    QColor HotColor;
};

// The drawing state of a button at one moment.
struct ImButtonDrawState {
    bool pushed = false;
    bool focused = false;
    bool hot = false;
    bool animated = false;  // animated and the animation strip is not empty
    bool disabled = false;
};

// Which frame of which strip the full-picture look shows.
struct ImButtonFrame {
    bool fromAnimation = false;
    int index = 0;
    int count = 1;
};

class TCustomImButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kHoverInterval = 200;

    explicit TCustomImButton(QWidget *parent = nullptr);

    TImButtonLooks Looks() const { return m_looks; }
    void setLooks(TImButtonLooks looks);

    const QPixmap &Picture() const { return m_picture; }
    // isIcon: the picture is an icon, drawn at the top-left corner without stretching.
    void setPicture(const QPixmap &picture, bool isIcon = false);
    int PictureCount() const { return m_pictureCount; }
    void setPictureCount(int count);

    const QPixmap &AnimatePicture() const { return m_animatePicture; }
    void setAnimatePicture(const QPixmap &picture);
    int AnimatedCount() const { return m_animatedCount; }
    void setAnimatedCount(int count);
    bool Animated() const { return m_animated; }
    void setAnimated(bool animated);
    int AnimateSpeed() const { return m_animateSpeed; }
    void setAnimateSpeed(int milliseconds);

    bool ShowFullPicCaption() const { return m_showFullPicCaption; }
    void setShowFullPicCaption(bool show);
    QColor HotTextColor() const { return m_hotTextColor; }
    void setHotTextColor(const QColor &color);
    QColor FontColor() const { return m_fontColor; }
    void setFontColor(const QColor &color);
    bool FocusRect() const { return m_focusRect; }
    void setFocusRect(bool on);
    int Spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    const TImButtonColors &Colors() const { return m_colors; }
    void setColors(const TImButtonColors &colors);
    QColor Color() const { return m_color; }
    void setColor(const QColor &color);

    // Runtime state.
    bool isHot() const { return m_hot; }
    bool isCaptured() const { return m_captured; }
    bool isPushed() const { return m_pushed || isDown(); }
    bool isHoverTimerActive() const { return Timer_Hover.isActive(); }

    ImButtonDrawState drawState() const;
    // The frame the full-picture look shows now.
    ImButtonFrame currentFrame() const;
    // The colour the drawn looks and the focus rectangle use in the given state.
    QColor stateColor(const ImButtonDrawState &state) const;

    // Frame choice of the full-picture look, without a widget.
    static int frameCount(int declaredCount, int pictureHeight, int buttonHeight);
    static ImButtonFrame chooseFrame(const ImButtonDrawState &state, int animationCounter,
                                     int pictureCount, int pictureHeight, int animatedCount,
                                     int animationHeight, int buttonHeight);

    // The hover timer's tick: a cursor outside the button counts as leaving.
    void Timer_HoverTimer();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void mouseEntered();
    void mouseLeft();
    void Timer_AnimateTimer();
    void updateAnimationTimer();

    void drawFullPicture(QPainter &painter, const ImButtonDrawState &state);
    void drawNormal(QPainter &painter, const ImButtonDrawState &state, bool flat);
    void drawWindowsXP(QPainter &painter, const ImButtonDrawState &state);
    void drawCaption(QPainter &painter, const QRect &textRect, const QRect &focusRect,
                     const ImButtonDrawState &state, int alignment);

    TImButtonLooks m_looks = TImButtonLooks::ibkNormal;
    QPixmap m_picture;
    bool m_pictureIsIcon = false;
    int m_pictureCount = 0;
    QPixmap m_animatePicture;
    int m_animatedCount = 0;
    bool m_animated = false;
    int m_animateSpeed = 200;
    bool m_showFullPicCaption = false;
    QColor m_hotTextColor = Qt::blue;
    QColor m_fontColor;
    bool m_focusRect = true;
    int m_spacing = 2;
    bool m_transparent = false;
    TImButtonColors m_colors;
    QColor m_color;

    bool m_hot = false;
    bool m_captured = false;
    bool m_pushed = false;
    int m_animationCounter = 0;
    QTimer Timer_Hover;
    QTimer Timer_Animate;
};

class TImButton : public TCustomImButton {
    Q_OBJECT
public:
    explicit TImButton(QWidget *parent = nullptr) : TCustomImButton(parent) {}
};

}  // namespace skin
