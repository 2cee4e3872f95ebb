// Engine life, callbacks, the window sink, card presence and operation mode.
#include "Exports.h"

#include "Store.h"

#include <chrono>
#include <cstdio>
#include <thread>

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
    // A PC store that cannot be used is what the person has to act on first.
    std::string text = pcStore().problem();
    if (text.empty()) {
        auto engine = Engine::current();
        text = engine ? engine->lastError() : std::string();
    }
    copyOut(buffer, size, text);
    return kStatusOk;
}

MEC_STATUS _MEC_GetDataPort(char *buffer, uint16_t size)
{
    if (!buffer || size == 0)
        return kStatusError;
    auto engine = Engine::current();
    copyOut(buffer, size, engine ? engine->dataPort() : std::string());
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

namespace {

// +CFUN=1 accepted is not yet a radio that is on: a radio switch keeps it off, and a slow radio
// takes a moment. The card is asked until the radio says it is on, for a bounded time; a radio
// that stays off is reported as refused (7003), so the program does not take it for on line.
uint16_t waitForRadio(Engine &engine)
{
    auto deadline = std::chrono::steady_clock::now() + engine.timings().radioSettle;
    while (true) {
        AtResponse response = engine.run("AT+CFUN?");
        if (response.status == kStatusTimeout || response.status == kStatusNoCard)
            return response.status;
        auto line = response.line("+CFUN:");
        auto function = line && response.ok() ? parseCfunQueryResponse(*line) : std::nullopt;
        if (!function || *function == 1)
            return kStatusOk;  // on, or a card that cannot tell: its OK stands
        auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return kStatusError;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(250)));
    }
}

}  // namespace

MEC_STATUS _MEC_Echo(void)
{
    // Whether a card answers: ERROR to a bare AT is an answer too.
    return withEngine([](Engine &engine) {
        uint16_t status = engine.run("AT").status;
        return status == kStatusTimeout || status == kStatusNoCard ? status : kStatusOk;
    });
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
        if (status != kStatusOk)
            return status;
        engine.networkChanged();
        if (mode != 5) {
            engine.setSimUsable(false);
            return status;
        }
        return waitForRadio(engine);
    });
}

MEC_STATUS _MEC_Poweroff(uint8_t /*mode*/)
{
    // The user's power-off and the one before a suspend are the same for the card.
    return withEngine([](Engine &engine) {
        uint16_t status = engine.run("AT+CFUN=0").status;
        if (status == kStatusOk) {
            engine.setSimUsable(false);
            engine.networkChanged();
        }
        return status;
    });
}

MEC_STATUS _MEC_NetcardStart(void)
{
    // The reports were switched on when the card was set up; they are sent again only after
    // _MEC_NetcardStop. A card that refuses them is polled instead: not a failure.
    return withEngine([](Engine &engine) {
        uint16_t status = engine.setReports(true);
        if (status != kStatusOk)
            return status;
        engine.setSimUsable(true);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_NetcardStop(void)
{
    return withEngine([](Engine &engine) { return engine.setReports(false); });
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
