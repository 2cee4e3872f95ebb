// The configuration store: the .ran files and the in-memory records the program keeps for its
// whole run.
//
// Two folders: the delivered files lie read-only in the program's data folder, and the user's
// own copies in the settings folder. A file is read from the settings folder when the user has
// a copy there, else from the delivered one; every write goes to the settings folder, so the
// first change of a delivered file makes the user's copy of it.
//
// TBL_File is the file utility object. The program uses one of them, FileStore(), which exists
// from the first call to the end of the process: start-up loads the settings before the
// business logic (and the engine) is started, and exit saves them after it has stopped.
// Tests make their own TBL_File on a temporary folder.
//
// Every operation opens, uses and closes its files within the call; nothing is held open.
// Writes replace a file whole and atomically (see RanFile.h); files that hold passwords
// (config.ran, defaultcfg.ran, tempconfig.ran) are created readable by their owner only.
// Names are compared byte for byte, case-sensitive, up to the terminator; all texts are in the
// system code page.
#pragma once

#include "config/ConfigRecords.h"

#include "lumacore.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

class QWidget;

// What the profile screen learns about config.ran.
enum class ProfileFileStatus {
    Ok,
    Missing,  // cannot be opened
    Damaged,  // its size is not a whole number of records; nothing in it is trusted
};

// The modem parameters of the default profile, as texts for _MEC_SetModemPara.
struct ModemParams {
    std::string pdpType;
    std::string apn;         // empty when the APN is obtained automatically
    std::string pdpAddress;  // empty when the address is obtained automatically
};

class TBL_File {
public:
    // The program's store: the delivered files of its data folder, the user's settings folder.
    TBL_File();
    // A store that reads and writes its files in one folder.
    explicit TBL_File(const QString &folder);

    // The settings folder, where the store writes.
    const QString &folder() const { return m_folder; }
    const QString &deliveredFolder() const { return m_deliveredFolder; }
    void setFolder(const QString &folder) { setFolders(folder, folder); }
    void setFolders(const QString &settingsFolder, const QString &deliveredFolder);
    // Where a file of the store is read: the user's copy when there is one, else the delivered
    // file.
    std::string filePath(std::string_view fileName) const;

    // The in-memory records. All zero until loaded (a missing file leaves them so).
    AllConfig &allConfig() { return m_allConfig; }
    const AllConfig &allConfig() const { return m_allConfig; }
    ProfileRecord &defaultProfile() { return m_defaultProfile; }
    const ProfileRecord &defaultProfile() const { return m_defaultProfile; }
    ProfileRecord &factoryProfile() { return m_factoryProfile; }
    const ProfileRecord &factoryProfile() const { return m_factoryProfile; }

    // --- global settings (allconfig.ran) ---

    // Reads allconfig.ran into allConfig() (a short file fills only its own length) and hands
    // the SMS settings to the engine. Fails, telling the engine nothing, when there is no file.
    bool LoadAllConfig();
    bool SaveAllConfig() const;
    // Puts the delivered defaults into allConfig() and writes it.
    bool RestoreAllConfigDefaults();
    // The file to play for a sound slot (SoundSlot), read from the file on disk: empty when the
    // slot is muted or the slot number is unknown. Fails only when the file cannot be read.
    bool GetSoundFile(int slot, std::string &file) const;
    // Puts the delivered sound back into a slot of the file on disk; the mute flag and
    // allConfig() stay as they are. Fails for an unknown slot or an unreadable file.
    bool ResetSoundFile(int slot) const;

    // References of long messages: 1..255, and a 16-bit one.
    int32_t ConcatReference8() const;
    int32_t ConcatReference16() const;
    // Counts one long message and writes allConfig().
    bool AdvanceConcatReference();

    // --- connection profiles (config.ran, defaultcfg.ran) ---

    bool LoadDefaultProfile();
    bool LoadFactoryProfile();

    // Every record of config.ran, in file order. Leaves the list empty unless Ok.
    ProfileFileStatus LoadProfileList(std::vector<ProfileRecord> &profiles) const;
    bool AppendProfile(const ProfileRecord &record);
    // Removes the last record bearing the name. Refused for the default profile's name and
    // when no record bears it.
    bool DeleteProfile(std::string_view name);
    // The first record bearing the name into buffer. Succeeds whenever config.ran is readable;
    // without a match the buffer is left as it was.
    bool FindProfile(std::string_view name, ProfileRecord &buffer) const;
    // Every record named like oldRecord becomes newRecord; when that is the default profile,
    // defaultcfg.ran and defaultProfile() become newRecord too.
    bool ReplaceProfile(const ProfileRecord &oldRecord, const ProfileRecord &newRecord);
    // defaultcfg.ran and defaultProfile() become the record.
    bool WriteDefaultProfile(const ProfileRecord &record);
    // The (last) record bearing the name becomes the default. Succeeds without a change when
    // no record bears it.
    bool SetDefaultProfile(std::string_view name);
    // The default profile's modem parameters, read from defaultcfg.ran on disk.
    bool GetDefaultModemParams(ModemParams &params) const;
    // Writes the record (the dial credentials changed) over defaultcfg.ran and over the first
    // record of config.ran bearing its name, or appends it there. Shows string 3051 over owner
    // when a file is missing, damaged or cannot be written. The caller has already put the
    // record into defaultProfile().
    bool StoreProfileAsDefault(const ProfileRecord &record, QWidget *owner = nullptr);
    // Makes the delivered profile for the SIM's operator code (the IMSI's first digits) the
    // default; see DefaultProfileNameForOperator.
    bool SetDefaultProfileForOperator(std::string_view simOperatorCode);
    // Reads the SIM's operator code from the engine and does the above. When the engine cannot
    // say, the default is left alone and the result is failure.
    bool ChooseDefaultProfileFromSim();

    // --- call volume levels (volconfig.ran) ---

    // Reads the levels; a missing file is created with 2, 2, 2 first. Fails when the file
    // can neither be read nor created (levels then hold 2, 2, 2).
    bool LoadVolConfig(VolConfig &levels) const;
    bool SaveVolConfig(const VolConfig &levels) const;

private:
    std::string path(std::string_view fileName) const { return filePath(fileName); }
    // Where a file of the store is written (its folder is made when missing).
    std::string writePath(std::string_view fileName) const;
    bool exists(std::string_view fileName) const;
    bool readProfileRecords(std::vector<ProfileRecord> &profiles, bool &damaged) const;
    bool writeProfileList(const std::vector<ProfileRecord> &profiles,
                          const std::string &scratchPath = {}) const;
    bool writeDefaultFile(const ProfileRecord &record) const;

    QString m_folder;
    QString m_deliveredFolder;
    std::string m_folderPath;  // m_folder in the file system's encoding
    std::string m_deliveredPath;
    AllConfig m_allConfig{};
    ProfileRecord m_defaultProfile{};
    ProfileRecord m_factoryProfile{};
};

// The program's store.
TBL_File &FileStore();

// The delivered profile for a SIM operator code: "Brisa AR" for 722310..., "Brisa PY" for
// 74402..., "Brisa UY" for 74810..., "Brisa AR" for anything else.
std::string_view DefaultProfileNameForOperator(std::string_view simOperatorCode);

// The SMS settings of a settings record, as the engine takes them.
SmsConfigBlock BuildSmsConfigBlock(const AllConfig &config);
