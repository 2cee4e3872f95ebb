// The card's serial port: the controlling side of a pseudo-terminal in raw mode, optionally
// reachable through a symbolic link (as /dev/ttyUSB2 would be). Closing it hangs up whoever has
// the terminal open, as unplugging a USB card does.
#pragma once

#include <string>

namespace virtualmodem {

class PtyDevice {
public:
    PtyDevice() = default;
    PtyDevice(const PtyDevice &) = delete;
    PtyDevice &operator=(const PtyDevice &) = delete;
    ~PtyDevice();

    // Makes a new pseudo-terminal and, when linkPath is not empty, points linkPath at it. A link
    // left behind by an earlier run is replaced; any other file there is left alone and is an
    // error. On failure, error says why and nothing is left open.
    bool open(const std::string &linkPath, std::string &error);
    // Hangs up and removes the link (when it still points at this terminal).
    void close();

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // /dev/pts/N
    const std::string &terminalPath() const { return m_terminalPath; }
    const std::string &linkPath() const { return m_linkPath; }

    // Whether some process has the terminal open now.
    bool terminalOpen() const;
    // Throws away what waits in both directions, e.g. when the terminal closed.
    void flush() const;
    // Writes what the terminal takes now and keeps the rest in `unsent`; past `limit` bytes
    // the oldest are dropped, as a full serial buffer loses them.
    void sendQueued(std::string &unsent, size_t limit) const;

private:
    int m_fd = -1;
    std::string m_terminalPath;
    std::string m_linkPath;
};

}  // namespace virtualmodem
