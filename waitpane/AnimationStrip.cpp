#include "AnimationStrip.h"

#include <QImageReader>
#include <QPainter>

namespace waitpane {

AnimationStrip::AnimationStrip(QWidget *parent) : QWidget(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &AnimationStrip::Timer_FrameTimer);
}

bool AnimationStrip::open(const QString &path)
{
    stop();
    m_strip = QPixmap();
    m_frameCount = 0;
    m_frame = 0;
    QImageReader reader(path);
    const QImage strip = reader.read();
    if (strip.isNull())
        return false;
    const int frames = strip.text(QStringLiteral("Frames")).toInt();
    const int delay = strip.text(QStringLiteral("Delay")).toInt();
    if (frames <= 0 || strip.width() % frames != 0 || delay <= 0)
        return false;
    m_strip = QPixmap::fromImage(strip);
    m_frameCount = frames;
    m_timer.setInterval(delay);
    update();
    return true;
}

void AnimationStrip::play()
{
    if (m_frameCount > 0)
        m_timer.start();
}

void AnimationStrip::stop() { m_timer.stop(); }

void AnimationStrip::Timer_FrameTimer()
{
    if (m_frameCount <= 0)
        return;
    m_frame = (m_frame + 1) % m_frameCount;
    ++m_framesAdvanced;
    update();
    emit frameAdvanced(m_framesAdvanced);
}

void AnimationStrip::paintEvent(QPaintEvent *)
{
    if (m_frameCount <= 0)
        return;
    const int frameWidth = m_strip.width() / m_frameCount;
    const QRect source(m_frame * frameWidth, 0, frameWidth, m_strip.height());
    QPainter painter(this);
    // Centred in the control, at the frame's own size.
    painter.drawPixmap(QPoint((width() - frameWidth) / 2, (height() - m_strip.height()) / 2),
                       m_strip, source);
}

}  // namespace waitpane
