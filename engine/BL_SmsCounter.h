// The composer's live count: whether the text goes in the GSM 7-bit alphabet or in UCS-2 (one
// character the alphabet lacks switches the whole text), how many units it takes (an extension
// character such as '€' or '[' takes two septets, a character beyond the basic plane two UCS-2
// units), how many messages it is sent in and how many units the last of them has left.
#pragma once

#include <cstddef>
#include <string>

struct SmsCount {
    bool ucs2 = false;
    size_t units = 0;  // septets (7-bit) or UTF-16 units (UCS-2)
    size_t parts = 1;  // an empty text is still one message
    size_t leftInPart = 0;
    bool valid = true;  // false: the text is not UTF-8
};

class TSmsCounter {
public:
    static SmsCount Count(const std::string &utf8);
};
