#include "virtualmodem/DataPort.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace virtualmodem {

namespace {

constexpr int kIdleCheckMilliseconds = 20;
constexpr size_t kMaxUnsentBytes = 64 * 1024;
const std::string kConnect = "\r\nCONNECT 7200000\r\n";
const std::string kNoCarrier = "\r\nNO CARRIER\r\n";
const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The dial strings of a packet data call (27.007 "request packet domain service").
bool packetDialString(const std::string &number)
{
    return number == "*99#" || number.rfind("*99*", 0) == 0 || number.rfind("*98", 0) == 0;
}

// Throws away what waits on a non-blocking descriptor.
void drain(int fd)
{
    char buffer[4096];
    while (fd >= 0 && ::read(fd, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace

DataPort::DataPort(PacketService packetService)
    : m_packetService(std::move(packetService)), m_wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

DataPort::~DataPort()
{
    close();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool DataPort::open(const std::string &linkPath, std::string &error)
{
    close();
    {
        std::lock_guard lock(m_mutex);
        if (m_wakeFd < 0) {
            error = "cannot create the data port's wake-up event";
            return false;
        }
        if (!m_device.open(linkPath, error))
            return false;
        m_openWatch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_openWatch >= 0 &&
            ::inotify_add_watch(m_openWatch, m_device.terminalPath().c_str(), IN_OPEN) < 0) {
            ::close(m_openWatch);
            m_openWatch = -1;
        }
        m_online = false;
        m_connectAt.reset();
        m_line.clear();
        m_unsent.clear();
    }
    m_stopping = false;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void DataPort::close()
{
    if (!m_thread.joinable())
        return;
    m_stopping = true;
    wake();
    m_thread.join();
    std::lock_guard lock(m_mutex);
    m_device.close();
    m_online = false;
    if (m_openWatch >= 0)
        ::close(m_openWatch);
    m_openWatch = -1;
}

std::string DataPort::path() const
{
    std::lock_guard lock(m_mutex);
    if (!m_device.isOpen())
        return {};
    return m_device.linkPath().empty() ? m_device.terminalPath() : m_device.linkPath();
}

void DataPort::dropCall()
{
    {
        std::lock_guard lock(m_mutex);
        m_dropRequested = true;
    }
    wake();
}

void DataPort::setRefused(bool refused)
{
    std::lock_guard lock(m_mutex);
    m_refused = refused;
}

void DataPort::setStreamBytesPerTick(size_t bytes)
{
    m_bytesPerTick = std::clamp<size_t>(bytes, 1, kMaxBytesPerTick);
}

void DataPort::setAnswerDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(m_mutex);
    m_answerDelay = delay;
}

bool DataPort::online() const
{
    std::lock_guard lock(m_mutex);
    return m_online;
}

void DataPort::wake() const
{
    const uint64_t one = 1;
    if (m_wakeFd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    }
}

std::string DataPort::command(const std::string &line)
{
    const std::string text = upper(line);
    if (text.empty())
        return {};
    if (text.rfind("AT", 0) != 0)
        return kError;
    if (text.rfind("ATD", 0) == 0) {
        const std::string number = text.substr(3);
        bool refused;
        std::chrono::milliseconds delay;
        {
            std::lock_guard lock(m_mutex);
            refused = m_refused;
            delay = m_answerDelay;
        }
        // Asked without our lock: the card's state has a lock of its own.
        if (refused || !packetDialString(number) || !m_packetService())
            return kNoCarrier;
        std::lock_guard lock(m_mutex);
        if (delay.count() > 0) {
            m_connectAt = std::chrono::steady_clock::now() + delay;
            return {};
        }
        m_online = true;
        return kConnect;
    }
    if (text == "ATH" || text == "ATH0") {
        std::lock_guard lock(m_mutex);
        m_online = false;
        m_connectAt.reset();
    }
    return kOk;
}

void DataPort::serve()
{
    const int fd = m_device.fd();
    auto nextTick = std::chrono::steady_clock::now();
    while (!m_stopping) {
        if (!m_device.terminalOpen()) {
            // Nobody holds the port: a call in progress ends, as when DTR drops.
            {
                std::lock_guard lock(m_mutex);
                m_online = false;
                m_connectAt.reset();
                m_dropRequested = false;
                m_line.clear();
                m_unsent.clear();
            }
            // The next opener wakes us (inotify); a system without it is looked at now and then.
            drain(m_openWatch);
            if (m_device.terminalOpen())
                continue;
            ++m_idleWaits;
            pollfd waits[2] = {{m_wakeFd, POLLIN, 0}, {m_openWatch, POLLIN, 0}};
            const bool watched = m_openWatch >= 0;
            if (::poll(waits, watched ? 2 : 1, watched ? -1 : kIdleCheckMilliseconds) == 0)
                ++m_emptyWakeups;
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
            continue;
        }
        // On line the traffic ticks; a delayed answer waits for its moment; else only input or a
        // wake-up (a dropped call, the end) has anything to do.
        int timeout = -1;
        {
            std::lock_guard lock(m_mutex);
            if (m_online)
                timeout = static_cast<int>(kTick.count());
            else if (m_connectAt)
                timeout = static_cast<int>(
                    std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(
                                               *m_connectAt - std::chrono::steady_clock::now())
                                               .count()));
        }
        pollfd entries[2] = {{fd, static_cast<short>(POLLIN | (m_unsent.empty() ? 0 : POLLOUT)), 0},
                             {m_wakeFd, POLLIN, 0}};
        if (::poll(entries, 2, timeout) < 0 && errno != EINTR)
            break;
        if (entries[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
        }
        std::string received;
        if (entries[0].revents & POLLIN) {
            char buffer[4096];
            const ssize_t length = ::read(fd, buffer, sizeof buffer);
            if (length > 0)
                received.assign(buffer, static_cast<size_t>(length));
        }
        std::string reply;
        {
            std::unique_lock lock(m_mutex);
            const auto now = std::chrono::steady_clock::now();
            if (m_connectAt && now >= *m_connectAt) {
                m_connectAt.reset();
                m_online = true;
                reply += kConnect;
                nextTick = now;
            }
            if (m_dropRequested) {
                m_dropRequested = false;
                if (m_online || m_connectAt) {
                    m_online = false;
                    m_connectAt.reset();
                    reply += kNoCarrier;
                }
            }
            if (m_online) {
                // What the program sends on line is its traffic: taken, not interpreted.
                if (now >= nextTick) {
                    reply += std::string(m_bytesPerTick.load(), '\x7e');
                    nextTick = now + kTick;
                }
            } else {
                for (char c : received) {
                    if (c == '\r' || c == '\n') {
                        std::string line = m_line;
                        m_line.clear();
                        lock.unlock();
                        reply += command(line);
                        lock.lock();
                    } else if (m_line.size() < 512) {
                        m_line += c;
                    }
                }
            }
            m_unsent += reply;
        }
        m_device.sendQueued(m_unsent, kMaxUnsentBytes);
    }
}

}  // namespace virtualmodem
