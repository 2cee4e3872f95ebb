#include "tools/ranmaker/RanSource.h"

#include "config/RanFile.h"
#include "platform/CodePage.h"

#include <charconv>
#include <functional>
#include <map>
#include <set>

namespace ranmaker {
namespace {

std::string_view trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool isAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
            return false;
    }
    return true;
}

bool parseInteger(std::string_view text, int64_t low, int64_t high, int64_t &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low &&
           value <= high;
}

// A key's target: stores the value or says why it cannot.
using Setter = std::function<std::string(std::string_view value)>;

// A text field that holds at most maxLength characters (the editors' limits).
Setter textField(char *field, size_t size, size_t maxLength)
{
    return [=](std::string_view value) -> std::string {
        if (value.size() > maxLength)
            return "longer than " + std::to_string(maxLength) + " characters";
        platform::copyToField(field, size, value);
        return {};
    };
}

Setter choiceField(char *field, size_t size, std::set<std::string_view> choices)
{
    return [=](std::string_view value) -> std::string {
        if (!choices.contains(value)) {
            std::string allowed;
            for (const auto choice : choices)
                allowed += (allowed.empty() ? "" : ", ") + std::string(choice);
            return "must be one of " + allowed;
        }
        platform::copyToField(field, size, value);
        return {};
    };
}

Setter flagField(char *field, size_t size) { return choiceField(field, size, {"0", "1"}); }

template <typename Store>
Setter integerField(int64_t low, int64_t high, Store store)
{
    return [=](std::string_view value) -> std::string {
        int64_t number = 0;
        if (!parseInteger(value, low, high, number))
            return "must be a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high);
        store(number);
        return {};
    };
}

std::map<std::string, Setter, std::less<>> profileKeys(ProfileRecord &r)
{
    return {
        {"name", textField(r.name, sizeof r.name, 60)},
        {"user", textField(r.userName, sizeof r.userName, 18)},
        {"password", textField(r.password, sizeof r.password, 18)},
        {"dial", textField(r.dialNumber, sizeof r.dialNumber, 18)},
        {"apn_auto", flagField(r.apnAutomatic, sizeof r.apnAutomatic)},
        {"apn", textField(r.apn, sizeof r.apn, 100)},
        {"dns_auto", flagField(r.dnsAutomatic, sizeof r.dnsAutomatic)},
        {"dns1", textField(r.primaryDns, sizeof r.primaryDns, 15)},
        {"dns2", textField(r.secondaryDns, sizeof r.secondaryDns, 15)},
        {"address_auto", flagField(r.pdpAddressAutomatic, sizeof r.pdpAddressAutomatic)},
        {"address", textField(r.pdpAddress, sizeof r.pdpAddress, 15)},
        {"pdp_type", choiceField(r.pdpType, sizeof r.pdpType, {"IP", "PPP"})},
        {"auth", choiceField(r.authentication, sizeof r.authentication, {"PAP", "CHAP"})},
        {"ask_credentials", flagField(r.askCredentials, sizeof r.askCredentials)},
        {"save_credentials", flagField(r.saveCredentials, sizeof r.saveCredentials)},
    };
}

std::map<std::string, Setter, std::less<>> settingsKeys(AllConfig &c)
{
    return {
        {"service_centre", textField(c.smsCentre, sizeof c.smsCentre, 32)},
        {"sms_storage", choiceField(c.smsStorage, sizeof c.smsStorage, {"0", "1", "2"})},
        {"clip", integerField(0, 1, [&c](int64_t v) { c.clipPresentation = uint8_t(v); })},
        {"pin_request", integerField(0, 1, [&c](int64_t v) { c.pinRequestEnabled = uint8_t(v); })},
        {"auto_selection",
         integerField(0, 2, [&c](int64_t v) { c.autoSelectionChoice = uint8_t(v); })},
        {"concat_reference",
         integerField(0, INT32_MAX, [&c](int64_t v) { c.concatReference.set(int32_t(v)); })},
    };
}

std::map<std::string, Setter, std::less<>> volumeKeys(VolConfig &v)
{
    return {
        {"microphone", integerField(0, 5, [&v](int64_t n) { v.microphone.set(int32_t(n)); })},
        {"earphone", integerField(0, 5, [&v](int64_t n) { v.earphone.set(int32_t(n)); })},
        {"saved_earphone",
         integerField(0, 5, [&v](int64_t n) { v.savedEarphone.set(int32_t(n)); })},
    };
}

std::string checkProfiles(const std::vector<ProfileRecord> &profiles)
{
    if (profiles.size() < kProtectedProfiles)
        return "the protected profiles are missing: at least " +
               std::to_string(kProtectedProfiles) + " profiles are needed";
    std::set<std::string_view> names;
    for (const ProfileRecord &profile : profiles) {
        const std::string_view name = ProfileName(profile);
        if (name.empty())
            return "a profile has no name";
        if (!names.insert(name).second)
            return "two profiles are named \"" + std::string(name) + "\"";
        const auto field = [](const auto &array) {
            return platform::fieldText(array, sizeof array);
        };
        const std::string_view required[] = {field(profile.pdpType),
                                             field(profile.authentication),
                                             field(profile.apnAutomatic),
                                             field(profile.dnsAutomatic),
                                             field(profile.pdpAddressAutomatic),
                                             field(profile.askCredentials),
                                             field(profile.saveCredentials)};
        for (const std::string_view value : required) {
            if (value.empty())
                return "profile \"" + std::string(name) +
                       "\" lacks pdp_type, auth or one of the flags";
        }
    }
    return {};
}

}  // namespace

std::string parseSource(std::string_view source, DeliveredFiles &files)
{
    files = DeliveredFiles{};
    ApplyAllConfigDefaults(files.settings, false);
    files.volume.microphone.set(kDefaultVolumeLevel);
    files.volume.earphone.set(kDefaultVolumeLevel);
    files.volume.savedEarphone.set(kDefaultVolumeLevel);

    std::map<std::string, Setter, std::less<>> keys;
    std::set<std::string, std::less<>> seenKeys;
    std::set<std::string, std::less<>> seenSections;
    int lineNumber = 0;
    size_t start = 0;
    while (start < source.size()) {
        size_t end = source.find('\n', start);
        if (end == std::string_view::npos)
            end = source.size();
        const std::string_view line = trim(source.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        const auto fail = [lineNumber](const std::string &why) {
            return "line " + std::to_string(lineNumber) + ": " + why;
        };

        if (line.empty() || line.front() == '#')
            continue;
        if (!isAscii(line))
            return fail("only printable ASCII is allowed");
        if (line.front() == '[') {
            if (line.back() != ']')
                return fail("a section header ends with ']'");
            const std::string_view section = line.substr(1, line.size() - 2);
            seenKeys.clear();
            if (section == "profile") {
                files.profiles.emplace_back();
                keys = profileKeys(files.profiles.back());
            } else if (section == "settings" || section == "volume") {
                if (!seenSections.insert(std::string(section)).second)
                    return fail("[" + std::string(section) + "] appears twice");
                keys =
                    section == "settings" ? settingsKeys(files.settings) : volumeKeys(files.volume);
            } else {
                return fail("unknown section [" + std::string(section) + "]");
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return fail("expected key = value");
        const std::string_view key = trim(line.substr(0, equals));
        const std::string_view value = trim(line.substr(equals + 1));
        if (keys.empty())
            return fail("a key before the first section");
        const auto setter = keys.find(key);
        if (setter == keys.end())
            return fail("unknown key \"" + std::string(key) + "\"");
        if (!seenKeys.insert(std::string(key)).second)
            return fail("\"" + std::string(key) + "\" given twice");
        if (const std::string why = setter->second(value); !why.empty())
            return fail(std::string(key) + " " + why);
    }
    return checkProfiles(files.profiles);
}

std::string writeFiles(const DeliveredFiles &files, const std::string &folder)
{
    using ranfile::FileAccess;
    const auto pathOf = [&folder](std::string_view name) {
        return folder + "/" + std::string(name);
    };
    const auto bytes = [](const auto &record) {
        return std::string_view(reinterpret_cast<const char *>(&record), sizeof record);
    };
    const std::string_view profileBytes(reinterpret_cast<const char *>(files.profiles.data()),
                                        files.profiles.size() * sizeof(ProfileRecord));
    if (files.profiles.empty())
        return "no profiles to write";
    if (!ranfile::writeFileAtomically(pathOf(kProfileListFile), profileBytes,
                                      FileAccess::OwnerOnly))
        return std::string(kProfileListFile);
    if (!ranfile::writeFileAtomically(pathOf(kDefaultProfileFile), bytes(files.profiles.front()),
                                      FileAccess::OwnerOnly))
        return std::string(kDefaultProfileFile);
    if (!ranfile::writeFileAtomically(pathOf(kAllConfigFile), bytes(files.settings),
                                      FileAccess::Shared))
        return std::string(kAllConfigFile);
    if (!ranfile::writeFileAtomically(pathOf(kVolConfigFile), bytes(files.volume),
                                      FileAccess::Shared))
        return std::string(kVolConfigFile);
    return {};
}

}  // namespace ranmaker
