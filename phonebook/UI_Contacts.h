// The contacts page: a tree of the stores (PC with its groups, the SIM while it is usable) and
// a checkbox list of the contacts of the chosen store or group, with search, edit, view,
// delete, copy / cut / paste between the stores, PC groups, export as text and as vCards, and
// messages to the checked contacts. The list itself is ContactsList; this is the window over it.
#pragma once

#include "ContactsList.h"
#include "FeatureRoles.h"
#include "FeatureWindow.h"
#include "PbStore.h"

#include "logic/PhonebookTransfer.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class TFmEditPB;
class TFrmViewPB;
class TFrmCopyTips;

class TFrmContacts final : public QWidget,
                           public feature::FeatureWindow,
                           public feature::ContactMaker {
    Q_OBJECT
public:
    explicit TFrmContacts(feature::FeatureHost &host, PbStoreSource store = RootPhonebook);
    ~TFrmContacts() override;

    enum ClipboardMode { CopyMode = 1, CutMode = 2, Empty = 3, DragMode = 4 };

    QTreeWidget *TvPC;
    QTreeWidget *LvContacts;
    QLineEdit *EdSearchText;
    QPushButton *BtSearch, *BtNewContact, *BtEditContact, *BtViewContact, *BtDeleteContact,
        *BtSaveContactAs, *BtNewMessage, *BtExportVCard, *BtImportVCard;
    QLabel *LbSumTips, *LbStorageInfoPC, *LbStorageInfoSIM;
    QMenu *PMNewEx, *PMContacts, *PMGroupsMenu;
    QAction *MINewContactEx, *MINewGroupEx, *MIEditContact, *MIDeleteContact, *MISaveContactAs,
        *MINewMessage, *MICopy, *MICut, *MIPaste, *MISelectAll, *MIUnSelectAll, *MINewGroup,
        *MIRenameGroup, *MIDeleteGroup, *MINewMessageEx;
    // Retries loading the SIM's contacts; stands still during a voice call.
    QTimer TimerLoadSIMData;

    // The card state: 12 loads the SIM and makes it usable, anything else makes it unusable.
    void SimStateChanged(uint8_t state);
    void Refresh();
    // Opens the editor for a new contact with this mobile number (its first 40 characters);
    // `done` is told when it closes.
    void newContactWithNumber(const QString &number, Done done) override;
    // Opens the message composer with the recipients, when the program has one.
    void SendSmsTo(const QString &recipients);

    // The actions, as the buttons and menus call them.
    void SelectNode(int node);
    void Search();
    void SortByColumn(int column);
    void EditChecked();
    void ViewChecked();
    void DeleteChecked();
    void CopyChecked(ClipboardMode mode);
    void Paste();
    // Copies the checked rows into the node (a copy even within one storage).
    void DropOn(int node);
    void SetAllChecked(bool checked);
    void NewGroup();
    void RenameGroup(int node, const QString &newName);
    void DeleteGroup(int node);
    void ExportText();
    void ExportVCards();
    void ImportVCards();
    void MessageToChecked();
    void MessageToNode(int node);

    bool simUsable() const { return m_simUsable; }
    int clipboardMode() const { return m_clipboardMode; }
    const ContactsList *list() const { return m_list.get(); }
    // The list rows whose box is checked, by row index of the list.
    std::vector<int> checkedRows() const;
    int selectedNode() const;

    void cardStateChanged(CardState state) override { SimStateChanged(state); }
    void shownInPanel() override;
    std::vector<QTimer *> timersStoppedDuringCall() override { return {&TimerLoadSIMData}; }

protected:
    // Rows dragged from the list and dropped on a tree node are copied there.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TBL_pb *store() const { return m_storeSource ? m_storeSource() : nullptr; }
    bool ensureList();
    void rebuildTree();
    void showRows();
    void updateControls();
    void updateLabels();
    void loadSimTick();
    bool loadSim();
    void setSimUsable(bool usable);
    PhonebookTransfer::Result paste(const std::vector<_MEC_CONTACT_RECORD> &records,
                                 PhonebookTransfer::Mode mode, int node);
    void reportPaste(const PhonebookTransfer::Result &result, bool cut, size_t total);
    // Tells the person when the PC store cannot be used (damaged, held by another program).
    void reportPcStore();
    // The editor or the viewer closed: the list follows, and who opened it comes back.
    void backFromEditor(bool saved, const QString &name);
    // Shows this page again without forgetting what was copied or cut.
    void showAgain();
    PhonebookTransfer::Callbacks progressCallbacks();
    void warn(const QString &text);
    bool ask(const QString &text);
    // The program's windows of the phonebook, as the host hands them out; null in a test that
    // did not register them.
    TFrmCopyTips *copyTips();
    TFmEditPB *editor();
    TFrmViewPB *viewer();
    QTreeWidgetItem *nodeItem(int node) const;

    feature::FeatureHost &m_host;
    PbStoreSource m_storeSource;
    std::unique_ptr<ContactsList> m_list;
    std::vector<_MEC_CONTACT_RECORD> m_clipboard;
    // Contacts a stopped cut wrote to their target whose source it could not remove yet; the
    // next paste removes them first.
    std::vector<_MEC_CONTACT_RECORD> m_sourcesLeft;
    int m_clipboardMode = Empty;
    QString m_pcStoreProblem;  // the last reason told
    Done m_editorDone;  // who asked for the editor open, when not this page
    bool m_showingAgain = false;
    bool m_simUsable = false;
    int m_loadedStores = 0;  // 2: the SIM was loaded, 1: the card
};
