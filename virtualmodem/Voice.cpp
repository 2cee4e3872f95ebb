// The card's voice calls: D<number>;, A, H and +CHUP, +CHLD (hold, swap, conference, release of
// one party, as the supplementary services of a GSM network allow them), +CLCC, +VTS, +CLVL
// and +CMUT; waiting calls as call waiting (+CCWA, in Services) allows them; the calls' progress over time (alerting, answered, busy, unanswered), the
// repeated RING of an incoming call with its +CLIP, and the control lines that act as the far
// end ("call incoming", "call hangup" ...).
#include "virtualmodem/Modem.h"
#include "virtualmodem/VirtualModem.h"
#include "virtualmodem/VoicePort.h"

#include <algorithm>
#include <charconv>

namespace virtualmodem {

namespace {

constexpr int kMaxCalls = 7;  // call indices 1-7

VoiceNetwork &voice(Modem &modem) { return modem.state().voice; }

VoiceCall *findCall(VoiceNetwork &network, int index)
{
    for (VoiceCall &call : network.calls) {
        if (call.index == index)
            return &call;
    }
    return nullptr;
}

VoiceCall *firstWith(VoiceNetwork &network, VoiceCall::Status status)
{
    for (VoiceCall &call : network.calls) {
        if (call.status == status)
            return &call;
    }
    return nullptr;
}

int countWith(const VoiceNetwork &network, VoiceCall::Status status)
{
    return static_cast<int>(std::count_if(network.calls.begin(), network.calls.end(),
                                          [&](const VoiceCall &call) { return call.status == status; }));
}

int freeIndex(const VoiceNetwork &network)
{
    for (int index = 1; index <= kMaxCalls; ++index) {
        if (std::none_of(network.calls.begin(), network.calls.end(),
                         [&](const VoiceCall &call) { return call.index == index; }))
            return index;
    }
    return 0;
}

int numberType(const std::string &number)
{
    if (number.empty())
        return 128;
    return number[0] == '+' ? 145 : 129;
}

// A conference of one is no conference.
void settleConference(VoiceNetwork &network)
{
    const auto members = std::count_if(network.calls.begin(), network.calls.end(),
                                       [](const VoiceCall &call) { return call.multiparty; });
    if (members < 2) {
        for (VoiceCall &call : network.calls)
            call.multiparty = false;
    }
}

// A waiting call with no other call left beside it rings as any incoming call: it is listed
// as incoming and answered with A.
void settleWaiting(Modem &modem)
{
    VoiceNetwork &network = voice(modem);
    VoiceCall *waiting = firstWith(network, VoiceCall::Waiting);
    if (!waiting || network.calls.size() != 1)
        return;
    waiting->status = VoiceCall::Incoming;
    network.nextRing = modem.now();
}

// The far end or the network ended the call: the terminal is told with the result code, unless
// the card is one that tells only through +CLCC.
void endCall(Modem &modem, int index, const char *report)
{
    VoiceNetwork &network = voice(modem);
    network.calls.erase(std::remove_if(network.calls.begin(), network.calls.end(),
                                       [&](const VoiceCall &call) { return call.index == index; }),
                        network.calls.end());
    settleConference(network);
    settleWaiting(modem);
    if (report && !modem.state().quirks.has(Quirk::QuietCallEnd))
        modem.unsolicited(report);
}

std::string clipLine(const VoiceCall &call)
{
    if (call.number.empty())
        return "+CLIP: \"\",128,,,,1";  // withheld by the caller
    return "+CLIP: \"" + call.number + "\"," + std::to_string(numberType(call.number)) + ",,,,0";
}

// RING (or +CRING under +CRC=1) with the caller's number when +CLIP=1; cards differ in whether
// the number comes before the ring, after it, or not at all.
void ring(Modem &modem, const VoiceCall &call)
{
    const ModemState &state = modem.state();
    const bool clip = state.settings.callerIdReports == 1 && !state.quirks.has(Quirk::NoClip);
    const bool clipFirst = state.quirks.has(Quirk::ClipBeforeRing);
    if (clip && clipFirst)
        modem.unsolicited(clipLine(call));
    modem.unsolicited(state.settings.extendedRing == 1 ? "+CRING: VOICE" : "RING");
    if (clip && !clipFirst)
        modem.unsolicited(clipLine(call));
}

bool isEmergency(const ModemState &state, const std::string &number)
{
    const auto &known = state.sim.emergencyNumbers;
    return number == "112" || number == "911" ||
           std::find(known.begin(), known.end(), number) != known.end();
}

// The digits of a dial string; the modifiers a modem takes (CLIR I/i, CUG G/g, tone and pulse
// T/P, blanks) are left out. Nothing when it holds anything else.
std::optional<std::string> dialledNumber(std::string_view text)
{
    std::string number;
    for (char c : text) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if ((c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && number.empty()) ||
            (upper >= 'A' && upper <= 'C'))
            number.push_back(upper);
        else if (upper == 'I' || upper == 'G' || upper == 'T' || upper == 'P' || c == ' ')
            continue;
        else
            return std::nullopt;
    }
    if (number.empty() || number == "+")
        return std::nullopt;
    return number;
}

Result dial(Modem &modem, const AtCommand &command)
{
    std::string_view text = command.argument;
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    // Without ';' it is a data call, which belongs to the card's data port.
    if (text.empty() || text.back() != ';')
        return Result::error();
    const auto number = dialledNumber(text.substr(0, text.size() - 1));
    if (!number)
        return Result::error();
    const ModemState &state = modem.state();
    const bool emergency = isEmergency(state, *number);
    if (!emergency) {
        if (!state.sim.inserted)
            return Result::cme(cme::kSimNotInserted);
        if (state.sim.lock == SimLock::Pin)
            return Result::cme(cme::kSimPinRequired);
        if (state.sim.lock != SimLock::Ready)
            return Result::cme(cme::kSimPukRequired);
    }
    const Coverage coverage = state.network.coverage;
    if (state.network.functionality != 1 || coverage == Coverage::None)
        return Result::cme(cme::kNoNetworkService);
    if (!emergency && (coverage == Coverage::Limited || coverage == Coverage::Lte))
        return Result::cme(cme::kNetworkNotAllowed);

    VoiceNetwork &network = voice(modem);
    const bool setUpUnderWay = firstWith(network, VoiceCall::Dialling) ||
                               firstWith(network, VoiceCall::Alerting) ||
                               firstWith(network, VoiceCall::Incoming);
    const bool bothInUse =
        firstWith(network, VoiceCall::Active) && firstWith(network, VoiceCall::Held);
    const int index = freeIndex(network);
    if (setUpUnderWay || bothInUse || index == 0)
        return Result::cme(cme::kNotAllowed);
    // A new call is set up only once the call in progress is held.
    for (VoiceCall &call : network.calls) {
        if (call.status == VoiceCall::Active)
            call.status = VoiceCall::Held;
    }
    VoiceCall call;
    call.index = index;
    call.number = *number;
    call.status = VoiceCall::Dialling;
    call.since = modem.now();
    const auto chosen = network.outcomes.find(*number);
    if (!emergency && chosen != network.outcomes.end())
        call.outcome = chosen->second;
    network.calls.push_back(call);
    return Result::ok();
}

Result answer(Modem &modem, const AtCommand &command)
{
    if (command.kind != AtKind::Execute)
        return Result::error();
    VoiceCall *call = firstWith(voice(modem), VoiceCall::Incoming);
    if (!call)
        return Result::error();
    call->status = VoiceCall::Active;
    call->since = modem.now();
    return Result::ok();
}

Result hangUp(Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok();
    if (command.kind != AtKind::Execute)
        return Result::error();
    voice(modem).calls.clear();
    return Result::ok();
}

// +CHLD: what the subscriber may do with calls in progress. 0 rejects the waiting call or
// releases the held ones; 1 releases the active calls and takes the waiting (else the held)
// call; 1x releases call x; 2 holds the active calls and takes the waiting (else the held) call;
// 2x keeps x of the active conference and holds the rest; 3 joins held and active calls.
Result callHold(Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok({"+CHLD: (0,1,1x,2,2x,3)"});
    if (command.kind != AtKind::Set)
        return Result::error();
    const std::string &value = command.argument;
    int n = -1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (error != std::errc() || end != value.data() + value.size() || value.size() > 2)
        return Result::error();
    VoiceNetwork &network = voice(modem);
    const auto notAllowed = Result::cme(cme::kNotAllowed);
    auto setAll = [&](VoiceCall::Status from, VoiceCall::Status to) {
        for (VoiceCall &call : network.calls) {
            if (call.status == from)
                call.status = to;
        }
    };
    auto removeAll = [&](VoiceCall::Status status) {
        network.calls.erase(
            std::remove_if(network.calls.begin(), network.calls.end(),
                           [&](const VoiceCall &call) { return call.status == status; }),
            network.calls.end());
    };
    VoiceCall *waiting = firstWith(network, VoiceCall::Waiting);
    const int active = countWith(network, VoiceCall::Active);
    const int held = countWith(network, VoiceCall::Held);
    const bool settingUp =
        firstWith(network, VoiceCall::Dialling) || firstWith(network, VoiceCall::Alerting);
    constexpr auto kTemporary = VoiceCall::Dialling;  // never a status here: a marker
    if (value.size() == 2) {
        VoiceCall *target = findCall(network, value[1] - '0');
        if (!target)
            return notAllowed;
        if (value[0] == '1') {
            endCall(modem, target->index, nullptr);
        } else if (value[0] == '2') {
            // Private talk with one party of the active conference; the others wait on hold.
            if (target->status != VoiceCall::Active || !target->multiparty || held > 0)
                return notAllowed;
            setAll(VoiceCall::Active, VoiceCall::Held);
            target->status = VoiceCall::Active;
            target->multiparty = false;
            settleConference(network);
        } else {
            return Result::error();
        }
        return Result::ok();
    }
    switch (n) {
    case 0:
        if (waiting)
            endCall(modem, waiting->index, nullptr);  // the caller is told the line is busy
        else if (held > 0)
            removeAll(VoiceCall::Held);
        else
            return notAllowed;
        break;
    case 1:
        if (active == 0 && !waiting && held == 0)
            return notAllowed;
        removeAll(VoiceCall::Active);
        if ((waiting = firstWith(network, VoiceCall::Waiting)))
            waiting->status = VoiceCall::Active;
        else
            setAll(VoiceCall::Held, VoiceCall::Active);
        break;
    case 2:
        if (settingUp || (waiting && active > 0 && held > 0))
            return notAllowed;
        if (waiting) {
            setAll(VoiceCall::Active, VoiceCall::Held);
            waiting->status = VoiceCall::Active;
        } else if (active > 0 || held > 0) {
            setAll(VoiceCall::Held, kTemporary);
            setAll(VoiceCall::Active, VoiceCall::Held);
            setAll(kTemporary, VoiceCall::Active);
        } else {
            return notAllowed;
        }
        break;
    case 3:
        if (active == 0 || held == 0 || active + held > network.conferenceLimit)
            return notAllowed;
        for (VoiceCall &call : network.calls) {
            if (call.status == VoiceCall::Held || call.status == VoiceCall::Active) {
                call.status = VoiceCall::Active;
                call.multiparty = true;
            }
        }
        break;
    default: return notAllowed;
    }
    settleConference(network);
    settleWaiting(modem);
    return Result::ok();
}

Result listCalls(Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok();
    if (command.kind != AtKind::Execute)
        return Result::error();
    std::vector<VoiceCall> calls = voice(modem).calls;
    std::sort(calls.begin(), calls.end(),
              [](const VoiceCall &a, const VoiceCall &b) { return a.index < b.index; });
    const bool hideRinging = modem.state().quirks.has(Quirk::ClccHidesRinging);
    std::vector<std::string> lines;
    for (const VoiceCall &call : calls) {
        if (hideRinging && call.status == VoiceCall::Incoming)
            continue;
        lines.push_back("+CLCC: " + std::to_string(call.index) + "," + (call.incoming ? "1" : "0") +
                        "," + std::to_string(call.status) + ",0," + (call.multiparty ? "1" : "0") +
                        ",\"" + call.number + "\"," + std::to_string(numberType(call.number)));
    }
    return Result::ok(std::move(lines));
}

bool isTone(const std::string &text)
{
    if (text.size() != 1)
        return false;
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return (c >= '0' && c <= '9') || c == '*' || c == '#' || (c >= 'A' && c <= 'D');
}

// +VTS=<tone>, quoted or not; several tones separated by commas as some clients send them.
Result sendTones(Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok({"+VTS: (0-9,#,*,A-D),(0-255)"});
    if (command.kind != AtKind::Set)
        return Result::error();
    const auto values = parseArguments(command.argument);
    if (!values || values->empty())
        return Result::error();
    std::string tones;
    for (const AtValue &value : *values) {
        if (!isTone(value.text))
            return Result::error();
        tones.push_back(
            static_cast<char>(std::toupper(static_cast<unsigned char>(value.text[0]))));
    }
    VoiceNetwork &network = voice(modem);
    if (!firstWith(network, VoiceCall::Active))
        return Result::cme(cme::kNotAllowed);
    network.tones += tones;
    return Result::ok();
}

// +CLVL and +CMUT: a number in a range, set, read and offered.
template <typename Field>
Result levelCommand(Modem &modem, const AtCommand &command, const char *name, Field field,
                    int maximum)
{
    auto &value = voice(modem).*field;
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        const auto number = values && values->size() == 1 ? numberArgument(*values, 0, 0, maximum)
                                                           : std::nullopt;
        if (!number)
            return Result::error();
        value = static_cast<std::remove_reference_t<decltype(value)>>(*number);
        return Result::ok();
    }
    case AtKind::Read: return Result::ok({std::string(name) + ": " + std::to_string(value)});
    case AtKind::Test:
        return Result::ok({std::string(name) + ": " +
                           (maximum == 1 ? "(0,1)" : "(0-" + std::to_string(maximum) + ")")});
    case AtKind::Execute: break;
    }
    return Result::error();
}

// ^VPCM=1|0: the card's own switch for its voice port.
Result soundPort(Modem &modem, const AtCommand &command)
{
    bool &on = voice(modem).soundPort;
    switch (command.kind) {
    case AtKind::Set:
        if (command.argument != "0" && command.argument != "1")
            return Result::error();
        on = command.argument == "1";
        return Result::ok();
    case AtKind::Read: return Result::ok({std::string("^VPCM: ") + (on ? "1" : "0")});
    case AtKind::Test: return Result::ok({"^VPCM: (0,1)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

}  // namespace

bool soundFlows(const ModemState &state)
{
    return state.voice.soundPort &&
           std::any_of(state.voice.calls.begin(), state.voice.calls.end(),
                       [](const VoiceCall &call) { return call.status == VoiceCall::Active; });
}

void registerVoiceCommands(CommandTable &table)
{
    table.add("^VPCM", soundPort);
    table.add("D", dial);
    table.add("A", answer);
    table.add("H", hangUp);
    table.add("+CHUP", hangUp);
    table.add("+CHLD", callHold);
    table.add("+CLCC", listCalls);
    table.add("+VTS", sendTones);
    table.add("+CLVL", [](Modem &modem, const AtCommand &command) {
        return levelCommand(modem, command, "+CLVL", &VoiceNetwork::speakerLevel, 8);
    });
    table.add("+CMUT", [](Modem &modem, const AtCommand &command) {
        return levelCommand(modem, command, "+CMUT", &VoiceNetwork::muted, 1);
    });
}

void advanceCalls(Modem &modem)
{
    VoiceNetwork &network = voice(modem);
    const Clock::time_point now = modem.now();
    std::vector<int> indices;
    for (const VoiceCall &call : network.calls)
        indices.push_back(call.index);
    for (int index : indices) {
        VoiceCall *call = findCall(network, index);
        if (!call)
            continue;
        const auto age = now - call->since;
        switch (call->status) {
        case VoiceCall::Dialling:
            if (age < network.alertAfter)
                break;
            if (call->outcome == CallOutcome::Busy)
                endCall(modem, index, "BUSY");
            else if (call->outcome == CallOutcome::Fail)
                endCall(modem, index, "NO CARRIER");
            else {
                call->status = VoiceCall::Alerting;
                call->since = now;
            }
            break;
        case VoiceCall::Alerting:
            if (call->outcome == CallOutcome::Connect && age >= network.answerAfter) {
                call->status = VoiceCall::Active;
                call->since = now;
            } else if (age >= network.giveUpAfter) {
                endCall(modem, index, "NO ANSWER");
            }
            break;
        case VoiceCall::Incoming:
        case VoiceCall::Waiting:
            if (age >= network.giveUpAfter)
                endCall(modem, index, "NO CARRIER");
            break;
        default: break;
        }
    }
    if (const VoiceCall *ringing = firstWith(network, VoiceCall::Incoming);
        ringing && now >= network.nextRing) {
        ring(modem, *ringing);
        network.nextRing = now + network.ringInterval;
    }
}

std::optional<Clock::time_point> nextCallEvent(const ModemState &state)
{
    const VoiceNetwork &network = state.voice;
    std::optional<Clock::time_point> next;
    auto consider = [&](Clock::time_point due) {
        if (!next || due < *next)
            next = due;
    };
    for (const VoiceCall &call : network.calls) {
        switch (call.status) {
        case VoiceCall::Dialling: consider(call.since + network.alertAfter); break;
        case VoiceCall::Alerting:
            consider(call.since + (call.outcome == CallOutcome::Connect ? network.answerAfter
                                                                         : network.giveUpAfter));
            break;
        case VoiceCall::Incoming:
            consider(network.nextRing);
            consider(call.since + network.giveUpAfter);
            break;
        case VoiceCall::Waiting: consider(call.since + network.giveUpAfter); break;
        default: break;
        }
    }
    return next;
}

namespace {

std::optional<std::chrono::milliseconds> milliseconds(const std::string &word)
{
    long value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < 0 || value > 3600000)
        return std::nullopt;
    return std::chrono::milliseconds(value);
}

std::optional<CallOutcome> outcomeNamed(const std::string &name)
{
    if (name == "connect")
        return CallOutcome::Connect;
    if (name == "busy")
        return CallOutcome::Busy;
    if (name == "no-answer")
        return CallOutcome::NoAnswer;
    if (name == "fail")
        return CallOutcome::Fail;
    return std::nullopt;
}

}  // namespace

std::string controlCalls(Modem &modem, const std::vector<std::string> &args)
{
    VoiceNetwork &network = voice(modem);
    const std::string usage =
        "ERROR usage: call incoming <number>|hidden | call hangup [index] | call answer [index] | "
        "call outcome <number> connect|busy|no-answer|fail | call waiting on|off | "
        "call timing alert|answer|ring|give-up <ms> | call list | call tones [clear] | call audio";
    if (args.size() < 2)
        return usage;
    const std::string &what = args[1];
    auto indexArgument = [&]() -> std::optional<int> {
        if (args.size() < 3)
            return 0;
        int index = 0;
        const auto [end, error] =
            std::from_chars(args[2].data(), args[2].data() + args[2].size(), index);
        if (error != std::errc() || end != args[2].data() + args[2].size())
            return std::nullopt;
        return index;
    };
    if (what == "incoming" && args.size() == 3) {
        const std::string number = args[2] == "hidden" ? std::string() : args[2];
        if (!number.empty() && !dialledNumber(number))
            return "ERROR not a number: " + number;
        if (modem.state().network.coverage == Coverage::None || !modem.state().sim.inserted)
            return "ERROR the card has no network";
        if (firstWith(network, VoiceCall::Incoming) || firstWith(network, VoiceCall::Waiting))
            return "ERROR a call is already ringing";
        const int index = freeIndex(network);
        if (index == 0)
            return "ERROR no call index free";
        VoiceCall call;
        call.index = index;
        call.incoming = true;
        call.number = number;
        call.since = modem.now();
        if (network.calls.empty()) {
            call.status = VoiceCall::Incoming;
            network.calls.push_back(call);
            ring(modem, call);
            network.nextRing = modem.now() + network.ringInterval;
            return "OK";
        }
        if (modem.state().services.waitingClasses.count(1) == 0)
            return "ERROR the line is busy (call waiting is off)";
        call.status = VoiceCall::Waiting;
        network.calls.push_back(call);
        if (modem.state().settings.callWaitingReports == 1) {
            modem.unsolicited(number.empty() ? std::string("+CCWA: \"\",128,1,,1")
                                             : "+CCWA: \"" + number + "\"," +
                                                   std::to_string(numberType(number)) + ",1");
        }
        return "OK";
    }
    if (what == "hangup" || what == "answer") {
        const auto index = indexArgument();
        if (!index)
            return usage;
        std::vector<int> chosen;
        for (const VoiceCall &call : network.calls) {
            if (*index == 0 || call.index == *index)
                chosen.push_back(call.index);
        }
        if (chosen.empty())
            return "ERROR no such call";
        for (int each : chosen) {
            VoiceCall *call = findCall(network, each);
            if (what == "hangup") {
                endCall(modem, each, "NO CARRIER");
            } else if (call->status == VoiceCall::Alerting || call->status == VoiceCall::Dialling) {
                call->status = VoiceCall::Active;
                call->since = modem.now();
            } else if (*index != 0) {
                return "ERROR call " + std::to_string(each) + " is not being set up";
            }
        }
        return "OK";
    }
    if (what == "outcome" && args.size() == 4) {
        const auto outcome = outcomeNamed(args[3]);
        if (!outcome || !dialledNumber(args[2]))
            return usage;
        network.outcomes[args[2]] = *outcome;
        return "OK";
    }
    if (what == "waiting" && args.size() == 3 && (args[2] == "on" || args[2] == "off")) {
        auto &classes = modem.state().services.waitingClasses;
        if (args[2] == "on")
            classes.insert(1);
        else
            classes.erase(1);
        return "OK";
    }
    if (what == "timing" && args.size() == 4) {
        const auto time = milliseconds(args[3]);
        if (!time)
            return usage;
        if (args[2] == "alert")
            network.alertAfter = *time;
        else if (args[2] == "answer")
            network.answerAfter = *time;
        else if (args[2] == "ring" && time->count() > 0)
            network.ringInterval = *time;
        else if (args[2] == "give-up")
            network.giveUpAfter = *time;
        else
            return usage;
        return "OK";
    }
    if (what == "list" && args.size() == 2) {
        std::vector<VoiceCall> calls = network.calls;
        std::sort(calls.begin(), calls.end(),
                  [](const VoiceCall &a, const VoiceCall &b) { return a.index < b.index; });
        std::string out = "OK";
        for (const VoiceCall &call : calls)
            out += " " + std::to_string(call.index) + ":" + std::to_string(call.status);
        return out;
    }
    if (what == "tones" && args.size() == 2)
        return "OK " + network.tones;
    if (what == "tones" && args.size() == 3 && args[2] == "clear") {
        network.tones.clear();
        return "OK";
    }
    return usage;
}

std::string VirtualModem::controlCalls(const std::vector<std::string> &args)
{
    if (args.size() == 2 && args[1] == "audio") {
        return "OK sent " + std::to_string(m_voicePort->bytesSent()) + " received " +
               std::to_string(m_voicePort->bytesReceived());
    }
    std::string answer;
    {
        std::lock_guard lock(m_mutex);
        answer = virtualmodem::controlCalls(*m_modem, args);
    }
    wake();
    return answer;
}

}  // namespace virtualmodem
