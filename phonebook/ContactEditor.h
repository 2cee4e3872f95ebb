// The contact editor without a widget: the working record (a change or a new contact), what the
// chosen storage lets each field hold and which groups it offers, what a field shows after the
// person typed into it, and the save. The rules themselves are contact_edit's.
#pragma once

#include "ContactEditRules.h"
#include "PbStore.h"

#include <QString>

#include <array>
#include <vector>

class ContactEditor {
public:
    explicit ContactEditor(PbStoreSource store) : m_storeSource(std::move(store)) {}

    // A change of the contact; returns the fields to show.
    ContactFields Edit(const _MEC_CONTACT_RECORD &record);
    // A new contact in the storage (the PC while the SIM is not usable), in the group when the
    // node is one, prefilled when given; returns the fields to show.
    ContactFields New(const _MEC_CONTACT_RECORD *prefilled, uint8_t storage, int groupNode,
                      bool simUsable);

    bool isNew() const { return m_isNew; }
    uint8_t storage() const { return m_working.storage; }
    QString numberCharacters() const { return m_numberCharacters; }

    struct GroupChoice {
        QString name;
        uint32_t groupId = 0;
    };
    // What the storage's fields may hold: a maximum length each, 0 for a field that is off and
    // empty; the groups offered (none at all for the SIM) and the one chosen.
    struct StorageFields {
        std::array<int, MEC_CONTACT_NUMBER_SLOTS> numberMax{};
        int nameMax = 1, emailMax = 0, noteMax = 0, urlMax = 0;
        bool group = true;
        std::vector<GroupChoice> groups;
        int groupIndex = 0;
    };
    // The contact goes to the storage.
    StorageFields ApplyStorage(uint8_t storage);

    // What a field shows after the person changed it to the text: the name cut to what the
    // storage keeps, the SIM's e-mail and a number put back to the last text it accepted.
    QString NameTyped(const QString &text, uint8_t storage, int maxLength) const;
    QString EmailTyped(const QString &text, uint8_t storage, int maxLength);
    QString NumberTyped(size_t slot, const QString &text);

    // Saves the fields; false with the message to show when refused (none without a store).
    bool Save(const ContactFields &fields, QString &refusal);

private:
    TBL_pb *store() const { return m_storeSource ? m_storeSource() : nullptr; }
    ContactFields open();

    PbStoreSource m_storeSource;
    _MEC_CONTACT_RECORD m_working{};
    bool m_isNew = true;
    QString m_numberCharacters;
    QString m_lastEmail;
    std::array<QString, MEC_CONTACT_NUMBER_SLOTS> m_acceptedNumbers;
};
