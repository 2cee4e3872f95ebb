// Plays an animation stored as a PNG strip: frames side by side, the PNG text keys "Frames"
// (count) and "Delay" (milliseconds per frame). Plays from the first frame to the last and
// starts over, without end.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace waitpane {

class AnimationStrip : public QWidget {
    Q_OBJECT
public:
    explicit AnimationStrip(QWidget *parent = nullptr);

    // False (and nothing plays) when the file cannot be read or does not describe its frames.
    bool open(const QString &path);
    void play();
    void stop();

    int frameCount() const { return m_frameCount; }
    int currentFrame() const { return m_frame; }
    bool isPlaying() const { return m_timer.isActive(); }
    // How many times the frame has moved on since the animation was opened.
    int framesAdvanced() const { return m_framesAdvanced; }

    void Timer_FrameTimer();

signals:
    // The frame has moved on (framesAdvanced() times in all).
    void frameAdvanced(int framesAdvanced);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_strip;
    int m_frameCount = 0;
    int m_frame = 0;
    int m_framesAdvanced = 0;
    QTimer m_timer;
};

}  // namespace waitpane
