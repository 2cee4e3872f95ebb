// The call's sound on the desktop's output and from its microphone, over Qt Multimedia.
#include "CallAudio.h"

#include <QIODevice>

#ifdef LUMADIAL_HAVE_QT_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>
#endif

namespace calls {

namespace {

#ifdef LUMADIAL_HAVE_QT_MULTIMEDIA

// The card's format: 8 kHz, 16-bit signed, one channel (the sound system resamples it).
QAudioFormat cardFormat()
{
    QAudioFormat format;
    format.setSampleRate(8000);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

class QtPcmSink final : public VoicePcmSink {
public:
    explicit QtPcmSink(const QAudioDevice &device) : m_sink(device, cardFormat())
    {
        // A little more than the card's own frames, so a late frame does not break the sound.
        m_sink.setBufferSize(8000 * 2 / 5);
        m_device = m_sink.start();
    }
    ~QtPcmSink() override { m_sink.stop(); }
    void play(const QByteArray &pcm) override
    {
        // Whatever does not fit is late already: it is dropped, the sound goes on.
        if (m_device)
            m_device->write(pcm);
    }

private:
    QAudioSink m_sink;
    QIODevice *m_device = nullptr;  // owned by m_sink
};

class QtPcmSource final : public VoicePcmSource {
public:
    explicit QtPcmSource(const QAudioDevice &device) : m_source(device, cardFormat())
    {
        m_device = m_source.start();
        if (m_device)
            QObject::connect(m_device, &QIODevice::readyRead, m_device,
                             [this] { deliver(m_device->readAll()); });
    }
    ~QtPcmSource() override { m_source.stop(); }

private:
    QAudioSource m_source;
    QIODevice *m_device = nullptr;  // owned by m_source
};

VoiceAudioDevices openQtAudio()
{
    VoiceAudioDevices devices;
    if (const QAudioDevice output = QMediaDevices::defaultAudioOutput(); !output.isNull())
        devices.sink = std::make_unique<QtPcmSink>(output);
    if (const QAudioDevice input = QMediaDevices::defaultAudioInput(); !input.isNull())
        devices.source = std::make_unique<QtPcmSource>(input);
    return devices;
}

#else

// Built without Qt Multimedia: nothing to play on and no microphone.
VoiceAudioDevices openQtAudio() { return {}; }

#endif

std::function<VoiceAudioDevices()> &factory()
{
    static std::function<VoiceAudioDevices()> installed;
    return installed;
}

}  // namespace

VoiceAudioDevices openVoiceAudio() { return factory() ? factory()() : openQtAudio(); }

void setVoiceAudioFactory(std::function<VoiceAudioDevices()> maker) { factory() = std::move(maker); }

}  // namespace calls
