#include "platform/ras/PppdProgress.h"

#include "platform/ras/RasApi.h"

namespace ras {

namespace {

bool contains(std::string_view line, std::string_view part) { return line.find(part) != line.npos; }

// The text between the first '(' after `after` and the last ')'.
std::string bracketed(std::string_view line, std::string_view after)
{
    const size_t start = line.find(after);
    const size_t open = line.find('(', start);
    const size_t close = line.rfind(')');
    if (start == line.npos || open == line.npos || close == line.npos || close < open)
        return {};
    return std::string(line.substr(open + 1, close - open - 1));
}

// chat shows a carriage return as ^M.
std::string withoutCarriageReturn(std::string text)
{
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "^M") == 0)
        text.resize(text.size() - 2);
    return text;
}

}  // namespace

void PppdProgress::readLine(std::string_view line)
{
    if (const size_t at = line.find("Using interface "); at != line.npos) {
        m_interface = std::string(line.substr(at + 16));
        while (!m_interface.empty() && (m_interface.back() == '\r' || m_interface.back() == ' '))
            m_interface.pop_back();
    } else if (contains(line, "local  IP address") || contains(line, "local LL address")) {
        m_connected = true;
    } else if (contains(line, "send (")) {
        m_lastCommand = withoutCarriageReturn(bracketed(line, "send ("));
    } else if (contains(line, "abort on (")) {
        m_abortAnswer = bracketed(line, "abort on (");
    } else if (contains(line, "alarm") || contains(line, "Failed (")) {
        m_chatTimedOut = true;
    } else if (contains(line, "Permission denied") || contains(line, "must be root") ||
               contains(line, "not permitted")) {
        m_permissionDenied = true;
    } else if (contains(line, "/etc/ppp/peers/") && contains(line, "No such file")) {
        m_peersFileMissing = true;
    } else if (contains(line, "required to authenticate itself")) {
        m_peerMustAuthenticate = true;
    } else if (contains(line, "is locked by pid") || contains(line, "Device or resource busy")) {
        m_portLocked = true;
    }
}

uint32_t PppdProgress::chatError() const
{
    if (m_abortAnswer == "NO CARRIER")
        return kNoCarrier;
    if (m_abortAnswer == "BUSY")
        return kLineBusy;
    if (m_abortAnswer == "NO ANSWER" || m_abortAnswer == "NO DIALTONE")
        return kNoAnswer;
    if (m_abortAnswer == "ERROR")
        return m_lastCommand.rfind("AT+CGDCONT", 0) == 0 ? kFromDevice : kNoCarrier;
    if (m_chatTimedOut)
        return kNoAnswer;
    return kDialerFailed;
}

uint32_t PppdProgress::errorForExit(int exitStatus, bool hungUp) const
{
    switch (exitStatus) {
    case 0: return kSuccess;
    case 5:  // ended by a signal: ours when we hung up
        return hungUp ? kSuccess : kPortDisconnected;
    case 1:
        if (m_peerMustAuthenticate)
            return kPeerMustAuthenticate;
        return m_permissionDenied ? kAccessDenied : kDialerFailed;
    case 2:
        if (m_peersFileMissing || m_peerMustAuthenticate)
            return kPeerMustAuthenticate;
        return m_permissionDenied ? kAccessDenied : kInvalidParameter;
    case 3: return kAccessDenied;
    case 4: return kNotSupported;
    case 6: return kPortNotAvailable;
    case 7:
        return m_permissionDenied ? kAccessDenied
                                  : (m_portLocked ? kPortNotAvailable : kDeviceNotFound);
    case 8: return chatError();
    case 10:
    case 17: return kNegotiationFailed;
    case 11: return kPeerMustAuthenticate;
    case 15: return kPeerNotResponding;
    case 16: return kPortDisconnected;
    case 19: return kAuthenticationFailure;
    default: return kDialerFailed;
    }
}

}  // namespace ras
