#include "SmsSettings.h"

#include <mutex>

namespace lumacore {

namespace {

std::mutex g_mutex;
SmsSettings g_settings;

}  // namespace

SmsSettings smsSettings()
{
    std::lock_guard lock(g_mutex);
    return g_settings;
}

void setSmsSettings(const SmsSettings &settings)
{
    std::lock_guard lock(g_mutex);
    g_settings = settings;
}

std::optional<uint32_t> validityMinutesOfDigit(uint8_t digit)
{
    switch (digit) {
    case '0': return 12 * 60;
    case '1': return 24 * 60;
    case '2': return 7 * 24 * 60;
    case '3': return 63 * 7 * 24 * 60;
    default: return std::nullopt;
    }
}

}  // namespace lumacore
