#include "UI_CallRecords.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TCrForm::TCrForm(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TCrForm"), GetLanguageString(1008),
                   QStringLiteral("Missed, received and dialled calls."), FeatureWindowKind::Page)
{
    wearSkin({"CR.CRBKIMAGE", "CR.TITLEIMAGE", {}});
}

void TCrForm::showCallRecords() { host().showInPanel(*this); }
