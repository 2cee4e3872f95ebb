// The string of a +CUSD reply as cards really write it, and a request in the form a card takes.
//
// The standard has the card convert a 7-bit reply into its character set (+CSCS) and give
// 8-bit and UCS-2 replies as hex; in practice cards also pass the network's packed septets on
// as hex, give the septets unpacked as hex, or send UCS-2 hex under the 7-bit scheme (15).
// The scheme and the string itself decide which it is, never one fixed assumption.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace codec {

enum class UssdForm {
    Text,         // in the card's character set
    PackedHex,    // the network's 7-bit septets, packed, as hex
    UnpackedHex,  // 7-bit septets one per byte, as hex
    Ucs2Hex,      // UTF-16 big-endian as hex
    EightBitHex,  // 8-bit data as hex
};

struct UssdReplyText {
    std::string text;  // UTF-8, without a language indication
    UssdForm form = UssdForm::Text;
};

// charset: the card's +CSCS ("IRA", "GSM", "UCS2", "8859-1", "UTF-8"); empty reads as IRA.
// Without a scheme the reply counts as 7-bit.
UssdReplyText decodeUssdReply(std::string_view string, std::optional<uint8_t> scheme,
                              std::string_view charset);

// The forms a request can take: text in the card's character set, or the septets as hex,
// packed or one per byte.
enum class UssdRequestForm { Text, PackedHex, UnpackedHex };

struct UssdRequest {
    std::string string;   // what goes between the quotes of +CUSD
    uint8_t scheme = 15;  // 15 7-bit, 72 UCS-2
};
// Nothing when the text is not UTF-8, holds a quote or a control character, or is too long
// for one USSD string.
std::optional<UssdRequest> encodeUssdRequest(std::string_view utf8, UssdRequestForm form,
                                             std::string_view charset);

}  // namespace codec
