// A sound output that plays nothing and remembers what it was asked to play.
#pragma once

#include "Sound.h"

#include <QString>
#include <QStringList>

#include <memory>

// Plays nothing; remembers what it was asked to play. The state is shared with the test, which
// keeps it after the monitor took the output.
class FakeSoundOutput : public SoundOutput {
public:
    struct State {
        QStringList played;  // every file asked for, in order
        bool playing = false;
        bool repeating = false;
        int refuse = 0;         // the next n plays fail at once
        bool noDevice = false;  // no audio output device
        FakeSoundOutput *output = nullptr;
    };

    explicit FakeSoundOutput(std::shared_ptr<State> state) : m_state(std::move(state))
    {
        m_state->output = this;
    }
    ~FakeSoundOutput() override { m_state->output = nullptr; }

    bool play(const QString &path, bool repeat) override
    {
        m_state->played << path;
        if (m_state->refuse > 0) {
            --m_state->refuse;
            m_state->playing = false;
            return false;
        }
        m_state->playing = true;
        m_state->repeating = repeat;
        return true;
    }
    void stop() override { m_state->playing = false; }
    bool isPlaying() const override { return m_state->playing; }
    bool hasOutputDevice() const override { return !m_state->noDevice; }

    // The sound ends on its own, or breaks while playing.
    void finish() { m_state->playing = false; }
    void breakDown()
    {
        m_state->playing = false;
        reportFailure();
    }

private:
    std::shared_ptr<State> m_state;
};
