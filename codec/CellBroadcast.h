// Cell-broadcast pages as +CBM gives them in PDU mode: 88 bytes, a six-byte header (serial
// number, message identifier, data coding scheme, page parameter) and 82 bytes of content,
// which hold 93 septets of 7-bit text padded with carriage returns.
#pragma once

#include "codec/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace codec {

inline constexpr size_t kBroadcastPageBytes = 88;
inline constexpr size_t kBroadcastHeaderBytes = 6;

struct BroadcastPage {
    uint8_t geographicalScope = 0;  // 0 cell (immediate), 1 network, 2 location area, 3 cell
    uint16_t messageCode = 0;       // 10 bits
    uint8_t updateNumber = 0;       // 4 bits
    uint16_t messageId = 0;         // the channel
    uint8_t dataCodingScheme = 0x0F;
    uint8_t page = 1;
    uint8_t pages = 1;
    std::string language;  // where the coding puts it in front of the text
    std::string text;      // UTF-8, padding removed

    uint16_t serialNumber() const
    {
        return static_cast<uint16_t>(geographicalScope << 14 | (messageCode & 0x3FF) << 4 |
                                     (updateNumber & 0x0F));
    }
};

// A page of up to 88 bytes; fewer than the six header bytes is an error.
Result<BroadcastPage> decodeBroadcastPage(std::span<const uint8_t> bytes);
Result<BroadcastPage> decodeBroadcastPageHex(std::string_view hex);
// A 7-bit page of 88 bytes (UCS-2 when the scheme says so); fails when the text is longer than
// a page holds or has characters the coding lacks.
Result<std::vector<uint8_t>> encodeBroadcastPage(const BroadcastPage &page);

}  // namespace codec
