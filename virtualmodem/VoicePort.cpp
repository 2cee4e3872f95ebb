#include "virtualmodem/VoicePort.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace virtualmodem {

namespace {

// While nobody holds the port, or no sound flows, it looks again this often.
constexpr int kIdleMilliseconds = 50;

// One period of a 1 kHz tone at 8 kHz: eight samples, at about a quarter of full scale.
const std::array<int16_t, 8> kTone = [] {
    std::array<int16_t, 8> samples{};
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(std::lround(8000 * std::sin(2 * M_PI * i / 8)));
    return samples;
}();

}  // namespace

VoicePort::VoicePort(Flowing flowing)
    : m_flowing(std::move(flowing)), m_wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

VoicePort::~VoicePort()
{
    close();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool VoicePort::open(const std::string &linkPath, std::string &error)
{
    close();
    {
        std::lock_guard lock(m_mutex);
        if (m_wakeFd < 0) {
            error = "cannot create the voice port's wake-up event";
            return false;
        }
        if (!m_device.open(linkPath, error))
            return false;
    }
    m_stopping = false;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void VoicePort::close()
{
    if (!m_thread.joinable())
        return;
    m_stopping = true;
    wake();
    m_thread.join();
    std::lock_guard lock(m_mutex);
    m_device.close();
}

std::string VoicePort::path() const
{
    std::lock_guard lock(m_mutex);
    if (!m_device.isOpen())
        return {};
    return m_device.linkPath().empty() ? m_device.terminalPath() : m_device.linkPath();
}

void VoicePort::wake() const
{
    const uint64_t one = 1;
    if (m_wakeFd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    }
}

void VoicePort::serve()
{
    const int fd = m_device.fd();
    auto nextFrame = std::chrono::steady_clock::now();
    bool wasFlowing = false;
    while (!m_stopping) {
        const bool open = m_device.terminalOpen();
        const bool flowing = open && m_flowing();
        if (flowing && !wasFlowing)
            nextFrame = std::chrono::steady_clock::now();
        wasFlowing = flowing;
        int timeout = kIdleMilliseconds;
        if (flowing) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
                nextFrame - std::chrono::steady_clock::now());
            timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        }
        // A port nobody holds reports a hang-up at once: it is not waited on then.
        pollfd entries[2] = {{m_wakeFd, POLLIN, 0}, {fd, POLLIN, 0}};
        if (::poll(entries, open ? 2 : 1, timeout) < 0 && errno != EINTR)
            break;
        if (entries[0].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
        }
        if (open && (entries[1].revents & POLLIN)) {
            char buffer[4096];
            const ssize_t length = ::read(fd, buffer, sizeof buffer);
            // Heard only during a call; before it the line carries nothing.
            if (length > 0 && flowing)
                m_received += static_cast<uint64_t>(length);
        }
        if (!flowing || std::chrono::steady_clock::now() < nextFrame)
            continue;
        std::array<int16_t, kFrameBytes / 2> samples{};
        for (int16_t &sample : samples)
            sample = kTone[m_phase++ % kTone.size()];
        std::array<unsigned char, kFrameBytes> bytes{};
        for (size_t i = 0; i < samples.size(); ++i) {
            const auto value = static_cast<uint16_t>(samples[i]);
            bytes[2 * i] = static_cast<unsigned char>(value & 0xFF);
            bytes[2 * i + 1] = static_cast<unsigned char>(value >> 8);
        }
        // A terminal that does not read loses sound, as a real line would.
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0)
            m_sent += static_cast<uint64_t>(written);
        nextFrame += kFrame;
    }
}

}  // namespace virtualmodem
