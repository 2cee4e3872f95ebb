#include "UI_EditPB.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TFmEditPB::TFmEditPB(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFmEditPB"), GetLanguageString(4045),
                   QStringLiteral("Creates or changes one contact."), FeatureWindowKind::Dialog)
{
}
