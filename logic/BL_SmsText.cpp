#include "logic/BL_SmsText.h"

#include "gsm/GsmText.h"
#include "codec/Unicode.h"
#include "platform/CodePage.h"

namespace {

bool highSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool lowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::optional<SmsText> SmsText::FromAnsi(const std::string &ansi)
{
    SmsText text;
    text.utf16 = platform::ansiToUtf16(ansi);
    const int count = static_cast<int>(text.utf16.size());
    const int gsm = gsm::IsGsmText(text.utf16.data(), count);
    if (gsm < 0 && count > 0)
        return std::nullopt;
    text.gsm = gsm != 0 || count == 0;
    if (!text.gsm) {
        text.units = text.utf16.size();
        // Letters no default alphabet has (not the ones this program folds or sends as
        // 16-bit on purpose) may still go in 7 bits, in the national tables that have them.
        const std::u32string characters(text.utf16.begin(), text.utf16.end());
        if (codec::isGsmText(characters))
            return text;
        const std::optional<codec::GsmTables> tables = codec::nationalTablesFor(characters);
        if (!tables)
            return text;
        text.gsm = true;
        text.tables = *tables;
        for (const char16_t c : text.utf16) {
            const std::optional<codec::GsmCode> code = codec::gsmCodeFor(c, text.tables);
            if (!code)
                return std::nullopt;
            text.codes.insert(text.codes.end(), code->septets, code->septets + code->length);
            text.codeEnd.push_back(text.codes.size());
        }
        text.units = text.codes.size();
        return text;
    }
    text.codeEnd.reserve(text.utf16.size());
    for (const char16_t c : text.utf16) {
        uint8_t codes[2];
        const int written = gsm::Ucs2ToGsm(codes, 2, &c, 1);
        if (written <= 0)
            return std::nullopt;
        text.codes.insert(text.codes.end(), codes, codes + written);
        text.codeEnd.push_back(text.codes.size());
    }
    text.units = text.codes.size();
    return text;
}

std::vector<SmsText::Part> SmsText::Split(size_t room) const
{
    std::vector<Part> parts;
    if (room == 0)
        return parts;
    Part current;
    size_t used = 0;
    for (size_t i = 0; i < utf16.size();) {
        size_t characters = 1;
        size_t width = 1;
        if (gsm) {
            width = codeEnd[i] - (i == 0 ? 0 : codeEnd[i - 1]);
        } else if (highSurrogate(utf16[i]) && i + 1 < utf16.size() && lowSurrogate(utf16[i + 1])) {
            characters = width = 2;
        }
        if (used + width > room && used > 0) {
            parts.push_back(current);
            current = Part{i, i};
            used = 0;
        }
        current.end = i + characters;
        used += width;
        i += characters;
    }
    parts.push_back(current);
    return parts;
}

bool SmsText::FitsOne(size_t single) const
{
    return units + codec::septetsOfShiftElements(tables, true) <= single;
}

size_t SmsText::PartRoom(size_t part) const
{
    const size_t taken = codec::septetsOfShiftElements(tables, false);
    return part > taken ? part - taken : 1;
}

std::vector<SmsText::Part> SmsText::Cut(size_t single, size_t part) const
{
    return FitsOne(single) ? std::vector<Part>{Whole()} : Split(PartRoom(part));
}

std::string SmsText::Ansi(const Part &part, size_t maxBytes) const
{
    const std::string ansi =
        platform::utf16ToAnsi(std::u16string_view(utf16).substr(part.begin, part.end - part.begin));
    return std::string(platform::truncateAnsi(ansi, maxBytes));
}

std::vector<uint8_t> SmsText::Codes(const Part &part) const
{
    if (!gsm || part.end <= part.begin)
        return {};
    const size_t from = part.begin == 0 ? 0 : codeEnd[part.begin - 1];
    return std::vector<uint8_t>(codes.begin() + static_cast<std::ptrdiff_t>(from),
                                codes.begin() + static_cast<std::ptrdiff_t>(codeEnd[part.end - 1]));
}

std::string SmsCodesToAnsi(const std::vector<uint8_t> &codes, codec::GsmTables tables)
{
    if (codes.empty())
        return {};
    if (tables.national()) {
        const std::optional<std::u32string> characters =
            codec::codePointsFromUtf8(codec::utf8FromGsmSeptets(codes, tables));
        const std::u16string text =
            characters ? codec::utf16FromCodePoints(*characters) : std::u16string();
        return platform::utf16ToAnsi(text);
    }
    std::u16string text(codes.size(), u'\0');
    const int written = gsm::GsmToUcs2(text.data(), static_cast<int>(text.size()), codes.data(),
                                       static_cast<int>(codes.size()));
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return platform::utf16ToAnsi(text);
}
