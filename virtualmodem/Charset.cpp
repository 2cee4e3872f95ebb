#include "virtualmodem/Charset.h"

#include <array>
#include <cctype>
#include <vector>

namespace virtualmodem {

namespace {

// The GSM default alphabet, septet value -> Unicode.
constexpr std::array<char32_t, 128> kGsmBasic = {
    U'@',      U'\u00A3', U'$',      U'\u00A5', U'\u00E8', U'\u00E9', U'\u00F9', U'\u00EC',
    U'\u00F2', U'\u00C7', U'\n',     U'\u00D8', U'\u00F8', U'\r',     U'\u00C5', U'\u00E5',
    U'\u0394', U'_',      U'\u03A6', U'\u0393', U'\u039B', U'\u03A9', U'\u03A0', U'\u03A8',
    U'\u03A3', U'\u0398', U'\u039E', U'\x1B',   U'\u00C6', U'\u00E6', U'\u00DF', U'\u00C9',
    U' ',      U'!',      U'"',      U'#',      U'\u00A4', U'%',      U'&',      U'\'',
    U'(',      U')',      U'*',      U'+',      U',',      U'-',      U'.',      U'/',
    U'0',      U'1',      U'2',      U'3',      U'4',      U'5',      U'6',      U'7',
    U'8',      U'9',      U':',      U';',      U'<',      U'=',      U'>',      U'?',
    U'\u00A1', U'A',      U'B',      U'C',      U'D',      U'E',      U'F',      U'G',
    U'H',      U'I',      U'J',      U'K',      U'L',      U'M',      U'N',      U'O',
    U'P',      U'Q',      U'R',      U'S',      U'T',      U'U',      U'V',      U'W',
    U'X',      U'Y',      U'Z',      U'\u00C4', U'\u00D6', U'\u00D1', U'\u00DC', U'\u00A7',
    U'\u00BF', U'a',      U'b',      U'c',      U'd',      U'e',      U'f',      U'g',
    U'h',      U'i',      U'j',      U'k',      U'l',      U'm',      U'n',      U'o',
    U'p',      U'q',      U'r',      U's',      U't',      U'u',      U'v',      U'w',
    U'x',      U'y',      U'z',      U'\u00E4', U'\u00F6', U'\u00F1', U'\u00FC', U'\u00E0'};

struct Extension {
    char septet;
    char32_t character;
};
constexpr std::array<Extension, 10> kGsmExtension = {{{0x0A, U'\f'},
                                                      {0x14, U'^'},
                                                      {0x28, U'{'},
                                                      {0x29, U'}'},
                                                      {0x2F, U'\\'},
                                                      {0x3C, U'['},
                                                      {0x3D, U'~'},
                                                      {0x3E, U']'},
                                                      {0x40, U'|'},
                                                      {0x65, U'\u20AC'}}};

constexpr char kEscape = 0x1B;

std::optional<std::u32string> decodeUtf8(std::string_view utf8)
{
    std::u32string out;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = 0;
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
        if (i + length > utf8.size())
            return std::nullopt;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            value = (value << 6) | (next & 0x3F);
        }
        out.push_back(value);
        i += length;
    }
    return out;
}

void appendUtf8(std::string &out, char32_t value)
{
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

std::optional<std::string> gsmForCharacter(char32_t character)
{
    for (size_t septet = 0; septet < kGsmBasic.size(); ++septet) {
        if (kGsmBasic[septet] == character && septet != 0x1B) {
            return std::string(1, static_cast<char>(septet));
        }
    }
    for (const auto &extension : kGsmExtension) {
        if (extension.character == character)
            return std::string{kEscape, extension.septet};
    }
    return std::nullopt;
}

int hexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

}  // namespace

std::optional<Charset> charsetFromName(std::string_view name)
{
    std::string upper;
    for (char c : name)
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (upper == "IRA")
        return Charset::Ira;
    if (upper == "GSM")
        return Charset::Gsm;
    if (upper == "UCS2")
        return Charset::Ucs2;
    return std::nullopt;
}

const char *charsetName(Charset charset)
{
    switch (charset) {
    case Charset::Ira: return "IRA";
    case Charset::Gsm: return "GSM";
    case Charset::Ucs2: return "UCS2";
    }
    return "IRA";
}

std::optional<std::string> utf8ToGsm(std::string_view utf8)
{
    const auto characters = decodeUtf8(utf8);
    if (!characters)
        return std::nullopt;
    std::string out;
    for (char32_t character : *characters) {
        const auto septets = gsmForCharacter(character);
        if (!septets)
            return std::nullopt;
        out += *septets;
    }
    return out;
}

std::string gsmToUtf8(std::string_view septets)
{
    std::string out;
    for (size_t i = 0; i < septets.size(); ++i) {
        const auto septet = static_cast<unsigned char>(septets[i]) & 0x7F;
        if (septet == 0x1B && i + 1 < septets.size()) {
            const char next = static_cast<char>(static_cast<unsigned char>(septets[++i]) & 0x7F);
            char32_t character = U' ';
            for (const auto &extension : kGsmExtension) {
                if (extension.septet == next)
                    character = extension.character;
            }
            appendUtf8(out, character);
            continue;
        }
        appendUtf8(out, septet == 0x1B ? U' ' : kGsmBasic[septet]);
    }
    return out;
}

std::optional<std::string> utf8ToUcs2Hex(std::string_view utf8)
{
    const auto characters = decodeUtf8(utf8);
    if (!characters)
        return std::nullopt;
    std::string bytes;
    for (char32_t character : *characters) {
        if (character > 0xFFFF)
            return std::nullopt;
        bytes.push_back(static_cast<char>(character >> 8));
        bytes.push_back(static_cast<char>(character & 0xFF));
    }
    return toHex(bytes);
}

std::optional<std::string> ucs2HexToUtf8(std::string_view hex)
{
    const auto bytes = fromHex(hex);
    if (!bytes || bytes->size() % 2 != 0)
        return std::nullopt;
    std::string out;
    for (size_t i = 0; i < bytes->size(); i += 2) {
        const char32_t unit = (static_cast<unsigned char>((*bytes)[i]) << 8) |
                              static_cast<unsigned char>((*bytes)[i + 1]);
        if (unit >= 0xD800 && unit <= 0xDFFF)
            return std::nullopt;
        appendUtf8(out, unit);
    }
    return out;
}

std::string encodeForTerminal(std::string_view utf8, Charset charset)
{
    const auto characters = decodeUtf8(utf8).value_or(std::u32string(utf8.size(), U'?'));
    std::string out;
    for (char32_t character : characters) {
        switch (charset) {
        case Charset::Ira:
            out.push_back(character < 0x80 ? static_cast<char>(character) : '?');
            break;
        case Charset::Gsm: out += gsmForCharacter(character).value_or("?"); break;
        case Charset::Ucs2: {
            const char32_t unit = character > 0xFFFF ? U'?' : character;
            std::string pair{static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
            out += toHex(pair);
            break;
        }
        }
    }
    return out;
}

std::optional<std::string> decodeFromTerminal(std::string_view text, Charset charset)
{
    switch (charset) {
    case Charset::Ira:
        for (char c : text) {
            if (static_cast<unsigned char>(c) >= 0x80)
                return std::nullopt;
        }
        return std::string(text);
    case Charset::Gsm: return gsmToUtf8(text);
    case Charset::Ucs2: return ucs2HexToUtf8(text);
    }
    return std::nullopt;
}

std::string toHex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        out.push_back(kDigits[value >> 4]);
        out.push_back(kDigits[value & 0x0F]);
    }
    return out;
}

std::optional<std::string> fromHex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.push_back(static_cast<char>((high << 4) | low));
    }
    return out;
}

}  // namespace virtualmodem
