// Supplementary services kept by the network: call forwarding (+CCFC), call barring (+CLCK on
// the network's facilities), caller identification (+CLIP) and call waiting (+CCWA).
#include "AtParsersServices.h"
#include "Exports.h"
#include "ServiceStatus.h"

using namespace lumacore;

namespace {

// The barring password when the subscriber never changed it.
constexpr const char *kBarringPassword = "0000";
constexpr size_t kForwardNumberMaximum = 26;

bool isBarringFacility(std::string_view facility)
{
    for (std::string_view known : {"AO", "OI", "OX", "AI", "IR", "AB", "AG", "AC"})
        if (facility == known)
            return true;
    return false;
}

// A number a forwarding can point to: dialling digits, '*', '#', a leading '+'.
bool isForwardNumber(std::string_view number)
{
    if (number.empty() || number.size() > kForwardNumberMaximum)
        return false;
    for (size_t i = 0; i < number.size(); ++i) {
        char c = number[i];
        bool digit = (c >= '0' && c <= '9') || c == '*' || c == '#';
        if (!digit && !(c == '+' && i == 0))
            return false;
    }
    return true;
}

uint16_t runService(Engine &engine, const std::string &command, AtResponse &response)
{
    response = engine.run(command, engine.timings().send);
    return serviceStatus(response.status);
}

}  // namespace

MEC_STATUS _MEC_GetCallForwardSet(uint32_t reason, _MEC_CALL_FORWARD_ANSWER *answer)
{
    if (!answer || reason > 3)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response;
        uint16_t status = runService(engine, "AT+CCFC=" + std::to_string(reason) + ",2", response);
        if (status != kStatusOk)
            return status;
        *answer = {};
        // One line per class; the voice line (class 1, or a class sum that holds it) is the one
        // asked for. Without it, forwarding is off for voice.
        std::optional<ForwardingLine> voice;
        for (const auto &line : response.lines) {
            auto parsed = parseCcfcResponse(line);
            if (parsed && (parsed->serviceClass & 1) != 0 && (!voice || parsed->status == 1))
                voice = parsed;
        }
        answer->serviceClass = 1;
        if (voice && voice->status == 1) {
            answer->status = 1;
            copyOut(answer->number, sizeof(answer->number), voice->number);
        }
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetCallForwardCmd(_MEC_CALL_FORWARD_REQUEST request,
                                  _MEC_CALL_FORWARD_ANSWER *answer)
{
    if (request.reason > 3 || (request.mode != 3 && request.mode != 4))
        return kStatusError;
    std::string number(request.number, ::strnlen(request.number, sizeof(request.number)));
    std::string command = "AT+CCFC=" + std::to_string(request.reason) + ",";
    if (request.mode == 3) {
        if (!isForwardNumber(number))
            return kStatusError;
        command += "3,\"" + number + "\"," + (number.front() == '+' ? "145" : "129");
    } else {
        command += "4";
    }
    return withEngine([&](Engine &engine) {
        AtResponse response;
        uint16_t status = runService(engine, command, response);
        if (answer)
            *answer = {};
        return status;
    });
}

MEC_STATUS _MEC_GetCallBarringCmd(const char *facility, uint32_t *status)
{
    if (!facility || !status || !isBarringFacility(std::string_view(facility, ::strnlen(facility, 5))))
        return kStatusError;
    std::string command = std::string("AT+CLCK=\"") + facility + "\",2";
    return withEngine([&](Engine &engine) {
        AtResponse response;
        uint16_t result = runService(engine, command, response);
        if (result != kStatusOk)
            return result;
        *status = activeForVoice(response.lines, "+CLCK:") ? 1 : 0;
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetCallBarringCmd(_MEC_CALL_BARRING_REQUEST request, uint32_t *status)
{
    std::string facility(request.facility, ::strnlen(request.facility, sizeof(request.facility)));
    if (!isBarringFacility(facility) || request.mode > 1)
        return kStatusError;
    std::string command = "AT+CLCK=\"" + facility + "\"," + std::to_string(request.mode) + ",\"" +
                          kBarringPassword + "\"";
    return withEngine([&](Engine &engine) {
        AtResponse response;
        uint16_t result = runService(engine, command, response);
        if (result == kStatusOk && status)
            *status = request.mode;
        return result;
    });
}

MEC_STATUS _MEC_GetCallerListMode(uint32_t *mode)
{
    if (!mode)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response;
        uint16_t status = runService(engine, "AT+CLIP?", response);
        if (status != kStatusOk)
            return status;
        auto line = response.line("+CLIP:");
        auto setting = line ? parseClipQueryResponse(*line) : std::nullopt;
        if (!setting)
            return kStatusError;
        // Shown numbers need both: the card reporting them and the network providing them.
        *mode = setting->presentation == 1 && setting->provisioned != 0 ? 1 : 0;
        return kStatusOk;
    });
}

MEC_STATUS _MEC_CallerModeSetCmd(uint32_t mode)
{
    if (mode > 1)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response;
        uint16_t status = runService(engine, "AT+CLIP=" + std::to_string(mode), response);
        if (status != kStatusOk || mode == 0)
            return status;
        // The card takes the setting even where the subscription has no CLIP: that is a refusal.
        AtResponse query;
        if (runService(engine, "AT+CLIP?", query) == kStatusOk) {
            auto line = query.line("+CLIP:");
            auto setting = line ? parseClipQueryResponse(*line) : std::nullopt;
            if (setting && setting->provisioned == 0)
                return kStatusServiceRefused;
        }
        return kStatusOk;
    });
}

MEC_STATUS _MEC_GetCallWaiting(uint32_t *state)
{
    if (!state)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response;
        uint16_t status = runService(engine, "AT+CCWA=1,2", response);
        if (status != kStatusOk)
            return status;
        *state = activeForVoice(response.lines, "+CCWA:") ? 1 : 0;
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetCallWaiting(uint32_t state)
{
    if (state > 1)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response;
        return runService(engine, "AT+CCWA=1," + std::to_string(state), response);
    });
}
