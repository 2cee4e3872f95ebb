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
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    termios settings{};
    ::tcgetattr(fd_, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(fd_, TCSANOW, &settings);
    hungUp_ = false;
    buffer_.clear();
    return true;
}

void AtClient::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void AtClient::send(const std::string &bytes)
{
    size_t sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        const ssize_t written = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
        if (written <= 0) {
            if (written < 0 && errno == EAGAIN) {
                pollfd entry{fd_, POLLOUT, 0};
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
    if (fd_ < 0 || hungUp_)
        return false;
    pollfd entry{fd_, POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
    if (ready <= 0)
        return false;
    char chunk[1024];
    const ssize_t length = ::read(fd_, chunk, sizeof chunk);
    if (length > 0) {
        buffer_.append(chunk, static_cast<size_t>(length));
        return true;
    }
    if (length == 0 || errno == EIO || (entry.revents & POLLHUP))
        hungUp_ = true;
    return false;
}

std::optional<std::string> AtClient::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        size_t start = buffer_.find_first_not_of("\r\n");
        if (start == std::string::npos) {
            buffer_.clear();
        } else {
            buffer_.erase(0, start);
            const size_t end = buffer_.find_first_of("\r\n");
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end);
                return line;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !fill(left)) {
            if (std::chrono::steady_clock::now() >= deadline || hungUp_)
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
        if (!fill(left) && hungUp_)
            break;
    }
    std::string out;
    out.swap(buffer_);
    return out;
}

bool AtClient::waitForHangUp(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!hungUp_ && std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        fill(left);
        buffer_.clear();
    }
    return hungUp_;
}

}  // namespace virtualmodem::testing
