#include "SmsListModel.h"

#include "logic/EngineValues.h"

#include "SmsTexts.h"

#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <algorithm>

void SmsListModel::SetFilter(uint8_t folder, uint8_t storage)
{
    m_folder = folder;
    m_storage = storage;
}

int SmsListModel::Caption() const
{
    switch (m_folder) {
    case SMS_FOLDER_SENT: return text::kSmsSent;
    case SMS_FOLDER_DRAFTS: return text::kSmsDrafts;
    default: return text::kSmsInbox;
    }
}

void SmsListModel::Refresh()
{
    m_rows =
        m_folder == SMS_FOLDER_ALL ? std::vector<SmsItem>() : m_store.Walk(m_folder, m_storage);
    // Newest first: the time texts ("2026-12-08  10:00:00") sort as they read; rows without a
    // time (drafts never sent) go last, in store order.
    std::stable_sort(m_rows.begin(), m_rows.end(), [](const SmsItem &a, const SmsItem &b) {
        const QString left = SmsFieldText(a.time, sizeof a.time);
        const QString right = SmsFieldText(b.time, sizeof b.time);
        return left.compare(right, Qt::CaseInsensitive) > 0;
    });
}

void SmsListModel::MarkedRead(size_t row)
{
    if (row < m_rows.size())
        m_rows[row].status = SMS_STATUS_READ;
}

QStringList SmsListModel::Cells(const SmsItem &item)
{
    QStringList cells;
    cells << SmsFieldText(item.number, sizeof item.number)
          << SmsFieldText(item.contactName, sizeof item.contactName)
          << SmsTimeText(item)
          << (item.status == SMS_STATUS_UNREAD ? platform::GetLanguageString(text::kNew)
                                               : QString());
    const int used = item.usedSlots();
    cells << (item.longMessage != 0 && used > 0
                  ? QStringLiteral("%1/%2").arg(used).arg(int(item.partCount))
                  : QString());
    return cells;
}

SmsListModel::Buttons SmsListModel::ButtonsFor(uint8_t cardState) const
{
    Buttons buttons;
    if (cardState != kSimReady)
        return buttons;
    buttons.storageChoice = true;
    buttons.reply = m_folder == SMS_FOLDER_INBOX;
    buttons.forward = m_folder == SMS_FOLDER_INBOX || m_folder == SMS_FOLDER_SENT;
    buttons.move = buttons.forward;
    return buttons;
}

bool SmsListModel::LeaveSimUnlessReady(uint8_t cardState)
{
    if (cardState == kSimReady || m_storage == SMS_STORE_PC)
        return false;
    m_storage = SMS_STORE_PC;
    return true;
}

int SmsListModel::SelectionProblem(Action action, size_t selected)
{
    if (selected == 0)
        return text::kSmsSelectFirst;
    if (selected == 1)
        return 0;
    switch (action) {
    case Open: return text::kSmsOneToRead;
    case Reply: return text::kSmsOneToReply;
    case Forward: return text::kSmsOneToForward;
    case SaveNumber: return text::kSmsOneToSaveNumber;
    case Delete:
    case MoveAcross: return 0;
    }
    return 0;
}
