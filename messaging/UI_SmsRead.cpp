#include "UI_SmsRead.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TFrmSmsRead::TFrmSmsRead(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmSmsRead"), GetLanguageString(1005),
                   QStringLiteral("Shows one received message."), FeatureWindowKind::Page)
{
}
