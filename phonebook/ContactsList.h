// What the contacts window lists, without a widget: the rows of one storage or group of the
// phonebook store, narrowed by a search, sorted by a column, and the texts made from checked rows
// (recipients of a message, the tab-separated export). Also the group naming rules.
#pragma once

#include "logic/BL_Pb.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Tree node numbers: the store roots; any other node is a group id of the PC.
constexpr int PB_NODE_PC = 100;
constexpr int PB_NODE_ME = 200;
constexpr int PB_NODE_SIM = 300;

struct ContactRow {
    _MEC_CONTACT_RECORD *record = nullptr;  // the store's record, valid until its storage changes
    QString name, mobile, home, phone1, group;

    // The text of list column c (0 name ... 4 group).
    QString column(int c) const;
};

class ContactsList {
public:
    explicit ContactsList(TBL_pb &store) : m_store(store) {}

    static uint8_t storageOfNode(int node);
    // The node a storage's root has.
    static int rootOf(uint8_t storage);
    static bool isRoot(int node)
    {
        return node == PB_NODE_PC || node == PB_NODE_ME || node == PB_NODE_SIM;
    }

    // Lists every contact of a root's storage, or those of a group, then sorts.
    void fill(int node);
    // Refills from the node last filled.
    void refill() { fill(m_node); }
    // Keeps the rows whose name, text2, e-mail, mobile, home or phone 1 hold the text
    // (case-sensitive). An empty text or empty list changes nothing; returns whether it searched.
    bool search(const QString &text);
    // Makes the column the sort column, reversing the direction, and sorts.
    void sortBy(int column);

    const std::vector<ContactRow> &rows() const { return m_rows; }
    int node() const { return m_node; }
    uint8_t storage() const { return storageOfNode(m_node); }
    bool searchActive() const { return m_searchActive; }
    int sortColumn() const { return m_sortColumn; }
    int sortDirection() const { return m_direction; }

    // The mobile numbers of the rows, each followed by ";", the last ";" dropped.
    QString recipients(const std::vector<int> &rowIndexes) const;
    // The rows as text lines: name, mobile, home, phone 1, e-mail, group, tab-separated, each
    // line ending in CR LF, in the system's code page.
    QByteArray exportText(const std::vector<int> &rowIndexes) const;
    // The records of the rows (copies).
    std::vector<_MEC_CONTACT_RECORD> records(const std::vector<int> &rowIndexes) const;

    // The mobile numbers of every contact of a root's storage or a group, as for recipients.
    QString recipientsOfNode(int node) const;

    // The group's name, empty for none.
    QString groupName(int32_t groupId, uint8_t storage) const;

    // "New group", or "New group N" with the first N from 0 whose name is not taken.
    QString newGroupName(uint8_t storage) const;
    enum class Rename { Empty, Unchanged, Taken, Accepted };
    Rename checkRename(int32_t groupId, uint8_t storage, const QString &newName) const;

    // A save dialog's answer with ".txt" appended when it has another extension or none.
    static QString exportPath(const QString &chosen);

private:
    std::vector<_MEC_CONTACT_RECORD *> contactsOf(int node) const;
    ContactRow rowOf(_MEC_CONTACT_RECORD *record) const;
    void sort();

    TBL_pb &m_store;
    std::vector<ContactRow> m_rows;
    int m_node = PB_NODE_PC;
    bool m_searchActive = false;
    int m_sortColumn = 0;  // the name
    int m_direction = 1;
};
