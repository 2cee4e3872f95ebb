// The store's changes to single messages: deleting and marking read. The engine is asked
// without the lock; the list is changed under it afterwards.
#include "engine/BL_Sms.h"

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
    auto removeItem = [&] {
        std::lock_guard guard(m_lock);
        ItemList *list = listOf(storage);
        std::erase_if(*list, [&](const std::unique_ptr<SmsItem> &stored) {
            return stored->storageIndex == item.storageIndex;
        });
        recount(storage);
    };
    if (!longWithSlots(item)) {
        if (uint16_t status = _MEC_DeleteMessage(item.storageIndex, storage); status != 0)
            return status;
        removeItem();
        return 0;
    }
    uint16_t status = 0;
    for (const SmsPartSlot &slot : item.partSlots) {
        if (!slot.present)
            continue;
        status = _MEC_DeleteMessage(slot.storageIndex, storage);
        if (status != 0)
            break;
        std::lock_guard guard(m_lock);
        for (const std::unique_ptr<SmsItem> &stored : *listOf(storage)) {
            if (stored->storageIndex != item.storageIndex)
                continue;
            for (SmsPartSlot &kept : stored->partSlots) {
                if (kept.present && kept.storageIndex == slot.storageIndex)
                    kept = SmsPartSlot{};
            }
        }
    }
    if (status == 0) {
        removeItem();
        return 0;
    }
    std::lock_guard guard(m_lock);
    groupParts(storage);
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
