#include "SmsRuns.h"

#include "SmsTexts.h"
#include "language/TextNumbers.h"

#include <numeric>

namespace {

uint8_t otherStorage(uint8_t storage)
{
    return storage == SMS_STORE_PC ? SMS_STORE_SIM : SMS_STORE_PC;
}

int totalOf(const std::vector<SmsItem> &items)
{
    return std::accumulate(items.begin(), items.end(), 0,
                           [](int sum, const SmsItem &item) { return sum + item.messageCount(); });
}

}  // namespace

void SmsRuns::touched(const SmsItem &item) const
{
    if (item.status == SMS_STATUS_UNREAD && m_hooks.unreadTouched)
        m_hooks.unreadTouched(item);
}

void SmsRuns::progress(size_t done, size_t total) const
{
    if (m_hooks.progress)
        m_hooks.progress(done, total);
}

SmsRunResult SmsRuns::Delete(const std::vector<SmsItem> &items)
{
    SmsRunResult result;
    result.total = totalOf(items);
    for (size_t i = 0; i < items.size(); ++i) {
        if (stop()) {
            result.stopped = true;
            break;
        }
        touched(items[i]);
        const int count = items[i].messageCount();
        const uint16_t status = m_store.Delete(items[i]);
        (status == 0 ? result.succeeded : result.failed) += count;
        progress(i + 1, items.size());
        if (SmsCardGone(status)) {
            // The rest cannot be deleted either; they are counted, not tried.
            for (size_t rest = i + 1; rest < items.size(); ++rest)
                result.failed += items[rest].messageCount();
            break;
        }
    }
    return result;
}

SmsRunResult SmsRuns::Move(const std::vector<SmsItem> &items)
{
    SmsRunResult result;
    result.total = totalOf(items);
    // What each target holds, counted on as messages arrive (its list is read at the end).
    int held[3] = {};
    bool full[3] = {};
    bool touchedStorage[3] = {};
    for (uint8_t storage : {SMS_STORE_SIM, SMS_STORE_CARD, SMS_STORE_PC})
        held[storage] = m_store.Count(SMS_FOLDER_ALL, storage);
    bool gone = false;
    for (size_t i = 0; i < items.size(); ++i) {
        if (stop()) {
            result.stopped = true;
            break;
        }
        const SmsItem &item = items[i];
        touched(item);
        const int count = item.messageCount();
        if (gone || item.storage > SMS_STORE_PC) {
            result.failed += count;
            continue;
        }
        const uint8_t target = otherStorage(item.storage);
        const int capacity = m_store.Capacity(target);
        uint16_t status = 0;
        if (full[target] || (capacity > 0 && held[target] + count > capacity))
            status = target == SMS_STORE_SIM ? SMS_ERR_SIM_FULL : SMS_ERR_PC_FULL;
        else
            status = m_store.Move(item, target);
        if (SmsCardMemoryFull(status))
            status = target == SMS_STORE_SIM ? SMS_ERR_SIM_FULL : SMS_ERR_PC_FULL;
        if (status == SMS_ERR_SIM_FULL || status == SMS_ERR_PC_FULL) {
            full[target] = true;
            if (result.fullNotice == 0)
                result.fullNotice =
                    status == SMS_ERR_SIM_FULL ? text::kSmsSimFull : text::kSmsPcFull;
        }
        if (status == 0) {
            result.succeeded += count;
            held[target] += count;
            held[item.storage] -= count;
            touchedStorage[target] = true;
        } else {
            result.failed += count;
        }
        gone = SmsCardGone(status);
        progress(i + 1, items.size());
    }
    for (uint8_t storage : {SMS_STORE_SIM, SMS_STORE_PC}) {
        if (touchedStorage[storage]) {
            // The messages are stored either way; a failed read only leaves the list short
            // until the storage is read again.
            [[maybe_unused]] const uint16_t reread = m_store.Load(storage);
        }
    }
    return result;
}

QString SmsRuns::Summary(int title, const SmsRunResult &result)
{
    return SmsRunSummary(title, result.total, result.succeeded, result.failed);
}
