// Conversions between the GSM 7-bit default alphabet (one code per byte, unpacked), UCS-2 and
// the system code page, for messages, USSD strings, toolkit input and SIM contact names.
//
// The tables are the program's own and differ from the standard GSM alphabet on purpose; the
// standard one is in codec/GsmAlphabet.h, and the engine and the virtual card speak it on the
// wire. These are what the windows show, count and send:
// - an accented letter the alphabet lacks folds to its base letter (À to A, ç to c), so a text
//   stays in the 7-bit coding, 160 characters a message instead of the 70 of UCS-2, and the
//   editor's choice of coding (IsGsmText) and its character count follow from that;
// - codes 91 and 93 read as the square brackets, which cards that treat their character set
//   as ASCII put there, and the small psi and theta stand in for the capitals;
// - a lone escape (27) reads as a space, and U+00A4 is the way to the euro sign, as in
//   ISO 8859-15, so texts of an 8-bit code page reach it.
//
// Every function checks its buffers first and returns -1 when a pointer is missing or a
// buffer is too small for the worst case, before writing anything. Only Ucs2ToAnsi writes a
// terminator.
#pragma once

#include <cstdint>

namespace gsm {

// GSM code -> UCS-2 (128 entries). The default alphabet, except: 23 and 25 give the small
// letters psi and theta, 27 gives a space, 91 and 93 give the square brackets.
extern const char16_t kGsmToUcs2Table[128];
// Code after an escape -> UCS-2 (128 entries); U+001B where the extension has nothing.
extern const char16_t kGsmExtensionToUcs2Table[128];
// U+0000..U+00FF -> GSM code (256 entries); accented letters the alphabet lacks fold to their
// base letter, everything else without a code gives a space.
extern const uint8_t kUcs2ToGsmTable[256];

// Decodes count GSM codes. capacity must be at least count. Returns the characters written.
int GsmToUcs2(char16_t *output, int capacity, const uint8_t *input, int count);
// Encodes count UCS-2 characters; size must be at least 2 * count (every character may need
// an escape pair). Returns the bytes written.
int Ucs2ToGsm(uint8_t *output, int size, const char16_t *input, int count);
// 1 when every character can be sent in GSM codes, 0 when one cannot, -1 for a missing text.
int IsGsmText(const char16_t *text, int count);
// IsGsmText of a NUL-terminated text in the system code page.
int IsGsmAnsiText(const char *text);
// ORs the nibbles of length hexadecimal characters into output, which the caller zero-fills;
// size must be at least length / 2 + 1. Digits, "A"-"F" and "a"-"f" are read; any other
// character counts as the digit 0. Returns 0.
int HexToBytes(uint8_t *output, int size, const char *hex, int length);
// Converts count UCS-2 characters to the system code page and terminates the result; size
// must be at least 2 * count. The result is cut, never inside a character, so that it and the
// terminator fit in size bytes. Returns the bytes written before the terminator.
int Ucs2ToAnsi(char *output, int size, const char16_t *input, int count);

// The same for UCS-2 held as 16-bit integers (engine records).
inline int GsmToUcs2(uint16_t *output, int capacity, const uint8_t *input, int count)
{
    return GsmToUcs2(reinterpret_cast<char16_t *>(output), capacity, input, count);
}
inline int Ucs2ToGsm(uint8_t *output, int size, const uint16_t *input, int count)
{
    return Ucs2ToGsm(output, size, reinterpret_cast<const char16_t *>(input), count);
}
inline int IsGsmText(const uint16_t *text, int count)
{
    return IsGsmText(reinterpret_cast<const char16_t *>(text), count);
}
inline int Ucs2ToAnsi(char *output, int size, const uint16_t *input, int count)
{
    return Ucs2ToAnsi(output, size, reinterpret_cast<const char16_t *>(input), count);
}

}  // namespace gsm
