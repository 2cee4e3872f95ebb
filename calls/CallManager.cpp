#include "CallManager.h"

#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include "lumacore.h"

#include <algorithm>

using platform::GetLanguageString;

namespace calls {

namespace {

constexpr int kMaxNumber = 32;
constexpr int kPauseMs = 3000;
// The call list is asked again while the card is busy, a few times.
constexpr int kCallListTries = 3;

bool dialCharacter(QChar c)
{
    return c.isDigit() || c == '*' || c == '#' || c == '+' || c == 'P' || c == 'W';
}

bool toneCharacter(QChar c) { return dialCharacter(c) && c != '+' && c != 'P' && c != 'W'; }

bool ringing(CallState s)
{
    return s == kCallIncoming || s == kCallActiveWaiting || s == kCallHeldIncoming || s == kCallActiveHeldWaiting ||
           s == kCallConferenceWaiting || s == kCallConferenceHeldIncoming;
}

bool composing(CallState s) { return s == kCallIdle || s == kCallHeld || s == kCallConferenceHeld; }

QString ansiText(const char *text, size_t size)
{
    return platform::fromAnsi(platform::fieldText(text, size));
}

}  // namespace

bool SameNumber(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    // The card may list a number in international form (+44...) and the caller in national
    // form (0...): the last digits decide.
    constexpr qsizetype kSignificant = 7;
    const QString x = a.right(kSignificant);
    return a.size() >= kSignificant && b.size() >= kSignificant && x == b.right(kSignificant);
}

CallManager::CallManager(CallManagerView &view, std::function<QString(const QString &)> lookupName,
                         std::function<QDateTime()> now)
    : m_view(view), m_lookupName(std::move(lookupName)), m_now(std::move(now))
{
}

int CallManager::slotsInUse() const
{
    return static_cast<int>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const CallSlot &s) { return s.inUse(); }));
}

// ---- the card -----------------------------------------------------------------------------------

void CallManager::deviceStateChanged(uint8_t code)
{
    m_deviceState = code;
    if ((code == 1 || code == 7) && m_state != kCallIdle) {
        // The card went away or off line: its calls are over.
        stopTones();
        clearSuffix();
        m_view.stopRing();
        enterIdle();
    }
}

bool CallManager::readEmergencyNumbers()
{
    _MEC_EMERGENCY_LIST list{};
    const bool read = _MEC_GetEmergencyCall(&list) == 0;
    QStringList numbers;
    if (read) {
        for (const auto &number : list.numbers) {
            const QString text = ansiText(number, sizeof number);
            if (!text.isEmpty())
                numbers << text;
        }
    }
    // 112 and 911 reach the emergency services on every GSM network, with or without a SIM.
    for (const char *always : {"112", "911"})
        if (!numbers.contains(QLatin1String(always)))
            numbers << QLatin1String(always);
    m_emergency = numbers;
    return read;
}

bool CallManager::isEmergencyNumber(const QString &number) const
{
    return !number.isEmpty() && m_emergency.contains(number.left(kMaxNumber));
}

// ---- the input box ------------------------------------------------------------------------------

bool CallManager::key(QChar c)
{
    if (composing(m_state)) {
        if (c == '\b') {
            m_typed.chop(1);
            return true;
        }
        if (!dialCharacter(c))
            return false;
        if (m_typed.size() >= kMaxNumber) {
            m_view.message(5014);
            return false;
        }
        m_typed += c;
        return true;
    }
    if (isCallDialling(m_state) || !m_keypadSendsTones || !m_toneSuffix.isEmpty() || m_waitingForW)
        return false;
    if (!toneCharacter(c))
        return false;
    if (!sendTone(c))
        return false;
    m_typed += c;
    return true;
}

bool CallManager::sendTone(QChar tone)
{
    const uint16_t status = _MEC_SetDTMF(static_cast<char>(tone.toLatin1()));
    return status == 0;
}

// ---- dialling -----------------------------------------------------------------------------------

void CallManager::splitSuffix(const QString &number)
{
    const qsizetype w = number.indexOf('W');
    const qsizetype p = number.indexOf('P');
    qsizetype at = -1;
    if (w >= 0 && (p < 0 || w < p))
        at = w;
    else if (p >= 0)
        at = p;
    if (at < 0) {
        clearSuffix();
        return;
    }
    m_dialPart = number.left(at);
    m_toneSuffix = number.mid(at);
}

void CallManager::clearSuffix()
{
    m_dialPart.clear();
    m_toneSuffix.clear();
    m_waitingForW = false;
}

int CallManager::newSlot(const QString &number, uint8_t kind)
{
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].inUse() && m_slots[i].number == number)
            return static_cast<int>(i);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        CallSlot &s = m_slots[i];
        if (s.inUse())
            continue;
        s = CallSlot{};
        s.number = number.left(kMaxNumber);
        s.name = m_lookupName ? m_lookupName(s.number).left(kMaxNumber) : QString();
        s.kind = kind;
        s.status = 0;
        return static_cast<int>(i);
    }
    return -1;
}

void CallManager::placeCall(const QString &number)
{
    if (m_state != kCallIdle) {
        m_view.message(5018);
        return;
    }
    splitSuffix(number);
    if (number.isEmpty()) {
        m_view.showDialledCalls();
        return;
    }
    if (!std::all_of(number.begin(), number.end(), dialCharacter)) {
        clearSuffix();
        m_view.message(5002);
        return;
    }
    const QString dialled = m_toneSuffix.isEmpty() ? number : m_dialPart;
    m_isEmergency = isEmergencyNumber(dialled);
    const uint8_t d = m_deviceState;
    const bool allowed = m_isEmergency ? (d == 4 || d == 5 || d == 6 || (d >= 8 && d <= 12))
                                       : (d == 11 || d == 12);
    if (!allowed) {
        if (d == 1)
            m_view.message(11);
        else if (d == 4 && !m_isEmergency)
            m_view.message(12);
        clearSuffix();
        return;
    }
    const int index = newSlot(number, KindDialled);
    if (index < 0) {
        m_view.message(5026);
        clearSuffix();
        return;
    }
    m_active = index;
    m_restoreEarphone = d == 12 && !m_isEmergency;
    if (m_restoreEarphone) {
        m_view.saveEarphone(m_earphone, true);
        (void)_MEC_SetEarphoneVol(2);  // a failure keeps the level the user chose
    }
    uint8_t present = 1;
    if (_MEC_CheckEarPhone(&present) != 0)
        m_view.message(2);
    else if (present == 0)
        m_view.earphoneNotice();
    uint8_t result = 0;
    if (_MEC_Dial(platform::toAnsi(dialled).c_str(), &result) != 0) {
        // The card refused the number: it was never called.
        m_slots[static_cast<size_t>(m_active)] = CallSlot{};
        m_active = -1;
        clearSuffix();
        enterIdle();
        return;
    }
    m_view.showWindow();
    setState(kCallDialling);
    m_view.setDialTimer(true);
}

bool CallManager::startSecondCall(CallState target)
{
    const QString number = m_typed;
    splitSuffix(number);
    if (number.isEmpty()) {
        m_view.showDialledCalls();
        return false;
    }
    if (!std::all_of(number.begin(), number.end(), dialCharacter)) {
        clearSuffix();
        m_view.message(5002);
        return false;
    }
    const QString dialled = m_toneSuffix.isEmpty() ? number : m_dialPart;
    m_isEmergency = isEmergencyNumber(dialled);
    const int index = newSlot(number, KindDialled);
    if (index < 0) {
        m_view.message(5026);
        clearSuffix();
        return false;
    }
    if (index == m_held || index == m_party1 || index == m_party2)
        return false;  // the number is already one of these calls
    m_active = index;
    uint8_t result = 0;
    if (_MEC_Dial(platform::toAnsi(dialled).c_str(), &result) != 0) {
        m_view.message(5008);
        m_slots[static_cast<size_t>(m_active)] = CallSlot{};
        m_active = -1;
        clearSuffix();
        return false;
    }
    m_typed.clear();
    setState(target);
    m_view.setDialTimer(true);
    return true;
}

void CallManager::dialNumber(const QString &number)
{
    if (m_state == kCallIdle) {
        placeCall(number);
    } else if (m_state == kCallHeld || m_state == kCallConferenceHeld) {
        m_typed = number;
        startSecondCall(m_state == kCallHeld ? kCallHeldDialling : kCallConferenceHeldDialling);
    }
}

void CallManager::dialFailed()
{
    m_view.setDialTimer(false);
    if (!isCallDialling(m_state))
        return;
    record(m_active);
    clearSuffix();
    if (m_state == kCallDialling)
        enterIdle();
    else
        setState(m_state == kCallHeldDialling ? kCallHeld : kCallConferenceHeld);
}

void CallManager::dialResult(uint32_t code)
{
    if (code == 1) {
        if (!isCallDialling(m_state) || m_active < 0)
            return;
        m_view.setDialTimer(false);
        refreshCallList();
        connect(m_active, KindDialled);
        const CallState next = m_state == kCallDialling       ? kCallActive
                               : m_state == kCallHeldDialling ? kCallActiveHeld
                                                         : kCallActiveConferenceHeld;
        setState(next);
        if (!m_toneSuffix.isEmpty() && m_keypadSendsTones) {
            m_tonesRunning = true;
            m_view.scheduleTones(0);
        }
        return;
    }
    if (code != 0 && isCallDialling(m_state))
        m_view.message(5008);
    dialFailed();
}

void CallManager::connect(int index, uint8_t kind)
{
    CallSlot &s = m_slots[static_cast<size_t>(index)];
    s.kind = kind;
    s.status = 1;
    s.startTime = m_now();
}

// ---- tones after the number ---------------------------------------------------------------------

void CallManager::sendNextTones()
{
    if (!m_tonesRunning)
        return;
    while (!m_toneSuffix.isEmpty()) {
        const QChar c = m_toneSuffix.front();
        m_toneSuffix.remove(0, 1);
        if (c == 'P') {
            m_view.scheduleTones(kPauseMs);
            return;
        }
        if (c == 'W') {
            // The person goes on with Dial; the box shows what is left.
            m_waitingForW = true;
            m_tonesRunning = false;
            return;
        }
        if (toneCharacter(c) && sendTone(c))
            m_dialPart += c;
    }
    m_tonesRunning = false;
    clearSuffix();
}

void CallManager::continueAfterW()
{
    if (m_toneSuffix.isEmpty()) {
        clearSuffix();
        return;
    }
    const QChar c = m_toneSuffix.front();
    m_dialPart += c;
    if (toneCharacter(c))
        (void)sendTone(c);  // a tone the card refused is not sent again
    m_waitingForW = false;
    if (m_toneSuffix.size() >= 2) {
        m_toneSuffix.remove(0, 1);
        m_tonesRunning = true;
        m_view.scheduleTones(0);
    } else {
        clearSuffix();
    }
}

void CallManager::stopTones()
{
    if (m_tonesRunning)
        m_view.cancelTones();
    m_tonesRunning = false;
}

// ---- incoming calls -----------------------------------------------------------------------------

void CallManager::incomingCall(const QString &number)
{
    CallState next = m_state;
    switch (m_state) {
    case kCallIdle: next = kCallIncoming; break;
    case kCallActive: next = kCallActiveWaiting; break;
    case kCallHeld: next = kCallHeldIncoming; break;
    case kCallActiveHeld: next = kCallActiveHeldWaiting; break;
    case kCallConference: next = kCallConferenceWaiting; break;
    case kCallConferenceHeld: next = kCallConferenceHeldIncoming; break;
    default:
        if (!ringing(m_state))
            return;  // dialling, or all three lines in use
    }
    for (const CallSlot &s : m_slots)
        if (s.inUse() && s.number == number.left(kMaxNumber))
            return;  // the card announces the same call again
    const bool alreadyRinging = ringing(m_state) && m_waiting >= 0;
    if (alreadyRinging) {
        CallSlot &s = m_slots[static_cast<size_t>(m_waiting)];
        s.number = number.left(kMaxNumber);
        s.name = m_lookupName ? m_lookupName(s.number).left(kMaxNumber) : QString();
    } else {
        const int index = newSlot(number, KindMissed);
        if (index < 0) {
            m_view.message(5026);
            return;
        }
        m_waiting = index;
    }
    m_rejected = false;
    setState(next);
    if (m_connectionSettingUp)
        return;  // the data connection is being set up: no window, no alert
    m_view.showWindow();
    m_view.ring(shownText(m_waiting), alreadyRinging);
}

void CallManager::answer()
{
    if (m_state == kCallIncoming) {
        uint8_t present = 1;
        if (_MEC_CheckEarPhone(&present) == 0 && present == 0)
            m_view.earphoneNotice();
    }
    m_view.stopRing();
    uint8_t result = 0;
    if (_MEC_Answer(&result) != 0)
        return;
    refreshCallList();
    if (result == 1) {
        m_active = m_waiting;
        m_waiting = -1;
        connect(m_active, KindReceived);
        m_view.callAccepted();
        setState(m_state == kCallIncoming       ? kCallActive
                 : m_state == kCallHeldIncoming ? kCallActiveHeld
                                           : kCallActiveConferenceHeld);
        return;
    }
    if (result == 2)
        m_view.message(5009);
    m_slots[static_cast<size_t>(m_waiting)].kind = KindReceived;
    record(m_waiting);
    if (m_state == kCallIncoming)
        enterIdle();
    else
        setState(m_state == kCallHeldIncoming ? kCallHeld : kCallConferenceHeld);
}

void CallManager::incomingConnected()
{
    // Answered where no Dial press was seen (on the card itself, or the answer's result came
    // late): the ringing call is the connected one, and the calls beside it stay as they are.
    if (m_waiting < 0 || (m_state != kCallIncoming && m_state != kCallHeldIncoming &&
                          m_state != kCallConferenceHeldIncoming))
        return;
    refreshCallList();
    m_active = m_waiting;
    m_waiting = -1;
    connect(m_active, KindReceived);
    m_view.callAccepted();
    setState(m_state == kCallIncoming       ? kCallActive
             : m_state == kCallHeldIncoming ? kCallActiveHeld
                                       : kCallActiveConferenceHeld);
}

void CallManager::incomingMissed()
{
    m_eventDuringChoice = true;
    if (m_waiting < 0)
        return;
    m_view.missedCall();
    record(m_waiting);
    switch (m_state) {
    case kCallIncoming: enterIdle(); return;
    case kCallActiveWaiting: setState(kCallActive); return;
    case kCallHeldIncoming: setState(kCallHeld); return;
    case kCallActiveHeldWaiting: setState(kCallActiveHeld); return;
    case kCallConferenceWaiting: setState(kCallConference); return;
    case kCallConferenceHeldIncoming: setState(kCallConferenceHeld); return;
    default: return;
    }
}

// ---- calls that end -----------------------------------------------------------------------------

void CallManager::allCallsEnded()
{
    stopTones();
    clearSuffix();
    if (m_state == kCallIdle)
        return;
    m_view.setDialTimer(false);
    m_view.stopRing();
    enterIdle();
}

void CallManager::remoteReleased()
{
    m_eventDuringChoice = true;
    stopTones();
    clearSuffix();
    // The card's list says which call ended: with a held call or a conference beside it, the
    // one released need not be the active one.
    if (m_state != kCallDialling && m_state != kCallIncoming && releasedAsListed())
        return;
    switch (m_state) {
    case kCallDialling:
        record(m_active);  // the dial result follows
        return;
    case kCallIncoming:
        // The caller gave up before the answer.
        if (m_waiting >= 0 && !m_rejected)
            m_view.missedCall();
        enterIdle();
        return;
    case kCallActive: record(m_active); enterIdle(); return;
    case kCallHeld: record(m_held); enterIdle(); return;
    case kCallActiveWaiting: record(m_active); setState(kCallIncoming); return;
    case kCallHeldIncoming: record(m_held); setState(kCallIncoming); return;
    case kCallHeldDialling:
        record(m_active);
        m_view.setDialTimer(false);
        setState(kCallHeld);
        return;
    case kCallActiveHeld: record(m_active); setState(kCallHeld); return;
    case kCallActiveHeldWaiting: record(m_active); setState(kCallHeldIncoming); return;
    case kCallActiveConferenceHeld: record(m_active); setState(kCallConferenceHeld); return;
    case kCallConferenceHeldDialling:
        record(m_active);
        m_view.setDialTimer(false);
        setState(kCallConferenceHeld);
        return;
    default:
        return;  // a conference: which party left is not told
    }
}

bool CallManager::releasedAsListed()
{
    const std::optional<std::vector<int>> listed = refreshCallList();
    if (!listed)
        return false;
    std::vector<int> gone;
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i) {
        const CallSlot &s = m_slots[static_cast<size_t>(i)];
        if (s.inUse() && s.callId >= 1 && i != m_waiting &&
            std::find(listed->begin(), listed->end(), s.callId) == listed->end())
            gone.push_back(i);
    }
    if (gone.empty())
        return false;  // the card lists them all still: the table decides
    const bool conferenceActive = m_state == kCallConference || m_state == kCallConferenceWaiting ||
                                  m_state == kCallConferenceActiveHeld;
    for (int index : gone) {
        if (index == m_active)
            m_view.setDialTimer(false);
        record(index);
    }
    // A conference of one is a plain call again, active or held as the conference was.
    if ((m_party1 < 0) != (m_party2 < 0)) {
        const int left = m_party1 >= 0 ? m_party1 : m_party2;
        m_party1 = m_party2 = -1;
        (conferenceActive ? m_active : m_held) = left;
    }
    const CallState next = stateOfRoles(conferenceActive);
    if (next == kCallIdle)
        enterIdle();
    else
        setState(next);
    return true;
}

CallState CallManager::stateOfRoles(bool conferenceActive) const
{
    const bool a = m_active >= 0, h = m_held >= 0, w = m_waiting >= 0;
    const bool dialling = a && m_slots[static_cast<size_t>(m_active)].status != 1;
    if (m_party1 >= 0 && m_party2 >= 0) {
        if (conferenceActive)
            return w ? kCallConferenceWaiting : h ? kCallConferenceActiveHeld : kCallConference;
        return dialling ? kCallConferenceHeldDialling
               : a      ? kCallActiveConferenceHeld
               : w      ? kCallConferenceHeldIncoming
                        : kCallConferenceHeld;
    }
    if (a && h)
        return w ? kCallActiveHeldWaiting : dialling ? kCallHeldDialling : kCallActiveHeld;
    if (a)
        return w ? kCallActiveWaiting : dialling ? kCallDialling : kCallActive;
    if (h)
        return w ? kCallHeldIncoming : kCallHeld;
    return w ? kCallIncoming : kCallIdle;
}

void CallManager::record(int &index)
{
    if (index < 0)
        return;
    CallSlot &s = m_slots[static_cast<size_t>(index)];
    if (s.inUse()) {
        if (s.status != 1)
            s.startTime = m_now();
        m_view.recordCall(s.kind, s.startTime, s.number);
    }
    s = CallSlot{};
    if (m_active == index)
        m_active = -1;
    if (m_held == index)
        m_held = -1;
    if (m_waiting == index)
        m_waiting = -1;
    if (m_party1 == index)
        m_party1 = -1;
    if (m_party2 == index)
        m_party2 = -1;
    index = -1;
}

void CallManager::enterIdle()
{
    // Every call still in a slot ends here; each is recorded once, the ringing one as missed
    // unless it was refused.
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i) {
        if (!m_slots[static_cast<size_t>(i)].inUse())
            continue;
        if (i == m_waiting && m_rejected)
            m_slots[static_cast<size_t>(i)].kind = KindReceived;
        int index = i;
        record(index);
    }
    m_active = m_held = m_waiting = m_party1 = m_party2 = -1;
    m_rejected = false;
    m_typed.clear();
    m_keypadSendsTones = false;
    if (m_restoreEarphone) {
        m_restoreEarphone = false;
        const int level = m_view.savedEarphone();
        if (_MEC_SetEarphoneVol(static_cast<uint8_t>(level)) == 0)
            m_earphone = level;
    }
    if (m_state != kCallIdle)
        m_justEnded = true;
    setState(kCallIdle);
}

// ---- the buttons --------------------------------------------------------------------------------

void CallManager::dialPressed()
{
    if (m_waitingForW) {
        continueAfterW();
        return;
    }
    switch (m_state) {
    case kCallIdle: placeCall(m_typed); return;
    case kCallIncoming:
    case kCallHeldIncoming:
    case kCallConferenceHeldIncoming: answer(); return;
    case kCallActiveWaiting:
    case kCallConferenceWaiting:
        runChoices({{5024, Choice::Chld2}, {5040, Choice::Chld1}});
        return;
    case kCallActiveHeld:
        if (m_view.confirm(GetLanguageString(5025)) && m_state == kCallActiveHeld)
            sendChld(3);
        return;
    case kCallActiveHeldWaiting:
        if (m_view.confirm(GetLanguageString(5040)) && m_state == kCallActiveHeldWaiting)
            sendChld(1);
        return;
    case kCallHeld: startSecondCall(kCallHeldDialling); return;
    case kCallConferenceHeld: startSecondCall(kCallConferenceHeldDialling); return;
    default: return;
    }
}

void CallManager::hangupPressed()
{
    using C = Choice;
    if (m_state == kCallIdle) {
        m_typed.clear();
        return;
    }
    if (ringing(m_state))
        m_view.stopRing();
    switch (m_state) {
    case kCallDialling:
    case kCallHeldDialling:
    case kCallConferenceHeldDialling:
        if (_MEC_ATDAbort() != 0)
            m_view.message(5008);
        else
            dialFailed();
        return;
    case kCallIncoming:
        m_rejected = true;
        hangupAll();
        return;
    case kCallActive: hangupAll(); return;
    case kCallHeld:
        if (m_view.confirm(GetLanguageString(5034) + QLatin1Char('?')) && m_state == kCallHeld)
            hangupAll();
        return;
    case kCallActiveWaiting:
        runChoices({{5031, C::Chld0}, {5032, C::ReleaseActive}, {5030, C::HangupAll}});
        return;
    case kCallHeldIncoming:
        runChoices({{5031, C::Chld0}, {5034, C::ReleaseHeld}, {5030, C::HangupAll}});
        return;
    case kCallActiveHeld:
        runChoices({{5034, C::ReleaseHeld}, {5032, C::ReleaseActive}, {5030, C::HangupAll}});
        return;
    case kCallActiveHeldWaiting:
        runChoices({{5031, C::Chld0},
                    {5032, C::ReleaseActive},
                    {5034, C::ReleaseHeld},
                    {5030, C::HangupAll}});
        return;
    case kCallConference:
        runChoices({{5035, C::ReleaseParty1}, {5036, C::ReleaseParty2}, {5030, C::HangupAll}});
        return;
    case kCallConferenceWaiting:
        runChoices({{5031, C::Chld0},
                    {5035, C::ReleaseParty1},
                    {5036, C::ReleaseParty2},
                    {5030, C::HangupAll}});
        return;
    case kCallActiveConferenceHeld:
        runChoices({{5032, C::Chld1},
                    {5037, C::ReleaseParty1},
                    {5038, C::ReleaseParty2},
                    {5030, C::HangupAll}});
        return;
    case kCallConferenceActiveHeld:
        runChoices({{5035, C::ReleaseParty1},
                    {5036, C::ReleaseParty2},
                    {5032, C::Chld1},
                    {5030, C::HangupAll}});
        return;
    case kCallConferenceHeld:
        runChoices({{5037, C::ReleaseParty1}, {5038, C::ReleaseParty2}, {5030, C::HangupAll}});
        return;
    case kCallConferenceHeldIncoming:
        runChoices({{5031, C::Chld0},
                    {5037, C::ReleaseParty1},
                    {5038, C::ReleaseParty2},
                    {5030, C::HangupAll}});
        return;
    default: return;
    }
}

void CallManager::runChoices(const std::vector<std::pair<int, Choice>> &choices)
{
    std::vector<int> texts;
    for (const auto &choice : choices)
        texts.push_back(choice.first);
    m_eventDuringChoice = false;
    const CallState before = m_state;
    const int index = m_view.choose(texts);
    // An engine event meanwhile may have ended the call the choice was about.
    if (index < 0 || index >= static_cast<int>(choices.size()) || m_eventDuringChoice ||
        m_state != before)
        return;
    doChoice(choices[static_cast<size_t>(index)].second);
}

void CallManager::doChoice(Choice choice)
{
    switch (choice) {
    case Choice::Chld0: sendChld(0); return;
    case Choice::Chld1: sendChld(1); return;
    case Choice::Chld2: sendChld(2); return;
    case Choice::ReleaseActive: release(m_active); return;
    case Choice::ReleaseHeld: release(m_held); return;
    case Choice::ReleaseParty1: release(m_party1); return;
    case Choice::ReleaseParty2: release(m_party2); return;
    case Choice::HangupAll: hangupAll(); return;
    }
}

void CallManager::hangupAll()
{
    if (_MEC_Hangup() != 0) {
        m_view.message(5010);
        return;
    }
    if (m_waiting >= 0)
        m_rejected = true;  // a ringing call ended by the person was refused, not missed
    stopTones();
    clearSuffix();
    m_view.setDialTimer(false);
    m_view.callAccepted();
    enterIdle();
}

void CallManager::releaseParty(int row)
{
    if (m_state != kCallConference && m_state != kCallConferenceActiveHeld)
        return;
    release(row == 0 ? m_party1 : m_party2);
}

void CallManager::privateWithParty(int row)
{
    if (m_state != kCallConference)
        return;
    const int index = row == 0 ? m_party1 : m_party2;
    if (index < 0)
        return;
    if (m_slots[static_cast<size_t>(index)].callId < 1)
        refreshCallList();
    const int callId = m_slots[static_cast<size_t>(index)].callId;
    if (callId < 1) {
        m_view.message(2);
        return;
    }
    sendChld(20 + callId);
}

bool CallManager::release(int index)
{
    if (index < 0)
        return false;
    if (m_slots[static_cast<size_t>(index)].callId < 1)
        refreshCallList();
    const int callId = m_slots[static_cast<size_t>(index)].callId;
    if (callId < 1) {
        // Without the card's index of the call, +CHLD=1x would end another call or none.
        m_view.message(2);
        return false;
    }
    return sendChld(10 + callId);
}

// ---- +CHLD --------------------------------------------------------------------------------------

bool CallManager::sendChld(int value)
{
    if (value < 0 || _MEC_SendCHLDCommand(static_cast<uint32_t>(value)) != 0) {
        m_view.message(2);
        return false;
    }
    applyChld(value);
    if (value == 1 || value == 2)
        refreshCallList();
    return true;
}

int CallManager::slotWithCallId(int callId) const
{
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].inUse() && m_slots[i].callId == callId)
            return static_cast<int>(i);
    return -1;
}

void CallManager::applyChld(int value)
{
    const int x = value >= 20 ? slotWithCallId(value - 20)
                  : value >= 10 ? slotWithCallId(value - 10)
                                : -1;
    const bool release = value >= 10 && value < 20;
    const bool privateCall = value >= 20;
    auto reject = [&] {
        m_slots[static_cast<size_t>(m_waiting)].kind = KindReceived;
        record(m_waiting);
    };
    auto answerWaiting = [&] {
        m_active = m_waiting;
        m_waiting = -1;
        connect(m_active, KindReceived);
        m_view.callAccepted();
    };
    const bool party = x >= 0 && (x == m_party1 || x == m_party2);
    // +CHLD=2x: x alone is active, the other party held.
    auto privateWith = [&](CallState next) {
        m_held = x == m_party1 ? m_party2 : m_party1;
        m_active = x;
        m_party1 = m_party2 = -1;
        setState(next);
    };

    switch (m_state) {
    case kCallActive:
        if (value == 2) {
            m_held = m_active;
            m_active = -1;
            setState(kCallHeld);
        }
        return;
    case kCallActiveWaiting:
        if (value == 0) {
            reject();
            setState(kCallActive);
        } else if (value == 1) {
            stopTones();
            record(m_active);
            answerWaiting();
            setState(kCallActive);
        } else if (value == 2) {
            m_held = m_active;
            answerWaiting();
            setState(kCallActiveHeld);
        } else if (release && x >= 0 && x == m_active) {
            stopTones();
            record(m_active);
            setState(kCallIncoming);
        } else if (release && x >= 0 && x == m_waiting) {
            reject();
            setState(kCallActive);
        }
        return;
    case kCallHeld:
        if (value == 2) {
            m_active = m_held;
            m_held = -1;
            setState(kCallActive);
        }
        return;
    case kCallHeldIncoming:
        if (value == 0 || (release && x >= 0 && x == m_waiting)) {
            reject();
            setState(kCallHeld);
        } else if (release && x >= 0 && x == m_held) {
            record(m_held);
            setState(kCallIncoming);
        }
        return;
    case kCallActiveHeld:
        if (value == 0) {
            record(m_held);
            setState(kCallActive);
        } else if (value == 1) {
            stopTones();
            record(m_active);
            m_active = m_held;
            m_held = -1;
            setState(kCallActive);
        } else if (value == 2) {
            std::swap(m_active, m_held);
            stopTones();
            setState(kCallActiveHeld);
        } else if (value == 3) {
            m_party1 = m_active;
            m_party2 = m_held;
            m_active = m_held = -1;
            setState(kCallConference);
        } else if (release && x >= 0 && x == m_active) {
            stopTones();
            record(m_active);
            setState(kCallHeld);
        } else if (release && x >= 0 && x == m_held) {
            record(m_held);
            setState(kCallActive);
        }
        return;
    case kCallActiveHeldWaiting:
        if (value == 0) {
            reject();
            setState(kCallActiveHeld);
        } else if (value == 1) {
            stopTones();
            record(m_active);
            answerWaiting();
            setState(kCallActiveHeld);
        } else if (value == 3) {
            m_party1 = m_active;
            m_party2 = m_held;
            m_active = m_held = -1;
            setState(kCallConferenceWaiting);
        } else if (release && x >= 0 && x == m_active) {
            stopTones();
            record(m_active);
            setState(kCallHeldIncoming);
        } else if (release && x >= 0 && x == m_held) {
            record(m_held);
            setState(kCallActiveWaiting);
        }
        return;
    case kCallConference:
        if (value == 2) {
            setState(kCallConferenceHeld);
        } else if (release && party) {
            endParty(x, true, kCallActive);
        } else if (privateCall && party) {
            privateWith(kCallActiveHeld);
        }
        return;
    case kCallConferenceWaiting:
        if (value == 0) {
            reject();
            setState(kCallConference);
        } else if (value == 1) {
            record(m_party1);
            record(m_party2);
            answerWaiting();
            setState(kCallActive);
        } else if (value == 2) {
            answerWaiting();
            setState(kCallActiveConferenceHeld);
        } else if (release && party) {
            endParty(x, true, kCallActiveWaiting);
        } else if (privateCall && party) {
            privateWith(kCallActiveHeldWaiting);
        }
        return;
    case kCallActiveConferenceHeld:
        if (value == 1) {
            stopTones();
            record(m_active);
            setState(kCallConference);
        } else if (value == 2) {
            m_held = m_active;
            m_active = -1;
            stopTones();
            setState(kCallConferenceActiveHeld);
        } else if (release && x >= 0 && x == m_active) {
            stopTones();
            record(m_active);
            setState(kCallConferenceHeld);
        } else if (release && party) {
            endParty(x, false, kCallActiveHeld);
        }
        return;
    case kCallConferenceActiveHeld:
        if (value == 1) {
            record(m_party1);
            record(m_party2);
            m_active = m_held;
            m_held = -1;
            setState(kCallActive);
        } else if (value == 2) {
            m_active = m_held;
            m_held = -1;
            setState(kCallActiveConferenceHeld);
        } else if (release && x >= 0 && x == m_held) {
            record(m_held);
            setState(kCallConference);
        } else if (release && party) {
            endParty(x, true, kCallActiveHeld);
        }
        return;
    case kCallConferenceHeld:
        if (value == 2) {
            setState(kCallConference);
        } else if (release && party) {
            endParty(x, false, kCallHeld);
        }
        return;
    case kCallConferenceHeldIncoming:
        if (value == 0 || (release && x >= 0 && x == m_waiting)) {
            reject();
            setState(kCallConferenceHeld);
        } else if (release && party) {
            endParty(x, false, kCallHeldIncoming);
        }
        return;
    default: return;
    }
}

void CallManager::endParty(int x, bool otherActive, CallState next)
{
    const int other = x == m_party1 ? m_party2 : m_party1;
    record(x == m_party1 ? m_party1 : m_party2);
    (otherActive ? m_active : m_held) = other;
    m_party1 = m_party2 = -1;
    setState(next);
}

std::optional<std::vector<int>> CallManager::refreshCallList()
{
    if (m_deviceState != 12)
        return std::nullopt;
    _MEC_CLCC_LIST list{};
    bool read = false;
    for (int attempt = 0; attempt < kCallListTries && !read; ++attempt) {
        list = _MEC_CLCC_LIST{};
        read = _MEC_SendCLCCCmd(&list) == 0;
    }
    if (!read)
        return std::nullopt;
    std::vector<int> listed;
    const uint32_t count = std::min<uint32_t>(list.count, MEC_CLCC_MAX_CALLS);
    for (uint32_t i = 0; i < count; ++i) {
        const _MEC_CLCC_ENTRY &entry = list.calls[i];
        listed.push_back(entry.callIndex);
        if (slotWithCallId(entry.callIndex) >= 0)
            continue;
        // A call the slots do not know by index yet: the slot with its number; a card that
        // lists no number gives it to the first slot still without an index.
        const QString number = ansiText(entry.number, sizeof entry.number);
        int target = -1;
        for (size_t s = 0; s < m_slots.size() && target < 0; ++s) {
            const CallSlot &slot = m_slots[s];
            if (slot.inUse() && slot.callId == -1 &&
                (number.isEmpty() || SameNumber(slot.number, number)))
                target = static_cast<int>(s);
        }
        if (target >= 0)
            m_slots[static_cast<size_t>(target)].callId = entry.callIndex;
    }
    return listed;
}

// ---- state and display --------------------------------------------------------------------------

bool CallManager::connectedState() const
{
    return !(m_state == kCallIdle || m_state == kCallDialling || m_state == kCallIncoming);
}

void CallManager::setState(CallState state)
{
    const bool wasConnected = connectedState();
    const CallState before = m_state;
    m_state = state;
    m_keypadSendsTones = connectedState() && !composing(state) && !isCallDialling(state);
    if (!composing(state))
        m_typed.clear();
    if (state != kCallIdle)
        m_justEnded = false;
    const bool connected = connectedState();
    if (connected && !wasConnected) {
        m_lastTick = m_now().toMSecsSinceEpoch();
        m_carriedMs = 0;
    }
    if (connected != wasConnected)
        m_view.setCallTimer(connected);
    m_shownState = before;
    if (before != state)
        m_view.stateChanged(state);
}

void CallManager::timerTick(int64_t msSinceEpoch)
{
    const int64_t elapsed = msSinceEpoch - m_lastTick + m_carriedMs;
    m_lastTick = msSinceEpoch;
    if (elapsed <= 0)
        return;
    const int seconds = static_cast<int>(elapsed / 1000);
    m_carriedMs = elapsed % 1000;
    for (int index : {m_active, m_held, m_party1, m_party2}) {
        if (index < 0)
            continue;
        CallSlot &s = m_slots[static_cast<size_t>(index)];
        if (s.status == 1)
            s.duration += seconds;
    }
}

std::optional<int> CallManager::shownDuration() const
{
    int index = -1;
    if (ringing(m_state) || isCallDialling(m_state))
        return std::nullopt;
    if (m_active >= 0)
        index = m_active;
    else if (m_party1 >= 0)
        index = m_party1;
    else if (m_held >= 0)
        index = m_held;
    if (index < 0 || m_slots[static_cast<size_t>(index)].status != 1)
        return std::nullopt;
    return m_slots[static_cast<size_t>(index)].duration;
}

QString CallManager::shownText(int index) const
{
    if (index < 0)
        return {};
    const CallSlot &s = m_slots[static_cast<size_t>(index)];
    if (!s.name.isEmpty())
        return s.name;
    if (s.number.isEmpty())
        return GetLanguageString(5015);
    return s.number;
}

CallDisplay CallManager::display() const
{
    CallDisplay d;
    static constexpr int kLabels[] = {0,    5004, 5007, 5006, 5021, 5022, 5004, 5007, 5006,
                                      5021, 5023, 5021, 5006, 5023, 5022, 5004, 5021};
    d.stateText = kLabels[m_state];
    if (isCallDialling(m_state) && m_isEmergency)
        d.stateText = 5005;
    if (m_state == kCallIdle && m_justEnded)
        d.stateText = 5003;
    d.composing = composing(m_state);
    d.suffix = m_waitingForW ? QString() : m_toneSuffix;
    if (m_waitingForW) {
        d.input = m_toneSuffix;
    } else if (d.composing) {
        d.input = m_typed;
    } else {
        const int shown = ringing(m_state) ? m_waiting : m_active;
        d.input = shownText(shown >= 0 ? shown : m_party1);
        if (!m_dialPart.isEmpty() && m_state == kCallActive)
            d.input = m_dialPart;
        if (!m_typed.isEmpty())
            d.input += QLatin1Char(' ') + m_typed;
    }
    const bool conferenceHeld = m_state == kCallActiveConferenceHeld || m_state == kCallConferenceHeld ||
                                m_state == kCallConferenceHeldDialling ||
                                m_state == kCallConferenceHeldIncoming;
    if (m_held >= 0)
        d.held = GetLanguageString(5048) + shownText(m_held);
    else if (conferenceHeld)
        d.held = GetLanguageString(5048) + shownText(m_party1) + QStringLiteral(", ") +
                 shownText(m_party2);
    d.conference = m_state == kCallConference || m_state == kCallConferenceActiveHeld ||
                   m_state == kCallConferenceWaiting;
    if (d.conference)
        d.parties = {shownText(m_party1), shownText(m_party2)};
    return d;
}

// ---- audio --------------------------------------------------------------------------------------

int CallManager::EarphonePosition(uint8_t engineLevel)
{
    static constexpr uint8_t kLevels[] = {0, 56, 111, 155, 205, 255};
    for (int position = 0; position < 6; ++position)
        if (kLevels[position] == engineLevel)
            return position;
    return 0;
}

std::optional<int> CallManager::readEarphone()
{
    uint8_t level = 0;
    if (_MEC_ReadEarPhoneVol(&level) != 0)
        return std::nullopt;
    const int position = EarphonePosition(level);
    if (position != m_earphone) {
        m_earphone = position;
        m_view.saveEarphone(position, false);
    }
    return position;
}

bool CallManager::setEarphone(int position)
{
    if (position == m_earphone)
        return true;
    if (_MEC_SetEarphoneVol(static_cast<uint8_t>(position)) != 0) {
        m_view.message(5011);
        return false;
    }
    m_earphone = position;
    m_view.saveEarphone(position, false);
    return true;
}

// ---- the star key -------------------------------------------------------------------------------

QString StarKey::press(int64_t ms)
{
    QString typed;
    if (m_pending && ms - m_last > m_window) {
        typed += *m_pending;  // the time ran out before anyone typed it
        m_pending.reset();
        m_taps = 0;
    }
    m_last = ms;
    ++m_taps;
    if (m_taps >= 4) {
        m_taps = 0;
        m_pending.reset();
        return typed + QLatin1Char('W');
    }
    static constexpr char kTaps[] = {'*', '+', 'P'};
    m_pending = QChar(kTaps[m_taps - 1]);
    return typed;
}

std::optional<QChar> StarKey::expire()
{
    const std::optional<QChar> typed = m_pending;
    m_pending.reset();
    m_taps = 0;
    return typed;
}

}  // namespace calls
