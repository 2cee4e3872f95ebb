// The card's voice port: a third serial interface that carries a call's sound as 8 kHz 16-bit
// little-endian PCM, as many voice-capable data cards have one. Once the terminal started it
// (AT^VPCM=1 on the control port) and while a call is connected, the port sends a 1 kHz tone in
// real time (16000 bytes a second, a 20 ms frame at a time) and counts the bytes it is sent, the
// computer's microphone. It stays silent otherwise.
#pragma once

#include "virtualmodem/PtyDevice.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace virtualmodem {

class VoicePort {
public:
    // Whether sound flows now: the port started and a call connected.
    using Flowing = std::function<bool()>;
    static constexpr std::chrono::milliseconds kFrame{20};
    static constexpr size_t kFrameBytes = 320;  // 160 samples of 16 bits

    explicit VoicePort(Flowing flowing);
    VoicePort(const VoicePort &) = delete;
    VoicePort &operator=(const VoicePort &) = delete;
    ~VoicePort();

    // A new terminal, linked at linkPath when not empty, served on a thread of its own.
    bool open(const std::string &linkPath, std::string &error);
    void close();
    std::string path() const;
    // The other side of the port changed something that decides whether sound flows.
    void wake() const;

    uint64_t bytesSent() const { return m_sent.load(); }
    uint64_t bytesReceived() const { return m_received.load(); }

private:
    void serve();

    Flowing m_flowing;
    mutable std::mutex m_mutex;
    PtyDevice m_device;
    std::thread m_thread;
    int m_wakeFd = -1;
    std::atomic<bool> m_stopping{false};
    std::atomic<uint64_t> m_sent{0};
    std::atomic<uint64_t> m_received{0};
    size_t m_phase = 0;  // where in the tone's period the next sample is
};

}  // namespace virtualmodem
