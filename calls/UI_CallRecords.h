// The call records page: the missed, received or dialled calls, one list at a time, with calling
// back, a message to the numbers, saving a number as a contact, deleting and clearing. The rows
// and the rules are CallRecordList's; this is the window over it.
#pragma once

#include "CallRecordList.h"

#include "FeatureRoles.h"
#include "FeatureWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

#include <vector>

class TCrForm final : public QWidget, public feature::FeatureWindow, public feature::CallRecordsView {
    Q_OBJECT
public:
    explicit TCrForm(feature::FeatureHost &host);

    QPushButton *CRMissed, *CRReceived, *CRDialled;
    QLabel *RecordSaved;
    QTreeWidget *CRListView;
    QPushButton *CRDialling, *CRNewMsg, *CRSaveNumber, *CRDelete, *CRClear;

    // The list of a kind (1 missed, 2 received, 3 dialled), read again from the store.
    void ShowList(uint8_t kind);
    void ShowMissedCalls();
    void ShowDialledCalls();
    // A call that ended: kept in the store, and shown when its list is on show.
    void AddCallEntry(uint8_t kind, const QDateTime &start, const QString &number);
    const calls::CallRecordList &records() const { return m_records; }

    // The handlers.
    void CRDiallingClick();
    void CRNewMsgClick();
    void CRSaveNumberClick();
    void CRDeleteClick();
    void CRClearClick();

    void showCallRecords() override;
    void shownInPanel() override;
    void shownByNavigation() override;
    void cardStateChanged(CardState state) override { m_cardState = state; }
    // The card state last told.
    uint8_t cardState() const { return m_cardState; }

private:
    std::vector<int> selectedRows() const;
    void fill();
    void updateButtons();

    feature::FeatureHost &m_host;
    calls::CallRecordList m_records;
    uint8_t m_cardState = kCardAbsent;
};
