// The contacts page: a tree of the stores (PC with its groups, the SIM while it is usable) and
// a checkbox list of the contacts of the chosen store or group, with search, edit, view,
// delete, copy / cut / paste between the stores, PC groups, export as text and as vCards, and
// messages to the checked contacts. What it decides is ContactsPage's, the clipboard and the runs
// ContactRuns'; this is the window over them.
#pragma once

#include "ContactRuns.h"
#include "ContactsPage.h"
#include "FeatureRoles.h"
#include "FeatureWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <memory>
#include <vector>

class TFmEditPB;
class TFrmViewPB;
class TFrmCopyTips;

class TFrmContacts final : public QWidget,
                           public feature::FeatureWindow,
                           public feature::ContactMaker,
                           public feature::ContactNames {
    Q_OBJECT
public:
    explicit TFrmContacts(feature::FeatureHost &host, PbStoreSource store = RootPhonebook);
    ~TFrmContacts() override;

    using ClipboardMode = ContactRuns::ClipboardMode;
    using enum ContactRuns::ClipboardMode;

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
    QString nameOfNumber(const QString &number) override;
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

    bool simUsable() const { return m_page.simUsable(); }
    int clipboardMode() const { return m_runs.mode(); }
    const ContactsList *list() { return m_page.list(); }
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
    void rebuildTree();
    void showRows();
    void updateControls();
    void loadSimTick();
    void setSimUsable(bool usable);
    // The editor or the viewer closed: the list follows, and who opened it comes back.
    void backFromEditor(bool saved, const QString &name);
    // Shows this page again without forgetting what was copied or cut.
    void showAgain();
    PagePrompts prompts();
    ContactRuns::Progress progress();
    // The program's windows of the phonebook, as the host hands them out; null in a test that
    // did not register them.
    TFrmCopyTips *copyTips();
    TFmEditPB *editor();
    TFrmViewPB *viewer();
    QTreeWidgetItem *nodeItem(int node) const;

    feature::FeatureHost &m_host;
    ContactsPage m_page;
    ContactRuns m_runs;
    Done m_editorDone;  // who asked for the editor open, when not this page
    bool m_showingAgain = false;
};
