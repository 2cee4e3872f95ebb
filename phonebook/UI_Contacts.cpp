#include "UI_Contacts.h"

#include "UI_CopyTips.h"
#include "UI_EditPB.h"
#include "UI_SelContacts.h"
#include "UI_ViewPB.h"


#include "WindowControls.h"
#include "FeaturePage.h"
#include "logic/BL_PbVCard.h"
#include "logic/EngineValues.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QDropEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSaveFile>
#include <QVBoxLayout>

#include <utility>

using platform::GetLanguageString;

namespace {

constexpr int kLoadSimInterval = 10000;
constexpr int kWarningIcon = 2;
constexpr int kQuestionIcon = 4;
constexpr int kNodeRole = Qt::UserRole;
constexpr int kRowRole = Qt::UserRole + 1;
constexpr int kGroupsListed = 200;

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
    : m_host(host), m_storeSource(std::move(store))
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
            edit->NewContact(nullptr, m_list ? m_list->storage() : uint8_t{PB_PC}, selectedNode(),
                             m_simUsable);
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
            const bool pc = ContactsList::storageOfNode(selectedNode()) == PB_PC;
            const bool root = ContactsList::isRoot(selectedNode());
            MINewGroup->setEnabled(pc);
            MIRenameGroup->setEnabled(pc && !root);
            MIDeleteGroup->setEnabled(pc && !root);
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
        if (m_list && m_list->searchActive())
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
    updateControls();
    updateLabels();
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
    const bool allowed = fromList && (type == QEvent::DragEnter || target) &&
                         (m_simUsable || ContactsList::storageOfNode(node) == PB_PC);
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

bool TFrmContacts::ensureList()
{
    TBL_pb *pb = store();
    if (!pb) {
        m_list.reset();
        return false;
    }
    if (!m_list)
        m_list = std::make_unique<ContactsList>(*pb);
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
    auto *pc = new QTreeWidgetItem(TvPC, {GetLanguageString(text::kPbStorePC)});
    pc->setData(0, kNodeRole, PB_NODE_PC);
    if (TBL_pb *pb = store()) {
        std::vector<_MEC_GROUP_RECORD> groups(kGroupsListed);
        const int count = pb->ListGroups(PB_PC, groups.data(), groups.size());
        for (int i = 0; i < count; ++i) {
            const _MEC_GROUP_RECORD &group = groups[static_cast<size_t>(i)];
            auto *item = new QTreeWidgetItem(
                pc,
                {platform::fromAnsi(platform::fieldText(group.groupName, sizeof group.groupName))});
            item->setData(0, kNodeRole, group.groupId);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        }
    }
    pc->setExpanded(true);
    const bool simLoaded = m_simUsable && (m_loadedStores & 2);
    if (simLoaded) {
        auto *sim = new QTreeWidgetItem(TvPC, {GetLanguageString(text::kPbStoreSIM)});
        sim->setData(0, kNodeRole, PB_NODE_SIM);
    }
    if (m_simUsable && !simLoaded)
        TimerLoadSIMData.start();
    TvPC->setToolTip(GetLanguageString(m_simUsable ? text::kPbTreeHint : text::kPbTreeHintNoSim));
    TBL_pb *pb = store();
    FieldLimits limits{};
    if (pb)
        pb->GetContactLimits(PB_SIM, CODING_8BIT, &limits);
    const bool simRoom = pb && pb->ContactCount(PB_SIM) < limits.values[FIELD_LIMIT_CAPACITY];
    TvPC->setCurrentItem(simLoaded && simRoom ? nodeItem(PB_NODE_SIM) : pc);
    SelectNode(selectedNode());
}

void TFrmContacts::SelectNode(int node)
{
    if (!m_simUsable && ContactsList::storageOfNode(node) != PB_PC)
        return;
    if (QTreeWidgetItem *item = nodeItem(node); item && TvPC->currentItem() != item) {
        const QSignalBlocker quiet(TvPC);
        TvPC->setCurrentItem(item);
    }
    if (!ensureList())
        return showRows();
    m_list->fill(node);
    showRows();
}

void TFrmContacts::Refresh()
{
    if (ensureList())
        m_list->fill(selectedNode());
    showRows();
}

void TFrmContacts::showRows()
{
    const QSignalBlocker quiet(LvContacts);
    LvContacts->clear();
    if (m_list) {
        int index = 0;
        for (const ContactRow &row : m_list->rows()) {
            auto *item = new QTreeWidgetItem(
                LvContacts, {QString(), row.name, row.mobile, row.home, row.phone1, row.group});
            item->setCheckState(0, Qt::Unchecked);
            item->setData(0, kRowRole, index++);
        }
    }
    updateControls();
    updateLabels();
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
    const size_t checked = checkedRows().size();
    const bool any = LvContacts->topLevelItemCount() > 0;
    for (QWidget *one :
         {static_cast<QWidget *>(BtEditContact), static_cast<QWidget *>(BtViewContact)})
        one->setEnabled(checked == 1);
    MIEditContact->setEnabled(checked == 1);
    for (QPushButton *some : {BtDeleteContact, BtSaveContactAs, BtNewMessage, BtExportVCard})
        some->setEnabled(checked > 0);
    for (QAction *some : {MIDeleteContact, MISaveContactAs, MINewMessage, MICopy, MICut})
        some->setEnabled(checked > 0);
    MISelectAll->setEnabled(any);
    MIUnSelectAll->setEnabled(any);
    MIPaste->setEnabled(m_clipboardMode != Empty);
    MIPaste->setVisible(m_clipboardMode == CopyMode || m_clipboardMode == CutMode);
    BtImportVCard->setEnabled(store() != nullptr);
}

void TFrmContacts::updateLabels()
{
    LbSumTips->setText(
        FormatText(text::kPbListed, {QString::number(LvContacts->topLevelItemCount())}));
    TBL_pb *pb = store();
    auto info = [&](uint8_t storage, bool known) {
        FieldLimits limits{};
        if (pb && known)
            pb->GetContactLimits(storage, CODING_8BIT, &limits);
        const int count = pb && known ? pb->ContactCount(storage) : 0;
        return FormatText(text::kPbStorageInfo,
                          {StorageName(storage), QString::number(count),
                           QString::number(known ? limits.values[FIELD_LIMIT_CAPACITY] : 0)});
    };
    LbStorageInfoPC->setText(info(PB_PC, true));
    LbStorageInfoSIM->setText(info(PB_SIM, m_simUsable && (m_loadedStores & 2)));
}

void TFrmContacts::Search()
{
    if (!m_list || !m_list->search(EdSearchText->text()))
        return;
    showRows();
}

void TFrmContacts::SortByColumn(int column)
{
    if (!m_list)
        return;
    m_list->sortBy(column);
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
    if (!m_showingAgain) {
        m_clipboard.clear();
        m_sourcesLeft.clear();
        m_clipboardMode = Empty;
    }
    reportPcStore();
    if (m_simUsable && !(m_loadedStores & 2))
        TimerLoadSIMData.start();
    Refresh();
}

void TFrmContacts::reportPcStore()
{
    TBL_pb *pb = store();
    if (!pb || pb->PcStoreStatus() == 0 || pb->PcStoreStatus() == PB_END)
        return;
    // Maybe it can be used again (the other program let go of it); else the person is told why,
    // once for each reason.
    const uint16_t status = pb->ReloadStore(PB_PC);
    if (status == 0 || status == PB_END) {
        m_pcStoreProblem.clear();
        return;
    }
    const QString problem = platform::fromAnsi(pb->StoreProblem(status));
    if (problem == m_pcStoreProblem)
        return;
    m_pcStoreProblem = problem;
    warn(FormatText(text::kPbStoreUnusable, {problem}));
}

// The SIM ---------------------------------------------------------------------------------------

void TFrmContacts::SimStateChanged(uint8_t state)
{
    if (state == kSimReady) {
        loadSim();
        setSimUsable(true);
    } else {
        setSimUsable(false);
    }
}

bool TFrmContacts::loadSim()
{
    TBL_pb *pb = store();
    if (pb && pb->ReloadStore(PB_SIM) == 0) {
        m_loadedStores |= 2;
        return true;
    }
    return false;
}

void TFrmContacts::setSimUsable(bool usable)
{
    m_simUsable = usable;
    if (!usable) {
        m_loadedStores &= ~2;
        TimerLoadSIMData.stop();
    }
    rebuildTree();
}

void TFrmContacts::loadSimTick()
{
    TimerLoadSIMData.stop();
    if (!m_simUsable)
        return setSimUsable(false);
    if (!(m_loadedStores & 2) && loadSim())
        rebuildTree();
    else if (!(m_loadedStores & 2))
        TimerLoadSIMData.start();
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
    const std::vector<int> rows = checkedRows();
    if (rows.size() != 1 || !m_list)
        return;
    m_editorDone = nullptr;
    if (TFmEditPB *edit = editor())
        edit->EditContact(*m_list->rows().at(static_cast<size_t>(rows.front())).record);
}

void TFrmContacts::ViewChecked()
{
    const std::vector<int> rows = checkedRows();
    if (rows.size() != 1 || !m_list)
        return;
    if (TFrmViewPB *view = viewer())
        view->ViewContact(*m_list->rows().at(static_cast<size_t>(rows.front())).record);
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
    edit->NewContact(&prefilled, PB_PC, PB_NODE_PC, m_simUsable);
}

void TFrmContacts::SendSmsTo(const QString &recipients)
{
    // The composer opens with the numbers and brings this window back when it closes.
    if (auto *writer = m_host.role<feature::SmsWriter>())
        writer->writeSmsTo(recipients);
}

void TFrmContacts::MessageToChecked()
{
    if (m_list && !checkedRows().empty())
        SendSmsTo(m_list->recipients(checkedRows()));
}

void TFrmContacts::MessageToNode(int node)
{
    if (m_list)
        SendSmsTo(m_list->recipientsOfNode(node));
}

void TFrmContacts::warn(const QString &text)
{
    platform::ShowMessageBox(m_host.dialogOwner(), text, kWarningIcon);
}

bool TFrmContacts::ask(const QString &text)
{
    return platform::AskMessageBox(m_host.dialogOwner(), text, kQuestionIcon) == 1;
}
