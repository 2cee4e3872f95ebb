#include "codec/GsmAlphabet.h"

#include "codec/NationalLanguageTables.h"
#include "codec/Unicode.h"

#include <algorithm>
#include <array>
#include <utility>

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

// The national table of a language, or nothing where the language has none of that kind.
const char16_t *lockingTable(uint8_t language)
{
    if (language == 0 || language > kMostNationalLanguage)
        return nullptr;
    const char16_t *table = tables::kLockingShiftTables[language - 1];
    return table[0x20] == 0 ? nullptr : table;  // every locking table has the space
}

const char16_t *singleTable(uint8_t language)
{
    if (language == 0 || language > kMostNationalLanguage)
        return nullptr;
    return tables::kSingleShiftTables[language - 1];
}

char32_t mainCharacter(uint8_t septet, const char16_t *locking)
{
    septet &= 0x7F;
    return locking ? locking[septet] : kDefaultAlphabet[septet];
}

std::optional<char32_t> shiftCharacter(uint8_t septet, const char16_t *single)
{
    septet &= 0x7F;
    if (!single)
        return gsmExtensionCharacter(septet);
    if (single[septet] == 0 || septet == kGsmEscape)
        return std::nullopt;
    return single[septet];
}

// Character -> septet of every national table, sorted for a binary search; built once.
using Reverse = std::vector<std::pair<char32_t, uint8_t>>;
struct ReverseTables {
    std::array<Reverse, kMostNationalLanguage + 1> locking;
    std::array<Reverse, kMostNationalLanguage + 1> single;
};

Reverse reverseOf(const char16_t *table)
{
    Reverse reverse;
    for (uint8_t septet = 0; table && septet < 128; ++septet) {
        if (table[septet] != 0 && septet != kGsmEscape)
            reverse.emplace_back(table[septet], septet);
    }
    // The first code of a character wins where a table has it twice.
    std::stable_sort(reverse.begin(), reverse.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    return reverse;
}

const ReverseTables &reverseTables()
{
    static const ReverseTables built = [] {
        ReverseTables tables;
        for (uint8_t language = 1; language <= kMostNationalLanguage; ++language) {
            tables.locking[language] = reverseOf(lockingTable(language));
            tables.single[language] = reverseOf(singleTable(language));
        }
        return tables;
    }();
    return built;
}

std::optional<uint8_t> find(const Reverse &reverse, char32_t character)
{
    const auto found = std::lower_bound(
        reverse.begin(), reverse.end(), character,
        [](const std::pair<char32_t, uint8_t> &entry, char32_t c) { return entry.first < c; });
    if (found == reverse.end() || found->first != character)
        return std::nullopt;
    return found->second;
}

std::optional<GsmCode> defaultCodeFor(char32_t character)
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

std::optional<GsmCode> gsmCodeFor(char32_t character, GsmTables tables)
{
    const char16_t *locking = lockingTable(tables.locking);
    const char16_t *single = singleTable(tables.single);
    if (!locking && !single)
        return defaultCodeFor(character);
    GsmCode code;
    const auto &reverse = reverseTables();
    std::optional<uint8_t> septet;
    if (locking) {
        septet = find(reverse.locking[tables.locking], character);
    } else if (auto found = defaultCodeFor(character); found && found->length == 1) {
        septet = found->septets[0];
    }
    if (septet) {
        code.septets[0] = *septet;
        code.length = 1;
        return code;
    }
    if (single) {
        septet = find(reverse.single[tables.single], character);
    } else if (auto found = defaultCodeFor(character); found && found->length == 2) {
        septet = found->septets[1];
    }
    if (!septet)
        return std::nullopt;
    code.septets[0] = kGsmEscape;
    code.septets[1] = *septet;
    code.length = 2;
    return code;
}

std::optional<size_t> gsmSeptetLength(std::u32string_view characters, GsmTables tables)
{
    size_t length = 0;
    for (char32_t character : characters) {
        const auto code = gsmCodeFor(character, tables);
        if (!code)
            return std::nullopt;
        length += code->length;
    }
    return length;
}

bool isGsmText(std::u32string_view characters) { return gsmSeptetLength(characters).has_value(); }

std::string utf8FromGsmSeptets(std::span<const uint8_t> septets, GsmTables tables)
{
    const char16_t *locking = lockingTable(tables.locking);
    const char16_t *single = singleTable(tables.single);
    std::string out;
    for (size_t i = 0; i < septets.size(); ++i) {
        const uint8_t septet = septets[i] & 0x7F;
        if (septet == kGsmEscape) {
            if (i + 1 == septets.size())
                break;
            const uint8_t shifted = septets[++i] & 0x7F;
            // A code the single shift lacks shows as its character of the main table, as a
            // receiver should; the default alphabet's own habit is a space.
            const char32_t fallback =
                tables.national() ? mainCharacter(shifted, locking) : char32_t(U' ');
            appendUtf8(out, shiftCharacter(shifted, single).value_or(fallback));
            continue;
        }
        const char32_t character = mainCharacter(septet, locking);
        appendUtf8(out, character != 0 ? character : kReplacementCharacter);
    }
    return out;
}

std::optional<std::vector<uint8_t>> gsmSeptetsFromCodePoints(std::u32string_view characters,
                                                             GsmTables tables)
{
    std::vector<uint8_t> septets;
    septets.reserve(characters.size());
    for (char32_t character : characters) {
        const auto code = gsmCodeFor(character, tables);
        if (!code)
            return std::nullopt;
        septets.insert(septets.end(), code->septets, code->septets + code->length);
    }
    return septets;
}

std::optional<std::vector<uint8_t>> gsmSeptetsFromUtf8(std::string_view utf8, GsmTables tables)
{
    const auto characters = codePointsFromUtf8(utf8);
    if (!characters)
        return std::nullopt;
    return gsmSeptetsFromCodePoints(*characters, tables);
}

size_t septetsOfShiftElements(GsmTables tables, bool alone)
{
    // Each element is three bytes: its identifier, its length and the language.
    const size_t elementBytes = (tables.locking ? 3u : 0u) + (tables.single ? 3u : 0u);
    if (elementBytes == 0)
        return 0;
    // What the header of a part takes anyway: the length byte and a concatenation element.
    const size_t without = alone ? 0 : 6;
    const size_t with = without + elementBytes + (alone ? 1 : 0);
    return (with * 8 + 6) / 7 - (without * 8 + 6) / 7;
}

std::optional<GsmTables> nationalTablesFor(std::u32string_view characters)
{
    std::optional<GsmTables> best;
    size_t bestCost = 0;
    auto consider = [&](GsmTables tables) {
        const auto septets = gsmSeptetLength(characters, tables);
        if (!septets)
            return;
        const size_t cost = *septets + septetsOfShiftElements(tables, true);
        if (!best || cost < bestCost) {
            best = tables;
            bestCost = cost;
        }
    };
    // A single shift alone first: it costs the least header and leaves the default alphabet.
    for (uint8_t language = 1; language <= kMostNationalLanguage; ++language)
        consider({0, language});
    for (uint8_t language = 1; language <= kMostNationalLanguage; ++language) {
        if (!lockingTable(language))
            continue;
        consider({language, 0});
        consider({language, language});
    }
    return best;
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
