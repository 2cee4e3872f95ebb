#include "CallMicrophone.h"

#include "CallAudio.h"

#include "config/BL_File.h"
#include "lumacore.h"

namespace calls {

CallMicrophone::CallMicrophone(CallAudio &audio) : m_audio(audio)
{
    m_audio.setMicrophoneLevel(savedLevel());
}

int CallMicrophone::savedLevel()
{
    VolConfig levels{};
    (void)FileStore().LoadVolConfig(levels);  // unreadable: the defaults it leaves
    return levels.microphone.get();
}

bool CallMicrophone::setLevel(int position)
{
    if (position < 0 || position >= CallAudio::kMicrophoneLevels)
        return false;
    const bool card = _MEC_SetMicrophoneVol(static_cast<uint8_t>(position)) == 0;
    const bool computer = m_audio.carriesSound() || m_audio.portPresent();
    if (!card && !computer)
        return false;
    m_audio.setMicrophoneLevel(position);
    VolConfig levels{};
    (void)FileStore().LoadVolConfig(levels);
    levels.microphone.set(position);
    (void)FileStore().SaveVolConfig(levels);  // a level not kept is 2 again next time
    return true;
}

bool CallMicrophone::setMuted(bool muted)
{
    const bool card = _MEC_SetMicMute(muted ? 1 : 0) == 0;
    const bool computer = m_audio.carriesSound() || m_audio.portPresent();
    if (!card && !computer)
        return false;
    m_audio.setMicrophoneMuted(muted);
    return true;
}

std::optional<bool> CallMicrophone::cardMuted()
{
    switch (_MEC_GetMicMuteState()) {
    case MEC_MIC_MUTED: return true;
    case MEC_MIC_NOT_MUTED: return false;
    default: return std::nullopt;
    }
}

}  // namespace calls
