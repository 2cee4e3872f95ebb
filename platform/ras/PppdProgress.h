// What pppd and chat say, read line by line from pppd's output, and what pppd's exit status
// then means. No process here: PppdBackend feeds it, and tests feed it real pppd and chat lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ras {

class PppdProgress {
public:
    // One line of pppd's output (chat's -v log comes through it too).
    void readLine(std::string_view line);

    // The network interface pppd uses ("ppp0"), once it said so.
    const std::string &interfaceName() const { return m_interface; }
    // IP is up: the connection is usable.
    bool connected() const { return m_connected; }
    // The last command chat sent to the card, and the card's answer that made it give up.
    const std::string &lastCommand() const { return m_lastCommand; }
    const std::string &abortAnswer() const { return m_abortAnswer; }

    // The RAS error for pppd's exit status (0 for an end the user or the peer asked for).
    // hungUp: the program itself stopped pppd.
    uint32_t errorForExit(int exitStatus, bool hungUp) const;

private:
    uint32_t chatError() const;

    std::string m_interface;
    std::string m_lastCommand;
    std::string m_abortAnswer;
    bool m_connected = false;
    bool m_chatTimedOut = false;
    bool m_permissionDenied = false;
    bool m_peersFileMissing = false;
    bool m_peerMustAuthenticate = false;
    bool m_portLocked = false;
};

}  // namespace ras
