// The balance code of the SIM's operator: the one the person keeps for it, else the one the
// mobile-broadband-provider-info database (serviceproviders.xml, <balance-check>) names.
#pragma once

#include <QString>

#include <optional>

class QIODevice;

struct BalanceCode {
    QString code;          // "*100#"
    QString operatorCode;  // MCC and MNC of the operator it is for ("26201")
};

// The database's balance code for the operator of an IMSI (its MCC and MNC, 2 or 3 digits, the
// longest match wins); nothing when the operator has none or the file cannot be read.
std::optional<BalanceCode> FindBalanceCode(QIODevice &database, const QString &imsi);
std::optional<BalanceCode> FindBalanceCode(const QString &databasePath, const QString &imsi);
// Where Debian installs the database.
QString DefaultBalanceDatabasePath();

// The codes the person keeps, one per operator, in a small file of the settings folder.
class KeptBalanceCodes {
public:
    explicit KeptBalanceCodes(QString path);
    // The file in the program's settings folder.
    static QString defaultPath();

    // The kept code for the operator the IMSI begins with.
    std::optional<BalanceCode> find(const QString &imsi) const;
    // Keeps the code for the operator (replacing one kept before); written whole or not at all.
    bool keep(const BalanceCode &code);

private:
    QString m_path;
};

// The code the balance button sends: the kept one, else the database's.
std::optional<BalanceCode> BalanceCodeFor(const QString &imsi, const KeptBalanceCodes &kept,
                                          const QString &databasePath);
