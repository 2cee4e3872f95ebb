#include "ContactEditRules.h"

#include "PbStore.h"

#include "logic/BL_PbCut.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <algorithm>
#include <cstring>

namespace contact_edit {

namespace {

template <size_t N>
void put(char (&field)[N], const QString &text)
{
    platform::copyToField(field, N, platform::toAnsi(text));
}

template <size_t N>
QString get(const char (&field)[N])
{
    return platform::fromAnsi(platform::fieldText(field, N));
}

}  // namespace

FieldAvailability ForStorage(uint8_t storage, const FieldLimits &eightBit)
{
    FieldAvailability available;
    available.numberSlots = std::clamp(eightBit.values[FIELD_LIMIT_NUMBER_SLOTS], 0,
                                       static_cast<int>(MEC_CONTACT_NUMBER_SLOTS));
    available.nameMax = eightBit.values[FIELD_LIMIT_NAME];
    available.emailMax = eightBit.values[FIELD_LIMIT_EMAIL];
    available.noteMax = eightBit.values[FIELD_LIMIT_NOTE];
    available.urlMax = eightBit.values[FIELD_LIMIT_URL];
    available.group = storage != PB_SIM;
    return available;
}

bool IsSingleByte(const QString &text)
{
    // The SIM's default alphabet holds Latin-1 letters and the euro sign, one byte each.
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x100 || c.unicode() == 0x20AC; });
}

int SimLength(const QString &text)
{
    // As the card will store it: in its 7-bit alphabet, an extension character taking two,
    // else in UCS-2 with a byte of coding.
    const std::optional<size_t> septets = CardGsmLength(text.toStdU16String());
    if (!septets)
        return 2 * (static_cast<int>(text.size()) + 1);
    return static_cast<int>(*septets);
}

QString CutForSim(const QString &text, int max)
{
    QString cut = text;
    while (!cut.isEmpty() && SimLength(cut) > max)
        cut.chop(cut.size() >= 2 && cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
    return cut;
}

QString FitName(const QString &name, const FieldLimits &eightBit, const FieldLimits &ucs2,
                bool pcStorage)
{
    auto kept = [&](const QString &text) {
        _MEC_CONTACT_RECORD record{};
        put(record.name, text);
        const _MEC_CONTACT_RECORD written = record;
        CutContactToLimits(record, eightBit, ucs2, pcStorage);
        return std::memcmp(record.name, written.name, sizeof record.name) == 0 &&
               platform::fromAnsi(platform::fieldText(record.name, sizeof record.name)) == text;
    };
    QString cut = name;
    while (!cut.isEmpty() && !kept(cut))
        cut.chop(cut.size() >= 2 && cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
    return cut;
}

bool NumberAllowed(const QString &text, const QString &allowed)
{
    for (QChar c : text)
        if (!allowed.contains(c))
            return false;
    return true;
}

_MEC_CONTACT_RECORD BuildRecord(const _MEC_CONTACT_RECORD &working, const ContactFields &fields)
{
    _MEC_CONTACT_RECORD record{};
    record.reserved = working.reserved;
    record.index = working.index;
    std::memcpy(record.opaqueA, working.opaqueA, sizeof record.opaqueA);
    std::memcpy(record.opaqueB, working.opaqueB, sizeof record.opaqueB);
    record.opaqueC = working.opaqueC;
    std::memcpy(record.numbers[4].opaque, working.numbers[4].opaque,
                sizeof record.numbers[4].opaque);
    put(record.name, fields.name);
    put(record.email, fields.email);
    put(record.note, fields.note);
    put(record.url, fields.url);
    for (size_t slot = 0; slot < fields.numbers.size(); ++slot)
        put(record.numbers[slot].number, fields.numbers[slot]);
    record.groupId = fields.groupId;
    record.storage = fields.storage;
    return record;
}

ContactFields FieldsOf(const _MEC_CONTACT_RECORD &record)
{
    ContactFields fields;
    fields.name = get(record.name);
    fields.email = get(record.email);
    fields.note = get(record.note);
    fields.url = get(record.url);
    for (size_t slot = 0; slot < fields.numbers.size(); ++slot)
        fields.numbers[slot] = get(record.numbers[slot].number);
    fields.groupId = record.groupId;
    fields.storage = record.storage;
    return fields;
}

QString Save(TBL_pb &store, const ContactFields &fields, const _MEC_CONTACT_RECORD &working,
             bool isNew)
{
    using platform::GetLanguageString;
    if (fields.name.isEmpty() || fields.numbers[0].isEmpty())
        return GetLanguageString(text::kPbNameAndMobile);
    const _MEC_CONTACT_RECORD record = BuildRecord(working, fields);
    if (!isNew)
        return store.ModifyContact(record) == 0 ? QString()
                                                : GetLanguageString(text::kPbNotChanged);
    _MEC_CONTACT_RECORD *stored = nullptr;
    const uint16_t status = store.AddContact(record, &stored);
    if (status == 0)
        return {};
    if (status == PB_PC_FULL || status == PB_ME_FULL || status == PB_SIM_FULL) {
        const uint8_t full = status == PB_SIM_FULL ? PB_SIM : status == PB_ME_FULL ? PB_ME : PB_PC;
        return FormatText(text::kPbStoreFull, {StorageName(full)});
    }
    return GetLanguageString(text::kPbNotSaved);
}

}  // namespace contact_edit
