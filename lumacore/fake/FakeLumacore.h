// The scriptable fake engine: the same C symbols as lumacore.h, driven from a test.
//
// By default every call returns 0 and writes nothing, so out-values stay as the caller zeroed
// them. A test changes that per call with setResult() or, for out-values and anything else, with
// onCall() and a handler of the call's own signature. Every call is logged with its arguments as
// text. Engine events are fired from the fake's own event thread, as the real engine does, and
// the window sink registered with _MEC_RegisterAppHandle can be driven from either thread.
//
// Thread-safe: calls may come from any thread, and callbacks may call back into the fake.
// The script is process-wide: call reset() in every test's set-up and tear-down, so that no
// handler outlives the locals it captured.
//
//   lumacore_fake::reset();
//   lumacore_fake::setResult("_MEC_Echo", MEC_ERR_TIMEOUT);
//   lumacore_fake::onCall(&_MEC_GetCsq, [](uint8_t *csq) -> MEC_STATUS { *csq = 20; return 0; });
//   auto result = lumacore_fake::fireSmsArriveNew(2, 5);   // runs on the event thread
//   lumacore_fake::waitIdle();
//   EXPECT_EQ(lumacore_fake::countOf("_MEC_GetMessage"), 1);
#pragma once

#include "lumacore.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumacore_fake {

// Back to defaults: waits until queued events have run, then forgets results, handlers, the call
// log, the registered callbacks and the registered sink. Call it at the start of every test.
void reset();

// ---- Results and handlers ----------------------------------------------------------------------

// What the named call returns from now on when it has no handler (for _MEC_GetContactCount and
// _MEC_GetCallEntryCount: the count). An unknown name throws std::invalid_argument.
void setResult(std::string_view function, uint16_t result);

namespace detail {
using FunctionKey = void (*)();
void installHandler(FunctionKey function, std::shared_ptr<void> handler);
}  // namespace detail

// Runs `handler` in place of the default for every call of `function` (its return value is the
// call's result). The handler runs on the calling thread, without the fake's lock held, so it may
// call the fake. A later onCall for the same function replaces it. `function` must be one of the
// fake's own calls, else std::invalid_argument.
template <typename Result, typename... Args, typename Handler>
void onCall(Result (*function)(Args...), Handler handler)
{
    auto stored = std::make_shared<std::function<Result(Args...)>>(std::move(handler));
    detail::installHandler(reinterpret_cast<detail::FunctionKey>(function), std::move(stored));
}

// ---- Call log ----------------------------------------------------------------------------------

struct Call {
    std::string name;       // "_MEC_SetPin"
    std::string arguments;  // "\"1234\", null"; records are summarised, pure out-pointers are "out"
    std::string text() const { return name + "(" + arguments + ")"; }
};

std::vector<Call> calls();
std::vector<std::string> callNames();
// The arguments of every call of one function, oldest first.
std::vector<std::string> argumentsOf(std::string_view function);
// How often the named function was called; an unknown name throws std::invalid_argument.
int countOf(std::string_view function);
void clearCalls();

// ---- Engine events -----------------------------------------------------------------------------

// The result of a callback fired on the event thread: the callback's return value, or nullopt when
// no callback was registered at the time the event ran.
using CallbackResult = std::future<std::optional<MEC_STATUS>>;

// Each queues the event on the fake's event thread and returns at once. The callback registered
// at the time the event runs is called.
CallbackResult fireSmsArriveNew(uint8_t storage, uint16_t index);
CallbackResult fireSmsSendReport(uint8_t status, std::string number, std::string time);
CallbackResult fireSmsArriveClass0(std::string number, std::string text);
CallbackResult fireSmsArriveBroadcast(std::string text);
CallbackResult fireCallComing(std::string number);
CallbackResult fireMeStateChanged(uint8_t state);
CallbackResult fireZdonNotify(const _MEC_ZDON_RECORD &record);
CallbackResult fireZpasNotify(std::string serviceText);

// Runs any function on the event thread (to play an engine that calls the program from there).
std::future<void> runOnEventThread(std::function<void()> task);

// Waits until every queued event has run. It does not run the caller's Qt event loop: when an
// event sends to a window of the waiting thread, wait on its future while processing events
// instead. Throws std::logic_error when called from the event thread itself.
void waitIdle();

// Whether the caller is on the fake's event thread.
bool onEventThread();

struct RegisteredCallbacks {
    MEC_SmsArriveNewCallback smsArriveNew = nullptr;
    MEC_SmsSendReportCallback smsSendReport = nullptr;
    MEC_SmsArriveClass0Callback smsArriveClass0 = nullptr;
    MEC_SmsArriveBroadcastCallback smsArriveBroadcast = nullptr;
    MEC_CallComingCallback callComing = nullptr;
    MEC_MeStateChangedCallback meStateChanged = nullptr;
    MEC_ZdonNotifyCallback zdonNotify = nullptr;
    MEC_ZpasNotifyCallback zpasNotify = nullptr;
};
// The callbacks registered so far (a registration whose result was not 0 does not count).
RegisteredCallbacks registeredCallbacks();

// ---- The window sink ---------------------------------------------------------------------------

// The sink of the last successful _MEC_RegisterAppHandle (null after an unregistering call).
LumacoreWindowSink *registeredSink();

// Call the registered sink's post or send from the calling thread; 0 when no sink is registered.
int postToApp(uint32_t message, uint32_t wParam, uint32_t lParam, const void *data = nullptr,
              size_t size = 0);
intptr_t sendToApp(uint32_t message, uint32_t wParam, uint32_t lParam, const void *data = nullptr,
                   size_t size = 0);

// The same from the event thread, as the real engine posts and sends. The data is copied at once.
std::future<int> postToAppFromEventThread(uint32_t message, uint32_t wParam, uint32_t lParam,
                                          const void *data = nullptr, size_t size = 0);
std::future<intptr_t> sendToAppFromEventThread(uint32_t message, uint32_t wParam, uint32_t lParam,
                                               const void *data = nullptr, size_t size = 0);

}  // namespace lumacore_fake
