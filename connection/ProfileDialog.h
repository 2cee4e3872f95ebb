// The controls of the two profile dialogs (add and edit) and what they share: the dependent
// controls of each radio pair and check box, reading the controls into a ProfileForm and
// loading them from one, and the checks of OK with their messages. The rules themselves are
// ProfileRules'; the two dialogs differ only in what OK then does with the record.
#pragma once

#include "FeaturePage.h"
#include "FeatureWindow.h"
#include "ProfileRules.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class ProfileDialog : public QDialog, public feature::FeatureWindow {
    Q_OBJECT
public:
    ProfileDialog(feature::FeatureHost &host, const QString &className);
    // The skin keys of a profile dialog: its own OK and Cancel keys, and the keys both dialogs
    // share for their check boxes and radio buttons.
    static std::vector<feature::SkinKey> skinControls(const char *okKey, const char *cancelKey);

    // The names of the profile list, for the duplicate check.
    void setListItems(const QStringList &items) { m_listItems = items; }
    ProfileForm form() const;
    void setForm(const ProfileForm &form);
    // Every input control on or off (OK and Cancel stay).
    void setInputsEnabled(bool enabled);
    // The checks of OK; false (with the message shown) when the dialog stays open.
    bool checkForm(const QString *openedName);

    QLineEdit *Edit_filename, *Edit_login_no, *Edit_user_name, *Edit_password, *Edit_manual_APN;
    QLineEdit *Edit_first_DNS, *Edit_stanby_DNS, *Edit_Manual_PDP;  // the IPv4 entries
    QCheckBox *Check_Save, *Check_Ask;
    QRadioButton *Radio_auto_APN, *Radio_manul_APN, *Radio_auto_DNS, *Radio_manual_DNS;
    QRadioButton *Radio_auto_PDP, *Radio_manual_PDP, *Radio_IP_PDP, *Radio_PPP_PDP;
    QRadioButton *Radio_PAP, *Radio_CHAP;
    QLabel *Label_User, *Label_Password, *Label_APN, *Label_first_DNS, *Label_stanby_DNS;
    QLabel *Label_PDP_addr;
    QPushButton *OkButton, *CancelButton;

    // The dependent controls of each pair.
    void Radio_APNClick();
    void Radio_DNSClick();
    void Radio_PDPClick();
    void Check_SaveClick();

protected:
    feature::FeatureHost &host() { return m_host; }

private:
    feature::FeatureHost &m_host;
    QStringList m_listItems;
};

// The text of an IPv4 entry: "0.0.0.0" when nothing was typed.
QString Ipv4EntryText(const QLineEdit &entry);
