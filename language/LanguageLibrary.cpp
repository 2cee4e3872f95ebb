// The lookup function of a language library (english.so and its kin), built around the data
// that lumadial-stringtable-gen made from the library's text table.
//
// The texts are UTF-8. The program's system code page is normally UTF-8 too; where it is not,
// the program's string manager converts what it gets here.
#include <algorithm>
#include <array>
#include <cstring>

namespace {

struct LanguageEntry {
    unsigned int number;
    unsigned int offset;  // into kLanguageTexts
    unsigned int length;  // bytes
};

#include "language_table.inc"

// The lookup is a binary search; a table that is not sorted would lose texts without a sound.
static_assert(std::is_sorted(kLanguageEntries.begin(), kLanguageEntries.end(),
                             [](const LanguageEntry &a, const LanguageEntry &b) {
                                 return a.number < b.number;
                             }));
static_assert(std::adjacent_find(kLanguageEntries.begin(), kLanguageEntries.end(),
                                 [](const LanguageEntry &a, const LanguageEntry &b) {
                                     return a.number == b.number;
                                 }) == kLanguageEntries.end());

bool isUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

// Copies text `id` into buffer, NUL-terminated, cut to size - 1 bytes without cutting a UTF-8
// character in half. Returns the number of bytes written without the NUL; 0 when the number
// is unknown, the buffer is missing or size is not positive (buffer is then the empty text
// when there is room for it).
extern "C" __attribute__((visibility("default"))) int LoadLanguageString(unsigned int id,
                                                                         char *buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return 0;
    buffer[0] = '\0';

    const auto entry = std::lower_bound(
        kLanguageEntries.begin(), kLanguageEntries.end(), id,
        [](const LanguageEntry &e, unsigned int number) { return e.number < number; });
    if (entry == kLanguageEntries.end() || entry->number != id)
        return 0;

    const char *text = kLanguageTexts + entry->offset;
    size_t length = std::min<size_t>(entry->length, static_cast<size_t>(size) - 1);
    if (length < entry->length) {
        while (length > 0 && isUtf8Continuation(text[length]))
            --length;
    }
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
