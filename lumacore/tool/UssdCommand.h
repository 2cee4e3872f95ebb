// lumacore-tool ussd: a USSD request and its dialogue from the command line.
#pragma once

#include <string>
#include <vector>

namespace lumacore {

const char *ussdCommandUsage();
// arguments: CODE [PORT] [--pin PIN] [--trace]; answers come from standard input, one a line
// (an empty line or the end of input ends the session).
int ussdCommand(const std::vector<std::string> &arguments);

}  // namespace lumacore
