#include "config/BL_File.h"

#include "config/RanFile.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ProgramFolders.h"
#include "platform/ResStringManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

template <typename Record>
std::string_view bytesOf(const Record &record)
{
    return {reinterpret_cast<const char *>(&record), sizeof record};
}

// Copies the start of bytes over the record; a short file fills only its own length and the
// rest of the record keeps what it held.
template <typename Record>
void fillFrom(Record &record, std::string_view bytes)
{
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
}

bool isFlagSet(const char *field, size_t size) { return platform::fieldText(field, size) == "1"; }

std::string joinPath(std::string folder, std::string_view fileName)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    folder += fileName;
    return folder;
}

}  // namespace

TBL_File::TBL_File() { setFolders(platform::settingsFolder(), platform::dataFolder()); }

TBL_File::TBL_File(const QString &folder) { setFolder(folder); }

void TBL_File::setFolders(const QString &settingsFolder, const QString &deliveredFolder)
{
    m_folder = settingsFolder;
    m_deliveredFolder = deliveredFolder;
    m_folderPath = QFile::encodeName(settingsFolder).toStdString();
    m_deliveredPath = QFile::encodeName(deliveredFolder).toStdString();
}

std::string TBL_File::filePath(std::string_view fileName) const
{
    std::string own = joinPath(m_folderPath, fileName);
    if (m_deliveredPath == m_folderPath || ranfile::fileExists(own))
        return own;
    std::string delivered = joinPath(m_deliveredPath, fileName);
    return ranfile::fileExists(delivered) ? delivered : own;
}

std::string TBL_File::writePath(std::string_view fileName) const
{
    // A first write makes the settings folder.
    if (!m_folder.isEmpty() && !QFileInfo::exists(m_folder))
        QDir().mkpath(m_folder);
    return joinPath(m_folderPath, fileName);
}

bool TBL_File::exists(std::string_view fileName) const
{
    return ranfile::fileExists(path(fileName));
}

// ---------------------------------------------------------------------------------------------
// Global settings

bool TBL_File::LoadAllConfig()
{
    const auto bytes = ranfile::readFilePrefix(path(kAllConfigFile), sizeof(AllConfig));
    if (!bytes)
        return false;
    fillFrom(m_allConfig, *bytes);
    // The engine keeps the SMS settings for the messages it sends; its answer changes nothing
    // here (the settings are handed over again whenever they are saved).
    (void)_MEC_SetSmsConfig(BuildSmsConfigBlock(m_allConfig));
    return true;
}

bool TBL_File::SaveAllConfig() const
{
    return ranfile::writeFileAtomically(writePath(kAllConfigFile), bytesOf(m_allConfig),
                                        ranfile::FileAccess::Shared);
}

bool TBL_File::RestoreAllConfigDefaults()
{
    const bool existed = exists(kAllConfigFile);
    ApplyAllConfigDefaults(m_allConfig, existed);
    return SaveAllConfig();
}

bool TBL_File::GetSoundFile(int slot, std::string &file) const
{
    file.clear();
    const auto bytes = ranfile::readFilePrefix(path(kAllConfigFile), sizeof(AllConfig));
    if (!bytes)
        return false;
    AllConfig onDisk{};
    fillFrom(onDisk, *bytes);
    const SoundSetting *sound = SoundOfSlot(onDisk, slot);
    if (sound && sound->muted == 0)
        file = platform::fieldText(sound->file, sizeof sound->file);
    return true;
}

bool TBL_File::ResetSoundFile(int slot) const
{
    const auto bytes = ranfile::readFilePrefix(path(kAllConfigFile), sizeof(AllConfig));
    if (!bytes)
        return false;
    AllConfig onDisk{};
    fillFrom(onDisk, *bytes);
    SoundSetting *sound = SoundOfSlot(onDisk, slot);
    if (!sound)
        return false;
    platform::copyToField(sound->file, sizeof sound->file, DeliveredSoundFile(slot));
    return ranfile::writeFileAtomically(writePath(kAllConfigFile), bytesOf(onDisk),
                                        ranfile::FileAccess::Shared);
}

int32_t TBL_File::ConcatReference8() const
{
    // Counted in unsigned arithmetic: a counter that has wrapped to a negative value still
    // yields a reference in 1..255.
    const auto counter = static_cast<uint32_t>(m_allConfig.concatReference.get());
    return static_cast<int32_t>(counter % 255u) + 1;
}

int32_t TBL_File::ConcatReference16() const
{
    const auto counter = static_cast<uint32_t>(m_allConfig.concatReference.get());
    return static_cast<int32_t>(counter + 1u);
}

bool TBL_File::AdvanceConcatReference()
{
    const auto counter = static_cast<uint32_t>(m_allConfig.concatReference.get());
    m_allConfig.concatReference.set(static_cast<int32_t>(counter + 1u));
    return SaveAllConfig();
}

// ---------------------------------------------------------------------------------------------
// Connection profiles

bool TBL_File::LoadDefaultProfile()
{
    const auto bytes = ranfile::readFilePrefix(path(kDefaultProfileFile), sizeof(ProfileRecord));
    if (!bytes)
        return false;
    fillFrom(m_defaultProfile, *bytes);
    return true;
}

bool TBL_File::LoadFactoryProfile()
{
    const auto bytes = ranfile::readFilePrefix(path(kProfileListFile), sizeof(ProfileRecord));
    if (!bytes)
        return false;
    fillFrom(m_factoryProfile, *bytes);
    return true;
}

bool TBL_File::readProfileRecords(std::vector<ProfileRecord> &profiles, bool &damaged) const
{
    profiles.clear();
    const auto bytes = ranfile::readFile(path(kProfileListFile));
    if (!bytes)
        return false;
    damaged = bytes->size() % sizeof(ProfileRecord) != 0;
    // Whole records only: the bytes of a torn last record name no profile.
    profiles.resize(bytes->size() / sizeof(ProfileRecord));
    if (!profiles.empty())
        std::memcpy(profiles.data(), bytes->data(), profiles.size() * sizeof(ProfileRecord));
    return true;
}

bool TBL_File::writeProfileList(const std::vector<ProfileRecord> &profiles,
                                const std::string &scratchPath) const
{
    const std::string_view bytes(reinterpret_cast<const char *>(profiles.data()),
                                 profiles.size() * sizeof(ProfileRecord));
    return ranfile::writeFileAtomically(writePath(kProfileListFile), bytes,
                                        ranfile::FileAccess::OwnerOnly, scratchPath);
}

bool TBL_File::writeDefaultFile(const ProfileRecord &record) const
{
    return ranfile::writeFileAtomically(writePath(kDefaultProfileFile), bytesOf(record),
                                        ranfile::FileAccess::OwnerOnly);
}

ProfileFileStatus TBL_File::LoadProfileList(std::vector<ProfileRecord> &profiles) const
{
    bool damaged = false;
    if (!readProfileRecords(profiles, damaged))
        return ProfileFileStatus::Missing;
    if (damaged) {
        profiles.clear();
        return ProfileFileStatus::Damaged;
    }
    return ProfileFileStatus::Ok;
}

// The operations that rewrite config.ran refuse a damaged file: rewriting it would either
// drop its torn tail or shift every record after it, and the bytes there may still be
// somebody's profile.

bool TBL_File::AppendProfile(const ProfileRecord &record)
{
    std::vector<ProfileRecord> profiles;
    bool damaged = false;
    if (!readProfileRecords(profiles, damaged)) {
        if (exists(kProfileListFile))
            return false;  // there, but unreadable: never replace it with a one-record list
        profiles.clear();
    } else if (damaged) {
        return false;
    }
    profiles.push_back(record);
    return writeProfileList(profiles);
}

bool TBL_File::DeleteProfile(std::string_view name)
{
    if (name == ProfileName(m_defaultProfile))
        return false;
    std::vector<ProfileRecord> profiles;
    bool damaged = false;
    if (!readProfileRecords(profiles, damaged) || damaged)
        return false;
    auto last = profiles.end();
    for (auto it = profiles.begin(); it != profiles.end(); ++it) {
        if (HasName(*it, name))
            last = it;
    }
    if (last == profiles.end())
        return false;
    profiles.erase(last);
    // The surviving records are gathered in tempconfig.ran, which then takes config.ran's place
    // in one step.
    return writeProfileList(profiles, writePath(kTempProfileListFile));
}

bool TBL_File::FindProfile(std::string_view name, ProfileRecord &buffer) const
{
    std::vector<ProfileRecord> profiles;
    bool damaged = false;
    if (!readProfileRecords(profiles, damaged))
        return false;
    for (const ProfileRecord &profile : profiles) {
        if (HasName(profile, name)) {
            buffer = profile;
            break;
        }
    }
    return true;
}

bool TBL_File::ReplaceProfile(const ProfileRecord &oldRecord, const ProfileRecord &newRecord)
{
    std::vector<ProfileRecord> profiles;
    bool damaged = false;
    if (!readProfileRecords(profiles, damaged) || damaged)
        return false;
    const std::string oldName(ProfileName(oldRecord));
    bool replaced = false;
    for (ProfileRecord &profile : profiles) {
        if (HasName(profile, oldName)) {
            profile = newRecord;
            replaced = true;
        }
    }
    if (replaced && !writeProfileList(profiles))
        return false;
    if (oldName == ProfileName(m_defaultProfile))
        return WriteDefaultProfile(newRecord);
    return true;
}

bool TBL_File::WriteDefaultProfile(const ProfileRecord &record)
{
    if (!writeDefaultFile(record))
        return false;
    m_defaultProfile = record;
    return true;
}

bool TBL_File::SetDefaultProfile(std::string_view name)
{
    std::vector<ProfileRecord> profiles;
    bool damaged = false;
    if (!readProfileRecords(profiles, damaged))
        return false;
    // Every match used to be written in turn, so the last one is what stays.
    for (auto it = profiles.rbegin(); it != profiles.rend(); ++it) {
        if (HasName(*it, name))
            return WriteDefaultProfile(*it);
    }
    return true;
}

bool TBL_File::GetDefaultModemParams(ModemParams &params) const
{
    const auto bytes = ranfile::readFilePrefix(path(kDefaultProfileFile), sizeof(ProfileRecord));
    if (!bytes)
        return false;
    ProfileRecord record{};
    fillFrom(record, *bytes);
    params.pdpType = platform::fieldText(record.pdpType, sizeof record.pdpType);
    params.apn = isFlagSet(record.apnAutomatic, sizeof record.apnAutomatic)
                     ? std::string()
                     : std::string(platform::fieldText(record.apn, sizeof record.apn));
    params.pdpAddress =
        isFlagSet(record.pdpAddressAutomatic, sizeof record.pdpAddressAutomatic)
            ? std::string()
            : std::string(platform::fieldText(record.pdpAddress, sizeof record.pdpAddress));
    return true;
}

bool TBL_File::StoreProfileAsDefault(const ProfileRecord &record, QWidget *owner)
{
    const auto refuse = [owner] {
        platform::ShowMessageBox(owner, platform::GetLanguageString(text::kDefaultProfileFileError),
                                 2);
        return false;
    };
    // Both files must be there already: this only updates the credentials of a profile the
    // user is dialling with.
    if (!exists(kDefaultProfileFile) || !writeDefaultFile(record))
        return refuse();

    std::vector<ProfileRecord> profiles;
    bool damaged = false;
    if (!readProfileRecords(profiles, damaged) || damaged)
        return refuse();
    const std::string_view name = ProfileName(record);
    bool stored = false;
    for (ProfileRecord &profile : profiles) {
        if (HasName(profile, name)) {
            profile = record;
            stored = true;
            break;
        }
    }
    if (!stored)
        profiles.push_back(record);
    if (!writeProfileList(profiles))
        return refuse();
    return true;
}

bool TBL_File::SetDefaultProfileForOperator(std::string_view simOperatorCode)
{
    return SetDefaultProfile(DefaultProfileNameForOperator(simOperatorCode));
}

bool TBL_File::ChooseDefaultProfileFromSim()
{
    char imsi[MEC_SIM_OPERATOR_TEXT_SIZE] = {};
    if (_MEC_GetSIMCardOperator(imsi) != 0)
        return false;
    return SetDefaultProfileForOperator(platform::fieldText(imsi, sizeof imsi));
}

// ---------------------------------------------------------------------------------------------
// Call volume levels

bool TBL_File::LoadVolConfig(VolConfig &levels) const
{
    levels.microphone.set(kDefaultVolumeLevel);
    levels.earphone.set(kDefaultVolumeLevel);
    levels.savedEarphone.set(kDefaultVolumeLevel);
    if (!exists(kVolConfigFile))
        return SaveVolConfig(levels);
    const auto bytes = ranfile::readFilePrefix(path(kVolConfigFile), sizeof(VolConfig));
    if (!bytes)
        return false;
    // A short file keeps the default level for the values it lacks.
    fillFrom(levels, *bytes);
    return true;
}

bool TBL_File::SaveVolConfig(const VolConfig &levels) const
{
    return ranfile::writeFileAtomically(writePath(kVolConfigFile), bytesOf(levels),
                                        ranfile::FileAccess::Shared);
}

// ---------------------------------------------------------------------------------------------

TBL_File &FileStore()
{
    static TBL_File store;
    return store;
}

std::string_view DefaultProfileNameForOperator(std::string_view simOperatorCode)
{
    if (simOperatorCode.starts_with("722310"))
        return "Brisa AR";
    if (simOperatorCode.starts_with("74402"))
        return "Brisa PY";
    if (simOperatorCode.starts_with("74810"))
        return "Brisa UY";
    return "Brisa AR";
}

SmsConfigBlock BuildSmsConfigBlock(const AllConfig &config)
{
    SmsConfigBlock block{};
    platform::copyToField(block.serviceCenter, sizeof block.serviceCenter,
                          platform::fieldText(config.smsCentre, sizeof config.smsCentre));
    block.validity = config.smsValidity[0];
    // "0" asks for status reports. Anything that is not a decimal number (an empty text when
    // no choice was ever made, or a damaged byte) counts as the delivered choice "1", no
    // reports: the card should not send reports the user never asked for.
    const std::string_view report =
        platform::fieldText(config.smsStatusReport, sizeof config.smsStatusReport);
    const bool decimal =
        !report.empty() && report.find_first_not_of("0123456789") == std::string_view::npos;
    block.statusReport = decimal && report.find_first_not_of('0') == std::string_view::npos ? 1 : 0;
    block.storage = config.smsStorage[0];
    return block;
}
