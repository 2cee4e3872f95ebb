// A text to send, cut into as many SMS-SUBMIT messages as it needs: one message holds 160
// septets, 140 bytes or 70 UCS-2 units; the parts of a longer text carry a concatenation header
// and hold 153, 134 or 67 (one less with a 16-bit reference). A character is never cut: an
// escape pair stays in one part, and so does a surrogate pair.
#pragma once

#include "codec/Result.h"
#include "codec/SmsPdu.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace codec {

enum class TextCoding { Automatic, Gsm7, EightBit, Ucs2 };

struct OutgoingText {
    std::string number;
    std::string text;  // UTF-8; the 8-bit coding sends its bytes as they are
    // Automatic: 7-bit when the default alphabet has every character, else 7-bit in the national
    // shift tables that carry the text, else UCS-2.
    TextCoding coding = TextCoding::Automatic;
    // The 7-bit coding in these tables (the sender chose them).
    GsmTables tables;
    std::optional<int> messageClass;
    std::optional<uint32_t> validityMinutes;
    bool statusReportRequest = false;
    std::optional<std::string> serviceCentre;
    uint8_t messageReference = 0;
    uint16_t concatenationReference = 0;  // the same for every part of one text
    bool sixteenBitReference = false;
};

// The alphabet the text goes in.
Result<Alphabet> chooseAlphabet(const std::string &utf8, TextCoding coding);
struct TextEncoding {
    Alphabet alphabet = Alphabet::Gsm7;
    GsmTables tables;  // 7-bit only
};
// The alphabet, and for 7-bit text the tables (those given, or the national ones that carry a
// text the default alphabet cannot).
Result<TextEncoding> chooseEncoding(const std::string &utf8, TextCoding coding,
                                    GsmTables tables = {});
// The text cut into the parts it is sent in (one part when it fits one message); the header
// elements that name the tables take their room from every part.
Result<std::vector<std::string>> splitText(const std::string &utf8, Alphabet alphabet,
                                           bool sixteenBitReference = false,
                                           GsmTables tables = {});
// The SMS-SUBMIT messages that carry the text, in order.
Result<std::vector<SmsMessage>> submitMessages(const OutgoingText &outgoing);

}  // namespace codec
