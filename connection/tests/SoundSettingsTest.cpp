// The sound settings page: names the settings cannot hold refused, every row written on Apply
// (the hidden ring too), a failed save keeping the choices, and a file chosen through the dialog
// played at once without moving the working directory.
#include "SoundSettings.h"
#include "UI_SetSoundForm.h"

#include "RecordingHost.h"
#include "config/BL_File.h"
#include "config/ConfigRecords.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SoundSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(store.RestoreAllConfigDefaults());
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool) {
            messages << text;
            return 1;
        });
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler({});
        platform::setFileDialogResponder({});
        platform::forceSystemCodePage({});
    }

    QTemporaryDir folder;
    TBL_File store{folder.path()};
    QStringList messages;
};

TEST_F(SoundSettingsTest, NamesTheSettingsCannotHoldAreRefused)
{
    const struct {
        const char *codePage;
        QString file;
        bool taken;
    } cases[] = {
        // The field holds 999 bytes and the terminator.
        {"UTF-8", QStringLiteral("/home/me/") + QString(999 - 9, QLatin1Char('a')), true},
        {"UTF-8", QStringLiteral("/home/me/") + QString(1000 - 9, QLatin1Char('a')), false},
        // Two bytes a character in UTF-8: 998 bytes fit, 1000 do not.
        {"UTF-8", QString(499, QChar(0x00F3)), true},
        {"UTF-8", QString(500, QChar(0x00F3)), false},
        {"CP1252", QStringLiteral("/home/me/canci\u00F3n.wav"), true},
        {"CP1252", QStringLiteral("/home/me/\u7535\u8bdd.wav"), false},
        {"UTF-8", QString(), false},
    };
    for (const auto &c : cases) {
        platform::forceSystemCodePage(c.codePage);
        SoundSettings settings(store);
        settings.load();
        const QString before = settings.choice(SoundSettings::kSmsArrived).file;
        EXPECT_EQ(settings.choose(SoundSettings::kSmsArrived, c.file), c.taken)
            << c.codePage << " " << c.file.size();
        EXPECT_EQ(settings.choice(SoundSettings::kSmsArrived).file, c.taken ? c.file : before);
    }
}

TEST_F(SoundSettingsTest, ApplyWritesEveryRowAndAMutedRowKeepsItsFile)
{
    SoundSettings settings(store);
    settings.load();
    ASSERT_TRUE(settings.choose(SoundSettings::kSmsArrived, QStringLiteral("/home/me/sms.wav")));
    ASSERT_TRUE(settings.choose(SoundSettings::kIncomingCall, QStringLiteral("/home/me/ring.wav")));
    settings.setMuted(SoundSettings::kConnected, true);
    EXPECT_EQ(settings.apply(), 3033);

    // What the main window reads from the file on disk.
    std::string file;
    ASSERT_TRUE(store.GetSoundFile(kSoundSlotSmsArrived, file));
    EXPECT_EQ(file, "/home/me/sms.wav");
    ASSERT_TRUE(store.GetSoundFile(kSoundSlotIncomingCall, file));
    EXPECT_EQ(file, "/home/me/ring.wav");
    ASSERT_TRUE(store.GetSoundFile(kSoundSlotConnected, file));
    EXPECT_EQ(file, "");
    ASSERT_TRUE(store.GetSoundFile(kSoundSlotDisconnected, file));
    EXPECT_EQ(file, DeliveredSoundFile(kSoundSlotDisconnected));

    // Unmuted again, the row plays the file it had.
    settings.load();
    settings.setMuted(SoundSettings::kConnected, false);
    EXPECT_EQ(settings.apply(), 3033);
    ASSERT_TRUE(store.GetSoundFile(kSoundSlotConnected, file));
    EXPECT_EQ(file, DeliveredSoundFile(kSoundSlotConnected));
}

TEST_F(SoundSettingsTest, AFailedSaveSaysSoAndKeepsTheChoicesInMemory)
{
    SoundSettings settings(store);
    settings.load();
    ASSERT_TRUE(settings.choose(SoundSettings::kDisconnected, QStringLiteral("/home/me/bye.wav")));
    // The settings file cannot be replaced: a folder stands in its place.
    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("allconfig.ran"))));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("allconfig.ran")));
    EXPECT_EQ(settings.apply(), 3018);
    EXPECT_STREQ(SoundOfSlot(store.allConfig(), kSoundSlotDisconnected)->file, "/home/me/bye.wav");
}

TEST_F(SoundSettingsTest, APageChoiceIsPlayedAppliedAndLeavesTheWorkingDirectory)
{
    RecordingHost host;
    TSet_soundform page(host, &store);
    page.FormShow();
    EXPECT_FALSE(page.ApplyButton->isEnabled());
    EXPECT_TRUE(page.Labels[SoundSettings::kIncomingCall]->isHidden());
    EXPECT_TRUE(page.BrowseButtons[SoundSettings::kIncomingCall]->isHidden());
    EXPECT_FALSE(page.BrowseButtons[SoundSettings::kSmsArrived]->isHidden());

    QTemporaryDir elsewhere;
    const QString chosen = elsewhere.filePath(QStringLiteral("bell.wav"));
    const QString workingDirectory = QDir::currentPath();
    QString askedFolder, askedFilter;
    int asked = 0;
    platform::setFileDialogResponder(
        [&](platform::FileDialogKind, const QString &, const QString &directory,
            const QString &filter) -> std::optional<QString> {
            ++asked;
            askedFolder = directory;
            askedFilter = filter;
            // A dialog that moves the working directory while the user looks around.
            QDir::setCurrent(elsewhere.path());
            return asked == 1 ? QString() : chosen;
        });

    page.BrowseClick(SoundSettings::kSmsArrived);  // cancelled
    EXPECT_FALSE(page.ApplyButton->isEnabled());
    EXPECT_TRUE(host.noticesRaised.isEmpty());
    page.BrowseClick(SoundSettings::kSmsArrived);
    EXPECT_EQ(QDir::currentPath(), workingDirectory);
    EXPECT_EQ(askedFolder, folder.path() + QStringLiteral("/resource/sound"));
    for (const char *pattern : {"*.wav", "*.mid", "*.mp3", "*.wma"})
        EXPECT_TRUE(askedFilter.contains(QLatin1String(pattern))) << pattern;
    EXPECT_EQ(page.Edits[SoundSettings::kSmsArrived]->text(), chosen);
    EXPECT_EQ(host.noticesRaised, QStringList{QStringLiteral("previewSound(%1)").arg(chosen)});
    ASSERT_TRUE(page.ApplyButton->isEnabled());

    page.ApplyButtonClick();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(page.ApplyButton->isEnabled());
    std::string file;
    ASSERT_TRUE(store.GetSoundFile(kSoundSlotSmsArrived, file));
    EXPECT_EQ(platform::fromAnsi(file), chosen);
}

}  // namespace
