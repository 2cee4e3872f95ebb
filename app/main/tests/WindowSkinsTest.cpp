// Every window of the program wears the skin its table names, and the delivered skin has every
// key a table names.
#include "MainformTestSupport.h"

#include "AppWindows.h"
#include "FeaturePage.h"

#include "platform/IniFile.h"
#include "skin/ButtonFace.h"

#include <QPushButton>

TEST_F(MainformTest, EveryFeatureWindowWearsKeysTheDeliveredSkinHas)
{
    const platform::IniFile skin(QStringLiteral("resource/image/Default/ArgBrisaOthers.ini"));
    ASSERT_TRUE(skin.isLoaded());
    for (QWidget *window : AppWindowsInOrder()) {
        if (!dynamic_cast<feature::FeatureWindow *>(window))
            continue;
        const std::string name = window->objectName().toStdString();
        const QStringList keys = feature::SkinKeysOf(*window);
        EXPECT_FALSE(keys.isEmpty()) << name << " declares no skin";
        EXPECT_TRUE(feature::MissingSkinControlsOf(*window).isEmpty())
            << name << " names controls it lacks: "
            << feature::MissingSkinControlsOf(*window).join(u' ').toStdString();
        for (const QString &key : keys)
            EXPECT_TRUE(skin.hasSection(key.toStdString())) << name << ": " << key.toStdString();
        // With the delivered skin, no button of the window is left a plain Qt button.
        for (QPushButton *button : window->findChildren<QPushButton *>())
            EXPECT_NE(skin::ButtonFace::of(*button), nullptr)
                << name << ": " << button->objectName().toStdString() << " has no picture";
    }
}
