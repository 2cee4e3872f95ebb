#include "Sound.h"

#include "config/BL_File.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

namespace {

int slotOf(SoundEvent event)
{
    switch (event) {
    case SoundEvent::SmsArrived: return kSoundSlotSmsArrived;
    case SoundEvent::IncomingCall: return kSoundSlotIncomingCall;
    case SoundEvent::Connected: return kSoundSlotConnected;
    case SoundEvent::Disconnected: return kSoundSlotDisconnected;
    }
    return 0;
}

}  // namespace

SoundPlayer::SoundPlayer(std::unique_ptr<SoundOutput> output, const TBL_File &store,
                           std::function<void()> beep,
                           std::function<void(const QString &)> showMessage)
    : m_output(std::move(output)),
      m_store(store),
      m_beep(std::move(beep)),
      m_showMessage(std::move(showMessage))
{
    m_output->setFailureHandler([this] { playbackFailed(); });
}

SoundPlayer::~SoundPlayer()
{
    m_output->setFailureHandler({});
    m_output->stop();
}

int SoundPlayer::priorityOf(SoundEvent event)
{
    switch (event) {
    case SoundEvent::IncomingCall: return 3;
    case SoundEvent::SmsArrived: return 2;
    case SoundEvent::Connected:
    case SoundEvent::Disconnected: return 1;
    }
    return 0;
}

QString SoundPlayer::resolvePath(const std::string &file, const QString &programFolder)
{
    // The settings keep file names in the system code page, which need not be UTF-8.
    return resolveChosenPath(platform::fromAnsi(file), programFolder);
}

QString SoundPlayer::resolveChosenPath(QString path, const QString &programFolder)
{
    if (path.startsWith(QLatin1Char('.')))
        path = programFolder + QLatin1Char('/') + path.mid(2);
    // Settings written on the other platform name folders with backslashes.
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

int SoundPlayer::playingPriority() const { return m_output->isPlaying() ? m_priority : 0; }

void SoundPlayer::play(SoundEvent event)
{
    if (playingPriority() > priorityOf(event))
        return;
    stop();
    m_retried = false;
    start(event);
}

void SoundPlayer::preview(const QString &file)
{
    if (playingPriority() > priorityOf(SoundEvent::Connected))
        return;
    stop();
    if (file.isEmpty())
        return;
    if (!m_output->hasOutputDevice()) {
        if (m_beep)
            m_beep();
        return;
    }
    m_preview = true;
    m_priority = priorityOf(SoundEvent::Connected);
    if (!m_output->play(resolveChosenPath(file, m_store.deliveredFolder()), false))
        playbackFailed();
}

void SoundPlayer::stop()
{
    m_output->stop();
    m_priority = 0;
}

bool SoundPlayer::start(SoundEvent event)
{
    std::string file;
    if (!m_store.GetSoundFile(slotOf(event), file)) {
        if (m_showMessage)
            m_showMessage(platform::GetLanguageString(1018) + QStringLiteral("allconfig.ran"));
        return false;
    }
    if (file.empty())
        return true;  // the event is muted
    if (!m_output->hasOutputDevice()) {
        if (m_beep)
            m_beep();
        return false;
    }
    m_event = event;
    m_preview = false;
    m_priority = priorityOf(event);
    if (!m_output->play(resolvePath(file, m_store.deliveredFolder()), event == SoundEvent::IncomingCall)) {
        playbackFailed();
        return false;
    }
    return true;
}

void SoundPlayer::playbackFailed()
{
    m_priority = 0;
    if (m_preview) {
        m_preview = false;
        if (m_beep)
            m_beep();
        return;
    }
    if (m_retried)
        return;
    m_retried = true;
    if (m_beep)
        m_beep();
    m_store.ResetSoundFile(slotOf(m_event));
    start(m_event);
}
