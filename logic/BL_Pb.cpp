#include "logic/BL_Pb.h"

#include "logic/BL_PbCut.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// A walk that never ends is the engine's fault, not a reason to hang: no storage holds more.
constexpr int kMostRecordsPerWalk = 10000;

// The same contact: its name and numbers, which is what a card keeps of it.
bool sameContact(const _MEC_CONTACT_RECORD &a, const _MEC_CONTACT_RECORD &b)
{
    if (platform::fieldText(a.name, sizeof a.name) != platform::fieldText(b.name, sizeof b.name))
        return false;
    for (int slot = 0; slot < MEC_CONTACT_NUMBER_SLOTS; ++slot) {
        const auto &x = a.numbers[slot].number;
        const auto &y = b.numbers[slot].number;
        if (platform::fieldText(x, sizeof x) != platform::fieldText(y, sizeof y))
            return false;
    }
    return true;
}

// The engine's answer when the card's place holds another entry than the one it last read.
constexpr uint16_t kEngineNotTheEntryRead = MEC_ERR_CME_BASE + 22;

uint16_t fullCode(uint8_t storage)
{
    return storage == PB_SIM ? PB_SIM_FULL : storage == PB_ME ? PB_ME_FULL : PB_PC_FULL;
}

}  // namespace

TBL_pb::TBL_pb(TBLSet &settings) : TBL_pb(settings, ReadLater{})
{
    ReadPcStore();
}

TBL_pb::TBL_pb(TBLSet &settings, ReadLater) : m_settings(settings)
{
    for (Storage &store : m_storages)
        store.cursor = store.records.end();
    m_simGroup.groupId = PB_SIM_GROUP_ID;
    m_simGroup.storage = PB_SIM;
}

void TBL_pb::ReadPcStore()
{
    m_pcStatus = rebuild(PB_PC);
    for (uint8_t storage : {PB_PC, PB_ME, PB_SIM})
        m_storages[storage].count = _MEC_GetContactCount(storage);
    loadGroups(PB_PC);
}

TBL_pb::Storage *TBL_pb::storageOf(uint8_t storage)
{
    return storage <= PB_PC ? &m_storages[storage] : nullptr;
}

const TBL_pb::Storage *TBL_pb::storageOf(uint8_t storage) const
{
    return storage <= PB_PC ? &m_storages[storage] : nullptr;
}

uint16_t TBL_pb::ContactCount(uint8_t storage) const
{
    const Storage *store = storageOf(storage);
    return store ? static_cast<uint16_t>(std::max(store->count, 0)) : 0;
}

uint16_t TBL_pb::rebuild(uint8_t storage)
{
    Storage &store = m_storages[storage];
    store.records.clear();
    store.numbers.Clear();
    store.cursor = store.records.end();
    store.count = _MEC_GetContactCount(storage);

    _MEC_CONTACT_RECORD record{};
    record.storage = storage;
    const uint16_t first = _MEC_GetFirstContact(&record);
    uint16_t status = first;
    while (status == 0 && static_cast<int>(store.records.size()) < kMostRecordsPerWalk) {
        // An engine that hands the same record again is not walking any more.
        if (!store.records.empty() && store.records.back()->index == record.index)
            break;
        record.storage = storage;
        store.records.push_back(std::make_unique<_MEC_CONTACT_RECORD>(record));
        store.numbers.Add(std::prev(store.records.end()));
        record = _MEC_CONTACT_RECORD{};
        record.storage = storage;
        status = _MEC_GetNextContact(&record);
    }
    if (!store.records.empty())
        return 0;
    if (storage == PB_SIM && first == PB_END)
        return 0;
    return first;
}

uint16_t TBL_pb::ReloadStore(uint8_t storage)
{
    switch (storage) {
    case PB_SIM: {
        m_settings.LoadFieldLimits();
        if (const uint16_t status = _MEC_LoadContacts(PB_SIM); status != 0)
            return status;
        return rebuild(PB_SIM);
    }
    case PB_ME: {
        const uint16_t loaded = _MEC_LoadContacts(PB_ME);
        uint16_t listed = 0;
        if (loaded == 0)
            listed = rebuild(PB_ME);
        const uint16_t groups = _MEC_LoadGroup(PB_ME);
        if (groups == 0)
            loadGroups(PB_ME);
        return loaded != 0 ? loaded : listed != 0 ? listed : groups;
    }
    case PB_PC: return m_pcStatus = rebuild(PB_PC);
    default: return PB_END;
    }
}

uint16_t TBL_pb::FirstContact(uint8_t storage, _MEC_CONTACT_RECORD **record)
{
    Storage *store = storageOf(storage);
    if (!store || !record)
        return PB_END;
    store->cursor = store->records.begin();
    if (store->cursor == store->records.end())
        return PB_END;
    *record = store->cursor->get();
    return 0;
}

uint16_t TBL_pb::NextContact(uint8_t storage, _MEC_CONTACT_RECORD **record)
{
    Storage *store = storageOf(storage);
    if (!store || !record || store->cursor == store->records.end())
        return PB_END;
    ++store->cursor;
    if (store->cursor == store->records.end())
        return PB_END;
    *record = store->cursor->get();
    return 0;
}

void TBL_pb::cut(_MEC_CONTACT_RECORD &record, uint8_t storage) const
{
    record.storage = storage;
    FieldLimits ucs2{};
    FieldLimits eightBit{};
    m_settings.GetFieldLimits(storage, CODING_UCS2, &ucs2);
    m_settings.GetFieldLimits(storage, CODING_8BIT, &eightBit);
    CutContactToLimits(record, eightBit, ucs2, storage == PB_PC);
}

std::list<TBL_pb::Record>::iterator TBL_pb::findByIndex(Storage &store, uint32_t index)
{
    return std::find_if(store.records.begin(), store.records.end(),
                        [index](const Record &candidate) { return candidate->index == index; });
}

uint16_t TBL_pb::AddContact(const _MEC_CONTACT_RECORD &record, _MEC_CONTACT_RECORD **stored)
{
    const uint8_t storage = record.storage;
    Storage *store = storageOf(storage);
    if (!store)
        return PB_END;
    auto copy = std::make_unique<_MEC_CONTACT_RECORD>(record);
    cut(*copy, storage);
    FieldLimits eightBit{};
    m_settings.GetFieldLimits(storage, CODING_8BIT, &eightBit);
    store->capacity = eightBit.values[FIELD_LIMIT_CAPACITY];
    if (storage != PB_SIM)
        store->secondCount = eightBit.values[FIELD_LIMIT_SECOND_COUNT];
    if (store->count + 1 > store->capacity)
        return fullCode(storage);
    copy->storage = storage;
    if (const uint16_t status = _MEC_NewContact(copy.get()); status != 0)
        return status;
    copy->storage = storage;
    const uint32_t index = copy->index;
    store->records.push_back(std::move(copy));
    store->numbers.Add(std::prev(store->records.end()));
    ++store->count;
    if (stored)
        *stored = findByIndex(*store, index)->get();
    return 0;
}

uint16_t TBL_pb::AddContactTo(const _MEC_CONTACT_RECORD &record, uint8_t storage, uint32_t groupId,
                              _MEC_CONTACT_RECORD **stored)
{
    _MEC_CONTACT_RECORD copy = record;
    copy.storage = storage;
    copy.groupId = groupId;
    return AddContact(copy, stored);
}

uint16_t TBL_pb::ModifyContact(const _MEC_CONTACT_RECORD &record)
{
    const uint8_t storage = record.storage;
    Storage *store = storageOf(storage);
    if (!store)
        return PB_END;
    _MEC_CONTACT_RECORD copy = record;
    cut(copy, storage);
    if (const uint16_t status = _MEC_SetContact(record.index, &copy); status != 0)
        return status;
    store->cursor = findByIndex(*store, record.index);
    if (store->cursor != store->records.end()) {
        store->numbers.Unlist(store->cursor);
        **store->cursor = copy;
        store->numbers.Add(store->cursor);
    }
    return 0;
}

uint16_t TBL_pb::DeleteContact(const _MEC_CONTACT_RECORD &record)
{
    // The caller's record may be the stored one, which goes away below.
    const uint8_t storage = record.storage;
    const uint32_t index = record.index;
    Storage *store = storageOf(storage);
    if (!store)
        return PB_END;
    auto found = findByIndex(*store, index);
    if (found == store->records.end() || !sameContact(**found, record))
        return PB_NOT_FOUND;
    const uint16_t status = _MEC_DeleteContact(index, storage);
    // The card holds another entry there now (another phone wrote it): ours is gone already.
    if (status != 0 && status != kEngineNotTheEntryRead)
        return status;
    if (store->cursor == found)
        store->cursor = store->records.end();
    store->numbers.Remove(found);
    store->records.erase(found);
    if (status != 0)
        return PB_NOT_FOUND;
    --store->count;
    return 0;
}

std::string TBL_pb::StoreProblem(uint16_t status) const
{
    char why[256]{};
    if (_MEC_GetLastErrorText(why, sizeof why) != 0 || !why[0])
        return std::to_string(status);
    return why;
}

uint16_t TBL_pb::BeginBatch() { return _MEC_BeginStoreBatch(); }

uint16_t TBL_pb::EndBatch()
{
    const uint16_t status = _MEC_EndStoreBatch();
    if (status != 0)
        m_pcStatus = rebuild(PB_PC);
    return status;
}

uint16_t TBL_pb::FindContactByNumber(const char *number, _MEC_CONTACT_RECORD *record)
{
    if (!number || !*number || !record)
        return PB_NOT_FOUND;
    Storage *store = storageOf(record->storage);
    if (!store)
        return PB_NOT_FOUND;
    // The first contact in list order with a matching number; the cursor rests on it.
    const std::optional<ContactNumberIndex::Position> found = store->numbers.Find(number);
    store->cursor = found ? *found : store->records.end();
    if (found) {
        *record = ***found;
        return 0;
    }
    return PB_NOT_FOUND;
}

void TBL_pb::loadGroups(uint8_t storage)
{
    std::vector<_MEC_GROUP_RECORD> &table = storage == PB_PC ? m_pcGroups : m_meGroups;
    const size_t room = storage == PB_PC ? PB_PC_GROUP_ROOM : PB_ME_GROUP_ROOM;
    table.clear();
    _MEC_GROUP_RECORD group{};
    group.storage = storage;
    for (uint16_t status = _MEC_GetFirstGroup(&group); status == 0 && table.size() < room;
         status = _MEC_GetNextGroup(&group)) {
        if (!table.empty() && table.back().groupId == group.groupId)
            break;  // the engine repeats itself
        table.push_back(group);
        group = _MEC_GROUP_RECORD{};
        group.storage = storage;
    }
}

int TBL_pb::ListGroups(uint8_t storage, _MEC_GROUP_RECORD *out, size_t room) const
{
    const _MEC_GROUP_RECORD *first = nullptr;
    size_t count = 0;
    if (storage == PB_SIM) {
        first = &m_simGroup;
        count = 1;
    } else if (storage == PB_ME) {
        first = m_meGroups.data();
        count = m_meGroups.empty() || m_meGroups.front().groupName[0] == 0 ? 0 : m_meGroups.size();
    } else if (storage == PB_PC) {
        first = m_pcGroups.data();
        count = m_pcGroups.size();
    }
    count = out ? std::min(count, room) : 0;
    std::copy_n(first, count, out);
    return static_cast<int>(count);
}

uint16_t TBL_pb::GetGroup(int32_t groupId, uint8_t storage, _MEC_GROUP_RECORD *group) const
{
    if (storage == PB_SIM || storage > PB_PC)
        return PB_END;
    const auto &table = storage == PB_PC ? m_pcGroups : m_meGroups;
    for (const auto &candidate : table) {
        if (candidate.groupId == groupId) {
            if (group)
                std::memcpy(group->groupName, candidate.groupName, sizeof group->groupName);
            return 0;
        }
    }
    return PB_END;
}

uint16_t TBL_pb::AddGroup(_MEC_GROUP_RECORD &group)
{
    if (group.storage != PB_PC)
        return PB_NOT_PC_GROUP;
    if (m_pcGroups.size() >= PB_PC_GROUP_MOST)
        return PB_TABLE_FULL;
    int32_t largest = PB_FIRST_GROUP_ID_BASE;
    for (const auto &existing : m_pcGroups)
        largest = std::max(largest, int32_t{existing.groupId});
    group.groupId = largest + 1;
    if (const uint16_t status = _MEC_SaveGroup(&group); status != 0)
        return status;
    m_pcGroups.push_back(group);
    return 0;
}

uint16_t TBL_pb::RenameGroup(const _MEC_GROUP_RECORD &group)
{
    if (const uint16_t status = _MEC_SetGroup(&group); status != 0)
        return status;
    if (group.storage == PB_PC) {
        for (auto &existing : m_pcGroups) {
            if (existing.groupId == group.groupId) {
                std::memcpy(existing.groupName, group.groupName, sizeof existing.groupName);
                break;
            }
        }
    }
    return 0;
}

uint16_t TBL_pb::DeleteGroup(int32_t groupId, uint8_t storage)
{
    if (storage != PB_PC)
        return PB_NOT_PC_GROUP;
    if (const uint16_t status = _MEC_DeleteGroup(groupId, storage); status != 0)
        return status;
    auto found = std::find_if(m_pcGroups.begin(), m_pcGroups.end(),
                              [groupId](const auto &group) { return group.groupId == groupId; });
    if (found != m_pcGroups.end())
        m_pcGroups.erase(found);
    return 0;
}

uint16_t TBL_pb::DeleteGroupContacts(int32_t groupId, uint8_t storage)
{
    if (storage != PB_PC)
        return PB_END;
    Storage &store = m_storages[PB_PC];
    if (store.records.empty())
        return PB_TABLE_FULL;
    std::vector<_MEC_CONTACT_RECORD> members;
    for (const Record &record : store.records) {
        if (static_cast<int32_t>(record->groupId) == groupId)
            members.push_back(*record);
    }
    uint16_t result = PB_END;
    // Without a transaction each deletion is its own: slower, and each reports its own failure.
    const bool batched = BeginBatch() == 0;
    for (const _MEC_CONTACT_RECORD &member : members)
        result = DeleteContact(member);
    if (const uint16_t ended = batched ? EndBatch() : 0; ended != 0)
        result = ended;
    return result;
}

void TBL_pb::GetContactLimits(uint8_t storage, uint8_t coding, FieldLimits *out) const
{
    m_settings.GetFieldLimits(storage, coding, out);
}

int TBL_pb::GetNumberCharacters(char out[32])
{
    _MEC_FIELD_SIZES sizes{};
    sizes.size = sizeof sizes;
    sizes.storage = PB_PC;
    if (_MEC_GetFieldSizes(&sizes) == 0) {
        std::memcpy(m_numberCharacters.data(), sizes.numberCharacters, 32);
        m_numberCharacters[32] = 0;
    }
    if (out)
        std::memcpy(out, m_numberCharacters.data(), 32);
    return static_cast<int>(strnlen(m_numberCharacters.data(), 32));
}
