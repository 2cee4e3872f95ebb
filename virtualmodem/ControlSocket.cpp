#include "virtualmodem/ControlSocket.h"

#include "virtualmodem/VirtualModem.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <map>
#include <vector>

namespace virtualmodem {

namespace {

// A client that sends this much without a line end is cut off.
constexpr size_t kMaxLineLength = 4096;

bool fillAddress(const std::string &path, sockaddr_un &address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Whether a server answers at path.
bool someoneListens(const sockaddr_un &address)
{
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    const bool answered =
        ::connect(probe, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(probe);
    return answered;
}

void sendAll(int fd, const std::string &text)
{
    size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t written = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (written <= 0) {
            if (written < 0 && errno == EINTR)
                continue;
            return;
        }
        sent += static_cast<size_t>(written);
    }
}

}  // namespace

ControlSocket::ControlSocket(VirtualModem &card) : m_card(card) {}

ControlSocket::~ControlSocket() { stop(); }

bool ControlSocket::start(const std::string &path, std::string &error)
{
    stop();
    sockaddr_un address{};
    if (!fillAddress(path, address)) {
        error = "control socket path too long: " + path;
        return false;
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            error = path + " exists and is not a socket; not replacing it";
            return false;
        }
        if (someoneListens(address)) {
            error = "another program already listens at " + path;
            return false;
        }
        ::unlink(path.c_str());
    }
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_listenFd < 0 || m_wakeFd < 0 ||
        ::bind(m_listenFd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 8) != 0) {
        error = "cannot listen at " + path + ": " + std::strerror(errno);
        if (m_listenFd >= 0)
            ::close(m_listenFd);
        if (m_wakeFd >= 0)
            ::close(m_wakeFd);
        m_listenFd = m_wakeFd = -1;
        return false;
    }
    m_path = path;
    m_stopping = false;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void ControlSocket::stop()
{
    if (m_listenFd < 0)
        return;
    m_stopping = true;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    if (m_thread.joinable())
        m_thread.join();
    ::close(m_listenFd);
    ::close(m_wakeFd);
    m_listenFd = m_wakeFd = -1;
    ::unlink(m_path.c_str());
    m_path.clear();
}

void ControlSocket::serve()
{
    std::map<int, std::string> clients;  // descriptor -> unfinished line
    while (!m_stopping) {
        std::vector<pollfd> entries{{m_wakeFd, POLLIN, 0}, {m_listenFd, POLLIN, 0}};
        for (const auto &[fd, pending] : clients)
            entries.push_back({fd, POLLIN, 0});
        if (::poll(entries.data(), entries.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (entries[1].revents & POLLIN) {
            const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0)
                clients[client];
        }
        for (size_t i = 2; i < entries.size(); ++i) {
            if (entries[i].revents == 0)
                continue;
            const int fd = entries[i].fd;
            char buffer[1024];
            const ssize_t length = ::recv(fd, buffer, sizeof buffer, 0);
            if (length <= 0) {
                ::close(fd);
                clients.erase(fd);
                continue;
            }
            std::string &pending = clients[fd];
            pending.append(buffer, static_cast<size_t>(length));
            for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (line.find_first_not_of(" \t") == std::string::npos)
                    continue;
                sendAll(fd, m_card.control(line) + "\n");
            }
            if (pending.size() > kMaxLineLength) {
                sendAll(fd, "ERROR line too long\n");
                ::close(fd);
                clients.erase(fd);
            }
        }
    }
    for (const auto &[fd, pending] : clients)
        ::close(fd);
}

}  // namespace virtualmodem
