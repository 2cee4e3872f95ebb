#include "platform/ras/DataPort.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

namespace fs = std::filesystem;

namespace ras {

namespace {

struct SerialInterface {
    std::string tty;     // ttyUSB0
    fs::path interface;  // .../1-1:1.0
    fs::path usbDevice;  // .../1-1
    int interfaceNumber = 0;
};

std::string firstLine(const fs::path &file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool serialName(const std::string &name)
{
    return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0;
}

// Where a tty sits: a usb-serial port is a child of its interface, a CDC ACM tty's device is
// the interface itself.
bool locate(const fs::path &classFolder, const std::string &tty, SerialInterface &where)
{
    std::error_code error;
    const fs::path device = fs::canonical(classFolder / tty / "device", error);
    if (error)
        return false;
    where.tty = tty;
    where.interface = device.filename() == tty ? device.parent_path() : device;
    where.usbDevice = where.interface.parent_path();
    const std::string number = firstLine(where.interface / "bInterfaceNumber");
    try {
        where.interfaceNumber = number.empty() ? 0 : std::stoi(number, nullptr, 16);
    } catch (...) {
        where.interfaceNumber = 0;
    }
    // Without the attribute, the interface's own name ends in its number ("1-1:1.2").
    if (number.empty()) {
        const std::string name = where.interface.filename().string();
        const size_t dot = name.rfind('.');
        if (dot != name.npos)
            where.interfaceNumber = std::atoi(name.c_str() + dot + 1);
    }
    return true;
}

std::vector<SerialInterface> serialInterfaces(const DataPortLookup &lookup)
{
    std::vector<SerialInterface> found;
    const fs::path classFolder = fs::path(lookup.sysfsRoot) / "class" / "tty";
    std::error_code error;
    for (const auto &item : fs::directory_iterator(classFolder, error)) {
        const std::string name = item.path().filename().string();
        SerialInterface where;
        if (serialName(name) && locate(classFolder, name, where))
            found.push_back(where);
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        return std::tie(a.usbDevice, a.interfaceNumber, a.tty) <
               std::tie(b.usbDevice, b.interfaceNumber, b.tty);
    });
    return found;
}

}  // namespace

std::string findDataPort(const std::string &controlPort, const DataPortLookup &lookup)
{
    const auto interfaces = serialInterfaces(lookup);
    std::string controlTty;
    if (!controlPort.empty()) {
        std::error_code error;
        fs::path real = fs::canonical(controlPort, error);
        controlTty = (error ? fs::path(controlPort) : real).filename().string();
    }
    const SerialInterface *control = nullptr;
    for (const auto &candidate : interfaces)
        if (candidate.tty == controlTty)
            control = &candidate;
    if (!controlTty.empty() && !control)
        return {};
    std::map<fs::path, int> portsPerDevice;
    for (const auto &candidate : interfaces)
        ++portsPerDevice[candidate.usbDevice];
    for (const auto &candidate : interfaces) {
        const bool sameCard = control ? candidate.usbDevice == control->usbDevice
                                      : portsPerDevice[candidate.usbDevice] >= 2;
        if (sameCard && candidate.tty != controlTty)
            return (fs::path(lookup.deviceFolder) / candidate.tty).string();
    }
    return {};
}

std::string cardProductName(const std::string &dataPort, const DataPortLookup &lookup)
{
    SerialInterface where;
    if (!locate(fs::path(lookup.sysfsRoot) / "class" / "tty", fs::path(dataPort).filename(), where))
        return {};
    return firstLine(where.usbDevice / "product");
}

}  // namespace ras
