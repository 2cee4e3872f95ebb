// Built without the virtual data card: LUMACORE_PORT=virtual finds no card.
#include "VirtualCard.h"

namespace lumacore {

std::unique_ptr<VirtualCard> VirtualCard::start() { return nullptr; }

}  // namespace lumacore
