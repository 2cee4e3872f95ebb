#include "platform/CodePage.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <langinfo.h>
#include <iconv.h>
#include <mutex>

namespace platform {

namespace {

// char16_t strings are in the machine's byte order; iconv must be told which one that is, or it
// would expect (and write) a byte-order mark.
constexpr const char *kUtf16Name =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::mutex g_forcedLock;
std::string g_forcedCodePage;

// One converter pair per thread, reopened when the code page changes. Opening a converter
// costs far more than a short conversion, and texts are converted often (every list row).
class Converter {
public:
    Converter(const char *to, const char *from) : m_handle(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_handle);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_handle; }
    void reset() { iconv(m_handle, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_handle;
};

struct ConverterPair {
    std::string codePage;
    std::unique_ptr<Converter> toUtf16;
    std::unique_ptr<Converter> fromUtf16;
};

ConverterPair &converters()
{
    thread_local ConverterPair pair;
    const std::string codePage = systemCodePage();
    if (pair.codePage != codePage || !pair.toUtf16) {
        pair.codePage = codePage;
        pair.toUtf16 = std::make_unique<Converter>(kUtf16Name, codePage.c_str());
        pair.fromUtf16 = std::make_unique<Converter>(codePage.c_str(), kUtf16Name);
        if (!pair.toUtf16->valid() || !pair.fromUtf16->valid()) {
            // A locale whose code page iconv does not know: fall back to UTF-8 rather than
            // losing every text.
            pair.toUtf16 = std::make_unique<Converter>(kUtf16Name, "UTF-8");
            pair.fromUtf16 = std::make_unique<Converter>("UTF-8", kUtf16Name);
        }
    }
    return pair;
}

constexpr char16_t kReplacement = u'\uFFFD';

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string systemCodePage()
{
    {
        std::lock_guard lock(g_forcedLock);
        if (!g_forcedCodePage.empty())
            return g_forcedCodePage;
    }
    const char *codeset = nl_langinfo(CODESET);
    // The C/POSIX locale reports plain ASCII; Qt treats such a system as UTF-8, and so do we,
    // so that the program and Qt agree about every 8-bit text.
    if (codeset == nullptr || *codeset == '\0' || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
        std::strcmp(codeset, "ASCII") == 0 || std::strcmp(codeset, "US-ASCII") == 0)
        return "UTF-8";
    return codeset;
}

void forceSystemCodePage(const std::string &codePage)
{
    std::lock_guard lock(g_forcedLock);
    g_forcedCodePage = codePage;
}

std::u16string ansiToUtf16(std::string_view ansi)
{
    const size_t end = ansi.find('\0');
    if (end != std::string_view::npos)
        ansi = ansi.substr(0, end);

    std::u16string result;
    if (ansi.empty())
        return result;
    Converter &converter = *converters().toUtf16;
    converter.reset();

    char *input = const_cast<char *>(ansi.data());  // iconv's signature; it does not write
    size_t inputLeft = ansi.size();
    char16_t buffer[256];
    while (inputLeft > 0) {
        char *output = reinterpret_cast<char *>(buffer);
        size_t outputLeft = sizeof buffer;
        const size_t converted =
            iconv(converter.handle(), &input, &inputLeft, &output, &outputLeft);
        result.append(buffer, static_cast<size_t>(reinterpret_cast<char16_t *>(output) - buffer));
        if (converted != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // A byte that starts no character (EILSEQ), or a character cut off at the end (EINVAL):
        // mark it and go on with the next byte.
        result.push_back(kReplacement);
        ++input;
        --inputLeft;
        converter.reset();
    }
    return result;
}

std::string utf16ToAnsi(std::u16string_view text)
{
    std::string result;
    if (text.empty())
        return result;
    Converter &converter = *converters().fromUtf16;
    converter.reset();

    char *input = const_cast<char *>(reinterpret_cast<const char *>(text.data()));
    size_t inputLeft = text.size() * sizeof(char16_t);
    char buffer[512];
    while (inputLeft > 0) {
        char *output = buffer;
        size_t outputLeft = sizeof buffer;
        const size_t converted =
            iconv(converter.handle(), &input, &inputLeft, &output, &outputLeft);
        result.append(buffer, static_cast<size_t>(output - buffer));
        if (converted != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // A character the code page lacks, or a lone surrogate: '?' stands for it.
        result.push_back('?');
        const auto *unit = reinterpret_cast<const char16_t *>(input);
        size_t skip = sizeof(char16_t);
        if (isHighSurrogate(unit[0]) && inputLeft >= 2 * sizeof(char16_t) &&
            isLowSurrogate(unit[1]))
            skip = 2 * sizeof(char16_t);
        input += skip;
        inputLeft -= skip;
        converter.reset();
    }
    // Finish a stateful code page (shift sequences) properly.
    char *output = buffer;
    size_t outputLeft = sizeof buffer;
    if (iconv(converter.handle(), nullptr, nullptr, &output, &outputLeft) !=
        static_cast<size_t>(-1))
        result.append(buffer, static_cast<size_t>(output - buffer));
    return result;
}

QString fromAnsi(std::string_view ansi)
{
    const std::u16string text = ansiToUtf16(ansi);
    return QString(reinterpret_cast<const QChar *>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

std::string toAnsi(const QString &text)
{
    return utf16ToAnsi(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                           static_cast<size_t>(text.size())));
}

size_t ansiCharLength(std::string_view ansi, size_t pos)
{
    if (pos >= ansi.size())
        return 0;
    const auto lead = static_cast<unsigned char>(ansi[pos]);
    if (lead < 0x80)
        return 1;  // ASCII is one byte in every code page the program runs under

    // Let the code page's own decoder say how long the character is: feed it one more byte at
    // a time until it takes a whole character. A byte that starts none counts as one.
    Converter &converter = *converters().toUtf16;
    constexpr size_t kLongestCharacter = 4;  // UTF-8 and GB18030
    const size_t available = std::min(kLongestCharacter, ansi.size() - pos);
    for (size_t length = 1; length <= available; ++length) {
        converter.reset();
        char *input = const_cast<char *>(ansi.data() + pos);
        size_t inputLeft = length;
        char16_t buffer[4];
        char *output = reinterpret_cast<char *>(buffer);
        size_t outputLeft = sizeof buffer;
        if (iconv(converter.handle(), &input, &inputLeft, &output, &outputLeft) !=
            static_cast<size_t>(-1))
            return inputLeft == 0 ? length : 1;
        if (errno != EINVAL)
            return 1;
    }
    converter.reset();
    return 1;  // cut off at the end of the text: a broken byte, not a character
}

std::string_view truncateAnsi(std::string_view ansi, size_t maxBytes)
{
    if (ansi.size() <= maxBytes)
        return ansi;
    // Trail bytes of double-byte code pages look like lead bytes, so the character boundaries
    // are only known when walked from the start.
    size_t pos = 0;
    while (pos < ansi.size()) {
        const size_t length = ansiCharLength(ansi, pos);
        if (pos + length > maxBytes)
            break;
        pos += length;
    }
    return ansi.substr(0, pos);
}

void copyToField(char *field, size_t fieldSize, std::string_view text)
{
    if (field == nullptr || fieldSize == 0)
        return;
    const std::string_view kept = truncateAnsi(text, fieldSize - 1);
    std::memcpy(field, kept.data(), kept.size());
    std::memset(field + kept.size(), 0, fieldSize - kept.size());
}

std::string_view fieldText(const char *field, size_t fieldSize)
{
    if (field == nullptr)
        return {};
    const void *nul = std::memchr(field, '\0', fieldSize);
    const size_t length =
        nul != nullptr ? static_cast<size_t>(static_cast<const char *>(nul) - field) : fieldSize;
    return std::string_view(field, length);
}

}  // namespace platform
