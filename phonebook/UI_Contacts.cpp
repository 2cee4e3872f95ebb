#include "UI_Contacts.h"

#include "UI_CopyTips.h"
#include "UI_EditPB.h"
#include "UI_SelContacts.h"
#include "UI_ViewPB.h"


#include "WindowControls.h"
#include "FeaturePage.h"
#include "logic/EngineValues.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include <utility>

using platform::GetLanguageString;

namespace {

constexpr int kLoadSimInterval = 10000;
constexpr int kInformationIcon = 1;
constexpr int kWarningIcon = 2;
constexpr int kQuestionIcon = 4;
constexpr int kNodeRole = Qt::UserRole;
constexpr int kRowRole = Qt::UserRole + 1;

const feature::WindowSkin kSkin{"PBMAIN.CONTACTSBKIMAGE",
                                "PBMAIN.PBMAINTITLE",
                                {{"PBMAIN.BTNEWCONTACT", "BtNewContact"},
                                 {"PBMAIN.BTEDITCONTACT", "BtEditContact"},
                                 {"PBMAIN.BTVIEWCONTACT", "BtViewContact"},
                                 {"PBMAIN.BTDELETECONTACT", "BtDeleteContact"},
                                 {"PBMAIN.BTSAVECONTACTAS", "BtSaveContactAs"},
                                 {"PBMAIN.BTNEWMESSAGE", "BtNewMessage"},
                                 {"PBMAIN.BTEXPORTVCARD", "BtExportVCard"},
                                 {"PBMAIN.BTIMPORTVCARD", "BtImportVCard"},
                                 {"PBMAIN.BTSEARCH", "BtSearch"}}};

}  // namespace

TFrmContacts::TFrmContacts(feature::FeatureHost &host, PbStoreSource store)
    : m_host(host), m_page(store, prompts()), m_runs(store, prompts(), progress())
{
    setObjectName(QStringLiteral("TFrmContacts"));
    setWindowTitle(GetLanguageString(text::kPbContacts));
    TimerLoadSIMData.setObjectName(QStringLiteral("TimerLoadSIMData"));
    TimerLoadSIMData.setInterval(kLoadSimInterval);
    connect(&TimerLoadSIMData, &QTimer::timeout, this, &TFrmContacts::loadSimTick);

    TvPC = NamedControl<QTreeWidget>(this, "TvPC");
    TvPC->setHeaderHidden(true);
    TvPC->setEditTriggers(QAbstractItemView::EditKeyPressed);
    TvPC->setContextMenuPolicy(Qt::CustomContextMenu);
    TvPC->viewport()->setAcceptDrops(true);
    TvPC->viewport()->installEventFilter(this);
    TvPC->setMaximumWidth(170);
    LvContacts = NamedControl<QTreeWidget>(this, "LvContacts");
    LvContacts->setRootIsDecorated(false);
    LvContacts->setColumnCount(6);
    LvContacts->setHeaderLabels(
        {QString(), GetLanguageString(text::kPbName), GetLanguageString(text::kPbMobile),
         GetLanguageString(text::kPbHome), GetLanguageString(text::kPbPhone1),
         GetLanguageString(text::kPbGroup)});
    LvContacts->header()->resizeSection(0, 29);
    for (auto [column, width] : {std::pair{1, 120}, {2, 120}, {3, 100}, {4, 95}})
        LvContacts->header()->resizeSection(column, width);
    LvContacts->header()->setSectionsClickable(true);
    LvContacts->setSelectionMode(QAbstractItemView::SingleSelection);
    LvContacts->setContextMenuPolicy(Qt::CustomContextMenu);
    LvContacts->setDragEnabled(true);
    LvContacts->setDragDropMode(QAbstractItemView::DragOnly);

    EdSearchText = NamedControl<QLineEdit>(this, "EdSearchText");
    EdSearchText->setMaxLength(32);
    BtSearch = NamedButton(this, "BtSearch", text::kPbSearch);
    BtNewContact = NamedButton(this, "BtNewContact", text::kNew);
    BtEditContact = NamedButton(this, "BtEditContact", text::kPbEdit);
    BtViewContact = NamedButton(this, "BtViewContact", text::kPbView);
    BtDeleteContact = NamedButton(this, "BtDeleteContact", text::kPbDelete);
    BtSaveContactAs = NamedButton(this, "BtSaveContactAs", text::kPbExport);
    BtNewMessage = NamedButton(this, "BtNewMessage", text::kPbSendSms);
    BtExportVCard = NamedButton(this, "BtExportVCard", text::kPbExportVCard);
    BtImportVCard = NamedButton(this, "BtImportVCard", text::kPbImportVCard);
    LbSumTips = NamedLabel(this, "LbSumTips");
    LbStorageInfoPC = NamedLabel(this, "LbStorageInfoPC");
    LbStorageInfoSIM = NamedLabel(this, "LbStorageInfoSIM");

    auto action = [this](QMenu *menu, const char *name, int caption, auto slot) {
        QAction *made = menu->addAction(GetLanguageString(caption));
        made->setObjectName(QString::fromLatin1(name));
        connect(made, &QAction::triggered, this, slot);
        return made;
    };
    PMNewEx = NamedControl<QMenu>(this, "PMNewEx");
    MINewContactEx = action(PMNewEx, "MINewContactEx", text::kPbNewContact, [this] {
        m_editorDone = nullptr;
        if (TFmEditPB *edit = editor())
            edit->NewContact(nullptr, m_page.list() ? m_page.list()->storage() : uint8_t{PB_PC},
                             selectedNode(), m_page.simUsable());
    });
    MINewGroupEx = action(PMNewEx, "MINewGroupEx", text::kPbNewGroup, [this] {
        SelectNode(PB_NODE_PC);
        NewGroup();
    });
    BtNewContact->setMenu(PMNewEx);
    PMContacts = NamedControl<QMenu>(this, "PMContacts");
    MIEditContact = action(PMContacts, "MIEditContact", text::kPbEdit, [this] { EditChecked(); });
    MIDeleteContact =
        action(PMContacts, "MIDeleteContact", text::kPbDelete, [this] { DeleteChecked(); });
    MISaveContactAs =
        action(PMContacts, "MISaveContactAs", text::kPbExport, [this] { ExportText(); });
    MISaveContactAs->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+S")));
    addAction(MISaveContactAs);
    MINewMessage =
        action(PMContacts, "MINewMessage", text::kPbSendSms, [this] { MessageToChecked(); });
    PMContacts->addSeparator();
    MICopy = action(PMContacts, "MICopy", text::kPbCopy, [this] { CopyChecked(CopyMode); });
    MICut = action(PMContacts, "MICut", text::kPbCut, [this] { CopyChecked(CutMode); });
    MIPaste = action(PMContacts, "MIPaste", text::kPbPaste, [this] { Paste(); });
    MISelectAll =
        action(PMContacts, "MISelectAll", text::kPbSelectAll, [this] { SetAllChecked(true); });
    MIUnSelectAll =
        action(PMContacts, "MIUnSelectAll", text::kPbUnselectAll, [this] { SetAllChecked(false); });
    PMGroupsMenu = NamedControl<QMenu>(this, "PMGroupsMenu");
    MINewGroup = action(PMGroupsMenu, "MINewGroup", text::kPbNewGroup, [this] { NewGroup(); });
    MIRenameGroup = action(PMGroupsMenu, "MIRenameGroup", text::kPbRenameGroup, [this] {
        if (QTreeWidgetItem *item = TvPC->currentItem();
            item && !ContactsList::isRoot(selectedNode()))
            TvPC->editItem(item);
    });
    MIDeleteGroup = action(PMGroupsMenu, "MIDeleteGroup", text::kPbDeleteGroup,
                           [this] { DeleteGroup(selectedNode()); });
    MINewMessageEx = action(PMGroupsMenu, "MINewMessageEx", text::kPbSmsToGroup,
                            [this] { MessageToNode(selectedNode()); });
    PMGroupsMenu->addAction(MIPaste);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {BtNewContact, BtEditContact, BtViewContact, BtDeleteContact,
                                BtSaveContactAs, BtNewMessage, BtExportVCard, BtImportVCard})
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(GetLanguageString(text::kPbFind), this));
    searchRow->addWidget(EdSearchText, 1);
    searchRow->addWidget(BtSearch);
    auto *grid = new QGridLayout(this);
    grid->addLayout(buttons, 0, 0, 1, 2);
    grid->addWidget(TvPC, 1, 0, 2, 1);
    grid->addLayout(searchRow, 1, 1);
    grid->addWidget(LvContacts, 2, 1);
    auto *labels = new QHBoxLayout;
    labels->addWidget(LbSumTips);
    labels->addStretch(1);
    labels->addWidget(LbStorageInfoPC);
    labels->addWidget(LbStorageInfoSIM);
    grid->addLayout(labels, 3, 0, 1, 2);

    feature::WearSkin(*this, kSkin);

    connect(TvPC, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            SelectNode(item->data(0, kNodeRole).toInt());
    });
    connect(TvPC, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item) {
        RenameGroup(item->data(0, kNodeRole).toInt(), item->text(0));
    });
    connect(TvPC, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (QTreeWidgetItem *item = TvPC->itemAt(at)) {
            TvPC->setCurrentItem(item);
            const PageControls allowed = m_page.GroupControls(selectedNode());
            MINewGroup->setEnabled(allowed.newGroup);
            MIRenameGroup->setEnabled(allowed.changeGroup);
            MIDeleteGroup->setEnabled(allowed.changeGroup);
            PMGroupsMenu->popup(TvPC->viewport()->mapToGlobal(at));
        }
    });
    connect(LvContacts, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        updateControls();
        PMContacts->popup(LvContacts->viewport()->mapToGlobal(at));
    });
    connect(LvContacts, &QTreeWidget::itemSelectionChanged, this, [this] {
        for (QTreeWidgetItem *item : LvContacts->selectedItems())
            item->setCheckState(0, Qt::Checked);
        updateControls();
    });
    connect(LvContacts, &QTreeWidget::itemChanged, this, [this] { updateControls(); });
    connect(LvContacts, &QTreeWidget::itemDoubleClicked, this, [this] { EditChecked(); });
    connect(LvContacts->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { SortByColumn(section > 0 ? section - 1 : 0); });
    connect(BtSearch, &QPushButton::clicked, this, &TFrmContacts::Search);
    connect(EdSearchText, &QLineEdit::returnPressed, this, &TFrmContacts::Search);
    connect(EdSearchText, &QLineEdit::textChanged, this, [this] {
        if (m_page.list() && m_page.list()->searchActive())
            Refresh();
    });
    connect(BtEditContact, &QPushButton::clicked, this, &TFrmContacts::EditChecked);
    connect(BtViewContact, &QPushButton::clicked, this, &TFrmContacts::ViewChecked);
    connect(BtDeleteContact, &QPushButton::clicked, this, &TFrmContacts::DeleteChecked);
    connect(BtSaveContactAs, &QPushButton::clicked, this, &TFrmContacts::ExportText);
    connect(BtNewMessage, &QPushButton::clicked, this, &TFrmContacts::MessageToChecked);
    connect(BtExportVCard, &QPushButton::clicked, this, &TFrmContacts::ExportVCards);
    connect(BtImportVCard, &QPushButton::clicked, this, &TFrmContacts::ImportVCards);

    rebuildTree();
}

TFrmContacts::~TFrmContacts() = default;

bool TFrmContacts::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != TvPC->viewport())
        return QWidget::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    auto *drag = static_cast<QDropEvent *>(event);
    QTreeWidgetItem *target = TvPC->itemAt(drag->position().toPoint());
    const bool fromList = drag->source() == LvContacts;
    const int node = target ? target->data(0, kNodeRole).toInt() : -1;
    const bool allowed = fromList && (type == QEvent::DragEnter || target) && m_page.canShow(node);
    if (!allowed) {
        drag->ignore();
        return true;
    }
    drag->acceptProposedAction();
    if (type == QEvent::Drop) {
        for (QTreeWidgetItem *item : LvContacts->selectedItems())
            item->setCheckState(0, Qt::Checked);
        DropOn(node);
    }
    return true;
}

QTreeWidgetItem *TFrmContacts::nodeItem(int node) const
{
    for (QTreeWidgetItemIterator it(TvPC); *it; ++it)
        if ((*it)->data(0, kNodeRole).toInt() == node)
            return *it;
    return nullptr;
}

int TFrmContacts::selectedNode() const
{
    QTreeWidgetItem *item = TvPC->currentItem();
    return item ? item->data(0, kNodeRole).toInt() : PB_NODE_PC;
}

void TFrmContacts::rebuildTree()
{
    const QSignalBlocker quiet(TvPC);
    TvPC->clear();
    QTreeWidgetItem *pc = nullptr;
    for (const TreeNode &node : m_page.Tree()) {
        auto *item = node.group ? new QTreeWidgetItem(pc, {node.text})
                                : new QTreeWidgetItem(TvPC, {node.text});
        item->setData(0, kNodeRole, node.node);
        if (node.group)
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        pc = pc ? pc : item;
    }
    pc->setExpanded(true);
    if (m_page.waitingForSim())
        TimerLoadSIMData.start();
    TvPC->setToolTip(
        GetLanguageString(m_page.simUsable() ? text::kPbTreeHint : text::kPbTreeHintNoSim));
    TvPC->setCurrentItem(nodeItem(m_page.StartNode()));
    SelectNode(selectedNode());
}

void TFrmContacts::SelectNode(int node)
{
    if (!m_page.canShow(node))
        return;
    if (QTreeWidgetItem *item = nodeItem(node); item && TvPC->currentItem() != item) {
        const QSignalBlocker quiet(TvPC);
        TvPC->setCurrentItem(item);
    }
    if (ContactsList *list = m_page.list())
        list->fill(node);
    showRows();
}

void TFrmContacts::Refresh()
{
    if (ContactsList *list = m_page.list())
        list->fill(selectedNode());
    showRows();
}

void TFrmContacts::showRows()
{
    const QSignalBlocker quiet(LvContacts);
    LvContacts->clear();
    if (const ContactsList *list = m_page.list()) {
        int index = 0;
        for (const ContactRow &row : list->rows()) {
            auto *item = new QTreeWidgetItem(
                LvContacts, {QString(), row.name, row.mobile, row.home, row.phone1, row.group});
            item->setCheckState(0, Qt::Unchecked);
            item->setData(0, kRowRole, index++);
        }
    }
    updateControls();
}

std::vector<int> TFrmContacts::checkedRows() const
{
    std::vector<int> rows;
    for (int i = 0; i < LvContacts->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = LvContacts->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            rows.push_back(item->data(0, kRowRole).toInt());
    }
    return rows;
}

void TFrmContacts::updateControls()
{
    const size_t rows = static_cast<size_t>(LvContacts->topLevelItemCount());
    const PageControls allowed = m_page.Controls(checkedRows().size(), rows, m_runs.mode());
    for (QWidget *one : std::initializer_list<QWidget *>{BtEditContact, BtViewContact})
        one->setEnabled(allowed.oneChecked);
    MIEditContact->setEnabled(allowed.oneChecked);
    for (QPushButton *some : {BtDeleteContact, BtSaveContactAs, BtNewMessage, BtExportVCard})
        some->setEnabled(allowed.someChecked);
    for (QAction *some : {MIDeleteContact, MISaveContactAs, MINewMessage, MICopy, MICut})
        some->setEnabled(allowed.someChecked);
    MISelectAll->setEnabled(allowed.anyRows);
    MIUnSelectAll->setEnabled(allowed.anyRows);
    MIPaste->setEnabled(allowed.pasteEnabled);
    MIPaste->setVisible(allowed.pasteShown);
    BtImportVCard->setEnabled(allowed.import);
    LbSumTips->setText(m_page.SumTips(rows));
    LbStorageInfoPC->setText(m_page.StorageInfo(PB_PC));
    LbStorageInfoSIM->setText(m_page.StorageInfo(PB_SIM));
}

void TFrmContacts::Search()
{
    if (m_page.list() && m_page.list()->search(EdSearchText->text()))
        showRows();
}

void TFrmContacts::SortByColumn(int column)
{
    if (m_page.list())
        m_page.list()->sortBy(column);
    showRows();
}

void TFrmContacts::SetAllChecked(bool checked)
{
    const QSignalBlocker quiet(LvContacts);
    for (int i = 0; i < LvContacts->topLevelItemCount(); ++i)
        LvContacts->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    updateControls();
}

void TFrmContacts::shownInPanel()
{
    if (!m_showingAgain)
        m_runs.Clear();
    m_page.CheckPcStore();
    if (m_page.waitingForSim())
        TimerLoadSIMData.start();
    Refresh();
}

// The SIM ---------------------------------------------------------------------------------------

void TFrmContacts::SimStateChanged(uint8_t state)
{
    if (state == kSimReady)
        m_page.LoadSim();
    setSimUsable(state == kSimReady);
}

void TFrmContacts::setSimUsable(bool usable)
{
    m_page.SetSimUsable(usable);
    if (!usable) {
        TimerLoadSIMData.stop();
    }
    rebuildTree();
}

void TFrmContacts::loadSimTick()
{
    TimerLoadSIMData.stop();
    switch (m_page.RetrySim()) {
    case ContactsPage::SimRetry::Unusable: return setSimUsable(false);
    case ContactsPage::SimRetry::Loaded: return rebuildTree();
    case ContactsPage::SimRetry::Again:
        if (m_page.waitingForSim())
            TimerLoadSIMData.start();
        break;
    }
}

// Editing, viewing, messages ----------------------------------------------------------------------

TFmEditPB *TFrmContacts::editor()
{
    TFmEditPB *edit = m_host.window<TFmEditPB>();
    if (edit)
        edit->onClosed = [this](bool saved, const QString &name) { backFromEditor(saved, name); };
    return edit;
}

TFrmViewPB *TFrmContacts::viewer()
{
    TFrmViewPB *view = m_host.window<TFrmViewPB>();
    if (view)
        view->onClosed = [this] { showAgain(); };
    return view;
}

void TFrmContacts::showAgain()
{
    m_showingAgain = true;
    m_host.showInPanel(*this);
    m_showingAgain = false;
}

void TFrmContacts::backFromEditor(bool saved, const QString &name)
{
    Refresh();
    // The window that asked for the editor comes back; else this page.
    if (const Done done = std::exchange(m_editorDone, nullptr))
        done(saved, name);
    else
        showAgain();
}

TFrmCopyTips *TFrmContacts::copyTips() { return m_host.window<TFrmCopyTips>(); }

void TFrmContacts::EditChecked()
{
    if (const _MEC_CONTACT_RECORD *record = m_page.onlyRecord(checkedRows())) {
        m_editorDone = nullptr;
        if (TFmEditPB *edit = editor())
            edit->EditContact(*record);
    }
}

void TFrmContacts::ViewChecked()
{
    if (const _MEC_CONTACT_RECORD *record = m_page.onlyRecord(checkedRows()))
        if (TFrmViewPB *view = viewer())
            view->ViewContact(*record);
}

QString TFrmContacts::nameOfNumber(const QString &number)
{
    TBL_pb *store = m_page.store();
    if (!store || number.isEmpty())
        return {};
    const std::string wanted = platform::toAnsi(number);
    for (uint8_t storage : {PB_PC, PB_ME, PB_SIM}) {
        _MEC_CONTACT_RECORD record{};
        record.storage = storage;
        if (store->FindContactByNumber(wanted.c_str(), &record) == 0)
            return platform::fromAnsi(platform::fieldText(record.name, sizeof record.name));
    }
    return {};
}

void TFrmContacts::newContactWithNumber(const QString &number, Done done)
{
    TFmEditPB *edit = editor();
    if (!edit)
        return;
    m_editorDone = std::move(done);
    _MEC_CONTACT_RECORD prefilled{};
    platform::copyToField(prefilled.numbers[0].number, sizeof prefilled.numbers[0].number,
                          platform::toAnsi(number.left(40)));
    edit->NewContact(&prefilled, PB_PC, PB_NODE_PC, m_page.simUsable());
}

void TFrmContacts::SendSmsTo(const QString &recipients)
{
    // The composer opens with the numbers and brings this window back when it closes.
    if (auto *writer = m_host.role<feature::SmsWriter>())
        writer->writeSmsTo(recipients);
}

void TFrmContacts::MessageToChecked()
{
    if (m_page.list() && !checkedRows().empty())
        SendSmsTo(m_page.list()->recipients(checkedRows()));
}

void TFrmContacts::MessageToNode(int node)
{
    if (m_page.list())
        SendSmsTo(m_page.list()->recipientsOfNode(node));
}

// Runs, groups, files
// ------------------------------------------------------------------------------

PagePrompts TFrmContacts::prompts()
{
    auto box = [this](int icon) {
        return [this, icon](const QString &text) {
            platform::ShowMessageBox(m_host.dialogOwner(), text, icon);
        };
    };
    return {
        box(kWarningIcon), box(kInformationIcon),
        [this](const QString &text) {
            return platform::AskMessageBox(m_host.dialogOwner(), text, kQuestionIcon) == 1;
        },
        [this](bool forWriting, const QString &title, const QString &name, const QString &filter) {
            return forWriting
                       ? platform::getSaveFileName(m_host.dialogOwner(), title, name, filter)
                       : platform::getOpenFileName(m_host.dialogOwner(), title, name, filter);
        }};
}

ContactRuns::Progress TFrmContacts::progress()
{
    // Without the progress window (a test that did not register it) a run shows nothing and is
    // never stopped.
    return {[this](bool busy) { m_host.setBusy(busy); },
            [this](const QString &text) {
                if (TFrmCopyTips *tips = copyTips())
                    tips->Open(text, {this, m_host.dialogOwner()});
            },
            [this](int percent) {
                if (TFrmCopyTips *tips = copyTips())
                    tips->SetProgress(percent);
            },
            [this] {
                TFrmCopyTips *tips = copyTips();
                return tips && tips->isVisible() && tips->StopPressed();
            },
            [this] {
                if (TFrmCopyTips *tips = copyTips())
                    tips->Finish();
            }};
}

void TFrmContacts::DeleteChecked()
{
    if (m_runs.Delete(m_page.records(checkedRows())))
        Refresh();
}

void TFrmContacts::CopyChecked(ClipboardMode mode)
{
    m_runs.Take(m_page.records(checkedRows()), mode);
    updateControls();
}

void TFrmContacts::Paste()
{
    if (m_runs.Paste(selectedNode()))
        Refresh();
}

void TFrmContacts::DropOn(int node)
{
    const std::vector<_MEC_CONTACT_RECORD> dragged = m_page.records(checkedRows());
    if (dragged.empty() || !m_page.canShow(node))
        return;
    const int listNode = m_page.list()->node();
    m_runs.Drop(dragged, node);
    SelectNode(listNode);
}

void TFrmContacts::NewGroup()
{
    const std::optional<int32_t> added = m_page.NewGroup(selectedNode());
    if (!added)
        return;
    rebuildTree();
    if (QTreeWidgetItem *item = nodeItem(*added)) {
        TvPC->setCurrentItem(item);
        TvPC->editItem(item);
    }
}

void TFrmContacts::RenameGroup(int node, const QString &newName)
{
    const std::optional<ContactsPage::Renamed> renamed = m_page.RenameGroup(node, newName);
    if (!renamed)
        return;
    if (QTreeWidgetItem *item = nodeItem(node)) {
        const QSignalBlocker quiet(TvPC);
        item->setText(0, renamed->shown);
    }
    if (renamed->changed && selectedNode() == node)
        Refresh();
}

void TFrmContacts::DeleteGroup(int node)
{
    if (m_page.DeleteGroup(node))
        rebuildTree();
}

void TFrmContacts::ExportText() { m_page.ExportText(checkedRows()); }

void TFrmContacts::ExportVCards() { m_page.ExportVCards(checkedRows()); }

void TFrmContacts::ImportVCards()
{
    if (m_page.ImportVCards())
        rebuildTree();
}
