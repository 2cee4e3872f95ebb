// Restoring the factory settings: the card's network selection and SMS storage put back where it
// can be told (a refusal does not stop the restore, it is named in the closing message), the
// factory profile made the default, and the settings file rewritten from the delivered defaults.
#pragma once

#include "config/ConfigRecords.h"

#include <QString>

#include <cstdint>
#include <functional>

struct RestoreCalls {
    std::function<uint16_t(uint8_t)> setNetworkSelectMode;
    std::function<uint16_t(uint32_t)> setSmsSaveLocation;
    // The factory profile made the default, and its modem parameters told to the card.
    std::function<void()> useFactoryProfile;
    // The delivered defaults put into the settings and written; false when writing failed.
    std::function<bool()> restoreAllConfig;
    static RestoreCalls program();
};

struct RestoreOutcome {
    bool restored = false;
    QString message;  // what the closing box says
    bool networkSelectionReset = false;  // the network page forgets its remembered choices
};

// config is the settings record in memory (the SMS storage and the automatic-selection choice
// follow what the card took before the defaults are written).
RestoreOutcome RestoreFactorySettings(uint8_t cardState, AllConfig &config,
                                      const RestoreCalls &calls);
