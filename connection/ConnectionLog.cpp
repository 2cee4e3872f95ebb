#include "ConnectionLog.h"

#include "platform/Clock.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>

namespace {

const QString kNothing = QStringLiteral("________");
constexpr size_t kUserNameLimit = 39;

QString dateTimeText(const QDateTime &when)
{
    const QDate date = when.date();
    const QTime time = when.time();
    return QString::asprintf("%4d-%02d-%02d  %02d:%02d:%02d", date.year(), date.month(), date.day(),
                             time.hour(), time.minute(), time.second());
}

QDateTime startOf(const CallEntry &entry)
{
    return QDateTime(QDate(entry.when.year, entry.when.month, entry.when.day),
                     QTime(entry.when.hour, entry.when.minute, entry.when.second));
}

QString dateText(const CallEntry &entry)
{
    return QString::asprintf("%04d-%02d-%02d", entry.when.year, entry.when.month, entry.when.day);
}

QString dateText(const QDate &date)
{
    return QString::asprintf("%04d-%02d-%02d", date.year(), date.month(), date.day());
}

// A kilobyte figure as the list shows it, and read back: the totals add what the rows show.
double shownKilobytes(double bytes) { return QString::asprintf("%3.2f", bytes / 1024).toDouble(); }

ConnectionLogRow rowOf(const CallEntry &entry)
{
    ConnectionLogRow row;
    row.entry = entry;
    const QDateTime start = startOf(entry);
    row.texts[1] = platform::fromAnsi(platform::fieldText(entry.number, sizeof entry.number));
    row.texts[2] = dateTimeText(start);
    row.texts[3] = dateTimeText(start.addSecs(entry.duration));
    row.texts[4] = QString::asprintf("%02u:%02u:%02u", entry.duration / 3600,
                                     entry.duration % 3600 / 60, entry.duration % 60);
    row.texts[5] = QString::asprintf("%3.2f", entry.bytesReceived / 1024);
    row.texts[6] = QString::asprintf("%3.2f", entry.bytesSent / 1024);
    return row;
}

}  // namespace

QDate ConnectionLog::CutoffDate(const QDate &today)
{
    int year = today.year();
    int month = today.month() - 2;
    if (month < 1) {
        month += 12;
        --year;
    }
    const int day = std::min(today.day(), QDate(year, month, 1).daysInMonth());
    return QDate(year, month, day);
}

QString ConnectionLog::cutoffText() const
{
    return dateText(CutoffDate(platform::clock().localNow().date()));
}

bool ConnectionLog::AddEntry(const ConnectionLogRecord &record)
{
    if (record.durationSeconds == 0)
        return false;
    const QDateTime start = record.end.addSecs(-qint64(record.durationSeconds));
    CallEntry entry{};
    entry.reserved = sizeof(CallEntry);
    platform::copyToField(entry.number, kUserNameLimit + 1, record.userName);
    entry.duration = record.durationSeconds;
    entry.bytesSent = double(record.bytesSent);
    entry.bytesReceived = double(record.bytesReceived);
    entry.kind = kKind;
    entry.when = {uint16_t(start.date().year()),   uint16_t(start.date().month()),
                  uint16_t(start.date().day()),    uint16_t(start.time().hour()),
                  uint16_t(start.time().minute()), uint16_t(start.time().second())};
    entry.storage = kStorage;
    const bool stored = _MEC_SaveCallEntry(&entry) == 0;
    Reload();
    return stored;
}

void ConnectionLog::Reload()
{
    m_rows.clear();
    CallEntry entry{};
    entry.kind = kKind;
    entry.storage = kStorage;
    for (MEC_STATUS status = _MEC_GetFirstCallEntry(kKind, &entry); status == 0;
         status = _MEC_GetNextCallEntry(&entry))
        m_rows.push_back(rowOf(entry));
    sortRows();
}

void ConnectionLog::RemoveOldEntries()
{
    const QString cutoff = cutoffText();
    for (size_t i = m_rows.size(); i-- > 0;) {
        const CallEntry &entry = m_rows[i].entry;
        if (dateText(entry) < cutoff && _MEC_DeleteCallEntry(entry.index, entry.storage) == 0)
            m_rows.erase(m_rows.begin() + std::ptrdiff_t(i));
    }
    Reload();
}

void ConnectionLog::Open()
{
    Reload();
    RemoveOldEntries();
}

QString ConnectionLog::TotalTraffic() const
{
    const QString cutoff = cutoffText();
    double kilobytes = 0;
    for (const ConnectionLogRow &row : m_rows)
        if (dateText(row.entry) > cutoff)
            kilobytes +=
                shownKilobytes(row.entry.bytesReceived) + shownKilobytes(row.entry.bytesSent);
    return kilobytes != 0 ? QString::asprintf("%3.2f", kilobytes) : kNothing;
}

QString ConnectionLog::TotalTime() const
{
    const QString cutoff = cutoffText();
    uint64_t seconds = 0;
    for (const ConnectionLogRow &row : m_rows)
        if (dateText(row.entry) > cutoff)
            seconds += row.entry.duration;
    if (seconds == 0)
        return kNothing;
    return QString::asprintf("%llu:%02llu:%02llu", static_cast<unsigned long long>(seconds / 3600),
                             static_cast<unsigned long long>(seconds % 3600 / 60),
                             static_cast<unsigned long long>(seconds % 60));
}

void ConnectionLog::SortBy(int column)
{
    if (column < 0 || column >= kColumns)
        return;
    m_sortColumn = column;
    m_sortDirection = -m_sortDirection;
    sortRows();
}

void ConnectionLog::sortRows()
{
    const int column = m_sortColumn;
    auto compare = [column](const ConnectionLogRow &a, const ConnectionLogRow &b) -> int {
        auto sign = [](double difference) { return (difference > 0) - (difference < 0); };
        switch (column) {
        case 4: return sign(double(a.entry.duration) - double(b.entry.duration));
        case 5: return sign(a.entry.bytesReceived - b.entry.bytesReceived);
        case 6: return sign(a.entry.bytesSent - b.entry.bytesSent);
        default:
            return a.texts[size_t(column)].compare(b.texts[size_t(column)], Qt::CaseInsensitive);
        }
    };
    const int direction = m_sortDirection;
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [&](const ConnectionLogRow &a, const ConnectionLogRow &b) {
                         return compare(a, b) * direction < 0;
                     });
}

void ConnectionLog::DeleteRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (*row < 0 || size_t(*row) >= m_rows.size())
            continue;
        const CallEntry &entry = m_rows[size_t(*row)].entry;
        if (_MEC_DeleteCallEntry(entry.index, entry.storage) == 0)
            m_rows.erase(m_rows.begin() + *row);
    }
    Reload();
}

bool ConnectionLog::ClearAll()
{
    const bool cleared = _MEC_ClearCallEntries(kKind, kStorage) == 0;
    if (cleared)
        m_rows.clear();
    Reload();
    return cleared;
}
