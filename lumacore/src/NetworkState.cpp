#include "NetworkState.h"

#include "SimText.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace lumacore {

namespace {

bool isRegistered(int stat) { return stat == 1 || stat == 5; }

}  // namespace

void copyField(char *field, size_t size, const std::string &text)
{
    if (size == 0)
        return;
    std::memset(field, 0, size);
    // Cut at a character boundary of the system code page.
    std::mbstate_t state{};
    size_t used = 0;
    while (used < text.size()) {
        size_t length = std::mbrlen(text.data() + used, text.size() - used, &state);
        if (length == 0 || length == static_cast<size_t>(-1) || length == static_cast<size_t>(-2))
            length = 1;
        if (used + length > size - 1)
            break;
        used += length;
    }
    std::memcpy(field, text.data(), used);
}

void NetworkState::setCircuitSwitched(const Registration &registration)
{
    bool moved = !m_haveCs || registration.stat != m_cs.stat ||
                 (!registration.lac.empty() && registration.lac != m_cs.lac);
    m_cs = registration;
    m_haveCs = true;
    if (moved)
        m_operatorStale = true;
}

void NetworkState::setPacketSwitched(const Registration &registration)
{
    bool moved = !m_havePs || isRegistered(registration.stat) != isRegistered(m_ps.stat);
    m_ps = registration;
    m_havePs = true;
    if (moved && !circuitRegistered())
        m_operatorStale = true;
}

void NetworkState::setEvolvedPacket(const Registration &registration)
{
    bool moved = !m_haveEps || isRegistered(registration.stat) != isRegistered(m_eps.stat);
    m_eps = registration;
    m_haveEps = true;
    if (moved && !circuitRegistered())
        m_operatorStale = true;
}

void NetworkState::setOperator(const OperatorQuery &query)
{
    if (query.format == 2)
        m_operatorNumeric = query.name;
    else
        m_operatorName = query.name;
    if (query.accessTechnology >= 0)
        m_operatorTechnology = query.accessTechnology;
    m_operatorStale = false;
}

void NetworkState::clear() { *this = NetworkState(); }

bool NetworkState::circuitRegistered() const { return m_haveCs && isRegistered(m_cs.stat); }

bool NetworkState::packetRegistered() const
{
    return (m_havePs && isRegistered(m_ps.stat)) || evolvedRegistered();
}

bool NetworkState::evolvedRegistered() const { return m_haveEps && isRegistered(m_eps.stat); }

std::optional<Registration> NetworkState::circuitSwitched() const
{
    return m_haveCs ? std::optional(m_cs) : std::nullopt;
}

std::optional<Registration> NetworkState::packetSwitched() const
{
    return m_havePs ? std::optional(m_ps) : std::nullopt;
}

std::optional<Registration> NetworkState::evolvedPacket() const
{
    return m_haveEps ? std::optional(m_eps) : std::nullopt;
}

int NetworkState::accessTechnology() const
{
    if (evolvedRegistered())
        return m_eps.accessTechnology >= 0 ? m_eps.accessTechnology : 7;
    if (m_havePs && isRegistered(m_ps.stat) && m_ps.accessTechnology >= 0)
        return m_ps.accessTechnology;
    if (circuitRegistered() && m_cs.accessTechnology >= 0)
        return m_cs.accessTechnology;
    return m_operatorTechnology;
}

std::string NetworkState::serviceText() const
{
    if (registered())
        return networkTypeText(accessTechnology(), packetRegistered());
    if ((m_haveCs && m_cs.stat == 3) || (m_havePs && m_ps.stat == 3) ||
        (m_haveEps && m_eps.stat == 3))
        return "Limited Service";
    return "No Service";
}

std::string NetworkState::networkType() const
{
    if (!registered())
        return "NO SERVICE";
    return networkTypeText(accessTechnology(), packetRegistered());
}

uint8_t NetworkState::domainCode() const
{
    if (circuitRegistered() && packetRegistered())
        return 2;
    if (circuitRegistered())
        return 0;
    if (packetRegistered())
        return 1;
    return 3;
}

std::string NetworkState::domainText() const
{
    switch (domainCode()) {
    case 0: return "CS_ONLY";
    case 1: return "PS_ONLY";
    case 2: return "CS_PS";
    default: return {};
    }
}

std::string NetworkState::roamingText() const
{
    if (!registered())
        return {};
    bool roaming = (circuitRegistered() && m_cs.stat == 5) || (m_havePs && m_ps.stat == 5) ||
                   (evolvedRegistered() && m_eps.stat == 5);
    return roaming ? "ROAM_ON" : "ROAM_OFF";
}

_MEC_ZDON_RECORD NetworkState::operatorRecord() const
{
    _MEC_ZDON_RECORD record{};
    if (registered()) {
        std::string name = m_operatorName.empty() ? m_operatorNumeric : m_operatorName;
        copyField(record.operatorName, sizeof record.operatorName, utf8ToSystem(name));
    }
    copyField(record.serviceDomain, sizeof record.serviceDomain, domainText());
    copyField(record.roaming, sizeof record.roaming, roamingText());
    return record;
}

_MEC_ZDON_PARA NetworkState::operatorPara() const
{
    _MEC_ZDON_PARA para{};
    _MEC_ZDON_RECORD record = operatorRecord();
    std::memcpy(para.operatorName, record.operatorName, sizeof para.operatorName);
    std::memcpy(para.serviceDomain, record.serviceDomain, sizeof para.serviceDomain);
    copyField(para.networkType, sizeof para.networkType, networkType());
    if (registered())
        copyField(para.numericId, sizeof para.numericId, m_operatorNumeric);
    std::memcpy(para.roaming, record.roaming, sizeof para.roaming);
    return para;
}

_MEC_NETWORK_PARA NetworkState::networkPara() const
{
    _MEC_NETWORK_PARA para{};
    copyField(para.networkType, sizeof para.networkType, networkType());
    para.serviceDomain = domainCode();
    return para;
}

}  // namespace lumacore
