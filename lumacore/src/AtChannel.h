// The AT channel to one open control port: one command on the wire at a time, each with a
// time-out, a reader thread that sorts what the card sends, and notice when the port goes away.
#pragma once

#include "AtLine.h"
#include "SerialPort.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumacore {

// Shows the dialogue with the card on stderr, each line with the seconds since tracing began
// (lumacore-tool --trace; LUMACORE_TRACE=1 turns it on too).
void setAtTracing(bool on);

struct AtResponse {
    uint16_t status = 0;  // statusOf(final), or 7001 time-out, 7002 port gone
    FinalResult final;
    std::vector<std::string> lines;  // information lines
    bool ok() const { return status == 0; }
    // The first line that starts with the prefix, or the first line when prefix is empty.
    const std::string *line(std::string_view prefix = {}) const;
};

class AtChannel {
public:
    // Runs on the thread that read the code (the reader thread, or a caller waiting for its
    // answer): it must only hand the news on.
    using UnsolicitedHandler = std::function<void(AtUnsolicited)>;
    using LostHandler = std::function<void()>;

    // Takes the open port and starts reading it. With waitPort (PortOpenResult::waitFd) a caller
    // waits for each part of its answer with one blocking read.
    AtChannel(UniqueFd port, std::string path, UnsolicitedHandler unsolicited,
              UniqueFd waitPort = {});
    // Called once when the port goes away (read error, hang-up), on the thread that noticed; at
    // once when that already happened. Not called for close().
    void setLostHandler(LostHandler handler);
    AtChannel(const AtChannel &) = delete;
    AtChannel &operator=(const AtChannel &) = delete;
    ~AtChannel();

    // Sends "<command>\r" and waits for the final result, at most `timeout` in all (waiting
    // for another command to finish included). After a time-out the card counts as
    // unresponsive: commands fail at once with 7001 until a probe gets an answer.
    AtResponse run(std::string_view command, std::chrono::milliseconds timeout);
    // A bare "AT", let through even to an unresponsive card; any answer (OK, ERROR, +CME ERROR)
    // shows the card is there again.
    AtResponse probe(std::chrono::milliseconds timeout);
    bool unresponsive() const { return m_unresponsive.load(); }
    // Sends the command, waits for the "> " prompt, then sends the PDU and Ctrl-Z (+CMGS, +CMGW).
    AtResponse runWithPdu(std::string_view command, std::string_view pdu,
                          std::chrono::milliseconds timeout);

    bool alive() const { return !m_lost.load(); }
    const std::string &path() const { return m_path; }
    // Closes the port as if it had gone (used when the device node disappears or the engine
    // stops); a waiting command returns 7002 at once.
    void close();

private:
    AtResponse exchange(std::string_view command, std::string_view pdu, bool withPdu,
                        std::chrono::milliseconds timeout, bool probe = false);
    // The exchange proper, on the caller's thread, which reads the port itself meanwhile.
    AtResponse converse(std::string_view command, std::string_view pdu, bool withPdu,
                        std::chrono::milliseconds timeout,
                        std::chrono::steady_clock::time_point deadline);
    void readLoop();
    enum class WriteResult { Written, TimedOut, Failed };
    // A card that takes its time reading (a full buffer) is slow, not lost: it is waited for
    // until the deadline.
    WriteResult writeAll(std::string_view data, std::chrono::steady_clock::time_point deadline);
    void markLost();

    // The port is read by one side at a time: the reader thread while no command waits, and the
    // caller of a command while it waits for its answer, so the answer reaches the caller without
    // a hand-over between threads. The caller waits with one blocking read on m_waitPort (or, near
    // its deadline or without it, on its own epoll set). The port stays in the reader thread's
    // epoll set all along, as an entry that fires once and is armed again only when the reader
    // thread reads: taking and giving back the read side costs the caller no system call, and
    // during a run of commands the reader thread is not woken by each answer.
    enum class ReadResult { Data, Nothing, TimedOut, Lost };
    // Reads all the port has (with m_stateMutex held) into the dialogue.
    ReadResult readAvailable(AtDialogue::Output &output);
    void take(const char *bytes, size_t count, AtDialogue::Output &output);
    // One blocking read on m_waitPort (at most kPortReadBound), then into the dialogue; returns
    // with the state lock held.
    ReadResult waitAndRead(AtDialogue::Output &output, std::unique_lock<std::mutex> &stateLock);
    // The caller's wait: until the port has something (read into output), the deadline, or loss.
    ReadResult readAsCaller(std::chrono::steady_clock::time_point deadline,
                            AtDialogue::Output &output);
    // Hands unsolicited codes on, in the order they were read, whichever side read them; the
    // state lock is released on the way.
    void dispatch(std::vector<AtUnsolicited> &codes, std::unique_lock<std::mutex> &stateLock);

    std::string m_path;
    UnsolicitedHandler m_unsolicited;
    LostHandler m_lostHandler;  // guarded by m_stateMutex
    bool m_portFailed = false;  // guarded by m_stateMutex
    UniqueFd m_port;
    UniqueFd m_waitPort;  // the same port, blocking: read only by the caller of a command
    UniqueFd m_wakeRead;
    UniqueFd m_wakeWrite;
    UniqueFd m_callerSet;  // the epoll set a caller waits on for its answer
    UniqueFd m_readerSet;  // the reader thread's epoll set
    std::atomic<bool> m_lost{false};
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_unresponsive{false};

    // One command on the wire: the turn is taken for a whole exchange, waiting for it no longer
    // than the command's own time-out.
    bool takeTurn(std::chrono::steady_clock::time_point deadline);
    void giveTurn();
    std::mutex m_turnMutex;
    std::condition_variable m_turnFree;
    bool m_turnTaken = false;  // guarded by m_turnMutex

    std::mutex m_stateMutex;  // guards everything below
    AtDialogue m_dialogue;
    // Set by a caller for its whole exchange; the reader thread reads the port only while it is
    // clear, and decides so with m_stateMutex held.
    std::atomic<bool> m_callerReads{false};

    std::mutex m_dispatchMutex;  // taken before m_stateMutex is let go: codes keep their order
    std::thread m_reader;
};

}  // namespace lumacore
