#include "platform/ras/DataPort.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace ras {

std::string cardProductName(const std::string &dataPort, const DataPortLookup &lookup)
{
    const std::string tty = fs::path(dataPort).filename().string();
    std::error_code error;
    const fs::path device =
        fs::canonical(fs::path(lookup.sysfsRoot) / "class" / "tty" / tty / "device", error);
    if (error)
        return {};
    // A usb-serial port is a child of its interface, a CDC ACM tty's device is the interface;
    // the interface's parent is the USB device.
    const fs::path interface = device.filename() == tty ? device.parent_path() : device;
    std::ifstream in(interface.parent_path() / "product");
    std::string name;
    std::getline(in, name);
    return name;
}

}  // namespace ras
