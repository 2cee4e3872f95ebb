#include "CallAudio.h"

#include "platform/ResStringManager.h"

#include "language/TextNumbers.h"
#include "lumacore.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QtDebug>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace calls {

namespace {

// The slider's positions as gains; 2 leaves the microphone as recorded.
constexpr std::array<double, CallAudio::kMicrophoneLevels> kGains{0.25, 0.5, 1.0, 2.0};

QString controlPort()
{
    char port[256] = {};
    if (_MEC_GetControlPort(port, sizeof port) != 0)
        return {};
    return QString::fromLocal8Bit(port);
}

int openPort(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    termios settings{};
    // A serial line carries the samples untouched: no echo, no line editing, no translation.
    if (::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        (void)::tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

}  // namespace

CallAudio::CallAudio(QString settingsFolder, std::function<void(const QString &)> notice,
                     QObject *parent)
    : QObject(parent), m_folder(std::move(settingsFolder)), m_notice(std::move(notice))
{
}

CallAudio::~CallAudio() { stop(); }

bool CallAudio::portPresent() const
{
    const QString port = VoicePortSettings::load(m_folder).portFor(controlPort());
    return !port.isEmpty() && QFile::exists(port);
}

void CallAudio::setMicrophoneLevel(int position)
{
    m_level = std::clamp(position, 0, kMicrophoneLevels - 1);
}

void CallAudio::setCallConnected(bool connected)
{
    if (connected == m_connected)
        return;
    m_connected = connected;
    if (!connected) {
        stop();
        return;
    }
    if (!start()) {
        stop();
        tellNoSound();
    }
}

bool CallAudio::start()
{
    QStringList problems;
    m_settings = VoicePortSettings::load(m_folder, &problems);
    for (const QString &problem : problems)
        qWarning("voice port settings: line left out: %s", qUtf8Printable(problem));
    const QString port = m_settings.portFor(controlPort());
    // A card that does not know the start command has no voice port of this kind.
    if (port.isEmpty() || !QFile::exists(port))
        return false;
    if (!m_settings.start.isEmpty()) {
        if (_MEC_SendCardCommand(m_settings.start.toLatin1().constData()) != 0)
            return false;
        m_commandSent = true;
    }
    m_fd = openPort(port);
    if (m_fd < 0) {
        qWarning("voice port %s: %s", qUtf8Printable(port), std::strerror(errno));
        return false;
    }
    m_devices = openVoiceAudio();
    if (m_devices.source)
        m_devices.source->setHandler([this](const QByteArray &pcm) { sendMicrophone(pcm); });
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { readPort(); });
    m_writeNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, [this] { flushMicrophone(); });
    return true;
}

void CallAudio::stop()
{
    m_notifier.reset();
    m_writeNotifier.reset();
    m_devices = {};
    m_oddByte.clear();
    m_pending.clear();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_commandSent) {
        m_commandSent = false;
        if (!m_settings.stop.isEmpty())
            (void)_MEC_SendCardCommand(m_settings.stop.toLatin1().constData());  // the call
        // ended anyway; a card that ignores it stops sending with the call
    }
}

void CallAudio::readPort()
{
    char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length > 0) {
            m_played += static_cast<uint64_t>(length);
            if (m_devices.sink)
                m_devices.sink->play(QByteArray(buffer, static_cast<qsizetype>(length)));
            continue;
        }
        if (length < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // The card went away with its port: nothing more comes until the next call.
        m_notifier->setEnabled(false);
        m_writeNotifier->setEnabled(false);
        return;
    }
}

QByteArray CallAudio::scaled(const QByteArray &pcm, int position, bool muted)
{
    QByteArray out(pcm.size(), '\0');
    if (muted)
        return out;
    const double gain = kGains[static_cast<size_t>(std::clamp(position, 0, kMicrophoneLevels - 1))];
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2) {
        const auto sample = static_cast<int16_t>(static_cast<uint8_t>(pcm[i]) |
                                                 (static_cast<uint8_t>(pcm[i + 1]) << 8));
        const auto value = static_cast<int16_t>(
            std::clamp<long>(std::lround(sample * gain), INT16_MIN, INT16_MAX));
        out[i] = static_cast<char>(static_cast<uint16_t>(value) & 0xFF);
        out[i + 1] = static_cast<char>(static_cast<uint16_t>(value) >> 8);
    }
    return out;
}

void CallAudio::sendMicrophone(const QByteArray &pcm)
{
    if (m_fd < 0)
        return;
    QByteArray whole = m_oddByte + pcm;
    m_oddByte = whole.size() % 2 ? whole.right(1) : QByteArray();
    whole.chop(m_oddByte.size());
    m_pending += scaled(whole, m_level, m_muted);
    // A line that falls more than a second behind loses the oldest sound, as a telephone line
    // would, rather than making the far end hear the user ever later.
    // Whole samples only, so the line stays aligned on them.
    if (const qsizetype excess = m_pending.size() - kMaxPendingBytes; excess > 0)
        m_pending.remove(0, std::min(m_pending.size(), excess + excess % 2));
    flushMicrophone();
}

void CallAudio::flushMicrophone()
{
    while (!m_pending.isEmpty()) {
        const ssize_t written =
            ::write(m_fd, m_pending.constData(), static_cast<size_t>(m_pending.size()));
        if (written <= 0)
            break;
        m_sent += static_cast<uint64_t>(written);
        m_pending.remove(0, static_cast<qsizetype>(written));
    }
    // The rest goes as soon as the line takes it.
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void CallAudio::tellNoSound()
{
    char imei[MEC_IMEI_TEXT_SIZE] = {};
    QString card = _MEC_QueryImei(imei) == 0 ? QString::fromLatin1(imei).trimmed() : QString();
    if (card.isEmpty())
        card = QStringLiteral("unknown");
    if (m_settings.toldCards.contains(card))
        return;
    m_settings.toldCards << card;
    // Only the list of cards told changes; what the user set stays as the file has it.
    VoicePortSettings kept = VoicePortSettings::load(m_folder);
    kept.toldCards = m_settings.toldCards;
    if (!kept.save(m_folder))
        qWarning("voice port settings: cannot write %s", qUtf8Printable(m_folder));
    if (m_notice)
        m_notice(platform::GetLanguageString(text::kCallSoundStaysOnCard)
                     .replace(QStringLiteral("%s"),
                              QDir(m_folder).filePath(QString::fromLatin1(VoicePortSettings::kFileName))));
}

}  // namespace calls
