#include "UI_GetInput.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TgetInput::TgetInput(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TgetInput"), GetLanguageString(1099),
                   QStringLiteral("Asks for the input the SIM card's menu needs."),
                   FeatureWindowKind::Dialog)
{
}
