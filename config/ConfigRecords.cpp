#include "config/ConfigRecords.h"

#include "platform/CodePage.h"

#include <cstring>

namespace {

// The delivered sound files. Forward slashes: the program resolves them against its own folder
// on a system whose separator is '/'.
constexpr std::string_view kSmsArrivedWav = "./resource/sound/wav/bird.wav";
constexpr std::string_view kIncomingCallWav = "./resource/sound/wav/stelephone.wav";
constexpr std::string_view kConnectedWav = "./resource/sound/wav/chimes.wav";
constexpr std::string_view kDisconnectedWav = "./resource/sound/wav/tada.wav";

}  // namespace

SoundSetting *SoundOfSlot(AllConfig &config, int slot)
{
    switch (slot) {
    case kSoundSlotSmsArrived: return &config.smsArrivedSound;
    case kSoundSlotIncomingCall: return &config.incomingCallSound;
    case kSoundSlotConnected: return &config.connectedSound;
    case kSoundSlotDisconnected: return &config.disconnectedSound;
    default: return nullptr;
    }
}

const SoundSetting *SoundOfSlot(const AllConfig &config, int slot)
{
    return SoundOfSlot(const_cast<AllConfig &>(config), slot);
}

std::string_view DeliveredSoundFile(int slot)
{
    switch (slot) {
    case kSoundSlotSmsArrived: return kSmsArrivedWav;
    case kSoundSlotIncomingCall: return kIncomingCallWav;
    case kSoundSlotConnected: return kConnectedWav;
    case kSoundSlotDisconnected: return kDisconnectedWav;
    default: return {};
    }
}

void ApplyAllConfigDefaults(AllConfig &config, bool fileExisted)
{
    config.networkSelection = 0;
    config.forbidStandby = 1;
    platform::copyToField(config.smsValidity, sizeof config.smsValidity, "3");
    platform::copyToField(config.smsStatusReport, sizeof config.smsStatusReport, "1");
    for (int slot = kSoundSlotSmsArrived; slot <= kSoundSlotDisconnected; ++slot) {
        SoundSetting *sound = SoundOfSlot(config, slot);
        sound->muted = 0;
        platform::copyToField(sound->file, sizeof sound->file, DeliveredSoundFile(slot));
    }
    // The PIN mirror follows the SIM; a settings file that already existed knows it better
    // than a default does.
    if (!fileExisted)
        config.pinRequestEnabled = 0;
}

std::string_view ProfileName(const ProfileRecord &record)
{
    return platform::fieldText(record.name, sizeof record.name);
}

bool HasName(const ProfileRecord &record, std::string_view name)
{
    return ProfileName(record) == name;
}
