#include "UI_SetMenuForm.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSetMenuForm::TSetMenuForm(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TSetMenuForm"), GetLanguageString(1007),
                   QStringLiteral("Choose a settings page: connection profiles, security, network, "
                                  "SMS and sound, or restore the factory settings."),
                   FeatureWindowKind::Page)
{
}
