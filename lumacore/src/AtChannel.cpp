#include "AtChannel.h"

#include "Status.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

std::chrono::steady_clock::time_point traceStart()
{
    static const auto start = std::chrono::steady_clock::now();
    return start;
}

// LUMACORE_TRACE=1 shows the dialogue with the card on stderr: how a user debugs a card.
std::atomic<bool> &tracingFlag()
{
    static std::atomic<bool> enabled = [] {
        const char *value = std::getenv("LUMACORE_TRACE");
        traceStart();
        return value && *value && *value != '0';
    }();
    return enabled;
}

// How long a command waits for the late answer of one given up on before it goes out.
constexpr std::chrono::milliseconds kStaleSettle{300};

// How soon the reader thread looks again at the port after it let a caller's turn pass by: what
// came in the moment between the caller's last read and the end of its turn has no other wake-up
// (the port's entry in the reader thread's set fired and is not armed again yet).
constexpr int kPassedByCheckMilliseconds = 10;

bool tracing() { return tracingFlag().load(std::memory_order_relaxed); }

// Whether fd is among the events epoll_wait gave.
bool among(const epoll_event *events, int count, int fd)
{
    return std::any_of(events, events + count,
                       [&](const epoll_event &event) { return event.data.fd == fd; });
}

// Adds fd to the epoll set; an exclusive wait the kernel does not know is taken as a plain one.
bool watch(int set, int fd, uint32_t events)
{
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    if (::epoll_ctl(set, EPOLL_CTL_ADD, fd, &event) == 0)
        return true;
    if (errno != EINVAL || !(events & EPOLLEXCLUSIVE))
        return false;
    event.events = events & ~static_cast<uint32_t>(EPOLLEXCLUSIVE);
    return ::epoll_ctl(set, EPOLL_CTL_ADD, fd, &event) == 0;
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
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - traceStart()).count();
    std::fprintf(stderr, "lumacore %9.3f %s %s\n", seconds, direction, shown.c_str());
}

}  // namespace

namespace lumacore {

void setAtTracing(bool on)
{
    traceStart();
    tracingFlag() = on;
}

const std::string *AtResponse::line(std::string_view prefix) const
{
    for (const auto &candidate : lines)
        if (prefix.empty() || afterPrefix(candidate, prefix))
            return &candidate;
    return nullptr;
}

AtChannel::AtChannel(UniqueFd port, std::string path, UnsolicitedHandler unsolicited,
                     UniqueFd waitPort)
    : m_path(std::move(path)),
      m_unsolicited(std::move(unsolicited)),
      m_port(std::move(port)),
      m_waitPort(std::move(waitPort))
{
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_wakeRead = UniqueFd(wake[0]);
        m_wakeWrite = UniqueFd(wake[1]);
    }
    // A caller waits on a set of its own (when it does not read blocking): an exclusive wait, so
    // the kernel does not also wake other waiters of that kind for it.
    m_callerSet = UniqueFd(::epoll_create1(EPOLL_CLOEXEC));
    m_readerSet = UniqueFd(::epoll_create1(EPOLL_CLOEXEC));
    // Level-triggered for the caller, who reads until it has its answer; once for the reader
    // thread (armed again when it reads), so that what a caller will read does not wake it again
    // and again.
    bool sets = m_callerSet.valid() && m_readerSet.valid() &&
                watch(m_callerSet.get(), m_port.get(), EPOLLIN | EPOLLEXCLUSIVE) &&
                watch(m_readerSet.get(), m_port.get(), EPOLLIN | EPOLLONESHOT) &&
                (!m_wakeRead.valid() || (watch(m_callerSet.get(), m_wakeRead.get(), EPOLLIN) &&
                                         watch(m_readerSet.get(), m_wakeRead.get(), EPOLLIN)));
    if (!sets)
        m_readerSet.reset();
    // Without its epoll set the channel cannot serve the port: it counts as gone at once.
    if (!m_readerSet.valid())
        m_lost = true;
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
    // Whichever side noticed, the other stops waiting on the port.
    if (m_wakeWrite.valid()) {
        char wake = 1;
        [[maybe_unused]] auto written = ::write(m_wakeWrite.get(), &wake, 1);
    }
    if (handler)
        handler();
}

AtChannel::ReadResult AtChannel::readAvailable(AtDialogue::Output &output)
{
    ReadResult result = ReadResult::Nothing;
    while (true) {
        char buffer[4096];
        ssize_t count = ::read(m_port.get(), buffer, sizeof buffer);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            return result;
        if (count <= 0)
            return ReadResult::Lost;  // EIO or end of file: the card was pulled
        take(buffer, static_cast<size_t>(count), output);
        result = ReadResult::Data;
        // A short read took all there was; after a full one more may wait.
        if (static_cast<size_t>(count) < sizeof buffer)
            return result;
    }
}

void AtChannel::take(const char *bytes, size_t count, AtDialogue::Output &output)
{
    if (tracing())
        trace("<-", std::string_view(bytes, count));
    m_dialogue.feed(bytes, count, output);
}

AtChannel::ReadResult AtChannel::waitAndRead(AtDialogue::Output &output,
                                             std::unique_lock<std::mutex> &stateLock)
{
    // Without the state lock: no one else reads the port during the caller's turn, and close()
    // must not wait for the read.
    char buffer[4096];
    ssize_t count = ::read(m_waitPort.get(), buffer, sizeof buffer);
    int error = errno;
    stateLock.lock();
    if (count < 0)
        return error == EINTR || error == EAGAIN ? ReadResult::Nothing : ReadResult::Lost;
    // 0 is the end of the wait's bound or a port that went away: a read that does not block
    // tells which.
    if (count == 0)
        return readAvailable(output);
    take(buffer, static_cast<size_t>(count), output);
    return ReadResult::Data;
}

void AtChannel::dispatch(std::vector<AtUnsolicited> &codes, std::unique_lock<std::mutex> &stateLock)
{
    if (codes.empty() || !m_unsolicited) {
        stateLock.unlock();
        return;
    }
    std::lock_guard order(m_dispatchMutex);
    stateLock.unlock();
    for (auto &code : codes)
        m_unsolicited(std::move(code));
    codes.clear();
}

void AtChannel::readLoop()
{
    // The port's entry in the reader thread's set fires once and is armed again only when the
    // reader thread reads: during a run of commands it sleeps, and looks every few milliseconds
    // whether the callers are done.
    bool armed = true;
    while (!m_lost) {
        epoll_event events[2];
        int timeout = !armed ? kPassedByCheckMilliseconds : m_wakeRead.valid() ? -1 : 200;
        int ready = ::epoll_wait(m_readerSet.get(), events, 2, timeout);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            markLost();
            break;
        }
        if (m_lost)
            break;
        if (among(events, ready, m_port.get()))
            armed = false;
        // A caller's answer is its own to read; the check without the lock keeps the reader
        // thread out of the caller's way.
        if (armed || m_callerReads.load())
            continue;
        std::unique_lock lock(m_stateMutex);
        if (m_callerReads.load())
            continue;
        // Armed before the read: what comes after it wakes the reader thread again.
        epoll_event event{};
        event.events = EPOLLIN | EPOLLONESHOT;
        event.data.fd = m_port.get();
        if (::epoll_ctl(m_readerSet.get(), EPOLL_CTL_MOD, m_port.get(), &event) != 0) {
            lock.unlock();
            markLost();
            break;
        }
        armed = true;
        AtDialogue::Output output;
        ReadResult result = readAvailable(output);
        if (result == ReadResult::Lost) {
            lock.unlock();
            markLost();
            break;
        }
        dispatch(output.unsolicited, lock);
    }
}

AtChannel::ReadResult AtChannel::readAsCaller(std::chrono::steady_clock::time_point deadline,
                                              AtDialogue::Output &output)
{
    while (true) {
        if (m_lost)
            return ReadResult::Lost;
        auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return ReadResult::TimedOut;
        std::unique_lock lock(m_stateMutex, std::defer_lock);
        ReadResult result = ReadResult::Nothing;
        // One blocking read per part of the answer costs one system call, where waiting for the
        // port and then reading it costs two; near the deadline the wait is made to measure.
        if (m_waitPort.valid() && left >= kPortReadBound) {
            result = waitAndRead(output, lock);
        } else {
            epoll_event events[2];
            int ready = ::epoll_wait(m_callerSet.get(), events, 2,
                                     static_cast<int>(std::min<long>(left.count(), 200)));
            if (ready < 0) {
                if (errno == EINTR)
                    continue;
                markLost();
                return ReadResult::Lost;
            }
            if (ready == 0 || m_lost || !among(events, ready, m_port.get()))
                continue;
            lock.lock();
            result = readAvailable(output);
        }
        if (result == ReadResult::Lost) {
            lock.unlock();
            markLost();
            return result;
        }
        dispatch(output.unsolicited, lock);
        if (result == ReadResult::Data)
            return result;
    }
}

AtChannel::WriteResult AtChannel::writeAll(std::string_view data,
                                           std::chrono::steady_clock::time_point deadline)
{
    if (tracing())
        trace("->", data);
    while (!data.empty()) {
        ssize_t written = ::write(m_port.get(), data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                if (left.count() <= 0)
                    return WriteResult::TimedOut;
                pollfd waiting{m_port.get(), POLLOUT, 0};
                int ready =
                    ::poll(&waiting, 1, static_cast<int>(std::min<long>(left.count(), 200)));
                if (ready < 0 && errno != EINTR)
                    return WriteResult::Failed;
                if (ready > 0 && (waiting.revents & (POLLERR | POLLHUP | POLLNVAL)))
                    return WriteResult::Failed;
                if (m_lost)
                    return WriteResult::Failed;
                continue;
            }
            return WriteResult::Failed;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return WriteResult::Written;
}

bool AtChannel::takeTurn(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(m_turnMutex);
    if (!m_turnFree.wait_until(lock, deadline, [&] { return !m_turnTaken; }))
        return false;
    m_turnTaken = true;
    return true;
}

void AtChannel::giveTurn()
{
    {
        std::lock_guard lock(m_turnMutex);
        m_turnTaken = false;
    }
    m_turnFree.notify_one();
}

AtResponse AtChannel::run(std::string_view command, std::chrono::milliseconds timeout)
{
    return exchange(command, {}, false, timeout);
}

AtResponse AtChannel::probe(std::chrono::milliseconds timeout)
{
    return exchange("AT", {}, false, timeout, true);
}

AtResponse AtChannel::runWithPdu(std::string_view command, std::string_view pdu,
                                 std::chrono::milliseconds timeout)
{
    return exchange(command, pdu, true, timeout);
}

AtResponse AtChannel::exchange(std::string_view command, std::string_view pdu, bool withPdu,
                               std::chrono::milliseconds timeout, bool probe)
{
    AtResponse response;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    // A card that stopped answering is not asked again (only probed): no caller waits on it.
    if (m_unresponsive && !probe) {
        response.status = kStatusTimeout;
        return response;
    }
    if (!takeTurn(deadline)) {
        response.status = m_lost ? kStatusNoCard : kStatusTimeout;
        return response;
    }
    struct TurnGuard {
        AtChannel *channel;
        ~TurnGuard() { channel->giveTurn(); }
    } turn{this};
    if (m_unresponsive && !probe) {
        response.status = kStatusTimeout;
        return response;
    }
    if (m_lost) {
        response.status = kStatusNoCard;
        return response;
    }
    // The reader thread leaves the port alone from here: whatever the caller reads under the state
    // lock after this is read by no one else.
    m_callerReads = true;
    response = converse(command, pdu, withPdu, timeout, deadline);
    m_callerReads = false;
    return response;
}

AtResponse AtChannel::converse(std::string_view command, std::string_view pdu, bool withPdu,
                               std::chrono::milliseconds timeout,
                               std::chrono::steady_clock::time_point deadline)
{
    AtResponse response;
    std::unique_lock lock(m_stateMutex);
    if (m_dialogue.stale()) {
        // The answer to a command we gave up on may still be coming: give it a moment so it is
        // not taken for this command's.
        lock.unlock();
        auto settled = std::chrono::steady_clock::now() + std::min(timeout, kStaleSettle);
        while (true) {
            AtDialogue::Output late;
            if (readAsCaller(settled, late) != ReadResult::Data)
                break;
            std::lock_guard check(m_stateMutex);
            if (!m_dialogue.stale())
                break;
        }
        lock.lock();
        m_dialogue.clearStale();
    }
    m_dialogue.beginCommand(command, withPdu);
    lock.unlock();

    auto timedOut = [&] {
        lock.lock();
        m_dialogue.abandonCommand();
        lock.unlock();
        m_unresponsive = true;
        response.status = kStatusTimeout;
        return response;
    };
    auto lost = [&] {
        markLost();
        lock.lock();
        m_dialogue.abandonCommand();
        m_dialogue.clearStale();
        lock.unlock();
        response.status = kStatusNoCard;
        return response;
    };
    switch (writeAll(std::string(command) + "\r", deadline)) {
    case WriteResult::Written: break;
    case WriteResult::TimedOut: return timedOut();
    case WriteResult::Failed: return lost();
    }

    bool pduSent = false;
    while (true) {
        AtDialogue::Output output;
        switch (readAsCaller(deadline, output)) {
        case ReadResult::TimedOut: return timedOut();
        case ReadResult::Lost: return lost();
        case ReadResult::Data:
        case ReadResult::Nothing: break;
        }
        if (output.answer) {
            response.final = std::move(output.answer->final);
            response.lines = std::move(output.answer->lines);
            m_unresponsive = false;
            response.status = statusOf(response.final);
            return response;
        }
        if (!withPdu || pduSent || !output.prompt)
            continue;
        // The prompt came: the message follows, ended by Ctrl-Z.
        pduSent = true;
        WriteResult written = writeAll(std::string(pdu) + "\x1A", deadline);
        if (written == WriteResult::TimedOut)
            return timedOut();
        if (written == WriteResult::Failed)
            return lost();
    }
}

}  // namespace lumacore
