#include "logic/BL_PbCut.h"

#include "codec/GsmAlphabet.h"
#include "platform/CodePage.h"

#include <string>

namespace {

constexpr int32_t kPcUcs2NameLimit = 128;

// The septets of a text in the system code page, or nothing when it needs UCS-2.
std::optional<size_t> cardGsmLength(const std::string &text)
{
    return CardGsmLength(platform::ansiToUtf16(text));
}

// The text without its last character (a multibyte character goes whole).
void dropLastCharacter(std::string &text)
{
    size_t last = 0;
    for (size_t pos = 0; pos < text.size();) {
        last = pos;
        const size_t length = platform::ansiCharLength(text, pos);
        pos += length == 0 ? 1 : length;
    }
    text.resize(last);
}

// limit8 and limit16: the field's limits in septets (bytes on the PC, which keeps bytes, not a
// SIM alphabet) and in UTF-16 units; cap: the most bytes its width leaves for text.
void cutField(char *field, size_t width, int32_t limit8, int32_t limit16, int32_t cap, bool pc)
{
    std::string text(platform::fieldText(field, width));
    if (limit8 >= cap)
        limit8 = cap;
    if (limit8 <= 0) {
        platform::copyToField(field, width, "");
        return;
    }
    if (!cardGsmLength(text)) {
        // UCS-2 needed: shorten until the UTF-16 units fit, or until the text no longer needs
        // UCS-2 (then the 7-bit limit below applies).
        const size_t bytes = std::min(2 * static_cast<size_t>(std::max(limit16, 0)), width);
        while (2 * platform::ansiToUtf16(text).size() > bytes) {
            dropLastCharacter(text);
            if (cardGsmLength(text))
                break;
        }
    }
    // In the 7-bit alphabet the card keeps limit8 septets, and the field cap bytes of the
    // system code page, where an accented letter may take more than one.
    const size_t bytes = static_cast<size_t>(pc ? limit8 : cap);
    for (std::optional<size_t> septets = cardGsmLength(text);
         septets && ((!pc && *septets > static_cast<size_t>(limit8)) || text.size() > bytes);
         septets = cardGsmLength(text))
        dropLastCharacter(text);
    platform::copyToField(field, width, text);
}

}  // namespace

std::optional<size_t> CardGsmLength(std::u16string_view text)
{
    size_t septets = 0;
    for (char16_t unit : text) {
        // A character beyond the basic plane (a surrogate) is in no SIM alphabet but UCS-2's.
        const std::optional<codec::GsmCode> code =
            unit >= 0xD800 && unit <= 0xDFFF ? std::nullopt : codec::gsmCodeFor(unit);
        if (!code)
            return std::nullopt;
        septets += code->length;
    }
    return septets;
}

void CutContactToLimits(_MEC_CONTACT_RECORD &record, const FieldLimits &eightBit,
                        const FieldLimits &ucs2, bool pcStorage)
{
    struct Field {
        char *text;
        size_t width;
        int limit;
    };
    const Field fields[] = {
        {record.name, sizeof record.name, FIELD_LIMIT_NAME},
        {record.text2, sizeof record.text2, FIELD_LIMIT_TEXT2},
        {record.text3, sizeof record.text3, FIELD_LIMIT_TEXT3},
        {record.email, sizeof record.email, FIELD_LIMIT_EMAIL},
        {record.url, sizeof record.url, FIELD_LIMIT_URL},
    };
    for (const Field &field : fields) {
        const int32_t limit16 = pcStorage && field.limit == FIELD_LIMIT_NAME
                                    ? kPcUcs2NameLimit
                                    : ucs2.values[field.limit];
        cutField(field.text, field.width, eightBit.values[field.limit], limit16,
                 static_cast<int32_t>(field.width) - 1, pcStorage);
    }
    for (auto &slot : record.numbers) {
        cutField(slot.number, sizeof slot.number, eightBit.values[FIELD_LIMIT_NUMBER],
                 ucs2.values[FIELD_LIMIT_NUMBER], static_cast<int32_t>(sizeof slot.number) - 1,
                 pcStorage);
    }
    if (eightBit.values[FIELD_LIMIT_NOTE] == 0)
        platform::copyToField(record.note, sizeof record.note, "");
    const int32_t slotsKept = eightBit.values[FIELD_LIMIT_NUMBER_SLOTS];
    for (int32_t slot = 0; slot < MEC_CONTACT_NUMBER_SLOTS; ++slot) {
        if (slotsKept < slot + 1)
            platform::copyToField(record.numbers[slot].number, sizeof record.numbers[slot].number,
                                  "");
    }
}
