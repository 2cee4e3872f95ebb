#include "logic/BL_Set.h"

#include "lumacore.h"

#include <cstring>

namespace {

// Characters of an 8-bit text field: by its own coding mask, 7-bit packing first.
int32_t eightBitLimit(uint16_t bits, uint8_t mask)
{
    if (mask & 1) {
        return bits / 7;
    }
    if (mask & 2) {
        return bits / 8;
    }
    if (mask & 4) {
        return bits / 16;
    }
    return 0;
}

struct TextField {
    uint16_t _MEC_FIELD_SIZES::*bits;
    uint8_t _MEC_FIELD_SIZES::*mask;
    FieldLimit limitIndex;
    bool ucs2ByHalf;  // its UCS-2 limit is bits / 16; otherwise the 8-bit limit is kept
};

constexpr TextField kTextFields[] = {
    {&_MEC_FIELD_SIZES::numberBits, &_MEC_FIELD_SIZES::numberCoding, FIELD_LIMIT_NUMBER, false},
    {&_MEC_FIELD_SIZES::nameBits, &_MEC_FIELD_SIZES::nameCoding, FIELD_LIMIT_NAME, true},
    {&_MEC_FIELD_SIZES::emailBits, &_MEC_FIELD_SIZES::emailCoding, FIELD_LIMIT_EMAIL, false},
    {&_MEC_FIELD_SIZES::text2Bits, &_MEC_FIELD_SIZES::text2Coding, FIELD_LIMIT_TEXT2, true},
    {&_MEC_FIELD_SIZES::text3Bits, &_MEC_FIELD_SIZES::text3Coding, FIELD_LIMIT_TEXT3, true},
    {&_MEC_FIELD_SIZES::urlBits, &_MEC_FIELD_SIZES::urlCoding, FIELD_LIMIT_URL, false},
    {&_MEC_FIELD_SIZES::noteBits, &_MEC_FIELD_SIZES::noteCoding, FIELD_LIMIT_NOTE, true},
};

}  // namespace

uint16_t TBLSet::LoadFieldLimits()
{
    m_eightBit = {};
    m_ucs2 = {};
    uint16_t firstFailure = 0;
    for (const uint8_t storage : {uint8_t{2}, uint8_t{0}, uint8_t{1}}) {
        _MEC_FIELD_SIZES sizes{};
        sizes.size = sizeof sizes;
        sizes.storage = storage;
        const uint16_t status = _MEC_GetFieldSizes(&sizes);
        if (status != 0) {
            if (firstFailure == 0) {
                firstFailure = status;
            }
            continue;
        }
        FieldLimits &eight = m_eightBit[storage];
        FieldLimits &wide = m_ucs2[storage];
        for (const TextField &field : kTextFields) {
            const uint16_t bits = sizes.*field.bits;
            eight.values[field.limitIndex] = eightBitLimit(bits, sizes.*field.mask);
            wide.values[field.limitIndex] =
                field.ucs2ByHalf ? bits / 16 : eight.values[field.limitIndex];
        }
        eight.values[FIELD_LIMIT_CAPACITY] = wide.values[FIELD_LIMIT_CAPACITY] =
            static_cast<int32_t>(sizes.contactCapacity);
        eight.values[FIELD_LIMIT_SECOND_COUNT] = wide.values[FIELD_LIMIT_SECOND_COUNT] =
            static_cast<int32_t>(sizes.contactCount2);
        eight.values[FIELD_LIMIT_NUMBER_SLOTS] = wide.values[FIELD_LIMIT_NUMBER_SLOTS] =
            sizes.numberSlots;

        const auto messageBits = static_cast<int32_t>(sizes.messageBits);
        const uint8_t messageCodings = sizes.messageCodings;
        if (messageCodings & 1) {
            eight.values[FIELD_LIMIT_SMS_SINGLE] = messageBits / 7;
            eight.values[FIELD_LIMIT_SMS_PART] = messageBits / 7 - 7;
        } else if (messageCodings & 2) {
            eight.values[FIELD_LIMIT_SMS_SINGLE] = messageBits / 8;
            eight.values[FIELD_LIMIT_SMS_PART] = messageBits / 8 - 6;
        }
        wide.values[FIELD_LIMIT_SMS_SINGLE] = messageBits / 16;
        wide.values[FIELD_LIMIT_SMS_PART] = messageBits / 16 - 3;
        eight.values[FIELD_LIMIT_SMS_CAPACITY] = wide.values[FIELD_LIMIT_SMS_CAPACITY] =
            static_cast<int32_t>(sizes.messageCapacity);

        if (storage == 2) {
            std::memcpy(m_numberCharacters.data(), sizes.numberCharacters, 32);
            m_numberCharacters[32] = 0;
        }
    }
    return firstFailure;
}

void TBLSet::GetFieldLimits(uint8_t storage, uint8_t coding, FieldLimits *out) const
{
    if (out == nullptr) {
        return;
    }
    std::memset(out, 0, sizeof *out);
    if (storage > 2) {
        return;
    }
    if (coding == CODING_8BIT) {
        *out = m_eightBit[storage];
    } else if (coding == CODING_UCS2) {
        *out = m_ucs2[storage];
    }
}
