// Sounds: priorities, the ring, failures and muted events, and where a file is looked for.
#include "MonitorTestSupport.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Sms.h"
#include "platform/CodePage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstring>

using lumacore_fake::countOf;
using lumacore_fake::onCall;
using lumacore_fake::setResult;

TEST_F(NoticeTest, RingIsNotCutByAMessageButAMessageIsCutByARing)
{
    monitor->incomingCall(QStringLiteral("+2"));
    ASSERT_EQ(sound->played, QStringList{soundFile("stelephone.wav")});
    EXPECT_TRUE(sound->repeating);
    monitor->newSmsArrived(QStringLiteral("+3"));
    EXPECT_EQ(sound->played.size(), 1);
    EXPECT_EQ(monitor->sound().playingPriority(), 3);

    monitor->callStopped();
    EXPECT_FALSE(sound->playing);
    monitor->newSmsArrived(QStringLiteral("+3"));
    EXPECT_EQ(sound->played.back(), soundFile("bird.wav"));
    EXPECT_FALSE(sound->repeating);
    monitor->incomingCall(QStringLiteral("+2"));
    EXPECT_EQ(sound->played.back(), soundFile("stelephone.wav"));
    EXPECT_EQ(monitor->sound().playingPriority(), 3);
}

TEST_F(NoticeTest, SoundPriorities)
{
    struct Case {
        SoundEvent playing;
        bool stillPlaying;
        SoundEvent next;
        bool started;
    };
    const Case cases[] = {
        {SoundEvent::Connected, true, SoundEvent::SmsArrived, true},
        {SoundEvent::SmsArrived, true, SoundEvent::Disconnected, false},
        {SoundEvent::SmsArrived, false, SoundEvent::Disconnected, true},
        {SoundEvent::SmsArrived, true, SoundEvent::SmsArrived, true},
        {SoundEvent::IncomingCall, true, SoundEvent::Connected, false},
    };
    for (const Case &c : cases) {
        monitor->sound().stop();
        monitor->sound().play(c.playing);
        if (!c.stillPlaying)
            sound->output->finish();
        const qsizetype before = sound->played.size();
        monitor->sound().play(c.next);
        EXPECT_EQ(sound->played.size() > before, c.started)
            << int(c.playing) << " then " << int(c.next);
    }
}

TEST_F(NoticeTest, UnplayableSoundBeepsRestoresTheDefaultAndTriesOnce)
{
    SoundOfSlot(FileStore().allConfig(), kSoundSlotSmsArrived);
    std::strcpy(SoundOfSlot(FileStore().allConfig(), kSoundSlotSmsArrived)->file, "/nowhere/x.wav");
    ASSERT_TRUE(FileStore().SaveAllConfig());
    sound->refuse = 2;
    monitor->newSmsArrived(QStringLiteral("+1"));
    EXPECT_EQ(sound->played, (QStringList{"/nowhere/x.wav", soundFile("bird.wav")}));
    std::string file;
    ASSERT_TRUE(FileStore().GetSoundFile(kSoundSlotSmsArrived, file));
    EXPECT_EQ(file, "./resource/sound/wav/bird.wav");

    // A sound that breaks while playing takes the same path.
    sound->played.clear();
    monitor->sound().play(SoundEvent::Connected);
    sound->output->breakDown();
    EXPECT_EQ(sound->played, (QStringList{soundFile("chimes.wav"), soundFile("chimes.wav")}));
    EXPECT_TRUE(sound->playing);
}

TEST_F(NoticeTest, WithoutAnAudioDeviceOnlyTheBeepSoundsAndTheChosenFileStays)
{
    std::strcpy(SoundOfSlot(FileStore().allConfig(), kSoundSlotSmsArrived)->file,
                "/home/me/mine.wav");
    ASSERT_TRUE(FileStore().SaveAllConfig());
    auto state = std::make_shared<FakeSoundOutput::State>();
    state->noDevice = true;
    int beeps = 0;
    SoundPlayer player(std::make_unique<FakeSoundOutput>(state), FileStore(), [&] { ++beeps; },
                        {});
    player.play(SoundEvent::SmsArrived);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(state->played.isEmpty());
    EXPECT_EQ(player.playingPriority(), 0);
    std::string file;
    ASSERT_TRUE(FileStore().GetSoundFile(kSoundSlotSmsArrived, file));
    EXPECT_EQ(file, "/home/me/mine.wav");
}

TEST_F(NoticeTest, MutedSoundPlaysNothingAndUnreadableSettingsAreReported)
{
    SoundOfSlot(FileStore().allConfig(), kSoundSlotConnected)->muted = 1;
    ASSERT_TRUE(FileStore().SaveAllConfig());
    setConnectionState(3);
    monitor->connectionUp();
    EXPECT_TRUE(sound->played.isEmpty());

    QFile::remove(folder.filePath("allconfig.ran"));
    monitor->newSmsArrived(QStringLiteral("+1"));
    EXPECT_TRUE(sound->played.isEmpty());
    EXPECT_EQ(boxes, QStringList{text(1018) + "allconfig.ran"});
}

TEST(SoundPath, DotPathsAreTakenFromTheProgramFolder)
{
    EXPECT_EQ(SoundPlayer::resolvePath("./resource/sound/wav/bird.wav", "/opt/lumadial"),
              QStringLiteral("/opt/lumadial/resource/sound/wav/bird.wav"));
    EXPECT_EQ(SoundPlayer::resolvePath(".\\resource\\sound\\wav\\tada.wav", "/opt/lumadial"),
              QStringLiteral("/opt/lumadial/resource/sound/wav/tada.wav"));
    EXPECT_EQ(SoundPlayer::resolvePath("/home/me/ring.wav", "/opt/lumadial"),
              QStringLiteral("/home/me/ring.wav"));
    // A name chosen in a single-byte locale is decoded in that code page, not as UTF-8.
    platform::forceSystemCodePage("CP1252");
    const QString accented = SoundPlayer::resolvePath("/home/me/canci\xf3n.wav", "/opt/lumadial");
    platform::forceSystemCodePage({});
    EXPECT_EQ(accented, QStringLiteral("/home/me/canci\u00f3n.wav"));
}

TEST_F(NoticeTest, AChosenFileIsTriedOnceWithoutCuttingARingOrTouchingTheSettings)
{
    monitor->incomingCall(QStringLiteral("+2"));
    monitor->previewSound(QStringLiteral("/home/me/bell.wav"));
    EXPECT_EQ(sound->played, QStringList{soundFile("stelephone.wav")});

    monitor->callStopped();
    monitor->previewSound(QStringLiteral(".\\resource\\sound\\wav\\bird.wav"));
    EXPECT_EQ(sound->played.back(), soundFile("bird.wav"));
    EXPECT_FALSE(sound->repeating);
    // A message arriving meanwhile is heard.
    monitor->newSmsArrived(QStringLiteral("+3"));
    EXPECT_EQ(monitor->sound().playingPriority(), 2);

    // A file that will not play only beeps: the slot keeps what the user had.
    std::strcpy(SoundOfSlot(FileStore().allConfig(), kSoundSlotSmsArrived)->file,
                "/home/me/mine.wav");
    ASSERT_TRUE(FileStore().SaveAllConfig());
    monitor->sound().stop();
    sound->played.clear();
    sound->refuse = 1;
    monitor->previewSound(QStringLiteral("/home/me/broken.wav"));
    EXPECT_EQ(sound->played, QStringList{QStringLiteral("/home/me/broken.wav")});
    EXPECT_EQ(monitor->sound().playingPriority(), 0);
    std::string file;
    ASSERT_TRUE(FileStore().GetSoundFile(kSoundSlotSmsArrived, file));
    EXPECT_EQ(file, "/home/me/mine.wav");
}
