// The SIM's alpha fields (names in EF-ADN, the service-provider name, the toolkit's alpha
// identifiers): the GSM default alphabet one septet per byte padded with 0xFF, or UCS-2 in one of
// the three codings that start with 0x80, 0x81 or 0x82 (TS 31.102 annex A).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace codec {

// Never reads past the bytes; a count that claims more than the field holds reads what is there.
std::string utf8FromSimAlpha(std::span<const uint8_t> bytes);

// The default alphabet one septet per byte; bytes with the top bit set are padding, not text.
std::string utf8FromUnpackedGsm(std::span<const uint8_t> bytes);

}  // namespace codec
