// Contacts and groups: the card's books through CardPhonebook, the PC's and every group in the
// PC store. A walk (GetFirst / GetNext) goes over what the last load read, per storage.
// Exports.h first: it gives the C calls their default visibility.
#include "Exports.h"

#include "CardPhonebook.h"
#include "StorePhonebook.h"

#include <algorithm>
#include <optional>
#include <array>
#include <mutex>

using namespace lumacore;

namespace {

constexpr uint8_t kStoragePc = 2;
constexpr uint16_t kStatusMemoryFull = kStatusCmeBase + 20;
constexpr uint16_t kStatusNotTheEntryRead = kStatusCmeBase + 22;  // not found

struct Walk {
    std::vector<_MEC_CONTACT_RECORD> records;
    bool loaded = false;
    size_t next = 0;
};

struct GroupWalk {
    std::vector<_MEC_GROUP_RECORD> groups;
    bool loaded = false;
    size_t next = 0;
};

// What the last loads read. Calls come from the program's window thread, but the lock keeps a
// stray call from another thread from tearing a walk.
struct PhonebookCache {
    std::mutex mutex;
    std::weak_ptr<Engine> engine;  // the card's books belong to this engine's card
    std::array<Walk, 3> contacts;
    std::array<GroupWalk, 3> groups;
};

PhonebookCache &cache()
{
    static PhonebookCache instance;
    return instance;
}

bool validStorage(uint8_t storage) { return storage <= kStoragePc; }

// The card's books are forgotten when the engine is not the one that read them.
void forgetOtherEngine(PhonebookCache &state, const std::shared_ptr<Engine> &engine)
{
    if (state.engine.lock() != engine) {
        state.contacts[0] = Walk{};
        state.contacts[1] = Walk{};
        state.engine = engine;
    }
}

uint16_t loadContacts(PhonebookCache &state, uint8_t storage)
{
    Walk &walk = state.contacts[storage];
    walk = Walk{};
    uint16_t status = kStatusOk;
    if (storage == kStoragePc) {
        status = loadPcContacts(walk.records);
    } else {
        auto engine = Engine::current();
        if (!engine)
            return kStatusNoCard;
        forgetOtherEngine(state, engine);
        CardPhonebook book(*engine, storage);
        status = book.open(true);
        if (status == kStatusOk)
            status = book.readAll(walk.records);
    }
    walk.loaded = status == kStatusOk;
    if (!walk.loaded)
        walk.records.clear();
    return status;
}

uint16_t nextContact(Walk &walk, _MEC_CONTACT_RECORD *record)
{
    if (walk.next >= walk.records.size())
        return kStatusNoMoreEntries;
    *record = walk.records[walk.next++];
    return kStatusOk;
}

// Runs change on the card's book of the storage, with the book open.
template <typename Change>
uint16_t onCardBook(PhonebookCache &state, uint8_t storage, bool withNames, Change &&change)
{
    auto engine = Engine::current();
    if (!engine)
        return kStatusNoCard;
    forgetOtherEngine(state, engine);
    CardPhonebook book(*engine, storage);
    if (uint16_t status = book.open(withNames); status != kStatusOk)
        return status;
    return change(book);
}

uint16_t nextGroup(GroupWalk &walk, _MEC_GROUP_RECORD *group)
{
    if (walk.next >= walk.groups.size())
        return kStatusNoMoreEntries;
    *group = walk.groups[walk.next++];
    return kStatusOk;
}

}  // namespace

MEC_STATUS _MEC_LoadContacts(uint8_t storage)
{
    if (!validStorage(storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    return loadContacts(state, storage);
}

uint16_t _MEC_GetContactCount(uint8_t storage)
{
    if (!validStorage(storage))
        return 0;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    int count = 0;
    if (storage == kStoragePc)
        return countPcContacts(count) == kStatusOk ? static_cast<uint16_t>(count) : 0;
    uint16_t status = onCardBook(state, storage, false,
                                 [&](CardPhonebook &book) { return book.readUsed(count); });
    if (status != kStatusOk)
        return 0;
    if (count < 0)
        count = static_cast<int>(state.contacts[storage].records.size());
    return static_cast<uint16_t>(count);
}

MEC_STATUS _MEC_GetFirstContact(_MEC_CONTACT_RECORD *record)
{
    if (!record || !validStorage(record->storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    Walk &walk = state.contacts[record->storage];
    // The PC store is read afresh; a card's book is read once per load.
    if (record->storage == kStoragePc || !walk.loaded) {
        if (uint16_t status = loadContacts(state, record->storage); status != kStatusOk)
            return status;
    }
    walk.next = 0;
    return nextContact(walk, record);
}

MEC_STATUS _MEC_GetNextContact(_MEC_CONTACT_RECORD *record)
{
    if (!record || !validStorage(record->storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    return nextContact(state.contacts[record->storage], record);
}

MEC_STATUS _MEC_NewContact(_MEC_CONTACT_RECORD *record)
{
    if (!record || !validStorage(record->storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    const uint8_t storage = record->storage;
    Walk &walk = state.contacts[storage];
    if (storage == kStoragePc) {
        uint16_t status = insertPcContact(*record);
        if (status == kStatusOk && walk.loaded)
            walk.records.push_back(*record);
        return status;
    }
    if (!walk.loaded) {
        if (uint16_t status = loadContacts(state, storage); status != kStatusOk)
            return status;
    }
    return onCardBook(state, storage, true, [&](CardPhonebook &book) -> uint16_t {
        PhonebookRange range;
        if (uint16_t status = book.readRange(range); status != kStatusOk)
            return status;
        // The first index the last read found empty, checked again on the card: another phone
        // (or another SIM in the same card) may have written it since.
        for (int index = range.first; index <= range.last; ++index) {
            bool known = std::any_of(walk.records.begin(), walk.records.end(),
                                     [&](const auto &r) { return r.index == uint32_t(index); });
            if (known)
                continue;
            bool free = false;
            if (uint16_t status = book.isFree(index, free); status != kStatusOk)
                return status;
            if (!free)
                continue;
            if (uint16_t status = book.write(index, *record); status != kStatusOk)
                return status;
            record->index = static_cast<uint32_t>(index);
            walk.records.push_back(*record);
            return kStatusOk;
        }
        return kStatusMemoryFull;
    });
}

MEC_STATUS _MEC_SetContact(uint32_t index, const _MEC_CONTACT_RECORD *record)
{
    if (!record || !validStorage(record->storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    const uint8_t storage = record->storage;
    uint16_t status = storage == kStoragePc
                          ? updatePcContact(index, *record)
                          : onCardBook(state, storage, true, [&](CardPhonebook &book) {
                                return book.write(static_cast<int>(index), *record);
                            });
    if (status == kStatusOk) {
        for (auto &stored : state.contacts[storage].records) {
            if (stored.index == index) {
                stored = *record;
                stored.index = index;
            }
        }
    }
    return status;
}

MEC_STATUS _MEC_DeleteContact(uint32_t index, uint8_t storage)
{
    if (!validStorage(storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    auto &records = state.contacts[storage].records;
    uint16_t status =
        storage == kStoragePc
            ? deletePcContact(index)
            : onCardBook(state, storage, true, [&](CardPhonebook &book) -> uint16_t {
                  // Read first: the place may have been freed and given to another entry since.
                  std::optional<_MEC_CONTACT_RECORD> held;
                  if (uint16_t read = book.readEntry(static_cast<int>(index), held);
                      read != kStatusOk)
                      return read;
                  if (!held)
                      return kStatusOk;  // an empty place: nothing to delete
                  auto expected = std::find_if(records.begin(), records.end(),
                                               [&](const auto &r) { return r.index == index; });
                  if (expected == records.end() || !sameCardEntry(*expected, *held))
                      return kStatusNotTheEntryRead;
                  return book.erase(static_cast<int>(index));
              });
    if (status == kStatusOk) {
        auto &next = state.contacts[storage].next;
        for (size_t i = 0; i < records.size(); ++i) {
            if (records[i].index == index) {
                records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
                if (next > i)
                    --next;
                break;
            }
        }
    }
    return status;
}

MEC_STATUS _MEC_LoadGroup(uint8_t storage)
{
    if (!validStorage(storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    GroupWalk &walk = state.groups[storage];
    walk = GroupWalk{};
    uint16_t status = loadGroups(storage, walk.groups);
    walk.loaded = status == kStatusOk;
    return status;
}

MEC_STATUS _MEC_GetFirstGroup(_MEC_GROUP_RECORD *group)
{
    if (!group || !validStorage(group->storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    GroupWalk &walk = state.groups[group->storage];
    walk.next = 0;
    if (uint16_t status = loadGroups(group->storage, walk.groups); status != kStatusOk)
        return status;
    walk.loaded = true;
    return nextGroup(walk, group);
}

MEC_STATUS _MEC_GetNextGroup(_MEC_GROUP_RECORD *group)
{
    if (!group || !validStorage(group->storage))
        return kStatusError;
    PhonebookCache &state = cache();
    std::lock_guard lock(state.mutex);
    return nextGroup(state.groups[group->storage], group);
}

MEC_STATUS _MEC_SaveGroup(const _MEC_GROUP_RECORD *group)
{
    if (!group || !validStorage(group->storage))
        return kStatusError;
    return saveGroup(*group);
}

MEC_STATUS _MEC_SetGroup(const _MEC_GROUP_RECORD *group)
{
    if (!group || !validStorage(group->storage))
        return kStatusError;
    return renameGroup(*group);
}

MEC_STATUS _MEC_DeleteGroup(int32_t groupId, uint8_t storage)
{
    if (!validStorage(storage))
        return kStatusError;
    return deleteGroup(groupId, storage);
}
