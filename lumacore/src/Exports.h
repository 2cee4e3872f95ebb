// What the files of the engine's exported C calls share: the header (whose declarations are
// exported when the engine is built, everything else in the library being hidden) and helpers.
#pragma once

#include "lumacore.h"

#include "Engine.h"
#include "Status.h"

#include <cstring>
#include <string>
#include <string_view>

namespace lumacore {

// Runs f with the running engine; 7002 when none runs.
template <typename Function>
uint16_t withEngine(Function &&function)
{
    auto engine = Engine::current();
    if (!engine)
        return kStatusNoCard;
    return function(*engine);
}

// Copies text into a caller's buffer of `size` bytes, NUL-terminated, never past its end.
inline void copyOut(char *buffer, size_t size, std::string_view text)
{
    if (!buffer || size == 0)
        return;
    size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// A password, APN or address that goes inside quotes of an AT command: printable ASCII without
// quotes, so no input can end the string or start another command.
inline bool safeQuotedText(const char *text, size_t maximum)
{
    if (!text)
        return false;
    size_t length = std::strlen(text);
    if (length > maximum)
        return false;
    for (size_t i = 0; i < length; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\')
            return false;
    }
    return true;
}

}  // namespace lumacore
