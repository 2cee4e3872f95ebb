#include "PowerEvents.h"

#ifdef LUMADIAL_HAVE_QT_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#endif

#include <optional>

namespace {

#ifdef LUMADIAL_HAVE_QT_DBUS
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
#endif

}  // namespace

// The file descriptors logind hands out: the lock holds while the descriptor is open.
struct PowerEvents::Inhibitors {
#ifdef LUMADIAL_HAVE_QT_DBUS
    std::optional<QDBusUnixFileDescriptor> delay;
    std::optional<QDBusUnixFileDescriptor> block;
#endif
    bool blockPending = false;
};

PowerEvents::PowerEvents(std::function<void(uint32_t)> handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler)), m_inhibitors(std::make_unique<Inhibitors>())
{
}

PowerEvents::~PowerEvents() = default;

bool PowerEvents::start()
{
#ifdef LUMADIAL_HAVE_QT_DBUS
    if (m_connected)
        return true;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    m_connected = bus.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
                              SLOT(PrepareForSleep(bool)));
    if (!m_connected)
        return false;
    takeDelayInhibitor();
    if (m_denied)
        requestInhibitor(true);
    return true;
#else
    return false;
#endif
}

void PowerEvents::setSuspendDenied(bool denied)
{
    if (denied == m_denied)
        return;
    m_denied = denied;
#ifdef LUMADIAL_HAVE_QT_DBUS
    if (!m_connected)
        return;
    if (denied) {
        if (!m_inhibitors->block && !m_inhibitors->blockPending)
            requestInhibitor(true);
    } else {
        m_inhibitors->block.reset();  // closing the descriptor lets the system sleep again
    }
#endif
}

void PowerEvents::takeDelayInhibitor()
{
#ifdef LUMADIAL_HAVE_QT_DBUS
    if (!m_inhibitors->delay)
        requestInhibitor(false);
#endif
}

void PowerEvents::requestInhibitor(bool block)
{
#ifdef LUMADIAL_HAVE_QT_DBUS
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Lumadial")
         << (block ? QStringLiteral("A call, a data connection or a card operation is in progress")
                   : QStringLiteral("Taking the data card off line"))
         << (block ? QStringLiteral("block") : QStringLiteral("delay"));
    if (block)
        m_inhibitors->blockPending = true;
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, block](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
                if (block)
                    m_inhibitors->blockPending = false;
                if (reply.isError() || !reply.value().isValid())
                    return;  // logind refused or is not there: we simply get no say
                if (!block)
                    m_inhibitors->delay = reply.value();
                else if (m_denied)
                    m_inhibitors->block = reply.value();
            });
#else
    (void)block;
#endif
}

void PowerEvents::PrepareForSleep(bool sleeping)
{
    if (sleeping) {
        if (m_handler)
            m_handler(kSuspend);
#ifdef LUMADIAL_HAVE_QT_DBUS
        m_inhibitors->delay.reset();  // done: the system may sleep now
#endif
    } else {
        if (m_handler)
            m_handler(kResumeSuspend);
        takeDelayInhibitor();
    }
}
