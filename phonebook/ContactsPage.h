// What the contacts page knows and decides, without a widget: whether the SIM is usable and its
// contacts loaded, the tree of stores and PC groups, what is enabled for the checked rows, the
// status texts, the PC groups and the files. The list is ContactsList's, the runs over many
// contacts ContactRuns'; the window shows what this says and asks the person through the prompts.
#pragma once

#include "ContactsList.h"
#include "PbStore.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// How the logic talks to the person: a warning, a notice, a yes/no question, and the choice of
// a file to write (offering the suggested name) or to read; an empty path when none was chosen.
struct PagePrompts {
    std::function<void(const QString &text)> warn;
    std::function<void(const QString &text)> inform;
    std::function<bool(const QString &text)> ask;
    std::function<QString(bool forWriting, const QString &title, const QString &suggested,
                          const QString &filter)>
        chooseFile;
};

struct TreeNode {
    int node = PB_NODE_PC;
    QString text;
    bool group = false;  // a PC group, under the PC root; its name can be edited
};

// What the page's buttons and menu entries allow.
struct PageControls {
    bool oneChecked = false;   // edit, view
    bool someChecked = false;  // delete, export, message, copy, cut
    bool anyRows = false;      // select and unselect all
    bool pasteEnabled = false;
    bool pasteShown = false;
    bool import = false;
    bool newGroup = false;     // groups are the PC's
    bool changeGroup = false;  // rename, delete: not a store's root
};

class ContactsPage {
public:
    ContactsPage(PbStoreSource store, PagePrompts prompts);

    TBL_pb *store() const { return m_storeSource ? m_storeSource() : nullptr; }
    PbStoreSource storeSource() const { return m_storeSource; }
    // The list over the store; null while there is no store.
    ContactsList *list();

    // Copies of the records of the list's rows; none without a list.
    std::vector<_MEC_CONTACT_RECORD> records(const std::vector<int> &rows);
    // The record of the one row, for editing or viewing; null unless exactly one.
    const _MEC_CONTACT_RECORD *onlyRecord(const std::vector<int> &rows);

    bool simUsable() const { return m_simUsable; }
    bool simLoaded() const { return m_simUsable && m_simLoaded; }
    // The SIM is usable but its contacts are not read yet: the page tries again later.
    bool waitingForSim() const { return m_simUsable && !m_simLoaded; }
    // Reads the SIM's contacts; returns whether they could be read.
    bool LoadSim();
    void SetSimUsable(bool usable);
    // The retry timer fired: the SIM went away, its contacts came in, or try again later.
    enum class SimRetry { Unusable, Loaded, Again };
    SimRetry RetrySim();
    // A node outside the PC cannot be shown while the SIM is not usable.
    bool canShow(int node) const;

    // The PC root with its groups, then the SIM root while its contacts are there.
    std::vector<TreeNode> Tree() const;
    // The node shown after the tree is built: the SIM while it has room left, else the PC.
    int StartNode() const;

    PageControls Controls(size_t checked, size_t rows, int clipboardMode) const;
    // What the groups menu offers on the node.
    static PageControls GroupControls(int node);
    QString SumTips(size_t rows) const;
    // The store's name, its contact count and capacity; zeros for a SIM not loaded.
    QString StorageInfo(uint8_t storage) const;
    // The PC store cannot be used (damaged, held by another program): tells why, once for each
    // reason, unless it can be used again by now.
    void CheckPcStore();

    // Makes a PC group with the first free "New group" name; returns its id.
    std::optional<int32_t> NewGroup(int selectedNode);
    // The name the group's node shows after a rename was tried (the old one when refused);
    // nothing when the name is unchanged.
    struct Renamed {
        QString shown;
        bool changed = false;
    };
    std::optional<Renamed> RenameGroup(int node, const QString &newName);
    // Asks, then deletes the group with its contacts; returns whether it went.
    bool DeleteGroup(int node);

    // The rows of the list written to a file the person chooses (".txt" or ".vcf" added when
    // the name lacks it).
    void ExportText(const std::vector<int> &rows);
    void ExportVCards(const std::vector<int> &rows);
    // Reads the vCards of a file the person chooses into the PC store and tells what was taken;
    // returns whether it read.
    bool ImportVCards();

private:
    PbStoreSource m_storeSource;
    PagePrompts m_prompts;
    std::unique_ptr<ContactsList> m_list;
    bool m_simUsable = false;
    bool m_simLoaded = false;
    QString m_pcStoreProblem;  // the last reason told
};
