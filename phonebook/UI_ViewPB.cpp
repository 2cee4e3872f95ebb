#include "UI_ViewPB.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TFrmViewPB::TFrmViewPB(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmViewPB"), GetLanguageString(4075),
                   QStringLiteral("Shows one contact."), FeatureWindowKind::Dialog)
{
}
