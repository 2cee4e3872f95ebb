#include "codec/Unicode.h"

namespace codec {

std::optional<std::u32string> codePointsFromUtf8(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        size_t length = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (length > utf8.size() - i)
            return std::nullopt;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            value = (value << 6) | (next & 0x3F);
        }
        if (value > 0x10FFFF || isHighSurrogate(value) || isLowSurrogate(value))
            return std::nullopt;
        out.push_back(value);
        i += length;
    }
    return out;
}

void appendUtf8(std::string &out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string utf8FromCodePoints(std::u32string_view codePoints)
{
    std::string out;
    for (char32_t code : codePoints)
        appendUtf8(out, code);
    return out;
}

std::u16string utf16FromCodePoints(std::u32string_view codePoints)
{
    std::u16string units;
    for (char32_t code : codePoints) {
        if (code >= 0x10000) {
            const char32_t offset = code - 0x10000;
            units += static_cast<char16_t>(0xD800 + (offset >> 10));
            units += static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        } else {
            units += static_cast<char16_t>(code);
        }
    }
    return units;
}

std::vector<uint8_t> utf16BigEndianBytes(std::u16string_view units)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    }
    return bytes;
}

std::optional<std::string> utf8FromUtf16BigEndian(std::span<const uint8_t> bytes,
                                                  LoneSurrogates lone)
{
    std::string out;
    const size_t units = bytes.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        const char32_t unit = static_cast<char32_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        if (isHighSurrogate(unit) && i + 1 < units) {
            const char32_t low = static_cast<char32_t>(bytes[2 * i + 2] << 8 | bytes[2 * i + 3]);
            if (isLowSurrogate(low)) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            if (lone == LoneSurrogates::Refuse)
                return std::nullopt;
            appendUtf8(out, kReplacementCharacter);
            continue;
        }
        appendUtf8(out, unit);
    }
    return out;
}

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// The surrogate a three-byte sequence at text[at] stands for, or 0.
char16_t surrogateAt(std::string_view text, size_t at)
{
    if (at + 3 > text.size() || static_cast<unsigned char>(text[at]) != 0xED)
        return 0;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    if (second < 0xA0 || second > 0xBF || (third & 0xC0) != 0x80)
        return 0;
    return static_cast<char16_t>(0xD000 | (second & 0x3F) << 6 | (third & 0x3F));
}

}  // namespace

std::string withLoneSurrogates(std::string text, char16_t openingLow, char16_t closingHigh)
{
    if (closingHigh != 0 && text.size() >= 3 &&
        std::string_view(text).substr(text.size() - 3) == kReplacementUtf8) {
        text.resize(text.size() - 3);
        appendUtf8(text, closingHigh);
    }
    if (openingLow != 0 && std::string_view(text).substr(0, 3) == kReplacementUtf8) {
        std::string half;
        appendUtf8(half, openingLow);
        text.replace(0, 3, half);
    }
    return text;
}

std::string joinSurrogateHalves(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char16_t unit = surrogateAt(text, i);
        if (unit == 0) {
            out += text[i++];
            continue;
        }
        const char16_t next = surrogateAt(text, i + 3);
        if (isHighSurrogate(unit) && isLowSurrogate(next)) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            i += 6;
            continue;
        }
        out += kReplacementUtf8;
        i += 3;
    }
    return out;
}

}  // namespace codec
