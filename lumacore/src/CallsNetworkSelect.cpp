// Network selection: automatic with a choice of radio (+WS46 then +COPS=0), a search of the
// networks around (+COPS=?) and registration on one of them by hand (+COPS=1). The band calls
// have no standard command behind them.
#include "AtParsersServices.h"
#include "Exports.h"

#include <thread>

using namespace lumacore;

namespace {

// The program's automatic modes and the +WS46 values that carry them.
constexpr struct {
    uint8_t mode;
    int ws46;
} kAutomaticModes[] = {{5, 25}, {2, 22}, {1, 12}};

std::optional<int> ws46ForMode(uint8_t mode)
{
    for (const auto &automatic : kAutomaticModes)
        if (automatic.mode == mode)
            return automatic.ws46;
    return std::nullopt;
}

// A +WS46 value as the program's mode: only GERAN 1, only UTRAN 2, any mix 5.
uint8_t modeOfWs46(int ws46)
{
    if (ws46 == 12)
        return 1;
    if (ws46 == 22)
        return 2;
    return 5;
}

// A search the card cannot start yet: it is still registering, or busy with its SIM.
bool searchBusy(uint16_t status)
{
    return status == kStatusCmeBase + 14 || status == kStatusCmeBase + 515;
}

const char *technologyText(int accessTechnology)
{
    switch (accessTechnology) {
    case 0:
    case 1:
    case 3: return "2G";
    case 2:
    case 4:
    case 5:
    case 6: return "3G";
    case 7: return "4G";
    default: return "";
    }
}

bool isNumericIdentity(const char *text)
{
    size_t length = ::strnlen(text, sizeof(_MEC_OPERATOR_SELECT::numericId));
    if (length < 5 || length > 7)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

}  // namespace

MEC_STATUS _MEC_GetNetworkSelectMode(uint8_t *mode)
{
    if (!mode)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+COPS?");
        if (!response.ok())
            return response.status;
        auto line = response.line("+COPS:");
        auto query = line ? parseCopsQueryResponse(*line) : std::nullopt;
        if (!query)
            return kStatusError;
        // 1 manual, and 4 manual with a way back to automatic: a network was chosen by hand.
        if (query->mode == 1 || query->mode == 4) {
            *mode = 0;
            return kStatusOk;
        }
        AtResponse system = engine.run("AT+WS46?");
        auto ws46Line = system.ok() ? system.line("+WS46:") : nullptr;
        auto ws46 = ws46Line ? parseWs46QueryResponse(*ws46Line) : std::nullopt;
        if (!ws46 && (system.status == kStatusTimeout || system.status == kStatusNoCard))
            return system.status;
        // A card without +WS46 chooses among every radio it has.
        *mode = ws46 ? modeOfWs46(*ws46) : 5;
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetNetworkSelectMode(uint8_t mode)
{
    // Manual selection starts with a search; the card keeps what it has until a network is
    // chosen.
    if (mode == 4)
        return withEngine([](Engine &) { return kStatusOk; });
    auto ws46 = ws46ForMode(mode);
    if (!ws46)
        return kStatusNotSupported;
    return withEngine([&](Engine &engine) {
        AtResponse system = engine.run("AT+WS46=" + std::to_string(*ws46));
        // Without +WS46 the card already takes any radio: only that choice can be honoured.
        if (!system.ok() && (mode != 5 || system.status == kStatusTimeout ||
                             system.status == kStatusNoCard))
            return system.status;
        AtResponse automatic = engine.run("AT+COPS=0");
        if (!automatic.ok())
            return automatic.status;
        engine.refreshNetwork(true);
        return kStatusOk;
    });
}

MEC_STATUS _MEC_GetNetworkSelectModes(uint32_t *modes)
{
    if (!modes)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse offered = engine.run("AT+WS46=?");
        if (offered.status == kStatusTimeout || offered.status == kStatusNoCard)
            return offered.status;
        auto line = offered.ok() ? offered.line("+WS46:") : nullptr;
        auto values = line ? parseWs46TestResponse(*line) : std::nullopt;
        uint32_t mask = 1u << 5;  // automatic over every radio needs nothing but +COPS=0
        if (values)
            for (const auto &automatic : kAutomaticModes)
                if (std::find(values->begin(), values->end(), automatic.ws46) != values->end())
                    mask |= 1u << automatic.mode;
        *modes = mask;
        return kStatusOk;
    });
}

MEC_STATUS _MEC_GetBandSelectMode(uint8_t *) { return kStatusNotSupported; }

MEC_STATUS _MEC_SetNetworkSelectMode_Telstra(uint8_t) { return kStatusNotSupported; }

MEC_STATUS _MEC_GetOperaterList(_MEC_OPERATOR_INFO **records, uint32_t *count)
{
    if (!records || !*records || !count)
        return kStatusError;
    return withEngine([&](Engine &engine) {
        AtResponse response;
        // A card still busy registering refuses the search for a moment; a few tries, apart.
        constexpr int kTries = 3;
        for (int attempt = 0; attempt < kTries; ++attempt) {
            if (attempt > 0)
                std::this_thread::sleep_for(engine.timings().searchRetryPause);
            response = engine.run("AT+COPS=?");
            if (!searchBusy(response.status))
                break;
        }
        if (!response.ok())
            return response.status;
        auto found = parseCopsTestResponse(response.lines);
        if (!found)
            return kStatusError;
        uint32_t filled = 0;
        for (const auto &network : *found) {
            if (filled == MEC_OPERATOR_LIST_MAX)
                break;
            _MEC_OPERATOR_INFO &record = (*records)[filled++];
            record = {};
            record.state = static_cast<uint32_t>(network.stat);
            // A card that gives one name gives it for both.
            const std::string &longName = network.longName.empty() ? network.shortName
                                                                   : network.longName;
            const std::string &shortName = network.shortName.empty() ? network.longName
                                                                     : network.shortName;
            copyOut(record.longName, sizeof(record.longName), longName);
            copyOut(record.shortName, sizeof(record.shortName), shortName);
            copyOut(record.numericId, sizeof(record.numericId), network.numeric);
            copyOut(record.accessTechnology, sizeof(record.accessTechnology),
                    technologyText(network.accessTechnology));
        }
        *count = filled;
        return kStatusOk;
    });
}

MEC_STATUS _MEC_SetOperator(_MEC_OPERATOR_SELECT selection)
{
    if (!isNumericIdentity(selection.numericId))
        return kStatusError;
    if (selection.accessTechnology != 0 && selection.accessTechnology != 2)
        return kStatusError;
    std::string numeric(selection.numericId, ::strnlen(selection.numericId, 7));
    return withEngine([&](Engine &engine) {
        AtResponse response = engine.run("AT+COPS=1,2,\"" + numeric + "\"," +
                                         std::to_string(selection.accessTechnology));
        if (!response.ok())
            return response.status;
        engine.refreshNetwork(true);
        return kStatusOk;
    });
}
