// The card's data port: the second serial interface a USB data card has beside its control port.
// In command mode it takes a few AT commands; "ATD*99#" (or "ATD*99***1#") answers CONNECT when
// the card has packet service, and the port goes on line: from then on it counts what the
// program sends and sends a steady stream of its own, as downloaded traffic, until the call is
// dropped (NO CARRIER) or the program closes the port (the line's DTR goes down).
//
// The control socket can make it drop the call, refuse dials with NO CARRIER, or answer slowly.
#pragma once

#include "virtualmodem/PtyDevice.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace virtualmodem {

class DataPort {
public:
    // Whether the card can make a data call now (attached to a packet network).
    using PacketService = std::function<bool()>;
    // Downloaded traffic while on line: this many bytes every tick, unless set otherwise.
    static constexpr size_t kBytesPerTick = 1600;
    static constexpr size_t kMaxBytesPerTick = 256 * 1024;
    static constexpr std::chrono::milliseconds kTick{100};

    explicit DataPort(PacketService packetService);
    DataPort(const DataPort &) = delete;
    DataPort &operator=(const DataPort &) = delete;
    ~DataPort();

    // A new terminal, linked at linkPath when not empty, served on a thread of its own.
    bool open(const std::string &linkPath, std::string &error);
    // Hangs up (the terminal goes away, as when the card is unplugged).
    void close();
    std::string path() const;

    void dropCall();
    void setRefused(bool refused);
    void setAnswerDelay(std::chrono::milliseconds delay);
    // The stream's size per tick (1 to kMaxBytesPerTick), for a faster or slower link.
    void setStreamBytesPerTick(size_t bytes);
    bool online() const;

    // How often the port's thread began to wait while nobody had the port open, and how many
    // of its waits ended with nothing having happened.
    struct IdleCounts {
        size_t waits = 0;
        size_t emptyWakeups = 0;
    };
    IdleCounts idleCounts() const { return {m_idleWaits.load(), m_emptyWakeups.load()}; }

private:
    void serve();
    void wake() const;
    // Handles one command line; returns what to send back.
    std::string command(const std::string &line);

    PacketService m_packetService;
    mutable std::mutex m_mutex;
    PtyDevice m_device;
    std::thread m_thread;
    int m_wakeFd = -1;
    int m_openWatch = -1;  // inotify: someone opened the terminal
    std::atomic<bool> m_stopping{false};
    std::atomic<size_t> m_idleWaits{0};
    std::atomic<size_t> m_emptyWakeups{0};
    std::atomic<size_t> m_bytesPerTick{kBytesPerTick};
    std::string m_line;
    std::string m_unsent;
    bool m_online = false;
    bool m_dropRequested = false;
    bool m_refused = false;
    std::chrono::milliseconds m_answerDelay{0};
    std::optional<std::chrono::steady_clock::time_point> m_connectAt;
};

}  // namespace virtualmodem
