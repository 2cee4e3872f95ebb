#include "codec/SmsSending.h"

#include "codec/GsmAlphabet.h"
#include "codec/Unicode.h"

namespace codec {

namespace {

constexpr size_t kMostParts = 255;
constexpr size_t kHeader8BitReference = 6;  // length byte, element id, length, three values
constexpr size_t kHeader16BitReference = 7;

// What one message holds, in the coding's own units (septets, bytes, UTF-16 units).
size_t capacity(Alphabet alphabet, size_t headerBytes)
{
    const size_t bytes = kUserDataBytes - headerBytes;
    switch (alphabet) {
    case Alphabet::Gsm7: return (kUserDataBytes * 8 - (headerBytes * 8 + 6) / 7 * 7) / 7;
    case Alphabet::EightBit: return bytes;
    case Alphabet::Ucs2: return bytes / 2;
    }
    return bytes;
}

size_t unitsOf(char32_t character, Alphabet alphabet, GsmTables tables)
{
    switch (alphabet) {
    case Alphabet::Gsm7: return gsmCodeFor(character, tables).value_or(GsmCode{{}, 1}).length;
    case Alphabet::Ucs2: return character >= 0x10000 ? 2 : 1;
    case Alphabet::EightBit: {
        std::string bytes;
        appendUtf8(bytes, character);
        return bytes.size();
    }
    }
    return 1;
}

}  // namespace

Result<Alphabet> chooseAlphabet(const std::string &utf8, TextCoding coding)
{
    const auto characters = codePointsFromUtf8(utf8);
    if (!characters)
        return Result<Alphabet>::failure("the text is not UTF-8");
    switch (coding) {
    case TextCoding::Automatic: return isGsmText(*characters) ? Alphabet::Gsm7 : Alphabet::Ucs2;
    case TextCoding::Gsm7:
        if (!isGsmText(*characters))
            return Result<Alphabet>::failure("the text has characters the GSM alphabet lacks");
        return Alphabet::Gsm7;
    case TextCoding::EightBit: return Alphabet::EightBit;
    case TextCoding::Ucs2: return Alphabet::Ucs2;
    }
    return Alphabet::Ucs2;
}

Result<TextEncoding> chooseEncoding(const std::string &utf8, TextCoding coding, GsmTables tables)
{
    using Out = Result<TextEncoding>;
    const auto characters = codePointsFromUtf8(utf8);
    if (!characters)
        return Out::failure("the text is not UTF-8");
    if (coding == TextCoding::Gsm7 || (coding == TextCoding::Automatic && tables.national())) {
        if (!gsmSeptetLength(*characters, tables))
            return Out::failure("the text has characters the GSM alphabet lacks");
        return TextEncoding{Alphabet::Gsm7, tables};
    }
    if (coding == TextCoding::Automatic) {
        if (isGsmText(*characters))
            return TextEncoding{Alphabet::Gsm7, {}};
        if (const auto national = nationalTablesFor(*characters))
            return TextEncoding{Alphabet::Gsm7, *national};
        return TextEncoding{Alphabet::Ucs2, {}};
    }
    return TextEncoding{coding == TextCoding::EightBit ? Alphabet::EightBit : Alphabet::Ucs2, {}};
}

Result<std::vector<std::string>> splitText(const std::string &utf8, Alphabet alphabet,
                                           bool sixteenBitReference, GsmTables tables)
{
    using Out = Result<std::vector<std::string>>;
    const auto characters = codePointsFromUtf8(utf8);
    if (!characters)
        return Out::failure("the text is not UTF-8");
    if (alphabet != Alphabet::Gsm7)
        tables = {};
    size_t total = 0;
    for (char32_t character : *characters)
        total += unitsOf(character, alphabet, tables);
    if (total <= capacity(alphabet, 0) - septetsOfShiftElements(tables, true))
        return std::vector<std::string>{utf8};

    const size_t perPart =
        capacity(alphabet, sixteenBitReference ? kHeader16BitReference : kHeader8BitReference) -
        septetsOfShiftElements(tables, false);
    std::vector<std::string> parts(1);
    size_t used = 0;
    for (char32_t character : *characters) {
        const size_t units = unitsOf(character, alphabet, tables);
        if (used + units > perPart) {
            parts.emplace_back();
            used = 0;
        }
        appendUtf8(parts.back(), character);
        used += units;
    }
    if (parts.size() > kMostParts)
        return Out::failure("the text needs " + std::to_string(parts.size()) +
                            " messages; at most 255 can be joined");
    return parts;
}

Result<std::vector<SmsMessage>> submitMessages(const OutgoingText &outgoing)
{
    using Out = Result<std::vector<SmsMessage>>;
    const auto encoding = chooseEncoding(outgoing.text, outgoing.coding, outgoing.tables);
    if (!encoding)
        return Out::failure(encoding.error());
    const Alphabet alphabet = encoding->alphabet;
    if (outgoing.messageClass && (*outgoing.messageClass < 0 || *outgoing.messageClass > 3))
        return Out::failure("a message class is 0, 1, 2 or 3");
    const auto parts =
        splitText(outgoing.text, alphabet, outgoing.sixteenBitReference, encoding->tables);
    if (!parts)
        return Out::failure(parts.error());

    std::vector<SmsMessage> messages;
    for (size_t i = 0; i < parts->size(); ++i) {
        SmsMessage message;
        message.type = SmsType::Submit;
        if (outgoing.serviceCentre && !outgoing.serviceCentre->empty())
            message.serviceCentre = SmsAddress::fromText(*outgoing.serviceCentre);
        message.address = SmsAddress::fromText(outgoing.number);
        message.messageReference = static_cast<uint8_t>(outgoing.messageReference + i);
        message.statusReportRequest = outgoing.statusReportRequest;
        message.dataCodingScheme = smsDataCodingScheme(alphabet, outgoing.messageClass);
        if (outgoing.validityMinutes) {
            message.validity.format = ValidityPeriod::Format::Relative;
            message.validity.relative = relativeValidityForMinutes(*outgoing.validityMinutes);
        }
        if (alphabet == Alphabet::EightBit)
            message.userData.data.assign((*parts)[i].begin(), (*parts)[i].end());
        else
            message.userData.text = (*parts)[i];
        message.userData.tables = encoding->tables;
        if (parts->size() > 1) {
            Concatenation concatenation;
            concatenation.reference = outgoing.sixteenBitReference
                                          ? outgoing.concatenationReference
                                          : outgoing.concatenationReference & 0xFF;
            concatenation.count = static_cast<uint8_t>(parts->size());
            concatenation.part = static_cast<uint8_t>(i + 1);
            concatenation.sixteenBitReference = outgoing.sixteenBitReference;
            message.userData.concatenation = concatenation;
        }
        messages.push_back(std::move(message));
    }
    return messages;
}

}  // namespace codec
