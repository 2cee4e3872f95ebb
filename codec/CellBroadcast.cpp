#include "codec/CellBroadcast.h"

#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/Unicode.h"
#include "codec/Ussd.h"

namespace codec {

namespace {

constexpr size_t kContentBytes = kBroadcastPageBytes - kBroadcastHeaderBytes;

}  // namespace

Result<BroadcastPage> decodeBroadcastPage(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kBroadcastHeaderBytes)
        return Result<BroadcastPage>::failure(
            "a cell-broadcast page has a six-byte header; this "
            "one has " +
            std::to_string(bytes.size()) + " bytes");
    if (bytes.size() > kBroadcastPageBytes)
        return Result<BroadcastPage>::failure("a cell-broadcast page is 88 bytes; this one has " +
                                              std::to_string(bytes.size()));
    BroadcastPage page;
    const uint16_t serial = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
    page.geographicalScope = static_cast<uint8_t>(serial >> 14);
    page.messageCode = static_cast<uint16_t>((serial >> 4) & 0x3FF);
    page.updateNumber = static_cast<uint8_t>(serial & 0x0F);
    page.messageId = static_cast<uint16_t>(bytes[2] << 8 | bytes[3]);
    page.dataCodingScheme = bytes[4];
    page.page = bytes[5] >> 4;
    page.pages = bytes[5] & 0x0F;
    // A zero in either half means a page that stands alone.
    if (page.page == 0 || page.pages == 0) {
        page.page = 1;
        page.pages = 1;
    }
    auto decoded = decodeBroadcastText(bytes.subspan(kBroadcastHeaderBytes), page.dataCodingScheme);
    page.text = std::move(decoded.text);
    page.language = std::move(decoded.language);
    return page;
}

Result<BroadcastPage> decodeBroadcastPageHex(std::string_view hex)
{
    const auto bytes = bytesFromHex(hex);
    if (!bytes)
        return Result<BroadcastPage>::failure("the page is not hexadecimal text");
    return decodeBroadcastPage(*bytes);
}

Result<std::vector<uint8_t>> encodeBroadcastPage(const BroadcastPage &page)
{
    using Out = Result<std::vector<uint8_t>>;
    const uint16_t serial = page.serialNumber();
    std::vector<uint8_t> bytes{static_cast<uint8_t>(serial >> 8),
                               static_cast<uint8_t>(serial & 0xFF),
                               static_cast<uint8_t>(page.messageId >> 8),
                               static_cast<uint8_t>(page.messageId & 0xFF),
                               page.dataCodingScheme,
                               static_cast<uint8_t>((page.page & 0x0F) << 4 | (page.pages & 0x0F))};
    const auto coding = decodeBroadcastCoding(page.dataCodingScheme);
    std::vector<uint8_t> content;
    if (coding.alphabet == Alphabet::Ucs2 && !coding.languagePrefix) {
        const auto characters = codePointsFromUtf8(page.text);
        if (!characters)
            return Out::failure("the text is not UTF-8");
        content = utf16BigEndianBytes(utf16FromCodePoints(*characters));
        while (content.size() + 2 <= kContentBytes)
            content.insert(content.end(), {0x00, kGsmCarriageReturn});
    } else if (coding.alphabet == Alphabet::Gsm7 && !coding.languagePrefix) {
        auto septets = gsmSeptetsFromUtf8(page.text);
        if (!septets)
            return Out::failure("the text has characters the GSM alphabet lacks");
        const size_t room = septetsThatFit(kContentBytes);
        if (septets->size() <= room)
            septets->resize(room, kGsmCarriageReturn);
        content = packSeptets(*septets);
    } else {
        return Out::failure("pages are written in 7-bit or UCS-2 text without a language prefix");
    }
    if (content.size() > kContentBytes)
        return Out::failure("the text does not fit one page of 82 bytes");
    content.resize(kContentBytes, 0);
    bytes.insert(bytes.end(), content.begin(), content.end());
    return bytes;
}

}  // namespace codec
