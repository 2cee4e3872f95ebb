#include "ProviderProfile.h"

#include "config/BL_File.h"
#include "logic/EngineValues.h"
#include "platform/CodePage.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <lumacore.h>

#include <algorithm>

namespace {

struct ApnCandidate {
    QString apn;
    QString userName;
    QString password;
    QStringList dns;
    bool chap = false;
    bool internet = true;  // an APN without a usage is for everything
};

// What the dialler accepts as an APN (a domain name), and what a profile can hold.
bool usableApn(const QString &apn)
{
    static const QRegularExpression domain(QStringLiteral("^[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*$"));
    return apn.size() <= 100 && domain.match(apn).hasMatch();
}

ApnCandidate readApn(QXmlStreamReader &xml)
{
    ApnCandidate candidate;
    candidate.apn = xml.attributes().value("value").toString().trimmed();
    bool usageGiven = false, internetUsage = false;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == QLatin1String("usage")) {
            usageGiven = true;
            internetUsage =
                internetUsage || xml.attributes().value("type") == QLatin1String("internet");
            xml.skipCurrentElement();
        } else if (name == QLatin1String("username")) {
            candidate.userName = xml.readElementText().trimmed();
        } else if (name == QLatin1String("password")) {
            candidate.password = xml.readElementText().trimmed();
        } else if (name == QLatin1String("dns")) {
            // A profile holds IPv4 name servers only.
            static const QRegularExpression ipv4(QStringLiteral("^\\d{1,3}(\\.\\d{1,3}){3}$"));
            const QString server = xml.readElementText().trimmed();
            if (ipv4.match(server).hasMatch())
                candidate.dns << server;
        } else if (name == QLatin1String("authentication")) {
            candidate.chap = xml.attributes().value("method").compare(QLatin1String("chap"),
                                                                      Qt::CaseInsensitive) == 0;
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    candidate.internet = !usageGiven || internetUsage;
    return candidate;
}

void copyText(char *field, size_t size, const QString &text)
{
    platform::copyToField(field, size, platform::toAnsi(text));
}

}  // namespace

QString DefaultProviderDatabasePath()
{
    return QStringLiteral("/usr/share/mobile-broadband-provider-info/serviceproviders.xml");
}

std::optional<ProviderProfile> FindProviderProfile(QIODevice &database, const QString &imsi,
                                                   QString *error)
{
    if (error)
        error->clear();
    QXmlStreamReader xml(&database);
    std::optional<ProviderProfile> best;
    qsizetype bestLength = 0;
    QString providerName;
    QString matchedMcc, matchedMnc;
    qsizetype matchLength = 0;
    std::optional<ApnCandidate> firstApn;
    // Elements in order: a provider's name, its network ids, then its APNs.
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("provider")) {
                providerName.clear();
                matchLength = 0;
                firstApn.reset();
            } else if (name == QLatin1String("name") && providerName.isEmpty()) {
                providerName = xml.readElementText().trimmed();
            } else if (name == QLatin1String("network-id")) {
                const QString mcc = xml.attributes().value("mcc").toString();
                const QString mnc = xml.attributes().value("mnc").toString();
                const QString code = mcc + mnc;
                if (!mcc.isEmpty() && !mnc.isEmpty() && imsi.startsWith(code) &&
                    code.size() > matchLength) {
                    matchLength = code.size();
                    matchedMcc = mcc;
                    matchedMnc = mnc;
                }
            } else if (name == QLatin1String("apn")) {
                ApnCandidate candidate = readApn(xml);
                if (matchLength > 0 && !firstApn && candidate.internet && usableApn(candidate.apn))
                    firstApn = candidate;
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("provider")) {
            // The longest operator code wins; among equals, the first provider in the file.
            if (firstApn && matchLength > bestLength) {
                bestLength = matchLength;
                best = ProviderProfile{providerName,  matchedMcc,         matchedMnc,
                                       firstApn->apn, firstApn->userName, firstApn->password,
                                       firstApn->dns, firstApn->chap};
            }
        }
    }
    if (xml.hasError()) {
        if (error)
            *error = xml.errorString();
        return std::nullopt;
    }
    return best;
}

std::optional<ProviderProfile> FindProviderProfile(const QString &databasePath, const QString &imsi,
                                                   QString *error)
{
    QFile file(databasePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return FindProviderProfile(file, imsi, error);
}

ProfileRecord ProviderProfile::record() const
{
    ProfileRecord profile{};
    copyText(profile.name, sizeof profile.name, providerName.left(60));
    copyText(profile.userName, sizeof profile.userName, userName.left(18));
    copyText(profile.password, sizeof profile.password, password.left(18));
    copyText(profile.dialNumber, sizeof profile.dialNumber, QStringLiteral("*99#"));
    copyText(profile.apnAutomatic, sizeof profile.apnAutomatic, QStringLiteral("0"));
    copyText(profile.apn, sizeof profile.apn, apn);
    const bool manualDns = !dns.isEmpty();
    copyText(profile.dnsAutomatic, sizeof profile.dnsAutomatic, manualDns ? "0" : "1");
    if (manualDns) {
        copyText(profile.primaryDns, sizeof profile.primaryDns, dns.value(0));
        copyText(profile.secondaryDns, sizeof profile.secondaryDns, dns.value(1));
    }
    copyText(profile.pdpAddressAutomatic, sizeof profile.pdpAddressAutomatic, QStringLiteral("1"));
    copyText(profile.pdpType, sizeof profile.pdpType, QStringLiteral("IP"));
    copyText(profile.authentication, sizeof profile.authentication, chap ? "CHAP" : "PAP");
    copyText(profile.askCredentials, sizeof profile.askCredentials, QStringLiteral("0"));
    copyText(profile.saveCredentials, sizeof profile.saveCredentials, QStringLiteral("1"));
    return profile;
}

bool OperatorHasDeliveredProfile(std::string_view imsi)
{
    return imsi.rfind("722310", 0) == 0 || imsi.rfind("74402", 0) == 0 ||
           imsi.rfind("74810", 0) == 0;
}

ProviderChoice ChooseProviderProfile(const TBL_File &files, std::string_view imsi,
                                     const QString &databasePath)
{
    ProviderChoice choice;
    if (OperatorHasDeliveredProfile(imsi)) {
        choice.kind = ProviderChoice::Delivered;
        return choice;
    }
    const auto found =
        FindProviderProfile(databasePath, QString::fromLatin1(imsi.data(), qsizetype(imsi.size())));
    if (!found)
        return choice;
    choice.record = found->record();
    std::vector<ProfileRecord> profiles;
    files.LoadProfileList(profiles);
    const std::string_view name = ProfileName(choice.record);
    const bool known =
        std::any_of(profiles.begin(), profiles.end(),
                    [name](const ProfileRecord &profile) { return HasName(profile, name); });
    choice.kind = known ? ProviderChoice::Existing : ProviderChoice::Offer;
    return choice;
}

bool AcceptProviderProfile(TBL_File &files, const ProfileRecord &record)
{
    std::vector<ProfileRecord> profiles;
    if (files.LoadProfileList(profiles) == ProfileFileStatus::Damaged)
        return false;
    const std::string_view name = ProfileName(record);
    const bool known =
        std::any_of(profiles.begin(), profiles.end(),
                    [name](const ProfileRecord &profile) { return HasName(profile, name); });
    if (!known && !files.AppendProfile(record))
        return false;
    return files.SetDefaultProfile(name);
}

bool PushDefaultModemParams(const TBL_File &files, uint8_t cardState)
{
    ModemParams params;
    if (cardState != kSimReady || !files.GetDefaultModemParams(params))
        return false;
    return _MEC_SetModemPara(params.pdpType.c_str(), params.apn.c_str(),
                             params.pdpAddress.c_str()) == 0;
}
