#include "AtClient.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace virtualmodem::testing {

bool isFinalResult(const std::string &line)
{
    return line == "OK" || line == "ERROR" || line.rfind("+CME ERROR:", 0) == 0 ||
           line.rfind("+CMS ERROR:", 0) == 0 || line == "NO CARRIER" || line == "BUSY" ||
           line == "NO ANSWER" || line.rfind("CONNECT", 0) == 0;
}

AtClient::~AtClient() { close(); }

bool AtClient::open(const std::string &path)
{
    close();
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    termios settings{};
    ::tcgetattr(m_fd, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_fd, TCSANOW, &settings);
    m_hungUp = false;
    m_buffer.clear();
    return true;
}

void AtClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void AtClient::send(const std::string &bytes)
{
    size_t sent = 0;
    while (m_fd >= 0 && sent < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.data() + sent, bytes.size() - sent);
        if (written <= 0) {
            if (written < 0 && errno == EAGAIN) {
                pollfd entry{m_fd, POLLOUT, 0};
                ::poll(&entry, 1, 100);
                continue;
            }
            return;
        }
        sent += static_cast<size_t>(written);
    }
}

bool AtClient::fill(std::chrono::milliseconds timeout)
{
    if (m_fd < 0 || m_hungUp)
        return false;
    pollfd entry{m_fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
    if (ready <= 0)
        return false;
    char chunk[1024];
    const ssize_t length = ::read(m_fd, chunk, sizeof chunk);
    if (length > 0) {
        m_buffer.append(chunk, static_cast<size_t>(length));
        return true;
    }
    if (length == 0 || errno == EIO || (entry.revents & POLLHUP))
        m_hungUp = true;
    return false;
}

std::optional<std::string> AtClient::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        size_t start = m_buffer.find_first_not_of("\r\n");
        if (start == std::string::npos) {
            m_buffer.clear();
        } else {
            m_buffer.erase(0, start);
            const size_t end = m_buffer.find_first_of("\r\n");
            if (end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end);
                return line;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !fill(left)) {
            if (std::chrono::steady_clock::now() >= deadline || m_hungUp)
                return std::nullopt;
        }
    }
}

Answer AtClient::command(const std::string &line, std::chrono::milliseconds timeout)
{
    send(line + "\r");
    Answer answer;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool first = true;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return answer;
        const auto next = readLine(left);
        if (!next)
            return answer;
        if (first && *next == line) {
            answer.echoed = true;
            first = false;
            continue;
        }
        first = false;
        if (isFinalResult(*next)) {
            answer.final = *next;
            return answer;
        }
        answer.lines.push_back(*next);
    }
}

std::string AtClient::readFor(std::chrono::milliseconds time)
{
    const auto deadline = std::chrono::steady_clock::now() + time;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        if (!fill(left) && m_hungUp)
            break;
    }
    std::string out;
    out.swap(m_buffer);
    return out;
}

bool AtClient::waitForHangUp(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_hungUp && std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        fill(left);
        m_buffer.clear();
    }
    return m_hungUp;
}

}  // namespace virtualmodem::testing
