#include "logic/PhonebookTransfer.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace {

constexpr int kAttempts = 3;
constexpr uint16_t kNoCard = MEC_ERR_NO_CARD;

bool isFullCode(uint16_t status)
{
    return status == PB_PC_FULL || status == PB_ME_FULL || status == PB_SIM_FULL;
}

bool hasNumber(const _MEC_CONTACT_NUMBER &slot)
{
    return !platform::fieldText(slot.number, sizeof slot.number).empty();
}

}  // namespace

PhonebookTransfer::PhonebookTransfer(TBL_pb &store, Callbacks callbacks)
    : m_store(store), m_callbacks(std::move(callbacks))
{
}

bool PhonebookTransfer::stopRequested() const
{
    return m_callbacks.stopRequested && m_callbacks.stopRequested();
}

void PhonebookTransfer::progress(size_t position, size_t total) const
{
    if (total > 2 && m_callbacks.progress)
        m_callbacks.progress(static_cast<int>(position * 100 / total));
}

uint16_t PhonebookTransfer::withRetries(const std::function<uint16_t()> &attempt) const
{
    uint16_t status = 0;
    for (int tries = 0; tries < kAttempts; ++tries) {
        status = attempt();
        if (status == 0 || status == kNoCard)
            break;
    }
    return status;
}

std::vector<_MEC_CONTACT_RECORD> PhonebookTransfer::simParts(const _MEC_CONTACT_RECORD &contact,
                                                          int slotsKept)
{
    const int kept = std::clamp(slotsKept, 1, MEC_CONTACT_NUMBER_SLOTS);
    std::vector<const _MEC_CONTACT_NUMBER *> numbers;
    for (const auto &slot : contact.numbers) {
        if (hasNumber(slot))
            numbers.push_back(&slot);
    }
    std::vector<_MEC_CONTACT_RECORD> parts;
    // The first part is the contact with the slots the SIM does not keep emptied, as it stands.
    _MEC_CONTACT_RECORD first = contact;
    for (int slot = kept; slot < MEC_CONTACT_NUMBER_SLOTS; ++slot)
        first.numbers[slot] = _MEC_CONTACT_NUMBER{};
    parts.push_back(first);
    size_t used = static_cast<size_t>(
        std::count_if(first.numbers, first.numbers + MEC_CONTACT_NUMBER_SLOTS, hasNumber));
    while (used < numbers.size()) {
        _MEC_CONTACT_RECORD next = contact;
        for (auto &slot : next.numbers)
            slot = _MEC_CONTACT_NUMBER{};
        for (int slot = 0; slot < kept && used < numbers.size(); ++slot)
            next.numbers[slot] = *numbers[used++];
        parts.push_back(next);
    }
    return parts;
}

namespace {

// One transaction of the PC store around a stretch of a run.
class StoreBatch {
public:
    explicit StoreBatch(TBL_pb &store) : m_store(store)
    {
        // A store that cannot start one takes each write on its own, and each reports its own
        // failure: slower, nothing lost.
        m_open = m_store.BeginBatch() == 0;
    }
    StoreBatch(const StoreBatch &) = delete;
    StoreBatch &operator=(const StoreBatch &) = delete;
    ~StoreBatch() { end(); }
    uint16_t end()
    {
        const uint16_t status = m_open ? m_store.EndBatch() : 0;
        m_open = false;
        return status;
    }

private:
    TBL_pb &m_store;
    bool m_open = false;
};

}  // namespace

uint16_t PhonebookTransfer::writeWhole(const std::vector<_MEC_CONTACT_RECORD> &parts,
                                    uint8_t storage, uint32_t group)
{
    std::vector<_MEC_CONTACT_RECORD> written;
    for (const _MEC_CONTACT_RECORD &part : parts) {
        _MEC_CONTACT_RECORD *stored = nullptr;
        const uint16_t status =
            withRetries([&] { return m_store.AddContactTo(part, storage, group, &stored); });
        if (status != 0) {
            // Half a contact is no copy of it: take back what was written. A card gone by now
            // keeps those parts; the source keeps the whole contact either way.
            for (const _MEC_CONTACT_RECORD &taken : written)
                if (m_store.DeleteContact(taken) == kNoCard)
                    break;
            return status;
        }
        if (stored)
            written.push_back(*stored);
    }
    return 0;
}

void PhonebookTransfer::removeSources(const std::vector<_MEC_CONTACT_RECORD> &sources,
                                   Result &result)
{
    StoreBatch batch(m_store);
    std::vector<_MEC_CONTACT_RECORD> removedFromPc;
    for (size_t position = 0; position < sources.size(); ++position) {
        const uint16_t status = m_store.DeleteContact(sources[position]);
        // Not there any more (5): removed already, or its place given to another contact.
        if (status == 0 || status == PB_NOT_FOUND) {
            ++result.done;
            if (status == 0 && sources[position].storage == PB_PC)
                removedFromPc.push_back(sources[position]);
        } else {
            result.lastFailure = status;
            result.sourcesLeft.push_back(sources[position]);
            if (status == kNoCard) {
                result.cardGone = true;
                result.sourcesLeft.insert(result.sourcesLeft.end(),
                                          sources.begin() + static_cast<std::ptrdiff_t>(position) + 1,
                                          sources.end());
                break;
            }
        }
        progress(sources.size() + position, 2 * sources.size());
    }
    if (const uint16_t ended = batch.end(); ended != 0) {
        // The PC store kept its contacts: they are copies now, still to remove.
        result.lastFailure = ended;
        result.done -= static_cast<int>(removedFromPc.size());
        result.sourcesLeft.insert(result.sourcesLeft.end(), removedFromPc.begin(),
                                  removedFromPc.end());
    }
}

PhonebookTransfer::Result PhonebookTransfer::Paste(const std::vector<_MEC_CONTACT_RECORD> &contacts,
                                             Mode mode, uint8_t storage, int32_t targetGroup)
{
    Result result;
    FieldLimits simLimits{};
    m_store.GetContactLimits(PB_SIM, CODING_8BIT, &simLimits);
    const int slotsKept = std::min<int>(simLimits.values[FIELD_LIMIT_NUMBER_SLOTS], 5);
    _MEC_GROUP_RECORD groups[PB_PC_GROUP_ROOM]{};
    const bool pcHasGroups = m_store.ListGroups(PB_PC, groups, PB_PC_GROUP_ROOM) > 0;
    const bool cut = mode == PB_PASTE_CUT;
    // A cut into another storage writes first and removes the sources after: two halves of
    // the progress bar.
    const bool movesAcross = cut && std::any_of(contacts.begin(), contacts.end(),
                                                [&](const auto &c) { return c.storage != storage; });
    const size_t steps = movesAcross ? 2 * contacts.size() : contacts.size();
    std::vector<_MEC_CONTACT_RECORD> written;  // moved contacts whose source is still to go

    StoreBatch batch(m_store);
    size_t position = 0;
    for (; position < contacts.size(); ++position) {
        const _MEC_CONTACT_RECORD &source = contacts[position];
        if (stopRequested()) {
            result.stopped = true;
            break;
        }
        if (position == 0 && storage == PB_SIM && source.storage == PB_PC &&
            m_callbacks.confirmPcToSim && !m_callbacks.confirmPcToSim()) {
            result.stopped = true;
            break;
        }
        uint32_t group = source.groupId;
        if (targetGroup >= 0)
            group = static_cast<uint32_t>(targetGroup);
        else if (storage == PB_PC && source.storage != PB_PC && pcHasGroups)
            group = 0;

        if (cut && source.storage == storage) {
            // Within one storage a cut only moves the contact to another group.
            _MEC_CONTACT_RECORD moved = source;
            moved.groupId = group;
            const uint16_t status = withRetries([&] { return m_store.ModifyContact(moved); });
            if (status != 0) {
                result.lastFailure = status;
                result.cardGone = status == kNoCard;
                break;
            }
            ++result.done;
            progress(position, steps);
            continue;
        }

        const std::vector<_MEC_CONTACT_RECORD> parts =
            storage == PB_SIM ? simParts(source, slotsKept)
                              : std::vector<_MEC_CONTACT_RECORD>{source};
        result.splitForSim = parts.size() > 1;
        if (const uint16_t status = writeWhole(parts, storage, group); status != 0) {
            result.lastFailure = status;
            if (isFullCode(status) || status == kNoCard) {
                result.stoppedFull = isFullCode(status);
                result.cardGone = status == kNoCard;
                break;
            }
            ++result.failed;
            if (cut)
                result.notMoved.push_back(source);  // the source stays where it was, whole
            continue;
        }
        if (cut)
            written.push_back(source);
        else
            ++result.done;
        progress(position, steps);
    }
    if (cut) {
        for (size_t rest = position; rest < contacts.size(); ++rest)
            result.notMoved.push_back(contacts[rest]);
    }
    // What was written is kept before any source goes.
    if (const uint16_t ended = batch.end(); ended != 0) {
        result.lastFailure = ended;
        result.notMoved.insert(result.notMoved.begin(), written.begin(), written.end());
        result.done = 0;
        return result;
    }
    if (!written.empty())
        removeSources(written, result);
    return result;
}

PhonebookTransfer::Result PhonebookTransfer::Delete(const std::vector<_MEC_CONTACT_RECORD> &contacts)
{
    Result result;
    StoreBatch batch(m_store);
    size_t position = 0;
    for (; position < contacts.size(); ++position) {
        if (stopRequested()) {
            result.stopped = true;
            break;
        }
        const uint16_t status = m_store.DeleteContact(contacts[position]);
        if (status == 0 || status == PB_NOT_FOUND) {
            ++result.done;  // deleted, or found gone already
        } else {
            ++result.failed;
            result.lastFailure = status;
            result.sourcesLeft.push_back(contacts[position]);
            if (status == kNoCard) {
                result.cardGone = true;
                ++position;
                break;
            }
        }
        progress(result.done, contacts.size());
    }
    for (; position < contacts.size(); ++position)
        result.sourcesLeft.push_back(contacts[position]);
    if (const uint16_t ended = batch.end(); ended != 0) {
        // Nothing of the PC store's part went: read again, it is all still there.
        result.lastFailure = ended;
        result.done = 0;
        result.sourcesLeft = contacts;
    }
    return result;
}
