#include "ProfileDialog.h"

#include "WindowControls.h"

#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRegularExpressionValidator>

using platform::GetLanguageString;

namespace {

constexpr int kInformationIcon = 1;

QLineEdit *edit(QWidget *parent, const char *name, int limit)
{
    auto *made = new QLineEdit(parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setMaxLength(limit);
    return made;
}

QLineEdit *ipv4Entry(QWidget *parent, const char *name)
{
    QLineEdit *made = edit(parent, name, 15);
    // Four numbers of up to three digits between dots; each is corrected to 255 when read.
    made->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^\\d{0,3}(\\.\\d{0,3}){0,3}$")), made));
    return made;
}

}  // namespace

QString Ipv4EntryText(const QLineEdit &entry)
{
    Ipv4Entry address;
    address.setText(entry.text());
    return address.text();
}

std::vector<feature::SkinKey> ProfileDialog::skinControls(const char *okKey, const char *cancelKey)
{
    return {{okKey, "OkButton"},
            {cancelKey, "CancelButton"},
            {"SETNETEDIT.CHECK_ASK", "Check_Ask"},
            {"SETNETEDIT.CHECK_SAVE", "Check_Save"},
            {"SETNETEDIT.RADIO_AUTO_APN", "Radio_auto_APN"},
            {"SETNETEDIT.RADIO_MANUL_APN", "Radio_manul_APN"},
            {"SETNETEDIT.RADIO_AUTO_DNS", "Radio_auto_DNS"},
            {"SETNETEDIT.RADIO_MANUAL_DNS", "Radio_manual_DNS"},
            {"SETNETEDIT.RADIO_AUTO_PDP", "Radio_auto_PDP"},
            {"SETNETEDIT.RADIO_MANUAL_PDP", "Radio_manual_PDP"},
            {"SETNETEDIT.RADIO_IP_PDP", "Radio_IP_PDP"},
            {"SETNETEDIT.RADIO_PPP_PDP", "Radio_PPP_PDP"}};
}

ProfileDialog::ProfileDialog(feature::FeatureHost &host, const QString &className)
    : QDialog(host.dialogOwner()), m_host(host)
{
    setObjectName(className);
    setWindowTitle(GetLanguageString(3054));
    Edit_filename = edit(this, "Edit_filename", kProfileNameLimit);
    Edit_login_no = edit(this, "Edit_login_no", kDialNumberLimit);
    Edit_user_name = edit(this, "Edit_user_name", kCredentialLimit);
    Edit_password = edit(this, "Edit_password", kCredentialLimit);
    Edit_password->setEchoMode(QLineEdit::Password);
    Edit_manual_APN = edit(this, "Edit_manual_APN", kApnLimit);
    Edit_first_DNS = ipv4Entry(this, "Edit_first_DNS");
    Edit_stanby_DNS = ipv4Entry(this, "Edit_stanby_DNS");
    Edit_Manual_PDP = ipv4Entry(this, "Edit_Manual_PDP");
    Check_Save = NamedButton<QCheckBox>(this, "Check_Save", 3127);
    Check_Ask = NamedButton<QCheckBox>(this, "Check_Ask", 3126);
    Radio_auto_APN = NamedButton<QRadioButton>(this, "Radio_auto_APN", 3061);
    Radio_manul_APN = NamedButton<QRadioButton>(this, "Radio_manul_APN", 3062);
    Radio_auto_DNS = NamedButton<QRadioButton>(this, "Radio_auto_DNS", 3063);
    Radio_manual_DNS = NamedButton<QRadioButton>(this, "Radio_manual_DNS", 3064);
    Radio_auto_PDP = NamedButton<QRadioButton>(this, "Radio_auto_PDP", 3065);
    Radio_manual_PDP = NamedButton<QRadioButton>(this, "Radio_manual_PDP", 3066);
    Radio_IP_PDP = NamedButton<QRadioButton>(this, "Radio_IP_PDP", 3072);
    Radio_PPP_PDP = NamedButton<QRadioButton>(this, "Radio_PPP_PDP", 3073);
    Radio_PAP = new QRadioButton(QStringLiteral("PAP"), this);
    Radio_PAP->setObjectName(QStringLiteral("Radio_PAP"));
    Radio_CHAP = new QRadioButton(QStringLiteral("CHAP"), this);
    Radio_CHAP->setObjectName(QStringLiteral("Radio_CHAP"));
    // Each pair is exclusive on its own.
    for (auto [first, second] : {std::pair{Radio_auto_APN, Radio_manul_APN},
                                 {Radio_auto_DNS, Radio_manual_DNS},
                                 {Radio_auto_PDP, Radio_manual_PDP},
                                 {Radio_IP_PDP, Radio_PPP_PDP},
                                 {Radio_PAP, Radio_CHAP}}) {
        auto *group = new QButtonGroup(this);  // owned by the dialog
        group->addButton(first);
        group->addButton(second);
    }
    Label_User = NamedLabel(this, "Label_User", GetLanguageString(3057));
    Label_Password = NamedLabel(this, "Label_Password", GetLanguageString(3058));
    Label_APN = NamedLabel(this, "Label_APN", GetLanguageString(3068));
    Label_first_DNS = NamedLabel(this, "Label_first_DNS", GetLanguageString(3069));
    Label_stanby_DNS = NamedLabel(this, "Label_stanby_DNS", GetLanguageString(3070));
    Label_PDP_addr = NamedLabel(this, "Label_PDP_addr", GetLanguageString(3071));
    OkButton = NamedButton(this, "OkButton", 6);
    CancelButton = NamedButton(this, "CancelButton", 7);

    auto *grid = new QGridLayout(this);
    int row = 0;
    auto line = [&](QWidget *left, QWidget *right) {
        grid->addWidget(left, row, 0);
        grid->addWidget(right, row++, 1);
    };
    line(NamedLabel(this, "Label_FileName", GetLanguageString(3055)), Edit_filename);
    line(NamedLabel(this, "Label_Login", GetLanguageString(3056)), Edit_login_no);
    line(Check_Save, Check_Ask);
    line(Label_User, Edit_user_name);
    line(Label_Password, Edit_password);
    line(Radio_auto_APN, Radio_manul_APN);
    line(Label_APN, Edit_manual_APN);
    line(Radio_auto_DNS, Radio_manual_DNS);
    line(Label_first_DNS, Edit_first_DNS);
    line(Label_stanby_DNS, Edit_stanby_DNS);
    line(Radio_auto_PDP, Radio_manual_PDP);
    line(Label_PDP_addr, Edit_Manual_PDP);
    line(NamedLabel(this, "Label_PDPType", GetLanguageString(3067)), Radio_IP_PDP);
    line(new QWidget(this), Radio_PPP_PDP);
    line(NamedLabel(this, "Label_AUTH", GetLanguageString(3125)), Radio_PAP);
    line(new QWidget(this), Radio_CHAP);
    line(OkButton, CancelButton);

    for (QRadioButton *radio : {Radio_auto_APN, Radio_manul_APN})
        connect(radio, &QRadioButton::clicked, this, &ProfileDialog::Radio_APNClick);
    for (QRadioButton *radio : {Radio_auto_DNS, Radio_manual_DNS})
        connect(radio, &QRadioButton::clicked, this, &ProfileDialog::Radio_DNSClick);
    for (QRadioButton *radio : {Radio_auto_PDP, Radio_manual_PDP})
        connect(radio, &QRadioButton::clicked, this, &ProfileDialog::Radio_PDPClick);
    connect(Check_Save, &QCheckBox::clicked, this, &ProfileDialog::Check_SaveClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ProfileForm ProfileDialog::form() const
{
    ProfileForm form;
    form.name = Edit_filename->text();
    form.dialNumber = Edit_login_no->text();
    form.userName = Edit_user_name->text();
    form.password = Edit_password->text();
    form.saveCredentials = Check_Save->isChecked();
    form.askCredentials = Check_Ask->isChecked();
    form.apnAutomatic = Radio_auto_APN->isChecked();
    form.apn = Edit_manual_APN->text();
    form.apnFieldEnabled = Edit_manual_APN->isEnabled();
    form.dnsAutomatic = Radio_auto_DNS->isChecked();
    form.primaryDns = Ipv4EntryText(*Edit_first_DNS);
    form.secondaryDns = Ipv4EntryText(*Edit_stanby_DNS);
    form.pdpAddressAutomatic = Radio_auto_PDP->isChecked();
    form.pdpAddress = Ipv4EntryText(*Edit_Manual_PDP);
    form.pdpTypeIp = Radio_IP_PDP->isChecked();
    form.chap = Radio_CHAP->isChecked();
    return form;
}

void ProfileDialog::setForm(const ProfileForm &form)
{
    Edit_filename->setText(form.name);
    Edit_login_no->setText(form.dialNumber);
    Edit_user_name->setText(form.userName);
    Edit_password->setText(form.password);
    Check_Save->setChecked(form.saveCredentials);
    Check_Ask->setChecked(form.askCredentials);
    (form.apnAutomatic ? Radio_auto_APN : Radio_manul_APN)->setChecked(true);
    Edit_manual_APN->setText(form.apnAutomatic ? QString() : form.apn);
    (form.dnsAutomatic ? Radio_auto_DNS : Radio_manual_DNS)->setChecked(true);
    auto entryText = [](const QString &text) {
        return text == QLatin1String("0.0.0.0") ? QString() : text;
    };
    Edit_first_DNS->setText(form.dnsAutomatic ? QString() : entryText(form.primaryDns));
    Edit_stanby_DNS->setText(form.dnsAutomatic ? QString() : entryText(form.secondaryDns));
    (form.pdpAddressAutomatic ? Radio_auto_PDP : Radio_manual_PDP)->setChecked(true);
    Edit_Manual_PDP->setText(form.pdpAddressAutomatic ? QString() : entryText(form.pdpAddress));
    (form.pdpTypeIp ? Radio_IP_PDP : Radio_PPP_PDP)->setChecked(true);
    (form.chap ? Radio_CHAP : Radio_PAP)->setChecked(true);
    setInputsEnabled(true);
}

void ProfileDialog::setInputsEnabled(bool enabled)
{
    for (QWidget *input : std::initializer_list<QWidget *>{
             Edit_filename,    Edit_login_no,   Edit_user_name,  Edit_password,    Edit_manual_APN,
             Edit_first_DNS,   Edit_stanby_DNS, Edit_Manual_PDP, Check_Save,       Check_Ask,
             Radio_auto_APN,   Radio_manul_APN, Radio_auto_DNS,  Radio_manual_DNS, Radio_auto_PDP,
             Radio_manual_PDP, Radio_IP_PDP,    Radio_PPP_PDP,   Radio_PAP,        Radio_CHAP})
        input->setEnabled(enabled);
    if (!enabled)
        return;
    Radio_APNClick();
    Radio_DNSClick();
    Radio_PDPClick();
    const bool save = Check_Save->isChecked();
    for (QWidget *credential : std::initializer_list<QWidget *>{Edit_user_name, Edit_password,
                                                                Label_User, Label_Password})
        credential->setEnabled(save);
}

void ProfileDialog::Radio_APNClick()
{
    const bool manual = Radio_manul_APN->isChecked();
    Edit_manual_APN->setEnabled(manual);
    Label_APN->setEnabled(manual);
}

void ProfileDialog::Radio_DNSClick()
{
    const bool manual = Radio_manual_DNS->isChecked();
    for (QWidget *control : std::initializer_list<QWidget *>{Edit_first_DNS, Edit_stanby_DNS,
                                                             Label_first_DNS, Label_stanby_DNS})
        control->setEnabled(manual);
}

void ProfileDialog::Radio_PDPClick()
{
    const bool manual = Radio_manual_PDP->isChecked();
    Edit_Manual_PDP->setEnabled(manual);
    Label_PDP_addr->setEnabled(manual);
}

void ProfileDialog::Check_SaveClick()
{
    const bool save = Check_Save->isChecked();
    for (QWidget *credential : std::initializer_list<QWidget *>{Edit_user_name, Edit_password,
                                                                Label_User, Label_Password})
        credential->setEnabled(save);
    if (!save) {
        Edit_user_name->clear();
        Edit_password->clear();
    }
}

bool ProfileDialog::checkForm(const QString *openedName)
{
    const auto problem = CheckProfileForm(form(), m_listItems, openedName);
    if (!problem)
        return true;
    const QString text = problem->label ? GetLanguageString(problem->label) + QLatin1Char(' ') +
                                              GetLanguageString(problem->message)
                                        : GetLanguageString(problem->message);
    platform::ShowMessageBox(this, text, kInformationIcon);
    return false;
}
