#include "SimText.h"

#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/SimAlpha.h"
#include "codec/Unicode.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace lumacore {

namespace {

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
    return codec::bytesFromHex(hex);
}

std::string hexFromBytes(const std::vector<uint8_t> &bytes) { return codec::hexFromBytes(bytes); }

std::string gsmToUtf8(const uint8_t *septets, size_t count)
{
    return codec::utf8FromUnpackedGsm({septets, count});
}

std::string ucs2ToUtf8(const uint8_t *bytes, size_t count)
{
    return codec::utf8FromUtf16BigEndian({bytes, count}).value_or(std::string());
}

std::string simAlphaToUtf8(const std::vector<uint8_t> &bytes)
{
    return codec::utf8FromSimAlpha(bytes);
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

std::optional<std::string> utf8ToGsm(std::string_view utf8)
{
    auto septets = codec::gsmSeptetsFromUtf8(utf8);
    if (!septets)
        return std::nullopt;
    return std::string(septets->begin(), septets->end());
}

std::optional<std::string> utf8ToUcs2Hex(std::string_view utf8)
{
    auto characters = codec::codePointsFromUtf8(utf8);
    if (!characters)
        return std::nullopt;
    return codec::hexFromBytes(codec::utf16BigEndianBytes(codec::utf16FromCodePoints(*characters)));
}

namespace {

std::string convert(std::string_view text, const char *to, const char *from)
{
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string(text);
    std::string out;
    std::string input(text);
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

bool isUtf8(const char *codeset)
{
    return std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0;
}

}  // namespace

std::string utf8ToSystem(std::string_view utf8)
{
    const char *codeset = systemCodeset();
    return isUtf8(codeset) ? std::string(utf8) : convert(utf8, codeset, "UTF-8");
}

std::string systemToUtf8(std::string_view text)
{
    const char *codeset = systemCodeset();
    if (isUtf8(codeset))
        return codec::codePointsFromUtf8(text) ? std::string(text)
                                               : convert(text, "UTF-8", "UTF-8");
    return convert(text, "UTF-8", codeset);
}

}  // namespace lumacore
