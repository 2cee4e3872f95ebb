// The call window's microphone level and mute. The standard commands have no microphone gain,
// and some cards have no +CMUT: where the call's sound goes through the computer both are
// applied to the microphone's samples sent to the card, so the controls work there too.
#pragma once

#include <optional>

namespace calls {

class CallAudio;

class CallMicrophone {
public:
    explicit CallMicrophone(CallAudio &audio);

    // The level kept for the next call (the first value of volconfig.ran, 0-3).
    static int savedLevel();
    // The slider released at `position`: true when the card or the computer took it (it is then
    // kept); false: the slider goes back and the user is told.
    bool setLevel(int position);
    // The mute box clicked: true when the card or the computer took it.
    bool setMuted(bool muted);
    // The card's mute as it reports it; nullopt when it cannot say.
    static std::optional<bool> cardMuted();

private:
    CallAudio &m_audio;
};

}  // namespace calls
