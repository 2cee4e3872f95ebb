#include "codec/SmsFields.h"

#include "codec/GsmAlphabet.h"

#include <cstdio>

namespace codec {

namespace {

constexpr size_t kMostAddressDigits = 20;
constexpr size_t kMostAlphanumericCharacters = 11;
constexpr uint8_t kAlphanumericType = 0xD0;
constexpr uint8_t kInternationalType = 0x91;
constexpr uint8_t kUnknownType = 0x81;

// The semi-octets 10-14 stand for '*', '#', 'a', 'b', 'c'; 15 fills the last octet.
constexpr char kSemiOctetCharacters[] = "0123456789*#abc";

std::string digitsFromSemiOctets(std::span<const uint8_t> bytes, size_t count)
{
    std::string digits;
    for (size_t i = 0; i < count && i / 2 < bytes.size(); ++i) {
        const uint8_t nibble = i % 2 == 0 ? bytes[i / 2] & 0x0F : bytes[i / 2] >> 4;
        if (nibble < 15)
            digits += kSemiOctetCharacters[nibble];
    }
    return digits;
}

std::optional<std::vector<uint8_t>> semiOctetsFromDigits(std::string_view digits)
{
    std::vector<uint8_t> bytes((digits.size() + 1) / 2, 0xFF);
    for (size_t i = 0; i < digits.size(); ++i) {
        const char *found = nullptr;
        for (const char *c = kSemiOctetCharacters; *c; ++c) {
            if (*c == digits[i] || (*c >= 'a' && *c - 'a' + 'A' == digits[i]))
                found = c;
        }
        if (!found)
            return std::nullopt;
        const auto nibble = static_cast<uint8_t>(found - kSemiOctetCharacters);
        uint8_t &byte = bytes[i / 2];
        byte = i % 2 == 0 ? static_cast<uint8_t>((byte & 0xF0) | nibble)
                          : static_cast<uint8_t>((byte & 0x0F) | nibble << 4);
    }
    return bytes;
}

SmsAddress addressFromField(uint8_t type, std::span<const uint8_t> bytes, size_t semiOctets)
{
    SmsAddress address;
    address.typeOfAddress = type;
    if (address.alphanumeric()) {
        address.number = utf8FromGsmSeptets(unpackSeptets(bytes, semiOctets * 4 / 7));
    } else {
        address.number = digitsFromSemiOctets(bytes, semiOctets);
        if (address.international() && !address.number.empty())
            address.number.insert(0, 1, '+');
    }
    return address;
}

int decimal(uint8_t swapped) { return (swapped & 0x0F) * 10 + (swapped >> 4); }
bool isDecimal(uint8_t swapped) { return (swapped & 0x0F) <= 9 && (swapped >> 4) <= 9; }
uint8_t swappedDecimal(int value)
{
    return static_cast<uint8_t>((value / 10 % 10) | (value % 10) << 4);
}

}  // namespace

std::optional<uint8_t> ByteReader::byte()
{
    if (m_position >= m_bytes.size())
        return std::nullopt;
    return m_bytes[m_position++];
}

std::optional<std::span<const uint8_t>> ByteReader::take(size_t count)
{
    if (count > remaining())
        return std::nullopt;
    auto taken = m_bytes.subspan(m_position, count);
    m_position += count;
    return taken;
}

SmsAddress SmsAddress::fromText(const std::string &text)
{
    SmsAddress address;
    address.number = text;
    bool dialable = !text.empty();
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool digit = (c >= '0' && c <= '9') || c == '*' || c == '#' || (i == 0 && c == '+');
        dialable = dialable && digit;
    }
    if (!dialable && !text.empty())
        address.typeOfAddress = kAlphanumericType;
    else if (!text.empty() && text[0] == '+')
        address.typeOfAddress = kInternationalType;
    else
        address.typeOfAddress = kUnknownType;
    return address;
}

Result<SmsAddress> readAddress(ByteReader &reader)
{
    const auto semiOctets = reader.byte();
    const auto type = reader.byte();
    if (!semiOctets || !type)
        return Result<SmsAddress>::failure("the PDU ends inside an address");
    if (*semiOctets > kMostAddressDigits)
        return Result<SmsAddress>::failure("an address claims " + std::to_string(*semiOctets) +
                                           " digits; at most 20 are allowed");
    const auto bytes = reader.take((*semiOctets + 1u) / 2);
    if (!bytes)
        return Result<SmsAddress>::failure("an address runs past the end of the PDU");
    return addressFromField(*type, *bytes, *semiOctets);
}

Result<std::vector<uint8_t>> writeAddress(const SmsAddress &address)
{
    using Out = Result<std::vector<uint8_t>>;
    std::vector<uint8_t> field;
    if (address.alphanumeric()) {
        const auto septets = gsmSeptetsFromUtf8(address.number);
        if (!septets || septets->size() > kMostAlphanumericCharacters)
            return Out::failure(
                "an alphanumeric address is up to 11 characters of the GSM "
                "alphabet: \"" +
                address.number + "\"");
        const auto packed = packSeptets(*septets);
        field.push_back(static_cast<uint8_t>((septets->size() * 7 + 3) / 4));
        field.push_back(address.typeOfAddress);
        field.insert(field.end(), packed.begin(), packed.end());
        return field;
    }
    std::string_view digits = address.number;
    if (!digits.empty() && digits[0] == '+')
        digits.remove_prefix(1);
    const auto semiOctets = semiOctetsFromDigits(digits);
    if (!semiOctets || digits.size() > kMostAddressDigits)
        return Out::failure("a number is up to 20 digits, '*' and '#': \"" + address.number + "\"");
    field.push_back(static_cast<uint8_t>(digits.size()));
    field.push_back(address.typeOfAddress);
    field.insert(field.end(), semiOctets->begin(), semiOctets->end());
    return field;
}

Result<std::optional<SmsAddress>> readServiceCentre(ByteReader &reader)
{
    using Out = Result<std::optional<SmsAddress>>;
    const auto length = reader.byte();
    if (!length)
        return Out::failure("the PDU is empty");
    if (*length == 0)
        return std::optional<SmsAddress>();
    if (*length > 1 + kMostAddressDigits / 2)
        return Out::failure("the service-centre address claims " + std::to_string(*length) +
                            " bytes; at most 11 are allowed");
    const auto type = reader.byte();
    const auto bytes = reader.take(*length - 1u);
    if (!type || !bytes)
        return Out::failure("the service-centre address runs past the end of the PDU");
    return std::optional<SmsAddress>(addressFromField(*type, *bytes, bytes->size() * 2));
}

Result<std::vector<uint8_t>> writeServiceCentre(const std::optional<SmsAddress> &address)
{
    if (!address || address->number.empty())
        return std::vector<uint8_t>{0};
    auto field = writeAddress(*address);
    if (!field)
        return field;
    // The service centre counts octets (type included) where other addresses count digits.
    (*field)[0] = static_cast<uint8_t>(field->size() - 1);
    return field;
}

std::string SmsTimestamp::iso8601() const
{
    const int offset = offsetQuarters < 0 ? -offsetQuarters : offsetQuarters;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", year, month, day,
                  hour, minute, second, offsetQuarters < 0 ? '-' : '+', offset / 4,
                  offset % 4 * 15);
    return text;
}

std::optional<SmsTimestamp> timestampFromBytes(std::span<const uint8_t, 7> bytes)
{
    for (size_t i = 0; i < 6; ++i) {
        if (!isDecimal(bytes[i]))
            return std::nullopt;
    }
    // The time zone: the sign is the third bit of the tens digit.
    const uint8_t zone = bytes[6];
    if ((zone & 0x07) > 9 || (zone >> 4) > 9)
        return std::nullopt;
    SmsTimestamp stamp;
    const int year = decimal(bytes[0]);
    stamp.year = year >= 90 ? 1900 + year : 2000 + year;
    stamp.month = decimal(bytes[1]);
    stamp.day = decimal(bytes[2]);
    stamp.hour = decimal(bytes[3]);
    stamp.minute = decimal(bytes[4]);
    stamp.second = decimal(bytes[5]);
    const int quarters = (zone & 0x07) * 10 + (zone >> 4);
    stamp.offsetQuarters = zone & 0x08 ? -quarters : quarters;
    if (stamp.month < 1 || stamp.month > 12 || stamp.day < 1 || stamp.day > 31 || stamp.hour > 23 ||
        stamp.minute > 59 || stamp.second > 59)
        return std::nullopt;
    return stamp;
}

std::array<uint8_t, 7> bytesFromTimestamp(const SmsTimestamp &stamp)
{
    const int quarters = stamp.offsetQuarters < 0 ? -stamp.offsetQuarters : stamp.offsetQuarters;
    uint8_t zone = swappedDecimal(quarters % 80);
    if (stamp.offsetQuarters < 0)
        zone |= 0x08;
    return {swappedDecimal(stamp.year % 100),
            swappedDecimal(stamp.month),
            swappedDecimal(stamp.day),
            swappedDecimal(stamp.hour),
            swappedDecimal(stamp.minute),
            swappedDecimal(stamp.second),
            zone};
}

const char *alphabetName(Alphabet alphabet)
{
    switch (alphabet) {
    case Alphabet::Gsm7: return "gsm7";
    case Alphabet::EightBit: return "8bit";
    case Alphabet::Ucs2: return "ucs2";
    }
    return "gsm7";
}

DataCoding decodeSmsDataCoding(uint8_t scheme)
{
    DataCoding coding;
    if ((scheme & 0x80) == 0) {
        // General data coding (and its automatic-deletion twin): alphabet, class, compression.
        coding.compressed = scheme & 0x20;
        if (scheme & 0x10)
            coding.messageClass = scheme & 0x03;
        const int alphabet = (scheme >> 2) & 0x03;
        coding.alphabet = alphabet == 1   ? Alphabet::EightBit
                          : alphabet == 2 ? Alphabet::Ucs2
                                          : Alphabet::Gsm7;
    } else if ((scheme & 0xF0) == 0xE0) {
        coding.alphabet = Alphabet::Ucs2;  // message waiting, stored, UCS-2
    } else if ((scheme & 0xF0) == 0xF0) {
        coding.alphabet = scheme & 0x04 ? Alphabet::EightBit : Alphabet::Gsm7;
        coding.messageClass = scheme & 0x03;
    }
    return coding;
}

uint8_t smsDataCodingScheme(Alphabet alphabet, std::optional<int> messageClass)
{
    const int alphabetBits = alphabet == Alphabet::EightBit ? 1
                             : alphabet == Alphabet::Ucs2   ? 2
                                                            : 0;
    int scheme = alphabetBits << 2;
    if (messageClass)
        scheme |= 0x10 | (*messageClass & 0x03);
    return static_cast<uint8_t>(scheme);
}

uint32_t minutesOfRelativeValidity(uint8_t code)
{
    if (code <= 143)
        return (code + 1u) * 5;
    if (code <= 167)
        return 720 + (code - 143u) * 30;
    if (code <= 196)
        return (code - 166u) * 1440;
    return (code - 192u) * 10080;
}

uint8_t relativeValidityForMinutes(uint32_t minutes)
{
    for (unsigned code = 0; code < 255; ++code) {
        if (minutesOfRelativeValidity(static_cast<uint8_t>(code)) >= minutes)
            return static_cast<uint8_t>(code);
    }
    return 255;
}

std::optional<uint32_t> ValidityPeriod::seconds() const
{
    switch (format) {
    case Format::Relative: return minutesOfRelativeValidity(relative) * 60;
    case Format::Enhanced:
        switch (enhanced[0] & 0x07) {
        case 1: return minutesOfRelativeValidity(enhanced[1]) * 60;
        case 2: return enhanced[1];
        case 3:
            if (!isDecimal(enhanced[1]) || !isDecimal(enhanced[2]) || !isDecimal(enhanced[3]))
                return std::nullopt;
            return static_cast<uint32_t>(decimal(enhanced[1]) * 3600 + decimal(enhanced[2]) * 60 +
                                         decimal(enhanced[3]));
        default: return std::nullopt;
        }
    case Format::None:
    case Format::Absolute: break;
    }
    return std::nullopt;
}

}  // namespace codec
