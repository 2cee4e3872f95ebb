// The rules of the profile dialogs (add and edit), without the dialogs: what the controls hold,
// the checks made on OK with their messages, the record built from the controls, and the
// controls loaded from a record. Also the rules of the dotted-quad IPv4 entry controls.
#pragma once

#include "config/ConfigRecords.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the dialog's controls hold. The IPv4 entries read "0.0.0.0" when nothing was typed.
struct ProfileForm {
    QString name;
    QString dialNumber;
    QString userName;
    QString password;
    bool saveCredentials = false;
    bool askCredentials = false;
    bool apnAutomatic = true;
    QString apn;
    bool apnFieldEnabled = false;
    bool dnsAutomatic = true;
    QString primaryDns = "0.0.0.0";
    QString secondaryDns = "0.0.0.0";
    bool pdpAddressAutomatic = true;
    QString pdpAddress = "0.0.0.0";
    bool pdpTypeIp = true;  // else PPP
    bool chap = false;      // else PAP
};

enum class ProfileDialogKind { Add, Edit };

// The first failing check: the message is `label`, a blank and `message` when label is not 0,
// else `message` alone (resource string numbers; information icon).
struct ProfileProblem {
    int message = 0;
    int label = 0;
};

// Limits of the dialogs' text fields (characters).
inline constexpr int kProfileNameLimit = 60;
inline constexpr int kDialNumberLimit = 18;
inline constexpr int kCredentialLimit = 18;
inline constexpr int kApnLimit = 100;

// The checks of OK, in order; nullopt when the form may be saved. listItems are the names of
// the profile list; openedName is the name of the record the edit dialog was opened with (an
// item bearing exactly that text is not a duplicate).
std::optional<ProfileProblem> CheckProfileForm(const ProfileForm &form,
                                               const QStringList &listItems,
                                               const QString *openedName = nullptr);

// The record for a form that passed the checks. The edit dialog stores a manual DNS or PDP
// entry that reads "0.0.0.0" as an empty text; the add dialog stores it as it reads.
ProfileRecord BuildProfileRecord(const ProfileForm &form, ProfileDialogKind kind);

// The controls for a record (the edit dialog's loading).
ProfileForm FormFromRecord(const ProfileRecord &record);

// The dotted-quad entry: four fields of at most three digits, each 0-255 (a larger number
// becomes 255, as the control corrects it); an empty field reads as 0.
class Ipv4Entry {
public:
    // Clears the entry for an empty text; otherwise takes up to four dot-separated numbers.
    void setText(const QString &text);
    // Typing into one field (0-3): digits only, at most three, corrected to 255.
    void setField(int index, const QString &digits);
    QString text() const;  // "0.0.0.0" when nothing was typed
    bool blank() const;

private:
    std::array<std::optional<int>, 4> m_fields;
};

// The dial's DNS rule: four decimal parts 0-255 separated by dots; an empty text is malformed.
std::optional<std::array<uint8_t, 4>> ParseDnsAddress(const std::string &text);
