#include "UI_Contacts.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TFrmContacts::TFrmContacts(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmContacts"), GetLanguageString(1006),
                   QStringLiteral("Contacts and groups on the SIM card and on this computer."),
                   FeatureWindowKind::Page)
{
    TimerLoadSIMData.setObjectName(QStringLiteral("TimerLoadSIMData"));
}
