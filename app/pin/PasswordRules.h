// What the password dialog decides without a widget: which texts it shows in each mode, where
// its controls go, how a field keeps to digits, which checks OK runs, and what each answer of
// the engine leads to.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace pin {

enum class PasswordMode : int32_t {
    CurrentPin = 1,  // the current PIN (security settings)
    Puk = 2,         // the PUK
    NewPin = 3,      // a new PIN, typed twice
    StartupPin = 4,  // the PIN the card asks for at start
};

inline constexpr int kMaxPasswordLength = 8;
inline constexpr int kMinPasswordLength = 4;

// The caption of the first field in a mode that nobody has set it for.
inline constexpr const char *kDefaultFirstCaption = "Enter password:";

// True for 1 to 8 ASCII digits: what a field may hold. Other digits (full-width, Arabic-Indic)
// are refused too: the card takes only "0"-"9", and a quote or a comma would break the command
// the engine sends.
bool IsPasswordText(const QString &text);

// One edit field's guard: after each change the text must be digits only, else the field goes
// back to its last good text.
class DigitsField {
public:
    struct Change {
        QString text;   // what the field must hold now
        bool reverted;  // true when the typed text was refused
    };

    Change changed(const QString &text);
    const QString &lastGood() const { return m_lastGood; }

private:
    QString m_lastGood;
};

// The texts of the dialog in a mode: the first caption (empty in mode 1: the default text),
// the second caption (mode 3 only).
struct PasswordTexts {
    QString firstCaption;
    QString secondCaption;
    bool secondFieldShown = false;
};
PasswordTexts TextsFor(PasswordMode mode);

// Where the controls sit inside the body panel, in pixels from its top.
struct PasswordLayout {
    int firstCaptionTop;
    int firstFieldTop;
    int secondCaptionTop;  // mode 3 only
    int secondFieldTop;    // mode 3 only
    int attemptsTop;
};
PasswordLayout LayoutFor(PasswordMode mode);

// "3 attempts left", or empty when the count is not known.
QString AttemptsLeftText(std::optional<int> count);

// The checks of OK, in order: the string numbers to show, one after the other. Empty when the
// input is accepted. Mode 3 may name two (an empty field, then the mismatch).
std::vector<unsigned> ValidatePasswords(PasswordMode mode, const QString &first,
                                        const QString &second);

// What OK does before any check.
enum class OkStep {
    DialEmergency,   // the first field holds an emergency number and the card waits for its PIN
    CallBeingSetUp,  // the call window is setting up a call: say so, keep the dialog
    Validate,        // check the fields
};
OkStep ChooseOkStep(bool firstIsEmergency, uint8_t cardState, bool callBeingSetUp);

// What Cancel (or the close image) does.
enum class CancelStep {
    JustClose,         // an emergency number was typed: close, nothing more
    PostCancelResult,  // the start-up PIN dialog: tell the main window, close
    EndWithCancel,     // a modal dialog: end it with cancel
};
CancelStep ChooseCancelStep(PasswordMode mode, bool emergencyTyped);

// What an answer of the engine to _MEC_SetPin leads to: a text to show (0: none) and then the
// card state to post (0: none).
struct PinOutcome {
    unsigned message = 0;
    uint8_t nextCardState = 0;
    bool operator==(const PinOutcome &) const = default;
};
// The start-up PIN.
PinOutcome StartupPinOutcome(uint16_t status);
// The PUK with a new PIN.
PinOutcome PukOutcome(uint16_t status);

}  // namespace pin
