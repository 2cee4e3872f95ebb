// The GSM 7-bit default alphabet and its extension table, and septets packed into octets.
//
// Septets here are one per byte (as SIM files and +CSCS="GSM" carry them); packing puts them
// eight to seven octets, least significant bit first, after a number of fill bits that keeps
// them aligned behind a user-data header.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace codec {

inline constexpr uint8_t kGsmEscape = 0x1B;
inline constexpr uint8_t kGsmCarriageReturn = 0x0D;

// The character of a septet of the default alphabet (the top bit is ignored). The escape itself
// reads as a space, as a receiver that does not know the extension shows it.
char32_t gsmDefaultCharacter(uint8_t septet);
// The character of a septet after the escape; nothing where the table has none.
std::optional<char32_t> gsmExtensionCharacter(uint8_t septet);

// One character as septets: one, or the escape and one.
struct GsmCode {
    uint8_t septets[2]{};
    uint8_t length = 0;
};
std::optional<GsmCode> gsmCodeFor(char32_t character);
bool isGsmText(std::u32string_view characters);
// Septets the text takes (escape pairs count two); nothing if a character is not in the alphabet.
std::optional<size_t> gsmSeptetLength(std::u32string_view characters);

// Septets -> UTF-8. An unknown extension reads as a space; an escape at the very end is dropped.
std::string utf8FromGsmSeptets(std::span<const uint8_t> septets);
// Text -> septets; nothing when a character is not in the alphabet.
std::optional<std::vector<uint8_t>> gsmSeptetsFromCodePoints(std::u32string_view characters);
std::optional<std::vector<uint8_t>> gsmSeptetsFromUtf8(std::string_view utf8);

// Packs the septets after fillBits (0-6) zero bits.
std::vector<uint8_t> packSeptets(std::span<const uint8_t> septets, unsigned fillBits = 0);
// Unpacks count septets that start after fillBits bits. Never reads past the bytes: septets
// that do not fit are not returned, so the caller compares the size with what it asked for.
std::vector<uint8_t> unpackSeptets(std::span<const uint8_t> packed, size_t count,
                                   unsigned fillBits = 0);
// How many whole septets fit in the bytes after fillBits bits.
size_t septetsThatFit(size_t byteCount, unsigned fillBits = 0);

}  // namespace codec
