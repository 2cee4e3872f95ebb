#include "TrayNotices.h"

#include "RecordFields.h"
#include "Sound.h"

#include "FeatureRoles.h"
#include "WindowTable.h"
#include "logic/BL_Sms.h"
#include "logic/WindowPayloads.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include <cstring>
#include <utility>

using monitor::ansi;
using monitor::fieldOf;
using platform::GetLanguageString;

namespace {

constexpr int kTrayHintInterval = 1000;

constexpr int kBroadcastShownCharacters = 11;

}  // namespace

TrayNotices::TrayNotices(CardView &view, feature::WindowTable &windows, SoundPlayer &sound,
                         const CardFacts &facts)
    : m_view(view), m_windows(windows), m_sound(sound), m_facts(facts)
{
    Timer_UpdateTrayHint.setObjectName(QStringLiteral("Timer_UpdateTrayHint"));
    Timer_UpdateTrayHint.setInterval(kTrayHintInterval);
    connect(&Timer_UpdateTrayHint, &QTimer::timeout, this, &TrayNotices::Timer_UpdateTrayHintTimer);
    Timer_UpdateTrayHint.start();
}

TrayNotices::~TrayNotices() = default;

// ---- tray ---------------------------------------------------------------------------------------

void TrayNotices::setTrayImage(int image)
{
    m_trayAnimation = TrayAnimation::None;
    m_trayImage = image;
    m_view.setTrayImage(image);
}

void TrayNotices::setTrayAnimation(TrayAnimation animation)
{
    if (animation == TrayAnimation::None) {
        setTrayImage(m_trayImage);
        return;
    }
    m_trayAnimation = animation;
    m_view.setTrayAnimation(animation);
}

void TrayNotices::showSignalInTray(int level)
{
    if (m_trayAnimation == TrayAnimation::None)
        setTrayImage(level != 0 ? kImageInService : kImageNoSignal);
}

void TrayNotices::resetIndicators(bool touchConnectionIcon)
{
    m_view.setIndicator(Indicator::IncomingCall, false);
    m_view.setIndicator(Indicator::NewSms, false);
    m_missedCallShown = false;
    m_newSmsShown = false;
    if (touchConnectionIcon)
        showNotConnected();
}

void TrayNotices::showNotConnected()
{
    m_view.setConnectionAnimation(false);
    m_view.setConnectionIcon(kImageNotConnected);
    m_view.setConnectionHint(GetLanguageString(1072));
}

void TrayNotices::Timer_UpdateTrayHintTimer()
{
    static const std::pair<uint8_t, unsigned> kHints[] = {
        {1, 1163}, {2, 1164}, {3, 1166}, {4, 1057}, {6, 1167}, {7, 1165}, {8, 1168}, {9, 1169},
    };
    for (const auto &[state, hint] : kHints) {
        if (state == m_facts.cardState) {
            m_view.setTrayHint(GetLanguageString(hint));
            return;
        }
    }
    if (!m_facts.simRegistered())
        return;
    switch (m_trayAnimation) {
    case TrayAnimation::IncomingCall:
        m_view.setTrayHint(GetLanguageString(m_callBeingAnswered ? 1013 : 1051));
        break;
    case TrayAnimation::NewSms: m_view.setTrayHint(GetLanguageString(1012)); break;
    case TrayAnimation::Connected: m_view.setTrayHint(m_view.connectionStatusText()); break;
    case TrayAnimation::None:
        if (m_trayImage == kImageNoSignal)
            m_view.setTrayHint(GetLanguageString(1173));
        else if (m_trayImage == kImageInService)
            m_view.setTrayHint(GetLanguageString(1171));
        break;
    }
}

// ---- messages -----------------------------------------------------------------------------------

void TrayNotices::keepNewSms(const SmsItem &item)
{
    m_newSmsEntry = std::make_unique<SmsItem>(item);
}

void TrayNotices::freeNewSmsEntry() { m_newSmsEntry.reset(); }

void TrayNotices::newSmsArrived(const QString &text)
{
    if (!m_facts.simRegistered())
        return;
    m_view.setIndicator(Indicator::NewSms, true);
    m_newSmsShown = true;
    if (m_trayAnimation != TrayAnimation::IncomingCall)
        setTrayAnimation(TrayAnimation::NewSms);
    if ((m_view.isMinimizedOrHidden() || !m_view.isActiveWindow()) && !m_view.hasNewSmsPopup())
        m_view.showNewSmsPopup(text, m_view.hasCallPopup());
    m_sound.play(SoundEvent::SmsArrived);
}

void TrayNotices::clearNewSms(bool fromIndicator)
{
    if (!m_facts.simRegistered())
        return;
    if (fromIndicator && m_newSmsEntry) {
        if (auto *list = m_windows.role<feature::SmsFolderView>())
            list->openSmsFolder(m_newSmsEntry->folder, m_newSmsEntry->storage);
    }
    m_view.setIndicator(Indicator::NewSms, false);
    m_newSmsShown = false;
    if (m_trayAnimation == TrayAnimation::NewSms) {
        if (m_facts.connected())
            setTrayAnimation(TrayAnimation::Connected);
        else
            setTrayImage(kImageInService);
    }
    if (m_view.isMinimizedOrHidden())
        m_view.releaseNewSmsPopup();
    m_sound.stop();
    freeNewSmsEntry();
}

void TrayNotices::class0Sms(const SmsClass0Payload &sms)
{
    const QString number = ansi(fieldOf(sms.number, sizeof sms.number));
    const QString text = ansi(fieldOf(sms.text, sizeof sms.text));
    m_pendingTexts.append(number + QStringLiteral(":\r\n") + text + QStringLiteral("\r\n"));
    if (m_class0BoxOpen)
        return;  // the box on screen shows this one next
    m_class0BoxOpen = true;
    while (!m_pendingTexts.isEmpty()) {
        const QString next = m_pendingTexts.takeFirst();
        platform::ShowMessageBox(m_view.dialogOwner(), next, 1);
    }
    m_class0BoxOpen = false;
}

void TrayNotices::broadcast(const SmsBroadcastPayload &page)
{
    m_view.setClockText(ansi(fieldOf(page.text, sizeof page.text)).left(kBroadcastShownCharacters));
}

// ---- calls --------------------------------------------------------------------------------------

void TrayNotices::incomingCall(const QString &number, bool updateOnly)
{
    if (!m_facts.simRegistered())
        return;
    if (updateOnly && m_view.hasCallPopup()) {
        m_view.setCallPopupText(number);
        return;
    }
    m_callBeingAnswered = true;
    setTrayAnimation(TrayAnimation::IncomingCall);
    if (!m_sound.isRinging())
        m_sound.play(SoundEvent::IncomingCall);
    if ((m_view.isMinimizedOrHidden() || !m_view.isActiveWindow()) && !m_view.hasCallPopup())
        m_view.showCallPopup(number);
}

void TrayNotices::callAccepted()
{
    if (!m_facts.simRegistered())
        return;
    if (m_view.isMinimizedOrHidden())
        m_view.restoreFromTray();
    callStopped();
}

void TrayNotices::restoreTrayAfterCall()
{
    if (m_trayAnimation != TrayAnimation::IncomingCall || m_missedCallShown)
        return;
    if (m_newSmsShown)
        setTrayAnimation(TrayAnimation::NewSms);
    else if (m_facts.connected())
        setTrayAnimation(TrayAnimation::Connected);
    else
        setTrayImage(kImageInService);
}

void TrayNotices::callStopped()
{
    m_callBeingAnswered = false;
    restoreTrayAfterCall();
    m_sound.stop();
}

void TrayNotices::missedCall()
{
    m_callBeingAnswered = false;
    m_view.setIndicator(Indicator::IncomingCall, true);
    m_missedCallShown = true;
    m_sound.stop();
}

void TrayNotices::clearMissedCall(bool fromIndicator)
{
    if (fromIndicator) {
        if (auto *records = m_windows.role<feature::CallRecordsView>())
            records->showCallRecords();
    }
    m_view.setIndicator(Indicator::IncomingCall, false);
    m_missedCallShown = false;
    restoreTrayAfterCall();
}

// ---- connection ---------------------------------------------------------------------------------

void TrayNotices::connectionUp()
{
    if (!m_facts.connected())
        return;
    m_view.setConnectionAnimation(true);
    m_view.setConnectionHint(GetLanguageString(1063));
    if (m_trayAnimation == TrayAnimation::None)
        setTrayAnimation(TrayAnimation::Connected);
    m_sound.play(SoundEvent::Connected);
}

void TrayNotices::budgetNotice(const QString &text)
{
    m_budgetNotices.append(text);
    m_view.showTrayMessage(text);
}

void TrayNotices::connectionDown()
{
    if (m_facts.connectionState != 0)
        return;
    showNotConnected();
    if (m_trayAnimation == TrayAnimation::Connected)
        setTrayImage(kImageInService);
    m_sound.play(SoundEvent::Disconnected);
}
