#include "UI_SetNetPopForm.h"

#include "config/BL_File.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

TSet_netpopform::TSet_netpopform(feature::FeatureHost &host)
    : ProfileDialog(host, QStringLiteral("TSet_netpopform"))
{
    connect(OkButton, &QPushButton::clicked, this, &TSet_netpopform::OkButtonClick);
    feature::WearSkin(*this, {"SETNETADD.BKIMAGE", nullptr,
                              skinControls("SETNETADD.BTOK", "SETNETADD.BTCANCEL")});
}

void TSet_netpopform::FormShow()
{
    setForm(ProfileForm{});
    Check_SaveClick();
}

void TSet_netpopform::OkButtonClick()
{
    if (!checkForm(nullptr))
        return;
    if (!FileStore().AppendProfile(BuildProfileRecord(form(), ProfileDialogKind::Add))) {
        platform::ShowMessageBox(this, platform::GetLanguageString(3050), 2);
        return;
    }
    accept();
}
