// The call's sound on the computer. Many cards carry a call's sound as 8 kHz 16-bit mono PCM on
// a serial port of their own once a command of the card starts it. While a call is connected
// this opens that port, plays what the card sends on the desktop's sound output and sends the
// microphone back, at the level and with the mute the call window sets. A card without such a
// port keeps the sound on itself; the user is told so once for each card.
//
// Every call comes on the window thread; the port is read and written there (16 kB a second).
#pragma once

#include "VoicePortSettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace calls {

// Where the card's sound is played.
class VoicePcmSink {
public:
    virtual ~VoicePcmSink() = default;
    virtual void play(const QByteArray &pcm) = 0;
};

// Where the microphone's sound comes from: handed on as it is recorded.
class VoicePcmSource {
public:
    virtual ~VoicePcmSource() = default;
    void setHandler(std::function<void(const QByteArray &)> handler) { m_handler = std::move(handler); }

protected:
    void deliver(const QByteArray &pcm)
    {
        if (m_handler)
            m_handler(pcm);
    }

private:
    std::function<void(const QByteArray &)> m_handler;
};

struct VoiceAudioDevices {
    std::unique_ptr<VoicePcmSink> sink;      // null: nothing to play on
    std::unique_ptr<VoicePcmSource> source;  // null: no microphone
};

// The desktop's output and microphone (Qt Multimedia), 8 kHz 16-bit mono; a test installs its
// own maker (an empty one goes back to Qt Multimedia).
VoiceAudioDevices openVoiceAudio();
void setVoiceAudioFactory(std::function<VoiceAudioDevices()> factory);

class CallAudio : public QObject {
    Q_OBJECT
public:
    // Microphone positions of the call window's slider.
    static constexpr int kMicrophoneLevels = 4;

    // settingsFolder: where voiceport.ini lies. notice: tells the user something, once.
    CallAudio(QString settingsFolder, std::function<void(const QString &)> notice,
              QObject *parent = nullptr);
    ~CallAudio() override;

    // A call is connected (the sound flows) or none is.
    void setCallConnected(bool connected);
    // The call's sound goes through the computer now.
    bool carriesSound() const { return m_fd >= 0; }
    // The card has a voice port where the settings say (its sound can go through the computer).
    bool portPresent() const;

    // The microphone level (0-3, 2 as the card sends it) and mute, applied to what is sent.
    void setMicrophoneLevel(int position);
    void setMicrophoneMuted(bool muted) { m_muted = muted; }

    // The microphone's samples at a level: scaled and kept inside 16 bits; muted, silence of the
    // same length (the card keeps its timing).
    static QByteArray scaled(const QByteArray &pcm, int position, bool muted);

    uint64_t bytesPlayed() const { return m_played; }
    uint64_t bytesSent() const { return m_sent; }

private:
    bool start();
    void stop();
    void readPort();
    void sendMicrophone(const QByteArray &pcm);
    void flushMicrophone();
    void tellNoSound();

    QString m_folder;
    std::function<void(const QString &)> m_notice;
    bool m_connected = false;
    int m_fd = -1;
    bool m_commandSent = false;
    VoicePortSettings m_settings;
    // A second of the card's sound: what the microphone may be ahead of the line.
    static constexpr qsizetype kMaxPendingBytes = 16000;

    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QByteArray m_pending;  // microphone samples the line has not taken yet
    VoiceAudioDevices m_devices;
    QByteArray m_oddByte;  // half a microphone sample kept for the next delivery
    int m_level = 2;
    bool m_muted = false;
    uint64_t m_played = 0;
    uint64_t m_sent = 0;
};

}  // namespace calls
