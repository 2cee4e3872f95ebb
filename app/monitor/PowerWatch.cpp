#include "PowerWatch.h"

#include "CardView.h"
#include "PowerEvents.h"

#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"

#include "lumacore.h"

PowerWatch::PowerWatch(const CardView &view, const CardFacts &facts, std::function<void()> cardGone)
    : m_view(view), m_facts(facts), m_cardGone(std::move(cardGone))
{
}

PowerWatch::~PowerWatch() = default;

bool PowerWatch::wouldDenySuspend() const
{
    return m_facts.callState != 0 || m_facts.connectionState != 0 ||
           (BusinessLogic() != nullptr && UssdIsBusy()) || m_view.isBusy() ||
           FileStore().allConfig().forbidStandby != 0;
}

void PowerWatch::update()
{
    if (m_events)
        m_events->setSuspendDenied(wouldDenySuspend());
}

void PowerWatch::watch()
{
    if (m_events)
        return;
    m_events = std::make_unique<PowerEvents>([this](uint32_t event) { powerEvent(event); });
    if (!m_events->start()) {
        m_events.reset();
        return;
    }
    update();
}

intptr_t PowerWatch::powerEvent(uint32_t event)
{
    switch (event) {
    case PowerEvents::kQuerySuspend: return wouldDenySuspend() ? kPowerDeny : 1;
    case PowerEvents::kSuspend:
        // The machine sleeps whatever the card answers; it is started afresh on resume.
        (void)_MEC_disableCheckCard();
        (void)_MEC_Poweroff(0);
        m_cardGone();
        return 1;
    case PowerEvents::kQuerySuspendFailed:
    case PowerEvents::kResumeCritical:
    case PowerEvents::kResumeSuspend:
    case PowerEvents::kResumeAutomatic:
        // Watching for the card only starts a poll; a card that is gone is found by it.
        (void)_MEC_enableCheckCard();
        return 1;
    default: return 1;
    }
}
