#include "BudgetSettings.h"

#include "config/RanFile.h"
#include "platform/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <map>
#include <sstream>

namespace {

constexpr uint64_t kMegabyte = 1ull << 20;
constexpr uint64_t kGigabyte = 1ull << 30;
// Far above any plan, and far below where a double loses whole bytes.
constexpr uint64_t kLargestLimit = 1ull << 50;
constexpr const char *kFileName = "budget.ini";

uint64_t unitBytes(BudgetUnit unit) { return unit == BudgetUnit::Megabytes ? kMegabyte : kGigabyte; }

const char *unitName(BudgetUnit unit) { return unit == BudgetUnit::Megabytes ? "MB" : "GB"; }

std::optional<uint64_t> number(const std::map<std::string, std::string> &values,
                               const std::string &key)
{
    auto found = values.find(key);
    if (found == values.end() || found->second.empty() ||
        found->second.find_first_not_of("0123456789") != std::string::npos ||
        found->second.size() > 19)
        return std::nullopt;
    return std::stoull(found->second);
}

BudgetLimit readLimit(const std::map<std::string, std::string> &values, const std::string &name)
{
    BudgetLimit limit;
    if (auto found = values.find(name + "Unit"); found != values.end())
        limit.unit = found->second == "MB" ? BudgetUnit::Megabytes : BudgetUnit::Gigabytes;
    if (auto bytes = number(values, name + "Bytes"); bytes && *bytes <= kLargestLimit)
        limit.bytes = *bytes;
    return limit;
}

}  // namespace

double BudgetLimit::inUnit() const { return double(bytes) / double(unitBytes(unit)); }

std::optional<BudgetLimit> BudgetLimit::fromUnit(double amount, BudgetUnit unit)
{
    if (!std::isfinite(amount) || amount < 0)
        return std::nullopt;
    const double bytes = std::round(amount * double(unitBytes(unit)));
    if (bytes > double(kLargestLimit))
        return std::nullopt;
    return BudgetLimit{uint64_t(bytes), unit};
}

QString BudgetSettings::validate() const
{
    if (billingDay < kMinBillingDay || billingDay > kMaxBillingDay)
        return QStringLiteral("The billing day must be a day from 1 to 31.");
    if (warningPercent < 1 || warningPercent > kMaxWarningPercent)
        return QStringLiteral("The warning share must be from 1 to 100 percent.");
    if (home.bytes > kLargestLimit || roaming.bytes > kLargestLimit)
        return QStringLiteral("The limit is too large.");
    return {};
}

QString BudgetSettings::defaultPath() { return pathIn(platform::settingsFolder()); }

QString BudgetSettings::pathIn(const QString &settingsFolder)
{
    return settingsFolder + QLatin1Char('/') + QLatin1String(kFileName);
}

BudgetSettings BudgetSettings::load(const QString &path)
{
    BudgetSettings settings;
    const auto content = ranfile::readFile(QFile::encodeName(path).toStdString());
    if (!content)
        return settings;
    std::map<std::string, std::string> values;
    std::istringstream lines(*content);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    const BudgetSettings defaults;
    if (auto day = number(values, "BillingDay"); day && *day >= kMinBillingDay &&
                                                 *day <= kMaxBillingDay)
        settings.billingDay = int(*day);
    if (auto percent = number(values, "WarningPercent");
        percent && *percent >= 1 && *percent <= kMaxWarningPercent)
        settings.warningPercent = int(*percent);
    if (auto disconnect = number(values, "DisconnectAtLimit"); disconnect && *disconnect <= 1)
        settings.disconnectAtLimit = *disconnect == 1;
    settings.home = readLimit(values, "HomeLimit");
    settings.roaming = readLimit(values, "RoamingLimit");
    return settings;
}

bool BudgetSettings::save(const QString &path) const
{
    if (!validate().isEmpty())
        return false;
    std::ostringstream text;
    text << "[Budget]\n"
         << "BillingDay=" << billingDay << "\n"
         << "HomeLimitBytes=" << home.bytes << "\n"
         << "HomeLimitUnit=" << unitName(home.unit) << "\n"
         << "RoamingLimitBytes=" << roaming.bytes << "\n"
         << "RoamingLimitUnit=" << unitName(roaming.unit) << "\n"
         << "WarningPercent=" << warningPercent << "\n"
         << "DisconnectAtLimit=" << (disconnectAtLimit ? 1 : 0) << "\n";
    QDir().mkpath(QFileInfo(path).absolutePath());
    return ranfile::writeFileAtomically(QFile::encodeName(path).toStdString(), text.str(),
                                        ranfile::FileAccess::Shared);
}
