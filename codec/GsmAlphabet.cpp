#include "codec/GsmAlphabet.h"

#include "codec/Unicode.h"

#include <array>

namespace codec {

namespace {

// clang-format off
constexpr std::array<char32_t, 128> kDefaultAlphabet = {
    U'@',      U'\u00A3', U'$',      U'\u00A5', U'\u00E8', U'\u00E9', U'\u00F9', U'\u00EC',
    U'\u00F2', U'\u00C7', U'\n',     U'\u00D8', U'\u00F8', U'\r',     U'\u00C5', U'\u00E5',
    U'\u0394', U'_',      U'\u03A6', U'\u0393', U'\u039B', U'\u03A9', U'\u03A0', U'\u03A8',
    U'\u03A3', U'\u0398', U'\u039E', U' ',      U'\u00C6', U'\u00E6', U'\u00DF', U'\u00C9',
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
// clang-format on

struct Extension {
    uint8_t septet;
    char32_t character;
};
constexpr std::array<Extension, 10> kExtensionTable = {{{0x0A, U'\f'},
                                                        {0x14, U'^'},
                                                        {0x28, U'{'},
                                                        {0x29, U'}'},
                                                        {0x2F, U'\\'},
                                                        {0x3C, U'['},
                                                        {0x3D, U'~'},
                                                        {0x3E, U']'},
                                                        {0x40, U'|'},
                                                        {0x65, U'\u20AC'}}};

}  // namespace

char32_t gsmDefaultCharacter(uint8_t septet) { return kDefaultAlphabet[septet & 0x7F]; }

std::optional<char32_t> gsmExtensionCharacter(uint8_t septet)
{
    for (const auto &extension : kExtensionTable) {
        if (extension.septet == (septet & 0x7F))
            return extension.character;
    }
    return std::nullopt;
}

std::optional<GsmCode> gsmCodeFor(char32_t character)
{
    GsmCode code;
    for (size_t septet = 0; septet < kDefaultAlphabet.size(); ++septet) {
        if (kDefaultAlphabet[septet] == character && septet != kGsmEscape) {
            code.septets[0] = static_cast<uint8_t>(septet);
            code.length = 1;
            return code;
        }
    }
    for (const auto &extension : kExtensionTable) {
        if (extension.character == character) {
            code.septets[0] = kGsmEscape;
            code.septets[1] = extension.septet;
            code.length = 2;
            return code;
        }
    }
    return std::nullopt;
}

std::optional<size_t> gsmSeptetLength(std::u32string_view characters)
{
    size_t length = 0;
    for (char32_t character : characters) {
        const auto code = gsmCodeFor(character);
        if (!code)
            return std::nullopt;
        length += code->length;
    }
    return length;
}

bool isGsmText(std::u32string_view characters) { return gsmSeptetLength(characters).has_value(); }

std::string utf8FromGsmSeptets(std::span<const uint8_t> septets)
{
    std::string out;
    for (size_t i = 0; i < septets.size(); ++i) {
        const uint8_t septet = septets[i] & 0x7F;
        if (septet == kGsmEscape) {
            if (i + 1 == septets.size())
                break;
            appendUtf8(out, gsmExtensionCharacter(septets[++i]).value_or(U' '));
            continue;
        }
        appendUtf8(out, kDefaultAlphabet[septet]);
    }
    return out;
}

std::optional<std::vector<uint8_t>> gsmSeptetsFromCodePoints(std::u32string_view characters)
{
    std::vector<uint8_t> septets;
    septets.reserve(characters.size());
    for (char32_t character : characters) {
        const auto code = gsmCodeFor(character);
        if (!code)
            return std::nullopt;
        septets.insert(septets.end(), code->septets, code->septets + code->length);
    }
    return septets;
}

std::optional<std::vector<uint8_t>> gsmSeptetsFromUtf8(std::string_view utf8)
{
    const auto characters = codePointsFromUtf8(utf8);
    if (!characters)
        return std::nullopt;
    return gsmSeptetsFromCodePoints(*characters);
}

std::vector<uint8_t> packSeptets(std::span<const uint8_t> septets, unsigned fillBits)
{
    fillBits %= 7;
    std::vector<uint8_t> packed((fillBits + septets.size() * 7 + 7) / 8, 0);
    size_t bit = fillBits;
    for (uint8_t septet : septets) {
        const unsigned value = septet & 0x7F;
        packed[bit / 8] |= static_cast<uint8_t>(value << (bit % 8));
        if (bit % 8 > 1)
            packed[bit / 8 + 1] |= static_cast<uint8_t>(value >> (8 - bit % 8));
        bit += 7;
    }
    return packed;
}

size_t septetsThatFit(size_t byteCount, unsigned fillBits)
{
    const size_t bits = byteCount * 8;
    return bits > fillBits ? (bits - fillBits) / 7 : 0;
}

std::vector<uint8_t> unpackSeptets(std::span<const uint8_t> packed, size_t count, unsigned fillBits)
{
    const size_t available = septetsThatFit(packed.size(), fillBits);
    const size_t wanted = count < available ? count : available;
    std::vector<uint8_t> septets;
    septets.reserve(wanted);
    size_t bit = fillBits;
    for (size_t i = 0; i < wanted; ++i) {
        unsigned value = packed[bit / 8] >> (bit % 8);
        if (bit % 8 > 1)
            value |= static_cast<unsigned>(packed[bit / 8 + 1]) << (8 - bit % 8);
        septets.push_back(static_cast<uint8_t>(value & 0x7F));
        bit += 7;
    }
    return septets;
}

}  // namespace codec
