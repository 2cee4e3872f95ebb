// Text-length and capacity limits per storage and coding, derived once from the engine's
// field-size blocks and read by the phonebook and message logic.
#pragma once

#include "logic/EngineValues.h"

#include <array>
#include <cstdint>

// 15 signed 32-bit limits, indexed by FieldLimit.
struct FieldLimits {
    int32_t values[FIELD_LIMIT_COUNT];
};
static_assert(sizeof(FieldLimits) == 60);

enum FieldCoding : uint8_t { CODING_8BIT = 2, CODING_UCS2 = 4 };

class TBLSet {
public:
    // Asks the engine for the field sizes of PC, SIM and card storage, in that order, and
    // rebuilds every limits record. Returns the first failing engine status (the records of
    // that storage stay zero), 0 when all three answered.
    uint16_t LoadFieldLimits();

    // Copies the record for (storage, coding) into out; a coding other than 2 or 4, or a
    // storage outside 0-2, yields zeros.
    void GetFieldLimits(uint8_t storage, uint8_t coding, FieldLimits *out) const;

    // The characters the PC storage allows in a telephone number.
    const char *NumberCharacters() const { return m_numberCharacters.data(); }

private:
    std::array<FieldLimits, 3> m_eightBit{};  // by storage 0 SIM, 1 card, 2 PC
    std::array<FieldLimits, 3> m_ucs2{};
    std::array<char, 33> m_numberCharacters{};
};
