#include "UI_CopyTips.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TFrmCopyTips::TFrmCopyTips(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmCopyTips"), GetLanguageString(1006),
                   QStringLiteral("Shows the progress of copying contacts."),
                   FeatureWindowKind::Dialog)
{
}
