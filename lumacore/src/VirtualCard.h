// The built-in virtual data card (LUMACORE_PORT=virtual): a simulated card on a pseudo-terminal,
// run inside the engine's process, for a machine with no card.
#pragma once

#include <memory>
#include <string>

namespace lumacore {

class VirtualCard {
public:
    // Starts the card; null when it cannot be started.
    static std::unique_ptr<VirtualCard> start();
    virtual ~VirtualCard() = default;
    // The terminal side of the pty, to open as the control port.
    virtual std::string portPath() const = 0;
};

}  // namespace lumacore
