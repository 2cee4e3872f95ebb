#include "UI_SatMenuDisplay.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSatMenuDisplayForm::TSatMenuDisplayForm(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TSatMenuDisplayForm"), GetLanguageString(1099),
                   QStringLiteral("The menu of the SIM card's own services."),
                   FeatureWindowKind::Page)
{
}
