// The global settings file: its byte layout, loading (and what the engine is told), restoring
// the defaults, the sound slots and the long-message reference counter.

#include "ConfigTestSupport.h"

#include "FakeLumacore.h"

#include <optional>

using namespace configtest;

namespace {

class AllConfigTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        lumacore_fake::reset();
    }
};

// Fills every field the program keeps with a recognisable value.
AllConfig sampleConfig()
{
    AllConfig config{};
    config.networkSelection = 1;
    config.autoSelectionChoice = 2;
    config.forbidStandby = 1;
    platform::copyToField(config.smsCentre, sizeof config.smsCentre, "+5491112345678");
    platform::copyToField(config.smsValidity, sizeof config.smsValidity, "2");
    platform::copyToField(config.smsStatusReport, sizeof config.smsStatusReport, "0");
    config.connectedSound.muted = 1;
    platform::copyToField(config.connectedSound.file, sizeof config.connectedSound.file, "up.wav");
    platform::copyToField(config.disconnectedSound.file, sizeof config.disconnectedSound.file,
                          "down.wav");
    platform::copyToField(config.smsArrivedSound.file, sizeof config.smsArrivedSound.file,
                          "sms.wav");
    config.incomingCallSound.muted = 7;
    platform::copyToField(config.incomingCallSound.file, sizeof config.incomingCallSound.file,
                          "ring.wav");
    config.pinRequestEnabled = 1;
    platform::copyToField(config.smsStorage, sizeof config.smsStorage, "2");
    config.concatReference.set(0x01020304);
    config.clipPresentation = 1;
    return config;
}

TEST_F(AllConfigTest, SavedFileHasEveryFieldAtItsOffset)
{
    m_store.allConfig() = sampleConfig();
    ASSERT_TRUE(m_store.SaveAllConfig());
    const std::string file = readRaw(kAllConfigFile);
    ASSERT_EQ(file.size(), 4056u);

    const struct {
        size_t offset;
        std::string bytes;
    } expected[] = {
        {0, std::string("\x01\x02\x01", 3)},
        {3, std::string("+5491112345678\0", 15)},
        {37, std::string("2\0", 2)},
        {39, std::string("0\0", 2)},
        {41, std::string("\x01up.wav\0", 8)},
        {1042, std::string("\x00"
                           "down.wav\0",
                           10)},
        {2043, std::string("\x00sms.wav\0", 9)},
        {3044, std::string("\x07ring.wav\0", 10)},
        {4045, std::string("\x01"
                           "2\0",
                           3)},
        {4048, std::string("\x04\x03\x02\x01", 4)},  // little-endian counter
        {4052, std::string("\x01\0\0\0", 4)},
    };
    for (const auto &field : expected)
        EXPECT_EQ(file.substr(field.offset, field.bytes.size()), field.bytes)
            << "at offset " << field.offset;
}

TEST_F(AllConfigTest, LoadHandsTheSmsSettingsToTheEngine)
{
    std::optional<SmsConfigBlock> told;
    lumacore_fake::onCall(&_MEC_SetSmsConfig, [&told](SmsConfigBlock block) -> MEC_STATUS {
        told = block;
        return 1;  // the engine's answer does not matter
    });
    writeRaw(kAllConfigFile, bytesOf(sampleConfig()));

    ASSERT_TRUE(m_store.LoadAllConfig());
    EXPECT_EQ(bytesOf(m_store.allConfig()), bytesOf(sampleConfig()));
    ASSERT_TRUE(told.has_value());
    EXPECT_STREQ(told->serviceCenter, "+5491112345678");
    EXPECT_EQ(told->validity, '2');
    EXPECT_EQ(told->statusReport, 1);  // "0" asks for reports
    EXPECT_EQ(told->storage, '2');
}

TEST_F(AllConfigTest, MissingFileLeavesTheRecordAndTellsTheEngineNothing)
{
    m_store.allConfig() = sampleConfig();
    EXPECT_FALSE(m_store.LoadAllConfig());
    EXPECT_EQ(bytesOf(m_store.allConfig()), bytesOf(sampleConfig()));
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetSmsConfig"), 0);
}

TEST_F(AllConfigTest, ShortFileFillsOnlyItsOwnLength)
{
    std::memset(&m_store.allConfig(), 0xAA, sizeof(AllConfig));
    writeRaw(kAllConfigFile, std::string(10, '\x01'));

    ASSERT_TRUE(m_store.LoadAllConfig());
    const std::string record = bytesOf(m_store.allConfig());
    EXPECT_EQ(record.substr(0, 10), std::string(10, '\x01'));
    EXPECT_EQ(record.substr(10), std::string(4056 - 10, '\xAA'));
}

TEST(SmsConfigBlockTest, StatusReportIsRequestedOnlyForTheDecimalZero)
{
    const struct {
        std::string_view text;
        int request;
    } cases[] = {
        {"0", 1}, {"1", 0}, {"00", 1},
        {"7", 0}, {"", 0},  // zero-filled record: treated as the delivered choice, no report
        {"x", 0},           // not a number: same
        {"-", 0},
    };
    for (const auto &c : cases) {
        AllConfig config{};
        std::memcpy(config.smsStatusReport, c.text.data(), c.text.size());
        EXPECT_EQ(BuildSmsConfigBlock(config).statusReport, c.request) << "text '" << c.text << "'";
    }
}

TEST(SmsConfigBlockTest, ServiceCentreWithoutTerminatorStaysInsideTheBlock)
{
    AllConfig config{};
    std::memset(config.smsCentre, '9', sizeof config.smsCentre);
    const SmsConfigBlock block = BuildSmsConfigBlock(config);
    EXPECT_EQ(std::string(block.serviceCenter), std::string(33, '9'));
}

TEST_F(AllConfigTest, RestoreDefaultsKeepsWhatTheUserSetElsewhere)
{
    for (const bool fileExisted : {true, false}) {
        SCOPED_TRACE(fileExisted ? "file existed" : "no file");
        ::unlink(path(kAllConfigFile).c_str());
        if (fileExisted)
            writeRaw(kAllConfigFile, std::string(4056, '\0'));
        m_store.allConfig() = sampleConfig();

        ASSERT_TRUE(m_store.RestoreAllConfigDefaults());
        AllConfig onDisk{};
        std::memcpy(&onDisk, readRaw(kAllConfigFile).data(), sizeof onDisk);
        EXPECT_EQ(bytesOf(onDisk), bytesOf(m_store.allConfig()));

        const AllConfig &restored = m_store.allConfig();
        EXPECT_EQ(restored.networkSelection, 0);
        EXPECT_EQ(restored.forbidStandby, 1);
        EXPECT_EQ(std::string(restored.smsValidity, 2), std::string("3\0", 2));
        EXPECT_EQ(std::string(restored.smsStatusReport, 2), std::string("1\0", 2));
        EXPECT_EQ(restored.connectedSound.muted + restored.incomingCallSound.muted, 0);
        EXPECT_STREQ(restored.connectedSound.file, "./resource/sound/wav/chimes.wav");
        EXPECT_STREQ(restored.disconnectedSound.file, "./resource/sound/wav/tada.wav");
        EXPECT_STREQ(restored.smsArrivedSound.file, "./resource/sound/wav/bird.wav");
        EXPECT_STREQ(restored.incomingCallSound.file, "./resource/sound/wav/stelephone.wav");
        // A longer old path leaves nothing behind the new terminator.
        const std::string_view connected(restored.connectedSound.file,
                                         sizeof restored.connectedSound.file);
        EXPECT_EQ(connected.find_first_not_of('\0', 32), std::string_view::npos);

        // Kept.
        EXPECT_EQ(restored.autoSelectionChoice, 2);
        EXPECT_STREQ(restored.smsCentre, "+5491112345678");
        EXPECT_EQ(restored.smsStorage[0], '2');
        EXPECT_EQ(restored.concatReference.get(), 0x01020304);
        EXPECT_EQ(restored.clipPresentation, 1);
        EXPECT_EQ(restored.pinRequestEnabled, fileExisted ? 1 : 0);
    }
}

TEST_F(AllConfigTest, SoundFileComesFromTheDiskAndIsEmptyWhenMuted)
{
    writeRaw(kAllConfigFile, bytesOf(sampleConfig()));
    m_store.allConfig() = AllConfig{};  // the file on disk counts, not memory

    const struct {
        int slot;
        std::string file;
    } cases[] = {
        {kSoundSlotSmsArrived, "sms.wav"},
        {kSoundSlotIncomingCall, ""},  // muted, although a file is set
        {kSoundSlotConnected, ""},     // muted
        {kSoundSlotDisconnected, "down.wav"},
        {0, ""},
        {5, ""},
    };
    for (const auto &c : cases) {
        std::string file = "stale";
        EXPECT_TRUE(m_store.GetSoundFile(c.slot, file)) << "slot " << c.slot;
        EXPECT_EQ(file, c.file) << "slot " << c.slot;
    }
    ::unlink(path(kAllConfigFile).c_str());
    std::string file;
    EXPECT_FALSE(m_store.GetSoundFile(kSoundSlotSmsArrived, file));
}

TEST_F(AllConfigTest, ResetSoundFilePutsTheDeliveredFileBackOnDiskOnly)
{
    const AllConfig original = sampleConfig();
    writeRaw(kAllConfigFile, bytesOf(original));
    m_store.allConfig() = original;

    ASSERT_TRUE(m_store.ResetSoundFile(kSoundSlotIncomingCall));
    AllConfig onDisk{};
    std::memcpy(&onDisk, readRaw(kAllConfigFile).data(), sizeof onDisk);
    EXPECT_STREQ(onDisk.incomingCallSound.file, "./resource/sound/wav/stelephone.wav");
    EXPECT_EQ(onDisk.incomingCallSound.muted, 7);
    // Nothing else moved, on disk or in memory.
    onDisk.incomingCallSound = original.incomingCallSound;
    EXPECT_EQ(bytesOf(onDisk), bytesOf(original));
    EXPECT_EQ(bytesOf(m_store.allConfig()), bytesOf(original));

    EXPECT_FALSE(m_store.ResetSoundFile(0));
    EXPECT_FALSE(m_store.ResetSoundFile(5));
}

TEST_F(AllConfigTest, ConcatenationReferences)
{
    const struct {
        int32_t counter;
        int32_t reference8;
        int32_t reference16;
    } cases[] = {
        {0, 1, 1},
        {254, 255, 255},
        {255, 1, 256},
        {509, 255, 510},
        {-1, 1, 0},  // a wrapped counter still gives a reference in 1..255
        {INT32_MAX, 128, INT32_MIN},
    };
    for (const auto &c : cases) {
        m_store.allConfig().concatReference.set(c.counter);
        EXPECT_EQ(m_store.ConcatReference8(), c.reference8) << "counter " << c.counter;
        EXPECT_EQ(m_store.ConcatReference16(), c.reference16) << "counter " << c.counter;
    }
}

TEST_F(AllConfigTest, AdvancingTheReferenceWritesTheWholeRecord)
{
    m_store.allConfig() = sampleConfig();
    m_store.allConfig().concatReference.set(41);
    ASSERT_TRUE(m_store.AdvanceConcatReference());
    EXPECT_EQ(m_store.allConfig().concatReference.get(), 42);
    EXPECT_EQ(readRaw(kAllConfigFile), bytesOf(m_store.allConfig()));
}

}  // namespace
