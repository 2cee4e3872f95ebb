// The sound output over Qt Multimedia.
#include "Sound.h"

#include <QFileInfo>
#include <QObject>
#include <QUrl>

#ifdef LUMADIAL_HAVE_QT_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#endif

namespace {

#ifdef LUMADIAL_HAVE_QT_MULTIMEDIA

class QtSoundOutput final : public QObject, public SoundOutput {
public:
    bool play(const QString &path, bool repeat) override
    {
        stop();
        if (!QFileInfo(path).isFile())
            return false;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return false;  // hasOutputDevice() said otherwise a moment ago
        ensurePlayer();
        m_audio->setDevice(device);
        m_player->setLoops(repeat ? QMediaPlayer::Infinite : 1);
        m_player->setSource(QUrl::fromLocalFile(path));
        m_playing = true;
        ++m_generation;
        m_player->play();
        return true;
    }

    void stop() override
    {
        m_playing = false;
        // A failure already queued belongs to the sound stopped here: it must not restart it.
        ++m_generation;
        if (m_player)
            m_player->stop();
    }

    bool isPlaying() const override { return m_playing; }

    bool hasOutputDevice() const override { return !QMediaDevices::defaultAudioOutput().isNull(); }

private:
    // The player is made on the first sound: loading the media back end takes a while and is
    // useless on a machine that never plays one.
    void ensurePlayer()
    {
        if (m_player)
            return;
        m_audio = std::make_unique<QAudioOutput>();
        m_player = std::make_unique<QMediaPlayer>();
        m_player->setAudioOutput(m_audio.get());
        QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, this,
                         [this](QMediaPlayer::Error error, const QString &) {
                             if (error != QMediaPlayer::NoError)
                                 failed();
                         });
        QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, this,
                         [this](QMediaPlayer::MediaStatus status) {
                             if (status == QMediaPlayer::EndOfMedia)
                                 m_playing = false;
                             else if (status == QMediaPlayer::InvalidMedia)
                                 failed();
                         });
    }

    // Reported from the event loop, not from inside the player's own signal, and only when no
    // other sound was started meanwhile.
    void failed()
    {
        if (!m_playing)
            return;
        m_playing = false;
        const uint64_t generation = m_generation;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == m_generation)
                    reportFailure();
            },
            Qt::QueuedConnection);
    }

    std::unique_ptr<QAudioOutput> m_audio;
    std::unique_ptr<QMediaPlayer> m_player;
    bool m_playing = false;
    uint64_t m_generation = 0;
};

#else

// Built without Qt Multimedia: nothing can be played, as on a machine without an audio device.
class QtSoundOutput final : public SoundOutput {
public:
    bool play(const QString &, bool) override { return false; }
    void stop() override {}
    bool isPlaying() const override { return false; }
    bool hasOutputDevice() const override { return false; }
};

#endif

}  // namespace

std::unique_ptr<SoundOutput> makeQtSoundOutput() { return std::make_unique<QtSoundOutput>(); }

namespace {

std::function<std::unique_ptr<SoundOutput>()> &soundOutputFactory()
{
    static std::function<std::unique_ptr<SoundOutput>()> factory;
    return factory;
}

}  // namespace

std::unique_ptr<SoundOutput> makeSoundOutput()
{
    if (const auto &factory = soundOutputFactory())
        return factory();
    return makeQtSoundOutput();
}

void setSoundOutputFactory(std::function<std::unique_ptr<SoundOutput>()> factory)
{
    soundOutputFactory() = std::move(factory);
}
