// A phonebook played by the fake engine: contacts and groups per storage in memory, behind the
// engine's contact and group calls, with a way to make writes fail (a card pulled half-way).
#pragma once

#include "lumacore/fake/FakeLumacore.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class FakePhonebook {
public:
    struct Book {
        std::map<uint32_t, _MEC_CONTACT_RECORD> contacts;
        std::vector<_MEC_GROUP_RECORD> groups;
        uint32_t nextIndex = 1;
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
            return state->failing(storage);
        });
        onCall(&_MEC_LoadGroup, [](uint8_t) -> MEC_STATUS { return 0; });
        onCall(&_MEC_GetFirstContact, [state](_MEC_CONTACT_RECORD *record) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            state->books[record->storage].walk = 0;
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
            Book &book = state->books[record->storage];
            record->index = book.nextIndex++;
            book.contacts[record->index] = *record;
            return 0;
        });
        onCall(&_MEC_SetContact,
               [state](uint32_t index, const _MEC_CONTACT_RECORD *record) -> MEC_STATUS {
                   std::lock_guard lock(state->mutex);
                   if (MEC_STATUS status = state->failing(record->storage))
                       return status;
                   Book &book = state->books[record->storage];
                   if (!book.contacts.count(index))
                       return 13;
                   book.contacts[index] = *record;
                   book.contacts[index].index = index;
                   return 0;
               });
        onCall(&_MEC_DeleteContact, [state](uint32_t index, uint8_t storage) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (MEC_STATUS status = state->failing(storage))
                return status;
            return state->books[storage].contacts.erase(index) ? 0 : 13;
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
    }
    // Fails the storage's calls with status once `calls` more of them have worked.
    void failStorageAfter(uint8_t storage, int calls, MEC_STATUS status)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->failAfter[storage] = {calls, status};
    }

    _MEC_CONTACT_RECORD &put(uint8_t storage, const char *name, const char *number,
                             uint32_t groupId = 0)
    {
        std::lock_guard lock(m_state->mutex);
        Book &book = m_state->books[storage];
        _MEC_CONTACT_RECORD record{};
        record.storage = storage;
        record.groupId = groupId;
        record.index = book.nextIndex++;
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
    struct State {
        std::mutex mutex;
        Book books[3];
        MEC_STATUS failures[3]{};
        std::pair<int, MEC_STATUS> failAfter[3]{};

        MEC_STATUS failing(uint8_t storage)
        {
            auto &[calls, status] = failAfter[storage];
            if (status != 0 && calls-- <= 0)
                failures[storage] = status;
            return failures[storage];
        }
        MEC_STATUS next(_MEC_CONTACT_RECORD *record)
        {
            Book &book = books[record->storage];
            if (book.walk >= book.contacts.size())
                return 13;
            auto it = book.contacts.begin();
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
