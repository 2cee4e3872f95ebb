#include "UI_SmsRead.h"

#include "logic/EngineValues.h"

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

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kWarning = 2;

const feature::WindowSkin kSkin{
    "SMS_READ.SMSBKIMAGE",
    "SMS_READ.HeadImage",
    {{"SMS_READ.BTNRECEIVEBOX", "btnReceiveBox"},
      {"SMS_READ.BTNSENDBOX", "btnSendBox"},
      {"SMS_READ.BTNDRAFTBOX", "btnDraftBox"},
      {"SMS_READ.BTNWRITESMS", "btnWriteSms"},
      {"SMS_READ.BTNRES", "btnRes"},
      {"SMS_READ.BTNTRANS", "btnTrans"},
      {"SMS_READ.BTNSAVETO", "btnSaveTo"},
      {"SMS_READ.BTNSAVENUM", "btnSaveNum"},
      {"SMS_READ.BTNDELSMS", "btnDelSms"},
      {"SMS_READ.BTNCANCEL", "btnCancel"}}};

}  // namespace

TFrmSmsRead::TFrmSmsRead(feature::FeatureHost &host, std::unique_ptr<SmsStoreAccess> store)
    : m_host(host), m_store(std::move(store))
{
    setObjectName(QStringLiteral("TFrmSmsRead"));
    setWindowTitle(GetLanguageString(text::kSmsReadCaption));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 10, 12, 10);
    auto *top = new QHBoxLayout;
    folderButtons = sms_screens::MakeFolderButtons(this, top, host);
    top->addStretch(1);
    column->addLayout(top);

    auto *form = new QFormLayout;
    lblSendOrRecvName = NamedLabel(this, "lblSendOrRecvName");
    lblSendOrRecvNum = NamedLabel(this, "lblSendOrRecvNum");
    lblTime = NamedLabel(this, "lblTime");
    form->addRow(GetLanguageString(text::kSmsName), lblSendOrRecvName);
    form->addRow(GetLanguageString(text::kSmsNumber), lblSendOrRecvNum);
    form->addRow(GetLanguageString(text::kDateTime), lblTime);
    column->addLayout(form);

    mmoMsgContent = NamedControl<QPlainTextEdit>(this, "mmoMsgContent");
    mmoMsgContent->setReadOnly(true);
    mmoMsgContent->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    column->addWidget(mmoMsgContent, 1);

    auto *actions = new QHBoxLayout;
    btnRes = NamedButton(this, "btnRes", text::kSmsReply);
    btnTrans = NamedButton(this, "btnTrans", text::kSmsForward);
    btnSaveTo = NamedButton(this, "btnSaveTo", text::kSmsMove);
    btnSaveNum = NamedButton(this, "btnSaveNum", text::kSmsSaveNumber);
    btnDelSms = NamedButton(this, "btnDelSms", text::kSmsDelete);
    btnCancel = NamedButton(this, "btnCancel", text::kSmsCancel);
    const std::pair<QPushButton *, void (TFrmSmsRead::*)()> handlers[] = {
        {btnRes, &TFrmSmsRead::btnResClick},       {btnTrans, &TFrmSmsRead::btnTransClick},
        {btnSaveTo, &TFrmSmsRead::btnSaveToClick}, {btnSaveNum, &TFrmSmsRead::btnSaveNumClick},
        {btnDelSms, &TFrmSmsRead::btnDelSmsClick}, {btnCancel, &TFrmSmsRead::btnCancelClick}};
    for (const auto &[button, handler] : handlers) {
        actions->addWidget(button);
        connect(button, &QPushButton::clicked, this, handler);
    }
    actions->addStretch(1);
    column->addLayout(actions);
    updateButtons();
    feature::WearSkin(*this, kSkin);
}

TFrmSmsRead::~TFrmSmsRead() = default;

void TFrmSmsRead::Show(const SmsItem &item)
{
    m_item = item;
    const std::string_view name = platform::fieldText(item.contactName, sizeof item.contactName);
    const std::string_view number = platform::fieldText(item.number, sizeof item.number);
    lblSendOrRecvName->setText(SmsShortLabel(name));
    lblSendOrRecvName->setToolTip(platform::fromAnsi(name));
    lblSendOrRecvNum->setText(SmsShortLabel(number));
    lblSendOrRecvNum->setToolTip(platform::fromAnsi(number));
    lblTime->setText(SmsTimeText(item));
    lblTime->setToolTip(lblTime->text());
    mmoMsgContent->setPlainText(SmsContentText(item));
    updateButtons();
    m_host.showInPanel(*this);
}

void TFrmSmsRead::updateButtons()
{
    const bool ready = m_cardState == kSimReady;
    btnRes->setEnabled(ready);
    btnTrans->setEnabled(ready);
    btnSaveTo->setEnabled(ready);
}

void TFrmSmsRead::cardStateChanged(CardState state)
{
    m_cardState = state;
    updateButtons();
    // A message on the SIM or in the card may be gone with it.
    if (state != kSimReady && m_item && m_item->storage != SMS_STORE_PC)
        closeToList(isVisible());
}

void TFrmSmsRead::messageArrived(platform::WindowMessageEvent &message)
{
    SmsItem item;
    if (payloadOf<WM_READ_SMS>(message, &item))
        Show(item);
}

void TFrmSmsRead::closeToList(bool showList)
{
    const uint8_t folder = m_item ? m_item->folder : uint8_t(SMS_FOLDER_INBOX);
    m_item.reset();
    if (showList)
        sms_screens::ShowList(m_host, folder);
    hide();
}

void TFrmSmsRead::btnResClick()
{
    if (m_item)
        sms_screens::PostItem(m_host, WM_OPEN_COMPOSER, kComposeReply, *m_item);
}

void TFrmSmsRead::btnTransClick()
{
    if (m_item)
        sms_screens::PostItem(m_host, WM_OPEN_COMPOSER, kComposeForward, *m_item);
}

void TFrmSmsRead::btnSaveNumClick()
{
    const std::string number =
        m_item ? std::string(platform::fieldText(m_item->number, sizeof m_item->number)) : "";
    if (number.empty()) {
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text::kSmsSelectFirst),
                                 kWarning);
        return;
    }
    auto *contacts = m_host.role<feature::ContactMaker>();
    if (contacts == nullptr)
        return;
    contacts->newContactWithNumber(
        platform::fromAnsi(number), [this](bool saved, const QString &name) {
            if (!m_item)
                return;
            // Back from the contact editor: the sender has the name just saved.
            SmsItem item = *m_item;
            if (saved)
                platform::copyToField(item.contactName, sizeof item.contactName,
                                      platform::toAnsi(name));
            Show(item);
        });
}

void TFrmSmsRead::run(sms_screens::RunKind kind)
{
    if (!m_item)
        return;
    if (sms_screens::RunWithProgress(m_host, *this, *m_store, {*m_item}, kind).total > 0)
        closeToList(true);
}

void TFrmSmsRead::btnDelSmsClick() { run(sms_screens::RunKind::Delete); }

void TFrmSmsRead::btnSaveToClick() { run(sms_screens::RunKind::Move); }

void TFrmSmsRead::btnCancelClick() { closeToList(true); }
