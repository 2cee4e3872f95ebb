// lumacore-tool usage: the data use kept in the PC store, per day and per month, as JSON.
#pragma once

#include <string>
#include <vector>

namespace lumacore {

const char *usageCommandUsage();
// arguments: [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--billing-day N] [--store PATH]; 2 for
// arguments it does not understand.
int usageCommand(const std::vector<std::string> &arguments);

}  // namespace lumacore
