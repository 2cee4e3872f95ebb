#include "SoundSettings.h"

#include "config/BL_File.h"
#include "config/ConfigRecords.h"
#include "platform/CodePage.h"

#include <cstring>

namespace {

constexpr int kApplied = 3033;
constexpr int kNotSaved = 3018;

}  // namespace

int SoundSettings::slotOfRow(int row)
{
    switch (row) {
    case kConnected: return kSoundSlotConnected;
    case kDisconnected: return kSoundSlotDisconnected;
    case kSmsArrived: return kSoundSlotSmsArrived;
    case kIncomingCall: return kSoundSlotIncomingCall;
    default: return 0;
    }
}

QString SoundSettings::fileFilter()
{
    return QStringLiteral("(*.wav;*.mid;*.mp3;*.wma) (*.wav *.mid *.mp3 *.wma)");
}

QString SoundSettings::initialFolder() const
{
    return m_store.deliveredFolder() + QStringLiteral("/resource/sound");
}

void SoundSettings::load()
{
    for (int row = 0; row < kRowCount; ++row) {
        const SoundSetting *slot = SoundOfSlot(m_store.allConfig(), slotOfRow(row));
        m_choices[static_cast<size_t>(row)] = {
            platform::fromAnsi(platform::fieldText(slot->file, sizeof slot->file)),
            slot->muted != 0};
    }
}

bool SoundSettings::choose(int row, const QString &file)
{
    // A name cut short or with characters turned into '?' would name another file, or none.
    const std::string ansi = platform::toAnsi(file);
    if (file.isEmpty() || ansi.size() >= sizeof(SoundSetting::file) ||
        platform::fromAnsi(ansi) != file)
        return false;
    m_choices.at(static_cast<size_t>(row)).file = file;
    return true;
}

int SoundSettings::apply()
{
    for (int row = 0; row < kRowCount; ++row) {
        SoundSetting *slot = SoundOfSlot(m_store.allConfig(), slotOfRow(row));
        const Choice &choice = m_choices[static_cast<size_t>(row)];
        slot->muted = choice.muted ? 1 : 0;
        platform::copyToField(slot->file, sizeof slot->file, platform::toAnsi(choice.file));
    }
    return m_store.SaveAllConfig() ? kApplied : kNotSaved;
}
