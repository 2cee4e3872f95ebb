// The phonebooks of the card ("SM" on the SIM, "ME" in the card) over +CPBS, +CPBR and +CPBW.
// Names travel in UCS2 when the card offers it (every script survives), else in the GSM set or
// IRA; the card's own character set is put back after each operation, so the other families
// keep the set they expect.
#pragma once

#include "AtParsersPhonebook.h"
#include "lumacore.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lumacore {

class Engine;

// Indices read per +CPBR, so one answer never grows without bound.
constexpr int kPhonebookChunk = 50;

class CardPhonebook {
public:
    // storage 0 is the SIM's book, 1 the card's.
    CardPhonebook(Engine &engine, uint8_t storage);
    CardPhonebook(const CardPhonebook &) = delete;
    CardPhonebook &operator=(const CardPhonebook &) = delete;
    // Puts the card's character set back.
    ~CardPhonebook();

    // Selects the book (and the character set when names will travel).
    uint16_t open(bool withNames);
    // +CPBR=? : the index range and field lengths.
    uint16_t readRange(PhonebookRange &range);
    // +CPBS? : the used count, -1 when the card does not say.
    uint16_t readUsed(int &used);
    // Every entry, walking the range in chunks.
    uint16_t readAll(std::vector<_MEC_CONTACT_RECORD> &records);
    // The entry at index, or nothing when the place is empty.
    uint16_t readEntry(int index, std::optional<_MEC_CONTACT_RECORD> &entry);
    // Whether the entry at index is empty (a write never replaces an entry it did not mean to).
    uint16_t isFree(int index, bool &free);
    uint16_t write(int index, const _MEC_CONTACT_RECORD &record);
    uint16_t erase(int index);

private:
    uint16_t chooseCharset();

    Engine &m_engine;
    uint8_t m_storage;
    PhonebookCharset m_charset = PhonebookCharset::Ira;
    std::optional<std::string> m_restoreCharset;
    std::optional<PhonebookRange> m_range;
};

// The same entry as a card keeps it: its name and its number (the letters of a number in
// either case).
bool sameCardEntry(const _MEC_CONTACT_RECORD &a, const _MEC_CONTACT_RECORD &b);

}  // namespace lumacore
