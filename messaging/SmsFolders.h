// What the SMS main screen decides without a widget: when the SIM and the card are read as the
// card becomes ready (three retried loads), the folder counts it shows, and whether a storage is
// full when the screen opens.
#pragma once

#include "SmsStoreAccess.h"

#include <QString>

#include <cstdint>

class SmsFolders {
public:
    // The three loads, each driven by a timer of the screen.
    enum Load { InitSettings, LoadCard, LoadSim, LoadCount };

    explicit SmsFolders(SmsStoreAccess &store) : m_store(store) {}

    // A new card state: which loads must run from now on (timersWanted()). Leaving the ready
    // states forgets what was loaded, so the next ready period reads everything again.
    void SetDeviceState(uint8_t state);
    // One tick of a load's timer: tries it when it is due; true when it succeeded this time.
    bool Tick(Load load);
    bool timerWanted(Load load) const { return m_wanted[load]; }

    bool settingsReady() const { return m_done[InitSettings]; }
    bool cardLoaded() const { return m_done[LoadCard]; }
    bool simLoaded() const { return m_done[LoadSim]; }
    uint8_t deviceState() const { return m_state; }

    // The label texts: one per folder (inbox, sent, drafts), the SIM's and the PC's capacity.
    struct Counts {
        QString folders[3];
        QString simCapacity;
        QString pcCapacity;
    };
    Counts CountTexts() const;

    // The notice when the screen opens: text::kSmsBothFull, kSmsPcFull or kSmsSimFull; 0 none.
    int FullNotice() const;

private:
    void plan();

    SmsStoreAccess &m_store;
    uint8_t m_state = 1;
    bool m_done[LoadCount] = {};
    bool m_wanted[LoadCount] = {};
};
