// The contact editor: a new contact or a change of one, with the fields the chosen storage keeps
// and their lengths enforced while the user types. The rules are contact_edit's.
#pragma once

#include "ContactEditRules.h"
#include "FeatureWindow.h"
#include "PbStore.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <functional>

class TFmEditPB final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TFmEditPB(feature::FeatureHost &host, PbStoreSource store = RootPhonebook);

    QLabel *LbTitle;
    QLineEdit *EdName, *EdPhoneNumber, *EdHomePhone, *EdPhoneEx1, *EdPhoneEx2, *EdPhoneEx3,
        *EdEmail, *EdURL, *EdNote;
    QComboBox *CbGroup;
    QRadioButton *RBPC, *RBME, *RBSIM;
    QPushButton *BtOK, *BtCancel;

    // Called when the editor closes, after a save (with the name saved) or a cancel: the
    // contacts page refreshes its list and brings back the window that opened the editor.
    std::function<void(bool saved, const QString &name)> onClosed;

    // Shows the editor for a change of the contact.
    void EditContact(const _MEC_CONTACT_RECORD &record);
    // Shows the editor for a new contact in the storage (and group node), prefilled when given;
    // the storage can be changed only while the SIM is usable.
    void NewContact(const _MEC_CONTACT_RECORD *prefilled, uint8_t storage, int groupNode,
                    bool simUsable);
    // The SIM went away: a change of an existing contact closes, a new one goes to the PC.
    void SimUnusable();
    void cardStateChanged(CardState state) override
    {
        if (state != kSimReady)
            SimUnusable();
    }

    // Applies the chosen storage's fields and lengths.
    void ApplyStorage(uint8_t storage);
    // Saves; returns whether it was saved (a refused save keeps the editor open).
    bool Save();
    void Cancel();

    bool isNewContact() const { return m_isNew; }
    ContactFields fields() const;
    QString numberCharacters() const { return m_numberCharacters; }

private:
    TBL_pb *store() const { return m_storeSource ? m_storeSource() : nullptr; }
    void open();
    void fillGroups(uint8_t storage, uint32_t groupId);
    void nameEdited();
    void emailEdited();
    void guardNumber(QLineEdit *field);
    uint8_t checkedStorage() const;
    std::array<QLineEdit *, MEC_CONTACT_NUMBER_SLOTS> numberFields() const;

    feature::FeatureHost &m_host;
    PbStoreSource m_storeSource;
    _MEC_CONTACT_RECORD m_working{};
    bool m_isNew = true;
    QString m_lastName, m_lastEmail;
    QString m_numberCharacters;
};
