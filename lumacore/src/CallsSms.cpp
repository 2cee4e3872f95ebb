// Short messages and their settings: the card's storages through CardMessages, the PC's in the
// PC store. A walk (GetFirst / GetNext) goes over what the last load of its storage read.
// Exports.h first: it gives the C calls their default visibility.
#include "Exports.h"

#include "AtParsersSms.h"
#include "CardMessages.h"
#include "SmsSettings.h"
#include "StoreSms.h"

#include <array>
#include <mutex>

using namespace lumacore;

namespace {

constexpr uint8_t kStoragePc = 2;

struct Walk {
    std::vector<_MEC_SMS_RECORD> records;
    size_t next = 0;
};

struct MessageCache {
    std::mutex mutex;
    std::array<Walk, 3> walks;
};

MessageCache &cache()
{
    static MessageCache instance;
    return instance;
}

bool validStorage(uint8_t storage) { return storage <= kStoragePc; }

// Runs work on the card's messages.
template <typename Work>
uint16_t onCard(Work &&work)
{
    return withEngine([&](Engine &engine) {
        CardMessages messages(engine);
        return work(messages);
    });
}

uint16_t nextRecord(uint8_t storage, _MEC_SMS_RECORD *record)
{
    if (!record || !validStorage(storage))
        return kStatusError;
    MessageCache &state = cache();
    std::lock_guard lock(state.mutex);
    Walk &walk = state.walks[storage];
    if (walk.next >= walk.records.size())
        return kStatusNoMoreEntries;
    *record = walk.records[walk.next++];
    return kStatusOk;
}

// The storage +CPMS takes for incoming messages: the PC's come through the SIM.
const char *receiveStorageName(uint8_t storage) { return storage == 1 ? "\"ME\"" : "\"SM\""; }

uint16_t applySaveLocation(uint8_t storage)
{
    auto engine = Engine::current();
    if (!engine || !engine->cardPresent())
        return kStatusOk;  // applied when the card is set up
    const std::string name = receiveStorageName(storage);
    return engine->run("AT+CPMS=" + name + "," + name + "," + name).status;
}

}  // namespace

MEC_STATUS _MEC_LoadMessages(uint8_t storage)
{
    if (!validStorage(storage))
        return kStatusError;
    std::vector<_MEC_SMS_RECORD> records;
    uint16_t status =
        storage == kStoragePc
            ? loadPcMessages(records)
            : onCard([&](CardMessages &card) { return card.readAll(storage, records); });
    MessageCache &state = cache();
    std::lock_guard lock(state.mutex);
    state.walks[storage] = Walk{};
    if (status == kStatusOk)
        state.walks[storage].records = std::move(records);
    return status;
}

MEC_STATUS _MEC_GetFirstMessage(uint8_t, _MEC_SMS_RECORD *record)
{
    if (!record || !validStorage(record->storage))
        return kStatusError;
    {
        std::lock_guard lock(cache().mutex);
        cache().walks[record->storage].next = 0;
    }
    return nextRecord(record->storage, record);
}

MEC_STATUS _MEC_GetNextMessage(_MEC_SMS_RECORD *record)
{
    return record ? nextRecord(record->storage, record) : kStatusError;
}

MEC_STATUS _MEC_GetMessage(uint16_t index, _MEC_SMS_RECORD *record)
{
    if (!record || !validStorage(record->storage))
        return kStatusError;
    const uint8_t storage = record->storage;
    _MEC_SMS_RECORD read{};
    uint16_t status =
        storage == kStoragePc
            ? readPcMessage(index, read)
            : onCard([&](CardMessages &card) { return card.read(storage, index, read); });
    if (status == kStatusOk)
        *record = read;
    return status;
}

MEC_STATUS _MEC_SaveMessage(_MEC_SMS_RECORD *record)
{
    if (!record || !validStorage(record->storage) || record->status < 1 || record->status > 4)
        return kStatusError;
    record->size = sizeof *record;
    if (record->storage == kStoragePc)
        return insertPcMessage(*record);
    return onCard([&](CardMessages &card) { return card.write(*record); });
}

MEC_STATUS _MEC_SendMessage(const _MEC_SMS_RECORD *record)
{
    if (!record)
        return kStatusError;
    return onCard([&](CardMessages &card) { return card.send(*record); });
}

MEC_STATUS _MEC_DeleteMessage(uint16_t index, uint8_t storage)
{
    if (!validStorage(storage))
        return kStatusError;
    if (storage == kStoragePc)
        return deletePcMessage(index);
    return onCard([&](CardMessages &card) { return card.remove(storage, index); });
}

MEC_STATUS _MEC_SetMessageStatus(uint16_t index, uint8_t read, uint8_t storage)
{
    if (!validStorage(storage))
        return kStatusError;
    if (storage == kStoragePc)
        return setPcMessageStatus(index, read ? 1 : 2);
    return onCard([&](CardMessages &card) { return card.setRead(storage, index, read != 0); });
}

MEC_STATUS _MEC_InitSmsSet(void)
{
    return withEngine([](Engine &engine) { return engine.run("AT+CSCA?").status; });
}

MEC_STATUS _MEC_GetSmsCenter(char *center)
{
    if (!center)
        return kStatusError;
    return withEngine([&](Engine &engine) -> uint16_t {
        AtResponse answer = engine.run("AT+CSCA?");
        if (!answer.ok())
            return answer.status;
        const std::string *line = answer.line("+CSCA:");
        auto number = line ? parseCscaResponse(*line) : std::nullopt;
        if (!number)
            return kStatusError;
        copyOut(center, MEC_SMS_CENTER_TEXT_SIZE, *number);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetSmsCenter(const char *center)
{
    if (!center)
        return kStatusError;
    std::string number(center, strnlen(center, MEC_SMS_CENTER_TEXT_SIZE));
    const bool international = !number.empty() && number[0] == '+';
    const std::string digits = international ? number.substr(1) : number;
    if (digits.empty() || digits.size() > 20 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        return engine.run("AT+CSCA=\"" + number + "\"," + (international ? "145" : "129")).status;
    });
}

MEC_STATUS _MEC_GetSmsSaveLocation(uint32_t *storage)
{
    if (!storage)
        return kStatusError;
    *storage = smsSettings().saveLocation;
    return kStatusOk;
}

MEC_STATUS _MEC_SetSmsSaveLocation(uint32_t storage)
{
    if (storage > kStoragePc)
        return kStatusError;
    SmsSettings settings = smsSettings();
    settings.saveLocation = static_cast<uint8_t>(storage);
    setSmsSettings(settings);
    return applySaveLocation(settings.saveLocation);
}

MEC_STATUS _MEC_SetSmsConfig(SmsConfigBlock config)
{
    SmsSettings settings;
    settings.serviceCentre = std::string(
        config.serviceCenter, strnlen(config.serviceCenter, sizeof config.serviceCenter));
    settings.validityMinutes = validityMinutesOfDigit(config.validity);
    settings.statusReport = config.statusReport == 1;
    if (config.storage >= '0' && config.storage <= '2')
        settings.saveLocation = static_cast<uint8_t>(config.storage - '0');
    else
        return kStatusError;
    setSmsSettings(settings);
    return applySaveLocation(settings.saveLocation);
}
