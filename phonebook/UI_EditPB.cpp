#include "UI_EditPB.h"

#include "WindowControls.h"
#include "FeaturePage.h"

#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kWarningIcon = 2;
constexpr size_t kGroupsListed = 200;

const feature::WindowSkin kSkin{
    "PBEDIT.PBEDITBKIMAGE", nullptr, {{"PBEDIT.BTOK", "BtOK"}, {"PBEDIT.BTCANCEL", "BtCancel"}}};

}  // namespace

TFmEditPB::TFmEditPB(feature::FeatureHost &host, PbStoreSource store)
    : m_host(host), m_storeSource(std::move(store))
{
    setObjectName(QStringLiteral("TFmEditPB"));
    setWindowTitle(GetLanguageString(text::kPbEditTitle));
    LbTitle = NamedLabel(this, "LbTitle", GetLanguageString(text::kPbEditTitle));
    QFont titleFont = LbTitle->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(15);
    LbTitle->setFont(titleFont);
    EdName = NamedControl<QLineEdit>(this, "EdName");
    CbGroup = NamedControl<QComboBox>(this, "CbGroup");
    EdPhoneNumber = NamedControl<QLineEdit>(this, "EdPhoneNumber");
    EdHomePhone = NamedControl<QLineEdit>(this, "EdHomePhone");
    EdPhoneEx1 = NamedControl<QLineEdit>(this, "EdPhoneEx1");
    EdPhoneEx2 = NamedControl<QLineEdit>(this, "EdPhoneEx2");
    EdPhoneEx3 = NamedControl<QLineEdit>(this, "EdPhoneEx3");
    EdEmail = NamedControl<QLineEdit>(this, "EdEmail");
    EdURL = NamedControl<QLineEdit>(this, "EdURL");
    EdNote = NamedControl<QLineEdit>(this, "EdNote");
    for (QLineEdit *hidden : {EdPhoneEx2, EdPhoneEx3, EdURL, EdNote})
        hidden->hide();
    RBPC = NamedButton<QRadioButton>(this, "RBPC", text::kPbStorePC);
    RBME = NamedButton<QRadioButton>(this, "RBME", text::kPbStoreCard);
    RBSIM = NamedButton<QRadioButton>(this, "RBSIM", text::kPbStoreSIM);
    RBME->hide();  // the card's own phonebook is not offered for new contacts
    auto *storages = new QButtonGroup(this);
    for (QRadioButton *radio : {RBPC, RBME, RBSIM})
        storages->addButton(radio);
    BtOK = NamedButton(this, "BtOK", text::kPbSave);
    BtCancel = NamedButton(this, "BtCancel", text::kPbCancel);

    auto *form = new QFormLayout;
    form->addRow(GetLanguageString(text::kPbName), EdName);
    form->addRow(GetLanguageString(text::kPbMobile), EdPhoneNumber);
    form->addRow(GetLanguageString(text::kPbHome), EdHomePhone);
    form->addRow(GetLanguageString(text::kPbPhone1), EdPhoneEx1);
    form->addRow(GetLanguageString(text::kPbEmail), EdEmail);
    form->addRow(GetLanguageString(text::kPbGroup), CbGroup);
    auto *radios = new QHBoxLayout;
    for (QRadioButton *radio : {RBPC, RBME, RBSIM})
        radios->addWidget(radio);
    radios->addStretch(1);
    form->addRow(GetLanguageString(text::kPbSavedIn), radios);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtOK);
    buttons->addWidget(BtCancel);
    auto *column = new QVBoxLayout(this);
    column->addWidget(LbTitle);
    column->addLayout(form);
    column->addWidget(EdPhoneEx2);
    column->addWidget(EdPhoneEx3);
    column->addWidget(EdURL);
    column->addWidget(EdNote);
    column->addStretch(1);
    column->addLayout(buttons);
    feature::WearSkin(*this, kSkin);

    connect(RBPC, &QRadioButton::clicked, this, [this] { ApplyStorage(PB_PC); });
    connect(RBME, &QRadioButton::clicked, this, [this] { ApplyStorage(PB_ME); });
    connect(RBSIM, &QRadioButton::clicked, this, [this] { ApplyStorage(PB_SIM); });
    connect(EdName, &QLineEdit::textChanged, this, &TFmEditPB::nameEdited);
    connect(EdEmail, &QLineEdit::textChanged, this, &TFmEditPB::emailEdited);
    for (QLineEdit *field : numberFields()) {
        field->setProperty("accepted", QString());
        connect(field, &QLineEdit::textChanged, this, [this, field] { guardNumber(field); });
    }
    connect(BtOK, &QPushButton::clicked, this, [this] { Save(); });
    connect(BtCancel, &QPushButton::clicked, this, &TFmEditPB::Cancel);
}

std::array<QLineEdit *, MEC_CONTACT_NUMBER_SLOTS> TFmEditPB::numberFields() const
{
    return {EdPhoneNumber, EdHomePhone, EdPhoneEx1, EdPhoneEx2, EdPhoneEx3};
}

void TFmEditPB::EditContact(const _MEC_CONTACT_RECORD &record)
{
    m_working = record;
    m_isNew = false;
    for (QRadioButton *radio : {RBPC, RBME, RBSIM})
        radio->setEnabled(false);
    open();
}

void TFmEditPB::NewContact(const _MEC_CONTACT_RECORD *prefilled, uint8_t storage, int groupNode,
                           bool simUsable)
{
    m_working = prefilled ? *prefilled : _MEC_CONTACT_RECORD{};
    m_isNew = true;
    m_working.storage = simUsable ? storage : uint8_t{PB_PC};
    m_working.groupId = groupNode >= 0 && groupNode != 100 && groupNode != 200 && groupNode != 300
                            ? static_cast<uint32_t>(groupNode)
                            : m_working.groupId;
    RBPC->setEnabled(true);
    RBME->setEnabled(simUsable);
    RBSIM->setEnabled(simUsable);
    open();
}

void TFmEditPB::open()
{
    LbTitle->setText(GetLanguageString(m_isNew ? text::kPbNewTitle : text::kPbEditTitle));
    setWindowTitle(LbTitle->text());
    if (TBL_pb *pb = store()) {
        char allowed[32]{};
        const int length = pb->GetNumberCharacters(allowed);
        m_numberCharacters = QString::fromLatin1(allowed, std::clamp(length, 0, 31));
    }
    const ContactFields fields = contact_edit::FieldsOf(m_working);
    (m_working.storage == PB_SIM  ? RBSIM
     : m_working.storage == PB_ME ? RBME
                                  : RBPC)
        ->setChecked(true);
    {
        const QSignalBlocker quietName(EdName);
        const QSignalBlocker quietEmail(EdEmail);
        EdName->setText(fields.name);
        EdEmail->setText(fields.email);
    }
    m_lastName = fields.name;
    m_lastEmail = fields.email;
    EdNote->setText(fields.note);
    EdURL->setText(fields.url);
    const auto numbers = numberFields();
    for (size_t slot = 0; slot < numbers.size(); ++slot) {
        numbers[slot]->setProperty("accepted", fields.numbers[slot]);
        numbers[slot]->setText(fields.numbers[slot]);
    }
    ApplyStorage(m_working.storage);
    m_host.showInPanel(*this);
    EdName->setFocus();
}

void TFmEditPB::ApplyStorage(uint8_t storage)
{
    m_working.storage = storage;
    FieldLimits limits{};
    if (TBL_pb *pb = store())
        pb->GetContactLimits(storage, CODING_8BIT, &limits);
    const FieldAvailability available = contact_edit::ForStorage(storage, limits);
    auto limit = [](QLineEdit *field, int max) {
        field->setEnabled(max > 0);
        if (max <= 0) {
            field->clear();
            return;
        }
        field->setMaxLength(max);  // also cuts a longer text
    };
    const auto numbers = numberFields();
    for (size_t slot = 0; slot < numbers.size(); ++slot)
        limit(numbers[slot], static_cast<int>(slot) < available.numberSlots || slot == 0
                                 ? contact_edit::kNumberMax
                                 : 0);
    limit(EdName, std::max(available.nameMax, 1));
    limit(EdEmail, available.emailMax);
    limit(EdNote, available.noteMax);
    limit(EdURL, available.urlMax);
    CbGroup->setEnabled(available.group);
    fillGroups(storage, available.group ? m_working.groupId : 0);
    nameEdited();
}

void TFmEditPB::fillGroups(uint8_t storage, uint32_t groupId)
{
    CbGroup->clear();
    TBL_pb *pb = store();
    if (!pb || storage == PB_SIM)
        return;
    std::vector<_MEC_GROUP_RECORD> groups(kGroupsListed);
    const int count = pb->ListGroups(storage, groups.data(), groups.size());
    CbGroup->addItem(QString(), 0);
    for (int i = 0; i < count; ++i) {
        const _MEC_GROUP_RECORD &group = groups[static_cast<size_t>(i)];
        CbGroup->addItem(
            platform::fromAnsi(platform::fieldText(group.groupName, sizeof group.groupName)),
            group.groupId);
    }
    CbGroup->setCurrentIndex(std::max(0, CbGroup->findData(static_cast<int>(groupId))));
}

uint8_t TFmEditPB::checkedStorage() const
{
    return RBPC->isChecked() ? PB_PC : RBME->isChecked() ? PB_ME : PB_SIM;
}

void TFmEditPB::nameEdited()
{
    if (checkedStorage() != PB_SIM) {
        // The store would cut a longer name when saving: it stops growing here instead.
        FieldLimits eightBit{}, ucs2{};
        TBL_pb *pb = store();
        if (pb) {
            pb->GetContactLimits(checkedStorage(), CODING_8BIT, &eightBit);
            pb->GetContactLimits(checkedStorage(), CODING_UCS2, &ucs2);
        }
        const QString fits = !pb ? EdName->text() :
            contact_edit::FitName(EdName->text(), eightBit, ucs2, checkedStorage() == PB_PC);
        if (fits != EdName->text()) {
            const QSignalBlocker quiet(EdName);
            EdName->setText(fits);
        }
        m_lastName = EdName->text();
        return;
    }
    const int max = EdName->maxLength();
    if (contact_edit::SimLength(EdName->text()) > max) {
        const QSignalBlocker quiet(EdName);
        EdName->setText(contact_edit::CutForSim(EdName->text(), max));
    }
    m_lastName = EdName->text();
}

void TFmEditPB::emailEdited()
{
    if (checkedStorage() != PB_SIM) {
        m_lastEmail = EdEmail->text();
        return;
    }
    const QString text = EdEmail->text();
    const bool singleByte = contact_edit::IsSingleByte(text);
    if (singleByte && contact_edit::SimLength(text) <= EdEmail->maxLength()) {
        m_lastEmail = text;
        return;
    }
    const QSignalBlocker quiet(EdEmail);
    EdEmail->setText(m_lastEmail);
}

void TFmEditPB::guardNumber(QLineEdit *field)
{
    if (m_numberCharacters.isEmpty() ||
        contact_edit::NumberAllowed(field->text(), m_numberCharacters)) {
        field->setProperty("accepted", field->text());
        return;
    }
    const QSignalBlocker quiet(field);
    field->setText(field->property("accepted").toString());
    field->setCursorPosition(static_cast<int>(field->text().size()));
}

ContactFields TFmEditPB::fields() const
{
    ContactFields fields;
    fields.name = EdName->text();
    fields.email = EdEmail->text();
    fields.note = EdNote->text();
    fields.url = EdURL->text();
    const auto numbers = numberFields();
    for (size_t slot = 0; slot < numbers.size(); ++slot)
        fields.numbers[slot] = numbers[slot]->text();
    fields.groupId = CbGroup->count() > 0 ? CbGroup->currentData().toUInt() : 0;
    fields.storage = checkedStorage();
    return fields;
}

bool TFmEditPB::Save()
{
    TBL_pb *pb = store();
    if (!pb)
        return false;
    const QString refused = contact_edit::Save(*pb, fields(), m_working, m_isNew);
    if (!refused.isEmpty()) {
        platform::ShowMessageBox(m_host.dialogOwner(), refused, kWarningIcon);
        return false;
    }
    hide();
    if (onClosed)
        onClosed(true, EdName->text());
    return true;
}

void TFmEditPB::Cancel()
{
    hide();
    if (onClosed)
        onClosed(false, QString());
}

void TFmEditPB::SimUnusable()
{
    if (!m_isNew && isVisible())
        return Cancel();
    RBPC->setChecked(true);
    RBSIM->setEnabled(false);
    RBME->setEnabled(false);
    if (m_working.storage != PB_PC)
        ApplyStorage(PB_PC);
}
