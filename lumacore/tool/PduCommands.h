// lumacore-tool's SMS PDU commands: decode-pdu and encode-pdu, printing JSON.
#pragma once

#include <string>
#include <vector>

namespace lumacore {

// Arguments after the command's name; the return value is the process's exit status.
int decodePduCommand(const std::vector<std::string> &arguments);
int encodePduCommand(const std::vector<std::string> &arguments);
// The lines the tool's usage shows for them.
const char *pduCommandsUsage();

}  // namespace lumacore
