// Which contact of one storage answers to a number, without walking the storage: each number of
// each listed contact, reduced as numbers are compared, names the contacts that hold it in list
// order. The phonebook store keeps it in step with its list on every change.
#pragma once

#include "lumacore.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

using ContactList = std::list<std::unique_ptr<_MEC_CONTACT_RECORD>>;

class ContactNumberIndex {
public:
    using Position = ContactList::iterator;

    // A number as it is compared: its last nine characters, or the whole of a shorter one.
    static std::string_view ComparedPart(std::string_view number);

    void Clear();
    // Lists the record's numbers; a record new to the index goes behind every other.
    void Add(Position position);
    // Before the record's numbers change: it keeps its place for the Add that follows.
    void Unlist(Position position);
    // Before the record leaves the list.
    void Remove(Position position);
    // The first record in list order with a number that compares equal to the given one.
    std::optional<Position> Find(std::string_view number) const;

private:
    using Place = uint64_t;
    std::unordered_map<std::string, std::map<Place, Position>> m_byNumber;
    std::unordered_map<const _MEC_CONTACT_RECORD *, Place> m_places;
    Place m_nextPlace = 0;
};
