// The SMS settings the program hands over (_MEC_SetSmsConfig, _MEC_SetSmsSaveLocation): kept
// apart from any engine, so they hold from before start-up on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lumacore {

struct SmsSettings {
    std::string serviceCentre;  // empty: the card's own (+CSCA)
    std::optional<uint32_t> validityMinutes;
    bool statusReport = false;
    uint8_t saveLocation = 0;  // 0 SIM, 1 card, 2 PC
};

SmsSettings smsSettings();
void setSmsSettings(const SmsSettings &settings);

// The validity the settings' digit stands for: '0' 12 hours, '1' a day, '2' a week, '3' the
// longest the message can say (63 weeks); anything else lets the network choose.
std::optional<uint32_t> validityMinutesOfDigit(uint8_t digit);

}  // namespace lumacore
