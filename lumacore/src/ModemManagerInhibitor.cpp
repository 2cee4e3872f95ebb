#include "ModemManagerInhibitor.h"

#ifdef LUMACORE_HAVE_QTDBUS

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QMap>
#include <QString>
#include <QVariantMap>

#include <atomic>

using InterfaceProperties = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, InterfaceProperties>;
Q_DECLARE_METATYPE(InterfaceProperties)
Q_DECLARE_METATYPE(ManagedObjects)

namespace lumacore {

namespace {

constexpr const char *kService = "org.freedesktop.ModemManager1";
constexpr const char *kPath = "/org/freedesktop/ModemManager1";
constexpr int kCallTimeoutMs = 5000;

std::string baseName(const std::string &path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The port names of a modem's "Ports" property, a(su).
QStringList portNames(const QVariant &ports)
{
    QStringList names;
    if (!ports.canConvert<QDBusArgument>())
        return names;
    const QDBusArgument argument = ports.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        QString name;
        uint type = 0;
        argument.beginStructure();
        argument >> name >> type;
        argument.endStructure();
        names << name;
    }
    argument.endArray();
    return names;
}

}  // namespace

struct ModemManagerInhibitor::Connection {
    QString name;
    QDBusConnection bus;
    explicit Connection(const QString &connectionName)
        : name(connectionName),
          bus(QDBusConnection::connectToBus(QDBusConnection::SystemBus, connectionName))
    {
    }
    ~Connection() { QDBusConnection::disconnectFromBus(name); }
};

ModemManagerInhibitor::ModemManagerInhibitor() = default;

ModemManagerInhibitor::~ModemManagerInhibitor() { release(); }

bool ModemManagerInhibitor::inhibitModemOf(const std::string &portPath)
{
    m_message.clear();
    if (!m_connection) {
        static std::atomic<int> counter{0};
        m_connection =
            std::make_unique<Connection>(QStringLiteral("lumacore-modemmanager-%1").arg(counter++));
    }
    QDBusConnection &bus = m_connection->bus;
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(QString::fromLatin1(kService)).value())
        return false;

    qDBusRegisterMetaType<InterfaceProperties>();
    qDBusRegisterMetaType<ManagedObjects>();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), QString::fromLatin1(kPath),
        QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects"));
    QDBusReply<ManagedObjects> objects = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (!objects.isValid())
        return false;

    const QString port = QString::fromStdString(baseName(portPath));
    for (const auto &interfaces : objects.value()) {
        auto modem = interfaces.find(QStringLiteral("org.freedesktop.ModemManager1.Modem"));
        if (modem == interfaces.end())
            continue;
        if (!portNames(modem->value(QStringLiteral("Ports"))).contains(port))
            continue;
        QString device = modem->value(QStringLiteral("Device")).toString();
        if (device.isEmpty())
            return false;
        QDBusMessage inhibit = QDBusMessage::createMethodCall(
            QString::fromLatin1(kService), QString::fromLatin1(kPath),
            QString::fromLatin1(kService), QStringLiteral("InhibitDevice"));
        inhibit << device << true;
        QDBusMessage reply = bus.call(inhibit, QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            m_message = "ModemManager keeps the card: " + reply.errorMessage().toStdString();
            return false;
        }
        m_inhibitedDevice = device.toStdString();
        return true;
    }
    return false;
}

void ModemManagerInhibitor::release()
{
    if (m_connection && !m_inhibitedDevice.empty() && m_connection->bus.isConnected()) {
        QDBusMessage inhibit = QDBusMessage::createMethodCall(
            QString::fromLatin1(kService), QString::fromLatin1(kPath),
            QString::fromLatin1(kService), QStringLiteral("InhibitDevice"));
        inhibit << QString::fromStdString(m_inhibitedDevice) << false;
        m_connection->bus.call(inhibit, QDBus::Block, kCallTimeoutMs);
    }
    m_inhibitedDevice.clear();
    m_connection.reset();
}

}  // namespace lumacore

#else  // no Qt D-Bus: nothing to ask

namespace lumacore {

struct ModemManagerInhibitor::Connection {};
ModemManagerInhibitor::ModemManagerInhibitor() = default;
ModemManagerInhibitor::~ModemManagerInhibitor() = default;
bool ModemManagerInhibitor::inhibitModemOf(const std::string &) { return false; }
void ModemManagerInhibitor::release() {}

}  // namespace lumacore

#endif
