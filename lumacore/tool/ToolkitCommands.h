// lumacore-tool's SIM toolkit command: decode-stk, printing a proactive command as JSON.
#pragma once

#include <string>
#include <vector>

namespace lumacore {

int decodeStkCommand(const std::vector<std::string> &arguments);
const char *toolkitCommandsUsage();

}  // namespace lumacore
