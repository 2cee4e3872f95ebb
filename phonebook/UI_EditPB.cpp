#include "UI_EditPB.h"

#include "WindowControls.h"
#include "FeaturePage.h"

#include "language/TextNumbers.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kWarningIcon = 2;

const feature::WindowSkin kSkin{
    "PBEDIT.PBEDITBKIMAGE", nullptr, {{"PBEDIT.BTOK", "BtOK"}, {"PBEDIT.BTCANCEL", "BtCancel"}}};

}  // namespace

TFmEditPB::TFmEditPB(feature::FeatureHost &host, PbStoreSource store)
    : m_host(host), m_contact(std::move(store))
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
    for (size_t slot = 0; slot < numberFields().size(); ++slot)
        connect(numberFields()[slot], &QLineEdit::textChanged, this,
                [this, slot] { guardNumber(slot); });
    connect(BtOK, &QPushButton::clicked, this, [this] { Save(); });
    connect(BtCancel, &QPushButton::clicked, this, &TFmEditPB::Cancel);
}

std::array<QLineEdit *, MEC_CONTACT_NUMBER_SLOTS> TFmEditPB::numberFields() const
{
    return {EdPhoneNumber, EdHomePhone, EdPhoneEx1, EdPhoneEx2, EdPhoneEx3};
}

void TFmEditPB::EditContact(const _MEC_CONTACT_RECORD &record)
{
    for (QRadioButton *radio : {RBPC, RBME, RBSIM})
        radio->setEnabled(false);
    open(m_contact.Edit(record));
}

void TFmEditPB::NewContact(const _MEC_CONTACT_RECORD *prefilled, uint8_t storage, int groupNode,
                           bool simUsable)
{
    RBPC->setEnabled(true);
    RBME->setEnabled(simUsable);
    RBSIM->setEnabled(simUsable);
    open(m_contact.New(prefilled, storage, groupNode, simUsable));
}

void TFmEditPB::open(const ContactFields &fields)
{
    LbTitle->setText(GetLanguageString(m_contact.isNew() ? text::kPbNewTitle : text::kPbEditTitle));
    setWindowTitle(LbTitle->text());
    (fields.storage == PB_SIM ? RBSIM : fields.storage == PB_ME ? RBME : RBPC)->setChecked(true);
    {
        const QSignalBlocker quietName(EdName);
        const QSignalBlocker quietEmail(EdEmail);
        EdName->setText(fields.name);
        EdEmail->setText(fields.email);
    }
    EdNote->setText(fields.note);
    EdURL->setText(fields.url);
    for (size_t slot = 0; slot < numberFields().size(); ++slot)
        numberFields()[slot]->setText(fields.numbers[slot]);
    ApplyStorage(fields.storage);
    m_host.showInPanel(*this);
    EdName->setFocus();
}

void TFmEditPB::ApplyStorage(uint8_t storage)
{
    const ContactEditor::StorageFields allowed = m_contact.ApplyStorage(storage);
    auto limit = [](QLineEdit *field, int max) {
        field->setEnabled(max > 0);
        if (max <= 0)
            return field->clear();
        field->setMaxLength(max);  // also cuts a longer text
    };
    for (size_t slot = 0; slot < numberFields().size(); ++slot)
        limit(numberFields()[slot], allowed.numberMax[slot]);
    limit(EdName, allowed.nameMax);
    limit(EdEmail, allowed.emailMax);
    limit(EdNote, allowed.noteMax);
    limit(EdURL, allowed.urlMax);
    CbGroup->setEnabled(allowed.group);
    CbGroup->clear();
    for (const ContactEditor::GroupChoice &group : allowed.groups)
        CbGroup->addItem(group.name, group.groupId);
    if (!allowed.groups.empty())
        CbGroup->setCurrentIndex(allowed.groupIndex);
    nameEdited();
}

uint8_t TFmEditPB::checkedStorage() const
{
    return RBPC->isChecked() ? PB_PC : RBME->isChecked() ? PB_ME : PB_SIM;
}

void TFmEditPB::nameEdited()
{
    const QString shown =
        m_contact.NameTyped(EdName->text(), checkedStorage(), EdName->maxLength());
    if (shown != EdName->text()) {
        const QSignalBlocker quiet(EdName);
        EdName->setText(shown);
    }
}

void TFmEditPB::emailEdited()
{
    const QString shown =
        m_contact.EmailTyped(EdEmail->text(), checkedStorage(), EdEmail->maxLength());
    if (shown != EdEmail->text()) {
        const QSignalBlocker quiet(EdEmail);
        EdEmail->setText(shown);
    }
}

void TFmEditPB::guardNumber(size_t slot)
{
    QLineEdit *field = numberFields()[slot];
    const QString shown = m_contact.NumberTyped(slot, field->text());
    if (shown != field->text()) {
        const QSignalBlocker quiet(field);
        field->setText(shown);
        field->setCursorPosition(static_cast<int>(shown.size()));
    }
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
    QString refused;
    if (!m_contact.Save(fields(), refused)) {
        if (!refused.isEmpty())
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
    if (!m_contact.isNew() && isVisible())
        return Cancel();
    RBPC->setChecked(true);
    RBSIM->setEnabled(false);
    RBME->setEnabled(false);
    if (m_contact.storage() != PB_PC)
        ApplyStorage(PB_PC);
}
