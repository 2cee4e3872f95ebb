#include "UI_ManualSet.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TManual_Set::TManual_Set(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TManual_Set"), GetLanguageString(3004),
                   QStringLiteral("Searches the operators in reach and registers with the one "
                                  "chosen."),
                   FeatureWindowKind::Dialog)
{
    wearSkin({nullptr, "SETNETSELECT.TITLEIMAGE", {}});
}
