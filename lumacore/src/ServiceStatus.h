// What a supplementary-service command's status means to the program: the card and the SIM
// speak for themselves, everything else the card or the network answered is a refusal.
#pragma once

#include "Status.h"

#include <cstdint>

namespace lumacore {

// The command reached the card, so an ERROR, a wrong barring password or any +CME ERROR (no
// network service 30, network time-out 31, not allowed 3, the 25x network rejections) means the
// service was not given: 7. No answer, no card and a SIM that is missing, blocked or waiting for
// its PIN stay what they are.
constexpr uint16_t serviceStatus(uint16_t status)
{
    switch (status) {
    case kStatusOk:
    case kStatusTimeout:
    case kStatusNoCard:
    case kStatusSimBlocked:
    case kStatusNoSim:
    case kStatusCmeBase + 11:  // SIM PIN required
        return status;
    default: return kStatusServiceRefused;
    }
}

}  // namespace lumacore
