// The password dialog: one digits-only field (two for a new PIN), OK and Cancel, in four modes:
// 1 the current PIN, 2 the PUK, 3 a new PIN twice, 4 the PIN the card asks for at start.
//
// Modes 1-3 run modally (runModal(), through the dialog seam) and end with Accepted or
// Rejected. Mode 4 is shown without waiting and reports through the window message
// WM_PIN_RESULT (100 OK, 102 cancel) to its result target.
#pragma once

#include "EmergencyCalls.h"
#include "PasswordRules.h"

#include "skin/ImButton.h"
#include "skin/ImImage.h"
#include "skin/ImPanel.h"
#include "skin/SkinControls.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>

namespace pin {

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 190;
    static constexpr int kTitleHeight = 25;

    // owner: the window the message boxes belong to (the main window); the dialog itself is a
    // window of its own. attemptsLeft: the count the engine reported, when it did.
    TPasswordDlg(QWidget *owner, PasswordMode mode, std::optional<int> attemptsLeft = std::nullopt);
    ~TPasswordDlg() override;

    PasswordMode mode() const { return m_mode; }
    std::optional<int> attemptsLeft() const { return m_attemptsLeft; }

    // The first caption, for callers that ask for something else than the mode's default.
    void setFirstCaption(const QString &caption);
    // Where mode 4 posts its result (the main window).
    void setResultTarget(QObject *target) { m_resultTarget = target; }
    // The call window, for the emergency numbers; may be null. Not owned.
    void setCallWindow(EmergencyCalls *callWindow) { m_callWindow = callWindow; }
    // The current card state; without a source it counts as 8 in mode 4 and 0 otherwise.
    void setCardStateSource(std::function<uint8_t()> cardState)
    {
        m_cardState = std::move(cardState);
    }

    void setStayOnTop(bool on);
    bool stayOnTop() const;

    QString firstText() const { return Edit_Password1->text(); }
    QString secondText() const { return Edit_Password2->text(); }

    // Modes 1-3: runs modally through the dialog seam; Accepted or Rejected.
    int runModal();

    // Ends the dialog for good: a modal run ends with Rejected, the window hides, and a handler
    // that is waiting in a message box stops when the box returns. Nothing is posted.
    void abandon();
    bool isAbandoned() const { return m_abandoned; }
    // True while one of the dialog's handlers is running (it may be waiting in a message box).
    bool isInHandler() const { return m_handlerDepth > 0; }

    // Handlers.
    void ImButton_OKClick();
    void ImButton_CancelClick();
    void ImImage_CloseClick();
    void Edit_Password1Change();
    void Edit_Password2Change();

    skin::BackImage *PwdBKImage;
    skin::TImPanel *ImPanel_Title;
    skin::TImImage *ImImage_Close;
    QLabel *Label_Title;
    skin::SkinImage *ImImage_Logo;
    skin::SkinImage *ImImage_AMLogo;
    skin::TImPanel *ImPanel_Backgroud;
    QLabel *Label_Password1Caption;
    QLineEdit *Edit_Password1;
    QLabel *Label_Password2Caption;
    QLineEdit *Edit_Password2;
    QLabel *PINLeftTimes;
    skin::TImButton *ImButton_OK;
    skin::TImButton *ImButton_Cancel;

    // Escape and the window system's close act as the close image.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class HandlerScope;

    void buildControls();
    void applySkin();
    void placeControls();
    void centreOverOwner();
    void fieldChanged(QLineEdit *field, DigitsField &guard);
    // Shows the string with a warning icon; false when the dialog was given up meanwhile.
    bool warn(unsigned stringNumber);
    uint8_t cardState() const;
    bool emergencyTyped() const;
    void postResult(uint32_t result);
    void cancel();

    PasswordMode m_mode;
    std::optional<int> m_attemptsLeft;
    QPointer<QWidget> m_owner;
    QPointer<QObject> m_resultTarget;
    EmergencyCalls *m_callWindow = nullptr;
    std::function<uint8_t()> m_cardState;
    DigitsField m_field1;
    DigitsField m_field2;
    bool m_abandoned = false;
    int m_handlerDepth = 0;
    bool m_placed = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

}  // namespace pin
