// The card's AT interpreter, without threads or ports: bytes from the terminal go in, echo,
// answers and unsolicited reports come out, in order and at the time they are due. The command
// families (ModemCore, SimCard, Network, Messaging, PacketData, Phonebook) fill its command table.
#pragma once

#include "virtualmodem/CommandParser.h"
#include "virtualmodem/ModemState.h"

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace virtualmodem {

// What one command answers: information lines and a final result.
class Modem;

struct Result {
    enum class Final { Ok, Error, CmeError, CmsError };
    Final final = Final::Ok;
    int code = 0;
    std::vector<std::string> lines;
    std::chrono::milliseconds delay{0};  // the card needs this long (a network scan)
    // +CMGS and +CMGW: the card answers "> " and hands what the terminal sends up to Ctrl-Z to
    // this (ESC cancels); the command's answer is what it sets.
    std::function<void(Modem &, const std::string &, Result &)> pduEntry;

    static Result ok(std::vector<std::string> lines = {});
    static Result error();
    static Result cme(int code);
    static Result cms(int code);
};

// +CME ERROR codes the card uses.
namespace cme {
constexpr int kPhoneFailure = 0;
constexpr int kNotAllowed = 3;
constexpr int kNotSupported = 4;
constexpr int kSimNotInserted = 10;
constexpr int kSimPinRequired = 11;
constexpr int kSimPukRequired = 12;
constexpr int kSimFailure = 13;
constexpr int kSimBusy = 14;
constexpr int kIncorrectPassword = 16;
constexpr int kInvalidIndex = 21;
constexpr int kNotFound = 22;
constexpr int kTextTooLong = 24;
constexpr int kInvalidText = 25;
constexpr int kNoNetworkService = 30;
constexpr int kNetworkNotAllowed = 32;
constexpr int kUnknown = 100;
}  // namespace cme

// The verbose text of a +CME ERROR code (AT+CMEE=2).
const char *cmeErrorText(int code);

class Modem;
using CommandHandler = std::function<Result(Modem &, const AtCommand &)>;

class CommandTable {
public:
    // name as the parser gives it: "+CPIN", "E", "&F", "S".
    void add(const std::string &name, CommandHandler handler);
    const CommandHandler *find(const std::string &name) const;

private:
    std::map<std::string, CommandHandler> m_handlers;
};

class Modem {
public:
    using Now = std::function<Clock::time_point()>;

    explicit Modem(
        ModemState initial = {}, Now now = [] { return Clock::now(); });

    // Power-up: the terminal settings go back to their defaults and the SIM starts a new session
    // (asking for its PIN again when it is enabled). The SIM's contents stay.
    void powerUp();

    // Bytes from the terminal. They are read at once unless the card is still busy with a slow
    // answer; then they wait, as in a real card's receive buffer.
    void receive(std::string_view bytes);
    // Carries on with waiting input once the card is free again.
    void process();
    // Everything that is due for the terminal now.
    std::string takeOutput();
    // The terminal went away: what was on its way is lost, half a command line too.
    void discardPending();
    // When process() or takeOutput() will have something to do; nothing when idle.
    std::optional<Clock::time_point> nextEvent() const;

    ModemState &state() { return m_state; }
    const ModemState &state() const { return m_state; }
    Clock::time_point now() const { return m_now(); }
    // The last command line taken, without its "AT".
    const std::string &lastLine() const { return m_lastLine; }
    // Bytes from the terminal not taken yet, or an answer not sent yet.
    bool answerPending() const { return !m_input.empty() || !m_output.empty(); }

    // An unsolicited report, sent after anything already on its way.
    void unsolicited(const std::string &line);
    // The same, once delay has passed (a status report from the network).
    void unsolicitedLater(const std::string &line, std::chrono::milliseconds delay);
    // Reports not yet due that begin with prefix are dropped (a USSD session released).
    void dropLater(std::string_view prefix);
    // Sends +CREG / +CGREG reports for whatever changed since the terminal was last told.
    void refreshRegistration();
    // A text for the terminal in its character set (+CSCS).
    std::string terminalText(std::string_view utf8) const;

private:
    void consume(char c);
    void executeLine(const std::string &body);
    void consumePdu(char c);
    void finishLine(std::string answer, const Result &final, std::chrono::milliseconds delay);
    std::string frameInformation(const std::vector<std::string> &lines) const;
    std::string frameFinal(const Result &result) const;
    void schedule(std::string bytes, std::chrono::milliseconds delay);

    struct Pending {
        Clock::time_point due;
        std::string bytes;
    };

    ModemState m_state;
    Now m_now;
    CommandTable m_table;
    std::string m_input;
    std::string m_line;
    bool m_collecting = false;
    bool m_lineTooLong = false;
    std::string m_lastLine;
    std::function<void(Modem &, const std::string &, Result &)> m_pduEntry;  // waiting for a PDU
    std::string m_pduInput;
    std::deque<Pending> m_output;
    std::vector<Pending> m_later;  // reports due later, lines without framing
    Clock::time_point m_busyUntil{};
    size_t m_garbageIndex = 0;
    Clock::time_point m_stormSince{};
    unsigned m_stormCount = 0;
};

// The command families; each adds its commands to the table.
void registerCoreCommands(CommandTable &table);
void registerSimCommands(CommandTable &table);
void registerSimFileCommands(CommandTable &table);
void registerNetworkCommands(CommandTable &table);
void registerServiceCommands(CommandTable &table);
// +CLCK on a facility of the network (call barring), handed on by the SIM's +CLCK.
Result networkFacilityLock(Modem &modem, const AtCommand &command);
void registerMessagingCommands(CommandTable &table);
void registerPacketDataCommands(CommandTable &table);
void registerPhonebookCommands(CommandTable &table);
void registerUssdCommands(CommandTable &table);
void registerToolkitCommands(CommandTable &table);
void registerVoiceCommands(CommandTable &table);
// The calls' progress: set-up, answer, busy, no answer, repeated rings; and when it is next due.
void advanceCalls(Modem &modem);
std::optional<Clock::time_point> nextCallEvent(const ModemState &state);
// The far end and the network, driven from outside: the words of a "call ..." control line. The
// answer is "OK" (with the tones for "call tones") or "ERROR <reason>".
std::string controlCalls(Modem &modem, const std::vector<std::string> &args);
// The voice port carries sound: switched on (^VPCM=1) and a call connected.
bool soundFlows(const ModemState &state);

}  // namespace virtualmodem
