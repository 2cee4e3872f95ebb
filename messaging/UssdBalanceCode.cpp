#include "UssdBalanceCode.h"

#include "platform/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>

namespace {

struct KeptLine {
    QString operatorCode;
    QString code;
};

std::vector<KeptLine> readKept(const QString &path)
{
    std::vector<KeptLine> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList parts = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() == 2)
            lines.push_back({parts[0], parts[1]});
    }
    return lines;
}

}  // namespace

QString DefaultBalanceDatabasePath()
{
    return QStringLiteral("/usr/share/mobile-broadband-provider-info/serviceproviders.xml");
}

std::optional<BalanceCode> FindBalanceCode(QIODevice &database, const QString &imsi)
{
    QXmlStreamReader xml(&database);
    std::optional<BalanceCode> best;
    QString matched;      // the operator code of the current <gsm> that the IMSI begins with
    bool inBalance = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("gsm")) {
                matched.clear();
            } else if (name == QLatin1String("network-id")) {
                const QString code = xml.attributes().value("mcc").toString() +
                                     xml.attributes().value("mnc").toString();
                if (code.size() >= 4 && imsi.startsWith(code) && code.size() > matched.size())
                    matched = code;
            } else if (name == QLatin1String("balance-check")) {
                inBalance = true;
            } else if (name == QLatin1String("ussd") && inBalance) {
                const QString code = xml.readElementText().trimmed();
                const bool longer = !best || matched.size() > best->operatorCode.size();
                if (!matched.isEmpty() && !code.isEmpty() && longer)
                    best = BalanceCode{code, matched};
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("balance-check")) {
            inBalance = false;
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return best;
}

std::optional<BalanceCode> FindBalanceCode(const QString &databasePath, const QString &imsi)
{
    QFile file(databasePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return FindBalanceCode(file, imsi);
}

KeptBalanceCodes::KeptBalanceCodes(QString path) : m_path(std::move(path)) {}

QString KeptBalanceCodes::defaultPath()
{
    return QDir(platform::settingsFolder()).filePath(QStringLiteral("balance-codes"));
}

std::optional<BalanceCode> KeptBalanceCodes::find(const QString &imsi) const
{
    std::optional<BalanceCode> best;
    for (const KeptLine &line : readKept(m_path)) {
        if (imsi.startsWith(line.operatorCode) &&
            (!best || line.operatorCode.size() > best->operatorCode.size()))
            best = BalanceCode{line.code, line.operatorCode};
    }
    return best;
}

bool KeptBalanceCodes::keep(const BalanceCode &code)
{
    if (code.operatorCode.isEmpty() || code.code.isEmpty() || code.code.contains(QLatin1Char(' ')) ||
        code.code.contains(QLatin1Char('\n')))
        return false;
    std::vector<KeptLine> lines = readKept(m_path);
    std::erase_if(lines, [&](const KeptLine &line) { return line.operatorCode == code.operatorCode; });
    lines.push_back({code.operatorCode, code.code});
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    for (const KeptLine &line : lines)
        out << line.operatorCode << ' ' << line.code << '\n';
    out.flush();
    return file.commit();
}

std::optional<BalanceCode> BalanceCodeFor(const QString &imsi, const KeptBalanceCodes &kept,
                                          const QString &databasePath)
{
    if (imsi.isEmpty())
        return std::nullopt;
    if (auto own = kept.find(imsi))
        return own;
    return FindBalanceCode(databasePath, imsi);
}
