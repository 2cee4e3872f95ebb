// Signal and network status read on demand.
#include "Exports.h"

using namespace lumacore;

MEC_STATUS _MEC_GetCsq(uint8_t *csq)
{
    if (!csq)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+CSQ");
        if (!response.ok())
            return response.status;
        auto line = response.line("+CSQ:");
        auto quality = line ? parseCsqResponse(*line) : std::nullopt;
        if (!quality)
            return kStatusError;
        *csq = static_cast<uint8_t>(quality->rssi);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_GetNetworkPara(_MEC_NETWORK_PARA *para)
{
    if (!para)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        uint16_t status = engine.ensureNetworkFresh();
        if (status != kStatusOk)
            return status;
        *para = engine.network().networkPara();
        return kStatusOk;
    });
}

MEC_STATUS _MEC_GetZdonPara(_MEC_ZDON_PARA *para)
{
    if (!para)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        uint16_t status = engine.ensureNetworkFresh();
        if (status != kStatusOk)
            return status;
        *para = engine.network().operatorPara();
        return kStatusOk;
    });
}
