#include "logic/BL_PbNumberIndex.h"

#include "platform/CodePage.h"

namespace {

// The numbers of a record that take part in look-ups: the slots that hold one.
template <typename Visit>
void forEachNumber(const _MEC_CONTACT_RECORD &record, Visit &&visit)
{
    for (const auto &slot : record.numbers) {
        const std::string_view number = platform::fieldText(slot.number, sizeof slot.number);
        if (!number.empty())
            visit(ContactNumberIndex::ComparedPart(number));
    }
}

}  // namespace

std::string_view ContactNumberIndex::ComparedPart(std::string_view number)
{
    return number.size() > 9 ? number.substr(number.size() - 9) : number;
}

void ContactNumberIndex::Clear()
{
    m_byNumber.clear();
    m_places.clear();
}

void ContactNumberIndex::Add(Position position)
{
    const _MEC_CONTACT_RECORD *record = position->get();
    const auto [placed, isNew] = m_places.try_emplace(record, m_nextPlace);
    if (isNew)
        ++m_nextPlace;
    const Place place = placed->second;
    forEachNumber(*record, [&](std::string_view number) {
        m_byNumber[std::string(number)].insert_or_assign(place, position);
    });
}

void ContactNumberIndex::Unlist(Position position)
{
    const auto placed = m_places.find(position->get());
    if (placed == m_places.end())
        return;
    forEachNumber(**position, [&](std::string_view number) {
        const auto holders = m_byNumber.find(std::string(number));
        if (holders == m_byNumber.end())
            return;
        holders->second.erase(placed->second);
        if (holders->second.empty())
            m_byNumber.erase(holders);
    });
}

void ContactNumberIndex::Remove(Position position)
{
    Unlist(position);
    m_places.erase(position->get());
}

std::optional<ContactNumberIndex::Position> ContactNumberIndex::Find(std::string_view number) const
{
    const auto holders = m_byNumber.find(std::string(ComparedPart(number)));
    if (holders == m_byNumber.end() || holders->second.empty())
        return std::nullopt;
    return holders->second.begin()->second;
}
