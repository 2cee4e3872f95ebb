// Finding the card's data port in sysfs. A 3G card shows several serial interfaces on one USB
// device: the engine talks AT on the control port, and PPP runs on the card's modem interface,
// which is the other serial interface of the same USB device with the lowest interface number
// (for a CDC ACM card, the other ACM function).
#pragma once

#include <string>

namespace ras {

struct DataPortLookup {
    std::string sysfsRoot = "/sys";
    std::string deviceFolder = "/dev";
};

// The data port for the given control port (a path, links followed). With no control port,
// the first USB device that has at least two serial interfaces is taken as the card. Empty
// when there is none.
std::string findDataPort(const std::string &controlPort, const DataPortLookup &lookup = {});

// The product name the card gives over USB, for the data port; empty when sysfs has none.
std::string cardProductName(const std::string &dataPort, const DataPortLookup &lookup = {});

}  // namespace ras
