// The virtual data card: a simulated 3G USB modem with its SIM and network, speaking 3GPP AT on a
// pseudo-terminal of its own, served on a thread of its own.
//
//     virtualmodem::VirtualModem card;
//     card.start("/tmp/card");       // the terminal, linked at /tmp/card
//     open("/tmp/card", ...);        // talk AT to it
//     card.setNetwork(virtualmodem::Coverage::Roaming);
//     card.removeCard();             // the terminal hangs up, the link goes
//     card.insertCard();             // a new terminal at the same link
//
// Every control may be called from any thread.
#pragma once

#include "virtualmodem/ModemState.h"
#include "virtualmodem/Sms.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace virtualmodem {

class DataPort;
class VoicePort;
class Modem;
class PtyDevice;

struct CardOptions {
    std::string pin = "1234";
    std::string puk = "12345678";
    bool pinRequired = true;
    // How long the SIM's message storage stays busy after the SIM became usable.
    std::chrono::milliseconds simBusyTime{1500};
    // How long a network scan (+COPS=?) takes.
    std::chrono::milliseconds networkScanTime{1000};
    // The SIM's IMSI (MCC, MNC, subscriber number); empty keeps the card's own.
    std::string imsi;
};

class VirtualModem {
public:
    VirtualModem();
    explicit VirtualModem(const CardOptions &options);
    VirtualModem(const VirtualModem &) = delete;
    VirtualModem &operator=(const VirtualModem &) = delete;
    ~VirtualModem();

    // Powers the card up on a new pseudo-terminal, linked at linkPath when it is not empty.
    // False, with lastError() saying why, when the terminal or the link cannot be made.
    bool start(const std::string &linkPath = {});
    // Unplugs the card for good.
    void stop();
    bool isRunning() const;
    // The path to open: the link when there is one, else the terminal itself. Empty while the
    // card is out.
    std::string devicePath() const;
    std::string lastError() const;

    // Network and signal.
    bool setSignal(int rssi);  // 0-31, or 99 for unknown
    void setNetwork(Coverage coverage);

    // The card: removing it hangs up the terminal and removes the link, as unplugging a USB
    // card does; inserting it makes a new terminal at the same link and powers the card up.
    bool removeCard();
    bool insertCard();
    bool cardInserted() const;

    // The SIM: removing it makes the card report no SIM; inserting it starts a new SIM session.
    void removeSim();
    void insertSim();
    // Whether the SIM asks for its PIN at its next power-up (the +CLCK="SC" setting).
    void setPinRequired(bool required);

    // Misbehaviour, for testing the engine's tolerance.
    void setGarbage(bool on);
    void setSilent(bool on);
    void setNoEcho(bool on);
    void setSlowAnswers(std::chrono::milliseconds delay);
    // Commands ("+CPMS", "+CMEE") the card answers with ERROR as if it lacked them.
    void setMissingCommands(const std::set<std::string> &names);
    // Commands the card swallows without answering at all.
    void setMutedCommands(const std::set<std::string> &names);
    // Firmware behaviours (see Quirk), each on or off.
    void setQuirk(Quirk quirk, bool on);
    // The card stops reading its terminal for this long from now, as a card whose buffer is
    // full: writes to it block.
    void stallReading(std::chrono::milliseconds time);
    // A card whose +CSCS offers no UCS2.
    void setNoUcs2(bool on);

    // Phonebooks ("SM", "ME"): an entry put there as a phone would have written it (false when
    // the memory, index or name length is wrong), or a memory emptied.
    bool setPhonebookEntry(const std::string &memory, int index, const PhonebookEntry &entry);
    void clearPhonebook(const std::string &memory);

    // Short messages from the network: stored (+CMTI) or shown directly (+CMT); empty, or why
    // not ("storage full"). A cell-broadcast page on a channel.
    std::string deliverSms(const IncomingSms &message);
    std::string deliverBroadcast(uint16_t channel, const std::string &text);
    // Sends to the number fail with +CMS ERROR while on.
    void setSmsFailing(const std::string &number, bool failing);
    void setSmsReportDelay(std::chrono::milliseconds delay);
    // A storage ("SM", "ME") filled with count received messages, or emptied.
    bool fillMessages(const std::string &storage, int count);
    void clearMessages(const std::string &storage);
    bool setMessageCapacity(const std::string &storage, int capacity);
    void setSimBusyTime(std::chrono::milliseconds time);
    void setNetworkScanTime(std::chrono::milliseconds time);
    // How long the network takes to answer a USSD request (slow: the slow service's answer).
    void setUssdDelay(bool slow, std::chrono::milliseconds time);

    // One line of the control language the control socket speaks ("signal 12", "card remove",
    // "quirk silent on"); the answer is "OK" or "ERROR <reason>".
    std::string control(const std::string &line);
    // The "call ..." lines of the control language: the far end of voice calls.
    std::string controlCalls(const std::vector<std::string> &args);
    // Changes the card's state in place (the network's services, operators, quirks), as a
    // control verb does.
    void editState(const std::function<void(ModemState &)> &edit);

    // The data port: the card's second terminal, linked beside the control port's link with
    // "-data" appended. Empty while the card is out.
    std::string dataPortPath() const;
    // The data call: dropped by the network (NO CARRIER), refused, or answered late.
    void dropDataCall();
    void setDataCallsRefused(bool refused);
    void setDataAnswerDelay(std::chrono::milliseconds delay);
    // The data port's stream: this many bytes each 100 ms while on line (1600 unless set).
    void setDataStreamBytesPerTick(size_t bytes);
    bool dataCallOnline() const;

    // The voice port: the card's third terminal, linked beside the control port's link with
    // "-voice" appended; a connected call's sound as 8 kHz 16-bit PCM once ^VPCM=1 started it.
    std::string voicePortPath() const;

    // A copy of the card's state, for tests that look behind the AT interface.
    ModemState snapshot() const;
    // The last command line the card took (without "AT"), even while its answer is on its way:
    // tests act in the middle of a command by waiting for it.
    std::string lastCommandLine() const;
    // The card holds a command it has not answered yet (slow answers leave time to see it).
    bool answerPending() const;

private:
    bool startServing();
    void stopServing();
    void serve();
    void wake() const;
    // Runs change on the card's state under the lock, then reports registration changes.
    template <typename Change>
    void change(Change &&changeState);
    // The control verbs of the supplementary services; nullopt for any other verb.
    std::optional<std::string> controlServices(const std::vector<std::string> &args);

    mutable std::mutex m_lifecycleMutex;  // start, stop, card removal and insertion
    mutable std::mutex m_mutex;           // the modem and the port
    std::unique_ptr<Modem> m_modem;
    std::unique_ptr<PtyDevice> m_device;
    std::unique_ptr<DataPort> m_dataPort;
    std::unique_ptr<VoicePort> m_voicePort;
    std::thread m_thread;
    int m_wakeFd = -1;
    Clock::time_point m_stallUntil{};  // guarded by m_mutex
    std::atomic<bool> m_stopping{false};
    bool m_running = false;
    bool m_cardInserted = false;
    std::string m_linkPath;
    std::string m_lastError;
};

}  // namespace virtualmodem
