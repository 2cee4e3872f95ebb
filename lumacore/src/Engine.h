// The running engine: the card's port and AT channel, the event thread, the presence watch, the
// network state and the sink. One exists between _MEC_Startup and _MEC_Shutdown; the exported
// calls reach it through Engine::current().
#pragma once

#include "AtChannel.h"
#include "EventThread.h"
#include "NetworkState.h"
#include "StableAnswers.h"
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
class ToolkitSession;
class VirtualCard;
class VoiceCalls;

// Time-outs and the watch interval; LUMACORE_TIMEOUT_MS and LUMACORE_WATCH_MS override the
// defaults, and tests set them directly.
struct EngineTimings {
    std::chrono::milliseconds command{10000};
    std::chrono::milliseconds statusRead{3000};  // reads the card answers from memory
    std::chrono::milliseconds probe{1500};
    std::chrono::milliseconds send{60000};  // an SMS, a USSD request, a call set-up
    std::chrono::milliseconds networkSearch{180000};
    std::chrono::milliseconds searchRetryPause{3000};  // a card busy registering, asked again
    std::chrono::milliseconds watchInterval{1000};
    // How long the radio may take to report itself on after +CFUN=1 was accepted.
    std::chrono::milliseconds radioSettle{2000};
    // How often registration is read when the card will not report it.
    std::chrono::milliseconds registrationPoll{5000};
    // The longest the engine trusts what it knows of the network without reading it again.
    std::chrono::milliseconds networkMaxAge{60000};
    // A ringing call the card does not list is over once its rings stop for this long.
    std::chrono::milliseconds ringSilence{10000};
    static EngineTimings fromEnvironment();
    // The time-out of one command line: short for status reads, long for a network search.
    std::chrono::milliseconds forCommand(std::string_view commandLine) const;
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
    // The port to dial PPP on: $LUMACORE_DATA_PORT, else the card's modem port (the control
    // port itself on a card with one AT port). Empty while no card was found.
    std::string dataPort() const;
    // Why the last start or reconnection failed ("/dev/ttyUSB2 is in use by ModemManager ...").
    std::string lastError() const;
    // What the card told of its storages while this SIM is in (see StableAnswers).
    std::optional<PhonebookRange> phonebookRange(const std::string &book) const;
    std::optional<int> messageCapacity(const std::string &memory) const;
    bool messageStoragesListed() const;
    // Commands the card refused at start-up; their features degrade.
    bool refusedAtStartup(const std::string &command) const;

    // The window sink of _MEC_RegisterAppHandle.
    void setSink(LumacoreWindowSink *sink);
    void postToSink(uint32_t message, uint32_t wParam, uint32_t lParam);
    // Delivers a message with its data and waits for the program's answer (0 without a sink).
    intptr_t sendToSink(uint32_t message, const void *data, size_t size);
    // The same with a block the program receives as the message's payload (a copy).
    void postToSink(uint32_t message, uint32_t wParam, uint32_t lParam, const void *data,
                    size_t size);

    // A bare AT that reaches even a card counted as unresponsive; 0 for any answer.
    uint16_t probe();

    // Reads +CREG?, +CGREG?, +CEREG? and the operator again; with announce, tells the program
    // what changed (on the event thread), else takes the state as known to the program.
    uint16_t refreshNetwork(bool announce);
    // The network as the program asks for it: read again only when something happened since
    // the last read (the card's own reports keep it current in between).
    uint16_t ensureNetworkFresh();
    // The radio or the SIM changed: the next request reads the network again.
    void networkChanged();
    NetworkState network() const;

    // Registration and SMS reports on (once; later calls send nothing while they stay on), or
    // off. A card that refuses every form of +CREG= is polled instead.
    uint16_t setReports(bool on);
    // The SIM's message store answered once since the SIM became usable; it is not asked again.
    bool storeReady() const;
    void setStoreReady();
    // Asks the SIM's message store (+CPMS?, or +CIMI on a card without it) whether it is ready.
    uint16_t testStore();

    // The SIM took its PIN (or needed none): from now on +CPMS? is polled until it answers.
    void setSimUsable(bool usable);
    void setCheckPaused(bool paused);
    void setDialing(bool dialing);
    // How many rounds the presence watch has finished, paused or not: tests wait for rounds
    // instead of a time.
    uint64_t watchRounds() const { return m_watchRounds.load(); }

    EventThread &events() { return *m_events; }
    ToolkitSession &toolkit() { return *m_toolkit; }
    VoiceCalls &voice() { return *m_voice; }

private:
    uint16_t start();
    void stop();
    uint16_t connect(const std::string &path, bool firstStart);
    uint16_t findAndConnect();
    uint16_t initialiseCard(AtChannel &channel);
    std::shared_ptr<AtChannel> channel() const;
    // 7002 without a port, 7001 while the card counts as unresponsive, else 0: what is known
    // is only given out while the card is there and answering.
    uint16_t channelStatus() const;

    uint16_t readNetwork();
    uint16_t readOperator();
    void announceOrAdopt(bool announce);
    uint16_t setUpReports(AtChannel &channel, std::set<std::string> &refused);
    AtResponse runSetUpCommand(AtChannel &channel, const char *command);
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
    std::unique_ptr<ToolkitSession> m_toolkit;
    std::unique_ptr<VoiceCalls> m_voice;

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
    bool m_reportsOn = false;         // the set-up's reports are on
    bool m_pollRegistration = false;  // the card reports no registration: it is read on a timer
    bool m_chainsRefused = false;     // "AT+COPS=3,0;+COPS?" is refused: one command a line
    bool m_hasEps = false;            // the card took +CEREG
    bool m_networkKnown = false;      // read since the last change of radio, SIM or port
    std::chrono::steady_clock::time_point m_networkReadAt{};
    bool m_storeReady = false;
    bool m_storeCommandMissing = false;  // no +CPMS: +CIMI stands for it
    std::mutex m_refreshMutex;           // one network read at a time
    std::set<std::string> m_knownPorts;  // when probing: ports seen, so only new ones are tried
    StableAnswers m_stable;              // what the card answers alike while the SIM stays
    uint64_t m_stableGeneration = 0;     // counts forgettings: an answer from before is not kept
    void forgetStableAnswers();          // with m_mutex held

    bool m_stopping = false;
    std::condition_variable m_watchWake;
    std::thread m_watch;
    std::atomic<uint64_t> m_watchRounds{0};
};

}  // namespace lumacore
