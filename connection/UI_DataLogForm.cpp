#include "UI_DataLogForm.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TDataLogForm::TDataLogForm(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TDataLogForm"), GetLanguageString(6035),
                   QStringLiteral("The Internet connections made, with their time and traffic."),
                   FeatureWindowKind::Dialog)
{
}
