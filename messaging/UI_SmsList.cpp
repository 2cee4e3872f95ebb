#include "UI_SmsList.h"

#include "SmsTexts.h"

#include "FeatureRoles.h"
#include "SmsMessages.h"
#include "FeaturePage.h"

#include "WindowControls.h"
#include "logic/WindowPayloads.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include <iterator>

using platform::GetLanguageString;

namespace {

constexpr int kWarning = 2;
// Wide enough for a whole time stamp and an international number; longer cells have hints.
constexpr int kColumnWidths[SmsListModel::ColumnCount] = {120, 140, 150, 60, 56};
// The storage choice's entries: the PC, the SIM, and the card's own memory, where messages
// arrive when the SMS settings keep them in the data card.
constexpr uint8_t kStorageOfEntry[] = {SMS_STORE_PC, SMS_STORE_SIM, SMS_STORE_CARD};

const feature::WindowSkin kSkin{
    "SMS_LIST.SMSBKIMAGE",
    "SMS_LIST.HeadImage",
    {{"SMS_LIST.BTNRECEIVEBOX", "btnReceiveBox"},
      {"SMS_LIST.BTNSENDBOX", "btnSendBox"},
      {"SMS_LIST.BTNDRAFTBOX", "btnDraftBox"},
      {"SMS_LIST.BTNWRITESMS", "btnWriteSms"},
      {"SMS_LIST.BTNEDITSMS", "btnEditSms"},
      {"SMS_LIST.BTNREPLYSMS", "btnReplySms"},
      {"SMS_LIST.BTNFORWORDSMS", "btnForwordSms"},
      {"SMS_LIST.BTNDELSMS", "btnDelSms"},
      {"SMS_LIST.BTNSAVETO", "btnSaveTo"},
      {"SMS_LIST.BTNSAVENUM", "btnSaveNum"},
      {"SMS_LIST.BTNCANCEL", "btnCancel"}}};

int entryOf(uint8_t storage)
{
    for (int entry = 0; entry < int(std::size(kStorageOfEntry)); ++entry)
        if (kStorageOfEntry[entry] == storage)
            return entry;
    return 0;
}

}  // namespace

TFrmSmsList::TFrmSmsList(feature::FeatureHost &host, std::unique_ptr<SmsStoreAccess> store)
    : m_host(host), m_store(std::move(store)), m_model(*m_store)
{
    setObjectName(QStringLiteral("TFrmSmsList"));
    setWindowTitle(GetLanguageString(text::kSmsInbox));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 10, 12, 10);
    auto *top = new QHBoxLayout;
    folderButtons = sms_screens::MakeFolderButtons(this, top, host);
    top->addStretch(1);
    cbbChooseStorage = NamedControl<QComboBox>(this, "cbbChooseStorage");
    cbbChooseStorage->addItems({GetLanguageString(text::kSmsStorePc),
                                GetLanguageString(text::kSmsStoreSim),
                                GetLanguageString(text::kSmsDataCard)});
    top->addWidget(cbbChooseStorage);
    column->addLayout(top);

    // The table's own header is hidden: four labels above it name the columns.
    auto *headers = new QHBoxLayout;
    headers->setSpacing(0);
    Label1 = NamedLabel(this, "Label1", GetLanguageString(text::kSmsNumber));
    Label2 = NamedLabel(this, "Label2", GetLanguageString(text::kSmsName));
    Label3 = NamedLabel(this, "Label3", GetLanguageString(text::kDateTime));
    Label4 = NamedLabel(this, "Label4", GetLanguageString(text::kSmsStatus));
    const int labelWidths[] = {kColumnWidths[0], kColumnWidths[1], kColumnWidths[2],
                               kColumnWidths[3] + kColumnWidths[4]};
    int index = 0;
    for (QLabel *label : {Label1, Label2, Label3, Label4}) {
        label->setFixedWidth(labelWidths[index++]);
        headers->addWidget(label);
    }
    headers->addStretch(1);
    column->addLayout(headers);

    ListViewSms = NamedControl<QTreeWidget>(this, "ListViewSms");
    ListViewSms->setColumnCount(SmsListModel::ColumnCount);
    ListViewSms->setHeaderHidden(true);
    ListViewSms->setRootIsDecorated(false);
    ListViewSms->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewSms->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewSms->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewSms->setUniformRowHeights(true);
    // Grid lines between the cells, and a selection that stays visible with them.
    ListViewSms->setStyleSheet(QStringLiteral(
        "QTreeView::item { border-right: 1px solid #d0d6de; border-bottom: 1px solid #d0d6de; }"
        "QTreeView::item:selected { background: #3a6ea5; color: white; }"));
    for (int columnIndex = 0; columnIndex < SmsListModel::ColumnCount; ++columnIndex)
        ListViewSms->setColumnWidth(columnIndex, kColumnWidths[columnIndex]);
    column->addWidget(ListViewSms, 1);

    auto *actions = new QHBoxLayout;
    btnEditSms = NamedButton(this, "btnEditSms", text::kSmsRead);
    btnReplySms = NamedButton(this, "btnReplySms", text::kSmsReply);
    btnForwordSms = NamedButton(this, "btnForwordSms", text::kSmsForward);
    btnDelSms = NamedButton(this, "btnDelSms", text::kSmsDelete);
    btnSaveTo = NamedButton(this, "btnSaveTo", text::kSmsMove);
    btnSaveNum = NamedButton(this, "btnSaveNum", text::kSmsSaveNumber);
    btnCancel = NamedButton(this, "btnCancel", text::kSmsCancel);
    const std::pair<QPushButton *, void (TFrmSmsList::*)()> handlers[] = {
        {btnEditSms, &TFrmSmsList::btnEditSmsClick},
        {btnReplySms, &TFrmSmsList::btnReplySmsClick},
        {btnForwordSms, &TFrmSmsList::btnForwordSmsClick},
        {btnDelSms, &TFrmSmsList::btnDelSmsClick},
        {btnSaveTo, &TFrmSmsList::btnSaveToClick},
        {btnSaveNum, &TFrmSmsList::btnSaveNumClick},
        {btnCancel, &TFrmSmsList::btnCancelClick}};
    for (const auto &[button, handler] : handlers) {
        actions->addWidget(button);
        connect(button, &QPushButton::clicked, this, handler);
    }
    actions->addStretch(1);
    column->addLayout(actions);

    // A double click or Enter on a row opens it.
    connect(ListViewSms, &QTreeWidget::itemActivated, this, [this] { btnEditSmsClick(); });
    connect(cbbChooseStorage, &QComboBox::activated, this, &TFrmSmsList::cbbChooseStorageChange);
    updateButtons();
    feature::WearSkin(*this, kSkin);
}

TFrmSmsList::~TFrmSmsList() = default;

void TFrmSmsList::ShowFolder(uint8_t folder, uint8_t storage)
{
    m_model.SetFilter(folder, storage);
    m_model.LeaveSimUnlessReady(m_cardState);
    Refresh();
    m_host.showInPanel(*this);
}

void TFrmSmsList::Refresh()
{
    m_model.Refresh();
    ListViewSms->clear();
    for (const SmsItem &item : m_model.rows()) {
        auto *row =
            new QTreeWidgetItem(ListViewSms, SmsListModel::Cells(item));  // owned by the table
        // Each cell's hint is its full text, so a cut-off number or name can be read.
        for (int cell = 0; cell < SmsListModel::ColumnCount; ++cell)
            row->setToolTip(cell, row->text(cell));
    }
    setWindowTitle(GetLanguageString(m_model.Caption()));
    updateButtons();
}

void TFrmSmsList::updateButtons()
{
    const SmsListModel::Buttons buttons = m_model.ButtonsFor(m_cardState);
    btnReplySms->setEnabled(buttons.reply);
    btnForwordSms->setEnabled(buttons.forward);
    btnSaveTo->setEnabled(buttons.move);
    cbbChooseStorage->setEnabled(buttons.storageChoice);
    cbbChooseStorage->setCurrentIndex(entryOf(m_model.storage()));
}

void TFrmSmsList::cardStateChanged(CardState state)
{
    m_cardState = state;
    if (m_model.LeaveSimUnlessReady(state))
        Refresh();
    else
        updateButtons();
}

void TFrmSmsList::openSmsFolder(uint8_t folder, uint8_t storage)
{
    ShowFolder(folder, storage <= SMS_STORE_PC ? storage : m_model.storage());
}

void TFrmSmsList::messageArrived(platform::WindowMessageEvent &message)
{
    const uint32_t storage = message.lParam();
    switch (message.message()) {
    case WM_OPEN_SMS_FOLDER:
        ShowFolder(uint8_t(message.wParam()),
                   storage <= SMS_STORE_PC ? uint8_t(storage) : m_model.storage());
        break;
    case WM_SMS_LIST_CHANGED:
        if (m_model.Shows(uint8_t(message.wParam()), uint8_t(storage)))
            Refresh();
        break;
    default: break;
    }
}

void TFrmSmsList::cbbChooseStorageChange(int index)
{
    const bool known = index >= 0 && index < int(std::size(kStorageOfEntry));
    m_model.SetFilter(m_model.folder(), known ? kStorageOfEntry[index] : uint8_t(SMS_STORE_PC));
    Refresh();
}

std::vector<size_t> TFrmSmsList::selectedRows() const
{
    std::vector<size_t> rows;
    for (int row = 0; row < ListViewSms->topLevelItemCount(); ++row)
        if (ListViewSms->topLevelItem(row)->isSelected())
            rows.push_back(size_t(row));
    return rows;
}

bool TFrmSmsList::oneRow(SmsListModel::Action action, size_t &row)
{
    const std::vector<size_t> rows = selectedRows();
    if (const int problem = SmsListModel::SelectionProblem(action, rows.size()); problem != 0) {
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(problem), kWarning);
        return false;
    }
    row = rows.front();
    return true;
}

void TFrmSmsList::btnEditSmsClick()
{
    size_t row = 0;
    if (!oneRow(SmsListModel::Open, row))
        return;
    const SmsItem &item = m_model.rows()[row];
    if (item.folder != SMS_FOLDER_INBOX) {
        sms_screens::PostItem(m_host, WM_OPEN_COMPOSER, kComposeOpen, item);
        return;
    }
    if (item.status == SMS_STATUS_UNREAD && m_store->MarkRead(item) == 0) {
        m_model.MarkedRead(row);
        ListViewSms->topLevelItem(int(row))->setText(SmsListModel::StatusColumn, QString());
        ListViewSms->topLevelItem(int(row))->setToolTip(SmsListModel::StatusColumn, QString());
        m_host.notices().clearNewSms();
    }
    sms_screens::PostItem(m_host, WM_READ_SMS, 0, m_model.rows()[row]);
}

void TFrmSmsList::btnReplySmsClick()
{
    size_t row = 0;
    if (oneRow(SmsListModel::Reply, row))
        sms_screens::PostItem(m_host, WM_OPEN_COMPOSER, kComposeReply,
                              m_model.rows()[row]);
}

void TFrmSmsList::btnForwordSmsClick()
{
    size_t row = 0;
    if (oneRow(SmsListModel::Forward, row))
        sms_screens::PostItem(m_host, WM_OPEN_COMPOSER, kComposeForward,
                              m_model.rows()[row]);
}

void TFrmSmsList::btnSaveNumClick()
{
    size_t row = 0;
    if (!oneRow(SmsListModel::SaveNumber, row))
        return;
    const SmsItem &item = m_model.rows()[row];
    auto *contacts = m_host.role<feature::ContactMaker>();
    if (contacts == nullptr)
        return;
    // The list reads its folder again when the editor closes, with the sender's new name.
    contacts->newContactWithNumber(
        platform::fromAnsi(std::string(platform::fieldText(item.number, sizeof item.number))),
        [this, folder = m_model.folder(), storage = m_model.storage()](bool, const QString &) {
            sms_screens::ShowList(m_host, folder, storage);
        });
}

void TFrmSmsList::runOnSelection(sms_screens::RunKind kind)
{
    const std::vector<size_t> rows = selectedRows();
    if (rows.empty()) {
        platform::ShowMessageBox(
            m_host.dialogOwner(),
            GetLanguageString(SmsListModel::SelectionProblem(SmsListModel::Delete, 0)), kWarning);
        return;
    }
    std::vector<SmsItem> items;
    for (size_t row : rows)
        items.push_back(m_model.rows()[row]);
    if (sms_screens::RunWithProgress(m_host, *this, *m_store, items, kind).changed())
        Refresh();
}

void TFrmSmsList::btnDelSmsClick() { runOnSelection(sms_screens::RunKind::Delete); }

void TFrmSmsList::btnSaveToClick() { runOnSelection(sms_screens::RunKind::Move); }

void TFrmSmsList::btnCancelClick()
{
    platform::PostMessage(m_host.messageTarget(), WM_SHOW_SMS_MAIN, 0, 0);
}
