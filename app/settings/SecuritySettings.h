// What the security page decides without a widget: the PIN request switched on or off, the PIN
// changed (through the PUK when the SIM is blocked), standby forbidden, and the engine's store
// backed up to a file or restored from one.
//
// The page hands in what it asks of the person (PIN prompts, boxes, the file dialog) and of the
// engine; the tests script both.
#pragma once

#include "config/ConfigRecords.h"

#include <QString>

#include <cstdint>
#include <functional>

// The engine's calls the page makes.
struct SecurityCalls {
    std::function<uint16_t(uint8_t *enabled)> ifPinEnable;
    std::function<uint16_t(uint8_t enable, const QString &pin)> setPinEnable;
    std::function<uint16_t(const QString &pinOrPuk, const QString &newPin)> setPin;
    std::function<uint16_t(uint8_t *state)> getPinState;
    std::function<uint16_t(const QString &oldPin, const QString &newPin)> changePin;
    std::function<uint16_t(const QString &path)> backUpTo;
    std::function<uint16_t(const QString &path)> restoreFrom;
    // After a restore: the program's own lists of the PC's contacts and messages read again.
    std::function<void()> reloadPcStores;
    // The settings file written (allconfig.ran); false when it could not be.
    std::function<bool()> saveAllConfig;
    static SecurityCalls program();
};

// What the page asks of the person and of the main window.
struct SecurityUser {
    // Asks for a PIN or the PUK (the caption says which); empty when cancelled.
    std::function<QString(int caption)> prompt;
    // A one-button box (icon 1 information, 2 warning).
    std::function<void(int text, int icon)> show;
    // A two-button box; true for the first button.
    std::function<bool(int text)> ask;
    // The file dialog: the chosen path, empty when none was chosen.
    std::function<QString(bool save)> chooseFile;
    std::function<bool(const QString &path)> fileExists;
    // The card state posted to the main window, which reads the PIN state again.
    std::function<void(uint8_t cardState)> postCardState;
};

class SecuritySettings {
public:
    SecuritySettings(AllConfig &config, SecurityCalls calls, SecurityUser user);

    // What the page's controls show.
    bool pinRequestShown() const { return m_pinShown; }
    bool standbyForbiddenShown() const { return m_standbyShown; }
    bool applyEnabled() const { return m_applyEnabled; }
    // The PIN request and the PIN can be changed only with the SIM ready.
    bool pinControlsEnabled() const { return m_cardState == 12; }

    // The card monitor reads the SIM's PIN request as the SIM gets ready; an untouched box
    // follows it.
    void setCardState(uint8_t state);
    // The page shown: the card's PIN request read (with the SIM ready) and the options shown.
    void shown();
    void pinRequestClicked(bool on);
    void standbyClicked(bool on);

    void apply();
    void changePin();
    void backUp();
    void restore();

    // The name a backup is written under: ".dat" added unless it ends in it.
    static QString BackupPath(const QString &chosen);
    // The name a restore reads: ".dat" added when the file's name has no extension.
    static QString RestorePath(const QString &chosen);

private:
    // The PIN request check box back to what it was, Apply off.
    void revert();
    // The new PIN typed twice until both match; empty when the person gave up (3094 shown).
    QString askNewPin();
    // Unblocks the SIM from Apply: PUK, new PIN, and the engine told.
    void unblockFromApply();

    AllConfig &m_config;
    SecurityCalls m_calls;
    SecurityUser m_user;
    uint8_t m_cardState = 1;
    bool m_pinShown = false;
    bool m_standbyShown = false;
    bool m_applyEnabled = false;
};
