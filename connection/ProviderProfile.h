// "The APN without asking": a connection profile for the SIM's operator, built from the
// mobile-broadband-provider-info database (serviceproviders.xml) when none of the delivered
// profiles is for that operator.
#pragma once

#include "config/ConfigRecords.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string_view>

class QIODevice;
class TBL_File;

struct ProviderProfile {
    QString providerName;
    QString mcc;
    QString mnc;
    QString apn;
    QString userName;
    QString password;
    QStringList dns;  // in the database's order; may be empty
    bool chap = false;

    // The profile record: named after the provider, dial *99#, the APN, credentials saved,
    // manual DNS when the database names servers.
    ProfileRecord record() const;
};

// Where Debian installs the database.
QString DefaultProviderDatabasePath();

// The operator of an IMSI (its MCC and MNC, 2 or 3 digits, the longest match wins) and its first
// APN for Internet use. nullopt with error set when the file cannot be read or is not XML;
// nullopt with error empty when the operator has no usable APN there.
std::optional<ProviderProfile> FindProviderProfile(QIODevice &database, const QString &imsi,
                                                   QString *error = nullptr);
std::optional<ProviderProfile> FindProviderProfile(const QString &databasePath, const QString &imsi,
                                                   QString *error = nullptr);

// Whether one of the delivered profiles is for the operator of this IMSI.
bool OperatorHasDeliveredProfile(std::string_view imsi);

// What to do about the SIM's operator when the card is ready.
struct ProviderChoice {
    enum Kind {
        Delivered,  // a delivered profile serves the operator: nothing to offer
        Existing,   // the user took the database's profile before: make `record` the default
        Offer,      // ask the user whether `record` should become the default
        Nothing,    // the database knows no usable APN for the operator
    } kind = Nothing;
    ProfileRecord record{};
};
ProviderChoice ChooseProviderProfile(const TBL_File &files, std::string_view imsi,
                                     const QString &databasePath = DefaultProviderDatabasePath());
// The user agreed: the profile joins config.ran (unless a profile bears its name) and becomes
// the default. False when config.ran cannot be written.
bool AcceptProviderProfile(TBL_File &files, const ProfileRecord &record);

// Tells the card the default profile's PDP type, APN and address (empty: obtained automatically),
// so the next dial uses them. Only when the SIM is ready; false when the default cannot be read or
// the card refuses.
bool PushDefaultModemParams(const TBL_File &files, uint8_t cardState);
