#include "CallRecordList.h"

#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <algorithm>

using platform::GetLanguageString;

namespace calls {

namespace {

// What the page shows as the limit of a list; the store's own limit is the same.
constexpr int kShownLimit = 50;

// Byte by byte, a-z folded to upper case; on an equal prefix the shorter first.
int compareTexts(const QString &a, const QString &b)
{
    const std::string x = platform::toAnsi(a);
    const std::string y = platform::toAnsi(b);
    const size_t common = std::min(x.size(), y.size());
    for (size_t i = 0; i < common; ++i) {
        auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
        const int d = fold(static_cast<unsigned char>(x[i])) - fold(static_cast<unsigned char>(y[i]));
        if (d != 0)
            return d < 0 ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

}  // namespace

CallRecordList::CallRecordList(std::function<QString(const QString &)> lookupName)
    : m_lookupName(std::move(lookupName))
{
}

QString CallRecordList::DurationText(uint32_t seconds)
{
    return QString::asprintf("%02u:%02u:%02u", seconds / 3600, (seconds % 3600) / 60,
                             seconds % 60);
}

QString CallRecordList::WhenText(const CallEntryTime &when)
{
    return QString::asprintf("%04d-%02d-%02d  %02d:%02d:%02d", when.year, when.month, when.day,
                             when.hour, when.minute, when.second);
}

CallRecordRow CallRecordList::rowOf(const CallEntry &entry) const
{
    CallRecordRow row;
    row.entry = entry;
    const QString number = platform::fromAnsi(platform::fieldText(entry.number, sizeof entry.number));
    const QString name = number.isEmpty() ? GetLanguageString(5015)
                         : m_lookupName ? m_lookupName(number)
                                        : QString();
    row.texts = {name, number, WhenText(entry.when), DurationText(entry.duration)};
    return row;
}

void CallRecordList::show(uint8_t kind)
{
    m_kind = kind;
    m_rows.clear();
    CallEntry entry{};
    entry.kind = kind;
    entry.storage = kStorage;
    for (uint16_t status = _MEC_GetFirstCallEntry(kind, &entry); status == 0;
         status = _MEC_GetNextCallEntry(&entry)) {
        // The store numbers its entries from 1; an entry without a number, or the same one
        // again, is the end of what it holds.
        if (entry.index == 0 || (!m_rows.empty() && m_rows.back().entry.index == entry.index))
            break;
        m_rows.push_back(rowOf(entry));
        if (m_rows.size() > 10 * kShownLimit)
            break;
    }
    sort();
}

QString CallRecordList::title() const
{
    return GetLanguageString(m_kind == 2 ? 7014 : m_kind == 3 ? 7015 : 7013);
}

QString CallRecordList::countText() const
{
    const int what = m_kind == 2 ? 7017 : m_kind == 3 ? 7016 : 7018;
    return QStringLiteral("%1/%2 ").arg(_MEC_GetCallEntryCount(m_kind, kStorage)).arg(kShownLimit) +
           GetLanguageString(what);
}

uint16_t CallRecordList::add(uint8_t kind, const QDateTime &start, const QString &number,
                          const QDateTime &now)
{
    CallEntry entry{};
    entry.kind = kind;
    entry.storage = kStorage;
    const qint64 seconds = start.isValid() ? start.secsTo(now) : 0;
    entry.duration = static_cast<uint32_t>(std::max<qint64>(seconds, 0));
    const QDate date = start.isValid() ? start.date() : now.date();
    const QTime time = start.isValid() ? start.time() : now.time();
    entry.when = {static_cast<uint16_t>(date.year()),   static_cast<uint16_t>(date.month()),
                  static_cast<uint16_t>(date.day()),    static_cast<uint16_t>(time.hour()),
                  static_cast<uint16_t>(time.minute()), static_cast<uint16_t>(time.second())};
    platform::copyToField(entry.number, sizeof entry.number, platform::toAnsi(number));
    const uint16_t status = _MEC_SaveCallEntry(&entry);
    // The store may have dropped its oldest entry for this one: read the list again rather
    // than add a row beside a row that is gone.
    if (status == 0 && kind == m_kind)
        show(m_kind);
    return status;
}

bool CallRecordList::remove(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    bool removed = false;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 0 || *it >= static_cast<int>(m_rows.size()))
            continue;
        const CallEntry &entry = m_rows[static_cast<size_t>(*it)].entry;
        if (_MEC_DeleteCallEntry(entry.index, entry.storage) == 0) {
            m_rows.erase(m_rows.begin() + *it);
            removed = true;
        }
    }
    return removed;
}

bool CallRecordList::clear()
{
    if (_MEC_ClearCallEntries(m_kind, kStorage) != 0)
        return false;
    m_rows.clear();
    return true;
}

void CallRecordList::sortBy(int column)
{
    if (column < 1 || column > 4)
        return;
    m_sortColumn = column;
    m_sortDirection = -m_sortDirection;
    sort();
}

void CallRecordList::sort()
{
    const int column = m_sortColumn - 1;
    const int direction = m_sortDirection;
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [column, direction](const CallRecordRow &a, const CallRecordRow &b) {
                         return compareTexts(a.texts[column], b.texts[column]) * direction < 0;
                     });
}

CallRecordControls CallRecordList::controls(size_t selected) const
{
    CallRecordControls c;
    if (m_rows.empty())
        return c;
    c.clear = true;
    c.sms = c.remove = selected >= 1;
    c.dial = c.save = selected == 1;
    return c;
}

QString CallRecordList::number(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    return m_rows[static_cast<size_t>(row)].texts[1];
}

QString CallRecordList::recipients(const std::vector<int> &rows) const
{
    QStringList numbers;
    for (int row : rows)
        if (const QString n = number(row); !n.isEmpty())
            numbers << n;
    return numbers.join(';');
}

}  // namespace calls
