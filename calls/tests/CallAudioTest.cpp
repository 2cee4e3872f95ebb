// The call's sound on the computer, against a pseudo-terminal standing for the card's voice
// port: the card's sound played and the microphone sent back at its level while a call is
// connected, the card's start and stop commands around it, and a card without sound told once.
#include "CallAudio.h"
#include "CallMicrophone.h"

#include "config/BL_File.h"

#include "FakeLumacore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using lumacore_fake::argumentsOf;
using lumacore_fake::onCall;
using lumacore_fake::setResult;

namespace {

struct Recorded {
    QByteArray played;
    calls::VoicePcmSource *source = nullptr;
};

class RecordingSink final : public calls::VoicePcmSink {
public:
    explicit RecordingSink(Recorded &recorded) : m_recorded(recorded) {}
    void play(const QByteArray &pcm) override { m_recorded.played += pcm; }

private:
    Recorded &m_recorded;
};

class FedSource final : public calls::VoicePcmSource {
public:
    explicit FedSource(Recorded &recorded) : m_recorded(recorded) { recorded.source = this; }
    ~FedSource() override { m_recorded.source = nullptr; }
    void feed(const QByteArray &pcm) { deliver(pcm); }

private:
    Recorded &m_recorded;
};

QByteArray samples(std::initializer_list<int16_t> values)
{
    QByteArray bytes;
    for (const int16_t value : values) {
        bytes += static_cast<char>(static_cast<uint16_t>(value) & 0xFF);
        bytes += static_cast<char>(static_cast<uint16_t>(value) >> 8);
    }
    return bytes;
}

class CallAudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        control = folder.filePath(QStringLiteral("ttyCARD"));
        onCall(&_MEC_GetControlPort, [this](char *buffer, uint16_t size) -> MEC_STATUS {
            std::strncpy(buffer, control.toLocal8Bit().constData(), size - 1);
            return 0;
        });
        onCall(&_MEC_QueryImei, [this](char *buffer) -> MEC_STATUS {
            std::strcpy(buffer, imei.c_str());
            return 0;
        });
        calls::setVoiceAudioFactory([this] {
            calls::VoiceAudioDevices devices;
            devices.sink = std::make_unique<RecordingSink>(recorded);
            devices.source = std::make_unique<FedSource>(recorded);
            return devices;
        });
    }
    void TearDown() override
    {
        calls::setVoiceAudioFactory({});
        if (master >= 0)
            ::close(master);
        lumacore_fake::reset();
    }

    // A pseudo-terminal whose far end lies where the settings look for the voice port.
    void plugVoicePort()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(::ptsname(master)), control + "-voice"));
    }
    QByteArray readMaster(qsizetype atLeast)
    {
        QByteArray got;
        (void)QTest::qWaitFor(
            [&] {
                char buffer[512];
                const ssize_t length = ::read(master, buffer, sizeof buffer);
                if (length > 0)
                    got += QByteArray(buffer, static_cast<qsizetype>(length));
                return got.size() >= atLeast;
            },
            5000);
        return got;
    }

    QTemporaryDir folder;
    QString control;
    std::string imei = "356938035643809";
    int master = -1;
    Recorded recorded;
    QStringList notices;
    calls::CallAudio audio{folder.path(), [this](const QString &text) { notices << text; }};
};

TEST(CallAudioLevels, MicrophoneSamplesAreScaledInsideSixteenBitsAndMuteKeepsTheLength)
{
    const struct {
        int position;
        bool muted;
        QByteArray in, out;
    } cases[] = {
        {2, false, samples({1000, -1000, 32767}), samples({1000, -1000, 32767})},
        {0, false, samples({1000, -1000}), samples({250, -250})},
        {3, false, samples({20000, -20000, 3}), samples({32767, -32768, 6})},
        {1, true, samples({1000, -1000}), samples({0, 0})},
        {9, false, samples({100}), samples({200})},  // past the top: the top level
    };
    for (const auto &c : cases)
        EXPECT_EQ(calls::CallAudio::scaled(c.in, c.position, c.muted), c.out)
            << c.position << " " << c.muted;
}

TEST_F(CallAudioTest, AConnectedCallsSoundIsPlayedAndTheMicrophoneSentBack)
{
    ASSERT_NO_FATAL_FAILURE(plugVoicePort());
    audio.setCallConnected(true);
    ASSERT_TRUE(audio.carriesSound());
    EXPECT_EQ(argumentsOf("_MEC_SendCardCommand"), std::vector<std::string>{"\"AT^VPCM=1\""});

    const QByteArray tone = samples({0, 5657, 8000, 5657, 0, -5657, -8000, -5657});
    ASSERT_EQ(::write(master, tone.constData(), static_cast<size_t>(tone.size())), tone.size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorded.played.size() >= tone.size(); }, 5000));
    EXPECT_EQ(recorded.played, tone);

    // An odd delivery keeps its half sample for the next one: the samples stay aligned.
    ASSERT_NE(recorded.source, nullptr);
    audio.setMicrophoneLevel(3);
    const QByteArray spoken = samples({100, -200, 300});
    static_cast<FedSource *>(recorded.source)->feed(spoken.left(3));
    static_cast<FedSource *>(recorded.source)->feed(spoken.mid(3));
    EXPECT_EQ(readMaster(spoken.size()), samples({200, -400, 600}));
    audio.setMicrophoneMuted(true);
    static_cast<FedSource *>(recorded.source)->feed(spoken);
    EXPECT_EQ(readMaster(spoken.size()), samples({0, 0, 0}));

    audio.setCallConnected(false);
    EXPECT_FALSE(audio.carriesSound());
    EXPECT_EQ(recorded.source, nullptr);
    EXPECT_EQ(argumentsOf("_MEC_SendCardCommand"),
              (std::vector<std::string>{"\"AT^VPCM=1\"", "\"AT^VPCM=0\""}));
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(CallAudioTest, ACardWithoutSoundOnTheComputerIsToldOnceEvenAfterARestart)
{
    const struct {
        const char *what;
        bool port;
        uint16_t startAnswer;
        const char *card;
        bool told;
    } cases[] = {
        {"no port", false, 0, "356938035643809", true},
        {"the same card again", false, 0, "356938035643809", false},
        {"a port, but the card refuses to start it", true, 1, "490154203237518", true},
        {"that card again", true, 1, "490154203237518", false},
    };
    for (const auto &c : cases) {
        if (c.port && master < 0) {
            ASSERT_NO_FATAL_FAILURE(plugVoicePort());
        }
        setResult("_MEC_SendCardCommand", c.startAnswer);
        imei = c.card;
        notices.clear();
        // A new run of the program each time: what was told is kept in the settings.
        calls::CallAudio fresh(folder.path(), [this](const QString &text) { notices << text; });
        fresh.setCallConnected(true);
        EXPECT_FALSE(fresh.carriesSound()) << c.what;
        EXPECT_EQ(notices.size(), c.told ? 1 : 0) << c.what;
        fresh.setCallConnected(false);
    }
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(CallAudioTest, ThePortAndItsCommandsComeFromTheSettingsAndBadLinesAreNamed)
{
    ASSERT_NO_FATAL_FAILURE(plugVoicePort());
    QFile file(folder.filePath(QStringLiteral("voiceport.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("port=%1-voice\nstart=\nthis is no setting\nstop=AT+XSTOP\n")
                   .arg(control)
                   .toUtf8());
    file.close();
    QStringList problems;
    const auto settings = calls::VoicePortSettings::load(folder.path(), &problems);
    EXPECT_EQ(settings.portFor({}), control + "-voice");
    EXPECT_EQ(problems.size(), 1);

    // No start command: the port carries sound unasked, and nothing needs stopping.
    audio.setCallConnected(true);
    EXPECT_TRUE(audio.carriesSound());
    audio.setCallConnected(false);
    EXPECT_TRUE(argumentsOf("_MEC_SendCardCommand").empty());
}

TEST_F(CallAudioTest, MicrophoneLevelAndMuteHoldWhereTheCardOrTheComputerTakesThem)
{
    FileStore().setFolder(folder.path());
    const struct {
        bool port;
        uint16_t cardAnswer;  // of the level and the mute alike
        bool taken;
    } cases[] = {
        {false, 7004, false},  // no gain on the card, and its sound not here
        {false, 0, true},
        {true, 7004, true},  // the computer applies it
    };
    int level = 0;
    for (const auto &c : cases) {
        if (c.port && master < 0) {
            ASSERT_NO_FATAL_FAILURE(plugVoicePort());
        }
        setResult("_MEC_SetMicrophoneVol", c.cardAnswer);
        setResult("_MEC_SetMicMute", c.cardAnswer);
        calls::CallMicrophone microphone(audio);
        const int before = calls::CallMicrophone::savedLevel();
        level = (level + 1) % calls::CallAudio::kMicrophoneLevels;
        EXPECT_EQ(microphone.setLevel(level), c.taken) << c.port << c.cardAnswer;
        EXPECT_EQ(calls::CallMicrophone::savedLevel(), c.taken ? level : before);
        EXPECT_EQ(microphone.setMuted(true), c.taken);
    }
    EXPECT_FALSE(calls::CallMicrophone(audio).setLevel(calls::CallAudio::kMicrophoneLevels));
    FileStore().setFolder(QDir::currentPath());
}

}  // namespace
