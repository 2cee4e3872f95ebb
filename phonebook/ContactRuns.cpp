#include "ContactRuns.h"

#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

using platform::GetLanguageString;

namespace {

constexpr size_t kProgressAbove = 2;  // runs of more contacts show the progress window

uint8_t storageOfFullCode(uint16_t code)
{
    return code == PB_SIM_FULL ? PB_SIM : code == PB_ME_FULL ? PB_ME : PB_PC;
}

bool sameContact(const _MEC_CONTACT_RECORD &a, const _MEC_CONTACT_RECORD &b)
{
    return a.storage == b.storage && a.index == b.index;
}

}  // namespace

ContactRuns::ContactRuns(PbStoreSource store, PagePrompts prompts, Progress progress)
    : m_storeSource(std::move(store)),
      m_prompts(std::move(prompts)),
      m_progress(std::move(progress))
{
}

int ContactRuns::finishMove()
{
    TBL_pb *pb = store();
    if (m_sourcesLeft.empty() || !pb)
        return 0;
    m_progress.busy(true);
    PhonebookTransfer transfer(*pb, {});
    const PhonebookTransfer::Result removed = transfer.Delete(m_sourcesLeft);
    m_progress.busy(false);
    m_sourcesLeft = removed.sourcesLeft;
    return removed.done;
}

void ContactRuns::Clear()
{
    finishMove();
    m_clipboard.clear();
    m_mode = Empty;
}

void ContactRuns::Take(std::vector<_MEC_CONTACT_RECORD> contacts, ClipboardMode mode)
{
    if (contacts.empty())
        return;
    finishMove();
    m_clipboard = std::move(contacts);
    m_mode = mode;
}

PhonebookTransfer::Callbacks ContactRuns::callbacks() const
{
    PhonebookTransfer::Callbacks callbacks;
    callbacks.progress = m_progress.set;
    callbacks.stopRequested = m_progress.stopRequested;
    callbacks.confirmPcToSim = [this] {
        return m_prompts.ask(GetLanguageString(text::kPbPcToSim));
    };
    return callbacks;
}

bool ContactRuns::Delete(const std::vector<_MEC_CONTACT_RECORD> &contacts)
{
    TBL_pb *pb = store();
    if (!pb || contacts.empty() || !m_prompts.ask(GetLanguageString(text::kPbDeleteConfirm)))
        return false;
    m_progress.busy(true);
    if (contacts.size() > kProgressAbove)
        m_progress.open(GetLanguageString(text::kPbDeleting));
    PhonebookTransfer transfer(*pb, callbacks());
    const PhonebookTransfer::Result result = transfer.Delete(contacts);
    m_progress.close();
    m_progress.busy(false);
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
        m_mode = Empty;
    // Stopped, or the card went away half-way: the person learns how far it got.
    if (result.stopped || result.cardGone)
        m_prompts.warn(FormatText(text::kPbStopped, {QString::number(result.done)}));
    return true;
}

PhonebookTransfer::Result ContactRuns::paste(TBL_pb &pb,
                                             const std::vector<_MEC_CONTACT_RECORD> &contacts,
                                             PhonebookTransfer::Mode mode, int node)
{
    m_progress.busy(true);
    if (contacts.size() > kProgressAbove)
        m_progress.open(GetLanguageString(
            mode == PhonebookTransfer::PB_PASTE_CUT ? text::kPbMoving : text::kPbCopying));
    PhonebookTransfer transfer(pb, callbacks());
    const PhonebookTransfer::Result result = transfer.Paste(
        contacts, mode, ContactsList::storageOfNode(node), ContactsList::isRoot(node) ? -1 : node);
    m_progress.close();
    m_progress.busy(false);
    return result;
}

void ContactRuns::report(const PhonebookTransfer::Result &result, bool cut, size_t total) const
{
    if (static_cast<size_t>(result.done) >= total || (result.stopped && result.done == 0))
        return;
    if (result.stoppedFull)
        m_prompts.warn(
            FormatText(text::kPbStoreFull, {StorageName(storageOfFullCode(result.lastFailure))}));
    else if (result.stopped)
        m_prompts.warn(FormatText(text::kPbStopped, {QString::number(result.done)}));
    else if (!result.splitForSim)
        m_prompts.warn(
            FormatText(cut ? text::kPbMoved : text::kPbCopied, {QString::number(result.done)}));
}

bool ContactRuns::Paste(int node)
{
    TBL_pb *pb = store();
    if ((m_mode != CopyMode && m_mode != CutMode) || !pb)
        return false;
    const bool cut = m_mode == CutMode;
    // A copy's summary counts only its own contacts.
    const int finished = finishMove() * (cut ? 1 : 0);
    const size_t total = m_clipboard.size();
    PhonebookTransfer::Result result =
        paste(*pb, m_clipboard,
              cut ? PhonebookTransfer::PB_PASTE_CUT : PhonebookTransfer::PB_PASTE_COPY, node);
    if (cut) {
        // What moved is gone from the clipboard: pasting again moves only the rest.
        m_clipboard = result.notMoved;
        m_sourcesLeft.insert(m_sourcesLeft.end(), result.sourcesLeft.begin(),
                             result.sourcesLeft.end());
        if (m_clipboard.empty() && m_sourcesLeft.empty())
            m_mode = Empty;
    }
    result.done += finished;
    report(result, cut, total + static_cast<size_t>(finished));
    return true;
}

void ContactRuns::Drop(const std::vector<_MEC_CONTACT_RECORD> &contacts, int node)
{
    TBL_pb *pb = store();
    if (contacts.empty())
        return;
    finishMove();
    if (pb)
        report(paste(*pb, contacts, PhonebookTransfer::PB_PASTE_DRAG, node), false,
               contacts.size());
    m_clipboard.clear();
    m_mode = Empty;
}
