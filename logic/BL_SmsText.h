// A message text as it is stored and sent: its class (GSM 7-bit codes or 16-bit), its length in
// the units the limits count (GSM codes, an extension character counting two; UTF-16 units),
// and its cutting into the parts of a long message. A part never ends inside an escape pair or
// a surrogate pair, so no part carries half a character.
//
// This is the one count of parts: the composer shows what the store will send.
#pragma once

#include "codec/GsmAlphabet.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SmsText {
    bool gsm = true;              // every character has a GSM 7-bit code (folded letters included)
    // A text the default alphabet cannot carry but national tables can goes in 7 bits there.
    codec::GsmTables tables;
    std::u16string utf16;         // the text, decoded from the system code page
    std::vector<uint8_t> codes;   // the GSM codes of the whole text (gsm only)
    std::vector<size_t> codeEnd;  // per character: the end of its codes (gsm only)
    size_t units = 0;             // GSM codes (gsm) or UTF-16 units

    // One part: characters [begin, end) of utf16.
    struct Part {
        size_t begin = 0;
        size_t end = 0;
    };

    // The text in the system code page; nullopt when the conversion fails.
    static std::optional<SmsText> FromAnsi(const std::string &ansi);

    // Cuts the text into parts of at most room units each (room > 0). An empty text is one
    // empty part.
    std::vector<Part> Split(size_t room) const;
    // Whether the text goes as one message of at most single units (beside the room its
    // tables' header elements take).
    bool FitsOne(size_t single) const;
    // The units a part of a long message holds: part, less the tables' header elements.
    size_t PartRoom(size_t part) const;
    // The parts the text is sent in, with the limits of one message and of a part.
    std::vector<Part> Cut(size_t single, size_t part) const;
    // A part (or the whole text) in the system code page, at most maxBytes bytes, never half a
    // character.
    std::string Ansi(const Part &part, size_t maxBytes) const;
    // The GSM codes of a part (gsm only).
    std::vector<uint8_t> Codes(const Part &part) const;
    Part Whole() const { return Part{0, utf16.size()}; }
};

// The GSM codes read back as the card stores them, in the system code page (a folded letter
// reads as its base letter); in national tables when they are named.
std::string SmsCodesToAnsi(const std::vector<uint8_t> &codes, codec::GsmTables tables = {});
