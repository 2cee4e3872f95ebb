#include "SimText.h"

#include <iconv.h>
#include <langinfo.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace lumacore {

namespace {

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

// GSM 03.38 default alphabet.
constexpr std::array<char16_t, 128> kGsmDefault{
    u'@', u'£', u'$', u'¥', u'è', u'é', u'ù', u'ì', u'ò', u'Ç',  u'\n', u'Ø', u'ø',    u'\r', u'Å',
    u'å', u'Δ', u'_', u'Φ', u'Γ', u'Λ', u'Ω', u'Π', u'Ψ', u'Σ',  u'Θ',  u'Ξ', u'\x1b', u'Æ',  u'æ',
    u'ß', u'É', u' ', u'!', u'"', u'#', u'¤', u'%', u'&', u'\'', u'(',  u')', u'*',    u'+',  u',',
    u'-', u'.', u'/', u'0', u'1', u'2', u'3', u'4', u'5', u'6',  u'7',  u'8', u'9',    u':',  u';',
    u'<', u'=', u'>', u'?', u'¡', u'A', u'B', u'C', u'D', u'E',  u'F',  u'G', u'H',    u'I',  u'J',
    u'K', u'L', u'M', u'N', u'O', u'P', u'Q', u'R', u'S', u'T',  u'U',  u'V', u'W',    u'X',  u'Y',
    u'Z', u'Ä', u'Ö', u'Ñ', u'Ü', u'§', u'¿', u'a', u'b', u'c',  u'd',  u'e', u'f',    u'g',  u'h',
    u'i', u'j', u'k', u'l', u'm', u'n', u'o', u'p', u'q', u'r',  u's',  u't', u'u',    u'v',  u'w',
    u'x', u'y', u'z', u'ä', u'ö', u'ñ', u'ü', u'à'};

char16_t gsmExtension(uint8_t septet)
{
    switch (septet) {
    case 0x0A: return u'\f';
    case 0x14: return u'^';
    case 0x28: return u'{';
    case 0x29: return u'}';
    case 0x2F: return u'\\';
    case 0x3C: return u'[';
    case 0x3D: return u'~';
    case 0x3E: return u']';
    case 0x40: return u'|';
    case 0x65: return u'€';
    default: return u' ';  // an unknown extension shows as a space, as 03.38 asks
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const char *systemCodeset()
{
    const char *codeset = nl_langinfo(CODESET);
    // The C locale reports ASCII; the program treats that locale as UTF-8, and so do we.
    if (!codeset || !*codeset || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
        std::strcmp(codeset, "ASCII") == 0 || std::strcmp(codeset, "US-ASCII") == 0)
        return "UTF-8";
    return codeset;
}

}  // namespace

std::optional<std::vector<uint8_t>> bytesFromHex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = hexValue(hex[i]);
        int low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string hexFromBytes(const std::vector<uint8_t> &bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

std::string gsmToUtf8(const uint8_t *septets, size_t count)
{
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        uint8_t septet = septets[i];
        if (septet & 0x80)
            continue;
        if (septet == 0x1B) {
            if (i + 1 < count && !(septets[i + 1] & 0x80)) {
                appendUtf8(out, gsmExtension(septets[++i]));
            }
            continue;
        }
        appendUtf8(out, kGsmDefault[septet]);
    }
    return out;
}

std::string ucs2ToUtf8(const uint8_t *bytes, size_t count)
{
    std::string out;
    for (size_t i = 0; i + 1 < count; i += 2) {
        char32_t unit = static_cast<char32_t>(bytes[i] << 8 | bytes[i + 1]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < count) {
            char32_t low = static_cast<char32_t>(bytes[i + 2] << 8 | bytes[i + 3]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF)
            unit = 0xFFFD;
        appendUtf8(out, unit);
    }
    return out;
}

std::string simAlphaToUtf8(const std::vector<uint8_t> &bytes)
{
    if (bytes.empty())
        return {};
    uint8_t coding = bytes[0];
    if (coding == 0x80) {
        // UCS-2 characters; the field is padded with FFFF.
        size_t end = 1;
        while (end + 1 < bytes.size() && !(bytes[end] == 0xFF && bytes[end + 1] == 0xFF))
            end += 2;
        return ucs2ToUtf8(bytes.data() + 1, end - 1);
    }
    if ((coding == 0x81 && bytes.size() >= 3) || (coding == 0x82 && bytes.size() >= 4)) {
        // A count, a base for the 16-bit page, then bytes: below 0x80 a GSM character, from
        // 0x80 an offset into the page.
        size_t length = bytes[1];
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
            uint8_t byte = bytes[i];
            if (byte & 0x80)
                appendUtf8(out, base + (byte & 0x7F));
            else
                out += gsmToUtf8(&byte, 1);
        }
        return out;
    }
    size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] == 0xFF)
        --end;
    return gsmToUtf8(bytes.data(), end);
}

std::string decodeServiceProviderName(const std::vector<uint8_t> &bytes, unsigned offset)
{
    if (offset == 0) {
        if (bytes.empty())
            return {};
        return simAlphaToUtf8(std::vector<uint8_t>(bytes.begin() + 1, bytes.end()));
    }
    return simAlphaToUtf8(bytes);
}

std::string utf8ToSystem(std::string_view utf8)
{
    const char *codeset = systemCodeset();
    if (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0)
        return std::string(utf8);
    iconv_t converter = iconv_open(codeset, "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string(utf8);
    std::string out;
    std::string input(utf8);
    char *in = input.data();
    size_t inLeft = input.size();
    std::array<char, 256> buffer{};
    while (inLeft > 0) {
        char *outPointer = buffer.data();
        size_t outLeft = buffer.size();
        size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (result == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // A character the code page lacks (or broken input): one '?' for the whole character.
            out += '?';
            ++in;
            --inLeft;
            while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
                ++in;
                --inLeft;
            }
        }
    }
    iconv_close(converter);
    return out;
}

}  // namespace lumacore
