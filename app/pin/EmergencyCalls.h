// What the PIN dialogs need of the call window.
#pragma once

#include <QString>

namespace pin {

// The card's emergency numbers, whether a call is being set up, the number typed into the call
// window, and dialling. Implemented by the call window; while there is none, no number is an
// emergency number and no call is being set up.
class EmergencyCalls {
public:
    virtual ~EmergencyCalls() = default;
    // True when the first 32 characters of number equal one of the card's emergency numbers.
    virtual bool IsEmergencyNumber(const QString &number) const = 0;
    // True while an outgoing call is being set up (call state 1).
    virtual bool IsSettingUpCall() const = 0;
    // The text of the call window's number field.
    virtual QString NumberFieldText() const = 0;
    // Shows the call window and dials the number.
    virtual void ShowAndPlaceCall(const QString &number) = 0;
};

}  // namespace pin
