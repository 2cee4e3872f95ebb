#include "UI_SmsEdit.h"

#include "logic/EngineValues.h"

#include "SmsMessages.h"
#include "FeaturePage.h"
#include "UI_ProgressBox.h"
#include "SmsSendResults.h"

#include "WindowControls.h"
#include "logic/BL_SmsRecipients.h"
#include "logic/WindowPayloads.h"
#include "platform/CodePage.h"
#include "platform/Clock.h"
#include "platform/DialogSeam.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include <utility>

using platform::GetLanguageString;

namespace {

constexpr int kRecipientFieldLength = 20000;
constexpr int kInformationIcon = 1;
constexpr int kWarningIcon = 2;
constexpr int kQuestionIcon = 4;

KeyKind kindOf(const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return KeyKind::Enter;
    if (key.key() == Qt::Key_Backspace || key.matches(QKeySequence::Undo) ||
        key.matches(QKeySequence::Copy) || key.matches(QKeySequence::Paste) ||
        key.matches(QKeySequence::Cut))
        return KeyKind::Editing;
    const QString text = key.text();
    if (text.isEmpty() || (!text.front().isPrint() && text.front() != u'\t'))
        return KeyKind::NotACharacter;
    return KeyKind::Character;
}

void letWindowMessagesRun() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

const feature::WindowSkin kSkin{
    "SMS_EDIT.SMSBKIMAGE",
    "SMS_EDIT.HeadImage",
    {{"SMS_EDIT.BTNRECEIVEBOX", "btnReceiveBox"},
      {"SMS_EDIT.BTNSENDBOX", "btnSendBox"},
      {"SMS_EDIT.BTNDRAFTBOX", "btnDraftBox"},
      {"SMS_EDIT.BTNWRITESMS", "btnWriteSms"},
      {"SMS_EDIT.BTNSEARCHNUM", "btnSearchNum"},
      {"SMS_EDIT.BTNSENT", "btnSent"},
      {"SMS_EDIT.BTNSAVES", "btnSaveas"},
      {"SMS_EDIT.BTNCANCEL", "btnCancel"}}};

}  // namespace

TFrmSmsEdit::TFrmSmsEdit(feature::FeatureHost &host, SmsStoreCalls *store)
    : m_host(host),
      m_ownStore(store != nullptr ? nullptr : std::make_unique<ForwardedSmsStore>()),
      m_composer(store != nullptr ? *store : *m_ownStore)
{
    setObjectName(QStringLiteral("TFrmSmsEdit"));
    setWindowTitle(GetLanguageString(text::kSmsNewMessage));

    btnReceiveBox = NamedButton(this, "btnReceiveBox", text::kSmsInbox);
    btnSendBox = NamedButton(this, "btnSendBox", text::kSmsSent);
    btnDraftBox = NamedButton(this, "btnDraftBox", text::kSmsDrafts);
    btnWriteSms = NamedButton(this, "btnWriteSms", text::kSmsNewMessage);
    btnWriteSms->setEnabled(false);
    btnWriteSms->hide();
    Label1 = NamedLabel(this, "Label1", GetLanguageString(text::kSmsTo));
    EdRecvPer = NamedControl<QLineEdit>(this, "EdRecvPer");
    EdRecvPer->setMaxLength(kRecipientFieldLength);
    EdRecvPer->setAttribute(Qt::WA_InputMethodEnabled, false);
    btnSearchNum = NamedControl<QPushButton>(this, "btnSearchNum", QStringLiteral("..."));
    btnSearchNum->setFixedWidth(40);
    MeContent = NamedControl<QPlainTextEdit>(this, "MeContent");
    MeContent->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MeContent->setAttribute(Qt::WA_InputMethodEnabled, false);
    MeContent->installEventFilter(this);
    SMSCharacterCount_Items = NamedLabel(this, "SMSCharacterCount_Items");
    btnSent = NamedButton(this, "btnSent", text::kSmsSend);
    btnSaveas = NamedButton(this, "btnSaveas", text::kSmsSave);
    btnCancel = NamedButton(this, "btnCancel", text::kSmsCancel);
    btnSent->setEnabled(host.cardState() == kSimReady);

    auto *folders = new QHBoxLayout;
    for (QPushButton *button : {btnReceiveBox, btnSendBox, btnDraftBox, btnWriteSms})
        folders->addWidget(button);
    folders->addStretch(1);
    auto *to = new QHBoxLayout;
    to->addWidget(Label1);
    to->addWidget(EdRecvPer, 1);
    to->addWidget(btnSearchNum);
    auto *actions = new QHBoxLayout;
    actions->addWidget(SMSCharacterCount_Items, 1);
    for (QPushButton *button : {btnSent, btnSaveas, btnCancel})
        actions->addWidget(button);
    auto *column = new QVBoxLayout(this);
    column->addLayout(folders);
    column->addLayout(to);
    column->addWidget(MeContent, 1);
    column->addLayout(actions);

    connect(btnReceiveBox, &QPushButton::clicked, this, [this] { openFolder(SMS_FOLDER_INBOX); });
    connect(btnSendBox, &QPushButton::clicked, this, [this] { openFolder(SMS_FOLDER_SENT); });
    connect(btnDraftBox, &QPushButton::clicked, this, [this] { openFolder(SMS_FOLDER_DRAFTS); });
    connect(btnSearchNum, &QPushButton::clicked, this, &TFrmSmsEdit::btnSearchNumClick);
    connect(btnSent, &QPushButton::clicked, this, &TFrmSmsEdit::btnSentClick);
    connect(btnSaveas, &QPushButton::clicked, this, &TFrmSmsEdit::btnSaveasClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFrmSmsEdit::btnCancelClick);
    connect(MeContent, &QPlainTextEdit::textChanged, this, &TFrmSmsEdit::contentChanged);
    connect(EdRecvPer, &QLineEdit::textChanged, this, &TFrmSmsEdit::recipientsChanged);
    contentChanged();
    feature::WearSkin(*this, kSkin);
}

TFrmSmsEdit::~TFrmSmsEdit() = default;

// ---- opening and closing -------------------------------------------------------------------

void TFrmSmsEdit::Open(int mode, const SmsItem *item)
{
    m_composer.Open(mode, item);
    fillAndShow();
}

void TFrmSmsEdit::writeSmsTo(const QString &numbers)
{
    // Not refilled under a send run.
    if (m_sending)
        return;
    m_composer.Open(SmsComposer::New, nullptr);
    fillAndShow();
    EdRecvPer->setText(numbers.left(kRecipientFieldLength));
    MeContent->setFocus();
}

void TFrmSmsEdit::fillAndShow()
{
    EdRecvPer->setText(m_composer.initialRecipients());
    MeContent->setPlainText(m_composer.initialText());
    MeContent->moveCursor(QTextCursor::End);
    btnWriteSms->hide();
    m_host.showInPanel(*this);
    if (EdRecvPer->text().isEmpty())
        EdRecvPer->setFocus();
    else
        MeContent->setFocus();
}

void TFrmSmsEdit::closeScreen()
{
    m_composer.Close();
    hide();
    // The page it was opened from comes back.
    m_host.showPreviousPage();
}

void TFrmSmsEdit::btnCancelClick() { closeScreen(); }

void TFrmSmsEdit::openFolder(uint8_t folder)
{
    platform::PostMessage(m_host.messageTarget(), WM_OPEN_SMS_FOLDER, folder,
                          SMS_STORE_PC);
}

void TFrmSmsEdit::tellListChanged()
{
    // Copies and drafts are kept on the PC only.
    for (uint8_t folder : {SMS_FOLDER_SENT, SMS_FOLDER_DRAFTS})
        platform::PostMessage(m_host.messageTarget(), WM_SMS_LIST_CHANGED, folder,
                              SMS_STORE_PC);
}

void TFrmSmsEdit::cardStateChanged(CardState state)
{
    btnSent->setEnabled(state == kSimReady);
    if (m_sending)
        return;  // the run ends on its own and closes the screen then
    // A message from the SIM or the card may be gone once the card is no longer ready.
    if (state != kSimReady && m_composer.sourceOnCard()) {
        if (isVisible())
            closeScreen();
        else
            m_composer.Close();
    }
}

void TFrmSmsEdit::messageArrived(platform::WindowMessageEvent &message)
{
    // Window messages run between two recipients: the screen is not refilled under a run.
    if (m_sending)
        return;
    if (message.message() == WM_OPEN_COMPOSER) {
        const int mode = int(message.wParam());
        SmsItem item;
        if (mode == SmsComposer::New)
            Open(mode, nullptr);
        else if (payloadOf<WM_OPEN_COMPOSER>(message, &item))
            Open(mode, &item);
    }
}

// ---- typing --------------------------------------------------------------------------------

void TFrmSmsEdit::showNotice(int textNumber)
{
    if (m_noticeOpen)
        return;
    m_noticeOpen = true;
    platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(textNumber), kInformationIcon);
    m_noticeOpen = false;
}

void TFrmSmsEdit::contentChanged()
{
    if (m_fitting)
        return;
    const TextLimits limits = TextLimits::FromCard();
    TextCount count = CountText(MeContent->toPlainText(), limits);
    const bool cut = count.over;
    if (cut) {
        m_fitting = true;
        MeContent->setPlainText(FitText(MeContent->toPlainText(), limits));
        MeContent->moveCursor(QTextCursor::End);
        m_fitting = false;
        count = CountText(MeContent->toPlainText(), limits);
    }
    SMSCharacterCount_Items->setText(CounterText(count));
    SMSCharacterCount_Items->setStyleSheet(count.full ? QStringLiteral("color: red")
                                                      : QStringLiteral("color: navy"));
    if (cut)
        showNotice(text::kSmsShortened);
}

bool TFrmSmsEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MeContent && event->type() == QEvent::KeyPress) {
        const TextCount count = CountText(MeContent->toPlainText(), TextLimits::FromCard());
        switch (FilterKey(count, MeContent->textCursor().hasSelection(),
                          kindOf(static_cast<QKeyEvent &>(*event)))) {
        case KeyDecision::Accept: break;
        case KeyDecision::Drop: return true;
        case KeyDecision::DropWithNotice: showNotice(text::kSmsAtMaxLength); return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmSmsEdit::recipientsChanged()
{
    if (SplitRecipientField(EdRecvPer->text()).code == kSmsTooManyRecipients)
        tellTooManyRecipients();
}

void TFrmSmsEdit::tellTooManyRecipients()
{
    platform::ShowMessageBox(m_host.dialogOwner(),
                             QStringLiteral("%1:%2")
                                 .arg(GetLanguageString(text::kSmsTooManyRecipients))
                                 .arg(kSmsMaxRecipients),
                             kWarningIcon);
}

void TFrmSmsEdit::btnSearchNumClick()
{
    auto *picker = m_host.role<feature::ContactPicker>();
    const std::optional<QString> chosen = picker ? picker->pickRecipients() : std::nullopt;
    if (!chosen || chosen->isEmpty())
        return;
    const QString field = EdRecvPer->text();
    EdRecvPer->setText(
        (field.isEmpty() ? *chosen : field + u';' + *chosen).left(kRecipientFieldLength));
}

// ---- sending and saving --------------------------------------------------------------------

bool TFrmSmsEdit::readRecipients(QStringList *recipients)
{
    const RecipientSplit split = SplitRecipientField(EdRecvPer->text());
    if (split.code == kSmsTooManyRecipients) {
        tellTooManyRecipients();
        return false;
    }
    *recipients = split.recipients;
    return true;
}

bool TFrmSmsEdit::recipientsAreNumbers(const QStringList &recipients)
{
    const int bad = FirstInvalidRecipient(recipients, m_composer.store().NumberCharacters());
    if (bad < 0)
        return true;
    platform::ShowMessageBox(m_host.dialogOwner(),
                             recipients[bad] + u':' + GetLanguageString(text::kSmsInvalidNumber),
                             kWarningIcon);
    EdRecvPer->selectAll();
    EdRecvPer->setFocus();
    return false;
}

void TFrmSmsEdit::btnSentClick()
{
    QStringList recipients;
    if (!readRecipients(&recipients))
        return;
    QWidget *owner = m_host.dialogOwner();
    if (recipients.isEmpty()) {
        platform::ShowMessageBox(owner, GetLanguageString(text::kSmsNoRecipient), kWarningIcon);
        EdRecvPer->setFocus();
        return;
    }
    const QString text = MeContent->toPlainText();
    if (text.isEmpty() && platform::AskMessageBox(owner, GetLanguageString(text::kSmsSendEmpty),
                                                  kQuestionIcon) != 1) {
        MeContent->setFocus();
        return;
    }
    if (!recipientsAreNumbers(recipients))
        return;
    const int parts = CountText(text, TextLimits::FromCard()).parts;
    if (platform::AskMessageBox(owner, SmsComposer::ConfirmationText(int(recipients.size()), parts),
                                kQuestionIcon) != 1)
        return;

    boxes::TProgressBoxForm progress(
        owner, recipients.size() > 1 ? boxes::kButtonSingle : boxes::kButtonNo);
    QPointer<QWidget> mainWindow = owner != nullptr ? owner->window() : nullptr;
    if (mainWindow)
        mainWindow->setEnabled(false);
    progress.setEnabled(true);  // a window of its own: its stop button stays usable
    progress.SetText(GetLanguageString(text::kSmsSending));
    progress.show();
    m_host.setBusy(true);
    letWindowMessagesRun();

    SendCallbacks callbacks;
    callbacks.show = [&progress](const QString &line) {
        progress.SetText(line);
        letWindowMessagesRun();
    };
    callbacks.stopRequested = [&progress] { return progress.CancelRequested(); };
    callbacks.wait = [](int milliseconds) {
        letWindowMessagesRun();
        platform::pause(milliseconds);
    };
    m_sending = true;
    m_lastSummary = m_composer.Send(text, recipients, parts, callbacks);
    m_sending = false;

    if (mainWindow)
        mainWindow->setEnabled(true);
    progress.close();
    if (mainWindow && mainWindow->isVisible() && mainWindow->isEnabled())
        mainWindow->activateWindow();
    m_host.setBusy(false);
    SmsSendResults results(owner, m_lastSummary);
    platform::execDialog(results);
    if (m_lastSummary.storeChanged)
        tellListChanged();
    letWindowMessagesRun();
    closeScreen();
}

void TFrmSmsEdit::btnSaveasClick()
{
    QStringList recipients;
    if (!readRecipients(&recipients))
        return;
    if (!recipientsAreNumbers(recipients))
        return;
    const DraftOutcome outcome = m_composer.SaveDraft(MeContent->toPlainText(), recipients);
    if (!outcome.error.isEmpty()) {
        platform::ShowMessageBox(m_host.dialogOwner(), outcome.error, kWarningIcon);
        return;
    }
    if (outcome.storeChanged)
        tellListChanged();
    closeScreen();
}
