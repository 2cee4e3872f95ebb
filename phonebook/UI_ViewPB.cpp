#include "UI_ViewPB.h"

#include "FeaturePage.h"

#include "ContactsList.h"

#include "WindowControls.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

const feature::WindowSkin kSkin{"PBVIEW.BKIMAGE",
                                nullptr,
                                {{"PBVIEW.BTOK", "BtOK"},
                                 {"PBVIEW.RBPC", "RBPC"},
                                 {"PBVIEW.RBSIM", "RBSIM"},
                                 {"PBVIEW.EDNAME", "EdName"},
                                 {"PBVIEW.EDPHONENUMBER", "EdPhoneNumber"},
                                 {"PBVIEW.EDHOMEPHONE", "EdHomePhone"},
                                 {"PBVIEW.EDPHONEEX1", "EdPhoneEx1"},
                                 {"PBVIEW.EDEMAIL", "EdEmail"},
                                 {"PBVIEW.EDGROUP", "EdGroup"}}};

}  // namespace

TFrmViewPB::TFrmViewPB(feature::FeatureHost &host, PbStoreSource store)
    : m_host(host), m_storeSource(std::move(store))
{
    setObjectName(QStringLiteral("TFrmViewPB"));
    setWindowTitle(GetLanguageString(text::kPbViewTitle));
    auto *title = NamedLabel(this, "LbTitle", windowTitle());
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(15);
    title->setFont(titleFont);
    auto *form = new QFormLayout;
    auto field = [&](const char *name, int caption) {
        auto *made = NamedControl<QLineEdit>(this, name);
        made->setReadOnly(true);
        form->addRow(GetLanguageString(caption), made);
        return made;
    };
    EdName = field("EdName", text::kPbName);
    EdPhoneNumber = field("EdPhoneNumber", text::kPbMobile);
    EdHomePhone = field("EdHomePhone", text::kPbHome);
    EdPhoneEx1 = field("EdPhoneEx1", text::kPbPhone1);
    EdEmail = field("EdEmail", text::kPbEmail);
    EdGroup = field("EdGroup", text::kPbGroup);
    RBPC = NamedButton<QRadioButton>(this, "RBPC", text::kPbStorePC);
    RBSIM = NamedButton<QRadioButton>(this, "RBSIM", text::kPbStoreSIM);
    auto *radios = new QHBoxLayout;
    for (QRadioButton *radio : {RBPC, RBSIM}) {
        radio->setAttribute(Qt::WA_TransparentForMouseEvents);
        radio->setFocusPolicy(Qt::NoFocus);
        radios->addWidget(radio);
    }
    radios->addStretch(1);
    form->addRow(GetLanguageString(text::kPbSavedIn), radios);
    BtOK = NamedButton(this, "BtOK", text::kPbOk);
    auto *column = new QVBoxLayout(this);
    column->addWidget(title);
    column->addLayout(form);
    column->addStretch(1);
    column->addWidget(BtOK, 0, Qt::AlignRight);
    connect(BtOK, &QPushButton::clicked, this, [this] {
        hide();
        if (onClosed)
            onClosed();
    });
    feature::WearSkin(*this, kSkin);
}

void TFrmViewPB::ViewContact(const _MEC_CONTACT_RECORD &record)
{
    auto text = [](const char *field, size_t size) {
        return platform::fromAnsi(platform::fieldText(field, size));
    };
    EdName->setText(text(record.name, sizeof record.name));
    EdPhoneNumber->setText(text(record.numbers[0].number, sizeof record.numbers[0].number));
    EdHomePhone->setText(text(record.numbers[1].number, sizeof record.numbers[1].number));
    EdPhoneEx1->setText(text(record.numbers[2].number, sizeof record.numbers[2].number));
    EdEmail->setText(text(record.email, sizeof record.email));
    TBL_pb *pb = m_storeSource ? m_storeSource() : nullptr;
    EdGroup->setText(
        pb ? ContactsList(*pb).groupName(static_cast<int32_t>(record.groupId), record.storage)
           : QString());
    (record.storage == PB_SIM ? RBSIM : RBPC)->setChecked(true);
    m_host.showInPanel(*this);
}
