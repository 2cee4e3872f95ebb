#include "UI_SetNetPopEditForm.h"

#include "config/BL_File.h"
#include "platform/CodePage.h"

TSet_netpopeditform::TSet_netpopeditform(feature::FeatureHost &host)
    : ProfileDialog(host, QStringLiteral("TSet_netpopeditform"))
{
    connect(OkButton, &QPushButton::clicked, this, &TSet_netpopeditform::OkButtonClick);
    feature::WearSkin(*this, {"SETNETEDIT.BKIMAGE", nullptr,
                              skinControls("SETNETEDIT.BTOK", "SETNETEDIT.BTCANCEL")});
}

void TSet_netpopeditform::LoadRecord(const ProfileRecord &record, bool readOnly)
{
    m_opened = record;
    setForm(FormFromRecord(record));
    setInputsEnabled(!readOnly);
}

void TSet_netpopeditform::OkButtonClick()
{
    const QString openedName = platform::fromAnsi(ProfileName(m_opened));
    if (!checkForm(&openedName))
        return;
    m_saved = BuildProfileRecord(form(), ProfileDialogKind::Edit);
    // As the page expects: a failed replace is not reported.
    FileStore().ReplaceProfile(m_opened, m_saved);
    accept();
}
