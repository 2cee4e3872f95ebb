// The fake's C symbols: every call of lumacore.h, each logged and answered by the script
// (FakeLumacore.cpp). The registrations also remember what they registered.
#include "FakeDispatch.h"

#include <array>

using lumacore_fake::RegisteredCallbacks;
using lumacore_fake::detail::dispatch;

// The calls with no behaviour of their own: (result type, name, parameters, argument names).
#define LUMACORE_FAKE_PLAIN_CALLS(X)                                                              \
    X(MEC_STATUS, _MEC_Startup, (uint8_t mode, uint16_t param1, uint16_t param2),                 \
      (mode, param1, param2))                                                                     \
    X(MEC_STATUS, _MEC_Shutdown, (void), ())                                                      \
    X(MEC_STATUS, _MEC_GetLastErrorText, (char *buffer, uint16_t size), (buffer, size))           \
    X(MEC_STATUS, _MEC_GetDataPort, (char *buffer, uint16_t size), (buffer, size))                \
    X(MEC_STATUS, _MEC_GetControlPort, (char *buffer, uint16_t size), (buffer, size))             \
    X(MEC_STATUS, _MEC_SendCardCommand, (const char *command), (command))                         \
    /* card presence and operation mode */                                                        \
    X(MEC_STATUS, _MEC_Echo, (void), ())                                                          \
    X(MEC_STATUS, _MEC_ClearEcho, (void), ())                                                     \
    X(MEC_STATUS, _MEC_GetOperationMode, (uint8_t * mode), (mode))                                \
    X(MEC_STATUS, _MEC_SetOperationMode, (uint8_t mode), (mode))                                  \
    X(MEC_STATUS, _MEC_Poweroff, (uint8_t mode), (mode))                                          \
    X(MEC_STATUS, _MEC_NetcardStart, (void), ())                                                  \
    X(MEC_STATUS, _MEC_NetcardStop, (void), ())                                                   \
    X(MEC_STATUS, _MEC_disableCheckCard, (void), ())                                              \
    X(MEC_STATUS, _MEC_enableCheckCard, (void), ())                                               \
    X(MEC_STATUS, _MEC_setIsDialing, (uint8_t dialing), (dialing))                                \
    /* signal, network status, SIM readiness, packet-data parameters */                           \
    X(MEC_STATUS, _MEC_GetCsq, (uint8_t * csq), (csq))                                            \
    X(MEC_STATUS, _MEC_GetNetworkPara, (_MEC_NETWORK_PARA * para), (para))                        \
    X(MEC_STATUS, _MEC_GetZdonPara, (_MEC_ZDON_PARA * para), (para))                              \
    X(MEC_STATUS, _MEC_TestSimState, (void), ())                                                  \
    X(MEC_STATUS, _MEC_GetSIMCardOperator, (char *imsi), (imsi))                                  \
    X(MEC_STATUS, _MEC_SetModemPara, (const char *pdpType, const char *apn, const char *address), \
      (pdpType, apn, address))                                                                    \
    X(MEC_STATUS, _SIMOperate,                                                                    \
      (uint8_t command, uint16_t fileId, uint8_t p1, uint8_t p2, uint8_t p3, char *response,      \
       uint32_t responseSize),                                                                    \
      (command, fileId, p1, p2, p3, response, responseSize))                                      \
    /* versions and identity */                                                                   \
    X(MEC_STATUS, _MEC_QueryImei, (char *imei), (imei))                                           \
    X(MEC_STATUS, _MEC_GetSoftwareVersion, (char *software, char *internalVersion),               \
      (software, internalVersion))                                                                \
    X(MEC_STATUS, _MEC_GetBoardVersion, (char *board), (board))                                   \
    /* PIN */                                                                                     \
    X(MEC_STATUS, _MEC_GetPinState, (uint8_t * state), (state))                                   \
    X(MEC_STATUS, _MEC_SetPin, (const char *pinOrPuk, const char *newPin), (pinOrPuk, newPin))    \
    X(MEC_STATUS, _MEC_QueryPINLeftTimes, (uint8_t * pinAttempts, uint8_t * pukAttempts),         \
      (pinAttempts, pukAttempts))                                                                 \
    X(MEC_STATUS, _MEC_IfPinEnable, (uint8_t * enabled), (enabled))                               \
    X(MEC_STATUS, _MEC_SetPinEnable, (uint8_t enable, const char *pin), (enable, pin))            \
    X(MEC_STATUS, _MEC_ChangePinPasswd, (const char *oldPin, const char *newPin),                 \
      (oldPin, newPin))                                                                           \
    /* the PC store as a whole */                                                                 \
    X(MEC_STATUS, _MEC_BackUpDBToFile, (const char *path), (path))                                \
    X(MEC_STATUS, _MEC_LoadDBFromFile, (const char *path), (path))                                \
    X(MEC_STATUS, _MEC_BeginStoreBatch, (void), ())                                               \
    X(MEC_STATUS, _MEC_EndStoreBatch, (void), ())                                                 \
    /* network selection */                                                                       \
    X(MEC_STATUS, _MEC_GetNetworkSelectMode, (uint8_t * mode), (mode))                            \
    X(MEC_STATUS, _MEC_SetNetworkSelectMode, (uint8_t mode), (mode))                              \
    X(MEC_STATUS, _MEC_GetBandSelectMode, (uint8_t * band), (band))                               \
    X(MEC_STATUS, _MEC_SetNetworkSelectMode_Telstra, (uint8_t band), (band))                      \
    X(MEC_STATUS, _MEC_GetOperaterList, (_MEC_OPERATOR_INFO * *records, uint32_t * count),        \
      (records, count))                                                                           \
    X(MEC_STATUS, _MEC_SetOperator, (_MEC_OPERATOR_SELECT selection), (selection))                \
    X(MEC_STATUS, _MEC_GetNetworkSelectModes, (uint32_t * modes), (modes))                        \
    /* supplementary services */                                                                  \
    X(MEC_STATUS, _MEC_GetCallForwardSet, (uint32_t reason, _MEC_CALL_FORWARD_ANSWER * answer),   \
      (reason, answer))                                                                           \
    X(MEC_STATUS, _MEC_SetCallForwardCmd,                                                         \
      (_MEC_CALL_FORWARD_REQUEST request, _MEC_CALL_FORWARD_ANSWER * answer), (request, answer))  \
    X(MEC_STATUS, _MEC_GetCallBarringCmd, (const char *facility, uint32_t *status),               \
      (facility, status))                                                                         \
    X(MEC_STATUS, _MEC_SetCallBarringCmd, (_MEC_CALL_BARRING_REQUEST request, uint32_t * status), \
      (request, status))                                                                          \
    X(MEC_STATUS, _MEC_GetCallerListMode, (uint32_t * mode), (mode))                              \
    X(MEC_STATUS, _MEC_CallerModeSetCmd, (uint32_t mode), (mode))                                 \
    X(MEC_STATUS, _MEC_GetCallWaiting, (uint32_t * state), (state))                               \
    X(MEC_STATUS, _MEC_SetCallWaiting, (uint32_t state), (state))                                 \
    /* SMS */                                                                                     \
    X(MEC_STATUS, _MEC_LoadMessages, (uint8_t storage), (storage))                                \
    X(MEC_STATUS, _MEC_GetFirstMessage, (uint8_t filter, _MEC_SMS_RECORD * record),               \
      (filter, record))                                                                           \
    X(MEC_STATUS, _MEC_GetNextMessage, (_MEC_SMS_RECORD * record), (record))                      \
    X(MEC_STATUS, _MEC_GetMessage, (uint16_t index, _MEC_SMS_RECORD * record), (index, record))   \
    X(MEC_STATUS, _MEC_SaveMessage, (_MEC_SMS_RECORD * record), (record))                         \
    X(MEC_STATUS, _MEC_SendMessage, (const _MEC_SMS_RECORD *record), (record))                    \
    X(MEC_STATUS, _MEC_DeleteMessage, (uint16_t index, uint8_t storage), (index, storage))        \
    X(MEC_STATUS, _MEC_SetMessageStatus, (uint16_t index, uint8_t read, uint8_t storage),         \
      (index, read, storage))                                                                     \
    X(MEC_STATUS, _MEC_GetFieldSizes, (_MEC_FIELD_SIZES * sizes), (sizes))                        \
    /* SMS settings */                                                                            \
    X(MEC_STATUS, _MEC_InitSmsSet, (void), ())                                                    \
    X(MEC_STATUS, _MEC_GetSmsCenter, (char *center), (center))                                    \
    X(MEC_STATUS, _MEC_SetSmsCenter, (const char *center), (center))                              \
    X(MEC_STATUS, _MEC_GetSmsSaveLocation, (uint32_t * storage), (storage))                       \
    X(MEC_STATUS, _MEC_SetSmsSaveLocation, (uint32_t storage), (storage))                         \
    X(MEC_STATUS, _MEC_SetSmsConfig, (SmsConfigBlock config), (config))                           \
    /* USSD */                                                                                    \
    X(MEC_STATUS, _MEC_SendUssdRequest, (const char *text, uint32_t length), (text, length))      \
    X(MEC_STATUS, _MEC_SendUssdCancel, (void), ())                                                \
    /* SIM toolkit */                                                                             \
    X(MEC_STATUS, _MEC_SetStkMainMenu, (void), ())                                                \
    X(MEC_STATUS, _MEC_SelectStkMainMenu, (uint32_t itemId), (itemId))                            \
    X(MEC_STATUS, _MEC_SelectStkSubMenu, (uint32_t itemId), (itemId))                             \
    X(MEC_STATUS, _MEC_SetStkMenuBack, (uint8_t back), (back))                                    \
    X(MEC_STATUS, _MEC_StkConfirmDisplayText, (void), ())                                         \
    X(MEC_STATUS, _MEC_StkInputText, (uint32_t kind, const char *text), (kind, text))             \
    /* contacts and groups */                                                                     \
    X(MEC_STATUS, _MEC_LoadContacts, (uint8_t storage), (storage))                                \
    X(uint16_t, _MEC_GetContactCount, (uint8_t storage), (storage))                               \
    X(MEC_STATUS, _MEC_GetFirstContact, (_MEC_CONTACT_RECORD * record), (record))                 \
    X(MEC_STATUS, _MEC_GetNextContact, (_MEC_CONTACT_RECORD * record), (record))                  \
    X(MEC_STATUS, _MEC_NewContact, (_MEC_CONTACT_RECORD * record), (record))                      \
    X(MEC_STATUS, _MEC_SetContact, (uint32_t index, const _MEC_CONTACT_RECORD *record),           \
      (index, record))                                                                            \
    X(MEC_STATUS, _MEC_DeleteContact, (uint32_t index, uint8_t storage), (index, storage))        \
    X(MEC_STATUS, _MEC_LoadGroup, (uint8_t storage), (storage))                                   \
    X(MEC_STATUS, _MEC_GetFirstGroup, (_MEC_GROUP_RECORD * group), (group))                       \
    X(MEC_STATUS, _MEC_GetNextGroup, (_MEC_GROUP_RECORD * group), (group))                        \
    X(MEC_STATUS, _MEC_SaveGroup, (const _MEC_GROUP_RECORD *group), (group))                      \
    X(MEC_STATUS, _MEC_SetGroup, (const _MEC_GROUP_RECORD *group), (group))                       \
    X(MEC_STATUS, _MEC_DeleteGroup, (int32_t groupId, uint8_t storage), (groupId, storage))       \
    /* voice calls */                                                                             \
    X(MEC_STATUS, _MEC_Dial, (const char *number, uint8_t *result), (number, result))             \
    X(MEC_STATUS, _MEC_ATDAbort, (void), ())                                                      \
    X(MEC_STATUS, _MEC_Answer, (uint8_t * result), (result))                                      \
    X(MEC_STATUS, _MEC_Hangup, (void), ())                                                        \
    X(MEC_STATUS, _MEC_SendCHLDCommand, (uint32_t value), (value))                                \
    X(MEC_STATUS, _MEC_SendCLCCCmd, (_MEC_CLCC_LIST * list), (list))                              \
    X(MEC_STATUS, _MEC_SetDTMF, (char tone), (tone))                                              \
    X(MEC_STATUS, _MEC_GetEmergencyCall, (_MEC_EMERGENCY_LIST * list), (list))                    \
    /* audio */                                                                                   \
    X(MEC_STATUS, _MEC_CheckEarPhone, (uint8_t * present), (present))                             \
    X(MEC_STATUS, _MEC_ReadEarPhoneVol, (uint8_t * level), (level))                               \
    X(MEC_STATUS, _MEC_SetEarphoneVol, (uint8_t level), (level))                                  \
    X(MEC_STATUS, _MEC_SetMicrophoneVol, (uint8_t level), (level))                                \
    X(MEC_STATUS, _MEC_SetMicMute, (uint8_t mute), (mute))                                        \
    X(MEC_STATUS, _MEC_GetMicMuteState, (void), ())                                               \
    /* call records and the connection log */                                                     \
    X(uint16_t, _MEC_GetCallEntryCount, (uint8_t kind, uint8_t storage), (kind, storage))         \
    X(MEC_STATUS, _MEC_GetFirstCallEntry, (uint8_t kind, CallEntry * entry), (kind, entry))       \
    X(MEC_STATUS, _MEC_GetNextCallEntry, (CallEntry * entry), (entry))                            \
    X(MEC_STATUS, _MEC_SaveCallEntry, (CallEntry * entry), (entry))                               \
    X(MEC_STATUS, _MEC_DeleteCallEntry, (uint32_t index, uint8_t storage), (index, storage))      \
    X(MEC_STATUS, _MEC_ClearCallEntries, (uint8_t kind, uint8_t storage), (kind, storage))      \
    /* data use */                                                                                \
    X(MEC_STATUS, _MEC_AddUsage,                                                                  \
      (const char *connection, uint32_t day, uint8_t roaming, uint64_t totalSent,                 \
       uint64_t totalReceived),                                                                   \
      (connection, day, roaming, totalSent, totalReceived))                                       \
    X(MEC_STATUS, _MEC_EndUsage, (const char *connection), (connection))                          \
    X(MEC_STATUS, _MEC_GetUsageDays,                                                              \
      (uint32_t firstDay, uint32_t lastDay, _MEC_USAGE_DAY * rows, uint32_t capacity,             \
       uint32_t * count),                                                                         \
      (firstDay, lastDay, rows, capacity, count))                                                 \
    X(MEC_STATUS, _MEC_ClearUsage, (void), ())

// The registrations: (name, callback type, member of RegisteredCallbacks).
#define LUMACORE_FAKE_REGISTRATIONS(X)                                                        \
    X(_MEC_SetCallBackSmsArriveNew, MEC_SmsArriveNewCallback, smsArriveNew)                   \
    X(_MEC_SetCallBackSmsSendReportArrive, MEC_SmsSendReportCallback, smsSendReport)          \
    X(_MEC_SetCallBackSmsArriveClass0, MEC_SmsArriveClass0Callback, smsArriveClass0)          \
    X(_MEC_SetCallBackSmsArriveBroadcast, MEC_SmsArriveBroadcastCallback, smsArriveBroadcast) \
    X(_MEC_SetCallBackCallCallComing, MEC_CallComingCallback, callComing)                     \
    X(_MEC_SetCallBackMeStateChanged, MEC_MeStateChangedCallback, meStateChanged)             \
    X(_MEC_SetCallBackZdonNotify, MEC_ZdonNotifyCallback, zdonNotify)                         \
    X(_MEC_SetCallBackZpasNotify, MEC_ZpasNotifyCallback, zpasNotify)

// `(a, b)` becomes `, a, b` and `()` nothing, so the argument list can follow the function.
#define LUMACORE_FAKE_TRAILING_ARGS(...) __VA_OPT__(, ) __VA_ARGS__

#define LUMACORE_FAKE_DEFINE_PLAIN(Result, name, parameters, arguments) \
    Result name parameters { return dispatch(#name, &name LUMACORE_FAKE_TRAILING_ARGS arguments); }

#define LUMACORE_FAKE_DEFINE_REGISTRATION(name, Callback, member)                             \
    MEC_STATUS name(Callback callback, uint32_t reserved)                                     \
    {                                                                                         \
        const MEC_STATUS status = dispatch(#name, &name, callback, reserved);                 \
        if (status == MEC_OK)                                                                 \
            lumacore_fake::detail::storeCallbacks(                                            \
                [callback](RegisteredCallbacks &callbacks) { callbacks.member = callback; }); \
        return status;                                                                        \
    }

extern "C" {

LUMACORE_FAKE_PLAIN_CALLS(LUMACORE_FAKE_DEFINE_PLAIN)
LUMACORE_FAKE_REGISTRATIONS(LUMACORE_FAKE_DEFINE_REGISTRATION)

// A successful registration keeps the sink; an unregistering one forgets it.
MEC_STATUS _MEC_RegisterAppHandle(LumacoreWindowSink *window, uint8_t unregister)
{
    const MEC_STATUS status =
        dispatch("_MEC_RegisterAppHandle", &_MEC_RegisterAppHandle, window, unregister);
    if (status == MEC_OK)
        lumacore_fake::detail::storeSink(unregister ? nullptr : window);
    return status;
}

}  // extern "C"

namespace lumacore_fake::detail {

#define LUMACORE_FAKE_ENTRY(name) FunctionEntry{#name, reinterpret_cast<FunctionKey>(&name)},
#define LUMACORE_FAKE_PLAIN_ENTRY(Result, name, parameters, arguments) LUMACORE_FAKE_ENTRY(name)
#define LUMACORE_FAKE_REGISTRATION_ENTRY(name, Callback, member) LUMACORE_FAKE_ENTRY(name)

std::span<const FunctionEntry> functionTable()
{
    static const FunctionEntry table[] = {LUMACORE_FAKE_PLAIN_CALLS(
        LUMACORE_FAKE_PLAIN_ENTRY) LUMACORE_FAKE_REGISTRATIONS(LUMACORE_FAKE_REGISTRATION_ENTRY)
                                              LUMACORE_FAKE_ENTRY(_MEC_RegisterAppHandle)};
    return table;
}

}  // namespace lumacore_fake::detail
