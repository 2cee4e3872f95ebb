// The fields an SMS PDU is made of: addresses, time stamps, the data coding scheme and the
// validity period, each read from and written to bytes.
#pragma once

#include "codec/Result.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace codec {

// Reads a PDU front to back; every read is checked against the end.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
    std::optional<uint8_t> byte();
    // The next count bytes, or nothing (and nothing consumed) when fewer are left.
    std::optional<std::span<const uint8_t>> take(size_t count);
    std::span<const uint8_t> rest() const { return m_bytes.subspan(m_position); }
    size_t remaining() const { return m_bytes.size() - m_position; }
    size_t position() const { return m_position; }

private:
    std::span<const uint8_t> m_bytes;
    size_t m_position = 0;
};

struct SmsAddress {
    // Digits (with '+' in front for an international number, and '*', '#', 'a'-'c' where the
    // network uses them), or the text of an alphanumeric sender.
    std::string number;
    uint8_t typeOfAddress = 0x81;

    bool alphanumeric() const { return (typeOfAddress & 0x70) == 0x50; }
    bool international() const { return (typeOfAddress & 0x70) == 0x10; }
    // "+4912345" -> international, "12345" -> unknown type, "Brisa" -> alphanumeric.
    static SmsAddress fromText(const std::string &text);
    bool operator==(const SmsAddress &) const = default;
};

// An address field: the count of digits (semi-octets), the type, the digits.
Result<SmsAddress> readAddress(ByteReader &reader);
Result<std::vector<uint8_t>> writeAddress(const SmsAddress &address);
// The service centre in front of a PDU: the count of octets that follow (0: none), the type, the
// digits.
Result<std::optional<SmsAddress>> readServiceCentre(ByteReader &reader);
Result<std::vector<uint8_t>> writeServiceCentre(const std::optional<SmsAddress> &address);

struct SmsTimestamp {
    int year = 2000;  // four digits; the PDU carries two (90-99 are read as the 1990s)
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int offsetQuarters = 0;  // quarter hours ahead of UTC; negative behind it

    // "2026-12-08T21:15:00+01:00"
    std::string iso8601() const;
    bool operator==(const SmsTimestamp &) const = default;
};
// Seven semi-octet bytes. A stamp with digits that are no decimal digits, or a date that cannot
// be, reads as nothing, so the rest of the message is not lost with it.
std::optional<SmsTimestamp> timestampFromBytes(std::span<const uint8_t, 7> bytes);
std::array<uint8_t, 7> bytesFromTimestamp(const SmsTimestamp &stamp);

enum class Alphabet { Gsm7, EightBit, Ucs2 };
const char *alphabetName(Alphabet alphabet);  // "gsm7", "8bit", "ucs2"

struct DataCoding {
    Alphabet alphabet = Alphabet::Gsm7;
    std::optional<int> messageClass;  // 0 (shown at once, not stored) to 3
    bool compressed = false;          // the data is compressed: kept as bytes
};
DataCoding decodeSmsDataCoding(uint8_t scheme);
// The general coding group: an alphabet, and a class when one is given.
uint8_t smsDataCodingScheme(Alphabet alphabet, std::optional<int> messageClass);

struct ValidityPeriod {
    enum class Format { None, Relative, Enhanced, Absolute };
    Format format = Format::None;
    uint8_t relative = 0;               // Relative: the one-byte code
    SmsTimestamp absolute;              // Absolute
    std::array<uint8_t, 7> enhanced{};  // Enhanced: as it came

    // How long the network keeps trying, where the period is a duration that can be read.
    std::optional<uint32_t> seconds() const;
    bool operator==(const ValidityPeriod &) const = default;
};
// The relative code for a period of minutes, rounded up to the next one the code can say
// (5 minutes to 63 weeks).
uint8_t relativeValidityForMinutes(uint32_t minutes);
uint32_t minutesOfRelativeValidity(uint8_t code);

}  // namespace codec
