// USSD over +CUSD: the request, the cancel, and the card's replies turned into message 3125.
#pragma once

#include "AtLine.h"

#include <optional>
#include <string>

#include "lumacore.h"

namespace lumacore {

class Engine;

// A +CUSD code from the card: handed to the program (true), or not one (false).
bool handleUssdReport(Engine &engine, const AtUnsolicited &code);

// "+CUSD: m[,"str"[,dcs]]" as the program's reply record, the string decoded whatever form the
// card wrote it in (charset: the card's +CSCS). Nothing for another line.
struct UssdReport {
    int resultType = 0;
    bool hasText = false;
    _MEC_USSD_REPLY record{};
};
std::optional<UssdReport> parseUssdReport(std::string_view line, const std::string &charset);

}  // namespace lumacore
