// Voice calls played by the fake engine: the calls the card lists (+CLCC), what was dialled,
// the +CHLD values and the tones sent, the answer's result, the emergency numbers and the
// earphone. A test changes the card's calls with the call list (as the network would) and fires
// the engine's call messages itself. Header only, like FakePhonebook.
#pragma once

#include "lumacore/fake/FakeLumacore.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class FakeVoice {
public:
    struct ListedCall {
        int32_t index = 1;
        uint32_t status = 0;  // 0 active, 1 held, 2 dialling, 4 incoming, 5 waiting
        std::string number;
    };

    // Installs the handlers; the fake must have been reset first.
    FakeVoice()
    {
        using namespace lumacore_fake;
        auto state = m_state;
        onCall(&_MEC_Dial, [state](const char *number, uint8_t *result) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (state->dialStatus != 0)
                return state->dialStatus;
            state->dialled.emplace_back(number ? number : "");
            if (result)
                *result = 1;
            return 0;
        });
        onCall(&_MEC_Answer, [state](uint8_t *result) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (result)
                *result = state->answerResult;
            return state->answerStatus;
        });
        onCall(&_MEC_SendCHLDCommand, [state](uint32_t value) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (state->chldStatus != 0)
                return state->chldStatus;
            state->chld.push_back(value);
            return 0;
        });
        onCall(&_MEC_SendCLCCCmd, [state](_MEC_CLCC_LIST *list) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            *list = _MEC_CLCC_LIST{};
            for (const ListedCall &call : state->listed) {
                if (list->count >= MEC_CLCC_MAX_CALLS)
                    break;
                _MEC_CLCC_ENTRY &entry = list->calls[list->count++];
                entry.callIndex = call.index;
                entry.status = call.status;
                std::strncpy(entry.number, call.number.c_str(), sizeof entry.number - 1);
            }
            return 0;
        });
        onCall(&_MEC_SetDTMF, [state](char tone) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            state->tones += tone;
            return 0;
        });
        onCall(&_MEC_GetEmergencyCall, [state](_MEC_EMERGENCY_LIST *list) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            *list = _MEC_EMERGENCY_LIST{};
            for (size_t i = 0; i < state->emergency.size() && i < MEC_EMERGENCY_NUMBERS; ++i)
                std::strncpy(list->numbers[i], state->emergency[i].c_str(), 35);
            return 0;
        });
        onCall(&_MEC_ReadEarPhoneVol, [state](uint8_t *level) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            *level = state->earphoneLevel;
            return 0;
        });
        onCall(&_MEC_SetEarphoneVol, [state](uint8_t position) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            static constexpr uint8_t kLevels[] = {0, 56, 111, 155, 205, 255};
            if (state->earphoneStatus != 0 || position > 5)
                return state->earphoneStatus ? state->earphoneStatus : MEC_ERR_ERROR;
            state->earphoneLevel = kLevels[position];
            return 0;
        });
        onCall(&_MEC_CheckEarPhone, [state](uint8_t *present) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            *present = state->earphonePresent;
            return 0;
        });
    }

    // The card's calls, as +CLCC lists them from now on.
    void list(std::vector<ListedCall> calls)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->listed = std::move(calls);
    }
    void failDial(MEC_STATUS status) { set(&State::dialStatus, status); }
    void failChld(MEC_STATUS status) { set(&State::chldStatus, status); }
    void failEarphone(MEC_STATUS status) { set(&State::earphoneStatus, status); }
    void answerWith(uint8_t result, MEC_STATUS status = 0)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->answerResult = result;
        m_state->answerStatus = status;
    }
    void earphonePlugged(bool plugged)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->earphonePresent = plugged ? 1 : 0;
    }
    void setEarphoneLevel(uint8_t level)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->earphoneLevel = level;
    }
    void emergencyNumbers(std::vector<std::string> numbers)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->emergency = std::move(numbers);
    }

    std::vector<std::string> dialled() const { return get(&State::dialled); }
    std::vector<uint32_t> chld() const { return get(&State::chld); }
    std::string tones() const { return get(&State::tones); }
    uint8_t earphoneLevel() const { return get(&State::earphoneLevel); }

private:
    struct State {
        std::mutex mutex;
        std::vector<ListedCall> listed;
        std::vector<std::string> dialled;
        std::vector<uint32_t> chld;
        std::string tones;
        std::vector<std::string> emergency{"112", "911"};
        MEC_STATUS dialStatus = 0;
        MEC_STATUS chldStatus = 0;
        MEC_STATUS earphoneStatus = 0;
        MEC_STATUS answerStatus = 0;
        uint8_t answerResult = 1;
        uint8_t earphonePresent = 1;
        uint8_t earphoneLevel = 111;
    };

    template <typename T>
    void set(T State::*field, T value)
    {
        std::lock_guard lock(m_state->mutex);
        (*m_state).*field = value;
    }
    template <typename T>
    T get(T State::*field) const
    {
        std::lock_guard lock(m_state->mutex);
        return (*m_state).*field;
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// The call records in the engine's PC store, played in memory: 50 entries per kind, the oldest
// dropped for a new one, indices never reused, a walk from the oldest to the newest. A store that
// fails (a disk gone) refuses writes and keeps what it had.
class FakeCallRecords {
public:
    static constexpr size_t kPerKind = 50;

    FakeCallRecords()
    {
        using namespace lumacore_fake;
        auto state = m_state;
        onCall(&_MEC_GetCallEntryCount, [state](uint8_t kind, uint8_t storage) -> uint16_t {
            std::lock_guard lock(state->mutex);
            if (storage != 2)
                return 0;
            uint16_t count = 0;
            for (const auto &[index, entry] : state->entries)
                count += entry.kind == kind;
            return count;
        });
        onCall(&_MEC_GetFirstCallEntry, [state](uint8_t kind, CallEntry *entry) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            return state->after(kind, 0, *entry);
        });
        onCall(&_MEC_GetNextCallEntry, [state](CallEntry *entry) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            return state->after(entry->kind, entry->index, *entry);
        });
        onCall(&_MEC_SaveCallEntry, [state](CallEntry *entry) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (state->failing)
                return state->failing;
            entry->index = ++state->lastIndex;
            entry->storage = 2;
            state->entries[entry->index] = *entry;
            size_t count = 0;
            for (const auto &[index, kept] : state->entries)
                count += kept.kind == entry->kind;
            for (auto it = state->entries.begin(); count > kPerKind && it != state->entries.end();)
                if (it->second.kind == entry->kind) {
                    it = state->entries.erase(it);
                    --count;
                } else {
                    ++it;
                }
            return 0;
        });
        onCall(&_MEC_DeleteCallEntry, [state](uint32_t index, uint8_t storage) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (storage != 2)
                return MEC_ERR_ERROR;
            if (state->failing)
                return state->failing;
            return state->entries.erase(index) ? 0 : kNotFound;
        });
        onCall(&_MEC_ClearCallEntries, [state](uint8_t kind, uint8_t storage) -> MEC_STATUS {
            std::lock_guard lock(state->mutex);
            if (storage != 2)
                return MEC_ERR_ERROR;
            if (state->failing)
                return state->failing;
            std::erase_if(state->entries, [kind](const auto &kept) { return kept.second.kind == kind; });
            return 0;
        });
    }

    static constexpr MEC_STATUS kNotFound = MEC_ERR_NO_MORE_ENTRIES;

    void fail(MEC_STATUS status)
    {
        std::lock_guard lock(m_state->mutex);
        m_state->failing = status;
    }
    // The entries kept, oldest first.
    std::vector<CallEntry> entries() const
    {
        std::lock_guard lock(m_state->mutex);
        std::vector<CallEntry> all;
        for (const auto &[index, entry] : m_state->entries)
            all.push_back(entry);
        return all;
    }
    // Stores an entry as another run of the program left it.
    void put(const char *number, uint8_t kind, uint32_t duration, CallEntryTime when)
    {
        CallEntry entry{};
        std::strncpy(entry.number, number, sizeof entry.number - 1);
        entry.kind = kind;
        entry.duration = duration;
        entry.when = when;
        std::lock_guard lock(m_state->mutex);
        entry.index = ++m_state->lastIndex;
        entry.storage = 2;
        m_state->entries[entry.index] = entry;
    }

private:
    struct State {
        std::mutex mutex;
        std::map<uint32_t, CallEntry> entries;
        uint32_t lastIndex = 0;
        MEC_STATUS failing = 0;

        MEC_STATUS after(uint8_t kind, uint32_t index, CallEntry &out)
        {
            if (failing)
                return failing;
            for (auto it = entries.upper_bound(index); it != entries.end(); ++it)
                if (it->second.kind == kind) {
                    out = it->second;
                    return 0;
                }
            return kNotFound;
        }
    };

    std::shared_ptr<State> m_state = std::make_shared<State>();
};
