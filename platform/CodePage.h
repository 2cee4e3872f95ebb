// The system ("ANSI") code page and conversions between it and UTF-16.
//
// The system code page is the locale's (nl_langinfo(CODESET)); under the C/POSIX locale it is
// UTF-8, as Qt assumes. Tests can force another (CP1252, GBK). Conversions go through iconv.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace platform {

// The iconv name of the system code page, e.g. "UTF-8", "CP1252", "GBK".
std::string systemCodePage();

// Makes every conversion use the given code page; an empty name goes back to the locale's.
void forceSystemCodePage(const std::string &codePage);

// System code page -> UTF-16. Bytes that do not decode become U+FFFD; conversion stops at a NUL.
std::u16string ansiToUtf16(std::string_view ansi);
// UTF-16 -> system code page. Characters the code page lacks become '?'.
std::string utf16ToAnsi(std::u16string_view text);

QString fromAnsi(std::string_view ansi);
std::string toAnsi(const QString &text);

// Number of bytes of the character that starts at ansi[pos] in the system code page (1 for a
// single-byte character; 0 at or past the end).
size_t ansiCharLength(std::string_view ansi, size_t pos);

// The longest prefix of at most maxBytes bytes that does not cut a multibyte character in half.
std::string_view truncateAnsi(std::string_view ansi, size_t maxBytes);

// Copies text into a fixed field of fieldSize bytes: at most fieldSize - 1 bytes (never half a
// character), NUL-terminated, the rest of the field zero-filled.
void copyToField(char *field, size_t fieldSize, std::string_view text);

// The text held in a fixed field: up to the first NUL, or the whole field when there is none.
std::string_view fieldText(const char *field, size_t fieldSize);

}  // namespace platform
