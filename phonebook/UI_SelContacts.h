// Picking the recipients of a message from the PC's or the SIM's contacts: the contacts on the
// left, the chosen ones on the right. The logic is RecipientChoice's.
#pragma once

#include "FeatureRoles.h"
#include "FeatureWindow.h"
#include "PbStore.h"
#include "RecipientChoice.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTreeWidget>

#include <optional>

class TFrmSel final : public QDialog,
                      public feature::FeatureWindow,
                      public feature::ContactPicker {
    Q_OBJECT
public:
    explicit TFrmSel(feature::FeatureHost &host, PbStoreSource store = RootPhonebook);

    QComboBox *CbSelectLocation;
    QTreeWidget *LvLeft, *LvRight;
    QComboBox *CbPhoneList;
    QPushButton *BtLtoR, *BtRtoL, *BtOK, *BtCancel, *BtSendSms;

    // Shows the window modally; after OK, the chosen phones joined by ";" and how many.
    struct Recipients {
        QString text;
        int count = 0;
    };
    std::optional<Recipients> SelectRecipients();
    std::optional<QString> pickRecipients() override;

    // Fills the left list from the chosen storage and empties the right one.
    void FillFromLocation();
    void MoveRight();
    void MoveLeft();
    // Opens the message composer with the chosen recipients.
    void SendSmsToChosen();
    // The SIM went away: the window closes and only the PC can be chosen.
    void SimUnusable();
    void cardStateChanged(CardState state) override;

    RecipientChoice &choice() { return m_choice; }
    void showLists();

private:
    void readChecks();
    void leftSelectionChanged();

    feature::FeatureHost &m_host;
    PbStoreSource m_storeSource;
    RecipientChoice m_choice;
};
