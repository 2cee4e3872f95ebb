// Asking the user for the SIM's PIN or PUK when the card waits for one.
//
// The card state machine calls PinEntry on entering card state 8 (PIN wanted) and 9 (PUK
// wanted); the main window hands it the PIN dialog result message and asks it to drop, restore
// or close the dialogs on close, power off, card removal and destruction. PinEntry owns the
// dialogs it opens (at most three: the start-up PIN dialog, the PUK dialog, the new-PIN dialog).
//
// Start-up PIN (card state 8), modeless, the main window stays usable:
//   OpenPinDialog()  -> the dialog (mode 4) is shown on top without waiting.
//   The dialog's OK posts WM_PIN_RESULT (11224) with wParam kPinResultOk (100) to the message
//   target and closes; its Cancel posts kPinResultCancel (102) and closes.
//   The main window's dispatch hands 11224 to PinDialogResult(wParam):
//     100: enable the owner, _MEC_SetPin(PIN, no new PIN):
//          0 -> post WM_CARD_STATE 6;  7305 -> box 1025, post 6;  7306 -> box 1034, post 6;
//          any other status -> box 3103 ("refused"), post 6 as well, so that the PIN state
//          is read again and the user is not left in state 8 without a dialog.
//          The dialog is freed.
//     102: enable the owner, post WM_CARD_STATE 10, free the dialog.
//   Posting 6 makes the state machine read the PIN state again: a further wrong PIN leads back
//   to 8 and OpenPinDialog() again, an exhausted PIN to 9, success to 11.
//
// PUK (card state 9), modal:
//   RunPukFlow() -> the PUK dialog (mode 2) runs modally through platform::execDialog; on OK the
//   new-PIN dialog (mode 3) does too; it returns when the flow is over, having posted
//     both OK:  _MEC_SetPin(PUK, new PIN): 0 -> post 6;  7306 -> box 1054, post 10;
//               other (7305 included) -> box 1026, post 6;
//     either cancelled: post 10.
//   Both dialogs are freed before it returns. The PUK dialog shows the PUK attempts left.
//
// Emergency numbers (through the call window, EmergencyCalls): OK on the start-up dialog with
// an emergency number typed, in card state 8, has the call window dial it and leaves the PIN
// alone; Cancel with an emergency number typed (in the dialog or the call window) only closes
// the dialog, posting nothing.
//
// Everything runs on the window thread. A message box or a modal dialog runs a nested event
// loop, in which card state 1 may arrive: CloseAndFree() is safe at any such moment (a dialog
// that is still on the stack is ended with cancel and freed once its flow unwinds, and a flow
// cut short this way posts nothing more).
#pragma once

#include "EmergencyCalls.h"
#include "PasswordRules.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace pin {

class TPasswordDlg;

// wParam of WM_PIN_RESULT.
inline constexpr uint32_t kPinResultOk = 100;
inline constexpr uint32_t kPinResultCancel = 102;

class PinEntry : public QObject {
    Q_OBJECT
public:
    // owner: the main window; parent of the dialogs, owner of the message boxes, enabled again
    // when the start-up PIN flow ends. messageTarget: receives WM_PIN_RESULT and the card-state
    // posts (the main window, whose dispatch hands them on). Either may be null in tests that
    // do not look at them.
    PinEntry(QWidget *owner, QObject *messageTarget, QObject *parent = nullptr);
    ~PinEntry() override;
    PinEntry(const PinEntry &) = delete;
    PinEntry &operator=(const PinEntry &) = delete;

    // The current card state; the dialog dials an emergency number only in state 8.
    // Without a source the state is taken as 8 while the start-up PIN dialog is open.
    void setCardStateSource(std::function<uint8_t()> cardState);
    // The call window, or null while there is none. Not owned.
    void setCallWindow(EmergencyCalls *callWindow);

    // Card state 8: reads the attempts left (_MEC_QueryPINLeftTimes), replaces any open
    // start-up dialog with a fresh mode-4 dialog and shows it on top without waiting.
    void OpenPinDialog();
    // Card state 9: the PUK and new-PIN dialogs, modally; returns when the flow is over.
    void RunPukFlow();
    // Message WM_PIN_RESULT (11224) with its wParam.
    void PinDialogResult(uint32_t wParam);

    // Close of the main window: the open dialogs drop their stay-on-top style (on = false) so
    // the question box can be seen, and get it back (on = true) when the close is refused.
    void SetDialogsOnTop(bool on);
    // Card state 1, power off and destruction: every open dialog is closed with result cancel
    // and freed; nothing is posted and the engine is not called.
    void CloseAndFree();

    bool HasOpenDialog() const;
    bool IsPukFlowRunning() const { return m_pukFlowDepth > 0; }

    // The dialogs while they exist (null otherwise); for the main window and for tests.
    TPasswordDlg *pinDialog() const { return m_pinDialog.get(); }
    TPasswordDlg *pukDialog() const { return m_pukDialog.get(); }
    TPasswordDlg *newPinDialog() const { return m_newPinDialog.get(); }

private:
    class FlowScope;

    uint8_t currentCardState() const;
    std::unique_ptr<TPasswordDlg> makeDialog(PasswordMode mode, std::optional<int> attemptsLeft);
    void reapRetired();
    void post(uint32_t message, uint32_t wParam);
    void showMessage(unsigned stringNumber);
    void enableOwner();
    void freePinDialog();
    void freePukDialogs();

    QPointer<QWidget> m_owner;
    QPointer<QObject> m_messageTarget;
    std::function<uint8_t()> m_cardState;
    EmergencyCalls *m_callWindow = nullptr;

    std::unique_ptr<TPasswordDlg> m_pinDialog;
    std::unique_ptr<TPasswordDlg> m_pukDialog;
    std::unique_ptr<TPasswordDlg> m_newPinDialog;
    // Dialogs given up while one of their handlers still waited in a message box.
    std::vector<std::unique_ptr<TPasswordDlg>> m_retired;

    // Bumped by CloseAndFree(), so a flow waiting in a nested loop knows it was cut short.
    uint64_t m_generation = 0;
    int m_pukFlowDepth = 0;
};

}  // namespace pin
