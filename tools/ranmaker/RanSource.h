// The readable source of the delivered .ran files, and the files made from it.
#pragma once

#include "config/ConfigRecords.h"

#include <string>
#include <string_view>
#include <vector>

namespace ranmaker {

struct DeliveredFiles {
    std::vector<ProfileRecord> profiles;  // config.ran; the first also goes to defaultcfg.ran
    AllConfig settings{};                 // allconfig.ran
    VolConfig volume{};                   // volconfig.ran
};

inline constexpr size_t kProtectedProfiles = 3;

// Parses the source text. Returns an empty text on success, else what is wrong and on which
// line; nothing the source does not say exactly is guessed.
std::string parseSource(std::string_view source, DeliveredFiles &files);

// Writes config.ran, defaultcfg.ran, allconfig.ran and volconfig.ran into folder. Returns an
// empty text on success, else the file that could not be written.
std::string writeFiles(const DeliveredFiles &files, const std::string &folder);

}  // namespace ranmaker
