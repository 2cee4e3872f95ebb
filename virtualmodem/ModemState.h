// Everything the virtual card remembers: the terminal's settings, the SIM, the radio network and
// the card's identity. Plain data; the command families read and change it.
#pragma once

#include "virtualmodem/Charset.h"
#include "virtualmodem/Voice.h"
#include "virtualmodem/Ussd.h"

#include <array>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace virtualmodem {

using Clock = std::chrono::steady_clock;

// What the radio finds around the card.
enum class Coverage {
    Home,     // the SIM's own network
    Roaming,  // abroad, on a partner network
    Limited,  // a network is there but refuses registration: emergency calls only
    None,     // no network at all
    Lte,      // the SIM's own network on LTE only: attached for data, no circuit-switched service
};

// Settings a terminal changes; ATZ, AT&F and a power-up restore them.
struct TerminalSettings {
    bool echo = true;
    bool verbose = true;  // V1: result codes as words
    bool quiet = false;   // Q1: no result codes
    int errorMode = 0;    // +CMEE: 0 ERROR, 1 numeric, 2 verbose
    Charset charset = Charset::Ira;
    int csRegistrationReports = 0;   // +CREG=n
    int psRegistrationReports = 0;   // +CGREG=n
    int epsRegistrationReports = 0;  // +CEREG=n
    int operatorFormat = 0;          // +COPS=3,n
    bool operatorFormatSet = false;  // +COPS=3,n was given (on a line of its own)
    int messageFormat = 0;           // +CMGF
    std::array<int, 5> newMessageIndications{0, 0, 0, 0, 0};  // +CNMI
    int callerIdReports = 0;                                  // +CLIP
    int extendedRing = 0;                                     // +CRC
    int ussdReports = 0;                                      // +CUSD=n
    std::array<int, 5> eventReporting{0, 0, 0, 0, 0};         // +CMER
    std::map<int, int> sRegisters{{0, 0}, {3, 13}, {4, 10}, {5, 8},
                                  {6, 2}, {7, 50}, {8, 2},  {10, 14}};
};

enum class SimLock {
    Ready,  // no password pending
    Pin,    // waiting for the PIN
    Puk,    // PIN exhausted, waiting for the PUK
    Dead,   // PUK exhausted too: the SIM is unusable for good
};

struct SimCard {
    bool inserted = true;
    std::string pin = "1234";
    std::string puk = "12345678";
    std::string pin2 = "5678";
    std::string puk2 = "87654321";
    bool pinEnabled = true;  // +CLCK="SC": the PIN is asked at power-up
    int pinRetries = 3;
    int pukRetries = 10;
    int pin2Retries = 3;
    int puk2Retries = 10;
    SimLock lock = SimLock::Pin;
    Clock::time_point readySince{};  // the moment the SIM became usable (PIN accepted, powered up)

    std::string imsi = "722310123456789";
    std::string iccid = "8954310123456789010";
    std::string serviceProviderName = "Brisa";
    std::string ownNumber = "+5491140000001";
    std::vector<std::string> emergencyNumbers{"112", "911"};
};

constexpr int kPinAttempts = 3;
constexpr int kPukAttempts = 10;

// One network the radio can see.
struct Operator {
    enum class Access { Home, Partner, Forbidden };
    std::string longName;
    std::string shortName;
    std::string numeric;
    int accessTechnology = 2;  // 0 GSM, 2 UTRAN
    Access access = Access::Partner;
    std::string locationArea;  // hex, as +CREG gives it
    std::string cellId;        // hex
};

// A registration as +CREG / +CGREG report it.
struct Registration {
    int status = 0;  // 0 not registered, 1 home, 2 searching, 3 denied, 4 unknown, 5 roaming
    std::string locationArea;
    std::string cellId;
    int accessTechnology = -1;
    bool operator==(const Registration &) const = default;
};

struct RadioNetwork {
    Coverage coverage = Coverage::Home;
    int signal = 20;             // +CSQ rssi, 0-31 (99 unknown)
    int functionality = 1;       // +CFUN: 0 minimum, 1 full, 4 radio off
    int selectionMode = 0;       // +COPS: 0 automatic, 1 manual, 2 deregistered
    std::string manualOperator;  // numeric code of the operator chosen by hand
    int manualAccessTechnology = -1;
    int systemMode = 25;         // +WS46: 12 GSM only, 22 UTRAN only, 25 all
    bool packetAttached = true;  // +CGATT
    // What the terminal was last told, so a report goes out only on a change.
    Registration reportedCs;
    Registration reportedPs;
    Registration reportedEps;
};

struct PdpContext {
    std::string type;
    std::string apn;
    std::string address;
    int dataCompression = 0;
    int headerCompression = 0;
};

struct CardIdentity {
    std::string manufacturer = "Lumadial";
    std::string model = "Virtual 3G Data Card";
    std::string revision = "VDC 1.0.0";
    std::string imei = "356938035643809";
};

// Behaviours of real firmware the card can take on, each a class of cards rather than one model.
enum class Quirk {
    BareAtRefused,           // a bare "AT" is answered ERROR (firmware that wants more than AT)
    StuckEcho,               // ATE0 is accepted, the echo stays
    VerboseErrors,           // +CMEE=1 gives "+CME ERROR: <text>" as +CMEE=2 does
    NoChains,                // one command a line; +COPS? names no operator until +COPS=3,n
    RadioOff,                // a radio switch: +CFUN=1 is accepted, the radio stays off
    OddFinals,               // refusals worded "COMMAND NOT SUPPORT" instead of ERROR
    NumericResults,          // the card starts in ATV0: results are "0", "4" ...
    CpinrPinOnly,            // +CPINR gives the PIN line only
    CrsmPending,             // +CRSM answers status word 9F xx with the data
    OddSerial,               // +CGSN gives a MEID with a prefix, not an IMEI
    OddRegistration,         // registration lines with blanks, lost quotes, extra fields, and a
                             // report slipped into the answer to +CREG?
    NoRegistrationReports,   // every form of +CREG= / +CGREG= / +CEREG= is refused
    Storm,                   // 1000 unsolicited lines a second
    PhonebookUcs2Numbers,    // under UCS2, +CPBR writes the numbers in UCS-2 hex too
    PhonebookSimAlpha,       // under UCS2, a name that needs UCS-2 comes as the SIM stores it
                             // (80 coding, FF padding)
    PhonebookEmptyNotFound,  // +CPBR over a stretch without entries answers +CME ERROR: 22
    PhonebookOddEntries,     // +CPBR entries without the type field, hidden flag and group after
                             // the name
    OddMessageHeaders,       // +CMGL/+CMGR headers with text-mode status words, no alpha, a field
                             // after the length, and a blank line before the PDU
    FlashStored,             // a class-0 message is stored and announced (+CMTI) like any other
    ClccHidesRinging,        // +CLCC leaves out an incoming call while it rings
    ClipBeforeRing,          // +CLIP comes before RING, not after it
    NoClip,                  // no +CLIP with RING, whatever +CLIP is set to
    QuietCallEnd,            // a call's end is told by nothing but +CLCC (no NO CARRIER, BUSY ...)
    // USSD replies and requests in the forms real cards use:
    UssdText,           // replies in the terminal's character set rather than hex
    UssdUnpacked,       // 7-bit replies as hex of septets one per byte, not packed
    UssdUcs2As15,       // UCS-2 replies under scheme 15
    UssdEmptyFirst,     // an empty +CUSD: 0 at once, the network's reply later
    UssdMultiLine,      // text replies whose line feeds go on the line: one reply, several lines
    UssdHoldOk,         // the OK to a request waits for the network's reply, which comes first
    UssdRequestHex,     // the request only as hex of septets one per byte
    UssdRequestPacked,  // the request only as packed 7-bit hex
    SearchOdd,               // +COPS=? with names left out, an AcT missing or written after the
                             // closing parenthesis, and empty entries
    SearchLines,             // +COPS=? with one "+COPS:" line per network
};

// Ways to make the card misbehave, as some real ones do.
struct Quirks {
    std::set<Quirk> modes;
    bool has(Quirk quirk) const { return modes.count(quirk) != 0; }
    bool garbage = false;                      // stray lines before every answer
    bool silent = false;                       // reads commands and never answers
    bool noEcho = false;                       // cannot echo; ATE1 is refused
    std::chrono::milliseconds slowAnswers{0};  // every answer comes this late
    std::set<std::string> missingCommands;     // names ("+CPMS") the firmware lacks
    std::set<std::string> mutedCommands;       // names it swallows without any answer
    bool noUcs2 = false;                       // +CSCS offers no UCS2 (IRA and GSM only)
    int busySearches = 0;  // this many +COPS=? are refused (+CME ERROR: 515) before one runs
};

// The subscriber's supplementary services as the network keeps them.
struct SupplementaryServices {
    // Forwarding by (reason 0-3, class bit 1/2/4/...): the number calls go to.
    std::map<std::pair<int, int>, std::string> forwarding;
    // Barring by (facility "AO" ..., class bit).
    std::set<std::pair<std::string, int>> barring;
    std::string barringPassword = "0000";
    bool clipProvisioned = true;
    std::set<int> waitingClasses{1};  // call waiting is on for these class bits
    bool refused = false;             // the network refuses every request (+CME ERROR: 30)
};

// The SMS storages as +CPMS lists them; the messages themselves belong to the messaging family.
// One stored message: its +CMGL status (0 unread, 1 read, 2 unsent, 3 sent) and its PDU in
// hexadecimal with the service centre in front.
struct StoredMessage {
    int status = 0;
    std::string pdu;
};

struct MessageStorage {
    std::string name;
    int capacity = 0;
    int used = 0;                           // kept equal to messages.size()
    std::map<int, StoredMessage> messages;  // by index, from 1
};

// The simulated network's SMS side.
struct SmsNetwork {
    std::set<std::string> failingNumbers;  // a send to these ends in +CMS ERROR
    std::chrono::milliseconds reportDelay{300};
    int nextReference = 0;
};

// One phonebook entry; the name is kept as UTF-8 and stored on the SIM in whichever alphabet fits.
struct PhonebookEntry {
    std::string number;  // with a leading '+' for international numbers (type 145)
    std::string name;
};

// A phonebook memory as +CPBS selects it: the SIM's ("SM") or the card's own ("ME").
struct PhonebookMemory {
    std::string name;
    int capacity = 0;
    int numberLength = 0;                   // digits, without the '+'
    int nameLength = 0;                     // bytes of the alpha field
    std::map<int, PhonebookEntry> entries;  // by index, from 1
};

// The SIM's toolkit application: whether the terminal activated its profile, the proactive
// command waiting for its response, and what the terminal answered (for tests to read).
struct SimToolkit {
    bool active = false;
    int screen = 0;  // 0: no command waiting
    uint8_t commandNumber = 0;
    uint8_t commandType = 0;
    std::vector<std::string> answers;  // "<screen>:<item or text>" for every answer given
    std::vector<uint8_t> results;      // the general result of every terminal response
};

struct ModemState {
    CardIdentity identity;
    TerminalSettings settings;
    SimCard sim;
    RadioNetwork network;
    std::map<int, PdpContext> contexts;
    Quirks quirks;
    // How long the SIM's files stay busy after it became usable (+CPMS answers SIM busy).
    std::chrono::milliseconds simBusyTime{1500};
    // How long a network scan (+COPS=?) takes.
    std::chrono::milliseconds networkScanTime{1000};
    std::vector<MessageStorage> messageStorages{{"SM", 20, 0, {}}, {"ME", 100, 0, {}}};
    std::array<std::string, 3> selectedStorages{"SM", "SM", "SM"};  // read, write, receive
    std::string serviceCenter = "+5491100009000";
    SmsNetwork smsNetwork;
    SupplementaryServices services;
    std::vector<PhonebookMemory> phonebooks{{"SM", 250, 20, 14, {}}, {"ME", 200, 40, 20, {}}};
    std::string selectedPhonebook = "SM";
    SimToolkit toolkit;
    // Every command the card was sent, as written ("+CIMI", "+CPBS=\"SM\"", "+CPBR=?"), and how
    // often: what a test counts to see nothing is asked twice.
    std::map<std::string, int> commandsReceived;
    VoiceNetwork voice;
    UssdNetwork ussd;
};

}  // namespace virtualmodem
