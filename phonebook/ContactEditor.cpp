#include "ContactEditor.h"

#include "ContactsList.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace {

constexpr size_t kGroupsListed = 200;

}  // namespace

ContactFields ContactEditor::Edit(const _MEC_CONTACT_RECORD &record)
{
    m_working = record;
    m_isNew = false;
    return open();
}

ContactFields ContactEditor::New(const _MEC_CONTACT_RECORD *prefilled, uint8_t storage,
                                 int groupNode, bool simUsable)
{
    m_working = prefilled ? *prefilled : _MEC_CONTACT_RECORD{};
    m_isNew = true;
    m_working.storage = simUsable ? storage : uint8_t{PB_PC};
    if (groupNode >= 0 && !ContactsList::isRoot(groupNode))
        m_working.groupId = static_cast<uint32_t>(groupNode);
    return open();
}

ContactFields ContactEditor::open()
{
    if (TBL_pb *pb = store()) {
        char allowed[32]{};
        const int length = pb->GetNumberCharacters(allowed);
        m_numberCharacters = QString::fromLatin1(allowed, std::clamp(length, 0, 31));
    }
    const ContactFields fields = contact_edit::FieldsOf(m_working);
    m_lastEmail = fields.email;
    m_acceptedNumbers = fields.numbers;
    return fields;
}

ContactEditor::StorageFields ContactEditor::ApplyStorage(uint8_t storage)
{
    m_working.storage = storage;
    TBL_pb *pb = store();
    FieldLimits limits{};
    if (pb)
        pb->GetContactLimits(storage, CODING_8BIT, &limits);
    const FieldAvailability available = contact_edit::ForStorage(storage, limits);
    StorageFields fields;
    // The mobile is always there.
    for (size_t slot = 0; slot < fields.numberMax.size(); ++slot)
        fields.numberMax[slot] = static_cast<int>(slot) < available.numberSlots || slot == 0
                                     ? contact_edit::kNumberMax
                                     : 0;
    fields.nameMax = std::max(available.nameMax, 1);
    fields.emailMax = available.emailMax;
    fields.noteMax = available.noteMax;
    fields.urlMax = available.urlMax;
    fields.group = available.group;
    if (!pb || storage == PB_SIM)
        return fields;
    const uint32_t chosen = available.group ? m_working.groupId : 0;
    std::vector<_MEC_GROUP_RECORD> groups(kGroupsListed);
    const int count = pb->ListGroups(storage, groups.data(), groups.size());
    fields.groups.push_back({QString(), 0});
    for (int i = 0; i < count; ++i) {
        const _MEC_GROUP_RECORD &group = groups[static_cast<size_t>(i)];
        if (static_cast<uint32_t>(group.groupId) == chosen && fields.groupIndex == 0 && chosen)
            fields.groupIndex = static_cast<int>(fields.groups.size());
        fields.groups.push_back(
            {platform::fromAnsi(platform::fieldText(group.groupName, sizeof group.groupName)),
             static_cast<uint32_t>(group.groupId)});
    }
    return fields;
}

QString ContactEditor::NameTyped(const QString &text, uint8_t storage, int maxLength) const
{
    if (storage == PB_SIM)
        return contact_edit::SimLength(text) > maxLength ? contact_edit::CutForSim(text, maxLength)
                                                         : text;
    // The store would cut a longer name when saving: it stops growing here instead.
    TBL_pb *pb = store();
    if (!pb)
        return text;
    FieldLimits eightBit{}, ucs2{};
    pb->GetContactLimits(storage, CODING_8BIT, &eightBit);
    pb->GetContactLimits(storage, CODING_UCS2, &ucs2);
    return contact_edit::FitName(text, eightBit, ucs2, storage == PB_PC);
}

QString ContactEditor::EmailTyped(const QString &text, uint8_t storage, int maxLength)
{
    if (storage != PB_SIM ||
        (contact_edit::IsSingleByte(text) && contact_edit::SimLength(text) <= maxLength))
        m_lastEmail = text;
    return m_lastEmail;
}

QString ContactEditor::NumberTyped(size_t slot, const QString &text)
{
    if (m_numberCharacters.isEmpty() || contact_edit::NumberAllowed(text, m_numberCharacters))
        m_acceptedNumbers.at(slot) = text;
    return m_acceptedNumbers.at(slot);
}

bool ContactEditor::Save(const ContactFields &fields, QString &refusal)
{
    TBL_pb *pb = store();
    refusal = pb ? contact_edit::Save(*pb, fields, m_working, m_isNew) : QString();
    return pb && refusal.isEmpty();
}
