// The built-in virtual data card: the simulated card of virtualmodem/, on a pty linked in the
// user's runtime folder, served on its own thread inside our process.
#include "VirtualCard.h"

#include "virtualmodem/VirtualModem.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumacore {

namespace {

// LUMACORE_VIRTUAL_PIN=off gives the built-in card a SIM that does not ask for its PIN.
virtualmodem::CardOptions optionsFromEnvironment()
{
    virtualmodem::CardOptions options;
    const char *pin = std::getenv("LUMACORE_VIRTUAL_PIN");
    if (pin != nullptr && std::string(pin) == "off") {
        options.pinRequired = false;
    }
    return options;
}

class PtyVirtualCard final : public VirtualCard {
public:
    PtyVirtualCard() : m_card(optionsFromEnvironment()) {}

    bool start()
    {
        const char *runtime = std::getenv("XDG_RUNTIME_DIR");
        std::string folder = runtime && *runtime ? runtime : "/tmp";
        m_link = folder + "/lumacore-virtual-card-" + std::to_string(::getpid());
        if (!m_card.start(m_link)) {
            std::fprintf(stderr, "lumacore: virtual card: %s\n", m_card.lastError().c_str());
            return false;
        }
        return true;
    }
    std::string portPath() const override { return m_link; }

private:
    virtualmodem::VirtualModem m_card;
    std::string m_link;
};

}  // namespace

std::unique_ptr<VirtualCard> VirtualCard::start()
{
    auto card = std::make_unique<PtyVirtualCard>();
    if (!card->start())
        return nullptr;
    return card;
}

}  // namespace lumacore
