// A message store for the SMS screens' tests: items per storage, scripted answers, and a log of
// what was asked.
#pragma once

#include "SmsStoreAccess.h"

#include <QString>
#include <QStringList>

#include <cstring>
#include <deque>
#include <map>

inline SmsItem MakeItem(uint16_t index, uint8_t folder, uint8_t storage, const char *number,
                        const char *time, uint8_t status = SMS_STATUS_READ, int parts = 0)
{
    SmsItem item{};
    item.recordSize = sizeof(SmsItem);
    item.storageIndex = index;
    item.folder = folder;
    item.storage = storage;
    item.status = status;
    std::strncpy(item.number, number, sizeof item.number - 1);
    std::strncpy(item.time, time, sizeof item.time - 1);
    if (parts > 0) {
        item.longMessage = 1;
        item.partCount = uint8_t(parts);
        for (int part = 0; part < parts && part < kSmsPartSlots; ++part) {
            item.partSlots[part].storageIndex = uint16_t(index + part);
            item.partSlots[part].present = 1;
            item.partSlots[part].partNumber = uint8_t(part + 1);
        }
    }
    return item;
}

class FakeSmsStore final : public SmsStoreAccess {
public:
    std::vector<SmsItem> items;  // every storage's items, in store order
    int capacity[3] = {0, 0, 0};
    // Answers popped per call (0 when none is left).
    std::deque<uint16_t> initAnswers, loadAnswers, deleteAnswers, moveAnswers, markAnswers;
    QStringList log;

    uint16_t InitSettings() override { return next(initAnswers, "init"); }
    uint16_t Load(uint8_t storage) override
    {
        return next(loadAnswers, QStringLiteral("load %1").arg(storage));
    }
    int Count(uint8_t folder, uint8_t storage) const override
    {
        int count = 0;
        for (const SmsItem &item : items)
            if (item.storage == storage && (folder == 0 || item.folder == folder))
                count += item.messageCount();
        return count;
    }
    int Capacity(uint8_t storage) const override { return capacity[storage]; }
    std::vector<SmsItem> Walk(uint8_t folder, uint8_t storage) override
    {
        std::vector<SmsItem> found;
        for (const SmsItem &item : items)
            if (item.storage == storage && (folder == 0 || item.folder == folder))
                found.push_back(item);
        return found;
    }
    uint16_t MarkRead(const SmsItem &item) override
    {
        return next(markAnswers, QStringLiteral("read %1").arg(item.storageIndex));
    }
    uint16_t Delete(const SmsItem &item) override
    {
        const uint16_t status =
            next(deleteAnswers, QStringLiteral("delete %1").arg(item.storageIndex));
        if (status == 0)
            std::erase_if(items, [&](const SmsItem &held) { return same(held, item); });
        return status;
    }
    uint16_t Move(const SmsItem &item, uint8_t target) override
    {
        const uint16_t status =
            next(moveAnswers, QStringLiteral("move %1 to %2").arg(item.storageIndex).arg(target));
        if (status == 0) {
            for (SmsItem &held : items)
                if (same(held, item))
                    held.storage = target;
        }
        return status;
    }

private:
    static bool same(const SmsItem &a, const SmsItem &b)
    {
        return a.storage == b.storage && a.storageIndex == b.storageIndex;
    }
    uint16_t next(std::deque<uint16_t> &answers, const QString &entry)
    {
        log << entry;
        if (answers.empty())
            return 0;
        const uint16_t answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
