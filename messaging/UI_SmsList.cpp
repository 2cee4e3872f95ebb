#include "UI_SmsList.h"

#include "FeatureMessages.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

using platform::GetLanguageString;

TFrmSmsList::TFrmSmsList(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmSmsList"), GetLanguageString(1005),
                   QStringLiteral("The messages of one folder."), FeatureWindowKind::Page)
{
}

void TFrmSmsList::messageArrived(platform::WindowMessageEvent &message)
{
    if (message.message() == feature::WM_OPEN_SMS_FOLDER)
        host().showInPanel(*this);
}
