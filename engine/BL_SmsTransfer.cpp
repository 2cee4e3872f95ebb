#include "engine/BL_SmsTransfer.h"

namespace {

// Records the failure; true when the run cannot go on.
bool failed(TBL_SmsTransfer::Result &result, uint16_t status)
{
    result.lastFailure = status;
    result.cardGone = SmsCardGone(status);
    result.stoppedFull = SmsCardMemoryFull(status);
    if (!result.cardGone && !result.stoppedFull)
        ++result.failed;
    return result.cardGone || result.stoppedFull;
}

}  // namespace

std::vector<uint16_t> TBL_SmsTransfer::PartIndexes(const SmsItem &item)
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

bool TBL_SmsTransfer::stopRequested() const
{
    return m_callbacks.stopRequested && m_callbacks.stopRequested();
}

uint16_t TBL_SmsTransfer::writeAll(const SmsItem &item, uint8_t target)
{
    std::vector<uint16_t> written;
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
        // Half a long message is no copy: the parts written so far go again.
        for (uint16_t index : written) {
            [[maybe_unused]] const uint16_t undone = _MEC_DeleteMessage(index, target);
        }
    }
    return status;
}

TBL_SmsTransfer::Result TBL_SmsTransfer::Transfer(const std::vector<SmsItem> &items, uint8_t target,
                                                  bool move)
{
    Result result;
    for (size_t i = 0; i < items.size(); ++i) {
        if (stopRequested()) {
            result.stopped = true;
            break;
        }
        const SmsItem &item = items[i];
        if (item.storage == target)
            continue;
        if (uint16_t status = writeAll(item, target); status != 0) {
            if (failed(result, status))
                break;
            continue;
        }
        if (move) {
            uint16_t kept = 0;
            for (uint16_t index : PartIndexes(item)) {
                if (uint16_t status = _MEC_DeleteMessage(index, item.storage); status != 0)
                    kept = status;
            }
            if (kept != 0) {
                ++result.sourcesKept;
                result.lastFailure = kept;
                result.cardGone = SmsCardGone(kept);
            }
        }
        ++result.done;
        if (m_callbacks.progress)
            m_callbacks.progress(i + 1, items.size());
        if (result.cardGone)
            break;
    }
    return result;
}

TBL_SmsTransfer::Result TBL_SmsTransfer::Delete(const std::vector<SmsItem> &items)
{
    Result result;
    for (size_t i = 0; i < items.size(); ++i) {
        if (stopRequested()) {
            result.stopped = true;
            break;
        }
        uint16_t status = 0;
        for (uint16_t index : PartIndexes(items[i])) {
            if (uint16_t deleted = _MEC_DeleteMessage(index, items[i].storage); deleted != 0)
                status = deleted;
        }
        if (status != 0) {
            if (failed(result, status))
                break;
            continue;
        }
        ++result.done;
        if (m_callbacks.progress)
            m_callbacks.progress(i + 1, items.size());
    }
    return result;
}
