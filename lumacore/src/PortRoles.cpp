#include "PortRoles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

namespace fs = std::filesystem;

namespace lumacore {

namespace {

enum class Role { Modem, Control, Unknown, NoAt };

struct SerialPort {
    std::string tty;     // ttyUSB0
    fs::path usbDevice;  // .../1-1
    int interfaceNumber = 0;
    Role role = Role::Unknown;
};

std::string firstLine(const fs::path &file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

int hexNumber(const std::string &text, int otherwise)
{
    try {
        return text.empty() ? otherwise : std::stoi(text, nullptr, 16);
    } catch (...) {
        return otherwise;
    }
}

std::string lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool containsAny(const std::string &text, std::initializer_list<const char *> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](const char *word) { return text.find(word) != text.npos; });
}

// The port type ModemManager's udev rules gave the port, from the udev database.
Role udevRole(const PortLayout &layout, const fs::path &ttyFolder)
{
    const std::string numbers = firstLine(ttyFolder / "dev");  // "188:0"
    if (numbers.empty())
        return Role::Unknown;
    std::ifstream in(fs::path(layout.udevData) / ("c" + numbers));
    Role role = Role::Unknown;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("E:ID_MM_PORT_", 0) != 0 || line.substr(line.size() - 2) != "=1")
            continue;
        const std::string name = line.substr(2, line.size() - 4);
        if (name == "ID_MM_PORT_TYPE_AT_PPP")
            return Role::Modem;
        if (name == "ID_MM_PORT_TYPE_AT_PRIMARY" || name == "ID_MM_PORT_TYPE_AT_SECONDARY")
            role = Role::Control;
        else if (role == Role::Unknown)
            role = Role::NoAt;  // QCDM, GPS, audio, or a port to ignore
    }
    return role;
}

Role interfaceRole(const fs::path &interface)
{
    const std::string name = lower(firstLine(interface / "interface"));
    if (containsAny(name, {"pcui", "application", "control", "at port", "at interface"}))
        return Role::Control;
    if (containsAny(name, {"diag", "nmea", "gps", "qcdm", "trace", "debug"}))
        return Role::NoAt;
    if (name.find("modem") != name.npos)
        return Role::Modem;
    return Role::Unknown;
}

bool serialName(const std::string &name)
{
    return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0;
}

std::vector<SerialPort> serialPorts(const PortLayout &layout)
{
    std::vector<SerialPort> found;
    const fs::path classFolder = fs::path(layout.sysfsRoot) / "class" / "tty";
    std::error_code error;
    for (const auto &item : fs::directory_iterator(classFolder, error)) {
        const std::string tty = item.path().filename().string();
        if (!serialName(tty))
            continue;
        std::error_code broken;
        const fs::path device = fs::canonical(classFolder / tty / "device", broken);
        if (broken)
            continue;
        // A usb-serial port is a child of its interface; a CDC ACM tty's device is the interface.
        const fs::path interface = device.filename() == tty ? device.parent_path() : device;
        SerialPort port;
        port.tty = tty;
        port.usbDevice = interface.parent_path();
        port.interfaceNumber = hexNumber(firstLine(interface / "bInterfaceNumber"), -1);
        if (port.interfaceNumber < 0) {
            // Without the attribute, the interface's own name ends in its number ("1-1:1.2").
            const std::string name = interface.filename().string();
            const size_t dot = name.rfind('.');
            port.interfaceNumber = dot == name.npos ? 0 : std::atoi(name.c_str() + dot + 1);
        }
        port.role = udevRole(layout, classFolder / tty);
        if (port.role == Role::Unknown)
            port.role = interfaceRole(interface);
        found.push_back(port);
    }
    std::sort(found.begin(), found.end(), [](const SerialPort &a, const SerialPort &b) {
        return std::tie(a.usbDevice, a.interfaceNumber, a.tty) <
               std::tie(b.usbDevice, b.interfaceNumber, b.tty);
    });
    return found;
}

struct CardRoles {
    const SerialPort *modem = nullptr;
    std::vector<const SerialPort *> controls;  // best first
};

// The roles on one card, its ports in interface order.
CardRoles decide(const std::vector<const SerialPort *> &ports)
{
    CardRoles roles;
    for (const SerialPort *port : ports)
        if (port->role == Role::Modem && !roles.modem)
            roles.modem = port;
    for (const SerialPort *port : ports)
        if (port->role == Role::Unknown && !roles.modem)
            roles.modem = port;
    for (Role wanted : {Role::Control, Role::Unknown})
        for (const SerialPort *port : ports)
            if (port->role == wanted && port != roles.modem)
                roles.controls.push_back(port);
    if (roles.controls.empty() && roles.modem)
        roles.controls.push_back(roles.modem);  // the card's one AT port does both
    return roles;
}

std::map<fs::path, std::vector<const SerialPort *>> byCard(const std::vector<SerialPort> &ports)
{
    std::map<fs::path, std::vector<const SerialPort *>> cards;
    for (const SerialPort &port : ports)
        cards[port.usbDevice].push_back(&port);
    return cards;
}

}  // namespace

std::vector<std::string> controlPortCandidates(const PortLayout &layout)
{
    const auto ports = serialPorts(layout);
    std::vector<std::string> candidates;
    for (const auto &[card, cardPorts] : byCard(ports))
        for (const SerialPort *port : decide(cardPorts).controls)
            candidates.push_back((fs::path(layout.deviceFolder) / port->tty).string());
    return candidates;
}

std::string dataPortFor(const std::string &controlPort, const PortLayout &layout)
{
    std::error_code error;
    const fs::path real = fs::canonical(controlPort, error);
    const std::string tty = (error ? fs::path(controlPort) : real).filename().string();
    const auto ports = serialPorts(layout);
    for (const auto &[card, cardPorts] : byCard(ports)) {
        const bool ours = std::any_of(cardPorts.begin(), cardPorts.end(),
                                      [&](const SerialPort *port) { return port->tty == tty; });
        if (!ours)
            continue;
        const CardRoles roles = decide(cardPorts);
        const SerialPort *data = roles.modem && roles.modem->tty != tty ? roles.modem : nullptr;
        // The control port was not the one chosen (named by the user): any other AT port.
        for (const SerialPort *port : roles.controls)
            if (!data && port->tty != tty)
                data = port;
        return (fs::path(layout.deviceFolder) / (data ? data->tty : tty)).string();
    }
    return {};
}

}  // namespace lumacore
