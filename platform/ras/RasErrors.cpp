// Plain sentences for the dial-up error numbers.
#include "platform/ras/RasApi.h"

namespace ras {

std::string rasErrorText(uint32_t error)
{
    switch (error) {
    case kAccessDenied:
        return "pppd may not be run by this user, or the card's data port may not be opened. "
               "Add the user to the groups \"dip\" and \"dialout\" once, then log in again.";
    case kNoRuntimeFolder:
        return "XDG_RUNTIME_DIR is not set, or does not name a folder that only this user may "
               "write to. The connection's files, which hold the password, are kept there. Log in "
               "through the desktop's login manager, or set XDG_RUNTIME_DIR to such a folder.";
    case kInvalidHandle: return "The connection has already ended.";
    case kNotSupported:
        return "This computer's kernel has no PPP support (no /dev/ppp), so it cannot make a "
               "dial-up connection.";
    case kInvalidParameter:
        return "A field of the connection profile holds characters that cannot be dialled.";
    case kInvalidName: return "The name of the connection profile cannot be used.";
    case kAlreadyExists: return "A connection with this name exists already.";
    case kEntryNotFound: return "The connection profile to dial was not found.";
    case kPortDisconnected: return "The card hung up the connection.";
    case kPortNotAvailable: return "The card's data port is in use by another program.";
    case kFromDevice: return "Wrong APN: the card refused the access point name of the profile.";
    case kLineBusy: return "The modem is busy.";
    case kNoAnswer: return "The card did not answer the dial.";
    case kNoCarrier:
        return "No carrier: the network did not take the data call. The APN may be wrong, or "
               "the SIM may have no data service.";
    case kAuthenticationFailure:
        return "Authentication refused: the network did not accept the user name or password.";
    case kDialerMissing: return "pppd is not installed (Debian package \"ppp\").";
    case kNegotiationFailed: return "The network did not complete the PPP connection.";
    case kPeerNotResponding: return "The connection stopped answering and was closed.";
    case kDeviceNotFound: return "The card's data port was not found or could not be opened.";
    case kPeerMustAuthenticate:
        return "pppd on this system requires the network to authenticate itself, which mobile "
               "networks never do. Install the file /etc/ppp/peers/lumadial once, as the "
               "program's README shows.";
    case kDialerFailed: return "pppd ended with an error.";
    default: return {};
    }
}

std::string RasApi::errorString(uint32_t error) const { return rasErrorText(error); }

}  // namespace ras
