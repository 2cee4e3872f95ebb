// Engine life, callbacks, the window sink, card presence and operation mode.
#include "Exports.h"

#include "Store.h"

#include <cstdio>

using namespace lumacore;

MEC_STATUS _MEC_Startup(uint8_t /*mode*/, uint16_t /*param1*/, uint16_t /*param2*/)
{
    // The three values tune engines that poll on a timer; this one is driven by the card's own
    // reports and a watch interval of its own, so they are not needed.
    if (!pcStore().isOpen()) {
        if (pcStore().open(Store::defaultPath()) != kStatusOk)
            std::fprintf(stderr, "lumacore: %s\n", pcStore().message().c_str());
    }
    return Engine::startup();
}

MEC_STATUS _MEC_Shutdown(void)
{
    uint16_t status = Engine::shutdown();
    if (status == kStatusOk)
        pcStore().close();
    return status;
}

MEC_STATUS _MEC_GetLastErrorText(char *buffer, uint16_t size)
{
    if (!buffer || size == 0)
        return kStatusError;
    auto engine = Engine::current();
    copyOut(buffer, size, engine ? engine->lastError() : std::string());
    return kStatusOk;
}

MEC_STATUS _MEC_RegisterAppHandle(LumacoreWindowSink *window, uint8_t unregister)
{
    return withEngine([&](Engine &engine) {
        engine.setSink(unregister ? nullptr : window);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetCallBackSmsArriveNew(MEC_SmsArriveNewCallback callback, uint32_t)
{
    callbacks().smsArriveNew = callback;
    return kStatusOk;
}

MEC_STATUS _MEC_SetCallBackSmsSendReportArrive(MEC_SmsSendReportCallback callback, uint32_t)
{
    callbacks().smsSendReport = callback;
    return kStatusOk;
}

MEC_STATUS _MEC_SetCallBackSmsArriveClass0(MEC_SmsArriveClass0Callback callback, uint32_t)
{
    callbacks().smsClass0 = callback;
    return kStatusOk;
}

MEC_STATUS _MEC_SetCallBackSmsArriveBroadcast(MEC_SmsArriveBroadcastCallback callback, uint32_t)
{
    callbacks().smsBroadcast = callback;
    return kStatusOk;
}

MEC_STATUS _MEC_SetCallBackCallCallComing(MEC_CallComingCallback callback, uint32_t)
{
    callbacks().callComing = callback;
    return kStatusOk;
}

MEC_STATUS _MEC_SetCallBackMeStateChanged(MEC_MeStateChangedCallback callback, uint32_t)
{
    callbacks().meStateChanged = callback;
    return kStatusOk;
}

MEC_STATUS _MEC_SetCallBackZdonNotify(MEC_ZdonNotifyCallback callback, uint32_t)
{
    callbacks().zdonNotify = callback;
    return kStatusOk;
}

MEC_STATUS _MEC_SetCallBackZpasNotify(MEC_ZpasNotifyCallback callback, uint32_t)
{
    callbacks().zpasNotify = callback;
    return kStatusOk;
}

MEC_STATUS _MEC_Echo(void)
{
    return withEngine([](Engine &engine) { return engine.run("AT").status; });
}

MEC_STATUS _MEC_ClearEcho(void)
{
    return withEngine([](Engine &engine) { return engine.run("ATE0").status; });
}

MEC_STATUS _MEC_GetOperationMode(uint8_t *mode)
{
    if (!mode)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+CFUN?");
        if (!response.ok())
            return response.status;
        auto line = response.line("+CFUN:");
        auto function = line ? parseCfunQueryResponse(*line) : std::nullopt;
        if (!function)
            return kStatusError;
        // 1 full: on line; 0 minimum: low power; 4 and the other radio-off modes: off line.
        *mode = *function == 1 ? 5 : *function == 0 ? 1 : 6;
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetOperationMode(uint8_t mode)
{
    const char *command = mode == 5   ? "AT+CFUN=1"
                          : mode == 6 ? "AT+CFUN=4"
                          : mode == 1 ? "AT+CFUN=0"
                                      : nullptr;
    if (!command)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        uint16_t status = engine.run(command).status;
        if (status == kStatusOk && mode != 5)
            engine.setSimUsable(false);
        return status;
    });
}

MEC_STATUS _MEC_Poweroff(uint8_t /*mode*/)
{
    // The user's power-off and the one before a suspend are the same for the card.
    return withEngine([](Engine &engine) {
        uint16_t status = engine.run("AT+CFUN=0").status;
        if (status == kStatusOk)
            engine.setSimUsable(false);
        return status;
    });
}

MEC_STATUS _MEC_NetcardStart(void)
{
    return withEngine([](Engine &engine) {
        uint16_t status = engine.run("AT+CREG=2").status;
        if (status != kStatusOk && status != kStatusNoCard && status != kStatusTimeout)
            status = engine.run("AT+CREG=1").status;
        if (status != kStatusOk)
            return status;
        if (engine.run("AT+CGREG=2").status != kStatusOk)
            engine.run("AT+CGREG=1");
        engine.run("AT+CNMI=2,1,2,1,0");
        engine.setSimUsable(true);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_NetcardStop(void)
{
    return withEngine([](Engine &engine) {
        uint16_t status = engine.run("AT+CREG=0").status;
        engine.run("AT+CGREG=0");
        engine.run("AT+CNMI=0,0,0,0,0");
        return status;
    });
}

MEC_STATUS _MEC_disableCheckCard(void)
{
    return withEngine([](Engine &engine) {
        engine.setCheckPaused(true);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_enableCheckCard(void)
{
    return withEngine([](Engine &engine) {
        engine.setCheckPaused(false);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_setIsDialing(uint8_t dialing)
{
    return withEngine([&](Engine &engine) {
        engine.setDialing(dialing != 0);
        return kStatusOk;
    });
}
