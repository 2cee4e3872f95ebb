// The contacts page's runs over many contacts (delete, copy / cut / paste, drag), its PC groups
// and its files (text export, vCards).
#include "UI_Contacts.h"

#include "UI_CopyTips.h"

#include "logic/BL_PbVCard.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QSaveFile>

using platform::GetLanguageString;

namespace {

constexpr uint16_t kGroupTableFull = 17;
constexpr size_t kProgressAbove = 2;  // runs of more contacts show the progress window
constexpr int kGroupNameBytes = 32;
constexpr uint8_t kGroupRecordSize = 42;

uint8_t storageOfFullCode(uint16_t code)
{
    return code == PB_SIM_FULL ? PB_SIM : code == PB_ME_FULL ? PB_ME : PB_PC;
}

bool sameContact(const _MEC_CONTACT_RECORD &a, const _MEC_CONTACT_RECORD &b)
{
    return a.storage == b.storage && a.index == b.index;
}

}  // namespace

PhonebookTransfer::Callbacks TFrmContacts::progressCallbacks()
{
    PhonebookTransfer::Callbacks callbacks;
    callbacks.progress = [this](int percent) {
        if (TFrmCopyTips *tips = copyTips())
            tips->SetProgress(percent);
    };
    callbacks.stopRequested = [this] {
        TFrmCopyTips *tips = copyTips();
        return tips && tips->isVisible() && tips->StopPressed();
    };
    callbacks.confirmPcToSim = [this] { return ask(GetLanguageString(text::kPbPcToSim)); };
    return callbacks;
}

void TFrmContacts::DeleteChecked()
{
    TBL_pb *pb = store();
    const std::vector<int> rows = checkedRows();
    if (!pb || !m_list || rows.empty() || !ask(GetLanguageString(text::kPbDeleteConfirm)))
        return;
    const std::vector<_MEC_CONTACT_RECORD> records = m_list->records(rows);
    m_host.setBusy(true);
    TFrmCopyTips *tips = copyTips();
    if (tips && records.size() > kProgressAbove)
        tips->Open(GetLanguageString(text::kPbDeleting), {this, m_host.dialogOwner()});
    PhonebookTransfer transfer(*pb, progressCallbacks());
    const PhonebookTransfer::Result result = transfer.Delete(records);
    if (tips)
        tips->Finish();
    m_host.setBusy(false);
    // What was deleted can no longer be pasted.
    auto gone = [&](const _MEC_CONTACT_RECORD &kept) {
        _MEC_CONTACT_RECORD *still = nullptr;
        for (uint16_t s = pb->FirstContact(kept.storage, &still); s == 0 && still;
             s = pb->NextContact(kept.storage, &still))
            if (sameContact(*still, kept))
                return false;
        return true;
    };
    std::erase_if(m_clipboard, gone);
    std::erase_if(m_sourcesLeft, gone);
    if (m_clipboard.empty() && m_sourcesLeft.empty())
        m_clipboardMode = Empty;
    // Stopped, or the card went away half-way: the person learns how far it got.
    if (result.stopped || result.cardGone)
        warn(FormatText(text::kPbStopped, {QString::number(result.done)}));
    Refresh();
}

void TFrmContacts::CopyChecked(ClipboardMode mode)
{
    const std::vector<int> rows = checkedRows();
    if (!m_list || rows.empty())
        return;
    m_clipboard = m_list->records(rows);
    m_sourcesLeft.clear();
    m_clipboardMode = mode;
    updateControls();
}

PhonebookTransfer::Result TFrmContacts::paste(const std::vector<_MEC_CONTACT_RECORD> &records,
                                           PhonebookTransfer::Mode mode, int node)
{
    TBL_pb *pb = store();
    if (!pb)
        return {};
    const uint8_t storage = ContactsList::storageOfNode(node);
    m_host.setBusy(true);
    TFrmCopyTips *tips = copyTips();
    if (tips && records.size() > kProgressAbove)
        tips->Open(GetLanguageString(mode == PhonebookTransfer::PB_PASTE_CUT ? text::kPbMoving
                                                                          : text::kPbCopying),
                   {this, m_host.dialogOwner()});
    PhonebookTransfer transfer(*pb, progressCallbacks());
    const PhonebookTransfer::Result result =
        transfer.Paste(records, mode, storage, ContactsList::isRoot(node) ? -1 : node);
    if (tips)
        tips->Finish();
    m_host.setBusy(false);
    return result;
}

void TFrmContacts::reportPaste(const PhonebookTransfer::Result &result, bool cut, size_t total)
{
    const QString summary =
        FormatText(cut ? text::kPbMoved : text::kPbCopied, {QString::number(result.done)});
    if (static_cast<size_t>(result.done) >= total || (result.stopped && result.done == 0))
        return;
    if (result.stoppedFull)
        warn(FormatText(text::kPbStoreFull, {StorageName(storageOfFullCode(result.lastFailure))}));
    else if (result.stopped)
        warn(FormatText(text::kPbStopped, {QString::number(result.done)}));
    else if (!result.splitForSim)
        warn(summary);
}

void TFrmContacts::Paste()
{
    if (m_clipboardMode != CopyMode && m_clipboardMode != CutMode)
        return;
    const bool cut = m_clipboardMode == CutMode;
    TBL_pb *pb = store();
    if (!pb)
        return;
    // A cut stopped half-way first removes the sources of what it had already written.
    int finished = 0;
    if (cut && !m_sourcesLeft.empty()) {
        m_host.setBusy(true);
        PhonebookTransfer transfer(*pb, {});
        const PhonebookTransfer::Result removed = transfer.Delete(m_sourcesLeft);
        m_host.setBusy(false);
        finished = removed.done;
        m_sourcesLeft = removed.sourcesLeft;
    }
    const size_t total = m_clipboard.size();
    PhonebookTransfer::Result result =
        paste(m_clipboard, cut ? PhonebookTransfer::PB_PASTE_CUT : PhonebookTransfer::PB_PASTE_COPY,
              selectedNode());
    if (cut) {
        // What moved is gone from the clipboard: pasting again moves only the rest.
        m_clipboard = result.notMoved;
        m_sourcesLeft.insert(m_sourcesLeft.end(), result.sourcesLeft.begin(),
                             result.sourcesLeft.end());
        if (m_clipboard.empty() && m_sourcesLeft.empty())
            m_clipboardMode = Empty;
    }
    result.done += finished;
    reportPaste(result, cut, total + static_cast<size_t>(finished));
    Refresh();
}

void TFrmContacts::DropOn(int node)
{
    if (!m_list || (!m_simUsable && ContactsList::storageOfNode(node) != PB_PC))
        return;
    const std::vector<_MEC_CONTACT_RECORD> dragged = m_list->records(checkedRows());
    if (dragged.empty())
        return;
    const int listNode = m_list->node();
    const PhonebookTransfer::Result result = paste(dragged, PhonebookTransfer::PB_PASTE_DRAG, node);
    reportPaste(result, false, dragged.size());
    m_clipboard.clear();
    m_clipboardMode = Empty;
    SelectNode(listNode);
}

// Groups -----------------------------------------------------------------------------------------

void TFrmContacts::NewGroup()
{
    TBL_pb *pb = store();
    if (!pb || !m_list || ContactsList::storageOfNode(selectedNode()) != PB_PC)
        return;
    _MEC_GROUP_RECORD group{};
    group.reserved = kGroupRecordSize;
    group.storage = PB_PC;
    platform::copyToField(group.groupName, sizeof group.groupName,
                          platform::toAnsi(m_list->newGroupName(PB_PC)));
    const uint16_t status = pb->AddGroup(group);
    if (status == kGroupTableFull)
        return warn(FormatText(text::kPbGroupsFull, {StorageName(PB_PC)}));
    if (status != 0)
        return;
    rebuildTree();
    if (QTreeWidgetItem *added = nodeItem(group.groupId)) {
        TvPC->setCurrentItem(added);
        TvPC->editItem(added);
    }
}

void TFrmContacts::RenameGroup(int node, const QString &newName)
{
    TBL_pb *pb = store();
    if (!pb || !m_list || ContactsList::isRoot(node))
        return;
    QTreeWidgetItem *item = nodeItem(node);
    const QString oldName = m_list->groupName(node, PB_PC);
    auto restore = [&] {
        if (item) {
            const QSignalBlocker quiet(TvPC);
            item->setText(0, oldName);
        }
    };
    switch (m_list->checkRename(node, PB_PC, newName)) {
    case ContactsList::Rename::Unchanged: return;
    case ContactsList::Rename::Empty:
        warn(GetLanguageString(text::kPbGroupNameEmpty));
        return restore();
    case ContactsList::Rename::Taken:
        warn(GetLanguageString(text::kPbGroupTaken));
        return restore();
    case ContactsList::Rename::Accepted: break;
    }
    _MEC_GROUP_RECORD group{};
    group.reserved = kGroupRecordSize;
    group.groupId = node;
    group.storage = PB_PC;
    const std::string ansi(platform::truncateAnsi(platform::toAnsi(newName), kGroupNameBytes));
    platform::copyToField(group.groupName, sizeof group.groupName, ansi);
    if (pb->RenameGroup(group) != 0)
        return restore();
    if (item) {
        const QSignalBlocker quiet(TvPC);
        item->setText(0, platform::fromAnsi(ansi));
    }
    if (selectedNode() == node)
        Refresh();
}

void TFrmContacts::DeleteGroup(int node)
{
    TBL_pb *pb = store();
    if (!pb || !m_list)
        return;
    if (ContactsList::isRoot(node))
        return warn(GetLanguageString(text::kPbRootNotDeleted));
    if (!ask(FormatText(text::kPbDeleteGroupConfirm, {m_list->groupName(node, PB_PC)})))
        return;
    if (pb->DeleteGroup(node, PB_PC) != 0)
        return;
    pb->DeleteGroupContacts(node, PB_PC);
    rebuildTree();
}

// Files ------------------------------------------------------------------------------------------

void TFrmContacts::ExportText()
{
    const std::vector<int> rows = checkedRows();
    if (!m_list || rows.empty())
        return;
    const QString chosen = platform::getSaveFileName(
        m_host.dialogOwner(), GetLanguageString(text::kPbExport), QStringLiteral("phonebook.txt"),
        GetLanguageString(text::kPbTextFilter));
    if (chosen.isEmpty())
        return;
    QSaveFile file(ContactsList::exportPath(chosen));
    if (!file.open(QIODevice::WriteOnly) || file.write(m_list->exportText(rows)) < 0 ||
        !file.commit())
        warn(file.errorString());
}

void TFrmContacts::ExportVCards()
{
    TBL_pb *pb = store();
    const std::vector<int> rows = checkedRows();
    if (!pb || !m_list || rows.empty())
        return;
    QString path = platform::getSaveFileName(
        m_host.dialogOwner(), GetLanguageString(text::kPbExportVCard),
        QStringLiteral("contacts.vcf"), GetLanguageString(text::kPbVCardFilter));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".vcf"), Qt::CaseInsensitive))
        path += QStringLiteral(".vcf");
    QString error;
    if (ExportVCardFile(path, m_list->records(rows), *pb, &error) != 0)
        warn(error);
}

void TFrmContacts::ImportVCards()
{
    TBL_pb *pb = store();
    if (!pb)
        return;
    const QString path =
        platform::getOpenFileName(m_host.dialogOwner(), GetLanguageString(text::kPbImportVCard),
                                  QString(), GetLanguageString(text::kPbVCardFilter));
    if (path.isEmpty())
        return;
    const VCardImportReport report = ImportVCardFile(path, *pb);
    if (report.status == 1)
        return warn(report.error);
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
    platform::ShowMessageBox(m_host.dialogOwner(), text, 1);
    rebuildTree();
}
