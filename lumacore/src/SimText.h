// Texts as the card and the SIM store them (hexadecimal, the GSM default alphabet, UCS-2, the
// SIM's alpha fields) and as the program wants them (the system code page).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumacore {

// "0054FF" -> {0x00,0x54,0xFF}; upper or lower case; nullopt for odd lengths or other characters.
std::optional<std::vector<uint8_t>> bytesFromHex(std::string_view hex);
std::string hexFromBytes(const std::vector<uint8_t> &bytes);

// GSM 03.38 default alphabet, one septet per byte (unpacked, as SIM files hold it), with the
// extension table after ESC. Bytes with the top bit set are skipped.
std::string gsmToUtf8(const uint8_t *septets, size_t count);

// UCS-2 / UTF-16 big endian -> UTF-8; unpaired surrogates become U+FFFD.
std::string ucs2ToUtf8(const uint8_t *bytes, size_t count);

// An alpha field of a SIM file (names, EF-SPN): GSM default alphabet, or UCS-2 in one of the
// three codings that start with 0x80, 0x81 or 0x82. Trailing 0xFF padding is dropped.
std::string simAlphaToUtf8(const std::vector<uint8_t> &bytes);

// The service-provider name from EF-SPN bytes read at the given offset: at offset 0 the first
// byte is the display condition and not part of the name.
std::string decodeServiceProviderName(const std::vector<uint8_t> &bytes, unsigned offset);

// UTF-8 -> GSM default alphabet, one septet per byte (ESC before extension characters);
// nullopt when a character is not in the alphabet or the text is not UTF-8.
std::optional<std::string> utf8ToGsm(std::string_view utf8);
// UTF-8 -> UTF-16 big endian as upper-case hex ("0041"); characters beyond the basic plane take
// a surrogate pair. nullopt when the text is not UTF-8.
std::optional<std::string> utf8ToUcs2Hex(std::string_view utf8);

// The system code page -> UTF-8; bytes that do not decode become U+FFFD.
std::string systemToUtf8(std::string_view text);

// UTF-8 -> the system code page (the locale's; UTF-8 under C/POSIX). Characters the code page
// lacks become '?'.
std::string utf8ToSystem(std::string_view utf8);

}  // namespace lumacore
