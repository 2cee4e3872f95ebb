// A reader for the skin's INI files with the semantics the program was written against:
// sections and keys match without regard to case, a value is read into a 100-character buffer
// (so at most 99 characters come back), a missing file, section or key reads as the default.
// Values are taken whole, commas included (unlike QSettings).
#pragma once

#include <QString>

#include <map>
#include <string>

namespace platform {

class IniFile {
public:
    static constexpr size_t kValueBufferSize = 100;

    IniFile() = default;
    // Reads and parses the whole file once; a file that cannot be read gives an empty IniFile.
    explicit IniFile(const QString &path);

    bool isLoaded() const { return m_loaded; }

    // The value, cut to bufferSize - 1 characters; defaultValue when section or key is missing.
    std::string value(std::string_view section, std::string_view key,
                      std::string_view defaultValue = {},
                      size_t bufferSize = kValueBufferSize) const;

    // A decimal integer value (leading digits, optional sign); defaultValue when missing or
    // not a number.
    int intValue(std::string_view section, std::string_view key, int defaultValue) const;

    bool hasSection(std::string_view section) const;

private:
    bool m_loaded = false;
    // lower-cased section -> lower-cased key -> value
    std::map<std::string, std::map<std::string, std::string>> m_sections;
};

}  // namespace platform
