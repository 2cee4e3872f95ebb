#include "engine/BL_PbTransfer.h"

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

TBL_PbTransfer::TBL_PbTransfer(TBL_pb &store, Callbacks callbacks)
    : m_store(store), m_callbacks(std::move(callbacks))
{
}

bool TBL_PbTransfer::stopRequested() const
{
    return m_callbacks.stopRequested && m_callbacks.stopRequested();
}

void TBL_PbTransfer::progress(size_t position, size_t total) const
{
    if (total > 2 && m_callbacks.progress)
        m_callbacks.progress(static_cast<int>(position * 100 / total));
}

uint16_t TBL_PbTransfer::withRetries(const std::function<uint16_t()> &attempt) const
{
    uint16_t status = 0;
    for (int tries = 0; tries < kAttempts; ++tries) {
        status = attempt();
        if (status == 0 || status == kNoCard)
            break;
    }
    return status;
}

std::vector<_MEC_CONTACT_RECORD> TBL_PbTransfer::simParts(const _MEC_CONTACT_RECORD &contact,
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

TBL_PbTransfer::Result TBL_PbTransfer::Paste(const std::vector<_MEC_CONTACT_RECORD> &contacts,
                                             Mode mode, uint8_t storage, int32_t targetGroup)
{
    Result result;
    FieldLimits simLimits{};
    m_store.GetContactLimits(PB_SIM, CODING_8BIT, &simLimits);
    const int slotsKept = std::min<int>(simLimits.values[FIELD_LIMIT_NUMBER_SLOTS], 5);
    _MEC_GROUP_RECORD groups[PB_PC_GROUP_ROOM]{};
    const bool pcHasGroups = m_store.ListGroups(PB_PC, groups, PB_PC_GROUP_ROOM) > 0;

    for (size_t position = 0; position < contacts.size(); ++position) {
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

        if (mode == PB_PASTE_CUT && source.storage == storage) {
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
            progress(position, contacts.size());
            continue;
        }

        const std::vector<_MEC_CONTACT_RECORD> parts =
            storage == PB_SIM ? simParts(source, slotsKept)
                              : std::vector<_MEC_CONTACT_RECORD>{source};
        result.splitForSim = parts.size() > 1;
        uint16_t status = 0;
        for (const _MEC_CONTACT_RECORD &part : parts) {
            status =
                withRetries([&] { return m_store.AddContactTo(part, storage, group, nullptr); });
            if (status != 0)
                break;
        }
        if (status != 0) {
            result.lastFailure = status;
            if (isFullCode(status) || status == kNoCard) {
                result.stoppedFull = isFullCode(status);
                result.cardGone = status == kNoCard;
                break;
            }
            ++result.failed;
            continue;  // the source stays where it was, whole
        }
        if (mode == PB_PASTE_CUT) {
            const uint16_t removed = m_store.DeleteContact(source);
            if (removed != 0) {
                // Written to the target but still in the source: a copy, nothing lost.
                ++result.sourcesKept;
                result.lastFailure = removed;
                if (removed == kNoCard) {
                    result.cardGone = true;
                    break;
                }
                continue;
            }
        }
        ++result.done;
        progress(position, contacts.size());
    }
    return result;
}

TBL_PbTransfer::Result TBL_PbTransfer::Delete(const std::vector<_MEC_CONTACT_RECORD> &contacts)
{
    Result result;
    for (size_t position = 0; position < contacts.size(); ++position) {
        if (stopRequested()) {
            result.stopped = true;
            break;
        }
        const uint16_t status = m_store.DeleteContact(contacts[position]);
        if (status == 0) {
            ++result.done;
        } else {
            ++result.failed;
            result.lastFailure = status;
            if (status == kNoCard) {
                result.cardGone = true;
                break;
            }
        }
        progress(result.done, contacts.size());
    }
    return result;
}
