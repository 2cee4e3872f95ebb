// USSD strings and the data coding scheme they share with cell broadcast.
//
// Packed 7-bit text that ends with seven spare bits would read as a trailing '@', so the sender
// fills them with a carriage return; a text that really ends in a carriage return on an octet
// boundary gets a second one. The reader drops that one padding carriage return.
#pragma once

#include "codec/Result.h"
#include "codec/SmsFields.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace codec {

inline constexpr uint8_t kUssdDefaultScheme = 0x0F;  // GSM 7-bit, language unspecified
inline constexpr uint8_t kUssdUcs2Scheme = 0x48;

struct BroadcastCoding {
    Alphabet alphabet = Alphabet::Gsm7;
    bool languagePrefix = false;  // the text begins with its language
    bool userDataHeader = false;
    bool compressed = false;
    std::optional<int> messageClass;
};
// The cell-broadcast data coding scheme, which USSD uses too.
BroadcastCoding decodeBroadcastCoding(uint8_t scheme);

// 7-bit septets packed with the carriage-return rule, and back.
std::vector<uint8_t> packUssdSeptets(std::span<const uint8_t> septets);
std::string utf8FromPackedUssd(std::span<const uint8_t> packed);

struct DecodedText {
    std::string text;
    std::string language;  // two letters, where the coding puts them in front of the text
};
// The bytes of a USSD string (or a cell-broadcast page's content) in the given coding.
DecodedText decodeBroadcastText(std::span<const uint8_t> bytes, uint8_t scheme);

// A USSD string as +CUSD carries it when the card passes the network's bytes through: hex.
Result<DecodedText> decodeUssdHex(std::string_view hex, uint8_t scheme);
// Text -> the hex of a USSD string: 7-bit packed with scheme 0x0F when the alphabet has every
// character, otherwise UCS-2 with scheme 0x48. Fails past 182 septets or 80 UCS-2 units.
struct EncodedUssd {
    std::string hex;
    uint8_t scheme = kUssdDefaultScheme;
};
Result<EncodedUssd> encodeUssd(std::string_view utf8);

}  // namespace codec
