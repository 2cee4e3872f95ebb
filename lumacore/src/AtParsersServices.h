// The network search and the supplementary services: +COPS=?, +WS46, +CCFC, +CLCK (network
// facilities), +CLIP? and +CCWA, one small pure function per answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumacore {

// One network of a +COPS=? answer: "(<stat>,"<long>","<short>","<numeric>"[,<AcT>])".
struct FoundOperator {
    int stat = 0;  // 0 unknown, 1 available, 2 current, 3 forbidden
    std::string longName;
    std::string shortName;
    std::string numeric;
    int accessTechnology = -1;  // -1 when the card leaves it out
};
// The networks of a +COPS=? answer, over every "+COPS:" line the card wrote (some write one line
// per network). Empty entries, names left out, a missing AcT, an AcT written after the closing
// parenthesis and the trailing lists of modes and formats are taken as cards write them; an
// entry without a numeric identity cannot be chosen and is dropped. nullopt when no line is a
// +COPS answer.
std::optional<std::vector<FoundOperator>> parseCopsTestResponse(const std::vector<std::string> &lines);

// +WS46? : "+WS46: <n>".
std::optional<int> parseWs46QueryResponse(std::string_view line);
// +WS46=? : "+WS46: (12,22,25)" or ranges "(12,22-25)"; the values offered.
std::optional<std::vector<int>> parseWs46TestResponse(std::string_view line);

// +CCFC=<reason>,2 : "+CCFC: <status>,<class>[,<number>,<type>[...]]", one line per class.
struct ForwardingLine {
    int status = 0;
    int serviceClass = 0;
    std::string number;  // with '+' when the type is international (145)
};
std::optional<ForwardingLine> parseCcfcResponse(std::string_view line);

// +CLCK=<fac>,2 and +CCWA=1,2 : "<status>[,<class>]", one line per class; class 0 when left out.
struct ServiceClassStatus {
    int status = 0;
    int serviceClass = 0;
};
std::optional<ServiceClassStatus> parseClassStatus(std::string_view line, std::string_view prefix);
// Whether the lines of such an answer say the service is on for voice calls (class 1; a line
// without a class covers every class).
bool activeForVoice(const std::vector<std::string> &lines, std::string_view prefix);

// +CLIP? : "+CLIP: <n>,<m>"; m 0 not provisioned, 1 provisioned, 2 unknown (-1 left out).
struct CallerIdSetting {
    int presentation = 0;
    int provisioned = -1;
};
std::optional<CallerIdSetting> parseClipQueryResponse(std::string_view line);

}  // namespace lumacore
