// The user data of an SMS: the optional header (concatenation and other elements) and the text
// or bytes behind it, in the 7-bit, 8-bit or UCS-2 coding.
#pragma once

#include "codec/GsmAlphabet.h"
#include "codec/Result.h"
#include "codec/SmsFields.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace codec {

inline constexpr uint8_t kConcatenation8BitReference = 0x00;
inline constexpr uint8_t kConcatenation16BitReference = 0x08;
inline constexpr uint8_t kSingleShiftElement = 0x24;
inline constexpr uint8_t kLockingShiftElement = 0x25;
inline constexpr size_t kUserDataBytes = 140;

struct Concatenation {
    uint16_t reference = 0;
    uint8_t count = 1;
    uint8_t part = 1;  // from 1
    bool sixteenBitReference = false;
    bool operator==(const Concatenation &) const = default;
};

struct InformationElement {
    uint8_t id = 0;
    std::vector<uint8_t> data;
    bool operator==(const InformationElement &) const = default;
};

struct UserData {
    std::optional<Concatenation> concatenation;
    // The national shift tables the 7-bit text is written in (their own header elements).
    GsmTables tables;
    // The header's elements but concatenation and the shift tables.
    std::vector<InformationElement> otherElements;
    std::string text;           // UTF-8, for the 7-bit and UCS-2 codings
    // UCS-2 text that begins with the second half of a surrogate pair or ends with the first
    // half (a sender cut a character between two parts): that half, which the text shows as
    // U+FFFD, so the parts can be joined whole.
    char16_t openingLowSurrogate = 0;
    char16_t closingHighSurrogate = 0;
    std::vector<uint8_t> data;  // the bytes of 8-bit (or compressed) data

    bool hasHeader() const { return concatenation || tables.national() || !otherElements.empty(); }
};

// The header as sent: its length byte, then the elements; empty when there is none.
std::vector<uint8_t> userDataHeaderBytes(const UserData &userData);

// length is the user-data length field (septets for 7-bit, octets otherwise); bytes are all that
// is left of the PDU.
Result<UserData> decodeUserData(std::span<const uint8_t> bytes, uint8_t length, bool hasHeader,
                                const DataCoding &coding);

struct EncodedUserData {
    uint8_t length = 0;  // the user-data length field
    std::vector<uint8_t> bytes;
};
// Fails when the text has a character the coding cannot carry or it all does not fit 140 bytes.
Result<EncodedUserData> encodeUserData(const UserData &userData, Alphabet alphabet);

}  // namespace codec
