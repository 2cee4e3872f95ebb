// Contacts as vCards: the checked contacts written as vCard 3.0 (what desktop address books and
// phones take), and a .vcf file (2.1, 3.0 or 4.0) read into the PC storage with a report of
// what was taken and what had to be cut to fit.
#pragma once

#include "logic/BL_Pb.h"

#include <QString>

#include <functional>
#include <optional>

#include <string>
#include <vector>

// One contact as a vCard holds it, in UTF-8.
struct VCardContact {
    std::string name;
    std::vector<std::pair<std::string, std::string>> numbers;  // (type: CELL, HOME, ...; number)
    std::vector<std::string> emails;
    std::string url;
    std::string note;
    std::string group;  // CATEGORIES, the first one
    // Why the card cannot be taken (no END, no name and no number, a number with letters);
    // empty when it can.
    std::string problem;
    // What the card holds that a PC contact does not keep (address, organisation, ...).
    std::vector<std::string> notKept;
};

// The vCard 3.0 text of the contacts, CRLF lines folded at 75 octets. groupName gives the name
// of a contact's group (empty for none).
std::string WriteVCards(const std::vector<_MEC_CONTACT_RECORD> &contacts,
                        const std::function<std::string(const _MEC_CONTACT_RECORD &)> &groupName);

// The cards of a .vcf text, each one that cannot be taken with its problem.
std::vector<VCardContact> ReadVCards(std::string_view text);

// Writes the contacts to the file as a whole or not at all. 0, or 1 with error set.
uint16_t ExportVCardFile(const QString &path, const std::vector<_MEC_CONTACT_RECORD> &contacts,
                         const TBL_pb &store, QString *error);

struct VCardImportReport {
    int found = 0;                  // cards in the file
    int taken = 0;                  // contacts added to the PC storage
    std::vector<std::string> cut;   // "name: what was cut" for each contact that was shortened
    std::vector<std::string> left;  // "name: why" for each card not taken
    uint16_t status = 0;            // 0, 4400 when the PC storage filled up, 1 file not readable
    QString error;                  // why the file could not be read
};

// Adds the file's cards to the PC storage in one transaction (a group named in CATEGORIES is
// kept when the PC has one of that name). A card the PC holds already (same name and numbers)
// is not added again. A file that is not a vCard adds nothing.
VCardImportReport ImportVCardFile(const QString &path, TBL_pb &store);
