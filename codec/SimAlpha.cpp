#include "SimAlpha.h"

#include "GsmAlphabet.h"
#include "Unicode.h"

#include <vector>

namespace codec {

std::string utf8FromUnpackedGsm(std::span<const uint8_t> bytes)
{
    std::vector<uint8_t> kept;
    kept.reserve(bytes.size());
    for (uint8_t byte : bytes) {
        if (!(byte & 0x80))
            kept.push_back(byte);
    }
    return utf8FromGsmSeptets(kept);
}

std::string utf8FromSimAlpha(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        return {};
    const uint8_t coding = bytes[0];
    if (coding == 0x80) {
        // UCS-2 characters; the field is padded with FFFF.
        size_t end = 1;
        while (end + 1 < bytes.size() && !(bytes[end] == 0xFF && bytes[end + 1] == 0xFF))
            end += 2;
        return utf8FromUtf16BigEndian(bytes.subspan(1, end - 1)).value_or(std::string());
    }
    if ((coding == 0x81 && bytes.size() >= 3) || (coding == 0x82 && bytes.size() >= 4)) {
        // A count, a base for the 16-bit page, then bytes: below 0x80 a GSM character, from
        // 0x80 an offset into the page.
        const size_t length = bytes[1];
        char32_t base = 0;
        size_t first = 0;
        if (coding == 0x81) {
            base = static_cast<char32_t>(bytes[2]) << 7;
            first = 3;
        } else {
            base = static_cast<char32_t>(bytes[2] << 8 | bytes[3]);
            first = 4;
        }
        std::string out;
        for (size_t i = first; i < bytes.size() && i < first + length; ++i) {
            const uint8_t byte = bytes[i];
            if (byte & 0x80)
                appendUtf8(out, base + (byte & 0x7F));
            else
                out += utf8FromGsmSeptets(std::span<const uint8_t>(&byte, 1));
        }
        return out;
    }
    size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] == 0xFF)
        --end;
    return utf8FromUnpackedGsm(bytes.first(end));
}

}  // namespace codec
