// The running engine: the card's port and AT channel, the event thread, the presence watch, the
// network state and the sink. One exists between _MEC_Startup and _MEC_Shutdown; the exported
// calls reach it through Engine::current().
#pragma once

#include "AtChannel.h"
#include "EventThread.h"
#include "NetworkState.h"
#include "lumacore.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace lumacore {

class ModemManagerInhibitor;
class VirtualCard;

// Time-outs and the watch interval; LUMACORE_TIMEOUT_MS and LUMACORE_WATCH_MS override the
// defaults, and tests set them directly.
struct EngineTimings {
    std::chrono::milliseconds command{10000};
    std::chrono::milliseconds probe{1500};
    std::chrono::milliseconds networkSearch{180000};
    std::chrono::milliseconds watchInterval{1000};
    static EngineTimings fromEnvironment();
};

// The program's callbacks; registrations may come before or after the start.
struct Callbacks {
    std::atomic<MEC_SmsArriveNewCallback> smsArriveNew{nullptr};
    std::atomic<MEC_SmsSendReportCallback> smsSendReport{nullptr};
    std::atomic<MEC_SmsArriveClass0Callback> smsClass0{nullptr};
    std::atomic<MEC_SmsArriveBroadcastCallback> smsBroadcast{nullptr};
    std::atomic<MEC_CallComingCallback> callComing{nullptr};
    std::atomic<MEC_MeStateChangedCallback> meStateChanged{nullptr};
    std::atomic<MEC_ZdonNotifyCallback> zdonNotify{nullptr};
    std::atomic<MEC_ZpasNotifyCallback> zpasNotify{nullptr};
};
Callbacks &callbacks();

// Timings for the next start; tests shorten them.
void setEngineTimings(const EngineTimings &timings);
EngineTimings engineTimings();

class Engine {
public:
    explicit Engine(EngineTimings timings);
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;
    ~Engine();

    // The engine now running, or null.
    static std::shared_ptr<Engine> current();
    // Creates and starts the engine (status of finding the card), or 4002-like reuse: a second
    // start while one runs keeps the running one and answers whether its card is there.
    static uint16_t startup();
    // Stops and forgets the running engine.
    static uint16_t shutdown();

    const EngineTimings &timings() const { return m_timings; }

    // One AT command on the card; 7002 when there is no card.
    AtResponse run(std::string_view command);
    AtResponse run(std::string_view command, std::chrono::milliseconds timeout);
    AtResponse runWithPdu(std::string_view command, std::string_view pdu);
    bool cardPresent() const;
    std::string portPath() const;
    // Why the last start or reconnection failed ("/dev/ttyUSB2 is in use by ModemManager ...").
    std::string lastError() const;
    // Commands the card refused at start-up; their features degrade.
    bool refusedAtStartup(const std::string &command) const;

    // The window sink of _MEC_RegisterAppHandle.
    void setSink(LumacoreWindowSink *sink);
    void postToSink(uint32_t message, uint32_t wParam, uint32_t lParam);

    // Reads +CREG?, +CGREG? and the operator again; with announce, tells the program what
    // changed (on the event thread), else takes the state as known to the program.
    uint16_t refreshNetwork(bool announce);
    NetworkState network() const;

    // The SIM took its PIN (or needed none): from now on +CPMS? is polled until it answers.
    void setSimUsable(bool usable);
    void setCheckPaused(bool paused);
    void setDialing(bool dialing);

    EventThread &events() { return *m_events; }

private:
    uint16_t start();
    void stop();
    uint16_t connect(const std::string &path, bool firstStart);
    uint16_t findAndConnect();
    uint16_t initialiseCard(AtChannel &channel);
    std::shared_ptr<AtChannel> channel() const;

    void onUnsolicited(const AtUnsolicited &code);
    void onPortLost(const std::shared_ptr<AtChannel> &lost);
    void watchLoop();
    void watchTick();
    void pollSimReady();
    void fireMeState(uint8_t state);
    void fireNetworkChanges();

    EngineTimings m_timings;
    std::unique_ptr<EventThread> m_events;
    std::unique_ptr<ModemManagerInhibitor> m_modemManager;
    std::unique_ptr<VirtualCard> m_virtualCard;

    mutable std::mutex m_mutex;    // guards the fields below
    std::string m_configuredPort;  // LUMACORE_PORT: a path, "virtual", or empty to probe
    std::string m_portPath;        // the port in use or last used
    std::shared_ptr<AtChannel> m_channel;
    bool m_cardAnswers = false;
    std::string m_lastError;
    std::set<std::string> m_refused;
    LumacoreWindowSink *m_sink = nullptr;
    NetworkState m_network;
    std::string m_firedServiceText;
    std::optional<_MEC_ZDON_RECORD> m_firedOperator;
    uint8_t m_firedMeState = 0;
    bool m_simUsable = false;
    bool m_simReadyPosted = false;
    bool m_checkPaused = false;
    bool m_pausedSinceLastTick = false;
    bool m_dialing = false;
    std::set<std::string> m_knownPorts;  // when probing: ports seen, so only new ones are tried

    bool m_stopping = false;
    std::condition_variable m_watchWake;
    std::thread m_watch;
};

}  // namespace lumacore
