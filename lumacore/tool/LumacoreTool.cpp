// lumacore-tool: the engine on the command line, for debugging a card.
//
//   lumacore-tool probe                  ports that answer AT
//   lumacore-tool at PORT COMMAND        one command, and the card's answer
//   lumacore-tool status [PORT] [--pin PIN] [--trace]
//                                        the start-up sequence, then the card's state
//   lumacore-tool decode-pdu HEX         an SMS PDU as JSON
//   lumacore-tool encode-pdu --number N --text T ...
//                                        the PDUs that send a text, as JSON
//   lumacore-tool decode-stk HEX         a SIM toolkit proactive command as JSON
//   lumacore-tool ussd CODE [PORT]       a USSD request and its dialogue
//
// PORT is a device (/dev/ttyUSB2) or "virtual" for the built-in virtual card. --trace (or
// LUMACORE_TRACE=1) shows the whole dialogue, each line with its time.
#include "AtChannel.h"
#include "Engine.h"
#include "Exports.h"
#include "PduCommands.h"
#include "SerialPort.h"
#include "ToolkitCommands.h"
#include "UsageCommand.h"
#include "UssdCommand.h"
#include "VirtualCard.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace lumacore;

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: lumacore-tool probe\n"
                 "       lumacore-tool at PORT COMMAND\n"
                 "       lumacore-tool status [PORT] [--pin PIN] [--trace]\n"
                 "%s%s%s%s"
                 "PORT is a device path or \"virtual\".\n",
                 pduCommandsUsage(), toolkitCommandsUsage(), ussdCommandUsage(),
                 usageCommandUsage());
    return 2;
}

int probe()
{
    auto timings = engineTimings();
    auto ports = listUsbSerialPorts();
    if (ports.empty()) {
        std::printf("no USB serial ports\n");
        return 1;
    }
    int answering = 0;
    for (const auto &port : ports) {
        ProbeResult result = probePort(port, timings.probe);
        if (result.status == kStatusOk) {
            std::printf("%s: answers AT\n", port.c_str());
            ++answering;
        } else {
            std::printf("%s: %s\n", port.c_str(), result.message.c_str());
        }
    }
    return answering > 0 ? 0 : 1;
}

int sendCommand(const std::string &portName, const std::string &command)
{
    std::unique_ptr<VirtualCard> virtualCard;
    std::string path = portName;
    if (portName == "virtual") {
        virtualCard = VirtualCard::start();
        if (!virtualCard) {
            std::fprintf(stderr, "the virtual card could not be started\n");
            return 1;
        }
        path = virtualCard->portPath();
    }
    PortOpenResult port = openControlPort(path);
    if (port.status != kStatusOk) {
        std::fprintf(stderr, "%s (status %u)\n", port.message.c_str(), port.status);
        return 1;
    }
    AtChannel channel(
        std::move(port.fd), path,
        [](AtUnsolicited code) { std::printf("(unsolicited) %s\n", code.line.c_str()); },
        std::move(port.waitFd));
    std::string line = command;
    if (line.size() < 2 || (line.compare(0, 2, "AT") != 0 && line.compare(0, 2, "at") != 0))
        line = "AT" + line;
    AtResponse response = channel.run(line, engineTimings().command);
    for (const auto &answer : response.lines)
        std::printf("%s\n", answer.c_str());
    if (response.status == kStatusTimeout || response.status == kStatusNoCard) {
        std::printf("%s (status %u)\n",
                    response.status == kStatusTimeout ? "no answer" : "the port went away",
                    response.status);
        return 1;
    }
    std::printf("%s\n", response.final.text.c_str());
    return response.ok() ? 0 : 1;
}

void printLine(const char *key, const std::string &value)
{
    std::printf("%s: %s\n", key, value.c_str());
}

// A failure as the user reads it: a card that did not answer is not one that refused.
std::string describe(uint16_t status)
{
    switch (status) {
    case kStatusTimeout: return "no answer in time (status 7001)";
    case kStatusNoCard: return "no card (status 7002)";
    case kStatusError: return "refused by the card (status 7003)";
    case kStatusNotSupported: return "not supported by the card (status 7004)";
    default: return "unknown (status " + std::to_string(status) + ")";
    }
}

std::string countText(uint8_t count)
{
    return count == MEC_PIN_COUNT_UNKNOWN ? std::string("unknown") : std::to_string(count);
}

// "registered, home; LAC 2C1A, cell 01A2B3C4; UMTS"
std::string registrationText(const std::optional<Registration> &registration)
{
    if (!registration)
        return "not reported";
    static const char *const states[] = {"not registered", "registered, home",
                                         "searching",      "denied",
                                         "unknown",        "registered, roaming"};
    std::string text = registration->stat >= 0 && registration->stat <= 5
                           ? states[registration->stat]
                           : "state " + std::to_string(registration->stat);
    if (!registration->lac.empty())
        text += "; LAC " + registration->lac + ", cell " + registration->cellId;
    if (registration->accessTechnology >= 0)
        text += "; " + networkTypeText(registration->accessTechnology, true);
    return text;
}

// EF-ICCID: BCD digits, each byte with its nibbles swapped, F as padding.
std::string iccidFromHex(const std::string &hex)
{
    std::string digits;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        for (char nibble : {hex[i + 1], hex[i]})
            if (nibble != 'F' && nibble != 'f')
                digits += nibble;
    }
    return digits;
}

int status(const std::string &portName, const std::string &pin)
{
    if (!portName.empty())
        ::setenv("LUMACORE_PORT", portName.c_str(), 1);
    uint16_t started = _MEC_Startup(0, 400, 0);
    auto engine = Engine::current();
    printLine("port", engine ? engine->portPath() : std::string());
    if (started != kStatusOk) {
        printLine("card", "absent");
        if (engine && !engine->lastError().empty())
            printLine("error", engine->lastError() + " (" + describe(started) + ")");
        (void)_MEC_Shutdown();  // the start failed; its status is what the user needs
        return 1;
    }
    printLine("card", "present");

    uint8_t mode = 0;
    uint16_t result = _MEC_GetOperationMode(&mode);
    printLine("mode", result      ? describe(result)
                      : mode == 5 ? "on line"
                      : mode == 6 ? "off line"
                                  : "low power");

    uint8_t pinState = 0;
    result = _MEC_GetPinState(&pinState);
    if (result == kStatusOk && pinState == 1 && !pin.empty()) {
        uint16_t entered = _MEC_SetPin(pin.c_str(), nullptr);
        printLine("pin entry", entered == kStatusOk ? "accepted" : describe(entered));
        result = _MEC_GetPinState(&pinState);
    }
    if (result == kStatusNoSim)
        printLine("pin", "no SIM");
    else
        printLine("pin", result          ? describe(result)
                         : pinState == 0 ? "ready"
                         : pinState == 1 ? "PIN wanted"
                                         : "PUK wanted");
    uint8_t pinLeft = 0, pukLeft = 0;
    result = _MEC_QueryPINLeftTimes(&pinLeft, &pukLeft);
    printLine("attempts", result ? describe(result)
                                 : "PIN " + countText(pinLeft) + ", PUK " + countText(pukLeft));
    bool simReady = result == kStatusOk && pinState == 0;
    if (simReady) {
        if (const uint16_t netStatus = _MEC_NetcardStart(); netStatus != kStatusOk)
            printLine("card start", describe(netStatus));
    }

    char imsi[MEC_SIM_OPERATOR_TEXT_SIZE] = {};
    result = _MEC_GetSIMCardOperator(imsi);
    printLine("imsi", result ? describe(result) : std::string(imsi));
    char iccid[64] = {};
    result = _SIMOperate(176, 0x2FE2, 0, 0, 10, iccid, sizeof iccid);
    printLine("iccid", result ? describe(result) : iccidFromHex(iccid));
    char spn[64] = {};
    result = _SIMOperate(176, 0x6F46, 0, 1, 16, spn, sizeof spn);
    printLine("service provider", result ? describe(result) : std::string(spn));

    _MEC_ZDON_PARA operatorPara{};
    result = _MEC_GetZdonPara(&operatorPara);
    printLine("operator", result ? describe(result) : std::string(operatorPara.operatorName));
    if (result == kStatusOk) {
        printLine("operator code", operatorPara.numericId);
        printLine("roaming", operatorPara.roaming);
        printLine("domain", operatorPara.serviceDomain);
    }
    _MEC_NETWORK_PARA network{};
    result = _MEC_GetNetworkPara(&network);
    printLine("network type", result ? describe(result) : std::string(network.networkType));
    if (result == kStatusOk && engine) {
        NetworkState state = engine->network();
        printLine("cs registration", registrationText(state.circuitSwitched()));
        printLine("ps registration", registrationText(state.packetSwitched()));
        printLine("eps registration", registrationText(state.evolvedPacket()));
    }
    uint8_t csq = 0;
    result = _MEC_GetCsq(&csq);
    printLine("signal", result      ? describe(result)
                        : csq == 99 ? "unknown"
                                    : std::to_string(csq) + " of 31");
    char imei[MEC_IMEI_TEXT_SIZE] = {};
    result = _MEC_QueryImei(imei);
    printLine("imei", result ? describe(result) : std::string(imei));
    char software[MEC_VERSION_TEXT_SIZE] = {};
    if (_MEC_GetSoftwareVersion(software, nullptr) == kStatusOk)
        printLine("firmware", software);
    if (const uint16_t stopStatus = _MEC_Shutdown(); stopStatus != kStatusOk)
        printLine("shut-down", describe(stopStatus));
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        return usage();
    if (arguments[0] == "probe" && arguments.size() == 1)
        return probe();
    if (arguments[0] == "at" && arguments.size() == 3)
        return sendCommand(arguments[1], arguments[2]);
    if (arguments[0] == "decode-pdu")
        return decodePduCommand({arguments.begin() + 1, arguments.end()});
    if (arguments[0] == "encode-pdu")
        return encodePduCommand({arguments.begin() + 1, arguments.end()});
    if (arguments[0] == "decode-stk")
        return decodeStkCommand({arguments.begin() + 1, arguments.end()});
    if (arguments[0] == "ussd") {
        const int result = ussdCommand({arguments.begin() + 1, arguments.end()});
        return result == 2 ? usage() : result;
    }
    if (arguments[0] == "usage") {
        const int result = usageCommand({arguments.begin() + 1, arguments.end()});
        return result == 2 ? usage() : result;
    }
    if (arguments[0] == "status") {
        std::string port;
        std::string pin;
        for (size_t i = 1; i < arguments.size(); ++i) {
            if (arguments[i] == "--pin" && i + 1 < arguments.size())
                pin = arguments[++i];
            else if (arguments[i] == "--trace")
                setAtTracing(true);
            else if (port.empty() && arguments[i].rfind("--", 0) != 0)
                port = arguments[i];
            else
                return usage();
        }
        return status(port, pin);
    }
    return usage();
}
