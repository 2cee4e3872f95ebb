#include "UI_SetBudgetForm.h"

#include "FeaturePage.h"
#include "UI_DataConnectForm.h"
#include "UsageHistory.h"
#include "WindowControls.h"

#include "config/BL_File.h"

#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kWarning = 2;
constexpr int kInformation = 1;
constexpr int kQuestion = 3;
constexpr int kFirstButton = 1;

constexpr int kCaption = 6350;
constexpr int kBillingDay = 6351;
constexpr int kBillingDayHint = 6352;
constexpr int kHomeLimit = 6353;
constexpr int kRoamingLimit = 6354;
constexpr int kWarnAt = 6355;
constexpr int kDisconnect = 6356;
constexpr int kReset = 6357;
constexpr int kAskReset = 6358;
constexpr int kResetDone = 6359;
constexpr int kResetFailed = 6360;
constexpr int kSaveFailed = 6361;
constexpr int kMegabytes = 6362;
constexpr int kGigabytes = 6363;
constexpr int kNoLimit = 6316;
constexpr int kWrongBillingDay = 6364;
constexpr int kWrongHomeLimit = 6365;
constexpr int kWrongRoamingLimit = 6366;
constexpr int kWrongWarning = 6367;
constexpr int kApply = 10;
constexpr int kCancel = 7;

const feature::WindowSkin kSkin{"SETBUDGET.BKIMAGE",
                                "SETBUDGET.TITLEIMAGE",
                                {{"SETBUDGET.BTAPPLY", "ApplyButton"},
                                 {"SETBUDGET.BTCANCEL", "CancelButton"},
                                 {"SETBUDGET.BTRESET", "ResetButton"}}};

QComboBox *UnitBox(QWidget *parent, const char *name)
{
    auto *box = NamedControl<QComboBox>(parent, name);
    // In the order of BudgetUnit.
    box->addItem(GetLanguageString(kMegabytes));
    box->addItem(GetLanguageString(kGigabytes));
    return box;
}

}  // namespace

TSet_budgetform::Calls TSet_budgetform::Calls::program(feature::FeatureHost &host)
{
    // The Internet page watches the budget: it hears of every change at once. Without it (a
    // page made alone) the file is all there is.
    auto budget = [&host]() -> DataBudget * {
        auto *internet = host.window<TData_connectform>();
        return internet ? &internet->budget() : nullptr;
    };
    return {[] { return BudgetSettings::load(BudgetSettings::pathIn(FileStore().folder())); },
            [budget](const BudgetSettings &settings) {
                if (!settings.save(BudgetSettings::pathIn(FileStore().folder())))
                    return false;
                if (DataBudget *watching = budget())
                    watching->setSettings(settings);
                return true;
            },
            [budget]() -> uint16_t {
                const uint16_t status = UsageHistory::clear();
                if (DataBudget *watching = budget(); watching && status == 0)
                    watching->usageCleared();
                return status;
            }};
}

TSet_budgetform::TSet_budgetform(feature::FeatureHost &host, Calls calls)
    : m_host(host), m_calls(std::move(calls))
{
    setObjectName(QStringLiteral("TSet_budgetform"));
    setWindowTitle(GetLanguageString(kCaption));

    Label_BillingDay = NamedLabel(this, "Label_BillingDay", GetLanguageString(kBillingDay));
    SpinBox_BillingDay = NamedControl<QSpinBox>(this, "SpinBox_BillingDay");
    SpinBox_BillingDay->setRange(BudgetSettings::kMinBillingDay, BudgetSettings::kMaxBillingDay);
    Label_BillingDayHint =
        NamedLabel(this, "Label_BillingDayHint", GetLanguageString(kBillingDayHint));
    Label_HomeLimit = NamedLabel(this, "Label_HomeLimit", GetLanguageString(kHomeLimit));
    Edit_HomeLimit = NamedControl<QLineEdit>(this, "Edit_HomeLimit");
    Combo_HomeUnit = UnitBox(this, "Combo_HomeUnit");
    Label_RoamingLimit = NamedLabel(this, "Label_RoamingLimit", GetLanguageString(kRoamingLimit));
    Edit_RoamingLimit = NamedControl<QLineEdit>(this, "Edit_RoamingLimit");
    Combo_RoamingUnit = UnitBox(this, "Combo_RoamingUnit");
    for (QLineEdit *amount : {Edit_HomeLimit, Edit_RoamingLimit}) {
        // Digits and one decimal mark; the check on Apply says what is still wrong.
        amount->setValidator(new QRegularExpressionValidator(  // owned by the field
            QRegularExpression(QStringLiteral("[0-9]{0,7}([.,][0-9]{0,3})?")), amount));
        amount->setPlaceholderText(GetLanguageString(kNoLimit));
    }
    Label_Warning = NamedLabel(this, "Label_Warning", GetLanguageString(kWarnAt));
    SpinBox_Warning = NamedControl<QSpinBox>(this, "SpinBox_Warning");
    SpinBox_Warning->setRange(1, BudgetSettings::kMaxWarningPercent);
    SpinBox_Warning->setSuffix(QStringLiteral(" %"));
    CheckBox_Disconnect = NamedButton<QCheckBox>(this, "CheckBox_Disconnect", kDisconnect);
    ResetButton = NamedButton(this, "ResetButton", kReset);
    ApplyButton = NamedButton(this, "ApplyButton", kApply);
    CancelButton = NamedButton(this, "CancelButton", kCancel);

    auto *grid = new QGridLayout;
    grid->addWidget(Label_BillingDay, 0, 0);
    grid->addWidget(SpinBox_BillingDay, 0, 1);
    grid->addWidget(Label_BillingDayHint, 0, 2, 1, 2);
    grid->addWidget(Label_HomeLimit, 1, 0);
    grid->addWidget(Edit_HomeLimit, 1, 1, 1, 2);
    grid->addWidget(Combo_HomeUnit, 1, 3);
    grid->addWidget(Label_RoamingLimit, 2, 0);
    grid->addWidget(Edit_RoamingLimit, 2, 1, 1, 2);
    grid->addWidget(Combo_RoamingUnit, 2, 3);
    grid->addWidget(Label_Warning, 3, 0);
    grid->addWidget(SpinBox_Warning, 3, 1);
    grid->addWidget(CheckBox_Disconnect, 4, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    Label_BillingDayHint->setWordWrap(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ResetButton);
    buttons->addStretch(1);
    buttons->addWidget(ApplyButton);
    buttons->addWidget(CancelButton);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 16, 24, 16);
    column->addLayout(grid);
    column->addStretch(1);
    column->addLayout(buttons);

    // Only what the user does enables Apply; what the page fills in itself does not.
    for (QLineEdit *amount : {Edit_HomeLimit, Edit_RoamingLimit})
        connect(amount, &QLineEdit::textEdited, this, &TSet_budgetform::edited);
    for (QComboBox *unit : {Combo_HomeUnit, Combo_RoamingUnit})
        connect(unit, &QComboBox::activated, this, &TSet_budgetform::edited);
    // A spin box tells its changes alike, whoever made them: FormShow disables Apply after
    // filling the page.
    for (QSpinBox *spin : {SpinBox_BillingDay, SpinBox_Warning})
        connect(spin, &QSpinBox::valueChanged, this, &TSet_budgetform::edited);
    connect(CheckBox_Disconnect, &QCheckBox::clicked, this, &TSet_budgetform::edited);
    connect(ApplyButton, &QPushButton::clicked, this, &TSet_budgetform::ApplyButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSet_budgetform::CancelButtonClick);
    connect(ResetButton, &QPushButton::clicked, this, &TSet_budgetform::ResetButtonClick);
    ApplyButton->setEnabled(false);
    feature::WearSkin(*this, kSkin);
}

BudgetFields TSet_budgetform::fields() const
{
    BudgetFields typed;
    typed.billingDay = SpinBox_BillingDay->value();
    typed.homeAmount = Edit_HomeLimit->text();
    typed.homeUnit = BudgetUnit(Combo_HomeUnit->currentIndex());
    typed.roamingAmount = Edit_RoamingLimit->text();
    typed.roamingUnit = BudgetUnit(Combo_RoamingUnit->currentIndex());
    typed.warningPercent = SpinBox_Warning->value();
    typed.disconnectAtLimit = CheckBox_Disconnect->isChecked();
    return typed;
}

void TSet_budgetform::showFields(const BudgetFields &shown)
{
    SpinBox_BillingDay->setValue(shown.billingDay);
    Edit_HomeLimit->setText(shown.homeAmount);
    Combo_HomeUnit->setCurrentIndex(int(shown.homeUnit));
    Edit_RoamingLimit->setText(shown.roamingAmount);
    Combo_RoamingUnit->setCurrentIndex(int(shown.roamingUnit));
    SpinBox_Warning->setValue(shown.warningPercent);
    CheckBox_Disconnect->setChecked(shown.disconnectAtLimit);
}

void TSet_budgetform::FormShow()
{
    showFields(BudgetFields::of(m_calls.load()));
    ApplyButton->setEnabled(false);
}

void TSet_budgetform::ApplyButtonClick()
{
    const BudgetFieldsCheck check = CheckBudgetFields(fields());
    if (!check.settings) {
        const std::pair<int, QWidget *> wrong[] = {
            {0, nullptr},
            {kWrongBillingDay, SpinBox_BillingDay},
            {kWrongHomeLimit, Edit_HomeLimit},
            {kWrongRoamingLimit, Edit_RoamingLimit},
            {kWrongWarning, SpinBox_Warning}};
        const auto &[text, field] = wrong[check.wrong];
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(text), kWarning);
        field->setFocus();
        return;
    }
    if (!m_calls.save(*check.settings)) {
        platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(kSaveFailed), kWarning);
        return;
    }
    ApplyButton->setEnabled(false);
}

void TSet_budgetform::CancelButtonClick()
{
    hide();
    m_host.show(feature::SettingsEntry::Profiles);
}

void TSet_budgetform::ResetButtonClick()
{
    if (platform::AskMessageBox(m_host.dialogOwner(), GetLanguageString(kAskReset), kQuestion) !=
        kFirstButton)
        return;
    const uint16_t status = m_calls.resetCounts();
    if (status != 0) {
        platform::ShowMessageBox(m_host.dialogOwner(),
                                 GetLanguageString(kResetFailed) + QString::number(status),
                                 kWarning);
        return;
    }
    platform::ShowMessageBox(m_host.dialogOwner(), GetLanguageString(kResetDone), kInformation);
}
