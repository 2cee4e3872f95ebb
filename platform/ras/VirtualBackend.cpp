#include "platform/ras/VirtualBackend.h"

#include "platform/ras/PppdBackend.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace ras {

namespace {

const char *const kDeviceName = "Virtual data card";

bool packetNumber(const std::string &number)
{
    if (number.empty() || number.size() > 40)
        return false;
    for (char c : number)
        if (!((c >= '0' && c <= '9') || c == '*' || c == '#'))
            return false;
    return true;
}

}  // namespace

VirtualBackend::VirtualBackend(std::string dataPort, QObject *parent)
    : RasApi(parent), m_dataPort(std::move(dataPort))
{
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(kAnswerTimeoutMs);
    connect(&m_answerTimer, &QTimer::timeout, this, [this] { end(kNoAnswer); });
    m_uploadTimer.setInterval(kUploadTickMs);
    connect(&m_uploadTimer, &QTimer::timeout, this, &VirtualBackend::upload);
}

VirtualBackend::~VirtualBackend() { closePort(); }

uint32_t VirtualBackend::enumDevices(std::vector<DialDevice> &devices)
{
    devices.clear();
    if (!m_dataPort.empty() && ::access(m_dataPort.c_str(), F_OK) == 0)
        devices.push_back({"modem", kDeviceName, m_dataPort});
    return kSuccess;
}

uint32_t VirtualBackend::validateEntryName(const std::string &name)
{
    if (name.empty() || name.size() > 256)
        return kInvalidName;
    return m_entries.count(name) ? kAlreadyExists : kSuccess;
}

uint32_t VirtualBackend::setEntryProperties(const PhonebookEntry &entry)
{
    if (validateEntryName(entry.name) == kInvalidName)
        return kInvalidName;
    m_entries[entry.name] = entry;
    return kSuccess;
}

uint32_t VirtualBackend::deleteEntry(const std::string &name)
{
    return m_entries.erase(name) ? kSuccess : kEntryNotFound;
}

uint32_t VirtualBackend::dial(const DialParams &params, ConnectionHandle &handle)
{
    handle = kNoConnection;
    auto found = m_entries.find(params.entryName);
    if (found == m_entries.end())
        return kEntryNotFound;
    const std::string number = params.number.empty() ? found->second.number : params.number;
    if (!packetNumber(number))
        return kInvalidParameter;
    if (m_fd >= 0)
        return kPortNotAvailable;
    m_fd = ::open(m_dataPort.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return errno == EACCES ? kAccessDenied : kDeviceNotFound;
    termios settings{};
    if (::tcgetattr(m_fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(m_fd, TCSANOW, &settings);
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &VirtualBackend::readPort);
    m_handle = handle = m_nextHandle++;
    m_entryName = params.entryName;
    m_connected = false;
    m_received.clear();
    m_sent = m_receivedBytes = m_sentBase = m_receivedBase = 0;
    const std::string command = "ATD" + number + "\r";
    if (::write(m_fd, command.data(), command.size()) != ssize_t(command.size())) {
        closePort();
        handle = kNoConnection;
        return kDeviceNotFound;
    }
    m_answerTimer.start();
    return kSuccess;
}

void VirtualBackend::readPort()
{
    char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length > 0) {
            if (m_connected) {
                m_receivedBytes += uint64_t(length);
                // The card ends the call with NO CARRIER; traffic never holds those letters.
                m_received.append(buffer, size_t(length));
                if (m_received.find("NO CARRIER") != std::string::npos)
                    return end(kPortDisconnected);
                if (m_received.size() > 32)
                    m_received.erase(0, m_received.size() - 32);
                continue;
            }
            m_received.append(buffer, size_t(length));
            if (m_received.find("CONNECT") != std::string::npos &&
                m_received.find('\n', m_received.find("CONNECT")) != std::string::npos) {
                m_answerTimer.stop();
                m_connected = true;
                m_received.clear();
                m_upTime.start();
                m_uploadTimer.start();
                emit dialEvent(m_handle, kConnected, kSuccess);
                continue;
            }
            if (m_received.find("NO CARRIER") != std::string::npos)
                return end(kNoCarrier);
            if (m_received.find("BUSY") != std::string::npos)
                return end(kLineBusy);
            if (m_received.find("ERROR") != std::string::npos)
                return end(kFromDevice);
            continue;
        }
        if (length == 0 || (errno != EAGAIN && errno != EINTR))
            return end(kPortDisconnected);  // the port hung up: the card is gone
        return;
    }
}

void VirtualBackend::upload()
{
    if (m_fd < 0 || !m_connected)
        return;
    const std::string traffic(kUploadBytes, '\x7e');
    const ssize_t written = ::write(m_fd, traffic.data(), traffic.size());
    if (written > 0)
        m_sent += uint64_t(written);
}

void VirtualBackend::closePort()
{
    m_answerTimer.stop();
    m_uploadTimer.stop();
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void VirtualBackend::end(uint32_t error)
{
    const ConnectionHandle handle = m_handle;
    const bool wasConnected = m_connected;
    closePort();
    m_connected = false;
    m_handle = kNoConnection;
    if (wasConnected)
        emit disconnected(handle);
    else
        emit dialEvent(handle, kDisconnected, error);
}

uint32_t VirtualBackend::getConnectStatus(ConnectionHandle handle, ConnectionStatus &status)
{
    if (handle == kNoConnection || handle != m_handle)
        return kInvalidHandle;
    status.state = m_connected ? kConnected : kConnecting;
    status.error = kSuccess;
    status.deviceName = kDeviceName;
    return kSuccess;
}

uint32_t VirtualBackend::getStatistics(ConnectionHandle handle, Statistics &statistics)
{
    if (handle == kNoConnection || handle != m_handle || !m_connected)
        return kInvalidHandle;
    // The RAS counters are 32 bits wide: the low bits since the last clear.
    statistics.bytesSent = m_sent - m_sentBase;
    statistics.bytesReceived = m_receivedBytes - m_receivedBase;
    statistics.connectDurationMs = static_cast<uint32_t>(m_upTime.elapsed());
    return kSuccess;
}

std::string VirtualBackend::connectionIdentity(ConnectionHandle handle) const
{
    if (handle == kNoConnection || handle != m_handle)
        return {};
    return "virtual-" + std::to_string(m_startedAt) + "-" + std::to_string(handle);
}

uint32_t VirtualBackend::clearStatistics(ConnectionHandle handle)
{
    if (handle == kNoConnection || handle != m_handle)
        return kInvalidHandle;
    m_sentBase = m_sent;
    m_receivedBase = m_receivedBytes;
    return kSuccess;
}

uint32_t VirtualBackend::hangUp(ConnectionHandle handle)
{
    uint32_t result = kInvalidHandle;
    if (handle != kNoConnection && handle == m_handle) {
        // Closing the port drops DTR: the card ends the call.
        closePort();
        m_connected = false;
        m_handle = kNoConnection;
        result = kSuccess;
    }
    QTimer::singleShot(0, this, [this, handle, result] { emit hangUpFinished(handle, result); });
    return kSuccess;
}

uint32_t VirtualBackend::enumConnections(std::vector<ActiveConnection> &connections)
{
    connections.clear();
    if (m_connected)
        connections.push_back({m_handle, m_entryName, kDeviceName});
    return kSuccess;
}

std::unique_ptr<RasApi> CreateRasBackend(std::function<std::string()> engineDataPort,
                                         QObject *parent)
{
    PppdBackend::Settings settings = PppdBackend::settingsFromEnvironment();
    settings.engineDataPort = std::move(engineDataPort);
    std::string virtualDataPort;
    if (settings.controlPort == "virtual") {
        // The engine's built-in card links its ports in the runtime folder, named after us.
        const char *runtime = std::getenv("XDG_RUNTIME_DIR");
        virtualDataPort = std::string(runtime && *runtime ? runtime : "/tmp") +
                          "/lumacore-virtual-card-" + std::to_string(::getpid()) + "-data";
    } else if (!settings.controlPort.empty() &&
               ::access((settings.controlPort + "-data").c_str(), F_OK) == 0) {
        virtualDataPort = settings.controlPort + "-data";  // a virtual-modem of its own
    }
    if (!virtualDataPort.empty()) {
        if (!settings.dataPort.empty())
            virtualDataPort = settings.dataPort;
        return std::make_unique<VirtualBackend>(virtualDataPort, parent);
    }
    return std::make_unique<PppdBackend>(settings, parent);
}

}  // namespace ras
