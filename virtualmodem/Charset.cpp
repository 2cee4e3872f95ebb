#include "virtualmodem/Charset.h"

#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/Unicode.h"

#include <cctype>
#include <span>
#include <vector>

namespace virtualmodem {

namespace {

std::string asString(const std::vector<uint8_t> &bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::span<const uint8_t> asBytes(std::string_view text)
{
    return {reinterpret_cast<const uint8_t *>(text.data()), text.size()};
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
    const auto septets = codec::gsmSeptetsFromUtf8(utf8);
    if (!septets)
        return std::nullopt;
    return asString(*septets);
}

std::string gsmToUtf8(std::string_view septets)
{
    return codec::utf8FromGsmSeptets(asBytes(septets));
}

std::optional<std::string> utf8ToUcs2Hex(std::string_view utf8)
{
    const auto characters = codec::codePointsFromUtf8(utf8);
    if (!characters)
        return std::nullopt;
    return codec::hexFromBytes(codec::utf16BigEndianBytes(codec::utf16FromCodePoints(*characters)));
}

std::optional<std::string> ucs2HexToUtf8(std::string_view hex)
{
    const auto bytes = codec::bytesFromHex(hex);
    if (!bytes || bytes->size() % 2 != 0)
        return std::nullopt;
    return codec::utf8FromUtf16BigEndian(*bytes, codec::LoneSurrogates::Refuse);
}

std::string encodeForTerminal(std::string_view utf8, Charset charset)
{
    const auto characters =
        codec::codePointsFromUtf8(utf8).value_or(std::u32string(utf8.size(), U'?'));
    std::string out;
    for (char32_t character : characters) {
        switch (charset) {
        case Charset::Ira:
            out.push_back(character < 0x80 ? static_cast<char>(character) : '?');
            break;
        case Charset::Gsm: {
            const auto code = codec::gsmCodeFor(character).value_or(codec::GsmCode{{'?'}, 1});
            out.append(code.septets, code.septets + code.length);
            break;
        }
        case Charset::Ucs2:
            out += codec::hexFromBytes(
                codec::utf16BigEndianBytes(codec::utf16FromCodePoints({&character, 1})));
            break;
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

std::string toHex(std::string_view bytes) { return codec::hexFromBytes(asBytes(bytes)); }

std::optional<std::string> fromHex(std::string_view hex)
{
    const auto bytes = codec::bytesFromHex(hex);
    if (!bytes)
        return std::nullopt;
    return asString(*bytes);
}

}  // namespace virtualmodem
