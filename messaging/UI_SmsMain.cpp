#include "UI_SmsMain.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TFrmSmsMain::TFrmSmsMain(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmSmsMain"), GetLanguageString(1005),
                   QStringLiteral("Inbox, sent messages and drafts on the SIM card and on this "
                                  "computer."),
                   FeatureWindowKind::Page)
{
    tmrSmsInitSet.setObjectName(QStringLiteral("tmrSmsInitSet"));
    tmrLoadMeMsg.setObjectName(QStringLiteral("tmrLoadMeMsg"));
    tmrLoadSimMsg.setObjectName(QStringLiteral("tmrLoadSimMsg"));
}
