// Bytes written as hexadecimal text, as AT commands carry PDUs and SIM files.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace codec {

// "0054ff" -> {0x00, 0x54, 0xFF}; either case; nothing for an odd length or another character.
std::optional<std::vector<uint8_t>> bytesFromHex(std::string_view hex);
// Upper-case digits, two per byte.
std::string hexFromBytes(std::span<const uint8_t> bytes);
// The value of one hexadecimal digit, or -1.
int hexDigitValue(char digit);

}  // namespace codec
