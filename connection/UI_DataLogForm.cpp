#include "UI_DataLogForm.h"

#include "ConnectionMessages.h"
#include "FeaturePage.h"
#include "WindowControls.h"

#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kFirstButton = 1;

const feature::WindowSkin kSkin{"DATACONNECTLOG.DATAINTERFACEBKIMAGE",
                                "DATACONNECTLOG.TITLEIMAGE",
                                {{"DATACONNECTLOG.DELETEBUTTON", "DeleteButton"},
                                 {"DATACONNECTLOG.CLEARALLBUTTON", "ClearAllButton"},
                                 {"DATACONNECTLOG.RETURNBUTTON", "ReturnButton"},
                                 {"DATACONNECTLOG.TOTALDATALABEL", "TotleLabel"},
                                 {"DATACONNECTLOG.TotleDataValue", "TotleDataValue"},
                                 {"DATACONNECTLOG.TotalTimeLabel", "TotalTimeLabel"},
                                 {"DATACONNECTLOG.TotalTime", "TotalTime"}}};

}  // namespace

TDataLogForm::TDataLogForm(feature::FeatureHost &host) : m_host(host)
{
    setObjectName(QStringLiteral("TDataLogForm"));
    setWindowTitle(GetLanguageString(6035));
    ListViewDataLog = new QTreeWidget(this);
    ListViewDataLog->setObjectName(QStringLiteral("ListViewDataLog"));
    ListViewDataLog->setRootIsDecorated(false);
    ListViewDataLog->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewDataLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewDataLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewDataLog->setColumnCount(ConnectionLog::kColumns);
    ListViewDataLog->setHeaderLabels({QString(), GetLanguageString(6039), GetLanguageString(6036),
                                      GetLanguageString(6037), GetLanguageString(6038),
                                      GetLanguageString(6040), GetLanguageString(6041)});
    ListViewDataLog->setColumnHidden(0, true);
    ListViewDataLog->header()->setSectionsClickable(true);
    ListViewDataLog->setStyleSheet(
        QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"));

    TotleLabel = NamedLabel(this, "TotleLabel", GetLanguageString(6042));
    TotleDataValue = NamedLabel(this, "TotleDataValue");
    TotalTimeLabel = NamedLabel(this, "TotalTimeLabel", GetLanguageString(6045));
    TotalTime = NamedLabel(this, "TotalTime");
    for (QLabel *total : {TotleDataValue, TotalTime})
        total->setToolTip(GetLanguageString(6049));
    DeleteButton = NamedButton(this, "DeleteButton", 6043);
    ClearAllButton = NamedButton(this, "ClearAllButton", 7008);
    ReturnButton = NamedButton(this, "ReturnButton", 6044);

    auto *totals = new QGridLayout;
    totals->addWidget(TotleLabel, 0, 0);
    totals->addWidget(TotleDataValue, 0, 1);
    totals->addWidget(TotalTimeLabel, 1, 0);
    totals->addWidget(TotalTime, 1, 1);
    totals->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *each : {DeleteButton, ClearAllButton, ReturnButton})
        buttons->addWidget(each);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListViewDataLog, 1);
    layout->addLayout(totals);
    layout->addLayout(buttons);

    connect(DeleteButton, &QPushButton::clicked, this, &TDataLogForm::DeleteButtonClick);
    connect(ClearAllButton, &QPushButton::clicked, this, &TDataLogForm::ClearAllButtonClick);
    connect(ReturnButton, &QPushButton::clicked, this, &TDataLogForm::ReturnButtonClick);
    connect(ListViewDataLog->header(), &QHeaderView::sectionClicked, this,
            &TDataLogForm::ListViewDataLogColumnClick);
    connect(ListViewDataLog, &QTreeWidget::itemSelectionChanged, this,
            &TDataLogForm::updateButtons);
    showRows();
    feature::WearSkin(*this, kSkin);
}

void TDataLogForm::messageArrived(platform::WindowMessageEvent &message)
{
    if (message.message() == WM_OPEN_CONNECTION_LOG)
        Open();
}

void TDataLogForm::Open()
{
    m_log.Open();
    showRows();
    m_host.showInPanel(*this);
}

void TDataLogForm::showRows()
{
    ListViewDataLog->clear();
    for (const ConnectionLogRow &row : m_log.rows()) {
        auto *item = new QTreeWidgetItem(ListViewDataLog);  // owned by the list
        for (int column = 0; column < ConnectionLog::kColumns; ++column)
            item->setText(column, row.texts[size_t(column)]);
    }
    for (int column = 1; column < ConnectionLog::kColumns; ++column)
        ListViewDataLog->resizeColumnToContents(column);
    TotleDataValue->setText(m_log.TotalTraffic());
    TotalTime->setText(m_log.TotalTime());
    updateButtons();
}

void TDataLogForm::updateButtons()
{
    ClearAllButton->setEnabled(!m_log.rows().empty());
    DeleteButton->setEnabled(!ListViewDataLog->selectedItems().isEmpty());
}

void TDataLogForm::DeleteButtonClick()
{
    std::vector<int> rows;
    for (QTreeWidgetItem *item : ListViewDataLog->selectedItems())
        rows.push_back(ListViewDataLog->indexOfTopLevelItem(item));
    if (rows.empty())
        return;
    if (platform::AskMessageBox(m_host.dialogOwner(), GetLanguageString(6046), 4) != kFirstButton) {
        DeleteButton->setEnabled(false);
        return;
    }
    m_log.DeleteRows(rows);
    showRows();
}

void TDataLogForm::ClearAllButtonClick()
{
    if (platform::AskMessageBox(m_host.dialogOwner(), GetLanguageString(6048), 4) != kFirstButton) {
        DeleteButton->setEnabled(false);
        return;
    }
    m_log.ClearAll();
    showRows();
}

void TDataLogForm::ReturnButtonClick()
{
    hide();
    platform::PostMessage(m_host.messageTarget(), WM_SHOW_INTERNET_PAGE, 0, 0);
}

void TDataLogForm::ListViewDataLogColumnClick(int column)
{
    m_log.SortBy(column);
    showRows();
}
