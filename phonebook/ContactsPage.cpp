#include "ContactsPage.h"

#include "logic/BL_PbVCard.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <QSaveFile>

using platform::GetLanguageString;

namespace {

constexpr size_t kGroupsListed = 200;
constexpr uint16_t kGroupTableFull = 17;
constexpr int kGroupNameBytes = 32;
constexpr uint8_t kGroupRecordSize = 42;

}  // namespace

ContactsPage::ContactsPage(PbStoreSource store, PagePrompts prompts)
    : m_storeSource(std::move(store)), m_prompts(std::move(prompts))
{
}

ContactsList *ContactsPage::list()
{
    TBL_pb *pb = store();
    if (!pb)
        m_list.reset();
    else if (!m_list)
        m_list = std::make_unique<ContactsList>(*pb);
    return m_list.get();
}

std::vector<_MEC_CONTACT_RECORD> ContactsPage::records(const std::vector<int> &rows)
{
    return list() ? m_list->records(rows) : std::vector<_MEC_CONTACT_RECORD>();
}

const _MEC_CONTACT_RECORD *ContactsPage::onlyRecord(const std::vector<int> &rows)
{
    return rows.size() == 1 && list() ? m_list->rows().at(static_cast<size_t>(rows.front())).record
                                      : nullptr;
}

bool ContactsPage::LoadSim()
{
    TBL_pb *pb = store();
    const bool loaded = pb && pb->ReloadStore(PB_SIM) == 0;
    m_simLoaded = m_simLoaded || loaded;
    return loaded;
}

void ContactsPage::SetSimUsable(bool usable)
{
    m_simUsable = usable;
    if (!usable)
        m_simLoaded = false;
}

ContactsPage::SimRetry ContactsPage::RetrySim()
{
    if (!m_simUsable)
        return SimRetry::Unusable;
    return !m_simLoaded && LoadSim() ? SimRetry::Loaded : SimRetry::Again;
}

bool ContactsPage::canShow(int node) const
{
    return m_simUsable || ContactsList::storageOfNode(node) == PB_PC;
}

std::vector<TreeNode> ContactsPage::Tree() const
{
    std::vector<TreeNode> nodes{{PB_NODE_PC, GetLanguageString(text::kPbStorePC), false}};
    if (TBL_pb *pb = store()) {
        std::vector<_MEC_GROUP_RECORD> groups(kGroupsListed);
        const int count = pb->ListGroups(PB_PC, groups.data(), groups.size());
        for (int i = 0; i < count; ++i) {
            const _MEC_GROUP_RECORD &group = groups[static_cast<size_t>(i)];
            nodes.push_back(
                {group.groupId,
                 platform::fromAnsi(platform::fieldText(group.groupName, sizeof group.groupName)),
                 true});
        }
    }
    if (simLoaded())
        nodes.push_back({PB_NODE_SIM, GetLanguageString(text::kPbStoreSIM), false});
    return nodes;
}

int ContactsPage::StartNode() const
{
    TBL_pb *pb = store();
    FieldLimits limits{};
    if (pb)
        pb->GetContactLimits(PB_SIM, CODING_8BIT, &limits);
    const bool simRoom = pb && pb->ContactCount(PB_SIM) < limits.values[FIELD_LIMIT_CAPACITY];
    return simLoaded() && simRoom ? PB_NODE_SIM : PB_NODE_PC;
}

PageControls ContactsPage::Controls(size_t checked, size_t rows, int clipboardMode) const
{
    constexpr int kCopy = 1, kCut = 2, kEmpty = 3;
    PageControls controls;
    controls.oneChecked = checked == 1;
    controls.someChecked = checked > 0;
    controls.anyRows = rows > 0;
    controls.pasteEnabled = clipboardMode != kEmpty;
    controls.pasteShown = clipboardMode == kCopy || clipboardMode == kCut;
    controls.import = store() != nullptr;
    return controls;
}

PageControls ContactsPage::GroupControls(int node)
{
    PageControls controls;
    controls.newGroup = ContactsList::storageOfNode(node) == PB_PC;
    controls.changeGroup = controls.newGroup && !ContactsList::isRoot(node);
    return controls;
}

QString ContactsPage::SumTips(size_t rows) const
{
    return FormatText(text::kPbListed, {QString::number(rows)});
}

QString ContactsPage::StorageInfo(uint8_t storage) const
{
    TBL_pb *pb = store();
    const bool known = pb && (storage != PB_SIM || simLoaded());
    FieldLimits limits{};
    if (known)
        pb->GetContactLimits(storage, CODING_8BIT, &limits);
    return FormatText(text::kPbStorageInfo,
                      {StorageName(storage), QString::number(known ? pb->ContactCount(storage) : 0),
                       QString::number(known ? limits.values[FIELD_LIMIT_CAPACITY] : 0)});
}

void ContactsPage::CheckPcStore()
{
    TBL_pb *pb = store();
    if (!pb || pb->PcStoreStatus() == 0 || pb->PcStoreStatus() == PB_END)
        return;
    // Maybe it can be used again (the other program let go of it).
    const uint16_t status = pb->ReloadStore(PB_PC);
    if (status == 0 || status == PB_END) {
        m_pcStoreProblem.clear();
        return;
    }
    const QString problem = platform::fromAnsi(pb->StoreProblem(status));
    if (problem == m_pcStoreProblem)
        return;
    m_pcStoreProblem = problem;
    m_prompts.warn(FormatText(text::kPbStoreUnusable, {problem}));
}

// Groups -----------------------------------------------------------------------------------------

std::optional<int32_t> ContactsPage::NewGroup(int selectedNode)
{
    TBL_pb *pb = store();
    if (!pb || !list() || ContactsList::storageOfNode(selectedNode) != PB_PC)
        return std::nullopt;
    _MEC_GROUP_RECORD group{};
    group.reserved = kGroupRecordSize;
    group.storage = PB_PC;
    platform::copyToField(group.groupName, sizeof group.groupName,
                          platform::toAnsi(m_list->newGroupName(PB_PC)));
    const uint16_t status = pb->AddGroup(group);
    if (status == kGroupTableFull)
        m_prompts.warn(FormatText(text::kPbGroupsFull, {StorageName(PB_PC)}));
    if (status != 0)
        return std::nullopt;
    return group.groupId;
}

std::optional<ContactsPage::Renamed> ContactsPage::RenameGroup(int node, const QString &newName)
{
    TBL_pb *pb = store();
    if (!pb || !list() || ContactsList::isRoot(node))
        return std::nullopt;
    const Renamed kept{m_list->groupName(node, PB_PC), false};
    switch (m_list->checkRename(node, PB_PC, newName)) {
    case ContactsList::Rename::Unchanged: return std::nullopt;
    case ContactsList::Rename::Empty:
        m_prompts.warn(GetLanguageString(text::kPbGroupNameEmpty));
        return kept;
    case ContactsList::Rename::Taken:
        m_prompts.warn(GetLanguageString(text::kPbGroupTaken));
        return kept;
    case ContactsList::Rename::Accepted: break;
    }
    _MEC_GROUP_RECORD group{};
    group.reserved = kGroupRecordSize;
    group.groupId = node;
    group.storage = PB_PC;
    const std::string ansi(platform::truncateAnsi(platform::toAnsi(newName), kGroupNameBytes));
    platform::copyToField(group.groupName, sizeof group.groupName, ansi);
    if (pb->RenameGroup(group) != 0)
        return kept;
    return Renamed{platform::fromAnsi(ansi), true};
}

bool ContactsPage::DeleteGroup(int node)
{
    TBL_pb *pb = store();
    if (!pb || !list())
        return false;
    if (ContactsList::isRoot(node)) {
        m_prompts.warn(GetLanguageString(text::kPbRootNotDeleted));
        return false;
    }
    if (!m_prompts.ask(FormatText(text::kPbDeleteGroupConfirm, {m_list->groupName(node, PB_PC)})))
        return false;
    if (pb->DeleteGroup(node, PB_PC) != 0)
        return false;
    pb->DeleteGroupContacts(node, PB_PC);
    return true;
}

// Files ------------------------------------------------------------------------------------------

void ContactsPage::ExportText(const std::vector<int> &rows)
{
    if (!list() || rows.empty())
        return;
    const QString chosen = m_prompts.chooseFile(true, GetLanguageString(text::kPbExport),
                                                QStringLiteral("phonebook.txt"),
                                                GetLanguageString(text::kPbTextFilter));
    if (chosen.isEmpty())
        return;
    QSaveFile file(ContactsList::exportPath(chosen));
    if (!file.open(QIODevice::WriteOnly) || file.write(m_list->exportText(rows)) < 0 ||
        !file.commit())
        m_prompts.warn(file.errorString());
}

void ContactsPage::ExportVCards(const std::vector<int> &rows)
{
    TBL_pb *pb = store();
    if (!pb || !list() || rows.empty())
        return;
    QString path = m_prompts.chooseFile(true, GetLanguageString(text::kPbExportVCard),
                                        QStringLiteral("contacts.vcf"),
                                        GetLanguageString(text::kPbVCardFilter));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".vcf"), Qt::CaseInsensitive))
        path += QStringLiteral(".vcf");
    QString error;
    if (ExportVCardFile(path, m_list->records(rows), *pb, &error) != 0)
        m_prompts.warn(error);
}

bool ContactsPage::ImportVCards()
{
    TBL_pb *pb = store();
    if (!pb)
        return false;
    const QString path = m_prompts.chooseFile(false, GetLanguageString(text::kPbImportVCard),
                                              QString(), GetLanguageString(text::kPbVCardFilter));
    if (path.isEmpty())
        return false;
    const VCardImportReport report = ImportVCardFile(path, *pb);
    if (report.status == 1) {
        m_prompts.warn(report.error);
        return false;
    }
    QString text = FormatText(text::kPbImported,
                              {QString::number(report.taken), QString::number(report.found)});
    if (report.status == PB_PC_FULL)
        text += QLatin1Char('\n') + FormatText(text::kPbStoreFull, {StorageName(PB_PC)});
    auto addLines = [&](int caption, const std::vector<std::string> &lines) {
        if (lines.empty())
            return;
        text += QLatin1Char('\n') + GetLanguageString(caption);
        for (const std::string &line : lines)
            text += QStringLiteral("\n  ") + QString::fromStdString(line);
    };
    addLines(text::kPbImportCut, report.cut);
    addLines(text::kPbImportLeft, report.left);
    m_prompts.inform(text);
    return true;
}
