// A small AT terminal for the tests: opens the card's port as a program would and exchanges
// command lines with it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace virtualmodem::testing {

using namespace std::chrono_literals;

struct Answer {
    bool echoed = false;             // the command line came back first
    std::vector<std::string> lines;  // information lines, without echo and final result
    std::string final;               // "OK", "ERROR", "+CME ERROR: 16", ...; empty on time-out
};

class AtClient {
public:
    AtClient() = default;
    AtClient(const AtClient &) = delete;
    AtClient &operator=(const AtClient &) = delete;
    ~AtClient();

    // Opens the port in raw mode; false when it cannot be opened.
    bool open(const std::string &path);
    void close();

    void send(const std::string &bytes);
    // Sends "<line>\r" and reads up to the final result.
    Answer command(const std::string &line, std::chrono::milliseconds timeout = 3s);
    // The next non-empty line, or nothing after the time-out or a hang-up.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Everything that arrives within the time.
    std::string readFor(std::chrono::milliseconds time);
    // Whether the port hangs up (end of file, EIO or POLLHUP) within the time.
    bool waitForHangUp(std::chrono::milliseconds timeout);

private:
    // Reads what is there into m_buffer; false on time-out or hang-up.
    bool fill(std::chrono::milliseconds timeout);

    int m_fd = -1;
    bool m_hungUp = false;
    std::string m_buffer;
};

bool isFinalResult(const std::string &line);

}  // namespace virtualmodem::testing
