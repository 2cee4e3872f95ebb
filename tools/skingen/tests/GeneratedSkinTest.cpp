// Checks the skin the build generated in the program folder against the key table.
#include "SkinKeys.h"
#include "SkinWriter.h"

#include "platform/IniFile.h"
#include "skin/FaceManager.h"
#include "skin/ImButton.h"
#include "skin/ImImage.h"
#include "skin/PngImage.h"
#include "skin/SkinControls.h"

#include <QDir>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>

using namespace skingen;

namespace {

QString programDir() { return qEnvironmentVariable("LUMADIAL_PROGRAM_DIR"); }

QString skinBase(SkinFile file)
{
    return programDir() + QStringLiteral("/resource/image/Default/") +
           skinFileName(file == SkinFile::Main);
}

bool parseRect(const std::string &value, std::array<int, 4> &rect)
{
    return std::sscanf(value.c_str(), "%d,%d,%d,%d", &rect[0], &rect[1], &rect[2], &rect[3]) == 4;
}

class GeneratedSkin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(programDir().isEmpty()) << "LUMADIAL_PROGRAM_DIR is not set";
        for (SkinFile file : {SkinFile::Main, SkinFile::Others}) {
            const int i = int(file);
            ini[i] = platform::IniFile(skinBase(file) + QStringLiteral(".ini"));
            ASSERT_TRUE(ini[i].isLoaded()) << qPrintable(skinBase(file));
            ASSERT_TRUE(atlas[i].load(skinBase(file) + QStringLiteral(".png"))) << atlas[i].error();
        }
    }

    // The rectangle of a picture value, checked to lie inside the atlas.
    void expectPicture(SkinFile file, const char *section, const char *name, int width, int height)
    {
        const std::string value = ini[int(file)].value(section, name);
        std::array<int, 4> rect{};
        ASSERT_TRUE(parseRect(value, rect)) << section << " " << name << " = '" << value << "'";
        const PngImageRef png = atlas[int(file)];
        EXPECT_GE(rect[0], 0) << section;
        EXPECT_GE(rect[1], 0) << section;
        EXPECT_LE(rect[0] + rect[2], png.width()) << section;
        EXPECT_LE(rect[1] + rect[3], png.height()) << section;
        EXPECT_EQ(rect[2], width) << section << " " << name;
        EXPECT_EQ(rect[3], height) << section << " " << name;
    }

    using PngImageRef = const skin::PngImage &;
    std::array<platform::IniFile, 2> ini;
    std::array<skin::PngImage, 2> atlas;
};

}  // namespace

TEST_F(GeneratedSkin, EveryKeyIsInItsFileWithTheRightValues)
{
    std::set<std::string> seen;
    for (const SkinKey &key : skinKeys()) {
        SCOPED_TRACE(key.key);
        EXPECT_TRUE(seen.insert(QString::fromLatin1(key.key).toUpper().toStdString()).second)
            << "key listed twice";
        const platform::IniFile &file = ini[int(key.file)];
        ASSERT_TRUE(file.hasSection(key.key));
        switch (kindOf(key.look)) {
        case KeyKind::Picture:
            expectPicture(key.file, key.key, "Image", key.width, key.height);
            break;
        case KeyKind::Button:
            expectPicture(key.file, key.key, "Image", key.width, key.height * 3);
            EXPECT_FALSE(file.value(key.key, "Color").empty());
            EXPECT_FALSE(file.value(key.key, "Hot Color").empty());
            break;
        case KeyKind::ImageControl:
            for (const char *name : {"Image", "Image Hot", "Image Pushed"})
                expectPicture(key.file, key.key, name, key.width, key.height);
            break;
        case KeyKind::ImageList:
            for (int n = 0; n < kConnectAnimationFrames; ++n)
                expectPicture(key.file, key.key, ("Image" + std::to_string(n)).c_str(), key.width,
                              key.height);
            EXPECT_TRUE(
                file.value(key.key, "Image" + std::to_string(kConnectAnimationFrames)).empty());
            break;
        case KeyKind::Colour:
            EXPECT_FALSE(file.value(key.key, "Color").empty());
            EXPECT_TRUE(file.value(key.key, "Image").empty());
            break;
        }
        // The other file does not carry the key: a window reads only its own skin.
        EXPECT_FALSE(ini[1 - int(key.file)].hasSection(key.key));
    }
}

// Every window prefix in use has its keys, the keypad all ten digits.
TEST_F(GeneratedSkin, EveryWindowPrefixIsCovered)
{
    const char *prefixes[] = {
        "ABOUT",          "CALLHANGUP",     "CALLMANAGER", "CHECKPASSWD",    "CR",
        "DATACONNECT",    "DATACONNECTLOG", "GETINPUT",    "MAIN",           "MESSAGEBOX",
        "NEWMSG",         "PASSWD",         "PASSWDINPUT", "PBCOPYPROGRESS", "PBEDIT",
        "PBMAIN",         "PBSEL",          "PBVIEW",      "PROGRESSBOX",    "SETMENU",
        "SETMENUDISPLAY", "SETMSG",         "SETNET",      "SETNETADD",      "SETNETCONFIG",
        "SETNETEDIT",     "SETNETSELECT",   "SETSECURITY", "SETSOUND",       "SETSUPPLY",
        "SMS_EDIT",       "SMS_LIST",       "SMS_MAIN",    "SMS_READ",       "START",
        "USSD",           "WAITPANE"};
    for (const char *prefix : prefixes) {
        const std::string wanted = std::string(prefix) + ".";
        bool found = false;
        for (const SkinKey &key : skinKeys())
            found |= std::string(key.key).rfind(wanted, 0) == 0;
        EXPECT_TRUE(found) << prefix;
    }
    for (int digit = 0; digit <= 9; ++digit) {
        const std::string key = "CALLMANAGER.IMBUTTON" + std::to_string(digit);
        EXPECT_TRUE(ini[int(SkinFile::Others)].hasSection(key)) << key;
    }
}

TEST_F(GeneratedSkin, MainBackgroundIsFuchsiaOutsideItsCorners)
{
    std::array<int, 4> rect{};
    ASSERT_TRUE(parseRect(ini[int(SkinFile::Main)].value("MAIN.YBBACKIMAGE", "Image"), rect));
    const skin::PngImage &png = atlas[int(SkinFile::Main)];
    const auto at = [&](int x, int y) { return png.pixel(rect[0] + x, rect[1] + y); };
    for (const auto &[x, y] : {std::pair{0, 0}, {639, 0}, {0, 479}, {639, 479}})
        EXPECT_EQ(at(x, y), 0xFFFF00FFu) << x << "," << y;
    EXPECT_NE(at(320, 240), 0xFFFF00FFu);
    EXPECT_EQ(at(320, 240) >> 24, 0xFFu);
}

TEST_F(GeneratedSkin, TheSkinManagerSkinsControlsFromIt)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(programDir());
    skin::CreateFaceManager();
    skin::SetFaceMode(1);
    ASSERT_TRUE(skin::ChooseFaceSkin(2));
    skin::TImButton button;
    skin::ApplyFace(&button, QStringLiteral("MESSAGEBOX.BTOK"));
    EXPECT_EQ(button.Picture().size(), QSize(72, 72));
    skin::ImageList list;
    skin::ApplyFace(&list, QStringLiteral("DATACONNECT.DATAANIIMAGELIST"));
    EXPECT_EQ(list.Count(), kConnectAnimationFrames);
    skin::DestroyFaceManager();

    skin::CreateFaceManager();
    skin::SetFaceMode(1);
    ASSERT_TRUE(skin::ChooseFaceSkin(1));
    skin::TImImage close;
    skin::ApplyFace(&close, QStringLiteral("MAIN.IMIMAGE_TITLE_CLOSE"));
    EXPECT_FALSE(close.HotPicture().isNull());
    EXPECT_FALSE(close.SelPicture().isNull());
    skin::DestroyFaceManager();
    QDir::setCurrent(previous);
}

TEST_F(GeneratedSkin, LogosAndAnimationsAreThere)
{
    for (const char *logo : {"MinDVOlogo.bmp", "BIGDVOlogo.bmp", "MAXDVOlogo.bmp"}) {
        QImageReader reader(programDir() + QStringLiteral("/resource/image/logo/") +
                            QLatin1String(logo));
        EXPECT_FALSE(reader.read().isNull()) << logo;
    }
    for (const char *animation : {"search.png", "select.png"}) {
        const QImage strip(programDir() + QStringLiteral("/resource/avi/") +
                           QLatin1String(animation));
        ASSERT_FALSE(strip.isNull()) << animation;
        const int frames = strip.text(QStringLiteral("Frames")).toInt();
        ASSERT_GT(frames, 1) << animation;
        EXPECT_EQ(strip.width() % frames, 0) << animation;
        EXPECT_GT(strip.text(QStringLiteral("Delay")).toInt(), 0) << animation;
    }
}

// The double-size atlas holds each picture at twice the plain rectangle: halved again, it shows
// what the plain atlas shows there (a picture placed elsewhere, or drawn at another size, does
// not).
TEST_F(GeneratedSkin, DoubleAtlasHoldsEveryPictureAtTwiceItsRectangle)
{
    for (SkinFile file : {SkinFile::Main, SkinFile::Others}) {
        const int i = int(file);
        const QImage plain(skinBase(file) + QStringLiteral(".png"));
        const QImage doubled(skinBase(file) + QStringLiteral("@2x.png"));
        ASSERT_FALSE(doubled.isNull()) << qPrintable(skinBase(file));
        ASSERT_EQ(doubled.size(), plain.size() * 2);
        for (const SkinKey &key : skinKeys()) {
            if (key.file != file || kindOf(key.look) == KeyKind::Colour)
                continue;
            const char *name = kindOf(key.look) == KeyKind::ImageList ? "Image0" : "Image";
            std::array<int, 4> r{};
            ASSERT_TRUE(parseRect(ini[i].value(key.key, name), r)) << key.key;
            const QImage want = plain.copy(r[0], r[1], r[2], r[3]).convertToFormat(QImage::Format_ARGB32);
            const QImage got = doubled.copy(2 * r[0], 2 * r[1], 2 * r[2], 2 * r[3])
                                   .scaled(r[2], r[3], Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_ARGB32);
            // Mean difference per channel: edges drawn at twice the resolution differ a little,
            // another picture differs a lot.
            long long difference = 0;
            for (int y = 0; y < want.height(); ++y)
                for (int x = 0; x < want.width(); ++x) {
                    const QRgb a = want.pixel(x, y), b = got.pixel(x, y);
                    difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                  std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
                }
            const double mean = double(difference) / (4.0 * want.width() * want.height());
            EXPECT_LT(mean, 12.0) << key.key;
        }
    }
}
