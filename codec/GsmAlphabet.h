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

// The tables a 7-bit text is written in, by national language identifier (1 Turkish, 2 Spanish,
// 3 Portuguese, 4-13 the Indian languages and Urdu; 0 the default alphabet). The locking shift
// replaces the default alphabet, the single shift its extension table. A language without a
// table of that kind (Spanish has no locking shift), or one that is not known, reads as the
// default.
struct GsmTables {
    uint8_t locking = 0;
    uint8_t single = 0;
    bool national() const { return locking != 0 || single != 0; }
    bool operator==(const GsmTables &) const = default;
};
inline constexpr uint8_t kMostNationalLanguage = 13;

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
std::optional<GsmCode> gsmCodeFor(char32_t character, GsmTables tables = {});
bool isGsmText(std::u32string_view characters);
// Septets the text takes (escape pairs count two); nothing if a character is not in the alphabet.
std::optional<size_t> gsmSeptetLength(std::u32string_view characters, GsmTables tables = {});

// Septets -> UTF-8. An unknown extension reads as a space (in national tables: as the code's
// character of the main table); an escape at the very end is dropped.
std::string utf8FromGsmSeptets(std::span<const uint8_t> septets, GsmTables tables = {});
// Text -> septets; nothing when a character is not in the alphabet.
std::optional<std::vector<uint8_t>> gsmSeptetsFromCodePoints(std::u32string_view characters,
                                                             GsmTables tables = {});
std::optional<std::vector<uint8_t>> gsmSeptetsFromUtf8(std::string_view utf8,
                                                       GsmTables tables = {});

// For a text the default alphabet cannot carry: the national tables that carry it in the
// fewest septets, counting the header elements that name them; nothing when none can.
std::optional<GsmTables> nationalTablesFor(std::u32string_view characters);
// The septets the header elements naming the tables take from a message (with the header's
// length byte when they are all of it, i.e. alone is true).
size_t septetsOfShiftElements(GsmTables tables, bool alone);

// Packs the septets after fillBits (0-6) zero bits.
std::vector<uint8_t> packSeptets(std::span<const uint8_t> septets, unsigned fillBits = 0);
// Unpacks count septets that start after fillBits bits. Never reads past the bytes: septets
// that do not fit are not returned, so the caller compares the size with what it asked for.
std::vector<uint8_t> unpackSeptets(std::span<const uint8_t> packed, size_t count,
                                   unsigned fillBits = 0);
// How many whole septets fit in the bytes after fillBits bits.
size_t septetsThatFit(size_t byteCount, unsigned fillBits = 0);

}  // namespace codec
