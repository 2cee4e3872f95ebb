#include "AtChannel.h"

#include "Status.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

// LUMACORE_TRACE=1 shows the dialogue with the card on stderr: how a user debugs a card.
bool tracing()
{
    static const bool enabled = [] {
        const char *value = std::getenv("LUMACORE_TRACE");
        return value && *value && *value != '0';
    }();
    return enabled;
}

void trace(const char *direction, std::string_view bytes)
{
    std::string shown;
    for (unsigned char c : bytes) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        } else
            shown += static_cast<char>(c);
    }
    std::fprintf(stderr, "lumacore %s %s\n", direction, shown.c_str());
}

}  // namespace

namespace lumacore {

const std::string *AtResponse::line(std::string_view prefix) const
{
    for (const auto &candidate : lines)
        if (prefix.empty() || afterPrefix(candidate, prefix))
            return &candidate;
    return nullptr;
}

AtChannel::AtChannel(UniqueFd port, std::string path, UnsolicitedHandler unsolicited)
    : m_path(std::move(path)), m_unsolicited(std::move(unsolicited)), m_port(std::move(port))
{
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_wakeRead = UniqueFd(wake[0]);
        m_wakeWrite = UniqueFd(wake[1]);
    }
    m_reader = std::thread([this] { readLoop(); });
}

AtChannel::~AtChannel()
{
    m_stopping = true;
    close();
    if (m_reader.joinable())
        m_reader.join();
}

void AtChannel::close()
{
    {
        std::lock_guard lock(m_stateMutex);
        m_lost = true;
    }
    m_changed.notify_all();
    if (m_wakeWrite.valid()) {
        char wake = 1;
        [[maybe_unused]] auto written = ::write(m_wakeWrite.get(), &wake, 1);
    }
}

void AtChannel::setLostHandler(LostHandler handler)
{
    std::unique_lock lock(m_stateMutex);
    if (m_portFailed) {
        lock.unlock();
        if (handler)
            handler();
        return;
    }
    m_lostHandler = std::move(handler);
}

void AtChannel::markLost()
{
    LostHandler handler;
    {
        std::lock_guard lock(m_stateMutex);
        bool wasLost = m_lost.exchange(true);
        if (!wasLost && !m_stopping) {
            m_portFailed = true;
            handler = std::move(m_lostHandler);
        }
    }
    m_changed.notify_all();
    if (handler)
        handler();
}

void AtChannel::readLoop()
{
    char buffer[4096];
    while (!m_lost) {
        pollfd waiting[2] = {{m_port.get(), POLLIN, 0}, {m_wakeRead.get(), POLLIN, 0}};
        int ready = ::poll(waiting, m_wakeRead.valid() ? 2 : 1, m_wakeRead.valid() ? -1 : 200);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            markLost();
            break;
        }
        if (m_lost)
            break;
        if (ready == 0)
            continue;
        if (waiting[0].revents & POLLNVAL) {
            markLost();
            break;
        }
        if (!(waiting[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        ssize_t count = ::read(m_port.get(), buffer, sizeof buffer);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (count <= 0) {
            // EIO or end of file: the card was pulled (or the virtual card closed its side).
            markLost();
            break;
        }
        if (tracing())
            trace("<-", std::string_view(buffer, static_cast<size_t>(count)));
        AtDialogue::Output output;
        {
            std::lock_guard lock(m_stateMutex);
            m_dialogue.feed(buffer, static_cast<size_t>(count), output);
            if (output.answer)
                m_answer = std::move(output.answer);
            if (output.prompt)
                m_prompt = true;
        }
        if (output.answer || output.prompt)
            m_changed.notify_all();
        if (m_unsolicited)
            for (auto &code : output.unsolicited)
                m_unsolicited(std::move(code));
    }
}

bool AtChannel::writeAll(std::string_view data)
{
    if (tracing())
        trace("->", data);
    while (!data.empty()) {
        ssize_t written = ::write(m_port.get(), data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                pollfd waiting{m_port.get(), POLLOUT, 0};
                if (::poll(&waiting, 1, 1000) <= 0)
                    return false;
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

AtResponse AtChannel::run(std::string_view command, std::chrono::milliseconds timeout)
{
    return exchange(command, {}, false, timeout);
}

AtResponse AtChannel::runWithPdu(std::string_view command, std::string_view pdu,
                                 std::chrono::milliseconds timeout)
{
    return exchange(command, pdu, true, timeout);
}

AtResponse AtChannel::exchange(std::string_view command, std::string_view pdu, bool withPdu,
                               std::chrono::milliseconds timeout)
{
    AtResponse response;
    std::lock_guard commandLock(m_commandMutex);
    std::unique_lock lock(m_stateMutex);
    if (m_lost) {
        response.status = kStatusNoCard;
        return response;
    }
    if (m_dialogue.stale()) {
        // The answer to a command we gave up on may still be coming: give it a moment so it is
        // not taken for this command's.
        auto settle = std::min(timeout, std::chrono::milliseconds(300));
        m_changed.wait_for(lock, settle, [&] { return !m_dialogue.stale() || m_lost.load(); });
        m_dialogue.clearStale();
    }
    m_answer.reset();
    m_prompt = false;
    m_dialogue.beginCommand(command, withPdu);
    lock.unlock();

    if (!writeAll(std::string(command) + "\r")) {
        markLost();
        response.status = kStatusNoCard;
        return response;
    }

    auto deadline = std::chrono::steady_clock::now() + timeout;
    lock.lock();
    bool pduSent = false;
    while (true) {
        bool woke = m_changed.wait_until(lock, deadline, [&] {
            return m_answer.has_value() || m_lost.load() || (withPdu && !pduSent && m_prompt);
        });
        if (m_lost) {
            m_dialogue.abandonCommand();
            m_dialogue.clearStale();
            response.status = kStatusNoCard;
            return response;
        }
        if (!woke) {
            m_dialogue.abandonCommand();
            response.status = kStatusTimeout;
            return response;
        }
        if (m_answer)
            break;
        // The prompt came: the message follows, ended by Ctrl-Z.
        pduSent = true;
        lock.unlock();
        bool written = writeAll(std::string(pdu) + "\x1A");
        lock.lock();
        if (!written) {
            lock.unlock();
            markLost();
            response.status = kStatusNoCard;
            return response;
        }
    }
    response.final = std::move(m_answer->final);
    response.lines = std::move(m_answer->lines);
    m_answer.reset();
    response.status = statusOf(response.final);
    return response;
}

}  // namespace lumacore
