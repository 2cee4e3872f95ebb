#include "logic/SmsTransfer.h"

#include <algorithm>

std::vector<uint16_t> SmsTransfer::PartIndexes(const SmsItem &item)
{
    std::vector<uint16_t> indexes;
    for (const SmsPartSlot &slot : item.partSlots) {
        if (slot.present)
            indexes.push_back(slot.storageIndex);
    }
    if (indexes.empty())
        indexes.push_back(item.storageIndex);
    return indexes;
}

void SmsTransfer::takeBack(const std::vector<uint16_t> &written, uint8_t target)
{
    for (uint16_t index : written) {
        // A copy that cannot be taken back stays where it is: the caller reports the failure
        // that led here, which is the one the user can act on.
        [[maybe_unused]] const uint16_t undone = _MEC_DeleteMessage(index, target);
    }
}

uint16_t SmsTransfer::writeAll(const SmsItem &item, uint8_t target,
                                   std::vector<uint16_t> &written)
{
    written.clear();
    uint16_t status = 0;
    for (uint16_t index : PartIndexes(item)) {
        _MEC_SMS_RECORD record{};
        record.storage = item.storage;
        status = _MEC_GetMessage(index, &record);
        if (status == 0) {
            record.storage = target;
            record.textLength = 0;  // the text as read: system code page, not GSM codes
            status = _MEC_SaveMessage(&record);
        }
        if (status != 0)
            break;
        written.push_back(record.index);
    }
    if (status != 0) {
        // Half a long message is no copy.
        takeBack(written, target);
        written.clear();
    }
    return status;
}

uint16_t SmsTransfer::Move(TBL_sms &store, const SmsItem &item, uint8_t target)
{
    if (item.storage == target || target > SMS_STORE_PC)
        return 6;
    std::vector<uint16_t> written;
    if (uint16_t status = writeAll(item, target, written); status != 0)
        return status;
    const uint16_t status = store.DeleteMessage(item);
    if (status == 0)
        return 0;
    // A plain message is deleted whole or not at all; of a long one, the parts the store still
    // lists are the ones left.
    const std::vector<uint16_t> parts = PartIndexes(item);
    const bool originalWhole =
        parts.size() == 1 || std::all_of(parts.begin(), parts.end(), [&](uint16_t index) {
            return store.FindMessageByIndex(index, item.storage).has_value();
        });
    if (originalWhole)
        takeBack(written, target);
    return status;
}
