#include "codec/UssdReply.h"

#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/Unicode.h"
#include "codec/Ussd.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

namespace codec {

namespace {

constexpr size_t kMostSeptets = 182;  // 160 octets of packed septets
constexpr size_t kMostUcs2Units = 80;

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool isHexText(std::string_view text)
{
    return !text.empty() && text.size() % 2 == 0 &&
           std::all_of(text.begin(), text.end(), [](char c) { return hexDigitValue(c) >= 0; });
}

bool onlyDecimalDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    for (char c : bytes)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

bool validUtf8(std::string_view text) { return codePointsFromUtf8(text).has_value(); }

// A text the card wrote in its character set.
std::string fromCharset(std::string_view text, const std::string &charset)
{
    if (charset == "GSM") {
        std::vector<uint8_t> septets(text.begin(), text.end());
        return utf8FromGsmSeptets(septets);
    }
    if (charset == "UTF-8" || charset == "UTF8")
        return validUtf8(text) ? std::string(text) : latin1ToUtf8(text);
    if (charset == "UCS2") {
        if (auto bytes = bytesFromHex(text); bytes && text.size() % 4 == 0) {
            if (auto utf8 = utf8FromUtf16BigEndian(*bytes))
                return *utf8;
        }
    }
    // IRA is ASCII; a card that lets 8-bit bytes through writes them in Latin-1 or UTF-8.
    return validUtf8(text) ? std::string(text) : latin1ToUtf8(text);
}

// UCS-2 hex under a 7-bit scheme: every unit a character a reply would hold (no control codes
// but line ends, no private or unpaired surrogate units), at least one from the Latin-1 block
// (a space, a digit), and the units from few blocks, as one script and its punctuation are.
// Packed septets read as UCS-2 look like scattered ideographs instead.
bool looksLikeUcs2(const std::vector<uint8_t> &bytes)
{
    if (bytes.size() % 2 != 0 || bytes.empty())
        return false;
    std::set<uint8_t> blocks;
    bool latinBlock = false;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1]);
        if (isHighSurrogate(unit)) {
            if (i + 3 >= bytes.size())
                return false;
            const char16_t next = static_cast<char16_t>(bytes[i + 2] << 8 | bytes[i + 3]);
            if (!isLowSurrogate(next))
                return false;
            i += 2;
            continue;
        }
        if (isLowSurrogate(unit) || (unit >= 0xE000 && unit <= 0xF8FF) || unit >= 0xFFFE)
            return false;
        if (unit < 0x20 && unit != '\n' && unit != '\r')
            return false;
        if (unit < 0x100)
            latinBlock = true;
        blocks.insert(static_cast<uint8_t>(unit >> 8));
    }
    return latinBlock && blocks.size() <= 3;
}

std::string dropLanguage(std::string text, size_t characters)
{
    // The language indication is two letters and, for 7-bit text, a carriage return.
    auto points = codePointsFromUtf8(text);
    if (!points || points->size() < characters)
        return text;
    return utf8FromCodePoints(std::u32string_view(*points).substr(characters));
}

std::string trimEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\0'))
        text.pop_back();
    return text;
}

}  // namespace

UssdReplyText decodeUssdReply(std::string_view string, std::optional<uint8_t> scheme,
                              std::string_view charsetName)
{
    const std::string charset = charsetName.empty() ? std::string("IRA") : upper(charsetName);
    const uint8_t dcs = scheme.value_or(kUssdDefaultScheme);
    const BroadcastCoding coding = decodeBroadcastCoding(dcs);
    const bool hex = isHexText(string);
    const auto bytes = hex ? bytesFromHex(string) : std::nullopt;
    UssdReplyText reply;

    auto asUcs2 = [&]() -> bool {
        if (!bytes || bytes->size() % 2 != 0)
            return false;
        auto decoded = decodeBroadcastText(*bytes, coding.alphabet == Alphabet::Ucs2 ? dcs : 0x48);
        reply.text = decoded.text;
        reply.form = UssdForm::Ucs2Hex;
        return true;
    };

    if (coding.alphabet == Alphabet::Ucs2) {
        if (hex && string.size() % 4 == 0 && asUcs2())
            return reply;
        reply.text = trimEnd(fromCharset(string, charset));
        if (coding.languagePrefix)
            reply.text = dropLanguage(reply.text, 2);
        return reply;
    }
    if (coding.alphabet == Alphabet::EightBit || coding.compressed) {
        if (bytes) {
            const bool printable = std::all_of(bytes->begin(), bytes->end(), [](uint8_t b) {
                return b >= 0x20 || b == '\n' || b == '\r';
            });
            reply.form = UssdForm::EightBitHex;
            reply.text = printable && !coding.compressed
                             ? latin1ToUtf8(std::string(bytes->begin(), bytes->end()))
                             : std::string(string);
            return reply;
        }
        reply.text = fromCharset(string, charset);
        return reply;
    }
    // 7-bit. A card set to UCS2 converts the text into UCS-2 hex, as the standard says.
    if (charset == "UCS2" && hex && string.size() % 4 == 0 && asUcs2()) {
        if (coding.languagePrefix)
            reply.text = dropLanguage(reply.text, 3);
        return reply;
    }
    // A reply that is only a number is a number, not hex.
    if (!bytes || onlyDecimalDigits(string)) {
        reply.text = trimEnd(fromCharset(string, charset));
        if (coding.languagePrefix)
            reply.text = dropLanguage(reply.text, 3);
        return reply;
    }
    if (string.size() % 4 == 0 && looksLikeUcs2(*bytes)) {
        reply.text = trimEnd(utf8FromUtf16BigEndian(*bytes).value_or(std::string()));
        reply.form = UssdForm::Ucs2Hex;
        return reply;
    }
    // Packed septets set the top bit of about every other octet; septets one per byte never do.
    const bool unpacked = std::all_of(bytes->begin(), bytes->end(), [](uint8_t b) { return b < 0x80; });
    if (unpacked) {
        reply.text = trimEnd(utf8FromGsmSeptets(*bytes));
        reply.form = UssdForm::UnpackedHex;
        if (coding.languagePrefix)
            reply.text = dropLanguage(reply.text, 3);
        return reply;
    }
    auto decoded = decodeUssdHex(string, dcs);
    reply.text = decoded ? decoded->text : std::string(string);
    reply.form = UssdForm::PackedHex;
    return reply;
}

std::optional<UssdRequest> encodeUssdRequest(std::string_view utf8, UssdRequestForm form,
                                             std::string_view charsetName)
{
    const auto points = codePointsFromUtf8(utf8);
    if (!points || points->empty())
        return std::nullopt;
    for (char32_t c : *points) {
        if (c < 0x20 || c == '"' || c == 0x7F)
            return std::nullopt;
    }
    const std::string charset = charsetName.empty() ? std::string("IRA") : upper(charsetName);
    UssdRequest request;
    const auto septets = gsmSeptetsFromCodePoints(*points);
    if (!septets) {
        // Outside the 7-bit alphabet: UCS-2, always as hex.
        const auto units = utf16FromCodePoints(*points);
        if (units.size() > kMostUcs2Units)
            return std::nullopt;
        request.string = hexFromBytes(utf16BigEndianBytes(units));
        request.scheme = 72;
        return request;
    }
    if (septets->size() > kMostSeptets)
        return std::nullopt;
    switch (form) {
    case UssdRequestForm::PackedHex: request.string = hexFromBytes(packUssdSeptets(*septets)); break;
    case UssdRequestForm::UnpackedHex: request.string = hexFromBytes(*septets); break;
    case UssdRequestForm::Text:
        if (charset == "UCS2") {
            request.string = hexFromBytes(utf16BigEndianBytes(utf16FromCodePoints(*points)));
        } else if (charset == "GSM") {
            request.string.assign(septets->begin(), septets->end());
            // A septet that would end the quotes or the line cannot travel as text.
            if (request.string.find_first_of("\"\r\n") != std::string::npos)
                return std::nullopt;
        } else {
            if (std::any_of(points->begin(), points->end(), [](char32_t c) { return c > 0x7E; }))
                return std::nullopt;
            request.string = std::string(utf8);
        }
        break;
    }
    return request;
}

}  // namespace codec
