#include "UI_SmsEdit.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TFrmSmsEdit::TFrmSmsEdit(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmSmsEdit"), GetLanguageString(1005),
                   QStringLiteral("Writes and sends a message."), FeatureWindowKind::Page)
{
}

void TFrmSmsEdit::messageArrived(platform::WindowMessageEvent &message)
{
    (void)message;
    host().showInPanel(*this);
}
