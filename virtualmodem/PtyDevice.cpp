#include "virtualmodem/PtyDevice.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

namespace virtualmodem {

namespace {

std::string systemError(const std::string &what) { return what + ": " + std::strerror(errno); }

// Where the link points, or empty when path is no link.
std::string linkTarget(const std::string &path)
{
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    if (length < 0)
        return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

PtyDevice::~PtyDevice() { close(); }

bool PtyDevice::open(const std::string &linkPath, std::string &error)
{
    close();
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = systemError("cannot open a pseudo-terminal");
        return false;
    }
    char name[128];
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0) {
        error = systemError("cannot unlock the pseudo-terminal");
        ::close(fd);
        return false;
    }
    // Raw mode on the terminal side, so the line discipline neither echoes nor translates: the
    // card does its own echo, as a real one does.
    termios settings{};
    if (::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B115200);
        ::cfsetospeed(&settings, B115200);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
    // Opening and closing the terminal once makes the controlling side report a hang-up until a
    // program opens it, so the card can tell whether anyone listens.
    const int terminal = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal >= 0)
        ::close(terminal);

    if (!linkPath.empty()) {
        struct stat info {};
        if (::lstat(linkPath.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
            error = linkPath + " exists and is not a symbolic link; not replacing it";
            ::close(fd);
            return false;
        }
        // A new link under a temporary name, then renamed over the old one: whoever opens the
        // path sees either the old terminal or the new one, never nothing.
        const std::string temporary = linkPath + ".new." + std::to_string(::getpid());
        ::unlink(temporary.c_str());
        if (::symlink(name, temporary.c_str()) != 0) {
            error = systemError("cannot create the link " + linkPath);
            ::close(fd);
            return false;
        }
        if (::rename(temporary.c_str(), linkPath.c_str()) != 0) {
            error = systemError("cannot create the link " + linkPath);
            ::unlink(temporary.c_str());
            ::close(fd);
            return false;
        }
    }
    m_fd = fd;
    m_terminalPath = name;
    m_linkPath = linkPath;
    return true;
}

void PtyDevice::close()
{
    if (m_fd < 0)
        return;
    if (!m_linkPath.empty() && linkTarget(m_linkPath) == m_terminalPath)
        ::unlink(m_linkPath.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_terminalPath.clear();
    m_linkPath.clear();
}

bool PtyDevice::terminalOpen() const
{
    if (m_fd < 0)
        return false;
    pollfd entry{m_fd, 0, 0};
    if (::poll(&entry, 1, 0) < 0)
        return false;
    return (entry.revents & POLLHUP) == 0;
}

void PtyDevice::flush() const
{
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIOFLUSH);
}

void PtyDevice::sendQueued(std::string &unsent, size_t limit) const
{
    if (unsent.size() > limit)
        unsent.erase(0, unsent.size() - limit);
    while (m_fd >= 0 && !unsent.empty()) {
        const ssize_t written = ::write(m_fd, unsent.data(), unsent.size());
        if (written <= 0)
            break;
        unsent.erase(0, static_cast<size_t>(written));
    }
}

}  // namespace virtualmodem
