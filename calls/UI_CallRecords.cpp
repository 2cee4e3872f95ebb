#include "UI_CallRecords.h"

#include "UI_CallManager.h"

#include "FeaturePage.h"
#include "WindowControls.h"

#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include <algorithm>

using platform::GetLanguageString;

namespace {

constexpr int kQuestion = 4;
constexpr int kColumnWidths[] = {0, 150, 170, 170, 80};

const feature::WindowSkin kSkin{"CR.CRBKIMAGE",
                                "CR.TITLEIMAGE",
                                {{"CR.CRMISSED", "CRMissed"},
                                 {"CR.CRRECEIVED", "CRReceived"},
                                 {"CR.CRDIALLED", "CRDialled"},
                                 {"CR.CRDIALLING", "CRDialling"},
                                 {"CR.CRNEWMSG", "CRNewMsg"},
                                 {"CR.CRSAVENUMBER", "CRSaveNumber"},
                                 {"CR.CRDELETE", "CRDelete"},
                                 {"CR.CRCLEAR", "CRClear"}}};

}  // namespace

TCrForm::TCrForm(feature::FeatureHost &host)
    : m_host(host), m_records([&host](const QString &number) {
          auto *names = host.role<feature::ContactNames>();
          return names ? names->nameOfNumber(number) : QString();
      })
{
    setObjectName(QStringLiteral("TCrForm"));
    setWindowTitle(GetLanguageString(7013));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 10, 12, 10);
    auto *tabs = new QHBoxLayout;
    CRMissed = NamedButton(this, "CRMissed", 7001);
    CRReceived = NamedButton(this, "CRReceived", 7002);
    CRDialled = NamedButton(this, "CRDialled", 7003);
    for (QPushButton *tab : {CRMissed, CRReceived, CRDialled}) {
        tab->setCheckable(true);
        tab->setFocusPolicy(Qt::NoFocus);
        tabs->addWidget(tab);
    }
    tabs->addStretch(1);
    RecordSaved = NamedLabel(this, "RecordSaved");
    tabs->addWidget(RecordSaved);
    column->addLayout(tabs);

    CRListView = NamedControl<QTreeWidget>(this, "CRListView");
    CRListView->setColumnCount(5);
    CRListView->setHeaderLabels({QString(), GetLanguageString(7009), GetLanguageString(7010),
                                 GetLanguageString(7011), GetLanguageString(7012)});
    for (int c = 0; c < 5; ++c)
        CRListView->setColumnWidth(c, kColumnWidths[c]);
    CRListView->setColumnHidden(0, true);
    CRListView->setRootIsDecorated(false);
    CRListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    CRListView->header()->setSectionsClickable(true);
    CRListView->header()->setSortIndicatorShown(false);
    column->addWidget(CRListView, 1);

    auto *buttons = new QHBoxLayout;
    CRDialling = NamedButton(this, "CRDialling", 7004);
    CRNewMsg = NamedButton(this, "CRNewMsg", 7005);
    CRSaveNumber = NamedButton(this, "CRSaveNumber", 7006);
    CRDelete = NamedButton(this, "CRDelete", 7007);
    CRClear = NamedButton(this, "CRClear", 7008);
    for (QPushButton *button : {CRDialling, CRNewMsg, CRSaveNumber, CRDelete, CRClear})
        buttons->addWidget(button);
    buttons->addStretch(1);
    column->addLayout(buttons);

    connect(CRMissed, &QPushButton::clicked, this, [this] { ShowList(1); });
    connect(CRReceived, &QPushButton::clicked, this, [this] { ShowList(2); });
    connect(CRDialled, &QPushButton::clicked, this, [this] { ShowList(3); });
    connect(CRDialling, &QPushButton::clicked, this, &TCrForm::CRDiallingClick);
    connect(CRNewMsg, &QPushButton::clicked, this, &TCrForm::CRNewMsgClick);
    connect(CRSaveNumber, &QPushButton::clicked, this, &TCrForm::CRSaveNumberClick);
    connect(CRDelete, &QPushButton::clicked, this, &TCrForm::CRDeleteClick);
    connect(CRClear, &QPushButton::clicked, this, &TCrForm::CRClearClick);
    connect(CRListView, &QTreeWidget::itemSelectionChanged, this, &TCrForm::updateButtons);
    connect(CRListView, &QTreeWidget::itemDoubleClicked, this, &TCrForm::CRDiallingClick);
    connect(CRListView->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        m_records.sortBy(section);
        fill();
    });
    feature::WearSkin(*this, kSkin);
    updateButtons();
}

void TCrForm::ShowList(uint8_t kind)
{
    m_records.show(kind);
    setWindowTitle(m_records.title());
    CRMissed->setChecked(kind == 1);
    CRReceived->setChecked(kind == 2);
    CRDialled->setChecked(kind == 3);
    fill();
    if (kind == 1)
        m_host.notices().clearMissedCall();
}

void TCrForm::ShowMissedCalls()
{
    ShowList(1);
    m_host.showInPanel(*this);
}

void TCrForm::ShowDialledCalls()
{
    ShowList(3);
    m_host.showInPanel(*this);
}

void TCrForm::showCallRecords() { ShowMissedCalls(); }

// Whatever showed the page, it shows what the store holds now.
void TCrForm::shownInPanel() { ShowList(m_records.kind()); }

void TCrForm::shownByNavigation() { ShowList(1); }

void TCrForm::AddCallEntry(uint8_t kind, const QDateTime &start, const QString &number)
{
    // A store that refuses the entry is the engine's to report; the list stays as it was.
    if (m_records.add(kind, start, number) == 0 && kind == m_records.kind())
        fill();
}

void TCrForm::fill()
{
    CRListView->clear();
    for (const calls::CallRecordRow &row : m_records.rows()) {
        auto *item = new QTreeWidgetItem(CRListView);  // owned by the list
        item->setText(0, QString::number(row.entry.index));
        for (int c = 0; c < 4; ++c)
            item->setText(c + 1, row.texts[c]);
    }
    CRListView->setCurrentItem(nullptr);
    RecordSaved->setText(m_records.countText());
    updateButtons();
}

std::vector<int> TCrForm::selectedRows() const
{
    std::vector<int> rows;
    for (QTreeWidgetItem *item : CRListView->selectedItems())
        rows.push_back(CRListView->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TCrForm::updateButtons()
{
    const calls::CallRecordControls c = m_records.controls(selectedRows().size());
    CRDialling->setEnabled(c.dial);
    CRNewMsg->setEnabled(c.sms);
    CRSaveNumber->setEnabled(c.save);
    CRDelete->setEnabled(c.remove);
    CRClear->setEnabled(c.clear);
}

void TCrForm::CRDiallingClick()
{
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    if (auto *calls = m_host.window<TCall_managerform>())
        calls->DialNumber(m_records.number(rows.front()));
}

void TCrForm::CRNewMsgClick()
{
    const QString numbers = m_records.recipients(selectedRows());
    if (numbers.isEmpty())
        return;
    if (auto *writer = m_host.role<feature::SmsWriter>())
        writer->writeSmsTo(numbers);
}

void TCrForm::CRSaveNumberClick()
{
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    if (auto *maker = m_host.role<feature::ContactMaker>())
        maker->newContactWithNumber(m_records.number(rows.front()), [this](bool saved, const QString &) {
            m_host.showInPanel(*this);
            if (saved)
                ShowList(m_records.kind());  // the row shows the new name
        });
}

void TCrForm::CRDeleteClick()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty() ||
        platform::AskMessageBox(m_host.dialogOwner(), GetLanguageString(7021), kQuestion) != 1)
        return;
    m_records.remove(rows);
    fill();
    if (m_records.kind() == 1 && m_records.rows().empty())
        m_host.notices().clearMissedCall();
}

void TCrForm::CRClearClick()
{
    if (platform::AskMessageBox(m_host.dialogOwner(), GetLanguageString(7022), kQuestion) != 1)
        return;
    if (m_records.clear() && m_records.kind() == 1)
        m_host.notices().clearMissedCall();
    fill();
}
