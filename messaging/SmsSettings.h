// The SMS settings without a widget: the service centre and the storage for incoming messages
// live in the card, the validity period and the report request in the global settings record;
// whenever the card becomes ready and whenever the user applies, the engine is handed the whole
// set at once.
#pragma once

#include "config/ConfigRecords.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class SmsSettings {
public:
    // The service centre field takes these characters, at most kCentreLength of them.
    static constexpr int kCentreLength = 32;
    static bool ValidCentre(const QString &text);

    explicit SmsSettings(AllConfig &config) : m_config(config) {}

    // The card became ready (12): the centre read from the card (empty when it cannot be read),
    // the stored storage choice reconciled with the card's, and the set handed to the engine.
    std::string DeviceReady();
    // The centre as the card holds it, or empty.
    static std::string ReadCentre();

    // What the screen selects for the stored choices (-1: none).
    int storageIndex() const;
    int validityIndex() const;
    int reportIndex() const;

    struct Choices {
        std::string centre;  // system code page
        int validity = -1;
        int report = -1;
        int storage = -1;
    };
    // Stores the choices (the centre and the storage only when the card takes them) and hands
    // the set to the engine. The texts to show, in order (text::kSmsCentreNotSet,
    // kSmsStorageNotSet, kSettingsApplied).
    std::vector<int> Apply(const Choices &choices, uint8_t cardState);

private:
    void handOver() const;

    AllConfig &m_config;
};
