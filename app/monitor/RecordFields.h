// Reading the fixed text fields of the records that come with the engine's messages.
#pragma once

#include "platform/CodePage.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace monitor {

// The NUL-terminated text of a fixed field (all of it when it has no NUL).
inline std::string fieldOf(const char *field, size_t size)
{
    return std::string(platform::fieldText(field, size));
}

// The field at `offset` of a block; what lies past the block's end is not there.
inline std::string fieldOf(const std::vector<uint8_t> &block, size_t offset, size_t size)
{
    if (offset >= block.size())
        return {};
    return fieldOf(reinterpret_cast<const char *>(block.data()) + offset,
                   std::min(size, block.size() - offset));
}

// An 8-bit text of the system code page, for the screen.
inline QString ansi(const std::string &text) { return platform::fromAnsi(text); }

}  // namespace monitor
