#include "platform/IniFile.h"

#include "platform/CodePage.h"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <limits>

namespace platform {

namespace {

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    // Only ASCII letters fold: section and key names are ASCII, and folding bytes of a
    // multibyte character would corrupt it.
    std::transform(result.begin(), result.end(), result.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return result;
}

}  // namespace

IniFile::IniFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;
    m_loaded = true;

    std::string_view rest(contents.constData(), static_cast<size_t>(contents.size()));
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    if (rest.starts_with(kUtf8Mark))
        rest.remove_prefix(kUtf8Mark.size());

    std::map<std::string, std::string> *section = nullptr;  // none until the first header
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);

        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name = trimmed(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            section = &m_sections[lowered(name)];
            continue;
        }
        const size_t equals = line.find('=');
        if (section == nullptr || equals == std::string_view::npos)
            continue;  // a key outside any section, or a line that is no key at all
        const std::string key = lowered(trimmed(line.substr(0, equals)));
        if (key.empty())
            continue;
        // The first of two equal keys wins, as with the Windows profile functions the skin
        // files were written for.
        section->emplace(key, std::string(trimmed(line.substr(equals + 1))));
    }
}

std::string IniFile::value(std::string_view section, std::string_view key,
                           std::string_view defaultValue, size_t bufferSize) const
{
    if (bufferSize == 0)
        return {};
    std::string_view found = defaultValue;
    const auto sectionEntry = m_sections.find(lowered(section));
    if (sectionEntry != m_sections.end()) {
        const auto keyEntry = sectionEntry->second.find(lowered(key));
        if (keyEntry != sectionEntry->second.end())
            found = keyEntry->second;
    }
    // The buffer holds bufferSize - 1 bytes and its terminator; never end on half a character.
    return std::string(truncateAnsi(found, bufferSize - 1));
}

int IniFile::intValue(std::string_view section, std::string_view key, int defaultValue) const
{
    const std::string text = value(section, key);
    std::string_view digits = text;
    if (digits.starts_with('+')) {
        digits.remove_prefix(1);  // from_chars takes a minus but no plus
        if (digits.starts_with('-'))
            return defaultValue;
    }
    long long number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end == digits.data())
        return defaultValue;
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return defaultValue;
    return static_cast<int>(number);
}

bool IniFile::hasSection(std::string_view section) const
{
    return m_sections.count(lowered(section)) != 0;
}

}  // namespace platform
