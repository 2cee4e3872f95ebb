// The connection log without its window: entries of kind 4 in the engine's call-entry store,
// listed with their texts, totalled, sorted, deleted and cleared, and kept to the last two
// months.
#pragma once

#include "DataConnection.h"

#include <lumacore.h>

#include <QDate>
#include <QString>

#include <array>
#include <vector>

struct ConnectionLogRow {
    CallEntry entry{};
    // Column texts: 0 (hidden, empty), user, start, end, duration, downloaded KB, uploaded KB.
    std::array<QString, 7> texts;
};

class ConnectionLog {
public:
    static constexpr uint8_t kKind = 4;
    static constexpr uint8_t kStorage = 2;
    static constexpr int kColumns = 7;

    // Today moved back two months; a day the month lacks becomes the month's last day.
    static QDate CutoffDate(const QDate &today);

    // Stores a finished connection (nothing for one shorter than a second) and reloads.
    // Whether the engine stored it.
    bool AddEntry(const ConnectionLogRecord &record);
    // Reload, remove the entries from before the cutoff, reload: what opening the log does.
    void Open();
    void Reload();
    void RemoveOldEntries();

    // "________" when there is nothing to add up.
    QString TotalTraffic() const;
    QString TotalTime() const;

    // A click on a column header: that column, the other direction.
    void SortBy(int column);
    int sortColumn() const { return m_sortColumn; }
    int sortDirection() const { return m_sortDirection; }

    // Deletes the rows (indices into rows()); a row whose entry the engine keeps stays. Reloads.
    void DeleteRows(std::vector<int> rows);
    // Clears every entry; false (the list kept) when the engine refuses.
    bool ClearAll();

    const std::vector<ConnectionLogRow> &rows() const { return m_rows; }

private:
    void sortRows();
    QString cutoffText() const;

    std::vector<ConnectionLogRow> m_rows;
    int m_sortColumn = 1;
    int m_sortDirection = 1;
};
