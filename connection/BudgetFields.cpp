#include "BudgetFields.h"

namespace {

QString amountText(const BudgetLimit &limit)
{
    if (limit.bytes == 0)
        return {};
    // Six significant digits: a limit typed as 1.5 comes back as "1.5", not 1.49999999.
    return QString::number(limit.inUnit(), 'g', 6);
}

// The limit typed, or nothing when the text is no amount the settings can hold.
std::optional<BudgetLimit> limitOf(const QString &typed, BudgetUnit unit)
{
    QString text = typed.trimmed();
    if (text.isEmpty())
        return BudgetLimit{0, unit};
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool number = false;
    const double amount = text.toDouble(&number);
    if (!number)
        return std::nullopt;
    return BudgetLimit::fromUnit(amount, unit);
}

}  // namespace

BudgetFields BudgetFields::of(const BudgetSettings &settings)
{
    BudgetFields fields;
    fields.billingDay = settings.billingDay;
    fields.homeAmount = amountText(settings.home);
    fields.homeUnit = settings.home.unit;
    fields.roamingAmount = amountText(settings.roaming);
    fields.roamingUnit = settings.roaming.unit;
    fields.warningPercent = settings.warningPercent;
    fields.disconnectAtLimit = settings.disconnectAtLimit;
    return fields;
}

BudgetFieldsCheck CheckBudgetFields(const BudgetFields &fields)
{
    BudgetFieldsCheck check;
    if (fields.billingDay < BudgetSettings::kMinBillingDay ||
        fields.billingDay > BudgetSettings::kMaxBillingDay) {
        check.wrong = BudgetFieldsCheck::BillingDay;
        return check;
    }
    const std::optional<BudgetLimit> home = limitOf(fields.homeAmount, fields.homeUnit);
    if (!home) {
        check.wrong = BudgetFieldsCheck::HomeLimit;
        return check;
    }
    const std::optional<BudgetLimit> roaming = limitOf(fields.roamingAmount, fields.roamingUnit);
    if (!roaming) {
        check.wrong = BudgetFieldsCheck::RoamingLimit;
        return check;
    }
    if (fields.warningPercent < 1 || fields.warningPercent > BudgetSettings::kMaxWarningPercent) {
        check.wrong = BudgetFieldsCheck::WarningPercent;
        return check;
    }
    BudgetSettings settings;
    settings.billingDay = fields.billingDay;
    settings.home = *home;
    settings.roaming = *roaming;
    settings.warningPercent = fields.warningPercent;
    settings.disconnectAtLimit = fields.disconnectAtLimit;
    check.settings = settings;
    return check;
}
