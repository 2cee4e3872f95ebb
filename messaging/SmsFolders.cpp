#include "SmsFolders.h"

#include "logic/EngineValues.h"

#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

using platform::GetLanguageString;

namespace {

constexpr unsigned kFolderNames[3] = {text::kSmsInboxPc, text::kSmsSentPc, text::kSmsDraftsPc};

}  // namespace

void SmsFolders::SetDeviceState(uint8_t state)
{
    m_state = state;
    plan();
}

void SmsFolders::plan()
{
    if (m_state != kCardRegistered && m_state != kSimReady) {
        for (int load = 0; load < LoadCount; ++load)
            m_done[load] = m_wanted[load] = false;
        return;
    }
    // SIM ready implies a registered card: a card that reports 12 without passing 11 still has
    // its settings made and its own messages read, else the SIM's load would wait for ever.
    m_wanted[InitSettings] = !m_done[InitSettings];
    m_wanted[LoadCard] = !m_done[LoadCard];
    m_wanted[LoadSim] = m_state == kSimReady && !m_done[LoadSim];
}

bool SmsFolders::Tick(Load load)
{
    if (!m_wanted[load] || m_done[load])
        return false;
    uint16_t status = 0;
    switch (load) {
    case InitSettings: status = m_store.InitSettings(); break;
    case LoadCard:
        if (!m_done[InitSettings])
            return false;
        status = m_store.Load(SMS_STORE_CARD);
        break;
    case LoadSim:
        if (!m_done[InitSettings])
            return false;
        status = m_store.Load(SMS_STORE_SIM);
        break;
    case LoadCount: return false;
    }
    if (status != 0)
        return false;  // the timer stays on: tried again at its next tick
    m_done[load] = true;
    plan();
    return true;
}

SmsFolders::Counts SmsFolders::CountTexts() const
{
    Counts counts;
    const QString messages = GetLanguageString(text::kSmsMessages);
    for (int folder = 0; folder < 3; ++folder) {
        const int pc = m_store.Count(uint8_t(folder + 1), SMS_STORE_PC);
        QString text = QStringLiteral("%1:%2 %3")
                           .arg(GetLanguageString(kFolderNames[folder]))
                           .arg(pc)
                           .arg(messages);
        if (simLoaded()) {
            text += QStringLiteral(" %1:%2 %3")
                        .arg(GetLanguageString(text::kSmsSimName))
                        .arg(m_store.Count(uint8_t(folder + 1), SMS_STORE_SIM))
                        .arg(messages);
        }
        // Messages kept in the card's own memory are named only when there are some.
        const int inCard = cardLoaded() ? m_store.Count(uint8_t(folder + 1), SMS_STORE_CARD) : 0;
        if (inCard > 0) {
            text += QStringLiteral(" %1:%2 %3")
                        .arg(GetLanguageString(text::kSmsDataCard))
                        .arg(inCard)
                        .arg(messages);
        }
        counts.folders[folder] = text;
    }
    if (simLoaded()) {
        counts.simCapacity = QStringLiteral("%1:%2 %3")
                                 .arg(GetLanguageString(text::kSmsSimCapacity))
                                 .arg(m_store.Capacity(SMS_STORE_SIM))
                                 .arg(messages);
    }
    counts.pcCapacity = QStringLiteral("%1:%2 %3")
                            .arg(GetLanguageString(text::kSmsPcCapacity))
                            .arg(m_store.Capacity(SMS_STORE_PC))
                            .arg(messages);
    return counts;
}

int SmsFolders::FullNotice() const
{
    const int simCapacity = m_store.Capacity(SMS_STORE_SIM);
    const int pcCapacity = m_store.Capacity(SMS_STORE_PC);
    const bool simFull = simLoaded() && simCapacity > 0 &&
                         m_store.Count(SMS_FOLDER_ALL, SMS_STORE_SIM) >= simCapacity;
    const bool pcFull =
        pcCapacity >= 1 && m_store.Count(SMS_FOLDER_ALL, SMS_STORE_PC) >= pcCapacity;
    if (simFull && pcFull)
        return text::kSmsBothFull;
    if (pcFull)
        return text::kSmsPcFull;
    return simFull ? text::kSmsSimFull : 0;
}
