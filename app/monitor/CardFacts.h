// What every part of the card monitor reads: the card state and the call and connection states
// as their notices last said. The monitor owns the one copy; its parts hold it read-only.
#pragma once

#include "logic/EngineValues.h"

#include <cstdint>

struct CardFacts {
    uint8_t cardState = kCardAbsent;
    // The call window's state (0 idle ... 16) and the data connection's (0 idle, 1 dialling,
    // 2 cancelling, 3 connected, 4 disconnecting).
    int callState = 0;
    int connectionState = 0;

    // Registered or SIM ready: the network's notices are shown.
    bool simRegistered() const { return cardState == kCardRegistered || cardState == kSimReady; }
    // An outgoing voice call is being set up (alone, beside a held call or a held conference).
    bool voiceCallActive() const { return isCallDialling(static_cast<uint8_t>(callState)); }
    // The data connection is dialling, cancelling or hanging up.
    bool connectionBusy() const
    {
        return connectionState == kConnectionDialling || connectionState == kConnectionCancelling ||
               connectionState == kConnectionDisconnecting;
    }
    bool connected() const { return connectionState == kConnectionConnected; }
};
