// Calls whose feature is not built yet: each answers 7004 ("not supported yet"), and the
// counting call answers a count of 0, as when the count cannot be read.
#include "Exports.h"

using namespace lumacore;

MEC_STATUS _MEC_SendUssdRequest(const char *, uint32_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_SendUssdCancel(void) { return kStatusNotSupported; }

MEC_STATUS _MEC_Dial(const char *, uint8_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_ATDAbort(void) { return kStatusNotSupported; }

MEC_STATUS _MEC_Answer(uint8_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_Hangup(void) { return kStatusNotSupported; }

MEC_STATUS _MEC_SendCHLDCommand(uint32_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_SendCLCCCmd(_MEC_CLCC_LIST *) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetDTMF(char) { return kStatusNotSupported; }

MEC_STATUS _MEC_GetEmergencyCall(_MEC_EMERGENCY_LIST *) { return kStatusNotSupported; }

MEC_STATUS _MEC_CheckEarPhone(uint8_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_ReadEarPhoneVol(uint8_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetEarphoneVol(uint8_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetMicrophoneVol(uint8_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetMicMute(uint8_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_GetMicMuteState(void) { return kStatusNotSupported; }
