// The call window's part for the call's sound on the computer: the microphone slider and the
// mute box, and the sound itself started and stopped with the calls. What they do is
// CallAudio's and CallMicrophone's; this is the controls over them.
#pragma once

#include "CallAudio.h"
#include "CallMicrophone.h"

#include "logic/EngineValues.h"

#include <QCheckBox>
#include <QLabel>
#include <QObject>
#include <QSlider>

#include <functional>

class QBoxLayout;

namespace calls {

class CallSoundControls : public QObject {
    Q_OBJECT
public:
    // The controls go into `row` of `window`; `message` tells the user something about the
    // call's sound without stopping what is under way.
    CallSoundControls(QWidget &window, QBoxLayout &row, std::function<void(const QString &)> message);

    QLabel *MicrophoneLabel;
    QSlider *MicrophoneTrackBar;  // 0-3
    QCheckBox *MuteCheckBox;

    CallAudio &audio() { return m_audio; }

    // A call connected, held or in a conference: the sound flows; none: it stops.
    void callStateChanged(CallState state);
    // The card is ready for calls: the level kept, the card's mute, and the controls shown
    // where they have something to act on.
    void cardReady();
    void MicrophoneTrackBarReleased();
    void MuteCheckBoxClick(bool checked);

private:
    std::function<void(const QString &)> m_message;
    CallAudio m_audio;
    CallMicrophone m_microphone;
};

}  // namespace calls
