// The card's name in sysfs, for its data port. Which port is the data port the engine decides.
#pragma once

#include <string>

namespace ras {

struct DataPortLookup {
    std::string sysfsRoot = "/sys";
    std::string deviceFolder = "/dev";
};

// The product name the card gives over USB, for the data port; empty when sysfs has none.
std::string cardProductName(const std::string &dataPort, const DataPortLookup &lookup = {});

}  // namespace ras
