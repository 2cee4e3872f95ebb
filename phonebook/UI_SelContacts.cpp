#include "UI_SelContacts.h"

#include "PbStore.h"

#include "WindowControls.h"
#include "FeaturePage.h"
#include "logic/EngineValues.h"
#include "platform/CodePage.h"
#include "language/TextNumbers.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

QTreeWidget *recipientList(QWidget *parent, const char *name)
{
    auto *list = NamedControl<QTreeWidget>(parent, name);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({GetLanguageString(text::kPbName), GetLanguageString(text::kPbMobile)});
    list->header()->resizeSection(0, 110);
    return list;
}

void fillList(QTreeWidget *list, const std::vector<RecipientRow> &rows)
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (const RecipientRow &row : rows) {
        auto *item = new QTreeWidgetItem(list, {row.name, row.phone});
        item->setCheckState(0, row.checked ? Qt::Checked : Qt::Unchecked);
    }
}

const feature::WindowSkin kSkin{"PBSEL.BKIMAGE",
                                nullptr,
                                {{"PBSEL.BTOK", "BtOK"},
                                 {"PBSEL.BTCANCEL", "BtCancel"},
                                 {"PBSEL.BTLTOR", "BtLtoR"},
                                 {"PBSEL.BTRTOL", "BtRtoL"},
                                 {"PBSEL.BTSENDSMS", "BtSendSms"}}};

}  // namespace

TFrmSel::TFrmSel(feature::FeatureHost &host, PbStoreSource store)
    : QDialog(host.dialogOwner()), m_host(host), m_storeSource(std::move(store))
{
    setObjectName(QStringLiteral("TFrmSel"));
    setWindowTitle(GetLanguageString(text::kPbSelectTitle));
    CbSelectLocation = NamedControl<QComboBox>(this, "CbSelectLocation");
    CbSelectLocation->addItem(GetLanguageString(text::kPbStorePC), PB_PC);
    CbSelectLocation->addItem(GetLanguageString(text::kPbStoreSIM), PB_SIM);
    LvLeft = recipientList(this, "LvLeft");
    LvRight = recipientList(this, "LvRight");
    CbPhoneList = NamedControl<QComboBox>(this, "CbPhoneList");
    CbPhoneList->hide();
    BtLtoR = NamedControl<QPushButton>(this, "BtLtoR", QStringLiteral(">>"));
    BtRtoL = NamedControl<QPushButton>(this, "BtRtoL", QStringLiteral("<<"));
    BtOK = NamedButton(this, "BtOK", text::kPbOk);
    BtCancel = NamedButton(this, "BtCancel", text::kPbCancel);
    BtSendSms = NamedButton(this, "BtSendSms", text::kPbSendSms);
    auto *middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(BtLtoR);
    middle->addWidget(BtRtoL);
    middle->addStretch(1);
    auto *grid = new QGridLayout(this);
    grid->addWidget(CbSelectLocation, 0, 0);
    grid->addWidget(NamedLabel(this, "LbLeft", GetLanguageString(text::kPbSelectFrom)), 1, 0);
    grid->addWidget(NamedLabel(this, "LbRight", GetLanguageString(text::kPbSelectTo)), 1, 2);
    grid->addWidget(LvLeft, 2, 0);
    grid->addLayout(middle, 2, 1);
    grid->addWidget(LvRight, 2, 2);
    grid->addWidget(CbPhoneList, 3, 0);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BtSendSms);
    buttons->addStretch(1);
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    grid->addLayout(buttons, 4, 0, 1, 3);
    resize(560, 360);
    feature::WearSkin(*this, kSkin);

    connect(CbSelectLocation, &QComboBox::currentIndexChanged, this, &TFrmSel::FillFromLocation);
    connect(BtLtoR, &QPushButton::clicked, this, &TFrmSel::MoveRight);
    connect(BtRtoL, &QPushButton::clicked, this, &TFrmSel::MoveLeft);
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtSendSms, &QPushButton::clicked, this, &TFrmSel::SendSmsToChosen);
    for (QTreeWidget *list : {LvLeft, LvRight}) {
        connect(list, &QTreeWidget::itemSelectionChanged, this, [list] {
            for (QTreeWidgetItem *item : list->selectedItems())
                item->setCheckState(0, Qt::Checked);
        });
    }
    connect(LvLeft, &QTreeWidget::itemSelectionChanged, this, &TFrmSel::leftSelectionChanged);
    connect(LvLeft, &QTreeWidget::itemDoubleClicked, this, &TFrmSel::MoveRight);
    connect(LvRight, &QTreeWidget::itemDoubleClicked, this, &TFrmSel::MoveLeft);
    connect(CbPhoneList, &QComboBox::activated, this, [this](int index) {
        const QList<QTreeWidgetItem *> selected = LvLeft->selectedItems();
        if (selected.size() != 1)
            return;
        const int row = LvLeft->indexOfTopLevelItem(selected.front());
        m_choice.left().at(static_cast<size_t>(row)).phone = CbPhoneList->itemText(index);
        selected.front()->setText(1, CbPhoneList->itemText(index));
    });
}

void TFrmSel::FillFromLocation()
{
    TBL_pb *pb = m_storeSource ? m_storeSource() : nullptr;
    if (pb)
        m_choice.Fill(*pb, static_cast<uint8_t>(CbSelectLocation->currentData().toInt()));
    else
        m_choice = RecipientChoice();
    showLists();
}

void TFrmSel::showLists()
{
    fillList(LvLeft, m_choice.left());
    fillList(LvRight, m_choice.right());
    CbPhoneList->hide();
}

void TFrmSel::readChecks()
{
    for (auto [list, rows] :
         {std::pair{LvLeft, &m_choice.left()}, std::pair{LvRight, &m_choice.right()}})
        for (int i = 0; i < list->topLevelItemCount() && i < static_cast<int>(rows->size()); ++i)
            rows->at(static_cast<size_t>(i)).checked =
                list->topLevelItem(i)->checkState(0) == Qt::Checked;
}

void TFrmSel::MoveRight()
{
    readChecks();
    m_choice.MoveRight();
    showLists();
}

void TFrmSel::MoveLeft()
{
    readChecks();
    m_choice.MoveLeft();
    showLists();
}

void TFrmSel::leftSelectionChanged()
{
    const QList<QTreeWidgetItem *> selected = LvLeft->selectedItems();
    if (selected.size() != 1 || CbSelectLocation->currentData().toInt() != PB_PC) {
        CbPhoneList->hide();
        return;
    }
    const int row = LvLeft->indexOfTopLevelItem(selected.front());
    CbPhoneList->clear();
    CbPhoneList->addItems(m_choice.left().at(static_cast<size_t>(row)).numbers);
    CbPhoneList->setVisible(CbPhoneList->count() > 0);
}

std::optional<TFrmSel::Recipients> TFrmSel::SelectRecipients()
{
    FillFromLocation();
    if (platform::execDialog(*this) != QDialog::Accepted)
        return std::nullopt;
    return Recipients{m_choice.Recipients(), static_cast<int>(m_choice.right().size())};
}

std::optional<QString> TFrmSel::pickRecipients()
{
    const std::optional<Recipients> chosen = SelectRecipients();
    return chosen ? std::optional<QString>(chosen->text) : std::nullopt;
}

void TFrmSel::SendSmsToChosen()
{
    const QString recipients = m_choice.Recipients();
    accept();
    // Once the dialog has returned: the composer that opened it takes what was chosen first,
    // then the new message replaces it.
    QMetaObject::invokeMethod(
        this,
        [this, recipients] {
            if (auto *writer = m_host.role<feature::SmsWriter>())
                writer->writeSmsTo(recipients);
        },
        Qt::QueuedConnection);
}

void TFrmSel::SimUnusable()
{
    if (isVisible())
        reject();
    CbSelectLocation->setCurrentIndex(0);
    CbSelectLocation->setEnabled(false);
}

void TFrmSel::cardStateChanged(CardState state)
{
    if (state == kSimReady)
        CbSelectLocation->setEnabled(true);
    else
        SimUnusable();
}
