// UTF-8 (the codec's text type) to and from code points and UTF-16 big endian, which is what
// the card calls UCS-2: characters outside the basic plane travel as surrogate pairs.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace codec {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Nothing for malformed UTF-8 (a bad lead byte, a missing continuation, a surrogate).
std::optional<std::u32string> codePointsFromUtf8(std::string_view utf8);
void appendUtf8(std::string &out, char32_t codePoint);
std::string utf8FromCodePoints(std::u32string_view codePoints);

// Code points -> UTF-16 units, surrogate pairs for those above U+FFFF.
std::u16string utf16FromCodePoints(std::u32string_view codePoints);
// The big-endian bytes of UTF-16 units.
std::vector<uint8_t> utf16BigEndianBytes(std::u16string_view units);

enum class LoneSurrogates { Replace, Refuse };
// Big-endian UTF-16 bytes -> UTF-8. An odd last byte is ignored. A surrogate without its partner
// becomes U+FFFD, or makes the whole text refused.
std::optional<std::string> utf8FromUtf16BigEndian(std::span<const uint8_t> bytes,
                                                  LoneSurrogates lone = LoneSurrogates::Replace);

// Texts of parts joined: where one part ended with the first half of a surrogate pair and the
// next began with the second, both written as three-byte sequences of their own (as
// withLoneSurrogate makes them), the character is put together; a half left alone becomes
// U+FFFD, so the result is plain UTF-8.
std::string joinSurrogateHalves(std::string_view text);
// The text with a lone surrogate half written as its own three-byte sequence, at the front
// (opening, replacing a leading U+FFFD) or at the end (closing, replacing a trailing U+FFFD).
std::string withLoneSurrogates(std::string text, char16_t openingLow, char16_t closingHigh);

inline bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
inline bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace codec
