// The built-in virtual data card: the simulated card of virtualmodem/, on a pty linked in the
// user's runtime folder, served on its own thread inside our process.
#include "VirtualCard.h"

#include "virtualmodem/VirtualModem.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace lumacore {

namespace {

class PtyVirtualCard final : public VirtualCard {
public:
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
