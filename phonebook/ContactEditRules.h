// The contact editor's rules without a widget: which fields a storage keeps and how long they
// may be, how the SIM counts a text, which characters a number may hold, building the record to
// save from the fields, and saving it with the message the user is shown when it fails.
#pragma once

#include "logic/BL_Pb.h"

#include <QString>

#include <array>

// The editor's fields as the user filled them.
struct ContactFields {
    QString name, email, note, url;
    std::array<QString, MEC_CONTACT_NUMBER_SLOTS> numbers;  // mobile, home, phone 1, 2, 3
    uint32_t groupId = 0;
    uint8_t storage = PB_PC;
};

// What the chosen storage allows: a maximum length per field, 0 for a field it does not keep.
struct FieldAvailability {
    int numberSlots = 0;  // the first numberSlots number fields are kept, each of up to 32
    int nameMax = 0, emailMax = 0, noteMax = 0, urlMax = 0;
    bool group = true;
};

namespace contact_edit {

constexpr int kNumberMax = 32;

FieldAvailability ForStorage(uint8_t storage, const FieldLimits &eightBit);

// Every character of the text takes one byte on the SIM (Latin-1 and the euro sign).
bool IsSingleByte(const QString &text);
// The length the SIM stores for the text, as the store will cut it: one per character when the
// text is in the card's 7-bit alphabet (two for the extension characters form feed ^ { } \ [ ~ ]
// | and the euro sign), otherwise two bytes per UTF-16 unit with the terminator (a letter the
// alphabet lacks, such as ç or ë, makes the whole text UCS-2).
int SimLength(const QString &text);
// The text shortened from its end until its SIM length is at most max.
QString CutForSim(const QString &text, int max);

// The name shortened from its end until the store keeps it whole in the storage whose limits
// these are (codings 2 and 4), so what is typed is what is saved.
QString FitName(const QString &name, const FieldLimits &eightBit, const FieldLimits &ucs2,
                bool pcStorage);

// Every character of the text is one of the allowed number characters.
bool NumberAllowed(const QString &text, const QString &allowed);

// The record to save: the working record's engine fields (reserved, index, the opaque parts)
// kept, everything else from the fields.
_MEC_CONTACT_RECORD BuildRecord(const _MEC_CONTACT_RECORD &working, const ContactFields &fields);

// The fields of a record.
ContactFields FieldsOf(const _MEC_CONTACT_RECORD &record);

// Saves (a change when isNew is false) and returns the message to show, empty on success:
// name and mobile missing, change refused, store full (with its name), not saved.
QString Save(TBL_pb &store, const ContactFields &fields, const _MEC_CONTACT_RECORD &working,
             bool isNew);

}  // namespace contact_edit
