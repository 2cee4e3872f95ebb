// The SIM and the card: store readiness, IMSI, SIM files, identity, packet-data parameters.
#include "Exports.h"

#include "SimText.h"

using namespace lumacore;

namespace {

constexpr uint16_t kServiceProviderNameFile = 0x6F46;

// SIM commands that only read: READ BINARY, READ RECORD, GET RESPONSE, STATUS. The writing ones
// need data this call cannot carry.
bool readingSimCommand(uint8_t command)
{
    return command == 176 || command == 178 || command == 192 || command == 242;
}

}  // namespace

MEC_STATUS _MEC_TestSimState(void)
{
    return withEngine([](Engine &engine) { return engine.testStore(); });
}

MEC_STATUS _MEC_GetSIMCardOperator(char *imsi)
{
    if (!imsi)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+CIMI");
        if (!response.ok())
            return response.status;
        auto text = parseCimiResponse(response.lines);
        if (!text)
            return kStatusError;
        copyOut(imsi, MEC_SIM_OPERATOR_TEXT_SIZE, *text);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetModemPara(const char *pdpType, const char *apn, const char *pdpAddress)
{
    std::string type = pdpType && *pdpType ? pdpType : "IP";
    if (type != "IP" && type != "IPV6" && type != "IPV4V6" && type != "PPP")
        return kStatusError;
    const char *accessPoint = apn ? apn : "";
    const char *address = pdpAddress ? pdpAddress : "";
    if (!safeQuotedText(accessPoint, 100) || !safeQuotedText(address, 63))
        return kStatusError;
    return withEngine([&](Engine &engine) {
        std::string command =
            "AT+CGDCONT=1,\"" + type + "\",\"" + accessPoint + "\",\"" + address + "\"";
        return engine.run(command).status;
    });
}

MEC_STATUS _SIMOperate(uint8_t command, uint16_t fileId, uint8_t p1, uint8_t p2, uint8_t p3,
                       char *response, uint32_t responseSize)
{
    if (!response || responseSize == 0)
        return kStatusError;
    if (!readingSimCommand(command))
        return kStatusNotSupported;
    return withEngine([&](Engine &engine) {
        std::string request = "AT+CRSM=" + std::to_string(command) + "," + std::to_string(fileId) +
                              "," + std::to_string(p1) + "," + std::to_string(p2) + "," +
                              std::to_string(p3);
        AtResponse answer = engine.run(request);
        if (!answer.ok())
            return answer.status;
        auto line = answer.line("+CRSM:");
        auto sim = line ? parseCrsmResponse(*line) : std::nullopt;
        if (!sim || !sim->success())
            return kStatusError;
        if (fileId == kServiceProviderNameFile && command == 176) {
            unsigned offset = static_cast<unsigned>(p1) << 8 | p2;
            copyOut(response, responseSize,
                    utf8ToSystem(decodeServiceProviderName(sim->data, offset)));
        } else {
            copyOut(response, responseSize, hexFromBytes(sim->data));
        }
        return kStatusOk;
    });
}

MEC_STATUS _MEC_QueryImei(char *imei)
{
    if (!imei)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+CGSN");
        if (!response.ok())
            return response.status;
        auto text = parseCgsnResponse(response.lines);
        if (!text)
            return kStatusError;
        copyOut(imei, MEC_IMEI_TEXT_SIZE, *text);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_GetSoftwareVersion(char *software, char *internalVersion)
{
    if (!software)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+CGMR");
        if (!response.ok())
            return response.status;
        auto text = parseCgmrResponse(response.lines);
        if (!text)
            return kStatusError;
        copyOut(software, MEC_VERSION_TEXT_SIZE, utf8ToSystem(*text));
        if (internalVersion) {
            // The full revision text, every line of it.
            std::string full;
            for (const auto &line : response.lines)
                full += (full.empty() ? "" : " ") + line;
            copyOut(internalVersion, MEC_VERSION_TEXT_SIZE, utf8ToSystem(full));
        }
        return kStatusOk;
    });
}

MEC_STATUS _MEC_GetBoardVersion(char *board)
{
    if (!board)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+CGMM");
        if (!response.ok())
            return response.status;
        auto text = parseCgmmResponse(response.lines);
        if (!text)
            return kStatusError;
        copyOut(board, MEC_VERSION_TEXT_SIZE, utf8ToSystem(*text));
        return kStatusOk;
    });
}
