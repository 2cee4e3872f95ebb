// The image-button look worn by a plain QPushButton: the skin's three-frame picture (normal,
// disabled, pushed) drawn under the button's own caption. The button keeps everything else
// (clicks, shortcuts, focus, checkable state), so a window's code never depends on whether its
// skin had the picture; without one the button stays a normal Qt button.
#pragma once

#include <QColor>
#include <QObject>
#include <QPixmap>

class QPushButton;

namespace skin {

class ButtonFace : public QObject {
    Q_OBJECT
public:
    // Frames of the skin's button pictures, stacked top to bottom.
    static constexpr int kFrames = 3;

    // Puts the face on the button (replacing one it wears); a null picture takes it off.
    static void wear(QPushButton &button, const QPixmap &strip);
    // The face a button wears, or nullptr.
    static ButtonFace *of(const QPushButton &button);

    void setTextColor(const QColor &color);
    void setHotTextColor(const QColor &color);
    const QPixmap &strip() const { return m_strip; }
    // The frame the button shows now: 0 normal (also while hot), 1 disabled, 2 pushed.
    int frameIndex() const;
    // The height one frame is drawn for, in the button's own pixels.
    int frameHeight() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ButtonFace(QPushButton &button, const QPixmap &strip);
    void paint();

    QPushButton &m_button;
    QPixmap m_strip;
    QColor m_textColor;
    QColor m_hotTextColor;
    bool m_hot = false;
};

}  // namespace skin
