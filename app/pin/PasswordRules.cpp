#include "PasswordRules.h"

#include "logic/EngineValues.h"
#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

#include "lumacore.h"

namespace pin {

bool IsPasswordText(const QString &text)
{
    if (text.isEmpty() || text.size() > kMaxPasswordLength)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

DigitsField::Change DigitsField::changed(const QString &text)
{
    if (text.isEmpty()) {
        m_lastGood.clear();
        return {text, false};
    }
    if (IsPasswordText(text)) {
        m_lastGood = text;
        return {text, false};
    }
    return {m_lastGood, true};
}

PasswordTexts TextsFor(PasswordMode mode)
{
    PasswordTexts texts;
    switch (mode) {
    case PasswordMode::CurrentPin:
        texts.firstCaption = QString::fromLatin1(kDefaultFirstCaption);
        break;
    case PasswordMode::Puk:
        texts.firstCaption = platform::GetLanguageString(text::kPukCaption);
        break;
    case PasswordMode::NewPin:
        texts.firstCaption = platform::GetLanguageString(text::kNewPinCaption);
        texts.secondCaption = platform::GetLanguageString(text::kConfirmPinCaption);
        texts.secondFieldShown = true;
        break;
    case PasswordMode::StartupPin:
        texts.firstCaption = platform::GetLanguageString(text::kStartupPinCaption);
        break;
    }
    return texts;
}

PasswordLayout LayoutFor(PasswordMode mode)
{
    switch (mode) {
    case PasswordMode::StartupPin: return {20, 44, 0, 0, 74};
    case PasswordMode::NewPin: return {12, 27, 60, 75, 104};
    case PasswordMode::CurrentPin:
    case PasswordMode::Puk: break;
    }
    return {30, 45, 0, 0, 75};
}

QString AttemptsLeftText(std::optional<int> count)
{
    if (!count)
        return {};
    return QString::number(*count) + platform::GetLanguageString(text::kAttemptsLeft);
}

std::vector<unsigned> ValidatePasswords(PasswordMode mode, const QString &first,
                                        const QString &second)
{
    const auto tooShort = [](const QString &value) { return value.size() < kMinPasswordLength; };
    switch (mode) {
    case PasswordMode::CurrentPin:
    case PasswordMode::StartupPin:
        if (first.isEmpty())
            return {text::kEnterPin};
        if (tooShort(first))
            return {text::kPinLength};
        return {};
    case PasswordMode::Puk:
        if (first.isEmpty())
            return {text::kEnterPuk};
        if (tooShort(first))
            return {text::kPukLength};
        return {};
    case PasswordMode::NewPin: {
        std::vector<unsigned> messages;
        if (first.isEmpty() || second.isEmpty())
            messages.push_back(text::kEnterPin);
        else if (tooShort(first) || tooShort(second))
            messages.push_back(text::kPinLength);
        // Whatever the checks above said, two different PINs are named as well.
        if (first != second)
            messages.push_back(text::kPinsDiffer);
        return messages;
    }
    }
    return {};
}

OkStep ChooseOkStep(bool firstIsEmergency, uint8_t cardState, bool callBeingSetUp)
{
    if (firstIsEmergency && cardState == kPinRequired)
        return OkStep::DialEmergency;
    if (callBeingSetUp)
        return OkStep::CallBeingSetUp;
    return OkStep::Validate;
}

CancelStep ChooseCancelStep(PasswordMode mode, bool emergencyTyped)
{
    if (emergencyTyped)
        return CancelStep::JustClose;
    if (mode == PasswordMode::StartupPin)
        return CancelStep::PostCancelResult;
    return CancelStep::EndWithCancel;
}

PinOutcome StartupPinOutcome(uint16_t status)
{
    switch (status) {
    case 0: return {0, 6};
    case MEC_ERR_WRONG_PASSWORD: return {text::kWrongPin, 6};
    case MEC_ERR_SIM_BLOCKED: return {text::kPinBlocked, 6};
    default:
        // The card did not take the PIN for another reason (time-out, card busy). The dialog is
        // gone by now, and card state 8 would not open another one: read the PIN state again so
        // that the user is asked anew instead of being left without a way to enter the PIN.
        return {text::kCardRefused, 6};
    }
}

PinOutcome PukOutcome(uint16_t status)
{
    switch (status) {
    case 0: return {0, 6};
    case MEC_ERR_SIM_BLOCKED: return {text::kPukBlocked, 10};
    default: return {text::kWrongPuk, 6};
    }
}

}  // namespace pin
