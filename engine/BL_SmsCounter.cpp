#include "engine/BL_SmsCounter.h"

#include "codec/GsmAlphabet.h"
#include "codec/SmsSending.h"
#include "codec/Unicode.h"

namespace {

constexpr size_t kSingleSeptets = 160;
constexpr size_t kSingleUcs2 = 70;
constexpr size_t kPartSeptets = 153;
constexpr size_t kPartUcs2 = 67;

size_t utf16Units(const std::u32string &characters)
{
    size_t units = 0;
    for (char32_t c : characters)
        units += c > 0xFFFF ? 2 : 1;
    return units;
}

size_t unitsOf(const std::string &utf8, bool ucs2)
{
    const auto characters = codec::codePointsFromUtf8(utf8);
    if (!characters)
        return 0;
    if (ucs2)
        return utf16Units(*characters);
    return codec::gsmSeptetLength(*characters).value_or(0);
}

}  // namespace

SmsCount TSmsCounter::Count(const std::string &utf8)
{
    SmsCount count;
    const auto characters = codec::codePointsFromUtf8(utf8);
    if (!characters) {
        count.valid = false;
        return count;
    }
    count.ucs2 = !codec::isGsmText(*characters);
    count.units = unitsOf(utf8, count.ucs2);
    const size_t single = count.ucs2 ? kSingleUcs2 : kSingleSeptets;
    if (count.units <= single) {
        count.leftInPart = single - count.units;
        return count;
    }
    // The codec cuts as it sends: never inside an escape pair or a surrogate pair, so a part
    // may hold one unit less than its room.
    const auto parts =
        codec::splitText(utf8, count.ucs2 ? codec::Alphabet::Ucs2 : codec::Alphabet::Gsm7);
    if (!parts || parts->empty()) {
        count.valid = false;
        return count;
    }
    count.parts = parts->size();
    const size_t room = count.ucs2 ? kPartUcs2 : kPartSeptets;
    count.leftInPart = room - unitsOf(parts->back(), count.ucs2);
    return count;
}
