// A phonebook played by the fake engine: contacts and groups per storage in memory, behind the
// engine's contact and group calls, with a way to make writes fail (a card pulled half-way).
//
// It keeps places as the engine does. A card's book (SIM, card) writes a new contact into its
// lowest free place, so a freed place is taken again; a walk goes over what the last load read,
// which goes stale when another phone writes behind it (put() plays that phone); deleting an
// empty place is OK, and an entry that is not the one the last load read there is refused, as
// the real engine refuses it. The PC store numbers contacts as SQLite does (one past the
// highest) and reads afresh on every walk.
#pragma once

#include "lumacore/fake/FakeLumacore.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class FakePhonebook {
public:
    static constexpr uint8_t kPcStorage = 2;
    // +CME ERROR: 22, not found: the place holds another entry than the one last read.
    static constexpr MEC_STATUS kNotTheEntryRead = MEC_ERR_CME_BASE + 22;

    struct Book {
        std::map<uint32_t, _MEC_CONTACT_RECORD> contacts;
        std::map<uint32_t, _MEC_CONTACT_RECORD> read;  // what the last load saw (card books)
        bool loaded = false;
        std::vector<_MEC_GROUP_RECORD> groups;
        size_t walk = 0;
        size_t groupWalk = 0;
    };

    // Installs the handlers; the fake must have been reset first.
    FakePhonebook()
    {
        using namespace lumacore_fake;
        auto state = m_state;
        onCall(&_MEC_GetContactCount, [state](uint8_t storage) -> uint16_t {
            std::lock_guard lock(state->mutex);
            return static_cast<uint16_t>(state->books[storage].contacts.size());
        });
        onCall(&_MEC_LoadContacts, [state](uint8_t storage) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (MEC_STATUS status = state->failing(storage))
                return status;
            state->load(storage);
            return 0;
        });
        onCall(&_MEC_LoadGroup, [](uint8_t) -> MEC_STATUS { return 0; });
        onCall(&_MEC_GetFirstContact, [state](_MEC_CONTACT_RECORD *record) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            Book &book = state->books[record->storage];
            if (record->storage == kPcStorage) {
                // The PC store is read afresh: a store that cannot be used fails here.
                if (MEC_STATUS status = state->failing(record->storage))
                    return status;
            }
            if (record->storage == kPcStorage || !book.loaded)
                state->load(record->storage);
            book.walk = 0;
            return state->next(record);
        });
        onCall(&_MEC_GetNextContact, [state](_MEC_CONTACT_RECORD *record) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            return state->next(record);
        });
        onCall(&_MEC_NewContact, [state](_MEC_CONTACT_RECORD *record) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (MEC_STATUS status = state->failing(record->storage))
                return status;
            if (state->refused(*record))
                return MEC_ERR_ERROR;
            Book &book = state->books[record->storage];
            record->index = state->freePlace(record->storage);
            book.contacts[record->index] = *record;
            if (record->storage != kPcStorage)
                book.read[record->index] = *record;
            return 0;
        });
        onCall(&_MEC_SetContact,
               [state](uint32_t index, const _MEC_CONTACT_RECORD *record) -> MEC_STATUS {
                   std::lock_guard lock(state->mutex);
                   if (MEC_STATUS status = state->failing(record->storage))
                       return status;
                   if (state->refused(*record))
                       return MEC_ERR_ERROR;
                   Book &book = state->books[record->storage];
                   if (!book.contacts.count(index))
                       return 13;
                   book.contacts[index] = *record;
                   book.contacts[index].index = index;
                   if (record->storage != kPcStorage)
                       book.read[index] = book.contacts[index];
                   return 0;
               });
        onCall(&_MEC_DeleteContact, [state](uint32_t index, uint8_t storage) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (MEC_STATUS status = state->failing(storage))
                return status;
            Book &book = state->books[storage];
            if (storage == kPcStorage)
                return book.contacts.erase(index) ? 0 : 13;
            auto held = book.contacts.find(index);
            if (held == book.contacts.end()) {
                book.read.erase(index);
                return 0;  // an empty place: nothing to delete
            }
            auto read = book.read.find(index);
            if (read == book.read.end() || !sameEntry(read->second, held->second))
                return kNotTheEntryRead;
            book.contacts.erase(held);
            book.read.erase(read);
            return 0;
        });
        onCall(&_MEC_GetFirstGroup, [state](_MEC_GROUP_RECORD *group) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            state->books[group->storage].groupWalk = 0;
            return state->nextGroup(group);
        });
        onCall(&_MEC_GetNextGroup, [state](_MEC_GROUP_RECORD *group) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            return state->nextGroup(group);
        });
        onCall(&_MEC_SaveGroup, [state](const _MEC_GROUP_RECORD *group) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            state->books[group->storage].groups.push_back(*group);
            return 0;
        });
    }

    // From now on every call on the storage fails with status (0: works again).
    void failStorage(uint8_t storage, MEC_STATUS status)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->failures[storage] = status;
        m_state->failAfter[storage] = {};
    }
    // Fails the storage's calls with status once `calls` more of them have worked.
    void failStorageAfter(uint8_t storage, int calls, MEC_STATUS status)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->failAfter[storage] = {calls, status};
    }
    // Writes of a contact whose first number is this one are refused (ERROR), as a card refuses
    // a number it cannot store.
    void refuseNumber(const std::string &number)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->refusedNumber = number;
    }

    // A contact written in the storage's next free place, as another phone (or another
    // program) writes it: a later load sees it, a walk of the last load does not.
    _MEC_CONTACT_RECORD &put(uint8_t storage, const char *name, const char *number,
                             uint32_t groupId = 0)
    {
        std::lock_guard lock(m_state->mutex);
        Book &book = m_state->books[storage];
        _MEC_CONTACT_RECORD record{};
        record.storage = storage;
        record.groupId = groupId;
        record.index = m_state->freePlace(storage);
        std::strncpy(record.name, name, sizeof record.name - 1);
        std::strncpy(record.numbers[0].number, number, sizeof record.numbers[0].number - 1);
        return book.contacts[record.index] = record;
    }

    std::map<uint32_t, _MEC_CONTACT_RECORD> contacts(uint8_t storage) const
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->books[storage].contacts;
    }

private:
    static bool sameEntry(const _MEC_CONTACT_RECORD &a, const _MEC_CONTACT_RECORD &b)
    {
        return std::strncmp(a.name, b.name, sizeof a.name) == 0 &&
               std::strncmp(a.numbers[0].number, b.numbers[0].number,
                            sizeof a.numbers[0].number) == 0;
    }

    struct State {
        std::mutex mutex;
        Book books[3];
        MEC_STATUS failures[3]{};
        std::pair<int, MEC_STATUS> failAfter[3]{};
        std::string refusedNumber;

        MEC_STATUS failing(uint8_t storage)
        {
            auto &[calls, status] = failAfter[storage];
            if (status != 0 && calls-- <= 0)
                failures[storage] = status;
            return failures[storage];
        }
        bool refused(const _MEC_CONTACT_RECORD &record) const
        {
            return !refusedNumber.empty() && refusedNumber == record.numbers[0].number;
        }
        uint32_t freePlace(uint8_t storage) const
        {
            const auto &contacts = books[storage].contacts;
            if (storage == kPcStorage)
                return contacts.empty() ? 1 : contacts.rbegin()->first + 1;
            uint32_t place = 1;
            while (contacts.count(place))
                ++place;
            return place;
        }
        void load(uint8_t storage)
        {
            Book &book = books[storage];
            book.read = book.contacts;
            book.loaded = true;
        }
        MEC_STATUS next(_MEC_CONTACT_RECORD *record)
        {
            Book &book = books[record->storage];
            const auto &walked = record->storage == kPcStorage ? book.contacts : book.read;
            if (book.walk >= walked.size())
                return 13;
            auto it = walked.begin();
            std::advance(it, static_cast<std::ptrdiff_t>(book.walk++));
            *record = it->second;
            return 0;
        }
        MEC_STATUS nextGroup(_MEC_GROUP_RECORD *group)
        {
            Book &book = books[group->storage];
            if (book.groupWalk >= book.groups.size())
                return 13;
            *group = book.groups[book.groupWalk++];
            return 0;
        }
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};
