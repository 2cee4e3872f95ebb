#include "codec/UserData.h"

#include "codec/GsmAlphabet.h"
#include "codec/Unicode.h"

namespace codec {

namespace {

Result<UserData> malformed(const std::string &why) { return Result<UserData>::failure(why); }

// Reads the elements of a header (its length byte already taken off).
std::optional<std::string> readHeader(std::span<const uint8_t> header, UserData &userData)
{
    size_t at = 0;
    while (at < header.size()) {
        if (header.size() - at < 2)
            return "the user-data header ends inside an element";
        const uint8_t id = header[at];
        const uint8_t length = header[at + 1];
        if (length > header.size() - at - 2)
            return "an element of the user-data header runs past the header";
        const auto data = header.subspan(at + 2, length);
        at += 2u + length;
        // A concatenation element that cannot be true (part 0, part past the count) is
        // ignored, as a receiver must; the message then stands alone.
        const bool eightBit = id == kConcatenation8BitReference && length == 3;
        const bool sixteenBit = id == kConcatenation16BitReference && length == 4;
        if (eightBit || sixteenBit) {
            Concatenation concatenation;
            concatenation.sixteenBitReference = sixteenBit;
            concatenation.reference =
                sixteenBit ? static_cast<uint16_t>(data[0] << 8 | data[1]) : data[0];
            concatenation.count = data[sixteenBit ? 2 : 1];
            concatenation.part = data[sixteenBit ? 3 : 2];
            if (concatenation.part >= 1 && concatenation.part <= concatenation.count &&
                !userData.concatenation)
                userData.concatenation = concatenation;
            continue;
        }
        if ((id == kSingleShiftElement || id == kLockingShiftElement) && length == 1) {
            (id == kSingleShiftElement ? userData.tables.single : userData.tables.locking) =
                data[0];
            continue;
        }
        userData.otherElements.push_back({id, {data.begin(), data.end()}});
    }
    return std::nullopt;
}

// Fill bits that bring 7-bit text behind a header of this many bytes to a septet boundary.
unsigned fillBitsAfter(size_t headerBytes) { return (7 - headerBytes * 8 % 7) % 7; }

}  // namespace

std::vector<uint8_t> userDataHeaderBytes(const UserData &userData)
{
    if (!userData.hasHeader())
        return {};
    std::vector<uint8_t> header{0};
    if (const auto &c = userData.concatenation) {
        if (c->sixteenBitReference) {
            header.insert(header.end(),
                          {kConcatenation16BitReference, 4, static_cast<uint8_t>(c->reference >> 8),
                           static_cast<uint8_t>(c->reference & 0xFF), c->count, c->part});
        } else {
            header.insert(header.end(),
                          {kConcatenation8BitReference, 3,
                           static_cast<uint8_t>(c->reference & 0xFF), c->count, c->part});
        }
    }
    if (userData.tables.single)
        header.insert(header.end(), {kSingleShiftElement, 1, userData.tables.single});
    if (userData.tables.locking)
        header.insert(header.end(), {kLockingShiftElement, 1, userData.tables.locking});
    for (const auto &element : userData.otherElements) {
        header.push_back(element.id);
        header.push_back(static_cast<uint8_t>(element.data.size()));
        header.insert(header.end(), element.data.begin(), element.data.end());
    }
    header[0] = static_cast<uint8_t>(header.size() - 1);
    return header;
}

Result<UserData> decodeUserData(std::span<const uint8_t> bytes, uint8_t length, bool hasHeader,
                                const DataCoding &coding)
{
    const bool septets = coding.alphabet == Alphabet::Gsm7 && !coding.compressed;
    const size_t byteCount = septets ? (length * 7u + 7) / 8 : length;
    if (byteCount > bytes.size())
        return malformed("the user data is " + std::to_string(bytes.size()) +
                         " bytes; its length says " + std::to_string(byteCount));
    const auto content = bytes.first(byteCount);
    UserData userData;
    size_t headerBytes = 0;
    if (hasHeader) {
        if (content.empty())
            return malformed("the user-data header is announced but missing");
        headerBytes = 1u + content[0];
        if (headerBytes > content.size())
            return malformed("the user-data header is longer than the user data");
        if (auto error = readHeader(content.subspan(1, headerBytes - 1), userData))
            return malformed(*error);
    }
    const auto body = content.subspan(headerBytes);
    if (septets) {
        const unsigned fill = fillBitsAfter(headerBytes);
        const size_t headerSeptets = (headerBytes * 8 + fill) / 7;
        const size_t textSeptets = length > headerSeptets ? length - headerSeptets : 0;
        userData.text =
            utf8FromGsmSeptets(unpackSeptets(body, textSeptets, fill), userData.tables);
    } else if (coding.alphabet == Alphabet::Ucs2 && !coding.compressed) {
        userData.text = utf8FromUtf16BigEndian(body).value_or(std::string());
        const size_t units = body.size() / 2;
        if (units > 0) {
            const auto unitAt = [&](size_t i) {
                return static_cast<char16_t>(body[2 * i] << 8 | body[2 * i + 1]);
            };
            if (isLowSurrogate(unitAt(0)))
                userData.openingLowSurrogate = unitAt(0);
            if (isHighSurrogate(unitAt(units - 1)))
                userData.closingHighSurrogate = unitAt(units - 1);
        }
    } else {
        userData.data.assign(body.begin(), body.end());
    }
    return userData;
}

Result<EncodedUserData> encodeUserData(const UserData &userData, Alphabet alphabet)
{
    using Out = Result<EncodedUserData>;
    EncodedUserData encoded;
    encoded.bytes = userDataHeaderBytes(userData);
    const size_t headerBytes = encoded.bytes.size();
    size_t length = 0;
    if (alphabet == Alphabet::Gsm7) {
        const auto septets = gsmSeptetsFromUtf8(userData.text, userData.tables);
        if (!septets)
            return Out::failure("the text has characters the GSM alphabet lacks");
        const unsigned fill = fillBitsAfter(headerBytes);
        const auto packed = packSeptets(*septets, fill);
        encoded.bytes.insert(encoded.bytes.end(), packed.begin(), packed.end());
        length = (headerBytes * 8 + fill) / 7 + septets->size();
    } else if (alphabet == Alphabet::Ucs2) {
        const auto characters = codePointsFromUtf8(userData.text);
        if (!characters)
            return Out::failure("the text is not UTF-8");
        const auto bytes = utf16BigEndianBytes(utf16FromCodePoints(*characters));
        encoded.bytes.insert(encoded.bytes.end(), bytes.begin(), bytes.end());
        length = encoded.bytes.size();
    } else {
        encoded.bytes.insert(encoded.bytes.end(), userData.data.begin(), userData.data.end());
        length = encoded.bytes.size();
    }
    if (encoded.bytes.size() > kUserDataBytes)
        return Out::failure("the user data takes " + std::to_string(encoded.bytes.size()) +
                            " bytes; one message holds 140");
    encoded.length = static_cast<uint8_t>(length);
    return encoded;
}

}  // namespace codec
