// A window wearing its skin table: pictures where the skin has them, and where it has not (a
// key missing, or no skin at all), plain controls that still show, never a blank.
#include "FeaturePage.h"

#include "skin/ButtonFace.h"
#include "skin/FaceManager.h"
#include "skin/SkinControls.h"
#include "skin/tests/SkinFixture.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A page with a list-like area and two buttons, laid out as the feature windows are.
struct TestPage {
    QWidget window;
    QPushButton *ok;
    QPushButton *cancel;
    TestPage()
    {
        window.setObjectName(QStringLiteral("TestPage"));
        window.setWindowTitle(QStringLiteral("Inbox"));
        auto *column = new QVBoxLayout(&window);
        ok = new QPushButton(QStringLiteral("Send"), &window);
        ok->setObjectName(QStringLiteral("btnSend"));
        cancel = new QPushButton(QStringLiteral("Cancel"), &window);
        cancel->setObjectName(QStringLiteral("btnCancel"));
        column->addWidget(ok);
        column->addStretch(1);
        column->addWidget(cancel);
        window.resize(300, 200);
    }
};

const feature::WindowSkin kSkin{"TEST.BKIMAGE",
                                "TEST.TITLEIMAGE",
                                {{"TEST.BTSEND", "btnSend"}, {"TEST.BTCANCEL", "btnCancel"}}};

// A 3-frame button picture (normal red, disabled green, pushed blue) and two plain pictures.
QImage testAtlas()
{
    QImage atlas(120, 80, QImage::Format_ARGB32);
    atlas.fill(qRgb(200, 200, 200));
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 40; ++x)
            atlas.setPixel(x, y, y < 24 ? qRgb(255, 0, 0) : y < 48 ? qRgb(0, 255, 0) : qRgb(0, 0, 255));
    return atlas;
}

// Rows of the skin: the key and what it says; the background and title keys are always there.
std::string skinIni(bool withButtons)
{
    std::string text = "[TEST.BKIMAGE]\r\nImage=50,0,60,40\r\n[TEST.TITLEIMAGE]\r\nImage=50,50,60,10\r\n";
    if (withButtons)
        text += "[TEST.BTSEND]\r\nImage=0,0,40,72\r\nColor=16777215\r\n"
                "[TEST.BTCANCEL]\r\nImage=0,0,40,72\r\n";
    return text;
}

// The button shows: it is visible in its window, has room for its caption, and is not one
// colour all over (its caption or frame is drawn).
void expectShown(QPushButton &button, const char *what)
{
    EXPECT_TRUE(button.isVisibleTo(button.window())) << what;
    EXPECT_FALSE(button.text().isEmpty()) << what;
    EXPECT_GE(button.width(), button.fontMetrics().horizontalAdvance(button.text())) << what;
    EXPECT_GE(button.height(), button.fontMetrics().height()) << what;
    const QImage drawn = button.grab().toImage();
    bool varied = false;
    for (int y = 0; y < drawn.height() && !varied; ++y)
        for (int x = 0; x < drawn.width() && !varied; ++x)
            varied = drawn.pixel(x, y) != drawn.pixel(0, 0);
    EXPECT_TRUE(varied) << what << ": the button is drawn blank";
}

}  // namespace

TEST(WindowSkin, ButtonsShowWithTheirCaptionsWhateverTheSkinHolds)
{
    struct Case {
        const char *what;
        bool atlas;
        bool buttonKeys;
        bool faced;  // the buttons wear the skin's picture
    };
    const Case cases[] = {
        {"complete skin", true, true, true},
        {"skin without the button keys", true, false, false},
        {"no skin at all", false, false, false},
    };
    for (const Case &c : cases) {
        SkinFolder folder;
        folder.writeIni(QStringLiteral("ArgBrisaOthers.ini"), skinIni(c.buttonKeys));
        if (c.atlas)
            folder.writeAtlas(QStringLiteral("ArgBrisaOthers.png"), testAtlas());
        TestPage page;
        feature::WearSkin(page.window, kSkin);
        page.window.show();
        for (QPushButton *button : {page.ok, page.cancel}) {
            EXPECT_EQ(skin::ButtonFace::of(*button) != nullptr, c.faced) << c.what;
            expectShown(*button, c.what);
        }
        // The caption strip carries the window's caption with or without its picture.
        auto *caption = page.window.findChild<QLabel *>(QStringLiteral("SkinTitleCaption"));
        ASSERT_NE(caption, nullptr) << c.what;
        EXPECT_EQ(caption->text(), QStringLiteral("Inbox")) << c.what;
        page.window.setWindowTitle(QStringLiteral("Drafts"));
        EXPECT_EQ(caption->text(), QStringLiteral("Drafts")) << c.what;
        auto *background = page.window.findChild<skin::BackImage *>(QStringLiteral("SkinBackground"));
        ASSERT_NE(background, nullptr) << c.what;
        EXPECT_EQ(background->Picture().isNull(), !c.atlas) << c.what;
        EXPECT_EQ(background->geometry(), page.window.rect()) << c.what;
        EXPECT_TRUE(page.window.autoFillBackground()) << c.what;
        // Nothing the window holds sits under the title strip.
        EXPECT_GE(page.ok->y(), feature::kTitleStripHeight) << c.what;
        skin::DestroyFaceManager();
    }
}

TEST(WindowSkin, SkinnedButtonShowsTheFrameOfItsState)
{
    SkinFolder folder;
    folder.writeIni(QStringLiteral("ArgBrisaOthers.ini"), skinIni(true));
    folder.writeAtlas(QStringLiteral("ArgBrisaOthers.png"), testAtlas());
    TestPage page;
    feature::WearSkin(page.window, kSkin);
    page.window.show();
    const auto colourInside = [&](QPushButton &button) {
        return QColor(button.grab().toImage().pixel(2, 2));
    };
    EXPECT_EQ(colourInside(*page.ok), QColor(255, 0, 0));
    page.ok->setDown(true);
    EXPECT_EQ(colourInside(*page.ok), QColor(0, 0, 255));
    page.ok->setDown(false);
    page.ok->setEnabled(false);
    EXPECT_EQ(colourInside(*page.ok), QColor(0, 255, 0));
    // The caption keeps the button's text and takes the skin's colour.
    ASSERT_NE(skin::ButtonFace::of(*page.ok), nullptr);
    EXPECT_EQ(page.ok->text(), QStringLiteral("Send"));
}

TEST(WindowSkin, ATableNamingNoControlOfTheWindowIsReported)
{
    SkinFolder folder;
    folder.writeIni(QStringLiteral("ArgBrisaOthers.ini"), skinIni(true));
    folder.writeAtlas(QStringLiteral("ArgBrisaOthers.png"), testAtlas());
    TestPage page;
    const feature::WindowSkin skin{nullptr, nullptr,
                                   {{"TEST.BTSEND", "btnSend"}, {"TEST.BTGONE", "btnGone"}}};
    feature::WearSkin(page.window, skin);
    EXPECT_EQ(feature::MissingSkinControlsOf(page.window), QStringList{QStringLiteral("btnGone")});
    EXPECT_EQ(feature::SkinKeysOf(page.window),
              (QStringList{QStringLiteral("TEST.BTSEND"), QStringLiteral("TEST.BTGONE")}));
}
