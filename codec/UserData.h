// The user data of an SMS: the optional header (concatenation and other elements) and the text
// or bytes behind it, in the 7-bit, 8-bit or UCS-2 coding.
#pragma once

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
    std::vector<InformationElement> otherElements;  // the header's elements but concatenation
    std::string text;                               // UTF-8, for the 7-bit and UCS-2 codings
    std::vector<uint8_t> data;                      // the bytes of 8-bit (or compressed) data

    bool hasHeader() const { return concatenation || !otherElements.empty(); }
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
