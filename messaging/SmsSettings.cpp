#include "SmsSettings.h"

#include "logic/EngineValues.h"

#include "config/BL_File.h"
#include "logic/BL_Sms.h"
#include "platform/CodePage.h"

#include "lumacore.h"
#include "language/TextNumbers.h"

#include <cstring>

namespace {

int digitIndex(const char *field, size_t size, int count)
{
    const std::string_view text = platform::fieldText(field, size);
    if (text.size() != 1 || text[0] < '0' || text[0] >= '0' + count)
        return -1;
    return text[0] - '0';
}

void storeDigit(char *field, size_t size, int value)
{
    std::memset(field, 0, size);
    if (value >= 0 && value <= 9)
        field[0] = char('0' + value);
}

}  // namespace

bool SmsSettings::ValidCentre(const QString &text)
{
    static const QString allowed = QStringLiteral("+0123456789");
    if (text.size() > kCentreLength)
        return false;
    for (QChar character : text)
        if (!allowed.contains(character))
            return false;
    return true;
}

std::string SmsSettings::ReadCentre()
{
    char centre[MEC_SMS_CENTER_TEXT_SIZE] = {};
    if (_MEC_GetSmsCenter(centre) != 0)
        return {};
    return std::string(platform::fieldText(centre, sizeof centre));
}

std::string SmsSettings::DeviceReady()
{
    // A centre that cannot be read is shown empty, but the stored one stays: a card that does
    // not answer once must not cost the user the number they set.
    char centre[MEC_SMS_CENTER_TEXT_SIZE] = {};
    std::string shown;
    if (_MEC_GetSmsCenter(centre) == 0) {
        shown = std::string(platform::fieldText(centre, sizeof centre));
        platform::copyToField(m_config.smsCentre, sizeof m_config.smsCentre, shown);
    }
    uint32_t location = 0;
    if (_MEC_GetSmsSaveLocation(&location) == 0 && location <= SMS_STORE_PC) {
        const int stored = digitIndex(m_config.smsStorage, sizeof m_config.smsStorage, 3);
        // The user's choice of the card's memory is put back into a card that lost it.
        if (stored != int(location) && stored == 1 && _MEC_SetSmsSaveLocation(1) == 0)
            location = 1;
        storeDigit(m_config.smsStorage, sizeof m_config.smsStorage, int(location));
    }
    handOver();
    return shown;
}

int SmsSettings::storageIndex() const
{
    return digitIndex(m_config.smsStorage, sizeof m_config.smsStorage, 3);
}

int SmsSettings::validityIndex() const
{
    return digitIndex(m_config.smsValidity, sizeof m_config.smsValidity, 4);
}

int SmsSettings::reportIndex() const
{
    return digitIndex(m_config.smsStatusReport, sizeof m_config.smsStatusReport, 2);
}

std::vector<int> SmsSettings::Apply(const Choices &choices, uint8_t cardState)
{
    storeDigit(m_config.smsValidity, sizeof m_config.smsValidity, choices.validity);
    storeDigit(m_config.smsStatusReport, sizeof m_config.smsStatusReport, choices.report);
    std::vector<int> shown;
    if (cardState == kSimReady) {
        if (_MEC_SetSmsCenter(choices.centre.c_str()) != 0) {
            shown.push_back(text::kSmsCentreNotSet);
        } else {
            platform::copyToField(m_config.smsCentre, sizeof m_config.smsCentre, choices.centre);
        }
        if (choices.storage < 0 || _MEC_SetSmsSaveLocation(uint32_t(choices.storage)) != 0)
            shown.push_back(text::kSmsStorageNotSet);
        else
            storeDigit(m_config.smsStorage, sizeof m_config.smsStorage, choices.storage);
    }
    if (shown.empty())
        shown.push_back(text::kSettingsApplied);
    handOver();
    return shown;
}

void SmsSettings::handOver() const
{
    // The engine keeps what it can; what it refuses changes nothing here.
    [[maybe_unused]] const MEC_STATUS taken = _MEC_SetSmsConfig(BuildSmsConfigBlock(m_config));
}
