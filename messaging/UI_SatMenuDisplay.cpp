#include "UI_SatMenuDisplay.h"

#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

using platform::GetLanguageString;

TSatMenuDisplayForm::TSatMenuDisplayForm(feature::FeatureHost &host)
    : FeaturePage(
          host, QStringLiteral("TSatMenuDisplayForm"), GetLanguageString(text::kSimToolkit),
          QStringLiteral("The menu of the SIM card's own services."), FeatureWindowKind::Page)
{
    wearSkin({"SETMENUDISPLAY.BKIMAGE", "SETMENUDISPLAY.TITLEIMAGE", {}});
}
