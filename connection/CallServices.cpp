#include "CallServices.h"

#include "logic/EngineValues.h"
#include "lumacore.h"
#include "platform/CodePage.h"

namespace {

constexpr int kApplied = 3033;
constexpr int kNotApplied = 3101;
constexpr int kReadAll = 3149;
constexpr int kReadSome = 3150;
constexpr int kInconsistentForwarding = 3136;
constexpr int kClipNotChanged = 3151;
constexpr int kWaitingNotChanged = 3152;
constexpr int kNotSaved = 3018;

constexpr std::array<int, 4> kApplyCheckOrder{CallServices::kCfb, CallServices::kCfnrc,
                                              CallServices::kCfnry, CallServices::kCfu};

}  // namespace

void CallServices::reset()
{
    m_queried = false;
    m_forwardActive = {};
    m_forwardNumber = {};
    m_forwardAvailable = {};
    m_barred = {};
    m_barringAvailable = {};
    m_clipOn = m_waitingOn = false;
    m_pendingForward = 15;
    m_pendingBarring = 31;
    m_forwardSucceeded = m_barringSucceeded = true;
    m_applying = false;
    forward = {};
    barring = {};
    clip = waiting = {};
    applyForwardEnabled = applyBarringEnabled = applyClipEnabled = false;
}

void CallServices::CardStateChanged(uint8_t state)
{
    if (state == kSimReady) {
        (void)_MEC_CallerModeSetCmd(m_config.clipPresentation == 1 ? 1 : 0);  // best effort
        return;
    }
    reset();
}

int CallServices::FirstShow()
{
    if (m_queried)
        return 0;
    m_queried = true;
    int failures = queryForwarding(nullptr) + queryBarring(nullptr);
    if (!clip.enabled && !queryClip())
        ++failures;
    bool waitingAnswered = waiting.enabled || queryWaiting();
    return failures == 0 && waitingAnswered ? kReadAll : kReadSome;
}

// ---- Forwarding ---------------------------------------------------------------------------

int CallServices::queryForwarding(std::vector<int> *messages)
{
    int failures = 0;
    for (int condition = kCfu; condition <= kCfnrc; ++condition) {
        if ((m_pendingForward & (1u << condition)) == 0)
            continue;
        _MEC_CALL_FORWARD_ANSWER answer{};
        const uint16_t result = _MEC_GetCallForwardSet(static_cast<uint32_t>(condition), &answer);
        if (result == 0) {
            const bool active = answer.serviceClass == 1 && answer.status == 1;
            m_forwardActive[condition] = active;
            m_forwardNumber[condition] =
                active ? platform::fromAnsi(std::string(
                             answer.number, ::strnlen(answer.number, sizeof answer.number)))
                       : QString();
            m_forwardAvailable[condition] = true;
            m_pendingForward &= static_cast<uint8_t>(~(1u << condition));
        } else if (result == MEC_ERR_SERVICE_REFUSED) {
            ++failures;
        }
    }
    // What the network holds now, on controls that are open where the network answered.
    for (int condition = kCfu; condition <= kCfnrc; ++condition) {
        showForwardRow(condition);
        forward[condition].enabled = m_forwardAvailable[condition];
    }
    cfuRule();
    if (m_applying && messages)
        messages->push_back(m_forwardSucceeded ? kApplied : kNotApplied);
    m_forwardSucceeded = true;
    return failures;
}

void CallServices::showForwardRow(int condition)
{
    forward[condition].checked = m_forwardActive[condition];
    forward[condition].number = m_forwardActive[condition] ? m_forwardNumber[condition] : QString();
}

// Forwarding all calls leaves no room for the conditional ones: they are held, and those the
// network does not hold active are cleared.
void CallServices::cfuRule()
{
    if (forward[kCfu].checked) {
        for (int condition : {kCfb, kCfnrc, kCfnry}) {
            forward[condition].enabled = false;
            if (!m_forwardActive[condition]) {
                forward[condition].checked = false;
                forward[condition].number.clear();
            }
        }
        return;
    }
    forward[kCfu].number.clear();
    for (int condition : {kCfb, kCfnry, kCfnrc})
        forward[condition].enabled = m_forwardAvailable[condition];
}

void CallServices::ShowForwarding()
{
    for (int condition = kCfu; condition <= kCfnrc; ++condition)
        showForwardRow(condition);
    if (forward[kCfu].checked)
        cfuRule();
}

void CallServices::ForwardClicked(int condition, bool checked)
{
    forward[condition].checked = checked;
    if (condition == kCfu)
        cfuRule();
    else if (!checked)
        forward[condition].number.clear();
    applyForwardEnabled = true;
}

void CallServices::ForwardEdited(int condition, const QString &number)
{
    forward[condition].number = number.left(kNumberMaximum);
    applyForwardEnabled = true;
}

std::vector<int> CallServices::ApplyForwarding()
{
    std::vector<int> messages;
    for (int condition : kApplyCheckOrder) {
        if (forward[condition].checked == forward[condition].number.isEmpty()) {
            messages.push_back(kInconsistentForwarding);
            return messages;
        }
    }
    for (auto &row : forward)
        row.enabled = false;
    applyForwardEnabled = false;
    m_applying = true;
    uint8_t changed = 0;
    for (int condition = kCfu; condition <= kCfnrc; ++condition)
        if (forward[condition].checked != m_forwardActive[condition] ||
            forward[condition].number != m_forwardNumber[condition])
            changed |= static_cast<uint8_t>(1u << condition);
    if (changed == 0) {
        for (int condition = kCfu; condition <= kCfnrc; ++condition)
            forward[condition].enabled = m_forwardAvailable[condition];
        ShowForwarding();
        cfuRule();
        m_applying = false;
        return messages;
    }
    for (int condition = kCfu; condition <= kCfnrc; ++condition) {
        if ((changed & (1u << condition)) == 0)
            continue;
        _MEC_CALL_FORWARD_REQUEST request{};
        request.reason = static_cast<uint32_t>(condition);
        request.mode = forward[condition].checked ? 3 : 4;
        const std::string number =
            platform::toAnsi(forward[condition].number).substr(0, kNumberSent);
        std::memcpy(request.number, number.data(), number.size());
        _MEC_CALL_FORWARD_ANSWER answer{};
        // Any refusal is a failure to report; a change the card never confirmed is one too.
        if (_MEC_SetCallForwardCmd(request, &answer) != 0)
            m_forwardSucceeded = false;
    }
    m_pendingForward = changed;
    queryForwarding(&messages);
    m_applying = false;
    applyForwardEnabled = false;
    return messages;
}

// ---- Barring ------------------------------------------------------------------------------

int CallServices::queryBarring(std::vector<int> *messages)
{
    int failures = 0;
    for (int facility = kAo; facility <= kIr; ++facility) {
        if ((m_pendingBarring & (1u << facility)) == 0)
            continue;
        uint32_t status = 0;
        const uint16_t result = _MEC_GetCallBarringCmd(kFacilityCodes[facility], &status);
        if (result == 0) {
            m_barringAvailable[facility] = true;
            m_barred[facility] = status == 1;
            m_pendingBarring &= static_cast<uint8_t>(~(1u << facility));
        } else if (result == MEC_ERR_SERVICE_REFUSED) {
            ++failures;
            if (m_applying)
                m_pendingBarring &= static_cast<uint8_t>(~(1u << facility));
        }
    }
    ShowBarring();
    applyBarringEnabled = false;
    if (m_applying && messages)
        messages->push_back(m_barringSucceeded ? kApplied : kNotApplied);
    m_barringSucceeded = true;
    return failures;
}

void CallServices::ShowBarring()
{
    for (int facility = kAo; facility <= kIr; ++facility) {
        barring[facility].checked = m_barred[facility];
        barring[facility].enabled = m_barringAvailable[facility];
    }
    if (m_barred[kAo])
        barring[kOi].enabled = barring[kOx].enabled = false;
    if (m_barred[kOi])
        barring[kOx].enabled = false;
    if (m_barred[kAi])
        barring[kIr].enabled = false;
    applyBarringEnabled = false;
}

void CallServices::BarringClicked(int facility, bool checked)
{
    barring[facility].checked = checked;
    // A wider barring holds the narrower ones it covers.
    auto hold = [this](int narrower) {
        barring[narrower].enabled = false;
        if (!m_barred[narrower])
            barring[narrower].checked = false;
    };
    switch (facility) {
    case kAo:
        if (checked) {
            hold(kOi);
            hold(kOx);
        } else {
            barring[kOi].enabled = m_barringAvailable[kOi];
            if (barring[kOi].checked)
                barring[kOx].enabled = false;
            else
                barring[kOx].enabled = m_barringAvailable[kOx];
        }
        break;
    case kOi:
        if (checked)
            hold(kOx);
        else
            barring[kOx].enabled = m_barringAvailable[kOx];
        break;
    case kAi:
        if (checked)
            hold(kIr);
        else
            barring[kIr].enabled = m_barringAvailable[kIr];
        break;
    default: break;
    }
    applyBarringEnabled = true;
}

std::vector<int> CallServices::ApplyBarring()
{
    std::vector<int> messages;
    m_applying = true;
    for (auto &box : barring)
        box.enabled = false;
    applyBarringEnabled = false;
    uint8_t changed = 0;
    for (int facility = kAo; facility <= kIr; ++facility)
        if (barring[facility].checked != m_barred[facility])
            changed |= static_cast<uint8_t>(1u << facility);
    for (int facility = kAo; facility <= kIr; ++facility) {
        if ((changed & (1u << facility)) == 0)
            continue;
        _MEC_CALL_BARRING_REQUEST request{};
        std::memcpy(request.facility, kFacilityCodes[facility], 2);
        request.mode = barring[facility].checked ? 1 : 0;
        uint32_t status = 0;
        if (_MEC_SetCallBarringCmd(request, &status) != 0)
            m_barringSucceeded = false;
    }
    if (changed != 0) {
        m_pendingBarring = changed;
        queryBarring(&messages);
    }
    ShowBarring();
    m_applying = false;
    return messages;
}

// ---- CLIP and call waiting ----------------------------------------------------------------

bool CallServices::queryClip()
{
    uint32_t mode = 0;
    if (_MEC_GetCallerListMode(&mode) != 0) {
        clip.checked = false;
        return false;
    }
    m_clipOn = mode == 1;
    clip = {m_clipOn, true};
    applyClipEnabled = true;
    return true;
}

bool CallServices::queryWaiting()
{
    uint32_t state = 0;
    if (_MEC_GetCallWaiting(&state) != 0) {
        waiting.checked = m_waitingOn;
        return false;
    }
    m_waitingOn = state == 1;
    waiting = {m_waitingOn, true};
    applyClipEnabled = true;
    return true;
}

void CallServices::ShowClip()
{
    clip.checked = m_clipOn;
    waiting.checked = m_waitingOn;
    applyClipEnabled = false;
}

void CallServices::ClipClicked(bool checked)
{
    clip.checked = checked;
    applyClipEnabled = true;
}

void CallServices::WaitingClicked(bool checked)
{
    waiting.checked = checked;
    applyClipEnabled = true;
}

std::vector<int> CallServices::ApplyClip()
{
    std::vector<int> messages;
    bool failed = false;
    if (clip.checked != m_clipOn) {
        const bool wanted = clip.checked;
        if (_MEC_CallerModeSetCmd(wanted ? 1 : 0) != 0) {
            messages.push_back(kClipNotChanged);
            failed = true;
        }
        queryClip();
        // What the card now shows is what the next start hands it again.
        m_config.clipPresentation = clip.checked ? 1 : 0;
        if (m_save && !m_save()) {
            messages.push_back(kNotSaved);
            failed = true;
        }
    }
    if (waiting.checked != m_waitingOn) {
        if (_MEC_SetCallWaiting(waiting.checked ? 1 : 0) != 0) {
            messages.push_back(kWaitingNotChanged);
            failed = true;
        }
        queryWaiting();
    }
    applyClipEnabled = false;
    if (!failed)
        messages.push_back(kApplied);
    return messages;
}
