// The contacts page's clipboard and its runs over many contacts, without a widget: deleting the
// checked contacts, copy / cut and paste into a store or group, and a drop of rows on a tree node.
// PhonebookTransfer does the writing; this keeps what was copied or cut between two pastes, what
// a stopped cut still has to remove, and tells the person how a run ended.
#pragma once

#include "ContactsPage.h"

#include "logic/PhonebookTransfer.h"

#include <functional>
#include <vector>

class ContactRuns {
public:
    enum ClipboardMode { CopyMode = 1, CutMode = 2, Empty = 3, DragMode = 4 };

    // What a run shows while it goes: the program is busy, and with more than two contacts a
    // progress window that can be stopped between two contacts.
    struct Progress {
        std::function<void(bool busy)> busy;
        std::function<void(const QString &text)> open;
        std::function<void(int percent)> set;
        std::function<bool()> stopRequested;
        std::function<void()> close;
    };

    ContactRuns(PbStoreSource store, PagePrompts prompts, Progress progress);

    int mode() const { return m_mode; }
    // Forgets what was copied or cut.
    void Clear();
    // Copy or cut: the contacts wait for a paste. No contacts leave the clipboard as it was.
    void Take(std::vector<_MEC_CONTACT_RECORD> contacts, ClipboardMode mode);

    // Asks, then deletes the contacts; returns whether it ran.
    bool Delete(const std::vector<_MEC_CONTACT_RECORD> &contacts);
    // Pastes what was copied or cut into the node; returns whether it ran.
    bool Paste(int node);
    // Copies the dropped contacts into the node, a copy even within one storage.
    void Drop(const std::vector<_MEC_CONTACT_RECORD> &contacts, int node);

private:
    TBL_pb *store() const { return m_storeSource ? m_storeSource() : nullptr; }
    // Removes what a stopped cut left in two places; returns how many went.
    int finishMove();
    PhonebookTransfer::Result paste(TBL_pb &pb, const std::vector<_MEC_CONTACT_RECORD> &contacts,
                                    PhonebookTransfer::Mode mode, int node);
    void report(const PhonebookTransfer::Result &result, bool cut, size_t total) const;
    PhonebookTransfer::Callbacks callbacks() const;

    PbStoreSource m_storeSource;
    PagePrompts m_prompts;
    Progress m_progress;
    std::vector<_MEC_CONTACT_RECORD> m_clipboard;
    // Contacts a stopped cut wrote to their target whose source and copy both stayed (on a card
    // that went away); the next run or clipboard change removes the sources first, whatever it is.
    std::vector<_MEC_CONTACT_RECORD> m_sourcesLeft;
    int m_mode = Empty;
};
