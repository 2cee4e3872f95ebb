// The budget page of the settings area: the billing day, the monthly limits at home and roaming
// in MB or GB, the share of a limit at which the user is warned, whether the connection ends at
// the limit, and the reset of the counted use (asked first). The rules are BudgetFields'; the
// settings are kept by BudgetSettings in their own file.
#pragma once

#include "BudgetFields.h"

#include "FeatureWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>

#include <functional>

class TSet_budgetform final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    // What the page does to the settings and the store. The program's: the settings file beside
    // the other settings, and the Internet page's budget told of each change.
    struct Calls {
        std::function<BudgetSettings()> load;
        std::function<bool(const BudgetSettings &)> save;
        std::function<uint16_t()> resetCounts;
        static Calls program(feature::FeatureHost &host);
    };

    explicit TSet_budgetform(feature::FeatureHost &host)
        : TSet_budgetform(host, Calls::program(host))
    {
    }
    TSet_budgetform(feature::FeatureHost &host, Calls calls);

    QLabel *Label_BillingDay, *Label_HomeLimit, *Label_RoamingLimit, *Label_Warning;
    QLabel *Label_BillingDayHint;
    QSpinBox *SpinBox_BillingDay, *SpinBox_Warning;
    QLineEdit *Edit_HomeLimit, *Edit_RoamingLimit;
    QComboBox *Combo_HomeUnit, *Combo_RoamingUnit;
    QCheckBox *CheckBox_Disconnect;
    QPushButton *ResetButton, *ApplyButton, *CancelButton;

    void FormShow();
    void ApplyButtonClick();
    void CancelButtonClick();
    void ResetButtonClick();

    void shownInPanel() override { FormShow(); }

private:
    BudgetFields fields() const;
    void showFields(const BudgetFields &fields);
    void edited() { ApplyButton->setEnabled(true); }

    feature::FeatureHost &m_host;
    Calls m_calls;
};
