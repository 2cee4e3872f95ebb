// Calls whose feature is not built yet: each answers 7004 ("not supported yet"), and the
// counting call answers a count of 0, as when the count cannot be read.
#include "Exports.h"

using namespace lumacore;

MEC_STATUS _MEC_GetNetworkSelectMode(uint8_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetNetworkSelectMode(uint8_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_GetBandSelectMode(uint8_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetNetworkSelectMode_Telstra(uint8_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_GetOperaterList(_MEC_OPERATOR_INFO **, uint32_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetOperator(_MEC_OPERATOR_SELECT) { return kStatusNotSupported; }

MEC_STATUS _MEC_GetCallForwardSet(uint32_t, _MEC_CALL_FORWARD_ANSWER *)
{
    return kStatusNotSupported;
}

MEC_STATUS _MEC_SetCallForwardCmd(_MEC_CALL_FORWARD_REQUEST, _MEC_CALL_FORWARD_ANSWER *)
{
    return kStatusNotSupported;
}

MEC_STATUS _MEC_GetCallBarringCmd(const char *, uint32_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetCallBarringCmd(_MEC_CALL_BARRING_REQUEST, uint32_t *)
{
    return kStatusNotSupported;
}

MEC_STATUS _MEC_GetCallerListMode(uint32_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_CallerModeSetCmd(uint32_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_GetCallWaiting(uint32_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetCallWaiting(uint32_t) { return kStatusNotSupported; }

