#include "codec/Ussd.h"

#include "codec/GsmAlphabet.h"
#include "codec/Hex.h"
#include "codec/Unicode.h"

namespace codec {

namespace {

constexpr size_t kUssdBytes = 160;
constexpr size_t kLanguageSeptets = 3;  // two letters and a carriage return

std::string trimPadding(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\0'))
        text.pop_back();
    return text;
}

}  // namespace

BroadcastCoding decodeBroadcastCoding(uint8_t scheme)
{
    BroadcastCoding coding;
    const uint8_t group = scheme >> 4;
    if (scheme == 0x10) {
        coding.languagePrefix = true;
    } else if (scheme == 0x11) {
        coding.languagePrefix = true;
        coding.alphabet = Alphabet::Ucs2;
    } else if (group >= 0x04 && group <= 0x07) {
        // General data coding, as in SMS.
        const auto sms = decodeSmsDataCoding(scheme & 0x3F);
        coding.alphabet = sms.alphabet;
        coding.compressed = sms.compressed;
        coding.messageClass = sms.messageClass;
    } else if (group == 0x09) {
        coding.userDataHeader = true;
        const int alphabet = (scheme >> 2) & 0x03;
        coding.alphabet = alphabet == 1   ? Alphabet::EightBit
                          : alphabet == 2 ? Alphabet::Ucs2
                                          : Alphabet::Gsm7;
        coding.messageClass = scheme & 0x03;
    } else if (group == 0x0F) {
        coding.alphabet = scheme & 0x04 ? Alphabet::EightBit : Alphabet::Gsm7;
        if (scheme & 0x03)
            coding.messageClass = scheme & 0x03;
    }
    // Languages (groups 0, 2, 3) and the reserved groups read as the 7-bit default alphabet.
    return coding;
}

std::vector<uint8_t> packUssdSeptets(std::span<const uint8_t> septets)
{
    std::vector<uint8_t> padded(septets.begin(), septets.end());
    const bool sevenSpareBits = padded.size() % 8 == 7;
    const bool endsInReturnOnBoundary =
        padded.size() % 8 == 0 && !padded.empty() && padded.back() == kGsmCarriageReturn;
    if (sevenSpareBits || endsInReturnOnBoundary)
        padded.push_back(kGsmCarriageReturn);
    return packSeptets(padded);
}

std::string utf8FromPackedUssd(std::span<const uint8_t> packed)
{
    auto septets = unpackSeptets(packed, septetsThatFit(packed.size()));
    if (septets.size() % 8 == 0 && !septets.empty() && septets.back() == kGsmCarriageReturn)
        septets.pop_back();
    return utf8FromGsmSeptets(septets);
}

DecodedText decodeBroadcastText(std::span<const uint8_t> bytes, uint8_t scheme)
{
    const auto coding = decodeBroadcastCoding(scheme);
    DecodedText decoded;
    if (coding.compressed || coding.alphabet == Alphabet::EightBit) {
        decoded.text = hexFromBytes(bytes);  // no characters to show: the bytes as they came
        return decoded;
    }
    if (coding.alphabet == Alphabet::Ucs2) {
        if (coding.languagePrefix && bytes.size() >= 2) {
            decoded.language = utf8FromGsmSeptets(unpackSeptets(bytes.first(2), 2));
            bytes = bytes.subspan(2);
        }
        decoded.text = trimPadding(utf8FromUtf16BigEndian(bytes).value_or(std::string()));
        return decoded;
    }
    auto septets = unpackSeptets(bytes, septetsThatFit(bytes.size()));
    if (coding.languagePrefix && septets.size() >= kLanguageSeptets) {
        decoded.language = utf8FromGsmSeptets(std::span(septets).first(2));
        septets.erase(septets.begin(), septets.begin() + kLanguageSeptets);
    }
    decoded.text = trimPadding(utf8FromGsmSeptets(septets));
    return decoded;
}

Result<DecodedText> decodeUssdHex(std::string_view hex, uint8_t scheme)
{
    const auto bytes = bytesFromHex(hex);
    if (!bytes)
        return Result<DecodedText>::failure("the USSD string is not hexadecimal text");
    const auto coding = decodeBroadcastCoding(scheme);
    if (coding.alphabet == Alphabet::Gsm7 && !coding.languagePrefix && !coding.compressed)
        return DecodedText{utf8FromPackedUssd(*bytes), {}};
    return decodeBroadcastText(*bytes, scheme);
}

Result<EncodedUssd> encodeUssd(std::string_view utf8)
{
    using Out = Result<EncodedUssd>;
    const auto characters = codePointsFromUtf8(utf8);
    if (!characters)
        return Out::failure("the text is not UTF-8");
    EncodedUssd encoded;
    std::vector<uint8_t> bytes;
    if (const auto septets = gsmSeptetsFromCodePoints(*characters)) {
        bytes = packUssdSeptets(*septets);
    } else {
        bytes = utf16BigEndianBytes(utf16FromCodePoints(*characters));
        encoded.scheme = kUssdUcs2Scheme;
    }
    if (bytes.size() > kUssdBytes)
        return Out::failure("a USSD string holds 160 bytes; this one needs " +
                            std::to_string(bytes.size()));
    encoded.hex = hexFromBytes(bytes);
    return encoded;
}

}  // namespace codec
