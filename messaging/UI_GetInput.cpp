#include "UI_GetInput.h"

#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

using platform::GetLanguageString;

TgetInput::TgetInput(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TgetInput"), GetLanguageString(text::kSimToolkit),
                   QStringLiteral("Asks for the input the SIM card's menu needs."),
                   FeatureWindowKind::Dialog)
{
    wearSkin({"GETINPUT.BACKIMAGE", "GETINPUT.TITLEIMAGE", {}});
}
