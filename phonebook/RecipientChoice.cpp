#include "RecipientChoice.h"

#include "platform/CodePage.h"

#include <algorithm>

void RecipientChoice::Fill(TBL_pb &store, uint8_t storage)
{
    m_left.clear();
    m_right.clear();
    m_storage = storage;
    _MEC_CONTACT_RECORD *record = nullptr;
    for (uint16_t status = store.FirstContact(storage, &record); status == 0 && record;
         status = store.NextContact(storage, &record)) {
        RecipientRow row;
        row.name = platform::fromAnsi(platform::fieldText(record->name, sizeof record->name));
        for (const _MEC_CONTACT_NUMBER &slot : record->numbers)
            if (const auto number = platform::fieldText(slot.number, sizeof slot.number);
                !number.empty())
                row.numbers << platform::fromAnsi(number);
        row.phone = platform::fromAnsi(
            platform::fieldText(record->numbers[0].number, sizeof record->numbers[0].number));
        m_left.push_back(row);
    }
    std::stable_sort(m_left.begin(), m_left.end(),
                     [](const RecipientRow &a, const RecipientRow &b) {
                         return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
                     });
}

void RecipientChoice::move(std::vector<RecipientRow> &from, std::vector<RecipientRow> &to)
{
    auto checked = std::stable_partition(from.begin(), from.end(),
                                         [](const RecipientRow &row) { return !row.checked; });
    for (auto it = checked; it != from.end(); ++it) {
        it->checked = false;
        to.push_back(*it);
    }
    from.erase(checked, from.end());
}

QStringList RecipientChoice::NumbersOffered(size_t row) const
{
    return m_storage == PB_PC && row < m_left.size() ? m_left[row].numbers : QStringList();
}

QString RecipientChoice::Recipients() const
{
    QString text;
    for (const RecipientRow &row : m_right)
        text += row.phone + QLatin1Char(';');
    text.chop(1);
    return text;
}
