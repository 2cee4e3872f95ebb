#include "PinEntry.h"

#include "UI_PasswordDlg.h"

#include "logic/EngineValues.h"
#include "language/TextNumbers.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include "lumacore.h"

#include <QWidget>

namespace pin {

namespace {

struct AttemptsLeft {
    std::optional<int> pin;
    std::optional<int> puk;
};

// A count the card does not tell stays unknown: the dialog then shows none, never a 0 that
// would read as "no attempts left".
std::optional<int> knownCount(uint8_t count)
{
    if (count == MEC_PIN_COUNT_UNKNOWN)
        return std::nullopt;
    return count;
}

AttemptsLeft queryAttemptsLeft()
{
    uint8_t pinLeft = 0, pukLeft = 0;
    if (_MEC_QueryPINLeftTimes(&pinLeft, &pukLeft) != 0)
        return {};
    return {knownCount(pinLeft), knownCount(pukLeft)};
}

}  // namespace

// Counts the PUK flow on the stack for as long as it runs; safe when the entry is destroyed
// while the flow waits in a modal run.
class PinEntry::FlowScope {
public:
    explicit FlowScope(PinEntry &entry) : m_entry(&entry) { ++entry.m_pukFlowDepth; }
    ~FlowScope()
    {
        if (m_entry)
            --m_entry->m_pukFlowDepth;
    }
    FlowScope(const FlowScope &) = delete;
    FlowScope &operator=(const FlowScope &) = delete;

private:
    QPointer<PinEntry> m_entry;
};

PinEntry::PinEntry(QWidget *owner, QObject *messageTarget, QObject *parent)
    : QObject(parent), m_owner(owner), m_messageTarget(messageTarget)
{
}

PinEntry::~PinEntry()
{
    if (m_pinDialog)
        m_pinDialog->abandon();
    if (m_pukDialog)
        m_pukDialog->abandon();
    if (m_newPinDialog)
        m_newPinDialog->abandon();
}

void PinEntry::setCardStateSource(std::function<uint8_t()> cardState)
{
    m_cardState = std::move(cardState);
}

void PinEntry::setCallWindow(EmergencyCalls *callWindow)
{
    m_callWindow = callWindow;
    for (TPasswordDlg *dialog : {m_pinDialog.get(), m_pukDialog.get(), m_newPinDialog.get()}) {
        if (dialog)
            dialog->setCallWindow(callWindow);
    }
}

uint8_t PinEntry::currentCardState() const
{
    if (m_cardState)
        return m_cardState();
    return m_pinDialog ? kPinRequired : 0;
}

void PinEntry::post(uint32_t message, uint32_t wParam)
{
    platform::PostMessage(m_messageTarget, message, wParam, 0);
}

void PinEntry::showMessage(unsigned stringNumber)
{
    platform::ShowMessageBox(m_owner, platform::GetLanguageString(stringNumber), 2);
}

void PinEntry::enableOwner()
{
    if (m_owner)
        m_owner->window()->setEnabled(true);
}

void PinEntry::reapRetired()
{
    std::erase_if(m_retired, [](const std::unique_ptr<TPasswordDlg> &dialog) {
        return !dialog->isInHandler();
    });
}

void PinEntry::freePinDialog()
{
    if (!m_pinDialog)
        return;
    m_pinDialog->abandon();
    // A dialog whose handler still waits in a message box is freed once that handler is done.
    if (m_pinDialog->isInHandler())
        m_retired.push_back(std::move(m_pinDialog));
    m_pinDialog.reset();
}

void PinEntry::freePukDialogs()
{
    m_pukDialog.reset();
    m_newPinDialog.reset();
}

std::unique_ptr<TPasswordDlg> PinEntry::makeDialog(PasswordMode mode,
                                                    std::optional<int> attemptsLeft)
{
    auto dialog = std::make_unique<TPasswordDlg>(m_owner, mode, attemptsLeft);
    dialog->setResultTarget(m_messageTarget);
    dialog->setCallWindow(m_callWindow);
    dialog->setCardStateSource([this] { return currentCardState(); });
    return dialog;
}

void PinEntry::OpenPinDialog()
{
    reapRetired();
    const AttemptsLeft attempts = queryAttemptsLeft();
    freePinDialog();
    m_pinDialog = makeDialog(PasswordMode::StartupPin, attempts.pin);
    m_pinDialog->setFirstCaption(platform::GetLanguageString(text::kStartupPinCaption));
    m_pinDialog->setStayOnTop(true);
    // A new window on top needs no raise(); it takes the keyboard so the PIN can be typed at once.
    m_pinDialog->show();
    m_pinDialog->activateWindow();
}

void PinEntry::PinDialogResult(uint32_t wParam)
{
    reapRetired();
    // The dialog may have gone meanwhile (card pulled): then there is nothing to answer.
    if (!m_pinDialog)
        return;
    if (wParam == kPinResultCancel) {
        enableOwner();
        post(platform::WM_CARD_STATE, kSimBlocked);
        freePinDialog();
        return;
    }
    if (wParam != kPinResultOk)
        return;

    enableOwner();
    const QByteArray typed = m_pinDialog->firstText().toLatin1();
    const PinOutcome outcome = StartupPinOutcome(_MEC_SetPin(typed.constData(), nullptr));
    if (outcome.message) {
        QPointer<PinEntry> self(this);
        const uint64_t generation = m_generation;
        showMessage(outcome.message);
        // The card may have gone while the box was up; its state 1 has freed the dialog.
        if (!self || generation != m_generation)
            return;
    }
    if (outcome.nextCardState)
        post(platform::WM_CARD_STATE, outcome.nextCardState);
    freePinDialog();
}

void PinEntry::RunPukFlow()
{
    reapRetired();
    // The card state machine ignores a repeated state, so a second call only comes from a new
    // state 9 after the card went and came back while the first flow still unwinds.
    if (m_pukFlowDepth > 0)
        return;
    const FlowScope running(*this);
    QPointer<PinEntry> self(this);
    const uint64_t generation = m_generation;
    const auto cutShort = [&] { return !self || generation != m_generation; };

    const AttemptsLeft attempts = queryAttemptsLeft();
    m_pukDialog = makeDialog(PasswordMode::Puk, attempts.puk);
    m_newPinDialog = makeDialog(PasswordMode::NewPin, std::nullopt);
    m_pukDialog->setStayOnTop(true);
    m_newPinDialog->setStayOnTop(true);

    bool accepted = m_pukDialog->runModal() == QDialog::Accepted;
    if (cutShort()) {
        if (self)
            freePukDialogs();
        return;
    }
    if (accepted) {
        accepted = m_newPinDialog->runModal() == QDialog::Accepted;
        if (cutShort()) {
            if (self)
                freePukDialogs();
            return;
        }
    }
    if (!accepted) {
        post(platform::WM_CARD_STATE, kSimBlocked);
        freePukDialogs();
        return;
    }

    const QByteArray puk = m_pukDialog->firstText().toLatin1();
    const QByteArray newPin = m_newPinDialog->firstText().toLatin1();
    freePukDialogs();
    const PinOutcome outcome = PukOutcome(_MEC_SetPin(puk.constData(), newPin.constData()));
    if (outcome.message) {
        showMessage(outcome.message);
        if (cutShort())
            return;
    }
    if (outcome.nextCardState)
        post(platform::WM_CARD_STATE, outcome.nextCardState);
}

void PinEntry::SetDialogsOnTop(bool on)
{
    for (TPasswordDlg *dialog : {m_pinDialog.get(), m_pukDialog.get(), m_newPinDialog.get()}) {
        if (dialog)
            dialog->setStayOnTop(on);
    }
}

void PinEntry::CloseAndFree()
{
    ++m_generation;
    freePinDialog();
    if (m_pukFlowDepth > 0) {
        // The flow is waiting in a modal run or a box: end the runs; the flow frees the dialogs
        // as it unwinds and, seeing the new generation, posts nothing.
        if (m_pukDialog)
            m_pukDialog->abandon();
        if (m_newPinDialog)
            m_newPinDialog->abandon();
        return;
    }
    freePukDialogs();
}

bool PinEntry::HasOpenDialog() const { return m_pinDialog || m_pukDialog || m_newPinDialog; }

}  // namespace pin
