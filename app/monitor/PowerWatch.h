// The card monitor's answer to the system's power events: a suspend is refused while a call, a
// data connection, a USSD session or a long operation runs or the user forbade standby; a
// suspend takes the card down at once, and a resume lets the engine watch for it again.
#pragma once

#include "CardFacts.h"

#include <cstdint>
#include <functional>
#include <memory>

class CardView;
class PowerEvents;

class PowerWatch {
public:
    // cardGone: applies card state 1 (the card is powered off for the suspend).
    PowerWatch(const CardView &view, const CardFacts &facts, std::function<void()> cardGone);
    ~PowerWatch();
    PowerWatch(const PowerWatch &) = delete;
    PowerWatch &operator=(const PowerWatch &) = delete;

    // The answer to a refused suspend query.
    static constexpr intptr_t kPowerDeny = 0x424D5144;
    // Reacts to a power event (wParam of the power broadcast); the answer to a suspend query
    // is 1 (allow) or kPowerDeny.
    intptr_t powerEvent(uint32_t event);
    // Starts following the system's sleep and wake-up (nothing happens without a system bus).
    void watch();
    // Whether a suspend would be refused now.
    bool wouldDenySuspend() const;
    // Holds or lets go the system's sleep inhibitor as wouldDenySuspend() says.
    void update();

private:
    const CardView &m_view;
    const CardFacts &m_facts;
    std::function<void()> m_cardGone;
    std::unique_ptr<PowerEvents> m_events;
};
