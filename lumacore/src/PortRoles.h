// Which of a card's serial ports the engine talks AT on (the control port) and which one PPP
// runs on (the data port). A 3G card shows several serial interfaces on one USB device: a modem
// interface, an AT command interface, and often diagnostics or GPS interfaces that never answer
// AT. The modem interface is the data port and never the control port, unless it is the card's
// only AT port.
//
// Roles come from what the system knows of each port, best first: the port type ModemManager's
// udev rules give it (ID_MM_PORT_TYPE_*), then the interface's own name ("... Modem",
// "... PCUI", "... Diagnostics"). A port nothing is known of
// may speak AT; on a card with no port named the modem, the lowest numbered such port is
// taken as the modem interface, where most cards have it.
#pragma once

#include <string>
#include <vector>

namespace lumacore {

struct PortLayout {
    std::string sysfsRoot = "/sys";
    std::string udevData = "/run/udev/data";
    std::string deviceFolder = "/dev";
};

// The ports to try AT on, card after card, best first. A card's modem port is among them only
// when the card has no other port that may speak AT.
std::vector<std::string> controlPortCandidates(const PortLayout &layout = {});

// The data port of the card whose control port is given (a /dev path, links followed): its
// modem port, or the control port itself on a card with one AT port. Empty when the port is
// not a USB serial port the system knows.
std::string dataPortFor(const std::string &controlPort, const PortLayout &layout = {});

}  // namespace lumacore
