// Byte layouts of the .ran files and of the in-memory records that are copied to them whole.
//
// Every record is a packed struct whose size and field offsets are fixed by the files already
// on users' disks; the static_asserts below keep them that way. Integers are little-endian on
// disk whatever the host, so they are held as byte arrays behind LeInt32. Texts are 8-bit
// strings in the system code page, NUL-terminated inside their field, zero after the
// terminator (fill them with platform::copyToField, read them with platform::fieldText).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A signed 32-bit integer stored little-endian.
struct LeInt32 {
    uint8_t bytes[4];

    int32_t get() const
    {
        const uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 |
                               uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
        return static_cast<int32_t>(value);
    }
    void set(int32_t value)
    {
        const auto raw = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<uint8_t>(raw >> (8 * i));
    }
};
static_assert(sizeof(LeInt32) == 4);

#pragma pack(push, 1)

// One notification sound: a mute flag (nonzero = muted) followed by the file to play.
struct SoundSetting {
    uint8_t muted;
    char file[1000];
};
static_assert(sizeof(SoundSetting) == 1001);

// allconfig.ran: the global settings, one record of 4056 bytes.
struct AllConfig {
    uint8_t networkSelection;     // 0 automatic, 1 manual
    uint8_t autoSelectionChoice;  // index 0-2 of the automatic modes
    uint8_t forbidStandby;        // 0 or 1
    char smsCentre[34];           // service centre number
    char smsValidity[2];          // decimal text of the validity index
    char smsStatusReport[2];      // "0" report requested, "1" not requested
    SoundSetting connectedSound;
    SoundSetting disconnectedSound;
    SoundSetting smsArrivedSound;
    SoundSetting incomingCallSound;
    uint8_t pinRequestEnabled;  // mirror of the SIM's PIN request, 0 or 1
    char smsStorage[2];         // '0', '1' or '2' and a zero byte
    LeInt32 concatReference;    // counter behind long-message references
    uint8_t clipPresentation;   // caller identification shown, 0 or 1
    uint8_t reserved[3];
};
static_assert(sizeof(AllConfig) == 4056);
static_assert(offsetof(AllConfig, forbidStandby) == 2);
static_assert(offsetof(AllConfig, smsCentre) == 3);
static_assert(offsetof(AllConfig, smsValidity) == 37);
static_assert(offsetof(AllConfig, smsStatusReport) == 39);
static_assert(offsetof(AllConfig, connectedSound) == 41);
static_assert(offsetof(AllConfig, connectedSound.file) == 42);
static_assert(offsetof(AllConfig, disconnectedSound) == 1042);
static_assert(offsetof(AllConfig, smsArrivedSound) == 2043);
static_assert(offsetof(AllConfig, incomingCallSound) == 3044);
static_assert(offsetof(AllConfig, incomingCallSound.file) == 3045);
static_assert(offsetof(AllConfig, pinRequestEnabled) == 4045);
static_assert(offsetof(AllConfig, smsStorage) == 4046);
static_assert(offsetof(AllConfig, concatReference) == 4048);
static_assert(offsetof(AllConfig, clipPresentation) == 4052);

// One connection profile: config.ran is a sequence of these, defaultcfg.ran holds one.
struct ProfileRecord {
    char name[68];  // the key; at most 60 characters
    char userName[104];
    char password[104];  // plain text: the files holding profiles are owner-only
    char dialNumber[20];
    char apnAutomatic[4];  // "1" obtain automatically, "0" use apn
    char apn[104];
    char dnsAutomatic[4];  // "1" / "0"
    char primaryDns[25];
    char secondaryDns[25];
    char pdpAddressAutomatic[4];  // "1" / "0"
    char pdpAddress[25];
    char pdpType[5];          // "IP" or "PPP"
    char authentication[5];   // "PAP" or "CHAP"
    char askCredentials[4];   // "1" / "0": prompt before dialling
    char saveCredentials[4];  // "1" / "0"
};
static_assert(sizeof(ProfileRecord) == 505);
static_assert(offsetof(ProfileRecord, userName) == 68);
static_assert(offsetof(ProfileRecord, password) == 172);
static_assert(offsetof(ProfileRecord, dialNumber) == 276);
static_assert(offsetof(ProfileRecord, apnAutomatic) == 296);
static_assert(offsetof(ProfileRecord, apn) == 300);
static_assert(offsetof(ProfileRecord, dnsAutomatic) == 404);
static_assert(offsetof(ProfileRecord, primaryDns) == 408);
static_assert(offsetof(ProfileRecord, secondaryDns) == 433);
static_assert(offsetof(ProfileRecord, pdpAddressAutomatic) == 458);
static_assert(offsetof(ProfileRecord, pdpAddress) == 462);
static_assert(offsetof(ProfileRecord, pdpType) == 487);
static_assert(offsetof(ProfileRecord, authentication) == 492);
static_assert(offsetof(ProfileRecord, askCredentials) == 497);
static_assert(offsetof(ProfileRecord, saveCredentials) == 501);

// volconfig.ran: the call window's audio levels (slider positions).
struct VolConfig {
    LeInt32 microphone;
    LeInt32 earphone;
    LeInt32 savedEarphone;  // earphone level when the last call started
};
static_assert(sizeof(VolConfig) == 12);

#pragma pack(pop)

// File names, all inside the program folder.
inline constexpr std::string_view kAllConfigFile = "allconfig.ran";
inline constexpr std::string_view kProfileListFile = "config.ran";
inline constexpr std::string_view kDefaultProfileFile = "defaultcfg.ran";
inline constexpr std::string_view kTempProfileListFile = "tempconfig.ran";
inline constexpr std::string_view kVolConfigFile = "volconfig.ran";

inline constexpr int32_t kDefaultVolumeLevel = 2;

// Sound slots as the store operations number them.
enum SoundSlot : int {
    kSoundSlotSmsArrived = 1,
    kSoundSlotIncomingCall = 2,
    kSoundSlotConnected = 3,
    kSoundSlotDisconnected = 4,
};

// The slot's setting inside the record; nullptr for a number outside 1-4.
SoundSetting *SoundOfSlot(AllConfig &config, int slot);
const SoundSetting *SoundOfSlot(const AllConfig &config, int slot);
// The delivered file of a slot (relative to the program folder); empty outside 1-4.
std::string_view DeliveredSoundFile(int slot);

// Puts the delivered defaults into the record: automatic network selection, standby
// forbidden, validity "3", no status report, every sound unmuted with its delivered file.
// The service centre, storage choice, counter and CLIP flag are kept; the PIN mirror is
// cleared only for a record that did not exist on disk before.
void ApplyAllConfigDefaults(AllConfig &config, bool fileExisted);

// The text of a record's name field.
std::string_view ProfileName(const ProfileRecord &record);
bool HasName(const ProfileRecord &record, std::string_view name);
