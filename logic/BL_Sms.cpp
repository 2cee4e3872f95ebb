#include "logic/BL_Sms.h"

#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "codec/Unicode.h"
#include "platform/CodePage.h"
#include "platform/WindowMessages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

constexpr uint16_t kEndOfList = 13;
constexpr size_t kNumberChars = 32;
// A storage holds a few hundred messages; an engine that never ends its walk must not hang the
// program, so the read stops well past any real capacity.
constexpr size_t kWalkLimit = 10000;

void copyText(char *field, size_t fieldSize, const char *source, size_t sourceSize, size_t maxChars)
{
    std::memset(field, 0, fieldSize);
    const std::string_view text = platform::fieldText(source, sourceSize);
    const std::string_view fitted = platform::truncateAnsi(text, std::min(maxChars, fieldSize - 1));
    std::memcpy(field, fitted.data(), fitted.size());
}

void formatTime(char *field, size_t fieldSize, const _MEC_SMS_TIME &time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%4d-%02d-%02d  %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    copyText(field, fieldSize, text, sizeof text, fieldSize - 1);
}

bool sameText(const char *a, const char *b, size_t size)
{
    return platform::fieldText(a, size) == platform::fieldText(b, size);
}

// Seconds of an item's time (UTC where the network gave its zone); nothing without a time.
std::optional<int64_t> secondsOf(const SmsItem &item)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    const std::string text(platform::fieldText(item.time, sizeof item.time));
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &year, &month, &day, &hour, &minute,
                    &second) != 6) {
        return std::nullopt;
    }
    // Days since 1970-01-01 of the civil date.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t days = int64_t{era} * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    const int64_t zone = item.hasZone ? int64_t{item.zoneQuarters} * 900 : 0;
    return days * 86400 + hour * 3600 + minute * 60 + second - zone;
}

// The parts of one long message leave the sender's network together; a part stamped this much
// apart from another belongs to a later message that reused the reference.
constexpr int64_t kPartsApartSeconds = 6 * 3600;

bool sameSending(const SmsItem &a, const SmsItem &b)
{
    const std::optional<int64_t> first = secondsOf(a);
    const std::optional<int64_t> second = secondsOf(b);
    if (!first || !second) {
        return true;  // drafts never sent have no time to tell them apart
    }
    const int64_t apart = *first > *second ? *first - *second : *second - *first;
    return apart <= kPartsApartSeconds;
}

}  // namespace

int SmsItem::usedSlots() const
{
    int used = 0;
    for (const SmsPartSlot &slot : partSlots) {
        if (slot.present != 0) {
            ++used;
        }
    }
    return used;
}

int SmsItem::messageCount() const
{
    const int used = usedSlots();
    return longMessage != 0 && used > 0 ? used : 1;
}

TBL_sms::~TBL_sms()
{
    m_pcList.clear();
    m_simList.clear();
    m_cardList.clear();
}

TBL_sms::ItemList *TBL_sms::listOf(uint8_t storage)
{
    switch (storage) {
    case SMS_STORE_SIM: return &m_simList;
    case SMS_STORE_CARD: return &m_cardList;
    case SMS_STORE_PC: return &m_pcList;
    default: return nullptr;
    }
}

const TBL_sms::ItemList *TBL_sms::listOf(uint8_t storage) const
{
    return const_cast<TBL_sms *>(this)->listOf(storage);
}

std::unique_ptr<SmsItem> TBL_sms::ItemFromRecord(const _MEC_SMS_RECORD &record)
{
    auto item = std::make_unique<SmsItem>();
    std::memset(item.get(), 0, sizeof(SmsItem));
    item->recordSize = sizeof(SmsItem);
    item->storageIndex = record.index;
    item->longMessage = record.longMessage;
    item->reference = record.reference;
    item->partCount = record.partCount;
    item->partNumber = record.partNumber;
    copyText(item->serviceCentre, sizeof item->serviceCentre, record.serviceCenter,
             sizeof record.serviceCenter, sizeof item->serviceCentre - 1);
    item->storage = record.storage;
    item->status = record.status;
    copyText(item->text, sizeof item->text, record.text, sizeof record.text, kSmsTextBytes);

    switch (record.status) {
    case SMS_STATUS_READ:
    case SMS_STATUS_UNREAD:
        item->folder = SMS_FOLDER_INBOX;
        copyText(item->number, sizeof item->number, record.sender, sizeof record.sender,
                 kNumberChars);
        formatTime(item->time, sizeof item->time, record.receiveTime);
        item->zoneQuarters = record.receiveTime.zoneQuarters;
        item->hasZone = record.receiveTime.hasZone;
        break;
    case SMS_STATUS_SENT:
    case SMS_STATUS_UNSENT:
        item->folder = record.status == SMS_STATUS_SENT ? SMS_FOLDER_SENT : SMS_FOLDER_DRAFTS;
        copyText(item->number, sizeof item->number, record.recipient, sizeof record.recipient,
                 kNumberChars);
        if (record.sendTime.year != 0) {
            formatTime(item->time, sizeof item->time, record.sendTime);
            item->zoneQuarters = record.sendTime.zoneQuarters;
            item->hasZone = record.sendTime.hasZone;
        }
        break;
    default: item->folder = SMS_FOLDER_OTHER; break;
    }
    return item;
}

uint16_t TBL_sms::LoadMessages(uint8_t storage)
{
    // The engine is asked with no lock held: a reader on another thread (a count for the status
    // strip) never waits for the card. The lists change only once the records are in.
    uint16_t status = _MEC_LoadMessages(storage);
    if (status != 0) {
        return status;
    }
    switch (storage) {
    case SMS_STORE_SIM: status = readStorage(SMS_STORE_SIM); break;
    case SMS_STORE_CARD:
        // The card's storage is shown with the PC's; a failed card walk keeps what it read, and
        // the status that counts is the PC's. The engine walks what its last load of a storage
        // read, so the PC is loaded again: its list changed since (saves, deletes, moves).
        (void)readStorage(SMS_STORE_CARD);
        status = _MEC_LoadMessages(SMS_STORE_PC);
        if (status == 0) {
            status = readStorage(SMS_STORE_PC);
        }
        break;
    case SMS_STORE_PC: status = readStorage(SMS_STORE_PC); break;
    default: break;
    }
    return status == kEndOfList ? 0 : status;
}

uint16_t TBL_sms::readStorage(uint8_t storage)
{
    ItemList read;
    _MEC_SMS_RECORD record{};
    record.storage = storage;
    uint16_t status = _MEC_GetFirstMessage(0, &record);
    while (status == 0 && read.size() < kWalkLimit) {
        read.push_back(ItemFromRecord(record));
        record = _MEC_SMS_RECORD{};
        record.storage = storage;
        status = _MEC_GetNextMessage(&record);
    }

    std::lock_guard guard(m_lock);
    ItemList *list = listOf(storage);
    *list = std::move(read);
    m_partTexts[storage].clear();
    for (const std::unique_ptr<SmsItem> &item : *list) {
        rememberPart(*item);
    }
    groupParts(storage);
    recount(storage);
    return status;
}

void TBL_sms::groupParts(uint8_t storage)
{
    ItemList *list = listOf(storage);
    if (list == nullptr) {
        return;
    }
    auto acceptsMore = [](const SmsItem &item) {
        const int used = item.usedSlots();
        return used < item.partCount && used < kSmsPartSlots;
    };

    ItemList targets;
    for (const std::unique_ptr<SmsItem> &part : *list) {
        const SmsItem &q = *part;
        if (q.longMessage == 0 || q.partCount == 0 || !acceptsMore(q)) {
            continue;
        }
        SmsItem *target = nullptr;
        for (const std::unique_ptr<SmsItem> &candidate : targets) {
            const SmsItem &r = *candidate;
            if (!sameText(r.number, q.number, sizeof r.number) || r.reference != q.reference ||
                r.folder != q.folder || r.partCount != q.partCount || !acceptsMore(r) ||
                !sameSending(r, q)) {
                continue;
            }
            bool clash = false;
            for (const SmsPartSlot &slot : r.partSlots) {
                if (slot.present != 0 &&
                    (slot.storageIndex == q.storageIndex || slot.partNumber == q.partNumber)) {
                    clash = true;
                }
            }
            if (!clash) {
                target = candidate.get();
                break;
            }
        }
        if (target == nullptr) {
            auto fresh = std::make_unique<SmsItem>(q);
            std::memset(fresh->text, 0, sizeof fresh->text);
            target = fresh.get();
            targets.push_back(std::move(fresh));
        }
        if (q.status == SMS_STATUS_UNREAD) {
            target->status = SMS_STATUS_UNREAD;
        }
        for (SmsPartSlot &slot : target->partSlots) {
            if (slot.present != 0 && slot.storageIndex == q.storageIndex) {
                break;  // already holds this part
            }
            if (slot.present == 0) {
                slot = SmsPartSlot{q.storageIndex, 1, q.partNumber};
                break;
            }
        }
    }

    for (std::unique_ptr<SmsItem> &target : targets) {
        // Order the used partSlots by part number; among equal numbers the later slot comes first.
        SmsPartSlot *partSlots = target->partSlots;
        for (int i = 0; i < kSmsPartSlots; ++i) {
            if (partSlots[i].present == 0) {
                continue;
            }
            int best = i;
            for (int j = i + 1; j < kSmsPartSlots; ++j) {
                if (partSlots[j].present != 0 &&
                    partSlots[j].partNumber <= partSlots[best].partNumber) {
                    best = j;
                }
            }
            std::swap(partSlots[i], partSlots[best]);
        }
        std::map<uint16_t, std::string> &partTexts = m_partTexts[storage];
        for (const SmsPartSlot &slot : target->partSlots) {
            if (slot.present == 0) {
                continue;
            }
            for (auto it = list->begin(); it != list->end();) {
                if ((*it)->longMessage != 0 && (*it)->storageIndex == slot.storageIndex) {
                    // A part the store has no text of yet keeps the text it came with.
                    partTexts.emplace(slot.storageIndex,
                                      platform::fieldText((*it)->text, sizeof(*it)->text));
                    it = list->erase(it);
                } else {
                    ++it;
                }
            }
        }
        const std::string joined = joinedText(*target, storage);
        // Parts longer than the field allows are cut, never written past it; the whole text
        // stays with the store (MessageText).
        const std::string_view fitted = platform::truncateAnsi(joined, kSmsTextBytes);
        std::memset(target->text, 0, sizeof target->text);
        std::memcpy(target->text, fitted.data(), fitted.size());
        list->push_back(std::move(target));
    }
}

std::string TBL_sms::joinedText(const SmsItem &item, uint8_t storage) const
{
    const std::map<uint16_t, std::string> &partTexts = m_partTexts[storage];
    // A part that never came shows as a gap where it belongs; a message of more parts than
    // one item holds goes on in the next item, which is no gap.
    const bool markGaps = item.partCount <= kSmsPartSlots;
    std::string joined;
    int expected = 1;
    for (const SmsPartSlot &slot : item.partSlots) {
        if (slot.present == 0) {
            continue;
        }
        if (markGaps && slot.partNumber > expected) {
            joined += kSmsMissingPart;
        }
        expected = slot.partNumber + 1;
        const auto known = partTexts.find(slot.storageIndex);
        if (known != partTexts.end()) {
            joined += known->second;
        }
    }
    if (markGaps && expected <= item.partCount && item.usedSlots() > 0) {
        joined += kSmsMissingPart;
    }
    // An emoji a sender cut between two parts comes as its two halves; put it together.
    if (platform::systemCodePage() == "UTF-8") {
        return codec::joinSurrogateHalves(joined);
    }
    return joined;
}

std::string TBL_sms::MessageText(const SmsItem &item) const
{
    std::lock_guard guard(m_lock);
    if (item.longMessage == 0 || item.usedSlots() == 0 || item.storage > SMS_STORE_PC) {
        return std::string(platform::fieldText(item.text, sizeof item.text));
    }
    return joinedText(item, item.storage);
}

void TBL_sms::recount(uint8_t storage)
{
    const ItemList *list = listOf(storage);
    if (list == nullptr) {
        return;
    }
    const int base = storage == SMS_STORE_PC    ? PcInbox
                     : storage == SMS_STORE_SIM ? SimInbox
                                                : CardInbox;
    const int total = storage == SMS_STORE_PC    ? PcTotal
                      : storage == SMS_STORE_SIM ? SimTotal
                                                 : CardTotal;
    m_counters[base] = m_counters[base + 1] = m_counters[base + 2] = 0;
    for (const std::unique_ptr<SmsItem> &item : *list) {
        if (item->folder >= SMS_FOLDER_INBOX && item->folder <= SMS_FOLDER_DRAFTS) {
            m_counters[base + item->folder - 1] += static_cast<uint16_t>(item->messageCount());
        }
    }
    m_counters[total] =
        static_cast<uint16_t>(m_counters[base] + m_counters[base + 1] + m_counters[base + 2]);
    m_counters[GrandTotal] =
        static_cast<uint16_t>(m_counters[PcTotal] + m_counters[SimTotal] + m_counters[CardTotal]);
    platform::PostMessage(MainWindowHandle(), platform::WM_SMS_COUNTS, 0, 0);
}

int TBL_sms::GetMessageCount(uint8_t folder, uint8_t storage) const
{
    std::lock_guard guard(m_lock);
    if (storage > SMS_STORE_PC) {
        return 0;
    }
    const int base = storage == SMS_STORE_PC    ? PcInbox
                     : storage == SMS_STORE_SIM ? SimInbox
                                                : CardInbox;
    const int total = storage == SMS_STORE_PC    ? PcTotal
                      : storage == SMS_STORE_SIM ? SimTotal
                                                 : CardTotal;
    if (folder == SMS_FOLDER_ALL) {
        return m_counters[total];
    }
    if (folder <= SMS_FOLDER_DRAFTS) {
        return m_counters[base + folder - 1];
    }
    return 0;
}

uint16_t TBL_sms::walk(SmsItem *item, bool first)
{
    if (item == nullptr) {
        return 1;
    }
    std::lock_guard guard(m_lock);
    if (first) {
        // The walk goes over the list as it stood when it began. Joining the parts of a long
        // message takes items out of the list and puts the joined one at its end, so a walk
        // that kept a position in the live list would skip one message and show another twice.
        m_walkFolder = item->folder;
        m_walkStorage = item->storage;
        m_walkItems.clear();
        m_walkNext = 0;
        if (const ItemList *list = listOf(m_walkStorage)) {
            for (const std::unique_ptr<SmsItem> &candidate : *list) {
                if (m_walkFolder == SMS_FOLDER_ALL || candidate->folder == m_walkFolder) {
                    m_walkItems.push_back(*candidate);
                }
            }
        }
    } else {
        item->folder = m_walkFolder;
        item->storage = m_walkStorage;
    }
    if (m_walkNext >= m_walkItems.size()) {
        return kEndOfList;
    }
    *item = m_walkItems[m_walkNext++];
    return 0;
}

void TBL_sms::rememberPart(const SmsItem &item)
{
    if (item.longMessage != 0 && item.storage <= SMS_STORE_PC) {
        m_partTexts[item.storage][item.storageIndex] =
            std::string(platform::fieldText(item.text, sizeof item.text));
    }
}

namespace {

// The name of the first contact with the item's number: PC, then card, then SIM. The lookup
// may ask the engine, so the store's lock is not held.
void nameContact(SmsItem *item)
{
    std::memset(item->contactName, 0, sizeof item->contactName);
    const std::string number(platform::fieldText(item->number, sizeof item->number));
    if (number.empty()) {
        return;
    }
    for (const uint8_t storage : {PB_PC, PB_ME, PB_SIM}) {
        _MEC_CONTACT_RECORD contact{};
        contact.storage = storage;
        if (FindContactByNumber(number.c_str(), &contact) == 0) {
            platform::copyToField(item->contactName, sizeof item->contactName,
                                  platform::fieldText(contact.name, sizeof contact.name));
            return;
        }
    }
}

}  // namespace

uint16_t TBL_sms::GetFirstMessage(SmsItem *item)
{
    const uint16_t status = walk(item, true);
    if (status == 0) {
        nameContact(item);
    }
    return status;
}

uint16_t TBL_sms::GetNextMessage(SmsItem *item)
{
    const uint16_t status = walk(item, false);
    if (status == 0) {
        nameContact(item);
    }
    return status;
}

const SmsItem *TBL_sms::findUnlocked(uint16_t storageIndex, uint8_t storage) const
{
    const ItemList *list = listOf(storage);
    if (list == nullptr) {
        return nullptr;
    }
    for (const std::unique_ptr<SmsItem> &item : *list) {
        if (item->storageIndex == storageIndex) {
            return item.get();
        }
        if (item->longMessage != 0) {
            for (const SmsPartSlot &slot : item->partSlots) {
                if (slot.present != 0 && slot.storageIndex == storageIndex) {
                    return item.get();
                }
            }
        }
    }
    return nullptr;
}

bool TBL_sms::dropIndex(uint8_t storage, uint16_t storageIndex)
{
    ItemList *list = listOf(storage);
    if (list == nullptr) {
        return false;
    }
    m_partTexts[storage].erase(storageIndex);
    bool mergedChanged = false;
    std::erase_if(*list, [&](const std::unique_ptr<SmsItem> &item) {
        if (item->longMessage == 0 || item->usedSlots() == 0) {
            return item->storageIndex == storageIndex;
        }
        // The slots left keep their order at the front, where joining looks for them.
        SmsPartSlot kept[kSmsPartSlots] = {};
        int used = 0;
        for (const SmsPartSlot &slot : item->partSlots) {
            if (slot.present != 0 && slot.storageIndex != storageIndex) {
                kept[used++] = slot;
            }
        }
        if (used == item->usedSlots()) {
            return false;
        }
        if (used == 0) {
            return true;
        }
        std::copy(std::begin(kept), std::end(kept), item->partSlots);
        // A merged item goes by one of its own parts, so that joining finds it again.
        item->storageIndex = kept[0].storageIndex;
        item->partNumber = kept[0].partNumber;
        mergedChanged = true;
        return false;
    });
    return mergedChanged;
}

std::optional<SmsItem> TBL_sms::FindMessageByIndex(uint16_t storageIndex, uint8_t storage) const
{
    std::lock_guard guard(m_lock);
    if (const SmsItem *item = findUnlocked(storageIndex, storage)) {
        return *item;
    }
    return std::nullopt;
}

uint16_t TBL_sms::OnNewMessage(uint8_t storage, uint16_t storageIndex, SmsItem *result)
{
    if (storage > SMS_STORE_PC) {
        return 6;
    }
    // Read from the engine first, with no lock held; only the store update is locked.
    _MEC_SMS_RECORD record{};
    record.index = storageIndex;
    record.storage = storage;
    const uint16_t status = _MEC_GetMessage(storageIndex, &record);
    if (status != 0) {
        return status;
    }
    std::unique_ptr<SmsItem> item = ItemFromRecord(record);

    std::lock_guard guard(m_lock);
    ItemList *list = listOf(storage);
    // The place may be listed already: the notice of a message that a load read too, or a place
    // the card gave again. What the card holds there now replaces it.
    const bool mergedChanged = dropIndex(storage, storageIndex);
    rememberPart(*item);
    const SmsItem *stored = item.get();
    list->push_back(std::move(item));
    if (record.longMessage != 0 || mergedChanged) {
        groupParts(storage);
        stored = findUnlocked(storageIndex, storage);
    }
    recount(storage);
    if (stored == nullptr) {
        return kEndOfList;
    }
    if (result != nullptr) {
        *result = *stored;
    }
    return 0;
}

std::vector<SmsItem> TBL_sms::Items(uint8_t storage) const
{
    std::lock_guard guard(m_lock);
    std::vector<SmsItem> copies;
    if (const ItemList *list = listOf(storage)) {
        for (const std::unique_ptr<SmsItem> &item : *list) {
            copies.push_back(*item);
        }
    }
    return copies;
}
