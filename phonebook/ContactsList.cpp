#include "ContactsList.h"

#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <algorithm>
#include <array>

using platform::GetLanguageString;

namespace {

QString field(const char *text, size_t size)
{
    return platform::fromAnsi(platform::fieldText(text, size));
}

template <size_t N>
QString field(const char (&text)[N])
{
    return field(text, N);
}

QString number(const _MEC_CONTACT_RECORD &record, int slot)
{
    return field(record.numbers[slot].number);
}

// Byte by byte with a-z folded to upper case; on an equal prefix the shorter first.
int compareFolded(const QString &a, const QString &b)
{
    const std::string left = platform::toAnsi(a);
    const std::string right = platform::toAnsi(b);
    const size_t common = std::min(left.size(), right.size());
    for (size_t i = 0; i < common; ++i) {
        auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
        const int l = fold(static_cast<unsigned char>(left[i]));
        const int r = fold(static_cast<unsigned char>(right[i]));
        if (l != r)
            return l < r ? -1 : 1;
    }
    return left.size() == right.size() ? 0 : (left.size() < right.size() ? -1 : 1);
}

constexpr int kGroupNameBytes = 32;
constexpr int kNewGroupText = 4082;

}  // namespace

ContactDetails DetailsOf(const _MEC_CONTACT_RECORD &record, TBL_pb *store)
{
    ContactDetails details{field(record.name),      number(record, 0),   number(record, 1),
                           number(record, 2),       field(record.email), QString(),
                           record.storage == PB_SIM};
    if (store)
        details.group =
            ContactsList(*store).groupName(static_cast<int32_t>(record.groupId), record.storage);
    return details;
}

QString ContactRow::column(int c) const
{
    switch (c) {
    case 0: return name;
    case 1: return mobile;
    case 2: return home;
    case 3: return phone1;
    default: return group;
    }
}

uint8_t ContactsList::storageOfNode(int node)
{
    return node == PB_NODE_SIM ? PB_SIM : node == PB_NODE_ME ? PB_ME : PB_PC;
}

int ContactsList::rootOf(uint8_t storage)
{
    return storage == PB_SIM ? PB_NODE_SIM : storage == PB_ME ? PB_NODE_ME : PB_NODE_PC;
}

std::vector<_MEC_CONTACT_RECORD *> ContactsList::contactsOf(int node) const
{
    std::vector<_MEC_CONTACT_RECORD *> found;
    const uint8_t storage = storageOfNode(node);
    _MEC_CONTACT_RECORD *record = nullptr;
    for (uint16_t status = m_store.FirstContact(storage, &record); status == 0 && record;
         status = m_store.NextContact(storage, &record)) {
        if (isRoot(node) || record->groupId == static_cast<uint32_t>(node))
            found.push_back(record);
    }
    return found;
}

ContactRow ContactsList::rowOf(_MEC_CONTACT_RECORD *record) const
{
    ContactRow row;
    row.record = record;
    row.name = field(record->name);
    row.mobile = number(*record, 0);
    row.home = number(*record, 1);
    row.phone1 = number(*record, 2);
    row.group = groupName(static_cast<int32_t>(record->groupId), record->storage);
    return row;
}

QString ContactsList::groupName(int32_t groupId, uint8_t storage) const
{
    _MEC_GROUP_RECORD group{};
    if (groupId == 0 || m_store.GetGroup(groupId, storage, &group) != 0)
        return {};
    return field(group.groupName);
}

void ContactsList::fill(int node)
{
    m_node = node;
    m_searchActive = false;
    m_rows.clear();
    for (_MEC_CONTACT_RECORD *record : contactsOf(node))
        m_rows.push_back(rowOf(record));
    sort();
}

bool ContactsList::search(const QString &text)
{
    if (text.isEmpty() || m_rows.empty())
        return false;
    std::erase_if(m_rows, [&](const ContactRow &row) {
        const _MEC_CONTACT_RECORD &r = *row.record;
        for (const QString &candidate :
             {row.name, field(r.text2), field(r.email), row.mobile, row.home, row.phone1})
            if (candidate.contains(text, Qt::CaseSensitive))
                return false;
        return true;
    });
    m_searchActive = true;
    return true;
}

void ContactsList::sortBy(int column)
{
    m_direction = -m_direction;
    m_sortColumn = column;
    sort();
}

void ContactsList::sort()
{
    std::stable_sort(
        m_rows.begin(), m_rows.end(), [this](const ContactRow &a, const ContactRow &b) {
            return compareFolded(a.column(m_sortColumn), b.column(m_sortColumn)) * m_direction < 0;
        });
}

QString ContactsList::recipients(const std::vector<int> &rowIndexes) const
{
    QString text;
    for (int i : rowIndexes)
        text += m_rows.at(static_cast<size_t>(i)).mobile + QLatin1Char(';');
    text.chop(1);
    return text;
}

QString ContactsList::recipientsOfNode(int node) const
{
    QString text;
    for (_MEC_CONTACT_RECORD *record : contactsOf(node))
        text += number(*record, 0) + QLatin1Char(';');
    text.chop(1);
    return text;
}

QByteArray ContactsList::exportText(const std::vector<int> &rowIndexes) const
{
    QByteArray text;
    for (int i : rowIndexes) {
        const ContactRow &row = m_rows.at(static_cast<size_t>(i));
        QStringList fields;
        fields << row.name << row.mobile << row.home << row.phone1 << field(row.record->email)
               << row.group;
        const QString line = fields.join(QLatin1Char('\t'));
        text += QByteArray::fromStdString(platform::toAnsi(line)) + "\r\n";
    }
    return text;
}

std::vector<_MEC_CONTACT_RECORD> ContactsList::records(const std::vector<int> &rowIndexes) const
{
    std::vector<_MEC_CONTACT_RECORD> copies;
    for (int i : rowIndexes)
        copies.push_back(*m_rows.at(static_cast<size_t>(i)).record);
    return copies;
}

QString ContactsList::newGroupName(uint8_t storage) const
{
    std::array<_MEC_GROUP_RECORD, PB_PC_GROUP_ROOM> groups{};
    const int count = m_store.ListGroups(storage, groups.data(), groups.size());
    auto taken = [&](const QString &name) {
        const std::string ansi = platform::toAnsi(name);
        return std::any_of(groups.begin(), groups.begin() + count, [&](const _MEC_GROUP_RECORD &g) {
            return platform::fieldText(g.groupName, sizeof g.groupName) ==
                   platform::truncateAnsi(ansi, kGroupNameBytes);
        });
    };
    const QString base = GetLanguageString(kNewGroupText);
    QString name = base;
    for (int n = 0; taken(name); ++n)
        name = base + QStringLiteral(" %1").arg(n);
    return platform::fromAnsi(platform::truncateAnsi(platform::toAnsi(name), kGroupNameBytes));
}

ContactsList::Rename ContactsList::checkRename(int32_t groupId, uint8_t storage,
                                               const QString &newName) const
{
    if (newName.isEmpty())
        return Rename::Empty;
    if (groupName(groupId, storage) == newName)
        return Rename::Unchanged;
    std::array<_MEC_GROUP_RECORD, PB_PC_GROUP_ROOM> groups{};
    const int count = m_store.ListGroups(storage, groups.data(), groups.size());
    const std::string ansi(platform::truncateAnsi(platform::toAnsi(newName), kGroupNameBytes));
    for (int i = 0; i < count; ++i)
        if (groups[static_cast<size_t>(i)].groupId != groupId &&
            platform::fieldText(groups[static_cast<size_t>(i)].groupName, 33) == ansi)
            return Rename::Taken;
    return Rename::Accepted;
}

QString ContactsList::exportPath(const QString &chosen)
{
    if (chosen.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".txt");
}
