#include "skin/ColorRef.h"
#include "skin/FaceManager.h"
#include "skin/ImButton.h"
#include "skin/ImImage.h"
#include "skin/SkinControls.h"

#include "SkinFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace skin;

namespace {

// A skin manager made and chosen as a window would, over the given INI text.
class FaceManagerTest : public ::testing::Test {
protected:
    void SetUp() override { DestroyFaceManager(); }
    void TearDown() override { DestroyFaceManager(); }

    bool makeSkin(const std::string &ini, int variant = 2)
    {
        folder.writeAtlas(QStringLiteral("ArgBrisaOthers.png"), gradientAtlas());
        folder.writeIni(QStringLiteral("ArgBrisaOthers.ini"), ini);
        CreateFaceManager();
        SetFaceMode(FaceManager::kModeDefault);
        return ChooseFaceSkin(variant);
    }

    SkinFolder folder;
};

QPixmap solid(const QColor &color)
{
    QPixmap picture(6, 6);
    picture.fill(color);
    return picture;
}

}  // namespace

TEST_F(FaceManagerTest, CutPictureCopiesTheAtlasRectangle)
{
    ASSERT_TRUE(makeSkin("[BOX.PIC]\nImage=3,4,5,6\n"));
    SkinImage image;
    ApplyFace(&image, QStringLiteral("BOX.PIC"));
    const QImage cut = image.Picture().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(cut.size(), QSize(5, 6));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(cut.pixel(x, y), qRgba((x + 3) * 5, (y + 4) * 8, 77, 255)) << x << "," << y;
    FaceManager *manager = CurrentFaceManager();
    EXPECT_EQ(manager->left(), 3);
    EXPECT_EQ(manager->right(), 8);
    EXPECT_EQ(manager->bottom(), 10);
}

TEST_F(FaceManagerTest, PaletteAtlasDecodesToTheSameColours)
{
    // A palette PNG goes through libpng's expansion; it must come out as the same colours.
    QImage indexed(4, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(10, 20, 250)});
    indexed.fill(0);
    indexed.setPixel(1, 0, 1);
    indexed.setPixel(2, 1, 2);
    folder.writeAtlas(QStringLiteral("ArgBrisaOthers.png"), indexed);
    folder.writeIni(QStringLiteral("ArgBrisaOthers.ini"), "[A.B]\nImage=0,0,4,2\n");
    CreateFaceManager();
    SetFaceMode(1);
    ASSERT_TRUE(ChooseFaceSkin(2));
    SkinImage image;
    ApplyFace(&image, QStringLiteral("A.B"));
    const QImage cut = image.Picture().toImage();
    EXPECT_EQ(cut.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(cut.pixel(1, 0), qRgb(0, 128, 0));
    EXPECT_EQ(cut.pixel(2, 1), qRgb(10, 20, 250));
}

// Every value that is not a usable rectangle leaves the layout's picture in place.
TEST_F(FaceManagerTest, UnusableRectangleKeepsTheDesignTimePicture)
{
    struct Case {
        const char *value;
        bool replaced;
    };
    const Case cases[] = {
        {"10,20,0,5", false},          // zero width: no picture
        {"10,20,5,0", false},          // zero height
        {"-1,0,5,5", false},           // negative left
        {"0,0,5,-5", false},           // negative height
        {"1,2,3", false},              // three numbers
        {"a,b,c,d", false},            // no numbers
        {"1;2;3;4", false},            // wrong separator
        {"99999999999,0,4,4", false},  // does not fit
        {"2147483647,0,4,4", false},   // right edge would not fit
        {"", false},                   // empty value reads as missing
        {" 1, 2, 3, 4", true},         // blanks before numbers, as sscanf allows
        {"1,2,3,4 trailing", true},
        {"35,25,10,10", true},  // partly outside the atlas: the outside stays transparent
    };
    for (const Case &c : cases) {
        DestroyFaceManager();
        ASSERT_TRUE(makeSkin(std::string("[W.IMG]\nImage=") + c.value + "\n")) << c.value;
        SkinImage image;
        const QPixmap designTime = solid(Qt::green);
        image.setPicture(designTime);
        ApplyFace(&image, QStringLiteral("W.IMG"));
        EXPECT_EQ(image.Picture().cacheKey() != designTime.cacheKey(), c.replaced) << c.value;
    }
}

TEST_F(FaceManagerTest, ImageListStopsAtTheFirstMissingMember)
{
    struct Case {
        const char *ini;
        int count;
    };
    const Case cases[] = {
        {"[L.LIST]\nImage1=0,0,4,4\nImage2=0,0,4,4\n", 0},                  // no Image0: empty
        {"[L.LIST]\nImage0=0,0,4,4\nImage1=4,0,4,4\nImage3=0,0,4,4\n", 2},  // gap after Image1
        {"[L.LIST]\nImage0=0,0,0,4\nImage1=0,0,4,4\n", 0},  // Image0 yields no picture
        {"[OTHER]\nImage0=0,0,4,4\n", 0},                   // section missing
    };
    for (const Case &c : cases) {
        DestroyFaceManager();
        ASSERT_TRUE(makeSkin(c.ini));
        ImageList list;
        list.AddMasked(QImage(2, 2, QImage::Format_ARGB32), Qt::black);  // cleared by apply
        ApplyFace(&list, QStringLiteral("L.LIST"));
        EXPECT_EQ(list.Count(), c.count) << c.ini;
    }
}

TEST_F(FaceManagerTest, ImageListMasksFuchsia)
{
    QImage atlas(4, 2, QImage::Format_ARGB32);
    atlas.fill(qRgb(255, 0, 255));
    atlas.setPixel(1, 1, qRgb(1, 2, 3));
    folder.writeAtlas(QStringLiteral("ArgBrisaOthers.png"), atlas);
    folder.writeIni(QStringLiteral("ArgBrisaOthers.ini"), "[L]\nImage0=0,0,4,2\n");
    CreateFaceManager();
    SetFaceMode(1);
    ASSERT_TRUE(ChooseFaceSkin(2));
    ImageList list;
    ApplyFace(&list, QStringLiteral("L"));
    ASSERT_EQ(list.Count(), 1);
    const QImage member = list.picture(0).toImage();
    EXPECT_EQ(qAlpha(member.pixel(0, 0)), 0);
    EXPECT_EQ(member.pixel(1, 1), qRgb(1, 2, 3));
}

TEST_F(FaceManagerTest, ChoosingFailsAndDisablesSkinning)
{
    struct Case {
        const char *what;
        int mode;
        int variant;
        bool writeAtlas;
    };
    const Case cases[] = {
        {"variant 3", 1, 3, true}, {"variant 0", 1, 0, true}, {"mode not set", -1, 2, true},
        {"mode 2", 2, 2, true},    {"no atlas", 1, 2, false},
    };
    for (const Case &c : cases) {
        DestroyFaceManager();
        QFile::remove(folder.skinPath(QStringLiteral("ArgBrisaOthers.png")));
        if (c.writeAtlas)
            folder.writeAtlas(QStringLiteral("ArgBrisaOthers.png"), gradientAtlas());
        folder.writeIni(QStringLiteral("ArgBrisaOthers.ini"),
                        "[W.LABEL]\nColor=255\n[W.IMG]\nImage=0,0,4,4\n");
        CreateFaceManager();
        SetFaceMode(c.mode);
        EXPECT_FALSE(ChooseFaceSkin(c.variant)) << c.what;
        EXPECT_EQ(FaceManagerState(), kFaceFailed) << c.what;

        QLabel label;
        const QColor before = label.palette().color(QPalette::WindowText);
        SkinImage image;
        ApplyFace(&label, QStringLiteral("W.LABEL"));
        ApplyFace(&image, QStringLiteral("W.IMG"));
        EXPECT_EQ(label.palette().color(QPalette::WindowText), before) << c.what;
        EXPECT_TRUE(image.Picture().isNull()) << c.what;

        // Choosing again with a good variant does not bring the manager back.
        folder.writeAtlas(QStringLiteral("ArgBrisaOthers.png"), gradientAtlas());
        SetFaceMode(1);
        ChooseFaceSkin(2);
        ApplyFace(&label, QStringLiteral("W.LABEL"));
        EXPECT_EQ(label.palette().color(QPalette::WindowText), before) << c.what;
    }
}

TEST_F(FaceManagerTest, LifecycleOfTheProcessWideManager)
{
    EXPECT_EQ(FaceManagerState(), kFaceNone);
    SetFaceMode(1);  // no manager: nothing happens
    EXPECT_FALSE(ChooseFaceSkin(2));
    EXPECT_EQ(FaceManagerState(), kFaceNone);
    CreateFaceManager();
    EXPECT_EQ(FaceManagerState(), kFaceUsable);
    EXPECT_EQ(CurrentFaceManager()->mode(), -1);
    DestroyFaceManager();
    DestroyFaceManager();  // twice is harmless
    EXPECT_EQ(FaceManagerState(), kFaceNone);
    EXPECT_EQ(CurrentFaceManager(), nullptr);
}

TEST_F(FaceManagerTest, SkinPathsFollowTheVariant)
{
    folder.writeAtlas(QStringLiteral("ArgBrisaMain.png"), gradientAtlas());
    CreateFaceManager();
    SetFaceMode(1);
    ASSERT_TRUE(ChooseFaceSkin(1));
    EXPECT_EQ(CurrentFaceManager()->iniPath(),
              QStringLiteral("./resource/image/Default/ArgBrisaMain.ini"));
    EXPECT_EQ(CurrentFaceManager()->pngPath(),
              QStringLiteral("./resource/image/Default/ArgBrisaMain.png"));
}

TEST_F(FaceManagerTest, ColoursGoWhereTheControlKindWantsThem)
{
    // 255 is pure red as a COLORREF (0x00BBGGRR); 16711680 pure blue; 65280 green.
    ASSERT_TRUE(
        makeSkin("[W.LABEL]\nColor=255\nBack Color=16711680\n"
                 "[W.EDIT]\nColor=65280\n"
                 "[W.RADIO]\nColor=16711680\nBack Color=255\n"
                 "[W.CHECK]\nColor=65280\n"
                 "[W.MEMO]\nColor=255\n"
                 "[W.LINK]\nColor=65280\nHot Color=255\n"
                 "[W.BUTTON]\nImage=0,0,10,9\nColor=16711680\nHot Color=65280\n"
                 "[W.FORM]\nBack Color=65280\nColor=255\n"
                 "[W.JUNK]\nColor=junk\n"));
    const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);

    QWidget form;
    ApplyFace(&form, QStringLiteral("W.FORM"));
    EXPECT_EQ(form.palette().color(QPalette::Window), green);
    EXPECT_TRUE(form.autoFillBackground());

    QLabel label(&form);
    ApplyFace(&label, QStringLiteral("W.LABEL"));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), red);
    EXPECT_EQ(label.palette().color(QPalette::Window), blue);

    QLineEdit edit(&form);
    const QColor editText = edit.palette().color(QPalette::Text);
    ApplyFace(&edit, QStringLiteral("W.EDIT"));
    EXPECT_EQ(edit.palette().color(QPalette::Base), green);
    EXPECT_EQ(edit.palette().color(QPalette::Text), editText);

    QRadioButton radio(&form);
    ApplyFace(&radio, QStringLiteral("W.RADIO"));
    EXPECT_EQ(radio.palette().color(QPalette::WindowText), blue);
    EXPECT_EQ(radio.palette().color(QPalette::Window), red);

    QCheckBox check(&form);
    const QColor checkBack = check.palette().color(QPalette::Window);
    ApplyFace(&check, QStringLiteral("W.CHECK"));
    EXPECT_EQ(check.palette().color(QPalette::WindowText), green);
    EXPECT_EQ(check.palette().color(QPalette::Window), checkBack);  // no Back Color: unchanged

    QPlainTextEdit memo(&form);
    ApplyFace(&memo, QStringLiteral("W.MEMO"));
    EXPECT_EQ(memo.palette().color(QPalette::Text), red);

    LinkLabel link(&form);
    ApplyFace(&link, QStringLiteral("W.LINK"));
    EXPECT_EQ(link.LinkColor(), green);
    EXPECT_EQ(link.HoverColor(), red);

    TImButton button(&form);
    ApplyFace(&button, QStringLiteral("W.BUTTON"));
    EXPECT_EQ(button.Picture().size(), QSize(10, 9));
    EXPECT_EQ(button.FontColor(), blue);
    EXPECT_EQ(button.HotTextColor(), green);

    QLabel junk(&form);
    ApplyFace(&junk, QStringLiteral("W.JUNK"));
    EXPECT_EQ(junk.palette().color(QPalette::WindowText), QColor(0, 0, 0));
}

TEST_F(FaceManagerTest, ImageControlTakesPushedAndHotPictures)
{
    ASSERT_TRUE(
        makeSkin("[W.ICON]\nImage=0,0,4,4\nImage Pushed=4,0,4,4\nImage Hot=8,0,4,4\n"
                 "[W.PLAIN]\nImage=0,0,4,4\n"));
    TImImage icon;
    ApplyFace(&icon, QStringLiteral("W.ICON"));
    EXPECT_EQ(icon.Picture().toImage().pixel(0, 0), qRgb(0, 0, 77));
    EXPECT_EQ(icon.SelPicture().toImage().pixel(0, 0), qRgb(20, 0, 77));
    EXPECT_EQ(icon.HotPicture().toImage().pixel(0, 0), qRgb(40, 0, 77));

    TImImage plain;
    const QPixmap hot = solid(Qt::yellow);
    plain.setHotPicture(hot);
    ApplyFace(&plain, QStringLiteral("W.PLAIN"));
    EXPECT_EQ(plain.HotPicture().cacheKey(), hot.cacheKey());  // no "Image Hot": unchanged
}

TEST(ColorRefTest, ParsesLikeLongDecimal)
{
    struct Case {
        const char *text;
        ColorRef value;
    };
    const Case cases[] = {
        {"255", 255}, {"  16777215", 16777215}, {"12abc", 12}, {"abc", 0}, {"", 0},
        {"+7", 7},    {"-1", 0xFFFFFFFFu},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseColorRef(c.text), c.value) << c.text;
    EXPECT_EQ(fromColorRef(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(toColorRef(QColor(0x99, 0x66, 0x33)), 0x00336699u);
}
