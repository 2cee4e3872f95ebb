#include "engine/BL_PbCut.h"

#include "app/gsm/GsmText.h"
#include "platform/CodePage.h"

#include <string>

namespace {

constexpr int32_t kPcUcs2NameLimit = 128;

bool isGsm(const std::string &text) { return gsm::IsGsmAnsiText(text.c_str()) != 0; }

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

// limit8 and limit16: the field's limits; cap: the most bytes its width leaves for text.
void cutField(char *field, size_t width, int32_t limit8, int32_t limit16, int32_t cap)
{
    std::string text(platform::fieldText(field, width));
    if (limit8 >= cap)
        limit8 = cap;
    if (limit8 <= 0 || isGsm(text)) {
        const size_t keep = limit8 > 0 ? static_cast<size_t>(limit8) : 0;
        platform::copyToField(field, width, platform::truncateAnsi(text, keep));
        return;
    }
    // UCS-2 needed: shorten until the UTF-16 units fit, or until the text no longer needs UCS-2.
    const size_t bytes = std::min(2 * static_cast<size_t>(std::max(limit16, 0)), width);
    while (2 * platform::ansiToUtf16(text).size() > bytes) {
        dropLastCharacter(text);
        if (isGsm(text))
            break;
    }
    platform::copyToField(field, width, text);
}

}  // namespace

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
                 static_cast<int32_t>(field.width) - 1);
    }
    for (auto &slot : record.numbers) {
        cutField(slot.number, sizeof slot.number, eightBit.values[FIELD_LIMIT_NUMBER],
                 ucs2.values[FIELD_LIMIT_NUMBER], static_cast<int32_t>(sizeof slot.number) - 1);
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
