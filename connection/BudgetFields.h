// The budget page's fields as the user typed them, and the settings they make: limits typed in
// MB or GB (a comma taken as the decimal mark, empty or 0 for no limit), the billing day and the
// warning share. Bad input names its field and changes nothing.
#pragma once

#include "BudgetSettings.h"

#include <QString>

#include <optional>

struct BudgetFields {
    int billingDay = 1;
    QString homeAmount;
    BudgetUnit homeUnit = BudgetUnit::Gigabytes;
    QString roamingAmount;
    BudgetUnit roamingUnit = BudgetUnit::Megabytes;
    int warningPercent = 80;
    bool disconnectAtLimit = false;

    // The fields that show the settings: a limit in its own unit ("1.5", "500"), empty for none.
    static BudgetFields of(const BudgetSettings &settings);
};

struct BudgetFieldsCheck {
    enum Field { None, BillingDay, HomeLimit, RoamingLimit, WarningPercent };
    std::optional<BudgetSettings> settings;  // when every field is good
    Field wrong = None;                      // the first field that is not
};

BudgetFieldsCheck CheckBudgetFields(const BudgetFields &fields);
