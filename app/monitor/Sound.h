// Notification sounds: one player, one sound at a time, a higher priority never cut by a lower.
//
// Priorities: 1 connection up or down, 2 new message, 3 incoming call (the ring, which repeats
// until stopped). The file of each event comes from the sound settings (a muted event has no
// file and plays nothing). A file that cannot be played gets the platform beep, its delivered
// default is put back and that is tried once more. With no audio device at all only the beep
// sounds: the file is not at fault, so the user's choice stays.
#pragma once

#include <QString>

#include <functional>
#include <memory>

class TBL_File;

// Where sounds are actually played. The program uses QtSoundOutput; tests use a recorder.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Starts the file, once or repeating from the start whenever it ends. False when it cannot
    // start at all (no audio device, no such file). A failure found later while playing is
    // reported through the failure handler.
    virtual bool play(const QString &path, bool repeat) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    // Whether there is anything to play on (an audio output device).
    virtual bool hasOutputDevice() const { return true; }
    void setFailureHandler(std::function<void()> handler) { m_failed = std::move(handler); }

protected:
    void reportFailure()
    {
        if (m_failed)
            m_failed();
    }

private:
    std::function<void()> m_failed;
};

enum class SoundEvent {
    SmsArrived,    // priority 2
    IncomingCall,  // priority 3, repeats
    Connected,     // priority 1
    Disconnected,  // priority 1
};

class SoundPlayer {
public:
    // store: where the sound files are looked up and restored. beep: the platform beep.
    // showMessage: a one-button warning box with the text (the settings could not be read).
    SoundPlayer(std::unique_ptr<SoundOutput> output, const TBL_File &store,
                 std::function<void()> beep, std::function<void(const QString &)> showMessage);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;

    // Plays the event's sound unless a sound of higher priority is playing.
    void play(SoundEvent event);
    // Stops whatever plays.
    void stop();
    // Plays a file once so the user hears what they chose, like a connection sound: it never
    // cuts a message sound or the ring. A file that cannot be played only beeps; the settings
    // are not touched.
    void preview(const QString &file);

    // The priority of the sound playing now, 0 when none plays.
    int playingPriority() const;
    bool isRinging() const { return playingPriority() == 3; }

    static int priorityOf(SoundEvent event);
    // The file as the player opens it: a path beginning with "." has its first two characters
    // (".\" or "./") replaced by the program folder.
    static QString resolvePath(const std::string &file, const QString &programFolder);
    static QString resolveChosenPath(QString path, const QString &programFolder);

private:
    bool start(SoundEvent event);
    void playbackFailed();

    std::unique_ptr<SoundOutput> m_output;
    const TBL_File &m_store;
    std::function<void()> m_beep;
    std::function<void(const QString &)> m_showMessage;
    int m_priority = 0;  // of the sound last started
    SoundEvent m_event = SoundEvent::SmsArrived;
    bool m_retried = false;  // the default was already put back for the sound playing now
    bool m_preview = false;  // the sound playing now is a try-out, not an event's
};

// Plays through Qt Multimedia; without an audio output device every play fails at once.
std::unique_ptr<SoundOutput> makeQtSoundOutput();
// The output a new player plays through: Qt Multimedia, unless a test installed its own maker
// (an empty one goes back to Qt Multimedia).
std::unique_ptr<SoundOutput> makeSoundOutput();
void setSoundOutputFactory(std::function<std::unique_ptr<SoundOutput>()> factory);
