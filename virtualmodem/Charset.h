// Text in the character sets a terminal can choose with +CSCS, and the GSM default alphabet the
// SIM stores names in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace virtualmodem {

enum class Charset { Ira, Gsm, Ucs2 };

// "IRA", "GSM", "UCS2" (case-insensitive) -> the set; anything else -> nothing.
std::optional<Charset> charsetFromName(std::string_view name);
const char *charsetName(Charset charset);

// UTF-8 -> GSM default alphabet, one septet per byte (escape 0x1B before extension characters).
// Characters the alphabet lacks give nothing.
std::optional<std::string> utf8ToGsm(std::string_view utf8);
// GSM septets (one per byte) -> UTF-8. Unknown escapes read as a space, as the alphabet says.
std::string gsmToUtf8(std::string_view septets);

// UTF-8 <-> UCS-2 as upper-case hex of big-endian 16-bit units; characters outside the basic
// plane travel as surrogate pairs, and a surrogate without its partner is refused.
std::optional<std::string> utf8ToUcs2Hex(std::string_view utf8);
std::optional<std::string> ucs2HexToUtf8(std::string_view hex);

// A text the card shows the terminal, in the terminal's character set. A character the set
// cannot carry becomes '?', as cards do.
std::string encodeForTerminal(std::string_view utf8, Charset charset);
// A text the terminal sent, in its character set -> UTF-8; malformed input gives nothing.
std::optional<std::string> decodeFromTerminal(std::string_view text, Charset charset);

// Bytes <-> upper-case hex, as +CRSM carries them.
std::string toHex(std::string_view bytes);
std::optional<std::string> fromHex(std::string_view hex);

}  // namespace virtualmodem
