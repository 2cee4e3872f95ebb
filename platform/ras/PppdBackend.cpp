#include "platform/ras/PppdBackend.h"

#include "platform/ras/PppdFiles.h"

#include <QProcess>
#include <QTimer>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace ras {

namespace {

const std::string kFilePrefix = "lumadial-ppp-";

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

// Creates the file for the owner only (it may hold a password) and writes it whole; an old file
// of the same name is replaced, never written through (a link planted there is not followed).
bool writePrivateFile(const std::string &path, const std::string &content)
{
    ::unlink(path.c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool written = ::fchmod(fd, 0600) == 0;
    size_t done = 0;
    while (written && done < content.size()) {
        const ssize_t count = ::write(fd, content.data() + done, content.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        written = count > 0;
        if (written)
            done += static_cast<size_t>(count);
    }
    written = ::close(fd) == 0 && written;
    if (!written)
        ::unlink(path.c_str());
    return written;
}

// A folder only its owner (us) may write into, so nobody can swap our files.
bool privateFolder(const std::string &folder)
{
    struct stat info {};
    return !folder.empty() && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Runs in the child between fork and exec of pppd, so only async-signal-safe calls. Forks the
// watcher: it dies with pppd (the parent-death signal, which the setuid pppd itself would lose
// at exec), and when the program's end of the pipe closes first, it ends pppd as a hang-up
// would: SIGTERM, then SIGKILL after a grace period.
void watchProgram(int reading)
{
    const pid_t pppd = ::getpid();
    if (::fork() != 0)
        return;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != pppd)
        ::_exit(0);
    // Nothing of pppd's stays open here: its output must end when pppd ends.
    if (::dup2(reading, 0) < 0)
        ::_exit(0);
    if (::syscall(SYS_close_range, 1u, ~0u, 0u) != 0)
        for (int fd = 1; fd < 4096; ++fd)
            ::close(fd);
    char word = 0;
    ssize_t got;
    do
        got = ::read(0, &word, 1);
    while (got < 0 && errno == EINTR);
    if (got == 0) {
        ::kill(pppd, SIGTERM);
        timespec grace{3, 0};
        while (::nanosleep(&grace, &grace) != 0 && errno == EINTR) {
        }
        ::kill(pppd, SIGKILL);
    }
    ::_exit(0);
}

bool readCounter(const fs::path &file, uint64_t &value)
{
    std::ifstream in(file);
    return static_cast<bool>(in >> value);
}

}  // namespace

std::string findProgram(const std::string &name)
{
    std::string path = environment("PATH");
    path += ":/usr/sbin:/sbin";
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(':', start), path.size());
        const std::string folder = path.substr(start, end - start);
        if (!folder.empty()) {
            const std::string candidate = folder + "/" + name;
            if (::access(candidate.c_str(), F_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

PppdBackend::Settings PppdBackend::settingsFromEnvironment()
{
    Settings settings;
    settings.controlPort = environment("LUMACORE_PORT");
    settings.dataPort = environment("LUMACORE_DATA_PORT");
    return settings;
}

PppdBackend::PppdBackend(Settings settings, QObject *parent)
    : RasApi(parent), m_settings(std::move(settings))
{
    // One program runs per user: files of another process are left from a run that ended
    // without cleaning up.
    const std::string ours = kFilePrefix + std::to_string(::getpid()) + "-";
    std::error_code error;
    for (const auto &item : fs::directory_iterator(runtimeFolder(), error)) {
        const std::string name = item.path().filename().string();
        if (name.rfind(kFilePrefix, 0) == 0 && name.rfind(ours, 0) != 0)
            fs::remove(item.path(), error);
    }
}

PppdBackend::~PppdBackend()
{
    // pppd is given the time to end the link properly, as at a hang-up.
    for (auto &[handle, connection] : m_connections) {
        if (connection->process && !connection->ended) {
            connection->process->disconnect(this);
            connection->process->terminate();
            if (!connection->process->waitForFinished(m_settings.hangUpGraceMs)) {
                connection->process->kill();
                connection->process->waitForFinished(1000);
            }
        }
    }
    for (auto &[name, entry] : m_entries)
        removeFiles(entry);
}

std::string PppdBackend::dataPort() const
{
    if (!m_settings.dataPort.empty())
        return m_settings.dataPort;
    return m_settings.engineDataPort ? m_settings.engineDataPort() : std::string();
}

std::string PppdBackend::runtimeFolder() const
{
    return m_settings.runtimeFolder.empty() ? environment("XDG_RUNTIME_DIR")
                                            : m_settings.runtimeFolder;
}

uint32_t PppdBackend::enumDevices(std::vector<DialDevice> &devices)
{
    devices.clear();
    const std::string port = dataPort();
    if (port.empty() || ::access(port.c_str(), F_OK) != 0)
        return kSuccess;
    std::string name = cardProductName(port, m_settings.lookup);
    if (name.empty())
        name = "Data card";
    devices.push_back({"modem", name + " (" + fs::path(port).filename().string() + ")", port});
    return kSuccess;
}

uint32_t PppdBackend::validateEntryName(const std::string &name)
{
    if (name.empty() || name.size() > 256)
        return kInvalidName;
    return m_entries.count(name) ? kAlreadyExists : kSuccess;
}

uint32_t PppdBackend::setEntryProperties(const PhonebookEntry &entry)
{
    if (validateEntryName(entry.name) == kInvalidName)
        return kInvalidName;
    Entry &stored = m_entries[entry.name];
    stored.properties = entry;
    return kSuccess;
}

uint32_t PppdBackend::deleteEntry(const std::string &name)
{
    auto found = m_entries.find(name);
    if (found == m_entries.end())
        return kEntryNotFound;
    removeFiles(found->second);
    m_entries.erase(found);
    return kSuccess;
}

void PppdBackend::removeFiles(Entry &entry)
{
    for (std::string *path : {&entry.optionsPath, &entry.chatPath}) {
        if (!path->empty())
            ::unlink(path->c_str());
        path->clear();
    }
}

std::string PppdBackend::optionsFile(const std::string &entryName) const
{
    auto found = m_entries.find(entryName);
    return found == m_entries.end() ? std::string() : found->second.optionsPath;
}

std::string PppdBackend::chatFile(const std::string &entryName) const
{
    auto found = m_entries.find(entryName);
    return found == m_entries.end() ? std::string() : found->second.chatPath;
}

uint32_t PppdBackend::dial(const DialParams &params, ConnectionHandle &handle)
{
    handle = kNoConnection;
    auto found = m_entries.find(params.entryName);
    if (found == m_entries.end())
        return kEntryNotFound;
    Entry &entry = found->second;
    const std::string pppd = findProgram("pppd");
    const std::string chat = findProgram("chat");
    if (pppd.empty() || chat.empty())
        return kDialerMissing;
    const std::string port = dataPort();
    if (port.empty())
        return kDeviceNotFound;
    const std::string folder = runtimeFolder();
    if (!privateFolder(folder))
        return kNoRuntimeFolder;

    removeFiles(entry);
    const std::string stem = folder + "/" + kFilePrefix + std::to_string(::getpid()) + "-" +
                             std::to_string(++m_fileCounter);
    PppdFiles files;
    std::string problem;
    if (uint32_t error =
            buildPppdFiles(entry.properties, params,
                           {port, chat, stem + ".chat", stem + ".options"}, files, problem);
        error != kSuccess)
        return error;
    entry.optionsPath = stem + ".options";
    entry.chatPath = stem + ".chat";
    if (!writePrivateFile(entry.chatPath, files.chat) ||
        !writePrivateFile(entry.optionsPath, files.options)) {
        removeFiles(entry);
        return kAccessDenied;
    }

    // Ended connections are forgotten when the next one starts.
    std::erase_if(m_connections, [](const auto &item) { return item.second->ended; });
    handle = m_nextHandle++;
    auto connection = std::make_unique<Connection>();
    connection->entryName = params.entryName;
    connection->deviceName = entry.properties.deviceName;
    auto *process = new QProcess(this);  // owned by the backend; freed after it ended
    connection->process = process;
    process->setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments;
    // A peers file, installed once by the administrator, may lift /etc/ppp/options' "auth".
    if (!m_settings.peersFile.empty() && ::access(m_settings.peersFile.c_str(), R_OK) == 0)
        arguments << "call" << QString::fromStdString(fs::path(m_settings.peersFile).filename());
    arguments << "file" << QString::fromStdString(entry.optionsPath);
    const ConnectionHandle id = handle;
    connect(process, &QProcess::readyRead, this, [this, id] { readOutput(id); });
    connect(process, &QProcess::finished, this,
            [this, id](int exitCode, QProcess::ExitStatus status) {
                processEnded(id, exitCode, status == QProcess::CrashExit);
            });
    connect(
        process, &QProcess::errorOccurred, this, [this, id, pppd](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                startFailed(id, ::access(pppd.c_str(), X_OK) == 0 ? kDialerMissing : kAccessDenied);
        });
    // The watcher's pipe: the program holds the writing end until pppd has ended; the
    // watcher, forked beside pppd, reads end of file only when the program is gone.
    int guard[2] = {-1, -1};
    if (::pipe2(guard, O_CLOEXEC) == 0) {
        connection->guard = guard[1];
        process->setChildProcessModifier([reading = guard[0]] { watchProgram(reading); });
    }
    m_connections[handle] = std::move(connection);
    // An argument list and no shell: nothing in the profile reaches a command line.
    process->start(QString::fromStdString(pppd), arguments);
    if (guard[0] >= 0)
        ::close(guard[0]);
    return kSuccess;
}

void PppdBackend::readOutput(ConnectionHandle handle)
{
    auto found = m_connections.find(handle);
    if (found == m_connections.end())
        return;
    Connection &connection = *found->second;
    connection.pending += connection.process->readAll().toStdString();
    size_t end;
    while ((end = connection.pending.find('\n')) != std::string::npos) {
        const std::string line = connection.pending.substr(0, end);
        connection.pending.erase(0, end + 1);
        const bool wasConnected = connection.progress.connected();
        connection.progress.readLine(line);
        if (!wasConnected && connection.progress.connected() && !connection.hangingUp) {
            connection.connected = true;
            connection.upTime.start();
            emit dialEvent(handle, kConnected, kSuccess);
        }
    }
}

void PppdBackend::startFailed(ConnectionHandle handle, uint32_t error)
{
    auto found = m_connections.find(handle);
    if (found == m_connections.end() || found->second->ended)
        return;
    Connection &connection = *found->second;
    connection.ended = true;
    connection.closeGuard();
    connection.process->deleteLater();
    connection.process = nullptr;
    if (connection.hangingUp)
        emit hangUpFinished(handle, kSuccess);
    else
        emit dialEvent(handle, kDisconnected, error);
}

void PppdBackend::processEnded(ConnectionHandle handle, int exitStatus, bool crashed)
{
    auto found = m_connections.find(handle);
    if (found == m_connections.end() || found->second->ended)
        return;
    readOutput(handle);
    Connection &connection = *found->second;
    connection.ended = true;
    connection.closeGuard();
    connection.process->deleteLater();
    connection.process = nullptr;
    if (connection.hangingUp) {
        emit hangUpFinished(handle, kSuccess);
        return;
    }
    if (connection.connected) {
        emit disconnected(handle);
        return;
    }
    uint32_t error = crashed ? kDialerFailed : connection.progress.errorForExit(exitStatus, false);
    emit dialEvent(handle, kDisconnected, error == kSuccess ? kPortDisconnected : error);
}

uint32_t PppdBackend::getConnectStatus(ConnectionHandle handle, ConnectionStatus &status)
{
    auto found = m_connections.find(handle);
    if (found == m_connections.end() || found->second->ended)
        return kInvalidHandle;
    status.state = found->second->connected ? kConnected : kConnecting;
    status.error = kSuccess;
    status.deviceName = found->second->deviceName;
    return kSuccess;
}

bool PppdBackend::readCounters(const Connection &connection, uint64_t &sent,
                               uint64_t &received) const
{
    const std::string &name = connection.progress.interfaceName();
    if (name.empty() || name.find('/') != std::string::npos)
        return false;
    const fs::path folder =
        fs::path(m_settings.lookup.sysfsRoot) / "class" / "net" / name / "statistics";
    return readCounter(folder / "tx_bytes", sent) && readCounter(folder / "rx_bytes", received);
}

uint32_t PppdBackend::getStatistics(ConnectionHandle handle, Statistics &statistics)
{
    auto found = m_connections.find(handle);
    if (found == m_connections.end() || found->second->ended)
        return kInvalidHandle;
    const Connection &connection = *found->second;
    uint64_t sent = 0, received = 0;
    if (!connection.connected || !readCounters(connection, sent, received))
        return kDeviceNotFound;
    statistics.bytesSent = sent - std::min(sent, connection.sentBase);
    statistics.bytesReceived = received - std::min(received, connection.receivedBase);
    statistics.connectDurationMs = static_cast<uint32_t>(connection.upTime.elapsed());
    return kSuccess;
}

std::string PppdBackend::connectionIdentity(ConnectionHandle handle) const
{
    auto found = m_connections.find(handle);
    if (found == m_connections.end() || !found->second->process)
        return {};
    const Connection &connection = *found->second;
    return "pppd-" + std::to_string(connection.process->processId()) + "-" +
           connection.progress.interfaceName();
}

uint32_t PppdBackend::clearStatistics(ConnectionHandle handle)
{
    auto found = m_connections.find(handle);
    if (found == m_connections.end() || found->second->ended)
        return kInvalidHandle;
    Connection &connection = *found->second;
    uint64_t sent = 0, received = 0;
    if (readCounters(connection, sent, received)) {
        connection.sentBase = sent;
        connection.receivedBase = received;
    }
    return kSuccess;
}

uint32_t PppdBackend::hangUp(ConnectionHandle handle)
{
    auto found = m_connections.find(handle);
    if (found == m_connections.end() || found->second->ended) {
        QTimer::singleShot(0, this,
                           [this, handle] { emit hangUpFinished(handle, kInvalidHandle); });
        return kSuccess;
    }
    Connection &connection = *found->second;
    if (connection.hangingUp)
        return kSuccess;
    connection.hangingUp = true;
    connection.process->terminate();
    QTimer::singleShot(m_settings.hangUpGraceMs, this, [this, handle] {
        auto still = m_connections.find(handle);
        if (still != m_connections.end() && !still->second->ended && still->second->process)
            still->second->process->kill();
    });
    return kSuccess;
}

uint32_t PppdBackend::enumConnections(std::vector<ActiveConnection> &connections)
{
    connections.clear();
    for (const auto &[handle, connection] : m_connections)
        if (connection->connected && !connection->ended)
            connections.push_back({handle, connection->entryName, connection->deviceName});
    return kSuccess;
}

}  // namespace ras
