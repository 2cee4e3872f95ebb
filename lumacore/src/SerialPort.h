// The card's control port: opening it raw and exclusively, finding who holds a busy port, and
// finding ports that answer AT.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lumacore {

// A file descriptor that closes itself.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept;
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    ~UniqueFd();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset();

private:
    int m_fd = -1;
};

// How long a blocking read of an empty port (PortOpenResult::waitFd) waits at most.
constexpr std::chrono::milliseconds kPortReadBound{100};

struct PortOpenResult {
    UniqueFd fd;
    // The same port opened a second time, blocking (a port that is not a terminal has none): the
    // caller of a command waits on it for its answer with one read. An empty port reads as 0
    // after kPortReadBound on it, as does a port that went away.
    UniqueFd waitFd;
    uint16_t status = 0;  // 0, 7002 (no such port / cannot open), 7005 (held by another process)
    std::string message;  // why it failed, for the user: names the holder of a busy port
};

// Opens the port raw 8N1 at 115200, without echo or line editing on our side, non-blocking (and a
// second time blocking, see waitFd), and marks it exclusive (TIOCEXCL) so a further opener gets
// EBUSY. A UUCP lock file of a live process other than ours counts as busy too.
PortOpenResult openControlPort(const std::string &path);

// "ModemManager (pid 812)" for each other process that has the port open (found through
// /proc/*/fd), or the owner named in the port's lock file; empty when none can be found.
std::string describePortHolders(const std::string &path);

// /dev paths of the USB serial ports the kernel knows (/sys/class/tty/ttyUSB*, ttyACM*), sorted.
std::vector<std::string> listUsbSerialPorts();

// Sends "AT" (twice if needed: a card waking up may swallow the first) and waits for OK.
// Status 0 when the port answered, 7001 when it stayed silent, 7002/7005 when it cannot be opened.
struct ProbeResult {
    uint16_t status = 0;
    std::string message;
};
ProbeResult probePort(const std::string &path, std::chrono::milliseconds timeout);

}  // namespace lumacore
