// What the engine knows of the network from +CREG, +CGREG and +COPS, and the texts and records
// the program is told: the service text, the operator record, the network status.
#pragma once

#include "AtParsers.h"
#include "lumacore.h"

#include <optional>
#include <string>

namespace lumacore {

class NetworkState {
public:
    void setCircuitSwitched(const Registration &registration);
    void setPacketSwitched(const Registration &registration);
    // +CEREG: LTE. A card attached on LTE alone counts as packet-switched and registered.
    void setEvolvedPacket(const Registration &registration);
    void setOperator(const OperatorQuery &query);
    void clear();

    bool circuitRegistered() const;
    bool packetRegistered() const;  // GPRS/UMTS or LTE
    bool evolvedRegistered() const;
    // The registrations as last known; nullopt for a domain never heard of.
    std::optional<Registration> circuitSwitched() const;
    std::optional<Registration> packetSwitched() const;
    std::optional<Registration> evolvedPacket() const;
    bool registered() const { return circuitRegistered() || packetRegistered(); }
    // Registered, but the operator's name is not known yet (or the cell changed).
    bool operatorStale() const { return m_operatorStale; }

    // "No Service", "Limited Service", or the network type text (GSM ... LTE).
    std::string serviceText() const;
    // GSM, GPRS, EDGE, UMTS, HSDPA, HSUPA, HSPA, LTE; "NO SERVICE" when not registered.
    std::string networkType() const;
    // 0 circuit-switched, 1 packet-switched, 2 both, 3 neither.
    uint8_t domainCode() const;
    std::string domainText() const;   // "CS_ONLY", "PS_ONLY", "CS_PS" or empty
    std::string roamingText() const;  // "ROAM_ON", "ROAM_OFF" or empty when not registered

    _MEC_ZDON_RECORD operatorRecord() const;
    _MEC_ZDON_PARA operatorPara() const;
    _MEC_NETWORK_PARA networkPara() const;

private:
    int accessTechnology() const;

    Registration m_cs;
    Registration m_ps;
    Registration m_eps;
    bool m_haveCs = false;
    bool m_havePs = false;
    bool m_haveEps = false;
    std::string m_operatorName;  // UTF-8
    std::string m_operatorNumeric;
    int m_operatorTechnology = -1;
    bool m_operatorStale = true;
};

// Copies text into a fixed field: at most size - 1 bytes, never half a UTF-8 or multibyte
// character of the system code page, NUL-terminated.
void copyField(char *field, size_t size, const std::string &text);

}  // namespace lumacore
