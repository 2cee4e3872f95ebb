#include "SerialPort.h"

#include "AtLine.h"
#include "Status.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace lumacore {

UniqueFd &UniqueFd::operator=(UniqueFd &&other) noexcept
{
    if (this != &other) {
        reset();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

UniqueFd::~UniqueFd() { reset(); }

void UniqueFd::reset()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

namespace {

std::string baseName(const std::string &path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string processName(long pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? std::string("process") : name;
}

// The folders that hold UUCP lock files: LUMACORE_LOCK_DIR when set (a test's own folder),
// else the system's.
std::vector<std::string> lockFolders()
{
    if (const char *named = std::getenv("LUMACORE_LOCK_DIR"); named && *named)
        return {named};
    return {"/run/lock", "/var/lock"};
}

// The pid written in a UUCP lock file (/run/lock/LCK..ttyUSB2), when that process is alive and
// is not us.
long lockFileOwner(const std::string &path)
{
    for (const std::string &folder : lockFolders()) {
        std::ifstream lock(folder + "/LCK.." + baseName(path));
        if (!lock)
            continue;
        long pid = 0;
        lock >> pid;
        if (pid > 0 && pid != static_cast<long>(::getpid()) &&
            (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM))
            return pid;
    }
    return 0;
}

}  // namespace

std::string describePortHolders(const std::string &path)
{
    struct stat port {};
    if (::stat(path.c_str(), &port) != 0)
        return {};
    std::vector<std::string> holders;
    if (DIR *proc = ::opendir("/proc")) {
        while (dirent *entry = ::readdir(proc)) {
            char *end = nullptr;
            long pid = std::strtol(entry->d_name, &end, 10);
            if (pid <= 0 || *end != '\0' || pid == static_cast<long>(::getpid()))
                continue;
            std::string fdFolder = std::string("/proc/") + entry->d_name + "/fd";
            DIR *fds = ::opendir(fdFolder.c_str());
            if (!fds)
                continue;
            bool holds = false;
            while (dirent *fdEntry = ::readdir(fds)) {
                if (fdEntry->d_name[0] == '.')
                    continue;
                struct stat target {};
                if (::stat((fdFolder + "/" + fdEntry->d_name).c_str(), &target) == 0 &&
                    S_ISCHR(target.st_mode) && target.st_rdev == port.st_rdev) {
                    holds = true;
                    break;
                }
            }
            ::closedir(fds);
            if (holds)
                holders.push_back(processName(pid) + " (pid " + std::to_string(pid) + ")");
        }
        ::closedir(proc);
    }
    if (holders.empty()) {
        if (long pid = lockFileOwner(path))
            holders.push_back(processName(pid) + " (pid " + std::to_string(pid) + ")");
    }
    std::string text;
    for (const auto &holder : holders)
        text += (text.empty() ? "" : ", ") + holder;
    return text;
}

PortOpenResult openControlPort(const std::string &path)
{
    PortOpenResult result;
    auto busy = [&](const std::string &how) {
        std::string holders = describePortHolders(path);
        result.status = kStatusPortBusy;
        result.message = path + " is in use" +
                         (holders.empty() ? std::string(" (") + how + ")" : " by " + holders);
        return std::move(result);
    };
    if (lockFileOwner(path) != 0)
        return busy("lock file");

    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        int error = errno;
        if (error == EBUSY)
            return busy("exclusive");
        result.status = kStatusNoCard;
        result.message = path + ": " + std::strerror(error);
        if (error == EACCES)
            result.message += " (is the user in the dialout group?)";
        return result;
    }
    // Opened before the port is made exclusive, which would refuse it; not blocking while it opens
    // (a port without CLOCAL would wait for carrier), blocking from then on.
    UniqueFd waitFd;
    if (::isatty(fd.get())) {
        waitFd = UniqueFd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        int flags = waitFd.valid() ? ::fcntl(waitFd.get(), F_GETFL) : -1;
        if (flags < 0 || ::fcntl(waitFd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            waitFd.reset();
    }
    if (::ioctl(fd.get(), TIOCEXCL) != 0 && errno != ENOTTY) {
        result.status = kStatusNoCard;
        result.message = path + ": " + std::strerror(errno);
        return result;
    }
    termios settings{};
    if (::tcgetattr(fd.get(), &settings) == 0) {
        ::cfmakeraw(&settings);
        settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
        settings.c_cflag |= CS8 | CLOCAL | CREAD;
        // A read returns as soon as there is a byte. VTIME bounds a blocking read's wait (then it
        // returns 0, as a port that went away does); not blocking, an empty port still gives
        // EAGAIN (a time is set), and only a port that went away reads as 0.
        settings.c_cc[VMIN] = 0;
        settings.c_cc[VTIME] = static_cast<cc_t>(kPortReadBound.count() / 100);  // tenths
        ::cfsetispeed(&settings, B115200);
        ::cfsetospeed(&settings, B115200);
        // Without the bound a blocking read could wait for ever.
        if (::tcsetattr(fd.get(), TCSANOW, &settings) != 0)
            waitFd.reset();
        ::tcflush(fd.get(), TCIOFLUSH);
    } else {
        waitFd.reset();
    }
    result.fd = std::move(fd);
    result.waitFd = std::move(waitFd);
    return result;
}

std::vector<std::string> listUsbSerialPorts()
{
    std::vector<std::string> ports;
    DIR *folder = ::opendir("/sys/class/tty");
    if (!folder)
        return ports;
    while (dirent *entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        if (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0)
            ports.push_back("/dev/" + name);
    }
    ::closedir(folder);
    // ttyUSB10 after ttyUSB9.
    std::sort(ports.begin(), ports.end(), [](const std::string &a, const std::string &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return ports;
}

ProbeResult probePort(const std::string &path, std::chrono::milliseconds timeout)
{
    ProbeResult result;
    PortOpenResult port = openControlPort(path);
    if (port.status != 0) {
        result.status = port.status;
        result.message = port.message;
        return result;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        AtDialogue dialogue;
        dialogue.beginCommand("AT");
        if (::write(port.fd.get(), "AT\r", 3) != 3) {
            result.status = kStatusNoCard;
            result.message = path + ": " + std::strerror(errno);
            return result;
        }
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (true) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd waiting{port.fd.get(), POLLIN, 0};
            int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                break;
            char buffer[256];
            ssize_t count = ::read(port.fd.get(), buffer, sizeof buffer);
            if (count < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (count <= 0) {
                result.status = kStatusNoCard;
                result.message = path + ": the port went away";
                return result;
            }
            AtDialogue::Output output;
            dialogue.feed(buffer, static_cast<size_t>(count), output);
            // Any answer is a card: ERROR to a bare AT comes from left-over input on the line
            // or from firmware that wants more than AT.
            if (output.answer)
                return result;
        }
    }
    result.status = kStatusTimeout;
    result.message = path + " does not answer AT in time (status 7001)";
    return result;
}

}  // namespace lumacore
