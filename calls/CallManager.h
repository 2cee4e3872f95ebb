// What the call window knows and decides, without a widget: up to three calls in slots, the
// state they are in together (idle ... a held conference with a call ringing), what the Dial
// and Hang-up buttons and the engine's call events do to them, the +CHLD commands, the tone
// suffix of a dialled number, the call timer and the earphone level. The window shows what this
// says (display()) and does what it asks through CallManagerView.
//
// Every call comes on the window thread.
#pragma once

#include "logic/EngineValues.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace calls {

// Whether two numbers name the same line (national and international forms alike).
bool SameNumber(const QString &a, const QString &b);


// Kinds of a call as the call records keep them.
enum CallKind : uint8_t { KindMissed = 1, KindReceived = 2, KindDialled = 3 };

struct CallSlot {
    int callId = -1;  // the card's index of the call (+CLCC); -1 until known
    QString number;
    QString name;
    int duration = 0;  // seconds connected
    int status = -1;   // -1 free, 0 not connected yet, 1 connected
    QDateTime startTime;
    uint8_t kind = 0;
    bool inUse() const { return status >= 0; }
};

// What the call manager asks of its window and, through it, of the main window.
class CallManagerView {
public:
    virtual ~CallManagerView() = default;
    // A message box with the numbered text.
    virtual void message(int text) = 0;
    // The choice dialog with the numbered texts; the index chosen, or -1.
    virtual int choose(const std::vector<int> &texts) = 0;
    virtual bool confirm(const QString &text) = 0;
    // The non-modal notice that no earphone is plugged in.
    virtual void earphoneNotice() = 0;
    // Dial with an empty number: the dialled calls of the call records.
    virtual void showDialledCalls() = 0;
    // Brings the call window to the front of the main window's panel.
    virtual void showWindow() = 0;
    // The call state changed (posted to the main window and the settings windows).
    virtual void stateChanged(CallState state) = 0;
    // The ring alert of the main window: raise it (updateOnly: only its text), stop it, the call
    // was answered, the call was missed.
    virtual void ring(const QString &text, bool updateOnly) = 0;
    virtual void stopRing() = 0;
    virtual void callAccepted() = 0;
    virtual void missedCall() = 0;
    // A call left its slot: the call records keep it.
    virtual void recordCall(uint8_t kind, const QDateTime &start, const QString &number) = 0;
    // The next step of the tone sender is due in `ms` (0: at once, from the event loop); cancel.
    virtual void scheduleTones(int ms) = 0;
    virtual void cancelTones() = 0;
    // The dial timer (no answer within 95 s fails the call) and the one-second call timer.
    virtual void setDialTimer(bool running) = 0;
    virtual void setCallTimer(bool running) = 0;
    // The earphone level kept for the next call (volconfig.ran): read, write.
    virtual int savedEarphone() = 0;
    virtual void saveEarphone(int position, bool beforeCall) = 0;
};

// What the window shows.
struct CallDisplay {
    int stateText = 0;  // resource string of the state label, 0 for none
    QString input;      // the shown call's name or number (the typed text while composing)
    QString held;       // "On hold: " and the held call's name or number; empty when none
    bool conference = false;
    QStringList parties;  // the two rows of the conference list
    QString suffix;       // the tone suffix still to send
    bool composing = true;
};

class CallManager {
public:
    // lookupName: the name of the first contact with the number, empty when none.
    CallManager(CallManagerView &view, std::function<QString(const QString &)> lookupName,
                std::function<QDateTime()> now = &QDateTime::currentDateTime);

    CallState state() const { return m_state; }
    const CallSlot &slot(int index) const { return m_slots[static_cast<size_t>(index)]; }
    int slotsInUse() const;
    int activeSlot() const { return m_active; }
    int heldSlot() const { return m_held; }
    int waitingSlot() const { return m_waiting; }
    int party1Slot() const { return m_party1; }
    int party2Slot() const { return m_party2; }

    // ---- the card and the main window ----
    void deviceStateChanged(uint8_t code);
    uint8_t deviceState() const { return m_deviceState; }
    // The data connection is being set up: a ringing call is only noted, not announced.
    void setConnectionSettingUp(bool settingUp) { m_connectionSettingUp = settingUp; }
    // Reads the card's emergency numbers (at most 16); false when the card cannot say.
    bool readEmergencyNumbers();
    void setEmergencyNumbers(const QStringList &numbers) { m_emergency = numbers; }
    bool isEmergencyNumber(const QString &number) const;

    // ---- the input box ----
    // The typed text (what the box holds while no call is shown).
    const QString &typed() const { return m_typed; }
    void setTyped(const QString &text) { m_typed = text; }
    // A key for the input box: typed into it (true) or dropped; may send a tone or show a
    // message. Backspace is '\b'.
    bool key(QChar character);
    // While a call is shown the keypad sends tones.
    bool keypadSendsTones() const { return m_keypadSendsTones; }

    // ---- buttons ----
    void dialPressed();
    void hangupPressed();
    // The conference list's menu: end one party, or talk to it alone (the other is held).
    void releaseParty(int row);
    void privateWithParty(int row);
    // A +CHLD command (0-3, 1x, 2x) and what it does to the calls; false when the card refused.
    bool sendChld(int value);

    // ---- entries from other windows ----
    // Dials the number (call records, the PIN dialog's emergency numbers).
    void placeCall(const QString &number);
    // A number to call from the call records: when idle it is dialled, with a held call it is the
    // second call; otherwise nothing.
    void dialNumber(const QString &number);

    // ---- engine events ----
    void incomingCall(const QString &number);
    void dialResult(uint32_t code);
    void remoteReleased();
    void incomingConnected();
    void allCallsEnded();
    void incomingMissed();
    void dialTimedOut() { dialFailed(); }

    // ---- timers ----
    // One step of the tone sender.
    void sendNextTones();
    // The call timer's tick at `msSinceEpoch`.
    void timerTick(int64_t msSinceEpoch);
    // The call time of the shown call, and whether it is shown.
    std::optional<int> shownDuration() const;

    // ---- audio ----
    // The engine's earphone level (0-255) as a slider position (0-5).
    static int EarphonePosition(uint8_t engineLevel);
    // Reads the card's earphone level; the position, or nullopt when the card cannot say.
    std::optional<int> readEarphone();
    // The slider was released at `position`: true when the card took it.
    bool setEarphone(int position);

    CallDisplay display() const;
    // The "call ended" text has been shown long enough.
    void clearEnded() { m_justEnded = false; }

private:
    enum class Choice { Chld0, Chld1, Chld2, ReleaseActive, ReleaseHeld, ReleaseParty1, ReleaseParty2,
                        HangupAll };

    void setState(CallState state);
    void enterIdle();
    int newSlot(const QString &number, uint8_t kind);
    // Hands the slot to the call records and frees it; the index becomes -1.
    void record(int &index);
    void connect(int index, uint8_t kind);
    void dialFailed();
    bool startSecondCall(CallState target);
    void answer();
    void hangupAll();
    void doChoice(Choice choice);
    void runChoices(const std::vector<std::pair<int, Choice>> &choices);
    bool release(int index);
    void applyChld(int value);
    // Ends the conference party x; the other party stays as the active or the held call.
    void endParty(int x, bool otherActive, CallState next);
    int slotWithCallId(int callId) const;
    // Gives the calls the card lists their index; the indices listed, or nullopt when the card
    // was not asked (outside SIM ready) or could not say.
    std::optional<std::vector<int>> refreshCallList();
    // After a release: records the calls the card no longer lists and moves to the state of
    // those left; false when the list cannot tell which call ended.
    bool releasedAsListed();
    CallState stateOfRoles(bool conferenceActive) const;
    void stopTones();
    void clearSuffix();
    void splitSuffix(const QString &number);
    void continueAfterW();
    bool sendTone(QChar tone);
    QString shownText(int index) const;
    bool connectedState() const;

    CallManagerView &m_view;
    std::function<QString(const QString &)> m_lookupName;
    std::function<QDateTime()> m_now;

    CallState m_state = kCallIdle;
    CallState m_shownState = kCallIdle;
    std::array<CallSlot, 3> m_slots;
    int m_active = -1;
    int m_held = -1;
    int m_waiting = -1;
    int m_party1 = -1;
    int m_party2 = -1;

    uint8_t m_deviceState = 1;
    bool m_connectionSettingUp = false;
    // Until the card tells its own: the numbers every GSM network takes.
    QStringList m_emergency{QStringLiteral("112"), QStringLiteral("911")};
    bool m_isEmergency = false;
    QString m_typed;

    QString m_dialPart;
    QString m_toneSuffix;
    bool m_waitingForW = false;
    bool m_tonesRunning = false;
    bool m_keypadSendsTones = false;
    bool m_rejected = false;
    bool m_eventDuringChoice = false;
    bool m_justEnded = false;
    bool m_restoreEarphone = false;

    int64_t m_lastTick = 0;
    int64_t m_carriedMs = 0;
    int m_earphone = 2;
};

// The multi-tap star key: a press within the double-click time of the one before moves on from
// '*' to '+' to 'P'; a fourth types 'W' at once.
class StarKey {
public:
    explicit StarKey(int doubleClickMs) : m_window(doubleClickMs) {}
    // A press at `ms`: what is typed at once ('W' on the fourth press), while pending() holds
    // what the key types when the double-click time runs out.
    QString press(int64_t ms);
    std::optional<QChar> pending() const { return m_pending; }
    // The double-click time ran out: the pending character is typed.
    std::optional<QChar> expire();

private:
    int m_window;
    int m_taps = 0;
    int64_t m_last = 0;
    std::optional<QChar> m_pending;
};

}  // namespace calls
