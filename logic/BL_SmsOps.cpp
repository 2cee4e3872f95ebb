// The store's changes to single messages: deleting and marking read. The engine is asked
// without the lock; the list is changed under it afterwards.
#include "logic/BL_Sms.h"

#include <algorithm>

namespace {

constexpr uint16_t kInvalidStorage = 6;

bool longWithSlots(const SmsItem &item) { return item.longMessage != 0 && item.usedSlots() > 0; }

}  // namespace

uint16_t TBL_sms::DeleteMessage(const SmsItem &item)
{
    if (item.storage > SMS_STORE_PC)
        return kInvalidStorage;
    const uint8_t storage = item.storage;
    if (!longWithSlots(item)) {
        if (uint16_t status = _MEC_DeleteMessage(item.storageIndex, storage); status != 0)
            return status;
        std::lock_guard guard(m_lock);
        dropIndex(storage, item.storageIndex);
        recount(storage);
        return 0;
    }
    // Part by part: a part that is gone leaves the list at once, so a delete that stops
    // half-way lists only what the storage still holds.
    uint16_t status = 0;
    bool partsLeft = false;
    for (const SmsPartSlot &slot : item.partSlots) {
        if (!slot.present)
            continue;
        status = _MEC_DeleteMessage(slot.storageIndex, storage);
        if (status != 0)
            break;
        std::lock_guard guard(m_lock);
        partsLeft = dropIndex(storage, slot.storageIndex);
    }
    std::lock_guard guard(m_lock);
    if (status != 0 && partsLeft)
        groupParts(storage);  // the text of what is left, joined again
    recount(storage);
    return status;
}

uint16_t TBL_sms::SetMessageStatus(const SmsItem &item, bool read)
{
    if (item.storage > SMS_STORE_PC)
        return kInvalidStorage;
    uint16_t status = 0;
    if (longWithSlots(item)) {
        for (const SmsPartSlot &slot : item.partSlots) {
            if (slot.present)
                status = _MEC_SetMessageStatus(slot.storageIndex, read ? 1 : 0, item.storage);
        }
    } else {
        status = _MEC_SetMessageStatus(item.storageIndex, read ? 1 : 0, item.storage);
    }
    if (status != 0)
        return status;
    std::lock_guard guard(m_lock);
    for (const std::unique_ptr<SmsItem> &stored : *listOf(item.storage)) {
        if (stored->storageIndex == item.storageIndex)
            stored->status = read ? SMS_STATUS_READ : SMS_STATUS_UNREAD;
    }
    return 0;
}
