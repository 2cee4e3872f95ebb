// The phonebook's long operations without a window: pasting (copy, cut, drag) contacts into a
// storage or group, and deleting many. A contact leaves its old storage only after every part of
// it was written to the new one, so a card pulled half-way loses nothing; the result says how far
// the run got and what a cut still has to do. The caller shows progress and may stop the run
// between two contacts.
//
// A cut into another storage writes every contact first and then removes the sources, so the PC
// store takes the writes in one transaction that is committed before a source goes. A contact
// split into several SIM contacts is written whole or not at all.
#pragma once

#include "logic/BL_Pb.h"

#include <functional>
#include <vector>

class PhonebookTransfer {
public:
    enum Mode : uint8_t { PB_PASTE_COPY = 1, PB_PASTE_CUT = 2, PB_PASTE_DRAG = 4 };

    struct Callbacks {
        std::function<void(int percent)> progress;  // 0-100, with more than two contacts
        std::function<bool()> stopRequested;        // asked before each contact
        // Asked once, before the first contact, when it comes from the PC into the SIM.
        std::function<bool()> confirmPcToSim;
    };

    struct Result {
        int done = 0;    // contacts written (for a cut: written and removed from the source)
        int failed = 0;  // contacts skipped after three failed attempts
        // What a stopped cut leaves to do: the contacts it did not write, and those it wrote
        // whose source is still there (the card went away before they could be removed).
        std::vector<_MEC_CONTACT_RECORD> notMoved;
        std::vector<_MEC_CONTACT_RECORD> sourcesLeft;
        uint16_t lastFailure = 0;  // the code of the last failure, 0 when none
        bool stoppedFull = false;  // the target storage was full
        bool stopped = false;      // the caller stopped it, or said no to the PC-to-SIM question
        bool cardGone = false;     // the card went away: nothing more can be read or written
        bool splitForSim = false;  // the last contact was split into several SIM contacts
    };

    PhonebookTransfer(TBL_pb &store, Callbacks callbacks);

    // Pastes copies of the contacts into the storage. targetGroup: the group node's id, or -1 for
    // the storage's root.
    Result Paste(const std::vector<_MEC_CONTACT_RECORD> &contacts, Mode mode, uint8_t storage,
                 int32_t targetGroup);
    // Deletes the contacts; done counts the deleted ones (and those found gone already).
    // sourcesLeft holds the ones not deleted.
    Result Delete(const std::vector<_MEC_CONTACT_RECORD> &contacts);

private:
    // The copies the SIM gets of one contact: its non-empty numbers, slotsKept at a time.
    static std::vector<_MEC_CONTACT_RECORD> simParts(const _MEC_CONTACT_RECORD &contact,
                                                     int slotsKept);
    // Writes every part of the contact, or none: a part that fails takes back those before it.
    uint16_t writeWhole(const std::vector<_MEC_CONTACT_RECORD> &parts, uint8_t storage,
                        uint32_t group);
    // Removes the sources of written contacts; stops when the card goes away.
    void removeSources(const std::vector<_MEC_CONTACT_RECORD> &sources, Result &result);
    uint16_t withRetries(const std::function<uint16_t()> &attempt) const;
    bool stopRequested() const;
    void progress(size_t position, size_t total) const;

    TBL_pb &m_store;
    Callbacks m_callbacks;
};
