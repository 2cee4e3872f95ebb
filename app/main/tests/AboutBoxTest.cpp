// The About box: the card's identity and versions, asked only when the card can answer.
#include "UI_AboutBox.h"

#include "FakeLumacore.h"
#include "platform/ResStringManager.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        if (platform::stringManager() == nullptr)
            platform::createStringManager();
        lumacore_fake::onCall(&_MEC_QueryImei, [](char *imei) -> MEC_STATUS {
            std::strcpy(imei, "356938035643809");
            return 0;
        });
        lumacore_fake::onCall(&_MEC_GetSoftwareVersion,
                              [this](char *software, char *internal) -> MEC_STATUS {
                                  std::strcpy(software, "BD_MOVARA_V1.2");
                                  std::strcpy(internal, internalVersion);
                                  return 0;
                              });
        lumacore_fake::onCall(&_MEC_GetBoardVersion, [](char *board) -> MEC_STATUS {
            std::strcpy(board, "HW 2.0");
            return 0;
        });
    }
    void TearDown() override { lumacore_fake::reset(); }

    static bool boardLinesShown(const TAboutBox &box)
    {
        return !box.Label_BoardSoftwareVersion->isHidden() ||
               !box.Label_BoardSoftwareVersionCaption->isHidden() ||
               !box.Label_HardwareVersion->isHidden() ||
               !box.Label_HardwareVersionCaption->isHidden() ||
               !box.Label_BoardSoftwareInterVersion->isHidden();
    }

    const char *internalVersion = "V1.0.1B15";
};

}  // namespace

TEST_F(AboutBoxTest, TheCardIsAskedForItsVersionsOnlyWhenPresentAndIdle)
{
    struct Case {
        uint8_t cardState;
        int callState;
        int connectionState;
        bool asked;
    };
    const Case cases[] = {
        {1, 0, 0, false},  {12, 0, 0, true},   {7, 0, 0, true},  {12, 1, 0, false},
        {12, 6, 0, false}, {12, 15, 0, false}, {12, 3, 0, true}, {12, 0, 1, false},
        {12, 0, 2, false}, {12, 0, 4, false},  {12, 0, 3, true},
    };
    for (const Case &c : cases) {
        lumacore_fake::clearCalls();
        AboutBoxContext context;
        context.cardState = c.cardState;
        context.callState = c.callState;
        context.connectionState = c.connectionState;
        TAboutBox box(nullptr, context);
        SCOPED_TRACE(testing::Message()
                     << int(c.cardState) << "/" << c.callState << "/" << c.connectionState);
        EXPECT_EQ(lumacore_fake::countOf("_MEC_GetSoftwareVersion"), c.asked ? 1 : 0);
        EXPECT_EQ(lumacore_fake::countOf("_MEC_GetBoardVersion"), c.asked ? 1 : 0);
        EXPECT_EQ(boardLinesShown(box), c.asked);
        // The IMEI is asked for in any case.
        EXPECT_EQ(lumacore_fake::countOf("_MEC_QueryImei"), 1);
        EXPECT_EQ(box.Label_IMEINumber->text(), QStringLiteral("356938035643809"));
        EXPECT_EQ(box.Label_IMEI->text(), platform::GetLanguageString(21));
    }
}

TEST_F(AboutBoxTest, TheCardAbsentShowsNoBoardOrHardwareLines)
{
    AboutBoxContext context;
    context.cardState = 1;
    context.showInternalVersions = true;
    TAboutBox box(nullptr, context);
    EXPECT_FALSE(boardLinesShown(box));
    EXPECT_TRUE(box.Label_BoardSoftwareInterVersionCaption->isHidden());
    // The program's own internal version needs no card.
    EXPECT_FALSE(box.Label_PCSoftwareInterVersion->isHidden());
}

TEST_F(AboutBoxTest, InternalVersionLinesFollowTheFlagAndAnOldCardSaysSo)
{
    struct Case {
        bool flag;
        const char *internal;
        const char *shown;
    };
    const Case cases[] = {
        {false, "V1.0.1B15", nullptr},
        {true, "V1.0.1B15", "V1.0.1B15"},
        {true, "1", "Old Version befor V1.0.1B11"},
        {true, "11", "11"},
    };
    for (const Case &c : cases) {
        internalVersion = c.internal;
        AboutBoxContext context;
        context.cardState = 12;
        context.showInternalVersions = c.flag;
        TAboutBox box(nullptr, context);
        EXPECT_EQ(box.Label_PCSoftwareInterVersion->isHidden(), !c.flag);
        EXPECT_EQ(box.Label_BoardSoftwareInterVersion->isHidden(), c.shown == nullptr);
        if (c.shown) {
            EXPECT_EQ(box.Label_BoardSoftwareInterVersion->text(), QString::fromLatin1(c.shown));
        }
        EXPECT_EQ(box.Label_BoardSoftwareVersion->text(), QStringLiteral("BD_MOVARA_V1.2"));
        EXPECT_EQ(box.Label_HardwareVersion->text(), QStringLiteral("HW 2.0"));
    }
}

TEST_F(AboutBoxTest, FailedReadsLeaveTheirLinesOutAndAnEmptyImeiHasNoCaption)
{
    lumacore_fake::reset();  // every call answers 0 and writes nothing
    lumacore_fake::setResult("_MEC_GetSoftwareVersion", 7004);
    lumacore_fake::setResult("_MEC_GetBoardVersion", 7004);
    AboutBoxContext context;
    context.cardState = 12;
    TAboutBox box(nullptr, context);
    EXPECT_FALSE(boardLinesShown(box));
    EXPECT_TRUE(box.Label_IMEI->text().isEmpty());
}

TEST_F(AboutBoxTest, AVersionThatFillsTheWholeBufferIsCutThereNotRunOver)
{
    lumacore_fake::onCall(&_MEC_GetBoardVersion, [](char *board) -> MEC_STATUS {
        std::memset(board, 'X', MEC_VERSION_TEXT_SIZE);
        return 0;
    });
    AboutBoxContext context;
    context.cardState = 12;
    TAboutBox box(nullptr, context);
    EXPECT_EQ(box.Label_HardwareVersion->text(), QString(MEC_VERSION_TEXT_SIZE, QLatin1Char('X')));
}

TEST_F(AboutBoxTest, EveryShownValueHasALineOfItsOwnWithOrWithoutTheLanguageFile)
{
    for (const bool withLanguage : {true, false}) {
        SCOPED_TRACE(withLanguage ? "with the language file" : "without it");
        if (!withLanguage)
            platform::destroyStringManager();  // every caption is empty
        AboutBoxContext context;
        context.cardState = 12;
        context.showInternalVersions = true;
        TAboutBox box(nullptr, context);
        if (!withLanguage)
            platform::createStringManager();
        std::vector<int> tops;
        for (QLabel *value : {box.Label_BoardSoftwareVersion, box.Label_BoardSoftwareInterVersion,
                              box.Label_HardwareVersion, box.Label_IMEINumber}) {
            ASSERT_FALSE(value->isHidden());
            ASSERT_FALSE(value->text().isEmpty());
            tops.push_back(value->y());
        }
        for (size_t i = 1; i < tops.size(); ++i)
            EXPECT_GT(tops[i], tops[i - 1]);
    }
}

TEST_F(AboutBoxTest, AClickAnywhereClosesTheBox)
{
    TAboutBox box(nullptr, AboutBoxContext{});
    box.show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, 150), QPointF(200, 150),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(200, 150), QPointF(200, 150),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    // On a label: the click goes through to the box.
    QCoreApplication::sendEvent(box.Label_Rights, &press);
    QCoreApplication::sendEvent(box.Label_Rights, &release);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}
