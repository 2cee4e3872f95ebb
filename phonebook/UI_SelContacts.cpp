#include "UI_SelContacts.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TFrmSel::TFrmSel(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmSel"), GetLanguageString(4040),
                   QStringLiteral("Picks the recipients of a message from the contacts."),
                   FeatureWindowKind::Dialog)
{
}
