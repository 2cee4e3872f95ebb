// The settings windows follow the card state they are told, and start from card absent.
#include "UI_SetMenuForm.h"
#include "UI_SetSecurityFrm.h"

#include "RecordingHost.h"

#include <gtest/gtest.h>

TEST(Settings, TheWindowsStartFromCardAbsentAndKeepTheStateTold)
{
    RecordingHost host;
    TSetMenuForm menu(host);
    TSet_securityform security(host);
    for (TFeaturePage *page : std::initializer_list<TFeaturePage *>{&menu, &security}) {
        EXPECT_EQ(page->cardState(), 1);
        page->cardStateChanged(7);
        EXPECT_EQ(page->cardState(), 7);
    }
}
