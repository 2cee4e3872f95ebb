// The message list without a widget: which folder of which storage it shows, its rows newest
// first, the five cells of a row, what the buttons may do in a card state, and the checks an
// action makes on the selection before it runs.
#pragma once

#include "SmsStoreAccess.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class SmsListModel {
public:
    enum Column { NumberColumn, NameColumn, TimeColumn, StatusColumn, PartsColumn, ColumnCount };
    // The actions that take the selected rows.
    enum Action { Open, Reply, Forward, SaveNumber, Delete, MoveAcross };

    explicit SmsListModel(SmsStoreAccess &store) : m_store(store) {}

    // Folder 1-3 and storage SIM (0) or PC (2). Nothing shown before the first call.
    void SetFilter(uint8_t folder, uint8_t storage);
    uint8_t folder() const { return m_folder; }
    uint8_t storage() const { return m_storage; }
    bool Shows(uint8_t folder, uint8_t storage) const
    {
        return folder == m_folder && storage == m_storage;
    }
    // The caption of the folder shown (text::kSmsInbox, kSmsSent or kSmsDrafts).
    int Caption() const;

    // Reads the rows again from the store, newest first.
    void Refresh();
    const std::vector<SmsItem> &rows() const { return m_rows; }
    // The row's item was marked read: its status cell goes blank.
    void MarkedRead(size_t row);

    static QStringList Cells(const SmsItem &item);

    // What the buttons may do in this card state, for the folder shown.
    struct Buttons {
        bool reply = false;
        bool forward = false;
        bool move = false;
        bool storageChoice = false;
    };
    Buttons ButtonsFor(uint8_t cardState) const;
    // A card state other than SIM ready: the SIM and the card's own memory cannot be shown. True
    // when the list showed one of them and has switched to the PC (the caller shows it again).
    bool LeaveSimUnlessReady(uint8_t cardState);

    // 0 when the action may run on that many selected rows, else the text that says why not.
    static int SelectionProblem(Action action, size_t selected);

private:
    SmsStoreAccess &m_store;
    uint8_t m_folder = 0;
    uint8_t m_storage = SMS_STORE_PC;
    std::vector<SmsItem> m_rows;
};
