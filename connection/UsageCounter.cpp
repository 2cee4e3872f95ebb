#include "UsageCounter.h"

#include "lumacore.h"

void UsageCounter::start(const std::string &identity, uint32_t tick)
{
    *this = UsageCounter();
    m_identity = identity.substr(0, 63);
    m_lastWriteTick = tick;
}

void UsageCounter::sample(uint32_t tick, const QDate &day, bool roaming, uint64_t totalSent,
                          uint64_t totalReceived)
{
    if (!running() || !day.isValid())
        return;
    // The traffic up to the previous sample belongs to the previous sample's day and network.
    if (m_haveSample && (day != m_day || roaming != m_roaming))
        write();
    if (!m_haveSample) {
        // What a run before this one counted is the store's to know; this run shows what it saw.
        m_writtenSent = totalSent;
        m_writtenReceived = totalReceived;
    }
    m_haveSample = true;
    m_day = day;
    m_roaming = roaming;
    m_sent = totalSent;
    m_received = totalReceived;
    if (tick - m_lastWriteTick >= kWriteIntervalMs) {
        write();
        m_lastWriteTick = tick;
    }
}

void UsageCounter::write()
{
    if (!running() || !m_haveSample)
        return;
    const uint32_t day = UsageDayNumber(m_day);
    const uint16_t status =
        _MEC_AddUsage(m_identity.c_str(), day, m_roaming ? 1 : 0, m_sent, m_received);
    m_lastError = status;
    // A failed write is tried again: the store still holds the totals before it.
    if (status == MEC_OK) {
        m_writtenSent = m_sent;
        m_writtenReceived = m_received;
    }
}

void UsageCounter::end()
{
    if (!running())
        return;
    write();
    if (m_lastError == MEC_OK)
        (void)_MEC_EndUsage(m_identity.c_str());  // a row left behind ages out of the store
    m_identity.clear();
    m_haveSample = false;
}

UsageAmount UsageCounter::unwritten() const
{
    if (!m_haveSample)
        return {};
    return {m_sent >= m_writtenSent ? m_sent - m_writtenSent : m_sent,
            m_received >= m_writtenReceived ? m_received - m_writtenReceived : m_received};
}

std::string ConnectionIdentity(const std::string &layerIdentity, const std::string &entryName,
                               qint64 upSinceMsecsSinceEpoch)
{
    std::string identity = !layerIdentity.empty()
                               ? layerIdentity
                               : entryName.substr(0, 40) + "@" +
                                     std::to_string(upSinceMsecsSinceEpoch);
    return identity.substr(0, 63);
}
