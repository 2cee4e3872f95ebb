#include "UI_CallRecords.h"

#include "FeatureMessages.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

using platform::GetLanguageString;

TCrForm::TCrForm(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TCrForm"), GetLanguageString(1008),
                   QStringLiteral("Missed, received and dialled calls."), FeatureWindowKind::Page)
{
    wearSkin({"CR.CRBKIMAGE", "CR.TITLEIMAGE", {}});
}

void TCrForm::messageArrived(platform::WindowMessageEvent &message)
{
    if (message.message() == feature::WM_OPEN_CALL_RECORDS ||
        message.message() == feature::WM_BACK_TO_CALL_RECORDS)
        host().showInPanel(*this);
}
