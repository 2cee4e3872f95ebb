#include "SecuritySettings.h"

#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "lumacore.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

constexpr int kInformation = 1;
constexpr int kWarning = 2;

constexpr uint16_t kWrongPasswordStatus = 7305;
constexpr uint16_t kSimBlockedStatus = 7306;

constexpr uint8_t kPukCardState = 9;
constexpr uint8_t kBlockedCardState = 10;
constexpr uint8_t kSimReadyCardState = 12;

// Texts of the page.
constexpr int kSettingsApplied = 3033;
constexpr int kSettingsNotSaved = 3018;
constexpr int kAskPin = 3088;
constexpr int kAskPuk = 3097;
constexpr int kAskNewPin = 3090;
constexpr int kAskNewPinAgain = 3091;
constexpr int kNotSwitchedOn = 3087;
constexpr int kNotSwitchedOff = 3096;
constexpr int kNoPinNotChanged = 3089;
constexpr int kNoNewPin = 3094;
constexpr int kNoPuk = 3098;
constexpr int kNewPinsDiffer = 3092;
constexpr int kWrongPin = 3100;
constexpr int kWrongPuk = 3105;
constexpr int kPinChanged = 3102;
constexpr int kPukAccepted = 3104;
constexpr int kCardRefused = 3103;
constexpr int kPinRequestOff = 3118;
constexpr int kAskReplace = 3124;
constexpr int kBackedUp = 3114;
constexpr int kNotBackedUp = 3115;
constexpr int kRestored = 3116;
constexpr int kNotRestored = 3117;

// PINs and PUKs are digits only (the password dialog keeps them so).
std::string digits(const QString &text) { return text.toStdString(); }

}  // namespace

SecurityCalls SecurityCalls::program()
{
    SecurityCalls calls;
    calls.ifPinEnable = [](uint8_t *enabled) { return _MEC_IfPinEnable(enabled); };
    calls.setPinEnable = [](uint8_t enable, const QString &pin) {
        return _MEC_SetPinEnable(enable, digits(pin).c_str());
    };
    calls.setPin = [](const QString &pinOrPuk, const QString &newPin) {
        return _MEC_SetPin(digits(pinOrPuk).c_str(), digits(newPin).c_str());
    };
    calls.getPinState = [](uint8_t *state) { return _MEC_GetPinState(state); };
    calls.changePin = [](const QString &oldPin, const QString &newPin) {
        return _MEC_ChangePinPasswd(digits(oldPin).c_str(), digits(newPin).c_str());
    };
    // File names go to the engine as the file system spells them.
    calls.backUpTo = [](const QString &path) {
        const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
        return _MEC_BackUpDBToFile(name.constData());
    };
    calls.restoreFrom = [](const QString &path) {
        const QByteArray name = QFile::encodeName(QFileInfo(path).absoluteFilePath());
        return _MEC_LoadDBFromFile(name.constData());
    };
    calls.reloadPcStores = [] {
        if (BusinessLogic() == nullptr)
            return;
        const uint16_t contacts = ReloadStore(PB_PC);
        const uint16_t messages = SmsLoadMessages(SMS_STORE_PC);
        if (contacts != 0 || messages != 0)
            std::fprintf(stderr, "lumadial: the restored contacts (%u) or messages (%u) not read\n",
                         unsigned(contacts), unsigned(messages));
    };
    calls.saveAllConfig = [] { return FileStore().SaveAllConfig(); };
    return calls;
}

SecuritySettings::SecuritySettings(AllConfig &config, SecurityCalls calls, SecurityUser user)
    : m_config(config), m_calls(std::move(calls)), m_user(std::move(user))
{
}

QString SecuritySettings::BackupPath(const QString &chosen)
{
    return chosen.endsWith(QStringLiteral(".dat")) && chosen.size() >= 5
               ? chosen
               : chosen + QStringLiteral(".dat");
}

QString SecuritySettings::RestorePath(const QString &chosen)
{
    // Only the file's own name counts: a dot in a folder's name is no extension.
    return QFileInfo(chosen).fileName().contains(QLatin1Char('.'))
               ? chosen
               : chosen + QStringLiteral(".dat");
}

void SecuritySettings::setCardState(uint8_t state)
{
    m_cardState = state;
    if (state == kSimReadyCardState && !m_applyEnabled)
        m_pinShown = m_config.pinRequestEnabled != 0;
}

void SecuritySettings::shown()
{
    uint8_t enabled = 0;
    if (m_cardState == kSimReadyCardState && m_calls.ifPinEnable(&enabled) == 0)
        m_config.pinRequestEnabled = enabled != 0 ? 1 : 0;
    m_pinShown = m_config.pinRequestEnabled != 0;
    m_standbyShown = m_config.forbidStandby != 0;
    m_applyEnabled = false;
}

void SecuritySettings::pinRequestClicked(bool on)
{
    m_pinShown = on;
    m_applyEnabled = true;
}

void SecuritySettings::standbyClicked(bool on)
{
    m_standbyShown = on;
    m_applyEnabled = true;
}

// The box shows the SIM's setting again: toggling it blindly would show the opposite of the
// card after a change of the standby option alone.
void SecuritySettings::revert()
{
    m_pinShown = m_config.pinRequestEnabled != 0;
    m_applyEnabled = false;
}

void SecuritySettings::apply()
{
    m_config.forbidStandby = m_standbyShown ? 1 : 0;
    const bool enable = m_pinShown;
    // The PIN is asked only when the PIN request is to change; the standby option alone needs
    // no PIN.
    if (!pinControlsEnabled() || enable == (m_config.pinRequestEnabled != 0)) {
        m_pinShown = m_config.pinRequestEnabled != 0;
        m_applyEnabled = false;
        const bool saved = m_calls.saveAllConfig();
        m_user.show(saved ? kSettingsApplied : kSettingsNotSaved, saved ? kInformation : kWarning);
        return;
    }
    const QString pin = m_user.prompt(kAskPin);
    if (pin.isEmpty()) {
        m_user.show(enable ? kNotSwitchedOn : kNotSwitchedOff, kWarning);
        revert();
        return;
    }
    switch (const uint16_t status = m_calls.setPinEnable(enable ? 1 : 0, pin)) {
    case 0: {
        m_config.pinRequestEnabled = enable ? 1 : 0;
        m_applyEnabled = false;
        const bool saved = m_calls.saveAllConfig();
        m_user.show(saved ? kSettingsApplied : kSettingsNotSaved, saved ? kInformation : kWarning);
        return;
    }
    case kWrongPasswordStatus:
        m_user.show(kWrongPin, kWarning);
        revert();
        return;
    case kSimBlockedStatus: unblockFromApply(); return;
    default:
        (void)status;
        m_user.show(kCardRefused, kWarning);
        revert();
        return;
    }
}

void SecuritySettings::unblockFromApply()
{
    const QString puk = m_user.prompt(kAskPuk);
    if (puk.isEmpty()) {
        m_user.show(kNoPuk, kInformation);
        revert();
        return;
    }
    const QString newPin = askNewPin();
    if (newPin.isEmpty()) {
        revert();
        return;
    }
    const uint16_t status = m_calls.setPin(puk, newPin);
    if (status == 0) {
        m_user.show(kPukAccepted, kInformation);
        // Unblocking switches the PIN request on again on a SIM; the box and the mirror show
        // what the card says now.
        uint8_t enabled = 1;
        if (m_calls.ifPinEnable(&enabled) != 0)
            enabled = 1;
        m_config.pinRequestEnabled = enabled != 0 ? 1 : 0;
        m_pinShown = enabled != 0;
        m_applyEnabled = false;
        return;
    }
    m_user.show(status == kWrongPasswordStatus ? kWrongPuk : kCardRefused, kWarning);
    revert();
    m_user.postCardState(status == kWrongPasswordStatus ? kPukCardState : kBlockedCardState);
}

QString SecuritySettings::askNewPin()
{
    for (;;) {
        const QString first = m_user.prompt(kAskNewPin);
        const QString second = first.isEmpty() ? QString() : m_user.prompt(kAskNewPinAgain);
        if (first.isEmpty() || second.isEmpty()) {
            m_user.show(kNoNewPin, kInformation);
            return {};
        }
        if (first == second)
            return first;
        m_user.show(kNewPinsDiffer, kInformation);
    }
}

void SecuritySettings::changePin()
{
    uint8_t state = 0;
    if (m_calls.getPinState(&state) != 0) {
        m_user.show(kCardRefused, kWarning);
        return;
    }
    if (state == 1)
        return;
    if (state == 2) {
        const QString puk = m_user.prompt(kAskPuk);
        const QString newPin = puk.isEmpty() ? QString() : askNewPin();
        if (newPin.isEmpty()) {
            m_user.postCardState(kBlockedCardState);
            return;
        }
        const uint16_t status = m_calls.setPin(puk, newPin);
        if (status == 0) {
            m_user.show(kPukAccepted, kInformation);
            return;
        }
        m_user.show(status == kWrongPasswordStatus ? kWrongPuk : kCardRefused, kWarning);
        m_user.postCardState(kBlockedCardState);
        return;
    }
    uint8_t enabled = 0;
    if (m_calls.ifPinEnable(&enabled) != 0) {
        m_user.show(kCardRefused, kWarning);
        return;
    }
    if (enabled == 0) {
        m_user.show(kPinRequestOff, kInformation);
        return;
    }
    const QString oldPin = m_user.prompt(kAskPin);
    if (oldPin.isEmpty()) {
        m_user.show(kNoPinNotChanged, kWarning);
        return;
    }
    const QString newPin = askNewPin();
    if (newPin.isEmpty())
        return;
    const uint16_t status = m_calls.changePin(oldPin, newPin);
    if (status == 0) {
        m_user.show(kPinChanged, kInformation);
        return;
    }
    m_user.show(
        status == kWrongPasswordStatus || status == kSimBlockedStatus ? kWrongPin : kCardRefused,
        kWarning);
    if (status == kSimBlockedStatus)
        m_user.postCardState(kPukCardState);
}

void SecuritySettings::backUp()
{
    const QString chosen = m_user.chooseFile(true);
    if (chosen.isEmpty())
        return;
    const QString path = BackupPath(chosen);
    if (m_user.fileExists(path) && !m_user.ask(kAskReplace))
        return;
    m_user.show(m_calls.backUpTo(path) == 0 ? kBackedUp : kNotBackedUp, kInformation);
}

void SecuritySettings::restore()
{
    const QString chosen = m_user.chooseFile(false);
    if (chosen.isEmpty())
        return;
    const QString path = RestorePath(chosen);
    if (!m_user.fileExists(path)) {
        m_user.show(kNotRestored, kInformation);
        return;
    }
    const bool restored = m_calls.restoreFrom(path) == 0;
    // The contacts and messages the windows list came from the store as it was.
    if (restored)
        m_calls.reloadPcStores();
    m_user.show(restored ? kRestored : kNotRestored, kInformation);
}
