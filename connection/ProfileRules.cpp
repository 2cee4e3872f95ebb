#include "ProfileRules.h"

#include "platform/CodePage.h"

#include <QRegularExpression>

namespace {

constexpr int kLabelFileName = 3035;  // "Profile name"
constexpr int kLabelLogin = 3056;     // "Dial number"
constexpr int kMessageBadField = 4050;
constexpr int kMessageNoApn = 3111;
constexpr int kMessageNoDns = 3112;
constexpr int kMessageNoPdpAddress = 3113;
constexpr int kMessageNoName = 3059;
constexpr int kMessageDuplicateName = 3060;
constexpr int kMessageBadApn = 3166;

const QString kNoAddress = QStringLiteral("0.0.0.0");

QString withoutTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    return text.left(end);
}

// The APN a card takes: letters, digits, '-' and '.'. A double quote would end the APN's
// quoted text in the card's command, so it is refused like any other character.
bool validApnCharacters(const QString &apn)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9.-]*$"));
    return allowed.match(apn).hasMatch();
}

void copyText(char *field, size_t size, const QString &text)
{
    platform::copyToField(field, size, platform::toAnsi(text));
}

QString textOf(const char *field, size_t size)
{
    return platform::fromAnsi(platform::fieldText(field, size));
}

}  // namespace

std::optional<ProfileProblem> CheckProfileForm(const ProfileForm &form,
                                               const QStringList &listItems,
                                               const QString *openedName)
{
    if (!form.apnAutomatic && form.apn.isEmpty())
        return ProfileProblem{kMessageNoApn, 0};
    if (!form.name.isEmpty() && form.name[0] == QLatin1Char(' '))
        return ProfileProblem{kMessageBadField, kLabelFileName};
    // A character of more than one byte in the system code page cannot be dialled.
    if (!form.apnAutomatic &&
        platform::toAnsi(form.dialNumber).size() != size_t(form.dialNumber.size()))
        return ProfileProblem{kMessageBadField, kLabelLogin};
    if (!form.dnsAutomatic && form.primaryDns == kNoAddress && form.secondaryDns == kNoAddress)
        return ProfileProblem{kMessageNoDns, 0};
    if (!form.pdpAddressAutomatic && form.pdpAddress == kNoAddress)
        return ProfileProblem{kMessageNoPdpAddress, 0};
    const QString trimmedName = form.name.trimmed();
    if (trimmedName.isEmpty())
        return ProfileProblem{kMessageNoName, 0};
    for (const QString &item : listItems) {
        if (openedName && item == *openedName)
            continue;
        const QString trimmedItem = item.trimmed();
        if (item == form.name || item == trimmedName || trimmedItem == form.name ||
            trimmedItem == trimmedName)
            return ProfileProblem{kMessageDuplicateName, 0};
    }
    if (!form.apnAutomatic) {
        const QString apn = withoutTrailingBlanks(form.apn);
        if ((apn.isEmpty() && form.apnFieldEnabled) || !validApnCharacters(apn))
            return ProfileProblem{kMessageBadApn, 0};
    }
    return std::nullopt;
}

ProfileRecord BuildProfileRecord(const ProfileForm &form, ProfileDialogKind kind)
{
    ProfileRecord record{};
    auto stored = [kind](const QString &entry) {
        return kind == ProfileDialogKind::Edit && entry == kNoAddress ? QString() : entry;
    };
    copyText(record.name, sizeof record.name, form.name);
    copyText(record.userName, sizeof record.userName, form.userName);
    copyText(record.password, sizeof record.password, form.password);
    copyText(record.dialNumber, sizeof record.dialNumber, form.dialNumber);
    copyText(record.apnAutomatic, sizeof record.apnAutomatic, form.apnAutomatic ? "1" : "0");
    if (!form.apnAutomatic)
        copyText(record.apn, sizeof record.apn, form.apn);
    copyText(record.dnsAutomatic, sizeof record.dnsAutomatic, form.dnsAutomatic ? "1" : "0");
    if (!form.dnsAutomatic) {
        copyText(record.primaryDns, sizeof record.primaryDns, stored(form.primaryDns));
        copyText(record.secondaryDns, sizeof record.secondaryDns, stored(form.secondaryDns));
    }
    copyText(record.pdpAddressAutomatic, sizeof record.pdpAddressAutomatic,
             form.pdpAddressAutomatic ? "1" : "0");
    if (!form.pdpAddressAutomatic)
        copyText(record.pdpAddress, sizeof record.pdpAddress, stored(form.pdpAddress));
    copyText(record.pdpType, sizeof record.pdpType, form.pdpTypeIp ? "IP" : "PPP");
    copyText(record.authentication, sizeof record.authentication, form.chap ? "CHAP" : "PAP");
    copyText(record.askCredentials, sizeof record.askCredentials, form.askCredentials ? "1" : "0");
    copyText(record.saveCredentials, sizeof record.saveCredentials,
             form.saveCredentials ? "1" : "0");
    return record;
}

ProfileForm FormFromRecord(const ProfileRecord &record)
{
    ProfileForm form;
    form.name = textOf(record.name, sizeof record.name);
    form.userName = textOf(record.userName, sizeof record.userName);
    form.password = textOf(record.password, sizeof record.password);
    form.dialNumber = textOf(record.dialNumber, sizeof record.dialNumber);
    form.askCredentials = textOf(record.askCredentials, sizeof record.askCredentials) == "1";
    form.saveCredentials = textOf(record.saveCredentials, sizeof record.saveCredentials) == "1";
    form.apnAutomatic = textOf(record.apnAutomatic, sizeof record.apnAutomatic) == "1";
    form.apnFieldEnabled = !form.apnAutomatic;
    if (!form.apnAutomatic)
        form.apn = textOf(record.apn, sizeof record.apn);
    form.dnsAutomatic = textOf(record.dnsAutomatic, sizeof record.dnsAutomatic) == "1";
    Ipv4Entry entry;
    if (!form.dnsAutomatic) {
        entry.setText(textOf(record.primaryDns, sizeof record.primaryDns));
        form.primaryDns = entry.text();
        entry.setText(textOf(record.secondaryDns, sizeof record.secondaryDns));
        form.secondaryDns = entry.text();
    }
    form.pdpAddressAutomatic =
        textOf(record.pdpAddressAutomatic, sizeof record.pdpAddressAutomatic) == "1";
    if (!form.pdpAddressAutomatic) {
        entry.setText(textOf(record.pdpAddress, sizeof record.pdpAddress));
        form.pdpAddress = entry.text();
    }
    form.pdpTypeIp = textOf(record.pdpType, sizeof record.pdpType) == "IP";
    form.chap = textOf(record.authentication, sizeof record.authentication) != "PAP";
    return form;
}

void Ipv4Entry::setText(const QString &text)
{
    m_fields = {};
    if (text.isEmpty())
        return;
    const QStringList parts = text.split(QLatin1Char('.'));
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        setField(i, parts[i]);
}

void Ipv4Entry::setField(int index, const QString &digits)
{
    if (index < 0 || index > 3)
        return;
    QString kept;
    for (QChar c : digits)
        if (c.isDigit() && c.unicode() < 128 && kept.size() < 3)
            kept += c;
    m_fields[index] =
        kept.isEmpty() ? std::nullopt : std::optional<int>(std::min(kept.toInt(), 255));
}

QString Ipv4Entry::text() const
{
    QStringList parts;
    for (const auto &field : m_fields)
        parts << QString::number(field.value_or(0));
    return parts.join(QLatin1Char('.'));
}

bool Ipv4Entry::blank() const
{
    return std::none_of(m_fields.begin(), m_fields.end(),
                        [](const auto &field) { return field.has_value(); });
}

std::optional<std::array<uint8_t, 4>> ParseDnsAddress(const std::string &text)
{
    std::array<uint8_t, 4> address{};
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t end = part < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos || end == start || end - start > 3)
            return std::nullopt;
        int value = 0;
        for (size_t i = start; i < end; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return std::nullopt;
            value = value * 10 + (text[i] - '0');
        }
        if (value > 255)
            return std::nullopt;
        address[size_t(part)] = static_cast<uint8_t>(value);
        start = end + 1;
    }
    return address;
}
