// What the program needs to carry a call's sound itself: the card's control port, beside which
// a card's voice port is found, and the card's own command that starts or stops that port.
#include "Exports.h"

#include <cctype>

using namespace lumacore;

namespace {

// A card-specific command from the user's settings: one AT command line, printable ASCII, so
// nothing in it ends the line and starts another.
bool cardCommandAcceptable(const char *command)
{
    if (!command)
        return false;
    const std::string_view text(command);
    if (text.size() < 3 || text.size() > 80)
        return false;
    if (std::toupper(static_cast<unsigned char>(text[0])) != 'A' ||
        std::toupper(static_cast<unsigned char>(text[1])) != 'T')
        return false;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code > 0x7E)
            return false;
    }
    return true;
}

}  // namespace

MEC_STATUS _MEC_GetControlPort(char *buffer, uint16_t size)
{
    if (!buffer || size == 0)
        return kStatusError;
    auto engine = Engine::current();
    copyOut(buffer, size, engine ? engine->portPath() : std::string());
    return kStatusOk;
}

MEC_STATUS _MEC_SendCardCommand(const char *command)
{
    if (!cardCommandAcceptable(command))
        return kStatusError;
    return withEngine([&](Engine &engine) { return engine.run(command).status; });
}
