#include "UI_SetSoundForm.h"

#include "platform/ResStringManager.h"

using platform::GetLanguageString;

TSet_soundform::TSet_soundform(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TSet_soundform"), GetLanguageString(3022),
                   QStringLiteral("The sound played for new messages, calls and the Internet "
                                  "connection."),
                   FeatureWindowKind::Page)
{
    wearSkin({"SETSOUND.BKIMAGE", "SETSOUND.TITLEIMAGE", {}});
}
