// Voice calls, their tones and sound levels, and the emergency numbers.
#include "Exports.h"

#include "AtParsers.h"
#include "AtParsersVoice.h"
#include "VoiceCalls.h"

#include <algorithm>
#include <array>
#include <cmath>

using namespace lumacore;

namespace {

constexpr uint16_t kEmergencyCallCodes = 0x6FB7;  // EF-ECC
constexpr uint16_t kReadBinary = 176;
constexpr uint16_t kReadRecord = 178;
constexpr uint16_t kGetResponse = 192;

// The earphone level as the program knows it: six steps, read back as these values.
constexpr std::array<uint8_t, 6> kEarphoneLevels{0, 56, 111, 155, 205, 255};

std::optional<SimResponse> simCommand(Engine &engine, const std::string &arguments)
{
    AtResponse answer = engine.run("AT+CRSM=" + arguments);
    if (!answer.ok())
        return std::nullopt;
    auto line = answer.line("+CRSM:");
    auto sim = line ? parseCrsmResponse(*line) : std::nullopt;
    if (!sim || !sim->success())
        return std::nullopt;
    return sim;
}

// The SIM's emergency numbers: a SIM's transparent file or a USIM's records.
std::vector<std::string> readEmergencyFile(Engine &engine)
{
    const std::string file = std::to_string(kEmergencyCallCodes);
    auto header = simCommand(engine, std::to_string(kGetResponse) + "," + file);
    auto info = header ? parseSimFileInfo(header->data) : std::nullopt;
    if (!info || info->size == 0)
        return {};
    std::vector<uint8_t> data;
    if (info->recordLength == 0) {
        auto content = simCommand(engine, std::to_string(kReadBinary) + "," + file + ",0,0," +
                                              std::to_string(std::min<size_t>(info->size, 255)));
        if (content)
            data = content->data;
    } else {
        const size_t records = std::min<size_t>(info->size / info->recordLength, 16);
        for (size_t record = 1; record <= records; ++record) {
            auto content = simCommand(engine, std::to_string(kReadRecord) + "," + file + "," +
                                                  std::to_string(record) + ",4," +
                                                  std::to_string(info->recordLength));
            if (!content)
                break;
            content->data.resize(info->recordLength, 0xFF);
            data.insert(data.end(), content->data.begin(), content->data.end());
        }
    }
    return decodeEmergencyNumbers(data, info->recordLength);
}

// The card's speaker range from +CLVL=? ("(0-8)", "(1,2,3,4,5)"); 0-5 when it does not say.
std::pair<int, int> speakerRange(Engine &engine)
{
    AtResponse answer = engine.run("AT+CLVL=?");
    auto line = answer.ok() ? answer.line("+CLVL:") : nullptr;
    if (!line)
        return {0, 5};
    std::vector<int> numbers;
    int current = -1;
    for (char c : *line) {
        if (c >= '0' && c <= '9') {
            current = (current < 0 ? 0 : current * 10) + (c - '0');
            if (current > 100000)
                return {0, 5};
        } else if (current >= 0) {
            numbers.push_back(current);
            current = -1;
        }
    }
    if (current >= 0)
        numbers.push_back(current);
    if (numbers.size() < 2)
        return {0, 5};
    auto [low, high] = std::minmax_element(numbers.begin(), numbers.end());
    if (*low == *high)
        return {0, 5};
    return {*low, *high};
}

std::optional<int> readNumber(Engine &engine, const char *command, const char *prefix)
{
    AtResponse answer = engine.run(command);
    auto line = answer.ok() ? answer.line(prefix) : nullptr;
    auto rest = line ? afterPrefix(*line, prefix) : std::nullopt;
    auto fields = rest ? splitFields(*rest) : std::vector<AtField>{};
    if (fields.empty())
        return std::nullopt;
    auto value = parseInteger(fields[0].text);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

template <typename Function>
uint16_t withCalls(Function &&function)
{
    return withEngine([&](Engine &engine) { return function(engine.voice()); });
}

}  // namespace

MEC_STATUS _MEC_Dial(const char *number, uint8_t *result)
{
    return withCalls([&](VoiceCalls &calls) { return calls.dial(number, result); });
}

MEC_STATUS _MEC_ATDAbort(void)
{
    return withCalls([](VoiceCalls &calls) { return calls.abortDial(); });
}

MEC_STATUS _MEC_Answer(uint8_t *result)
{
    return withCalls([&](VoiceCalls &calls) { return calls.answer(result); });
}

MEC_STATUS _MEC_Hangup(void)
{
    return withCalls([](VoiceCalls &calls) { return calls.hangUp(); });
}

MEC_STATUS _MEC_SendCHLDCommand(uint32_t value)
{
    return withCalls([&](VoiceCalls &calls) { return calls.hold(value); });
}

MEC_STATUS _MEC_SendCLCCCmd(_MEC_CLCC_LIST *list)
{
    return withCalls([&](VoiceCalls &calls) { return calls.list(list); });
}

MEC_STATUS _MEC_SetDTMF(char tone)
{
    return withCalls([&](VoiceCalls &calls) { return calls.sendTone(tone); });
}

MEC_STATUS _MEC_GetEmergencyCall(_MEC_EMERGENCY_LIST *list)
{
    if (!list)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        *list = _MEC_EMERGENCY_LIST{};
        std::vector<std::string> numbers = readEmergencyFile(engine);
        // 112 and 911 reach the emergency services wherever a SIM is, whatever its file says.
        for (const char *always : {"112", "911"}) {
            if (std::find(numbers.begin(), numbers.end(), always) == numbers.end())
                numbers.emplace_back(always);
        }
        size_t slot = 0;
        for (const std::string &number : numbers) {
            if (slot == MEC_EMERGENCY_NUMBERS)
                break;
            copyOut(list->numbers[slot++], sizeof list->numbers[0], number);
        }
        return kStatusOk;
    });
}

MEC_STATUS _MEC_CheckEarPhone(uint8_t *present)
{
    if (!present)
        return kStatusError;
    // The standard commands cannot ask for a headset: the card's sound is taken as reachable
    // (its own jack, or its voice port on the computer).
    return withEngine([&](Engine &engine) {
        *present = 0;
        if (uint16_t status = engine.run("AT").status; status != kStatusOk)
            return status;
        *present = 1;
        return kStatusOk;
    });
}

MEC_STATUS _MEC_ReadEarPhoneVol(uint8_t *level)
{
    if (!level)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        auto value = readNumber(engine, "AT+CLVL?", "+CLVL:");
        if (!value)
            return kStatusError;
        auto [low, high] = speakerRange(engine);
        const double share = static_cast<double>(std::clamp(*value, low, high) - low) / (high - low);
        *level = kEarphoneLevels[static_cast<size_t>(std::lround(share * 5))];
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetEarphoneVol(uint8_t level)
{
    if (level > 5)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        auto [low, high] = speakerRange(engine);
        const long value = low + std::lround(static_cast<double>(level) * (high - low) / 5);
        return engine.run("AT+CLVL=" + std::to_string(value)).status;
    });
}

// The standard commands have no microphone gain.
MEC_STATUS _MEC_SetMicrophoneVol(uint8_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetMicMute(uint8_t mute)
{
    return withEngine([&](Engine &engine) {
        return engine.run(mute ? "AT+CMUT=1" : "AT+CMUT=0").status;
    });
}

MEC_STATUS _MEC_GetMicMuteState(void)
{
    return withEngine([](Engine &engine) -> uint16_t {
        auto value = readNumber(engine, "AT+CMUT?", "+CMUT:");
        if (!value)
            return kStatusError;
        return *value == 1 ? MEC_MIC_MUTED : MEC_MIC_NOT_MUTED;
    });
}
