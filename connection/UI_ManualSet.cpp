#include "UI_ManualSet.h"

#include "UI_SetNetForm.h"

#include "FeaturePage.h"
#include "ProviderProfile.h"
#include "WindowControls.h"
#include "Waitpane.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include <array>

using platform::GetLanguageString;

namespace {

constexpr int kInformation = 1;
constexpr int kWarning = 2;
// The card settles into its new mode before it is asked to search.
constexpr int kSettleBeforeSearchMs = 5000;

const feature::WindowSkin kSkin{"SETNETSELECT.UNDERIMAGE",
                                "SETNETSELECT.TITLEIMAGE",
                                {{"SETNETSELECT.BTAPPLY", "Apply_Btn"},
                                 {"SETNETSELECT.BTCANCEL", "Cancel_Btn"},
                                 {"SETNETSELECT.BTREFRESH", "Refresh_Btn"}}};

}  // namespace

TManual_Set::TManual_Set(feature::FeatureHost &host)
    : QDialog(host.dialogOwner()), providerDatabase(DefaultProviderDatabasePath()), m_host(host)
{
    setObjectName(QStringLiteral("TManual_Set"));
    setWindowTitle(GetLanguageString(3004));
    setModal(true);
    m_wait.show = [](int kind, const QString &text) {
        ShowStatusWindow(kind, platform::toAnsi(text).c_str(), 0);
    };
    m_wait.close = [] { CloseStatusWindow(); };

    OperatorListView = NamedControl<QTreeWidget>(this, "OperatorListView");
    OperatorListView->setRootIsDecorated(false);
    OperatorListView->setSortingEnabled(false);
    OperatorListView->setHeaderLabels({QStringLiteral("state"), QStringLiteral("Short Name"),
                                       GetLanguageString(3110), GetLanguageString(3119)});
    const std::array<int, 4> widths{100, 110, 120, 90};
    for (size_t i = 0; i < widths.size(); ++i)
        OperatorListView->setColumnWidth(static_cast<int>(i), widths[i]);
    OperatorListView->setMinimumWidth(440);

    Refresh_Btn = NamedButton(this, "Refresh_Btn", 3001);
    Apply_Btn = NamedButton(this, "Apply_Btn", 3002);
    Cancel_Btn = NamedButton(this, "Cancel_Btn", 3003);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Refresh_Btn);
    buttons->addWidget(Apply_Btn);
    buttons->addWidget(Cancel_Btn);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 12 + feature::kTitleStripHeight, 16, 12);
    column->addWidget(OperatorListView);
    column->addLayout(buttons);

    connect(Refresh_Btn, &QPushButton::clicked, this, &TManual_Set::Refresh_BtnClick);
    connect(Apply_Btn, &QPushButton::clicked, this, &TManual_Set::Apply_BtnClick);
    connect(Cancel_Btn, &QPushButton::clicked, this, &TManual_Set::Cancel_BtnClick);
    connect(OperatorListView, &QTreeWidget::itemSelectionChanged, this, [this] {
        Apply_Btn->setEnabled(!m_working && !OperatorListView->selectedItems().isEmpty());
    });
    Apply_Btn->setEnabled(false);
    feature::WearSkin(*this, kSkin);
}

TManual_Set::~TManual_Set() { JoinWorker(); }

void TManual_Set::JoinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void TManual_Set::startWorker(std::function<void()> work)
{
    JoinWorker();
    m_worker = std::thread(std::move(work));
}

void TManual_Set::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TManual_Set::FormShow() { Refresh_BtnClick(); }

void TManual_Set::setControlsEnabled(bool enabled)
{
    for (QWidget *control :
         std::initializer_list<QWidget *>{Refresh_Btn, Cancel_Btn, OperatorListView})
        control->setEnabled(enabled);
    Apply_Btn->setEnabled(enabled && !OperatorListView->selectedItems().isEmpty());
}

void TManual_Set::Refresh_BtnClick()
{
    if (m_working)
        return;
    NetworkSelection *selection = m_page ? &m_page->selection() : nullptr;
    if ((selection ? selection->BeginSearch() : _MEC_SetNetworkSelectMode(4)) != 0) {
        platform::ShowMessageBox(this, GetLanguageString(3101), kInformation);
        return;
    }
    OperatorListView->clear();
    m_rows.clear();
    m_working = true;
    WorkerMessage(0);
    const QString searching = GetLanguageString(3007);
    // The dialog lives as long as the program and joins its worker before it goes.
    startWorker([this, searching] {
        m_wait.show(1, searching);
        platform::pause(kSettleBeforeSearchMs);
        std::vector<_MEC_OPERATOR_INFO> buffer(MEC_OPERATOR_LIST_MAX);
        _MEC_OPERATOR_INFO *records = buffer.data();
        uint32_t count = 0;
        const bool found = _MEC_GetOperaterList(&records, &count) == 0;
        buffer.resize(found ? std::min<uint32_t>(count, MEC_OPERATOR_LIST_MAX) : 0);
        m_wait.close();
        QMetaObject::invokeMethod(
            this,
            [this, buffer = std::move(buffer)] {
                FillList(buffer);
                m_searchDone = true;
                WorkerMessage(1);
            },
            Qt::QueuedConnection);
    });
}

void TManual_Set::FillList(const std::vector<_MEC_OPERATOR_INFO> &records)
{
    const QString database = providerDatabase;
    m_rows = OperatorRows(records, [&database](const QString &numeric) {
        return ProviderNameOf(database, numeric);
    });
    OperatorListView->clear();
    for (const OperatorRow &row : m_rows)
        OperatorListView->addTopLevelItem(new QTreeWidgetItem(  // owned by the list
            QStringList{row.stateText, row.name, row.numeric, row.networkType}));
}

void TManual_Set::WorkerMessage(int phase)
{
    switch (phase) {
    case 0:
        setControlsEnabled(false);
        m_host.notices().disableNavigation();
        break;
    case 1:
        m_working = false;
        setControlsEnabled(true);
        break;
    case 2:
        m_host.notices().enableNavigation();
        if (m_page)
            m_page->ManualRegistered();
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(3013), kInformation);
        break;
    case 3:
        m_host.notices().enableNavigation();
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(3014), kWarning);
        break;
    default: break;
    }
}

void TManual_Set::Apply_BtnClick()
{
    const auto selected = OperatorListView->selectedItems();
    const int index = selected.isEmpty() ? -1 : OperatorListView->indexOfTopLevelItem(selected[0]);
    const OperatorRow *row =
        index >= 0 && index < static_cast<int>(m_rows.size()) ? &m_rows[static_cast<size_t>(index)]
                                                              : nullptr;
    if (const int refusal = RowRefusal(row)) {
        platform::ShowMessageBox(this, GetLanguageString(refusal), kWarning);
        return;
    }
    const _MEC_OPERATOR_SELECT selection = SelectionOf(*row);
    accept();
    m_working = true;
    WorkerMessage(0);
    const QString registering = GetLanguageString(3008);
    startWorker([this, selection, registering] {
        m_wait.show(2, registering);
        const bool registered = _MEC_SetOperator(selection) == 0;
        m_wait.close();
        QMetaObject::invokeMethod(
            this,
            [this, registered] {
                WorkerMessage(1);
                WorkerMessage(registered ? 2 : 3);
            },
            Qt::QueuedConnection);
    });
}

void TManual_Set::leave()
{
    if (m_page)
        m_page->ManualLeft();
    m_host.notices().enableNavigation();
    m_searchDone = false;
}

void TManual_Set::Cancel_BtnClick()
{
    if (m_working)
        return;
    leave();
    QDialog::reject();
}

// Escape and the window's close: refused while a search runs.
void TManual_Set::reject() { Cancel_BtnClick(); }
