// What the call records page knows and decides, without a widget: the missed, received or
// dialled calls kept in the engine's PC store, one list at a time, sorted by a column, with the
// texts the page shows and what its buttons allow. The store keeps each call once, drops the
// oldest of a kind past its limit, and writes each change whole; this class never keeps a copy
// that could outlive what the store says (a new call reloads the list shown).
//
// Every call comes on the window thread.
#pragma once

#include "lumacore.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace calls {

struct CallRecordRow {
    CallEntry entry{};
    QStringList texts;  // name, number, date and time, duration
};

struct CallRecordControls {
    bool dial = false;
    bool sms = false;
    bool save = false;
    bool remove = false;
    bool clear = false;
};

class CallRecordList {
public:
    static constexpr uint8_t kStorage = 2;

    explicit CallRecordList(std::function<QString(const QString &)> lookupName);

    // Reads the kind's list (1 missed, 2 received, 3 dialled) from the store and sorts it.
    void show(uint8_t kind);
    uint8_t kind() const { return m_kind; }
    const std::vector<CallRecordRow> &rows() const { return m_rows; }

    QString title() const;
    // "12/50 dialled calls".
    QString countText() const;

    // Stores a finished call: its duration runs from `start` to `now`. A call of the kind shown
    // reloads the list. The store's status.
    uint16_t add(uint8_t kind, const QDateTime &start, const QString &number,
                 const QDateTime &now = QDateTime::currentDateTime());

    // Deletes the rows; a row whose deletion failed stays. True when some row went.
    bool remove(std::vector<int> rows);
    // Clears the list shown; false when the store refused (the list stays).
    bool clear();

    // Sorting by a column (1 name, 2 number, 3 date and time, 4 duration): a click makes it the
    // sort column and turns the direction round.
    void sortBy(int column);
    int sortColumn() const { return m_sortColumn; }

    CallRecordControls controls(size_t selected) const;
    // The numbers of the rows for a new message, ";"-separated.
    QString recipients(const std::vector<int> &rows) const;
    QString number(int row) const;

    static QString DurationText(uint32_t seconds);
    static QString WhenText(const CallEntryTime &when);

private:
    CallRecordRow rowOf(const CallEntry &entry) const;
    void sort();

    std::function<QString(const QString &)> m_lookupName;
    uint8_t m_kind = 1;
    int m_sortColumn = 3;
    int m_sortDirection = -1;
    std::vector<CallRecordRow> m_rows;
};

}  // namespace calls
