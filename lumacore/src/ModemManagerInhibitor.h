// Asks ModemManager to let go of the card while the engine uses it (InhibitDevice on the system
// bus). ModemManager keeps the inhibition for as long as our bus connection lives, so this
// object holds the connection until it is destroyed. No system bus, no ModemManager, or a card
// ModemManager does not manage: nothing happens.
#pragma once

#include <memory>
#include <string>

namespace lumacore {

class ModemManagerInhibitor {
public:
    ModemManagerInhibitor();
    ModemManagerInhibitor(const ModemManagerInhibitor &) = delete;
    ModemManagerInhibitor &operator=(const ModemManagerInhibitor &) = delete;
    ~ModemManagerInhibitor();  // lifts the inhibition

    // When ModemManager manages the modem that owns the port (/dev/ttyUSB2), asks it to release
    // the modem and returns true. The modem's ports are free a moment later.
    bool inhibitModemOf(const std::string &portPath);
    // Lifts it again (the port turned out not to be a card we can use).
    void release();
    // Why ModemManager refused, when it did; empty otherwise.
    const std::string &message() const { return m_message; }

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
    std::string m_inhibitedDevice;
    std::string m_message;
};

}  // namespace lumacore
