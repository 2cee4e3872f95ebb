// The control language: one command per line, answered "OK" or "ERROR <reason>".
//
//   signal <0-31|99>                 network home|roaming|limited|none
//   card remove|insert               sim remove|insert
//   pin-required on|off              sim-busy <ms>            scan-time <ms>
//   quirk garbage|silent|noecho|noucs2 on|off
//   quirk slow <ms>|off              quirk missing|mute <+CMD,...>|off
//   phonebook fill SM|ME <count>     phonebook clear SM|ME
//   data drop                        data refuse on|off       data slow <ms>|off
//   quirk stall <ms>                 quirk <firmware quirk> on|off  (kQuirkNames)
//   sms [class0] [ucs2] [report] [reversed] <from> <text...>   broadcast <channel> <text...>
//   sms-fail <number> on|off         messages fill|capacity SM|ME <count>   messages clear SM|ME
//   call ...                         the far end of voice calls (Voice.cpp)
//   ussd delay|slow <ms>             how long the network takes to answer USSD (slow: *130#)
//   quirk cops-busy <count>          services refuse on|off   clip provisioned on|off
//   barring-password <password>
#include "virtualmodem/DataPort.h"
#include "virtualmodem/VirtualModem.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace virtualmodem {

namespace {

std::vector<std::string> words(const std::string &line)
{
    std::istringstream stream(line);
    std::vector<std::string> out;
    for (std::string word; stream >> word;)
        out.push_back(word);
    return out;
}

std::optional<bool> onOff(const std::string &word)
{
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    return std::nullopt;
}

std::optional<long> number(const std::string &word, long minimum, long maximum)
{
    long value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < minimum ||
        value > maximum) {
        return std::nullopt;
    }
    return value;
}

const std::string kOk = "OK";

struct QuirkName {
    const char *name;
    Quirk quirk;
};

constexpr QuirkName kQuirkNames[] = {
    {"at-error", Quirk::BareAtRefused},
    {"stuck-echo", Quirk::StuckEcho},
    {"verbose-errors", Quirk::VerboseErrors},
    {"no-chains", Quirk::NoChains},
    {"radio-off", Quirk::RadioOff},
    {"odd-finals", Quirk::OddFinals},
    {"numeric", Quirk::NumericResults},
    {"cpinr-pin-only", Quirk::CpinrPinOnly},
    {"crsm-9f", Quirk::CrsmPending},
    {"odd-serial", Quirk::OddSerial},
    {"odd-registration", Quirk::OddRegistration},
    {"no-creg-set", Quirk::NoRegistrationReports},
    {"storm", Quirk::Storm},
    {"pb-ucs2-numbers", Quirk::PhonebookUcs2Numbers},
    {"pb-sim-alpha", Quirk::PhonebookSimAlpha},
    {"pb-empty-not-found", Quirk::PhonebookEmptyNotFound},
    {"pb-odd-entries", Quirk::PhonebookOddEntries},
    {"odd-message-headers", Quirk::OddMessageHeaders},
    {"flash-stored", Quirk::FlashStored},
    {"clcc-no-ringing", Quirk::ClccHidesRinging},
    {"clip-first", Quirk::ClipBeforeRing},
    {"no-clip", Quirk::NoClip},
    {"quiet-call-end", Quirk::QuietCallEnd},
    {"ussd-text", Quirk::UssdText},
    {"ussd-unpacked", Quirk::UssdUnpacked},
    {"ussd-ucs2-15", Quirk::UssdUcs2As15},
    {"ussd-empty-first", Quirk::UssdEmptyFirst},
    {"ussd-multiline", Quirk::UssdMultiLine},
    {"ussd-hold-ok", Quirk::UssdHoldOk},
    {"ussd-request-hex", Quirk::UssdRequestHex},
    {"ussd-request-packed", Quirk::UssdRequestPacked},
    {"cops-odd", Quirk::SearchOdd},
    {"cops-lines", Quirk::SearchLines},
};

}  // namespace

std::string VirtualModem::control(const std::string &line)
{
    const std::vector<std::string> args = words(line);
    if (args.empty())
        return "ERROR empty command";
    const std::string &verb = args[0];
    if (verb == "call")
        return controlCalls(args);
    auto wantArguments = [&](size_t count) { return args.size() == count + 1; };
    if (auto answer = controlServices(args))
        return *answer;

    if (verb == "signal") {
        if (!wantArguments(1))
            return "ERROR usage: signal <0-31|99>";
        const auto rssi = number(args[1], 0, 99);
        if (!rssi || !setSignal(static_cast<int>(*rssi)))
            return "ERROR signal must be 0-31 or 99";
        return kOk;
    }
    if (verb == "network") {
        if (!wantArguments(1))
            return "ERROR usage: network home|roaming|limited|none|lte";
        const std::string &which = args[1];
        if (which == "home")
            setNetwork(Coverage::Home);
        else if (which == "roaming")
            setNetwork(Coverage::Roaming);
        else if (which == "limited")
            setNetwork(Coverage::Limited);
        else if (which == "none")
            setNetwork(Coverage::None);
        else if (which == "lte")
            setNetwork(Coverage::Lte);
        else
            return "ERROR unknown network '" + which + "'";
        return kOk;
    }
    if (verb == "card") {
        if (wantArguments(1) && args[1] == "remove") {
            return removeCard() ? kOk : "ERROR the card is not inserted";
        }
        if (wantArguments(1) && args[1] == "insert") {
            if (insertCard())
                return kOk;
            return cardInserted() ? "ERROR the card is already inserted" : "ERROR " + lastError();
        }
        return "ERROR usage: card remove|insert";
    }
    if (verb == "sim") {
        if (wantArguments(1) && args[1] == "remove") {
            removeSim();
            return kOk;
        }
        if (wantArguments(1) && args[1] == "insert") {
            insertSim();
            return kOk;
        }
        return "ERROR usage: sim remove|insert";
    }
    if (verb == "pin-required") {
        const auto on = wantArguments(1) ? onOff(args[1]) : std::nullopt;
        if (!on)
            return "ERROR usage: pin-required on|off";
        setPinRequired(*on);
        return kOk;
    }
    if (verb == "sim-busy" || verb == "scan-time") {
        const auto milliseconds = wantArguments(1) ? number(args[1], 0, 600000) : std::nullopt;
        if (!milliseconds)
            return "ERROR usage: " + verb + " <milliseconds>";
        if (verb == "sim-busy")
            setSimBusyTime(std::chrono::milliseconds(*milliseconds));
        else
            setNetworkScanTime(std::chrono::milliseconds(*milliseconds));
        return kOk;
    }
    if (verb == "ussd") {
        const auto milliseconds = wantArguments(2) ? number(args[2], 0, 3600000) : std::nullopt;
        if (!milliseconds || (args[1] != "delay" && args[1] != "slow"))
            return "ERROR usage: ussd delay|slow <milliseconds>";
        setUssdDelay(args[1] == "slow", std::chrono::milliseconds(*milliseconds));
        return kOk;
    }
    if (verb == "phonebook") {
        // phonebook fill SM|ME N: N entries "Contact 1".."Contact N" from index 1 (a full SIM).
        const auto count =
            wantArguments(3) && args[1] == "fill" ? number(args[3], 0, 10000) : std::nullopt;
        if (wantArguments(2) && args[1] == "clear") {
            clearPhonebook(args[2]);
            return kOk;
        }
        if (!count)
            return "ERROR usage: phonebook fill SM|ME <count> | phonebook clear SM|ME";
        for (long index = 1; index <= *count; ++index) {
            const PhonebookEntry entry{"+54911" + std::to_string(40000000 + index),
                                       "Contact " + std::to_string(index)};
            if (!setPhonebookEntry(args[2], static_cast<int>(index), entry))
                return "ERROR " + args[2] + " cannot hold entry " + std::to_string(index);
        }
        return kOk;
    }
    if (verb == "sms") {
        IncomingSms message;
        size_t at = 1;
        for (; at < args.size(); ++at) {
            if (args[at] == "class0")
                message.messageClass = 0;
            else if (args[at] == "ucs2")
                message.ucs2 = true;
            else if (args[at] == "report")
                message.reportRequested = true;
            else if (args[at] == "reversed")
                message.partsReversed = true;
            else
                break;
        }
        if (args.size() < at + 2)
            return "ERROR usage: sms [class0] [ucs2] [report] [reversed] <from> <text>";
        message.from = args[at];
        for (size_t i = at + 1; i < args.size(); ++i)
            message.text += (i > at + 1 ? " " : "") + args[i];
        const std::string error = deliverSms(message);
        return error.empty() ? kOk : "ERROR " + error;
    }
    if (verb == "broadcast") {
        const auto channel = args.size() >= 3 ? number(args[1], 0, 65535) : std::nullopt;
        if (!channel)
            return "ERROR usage: broadcast <channel> <text>";
        std::string text;
        for (size_t i = 2; i < args.size(); ++i)
            text += (i > 2 ? " " : "") + args[i];
        const std::string error = deliverBroadcast(static_cast<uint16_t>(*channel), text);
        return error.empty() ? kOk : "ERROR " + error;
    }
    if (verb == "sms-fail") {
        const auto on = wantArguments(2) ? onOff(args[2]) : std::nullopt;
        if (!on)
            return "ERROR usage: sms-fail <number> on|off";
        setSmsFailing(args[1], *on);
        return kOk;
    }
    if (verb == "messages") {
        if (wantArguments(2) && args[1] == "clear") {
            clearMessages(args[2]);
            return kOk;
        }
        const auto count = wantArguments(3) ? number(args[3], 0, 10000) : std::nullopt;
        if (count && args[1] == "capacity" && setMessageCapacity(args[2], static_cast<int>(*count)))
            return kOk;
        if (!count || args[1] != "fill" || !fillMessages(args[2], static_cast<int>(*count)))
            return "ERROR usage: messages fill|capacity SM|ME <count> | messages clear SM|ME";
        return kOk;
    }
    if (verb == "quirk") {
        if (!wantArguments(2))
            return "ERROR usage: quirk <name> <value>";
        const std::string &quirk = args[1];
        const std::string &value = args[2];
        if (quirk == "slow") {
            const auto milliseconds =
                value == "off" ? std::optional<long>(0) : number(value, 0, 600000);
            if (!milliseconds)
                return "ERROR usage: quirk slow <milliseconds>|off";
            setSlowAnswers(std::chrono::milliseconds(*milliseconds));
            return kOk;
        }
        if (quirk == "stall") {
            const auto milliseconds = number(value, 0, 600000);
            if (!milliseconds)
                return "ERROR usage: quirk stall <milliseconds>";
            stallReading(std::chrono::milliseconds(*milliseconds));
            return kOk;
        }
        if (quirk == "missing" || quirk == "mute") {
            std::set<std::string> names;
            if (value != "off") {
                std::istringstream list(value);
                for (std::string name; std::getline(list, name, ',');) {
                    if (!name.empty())
                        names.insert(name);
                }
            }
            if (quirk == "mute")
                setMutedCommands(names);
            else
                setMissingCommands(names);
            return kOk;
        }
        const auto on = onOff(value);
        if (!on)
            return "ERROR usage: quirk " + quirk + " on|off";
        if (quirk == "garbage")
            setGarbage(*on);
        else if (quirk == "silent")
            setSilent(*on);
        else if (quirk == "noecho")
            setNoEcho(*on);
        else if (quirk == "noucs2")
            setNoUcs2(*on);
        else {
            for (const QuirkName &entry : kQuirkNames) {
                if (quirk == entry.name) {
                    setQuirk(entry.quirk, *on);
                    return kOk;
                }
            }
            return "ERROR unknown quirk '" + quirk + "'";
        }
        return kOk;
    }
    if (verb == "data") {
        if (wantArguments(1) && args[1] == "drop") {
            dropDataCall();
            return kOk;
        }
        if (wantArguments(2) && args[1] == "refuse" && onOff(args[2])) {
            setDataCallsRefused(*onOff(args[2]));
            return kOk;
        }
        if (wantArguments(2) && args[1] == "slow") {
            const auto milliseconds =
                args[2] == "off" ? std::optional<long>(0) : number(args[2], 0, 600000);
            if (!milliseconds)
                return "ERROR usage: data slow <milliseconds>|off";
            setDataAnswerDelay(std::chrono::milliseconds(*milliseconds));
            return kOk;
        }
        if (wantArguments(2) && args[1] == "rate") {
            const auto bytes = number(args[2], 1, long(DataPort::kMaxBytesPerTick));
            if (!bytes)
                return "ERROR usage: data rate <bytes per 100 ms>";
            setDataStreamBytesPerTick(size_t(*bytes));
            return kOk;
        }
        return "ERROR usage: data drop | data refuse on|off | data slow <milliseconds>|off | "
               "data rate <bytes>";
    }
    return "ERROR unknown command '" + verb + "'";
}

}  // namespace virtualmodem
