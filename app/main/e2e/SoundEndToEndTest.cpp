// Sounds through the program on the virtual card, with the real engine: a message sound chosen
// on the sound page, heard when chosen and when a message arrives, and silent once muted; and a
// call's sound on the computer: the card's tone played and the microphone counted by the card,
// and a card without a voice port told so once.
#include "ProgramOnCard.h"
#include "UI_CallManager.h"
#include "UI_SetSoundForm.h"

#include "CallAudio.h"
#include "Sound.h"
#include "config/BL_File.h"
#include "language/TextNumbers.h"
#include "lumacore.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QDir>
#include <QFile>

#include <memory>

using e2e::kWait;

namespace {

struct Heard {
    QStringList files;  // every file the main window's player started
    bool playing = false;
    QByteArray callSound;  // what the call's sound output was given
    calls::VoicePcmSource *microphone = nullptr;
};

class RecordingOutput final : public SoundOutput {
public:
    explicit RecordingOutput(std::shared_ptr<Heard> heard) : m_heard(std::move(heard)) {}
    bool play(const QString &path, bool) override
    {
        m_heard->files << path;
        m_heard->playing = QFile::exists(path);
        return m_heard->playing;
    }
    void stop() override { m_heard->playing = false; }
    bool isPlaying() const override { return m_heard->playing; }

private:
    std::shared_ptr<Heard> m_heard;
};

class RecordingCallSink final : public calls::VoicePcmSink {
public:
    explicit RecordingCallSink(std::shared_ptr<Heard> heard) : m_heard(std::move(heard)) {}
    void play(const QByteArray &pcm) override { m_heard->callSound += pcm; }

private:
    std::shared_ptr<Heard> m_heard;
};

class FedMicrophone final : public calls::VoicePcmSource {
public:
    explicit FedMicrophone(std::shared_ptr<Heard> heard) : m_heard(std::move(heard))
    {
        m_heard->microphone = this;
    }
    ~FedMicrophone() override { m_heard->microphone = nullptr; }
    void speak(const QByteArray &pcm) { deliver(pcm); }

private:
    std::shared_ptr<Heard> m_heard;
};

int16_t sampleAt(const QByteArray &pcm, qsizetype index)
{
    return static_cast<int16_t>(static_cast<uint8_t>(pcm[2 * index]) |
                                (static_cast<uint8_t>(pcm[2 * index + 1]) << 8));
}

}  // namespace

class SoundEndToEnd : public e2e::ProgramOnCard {
protected:
    void SetUp() override
    {
        ProgramOnCard::SetUp();
        setSoundOutputFactory([heard = heard] { return std::make_unique<RecordingOutput>(heard); });
        calls::setVoiceAudioFactory([heard = heard] {
            calls::VoiceAudioDevices devices;
            devices.sink = std::make_unique<RecordingCallSink>(heard);
            devices.source = std::make_unique<FedMicrophone>(heard);
            return devices;
        });
    }
    void TearDown() override
    {
        ProgramOnCard::TearDown();
        setSoundOutputFactory({});
        calls::setVoiceAudioFactory({});
        platform::setFileDialogResponder({});
    }
    void start()
    {
        ASSERT_NO_FATAL_FAILURE(installDeliveredProfiles());
        ASSERT_NO_FATAL_FAILURE(startOnCard());
        ASSERT_TRUE(waitForState(kSimReady));
    }
    bool newSmsShown()
    {
        return QTest::qWaitFor([&] { return !form->ImImage_NewSms->isHidden(); }, kWait);
    }
    TCall_managerform *callWindow()
    {
        auto *calls = AppWindow<TCall_managerform>();
        EXPECT_NE(calls, nullptr);
        return calls;
    }
    bool waitForCall(TCall_managerform *calls, int state)
    {
        return QTest::qWaitFor([&] { return calls->CallState() == state; }, kWait);
    }

    std::shared_ptr<Heard> heard = std::make_shared<Heard>();
};

TEST_F(SoundEndToEnd, AMessageSoundChosenOnThePageIsHeardWhenAMessageArrivesUntilMuted)
{
    ASSERT_NO_FATAL_FAILURE(start());
    const QString mine = setup.filePath("mine.wav");
    ASSERT_TRUE(QFile::copy(QStringLiteral("resource/sound/wav/bird.wav"), mine));
    platform::setFileDialogResponder(
        [&](platform::FileDialogKind, const QString &, const QString &, const QString &)
            -> std::optional<QString> { return mine; });

    auto *page = AppWindow<TSet_soundform>();
    ASSERT_NE(page, nullptr);
    form->show(feature::SettingsEntry::Sound);
    page->BrowseClick(SoundSettings::kSmsArrived);
    EXPECT_EQ(heard->files, QStringList{mine});  // heard when chosen
    page->ApplyButtonClick();
    ASSERT_TRUE(boxes.contains(platform::GetLanguageString(3033))) << boxes.join('\n').toStdString();

    heard->playing = false;
    card->control("sms +59899000111 Hello");
    ASSERT_TRUE(newSmsShown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard->files.size() == 2; }, kWait));
    EXPECT_EQ(heard->files.back(), mine);

    // Muted: the next message is announced without a sound.
    form->monitor().clearNewSms();
    page->FormShow();
    page->MuteBoxes[SoundSettings::kSmsArrived]->click();
    page->ApplyButtonClick();
    card->control("sms +59899000222 Again");
    ASSERT_TRUE(newSmsShown());
    ASSERT_TRUE(settle());
    EXPECT_EQ(heard->files.size(), 2);
}

TEST_F(SoundEndToEnd, TheCardsToneIsPlayedAndTheMicrophoneReachesTheCardDuringACall)
{
    ASSERT_NO_FATAL_FAILURE(start());
    TCall_managerform *calls = callWindow();
    ASSERT_TRUE(calls);
    calls->DialNumber("5550100");
    ASSERT_TRUE(waitForCall(calls, kCallActive));
    ASSERT_TRUE(calls->sound().audio().carriesSound());

    // Half a second of the card's 1 kHz tone: eight samples a period, a quarter of full scale.
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard->callSound.size() >= 8000; }, kWait));
    const QByteArray pcm = heard->callSound;
    for (qsizetype i = 8; i < pcm.size() / 2; ++i)
        ASSERT_EQ(sampleAt(pcm, i), sampleAt(pcm, i - 8)) << i;
    EXPECT_EQ(std::abs(sampleAt(pcm, 0) + sampleAt(pcm, 4)), 0);
    int16_t peak = 0;
    for (qsizetype i = 0; i < 8; ++i)
        peak = std::max<int16_t>(peak, sampleAt(pcm, i));
    EXPECT_EQ(peak, 8000);

    // A second of speech, at the level the slider sets (the card has no gain of its own).
    calls->sound().MicrophoneTrackBar->setValue(3);
    calls->sound().MicrophoneTrackBarReleased();
    EXPECT_EQ(calls::CallMicrophone::savedLevel(), 3);
    ASSERT_NE(heard->microphone, nullptr);
    static_cast<FedMicrophone *>(heard->microphone)->speak(QByteArray(16000, '\x01'));
    const auto received = [&] {
        const std::string answer = card->control("call audio");
        return std::stoull(answer.substr(answer.find("received ") + 9));
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return received() >= 16000; }, kWait)) << received();

    // Muted on the card as well.
    calls->sound().MuteCheckBox->click();
    EXPECT_EQ(_MEC_GetMicMuteState(), MEC_MIC_MUTED);

    calls->ImButtonHangupClick();
    ASSERT_TRUE(waitForCall(calls, kCallIdle));
    EXPECT_FALSE(calls->sound().audio().carriesSound());
    EXPECT_EQ(heard->microphone, nullptr);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
}

TEST_F(SoundEndToEnd, ACardWithoutAVoicePortIsToldOnce)
{
    ASSERT_NO_FATAL_FAILURE(plugCard());
    card->control("quirk missing ^VPCM");
    ASSERT_NO_FATAL_FAILURE(installDeliveredProfiles());
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_TRUE(waitForState(kSimReady));
    TCall_managerform *calls = callWindow();
    ASSERT_TRUE(calls);
    for (int call = 0; call < 2; ++call) {
        calls->DialNumber("5550100");
        ASSERT_TRUE(waitForCall(calls, kCallActive));
        EXPECT_FALSE(calls->sound().audio().carriesSound());
        calls->ImButtonHangupClick();
        ASSERT_TRUE(waitForCall(calls, kCallIdle));
        ASSERT_TRUE(settle());
    }
    ASSERT_EQ(boxes.size(), 1) << boxes.join('\n').toStdString();
    EXPECT_TRUE(boxes[0].startsWith(platform::GetLanguageString(text::kCallSoundStaysOnCard).left(20)));
    EXPECT_TRUE(heard->callSound.isEmpty());
}
