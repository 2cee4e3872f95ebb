#include "UI_SetMenuForm.h"

#include "platform/ResStringManager.h"

#include <QBoxLayout>

using platform::GetLanguageString;

TSetMenuForm::TSetMenuForm(feature::FeatureHost &host)
    : FeaturePage(host, QStringLiteral("TSetMenuForm"), GetLanguageString(1007),
                   QStringLiteral("Choose a settings page: connection profiles, security, network, "
                                  "SMS and sound, or restore the factory settings."),
                   FeatureWindowKind::Page)
{
    Button_Profiles = new QPushButton(GetLanguageString(3155), this);  // owned by the page
    Button_Profiles->setObjectName(QStringLiteral("Button_Profiles"));
    Button_Sms = new QPushButton(GetLanguageString(3021), this);
    Button_Sms->setObjectName(QStringLiteral("Button_Sms"));
    auto *column = static_cast<QBoxLayout *>(layout());
    // A column 150 wide: its page buttons take all of it but the skin's 8-pixel edges.
    column->setContentsMargins(8, 12, 8, 12);
    column->insertWidget(1, Button_Profiles);
    column->insertWidget(2, Button_Sms);
    connect(Button_Profiles, &QPushButton::clicked, this,
            [&host] { host.show(feature::SettingsEntry::Profiles); });
    connect(Button_Sms, &QPushButton::clicked, this,
            [&host] { host.show(feature::SettingsEntry::Sms); });
    wearSkin({"SETMENU.BKIMAGE",
              nullptr,
              {{"SETMENU.CFGFILEBUTTON", "Button_Profiles"}, {"SETMENU.MSGCFGBUTTON", "Button_Sms"}}});
}
