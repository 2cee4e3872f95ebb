#include "UI_SetMsgForm.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSet_msgform::TSet_msgform(feature::FeatureHost &host)
    : TFeaturePage(
          host, QStringLiteral("TSet_msgform"), GetLanguageString(3021),
          QStringLiteral("Service centre number, validity period, delivery reports and the "
                         "storage for incoming messages."),
          FeatureWindowKind::Page)
{
}
