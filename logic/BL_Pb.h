// The phonebook store: one list of contacts per storage (SIM, card, PC) in the order the engine
// delivered them, the PC and card group tables and the SIM's one pseudo-group. It is the only
// caller of the engine's contact and group calls, and it cuts every record to what its storage
// holds before the engine sees it.
#pragma once

#include "logic/BL_PbNumberIndex.h"
#include "logic/BL_Set.h"
#include "lumacore.h"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

// The store's own result codes.
constexpr uint16_t PB_NOT_FOUND = 5;
constexpr uint16_t PB_END = 13;
constexpr uint16_t PB_TABLE_FULL = 17;
constexpr uint16_t PB_PC_FULL = 4400;
constexpr uint16_t PB_ME_FULL = 4401;
constexpr uint16_t PB_SIM_FULL = 4402;
constexpr uint16_t PB_NOT_PC_GROUP = 5003;

enum ContactStorage : uint8_t { PB_SIM = 0, PB_ME = 1, PB_PC = 2 };

constexpr int32_t PB_SIM_GROUP_ID = 0xFF08;
constexpr size_t PB_PC_GROUP_ROOM = 200;
constexpr size_t PB_PC_GROUP_MOST = 20;
constexpr size_t PB_ME_GROUP_ROOM = 7;
constexpr int32_t PB_FIRST_GROUP_ID_BASE = 2008;

class TBL_pb {
public:
    // Reads the PC list, the three counts and the PC groups.
    explicit TBL_pb(TBLSet &settings);
    // Reads nothing yet: ReadPcStore does, once the program's windows are on the screen.
    struct ReadLater {};
    TBL_pb(TBLSet &settings, ReadLater);
    // The PC list, the three counts and the PC groups, read afresh.
    void ReadPcStore();
    TBL_pb(const TBL_pb &) = delete;
    TBL_pb &operator=(const TBL_pb &) = delete;

    uint16_t ContactCount(uint8_t storage) const;
    // How the last read of the PC list went: 0 (or 13, empty), else the store cannot be used.
    uint16_t PcStoreStatus() const { return m_pcStatus; }
    // The engine's words for why its store failed with status (the status itself when it has
    // none).
    std::string StoreProblem(uint16_t status) const;
    uint16_t ReloadStore(uint8_t storage);
    // Record pointers stay valid until the next change of that storage.
    uint16_t FirstContact(uint8_t storage, _MEC_CONTACT_RECORD **record);
    uint16_t NextContact(uint8_t storage, _MEC_CONTACT_RECORD **record);
    uint16_t AddContact(const _MEC_CONTACT_RECORD &record, _MEC_CONTACT_RECORD **stored);
    uint16_t AddContactTo(const _MEC_CONTACT_RECORD &record, uint8_t storage, uint32_t groupId,
                          _MEC_CONTACT_RECORD **stored);
    uint16_t ModifyContact(const _MEC_CONTACT_RECORD &record);
    // Deletes the contact the record names: 5 (nothing deleted) when the place holds another
    // contact, or none, since a card gives a freed place to the next contact written.
    uint16_t DeleteContact(const _MEC_CONTACT_RECORD &record);
    // The PC store's writes between the two are one transaction (a long run's). The end
    // commits; when that fails the PC list is read again, so it shows what the store kept.
    uint16_t BeginBatch();
    uint16_t EndBatch();
    uint16_t FindContactByNumber(const char *number, _MEC_CONTACT_RECORD *record);

    uint16_t GetGroup(int32_t groupId, uint8_t storage, _MEC_GROUP_RECORD *group) const;
    uint16_t RenameGroup(const _MEC_GROUP_RECORD &group);
    uint16_t AddGroup(_MEC_GROUP_RECORD &group);
    uint16_t DeleteGroup(int32_t groupId, uint8_t storage);
    uint16_t DeleteGroupContacts(int32_t groupId, uint8_t storage);
    // Copies the storage's groups into out (room for `room` records); returns how many.
    int ListGroups(uint8_t storage, _MEC_GROUP_RECORD *out, size_t room) const;

    void GetContactLimits(uint8_t storage, uint8_t coding, FieldLimits *out) const;
    // The characters the engine allows in a number, asked afresh; returns their length.
    int GetNumberCharacters(char out[32]);

private:
    using Record = std::unique_ptr<_MEC_CONTACT_RECORD>;
    struct Storage {
        std::list<Record> records;
        std::list<Record>::iterator cursor;
        ContactNumberIndex numbers;  // of every record in the list
        int32_t capacity = 0;
        int32_t secondCount = 0;
        int count = 0;
    };

    uint16_t rebuild(uint8_t storage);
    void loadGroups(uint8_t storage);
    Storage *storageOf(uint8_t storage);
    const Storage *storageOf(uint8_t storage) const;
    std::list<Record>::iterator findByIndex(Storage &store, uint32_t index);
    void cut(_MEC_CONTACT_RECORD &record, uint8_t storage) const;

    TBLSet &m_settings;
    std::array<Storage, 3> m_storages;  // by storage identifier
    std::vector<_MEC_GROUP_RECORD> m_pcGroups;
    std::vector<_MEC_GROUP_RECORD> m_meGroups;
    _MEC_GROUP_RECORD m_simGroup{};
    std::array<char, 33> m_numberCharacters{};
    uint16_t m_pcStatus = 0;
};
