// The budget page: what the typed fields make of the settings, the page refusing bad input
// without saving anything, and the reset of the counts asked first.
#include "UI_SetBudgetForm.h"

#include "RecordingHost.h"

#include "platform/MessageBoxSeam.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;
constexpr uint64_t kGigabyte = 1024 * kMegabyte;

TEST(BudgetFields, TypedLimitsBecomeBytesOrNameTheWrongField)
{
    struct Case {
        const char *home;
        BudgetUnit unit;
        uint64_t bytes;  // when good
        BudgetFieldsCheck::Field wrong;
    };
    const Case cases[] = {
        {"5", BudgetUnit::Gigabytes, 5 * kGigabyte, BudgetFieldsCheck::None},
        {"1,5", BudgetUnit::Gigabytes, kGigabyte * 3 / 2, BudgetFieldsCheck::None},
        {" 500 ", BudgetUnit::Megabytes, 500 * kMegabyte, BudgetFieldsCheck::None},
        {"", BudgetUnit::Megabytes, 0, BudgetFieldsCheck::None},   // no limit
        {"0", BudgetUnit::Gigabytes, 0, BudgetFieldsCheck::None},  // no limit either
        {"-1", BudgetUnit::Gigabytes, 0, BudgetFieldsCheck::HomeLimit},
        {"1.2.3", BudgetUnit::Gigabytes, 0, BudgetFieldsCheck::HomeLimit},
        {"abc", BudgetUnit::Gigabytes, 0, BudgetFieldsCheck::HomeLimit},
        {"inf", BudgetUnit::Gigabytes, 0, BudgetFieldsCheck::HomeLimit},
        {"1e300", BudgetUnit::Gigabytes, 0, BudgetFieldsCheck::HomeLimit},
    };
    for (const Case &each : cases) {
        BudgetFields fields;
        fields.homeAmount = QString::fromLatin1(each.home);
        fields.homeUnit = each.unit;
        const BudgetFieldsCheck check = CheckBudgetFields(fields);
        EXPECT_EQ(check.wrong, each.wrong) << each.home;
        ASSERT_EQ(check.settings.has_value(), each.wrong == BudgetFieldsCheck::None) << each.home;
        if (check.settings) {
            EXPECT_EQ(check.settings->home.bytes, each.bytes) << each.home;
            EXPECT_EQ(check.settings->home.unit, each.unit) << each.home;
        }
    }
    // The other fields: the first wrong one is named.
    BudgetFields fields;
    fields.roamingAmount = QStringLiteral("x");
    fields.warningPercent = 0;
    EXPECT_EQ(CheckBudgetFields(fields).wrong, BudgetFieldsCheck::RoamingLimit);
    fields.roamingAmount.clear();
    EXPECT_EQ(CheckBudgetFields(fields).wrong, BudgetFieldsCheck::WarningPercent);
    fields.warningPercent = 80;
    fields.billingDay = 32;
    EXPECT_EQ(CheckBudgetFields(fields).wrong, BudgetFieldsCheck::BillingDay);
}

TEST(BudgetFields, SettingsShownAndTakenBackAreTheSame)
{
    // A fraction of a gigabyte is not a whole number of bytes: it must come back as typed.
    BudgetSettings settings{29, *BudgetLimit::fromUnit(2.3, BudgetUnit::Gigabytes),
                            *BudgetLimit::fromUnit(750, BudgetUnit::Megabytes), 90, true};
    const BudgetFields fields = BudgetFields::of(settings);
    EXPECT_EQ(fields.homeAmount, "2.3");
    EXPECT_EQ(fields.roamingAmount, "750");
    EXPECT_EQ(CheckBudgetFields(fields).settings, settings);
    EXPECT_EQ(BudgetFields::of(BudgetSettings{}).homeAmount, "");
}

class BudgetPage : public ::testing::Test {
protected:
    BudgetPage()
    {
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool ask) {
            boxes.push_back(text);
            return ask ? answer : 1;
        });
    }
    ~BudgetPage() override { platform::setMessageBoxHandler({}); }

    TSet_budgetform::Calls calls()
    {
        return {[this] { return stored; },
                [this](const BudgetSettings &settings) {
                    ++saves;
                    stored = settings;
                    return true;
                },
                [this] {
                    ++resets;
                    return resetStatus;
                }};
    }

    RecordingHost host;
    BudgetSettings stored;
    int saves = 0;
    int resets = 0;
    uint16_t resetStatus = 0;
    int answer = 1;
    QStringList boxes;
};

TEST_F(BudgetPage, BadInputIsRefusedAndNothingIsSaved)
{
    stored.home = *BudgetLimit::fromUnit(2, BudgetUnit::Gigabytes);
    TSet_budgetform page(host, calls());
    page.FormShow();
    EXPECT_EQ(page.Edit_HomeLimit->text(), "2");
    EXPECT_FALSE(page.ApplyButton->isEnabled());
    page.Edit_RoamingLimit->setText(QStringLiteral("1.2.3"));
    page.SpinBox_Warning->setValue(50);
    EXPECT_TRUE(page.ApplyButton->isEnabled());
    page.ApplyButtonClick();
    EXPECT_EQ(saves, 0);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(page.ApplyButton->isEnabled());  // the user may correct and apply again

    page.Edit_RoamingLimit->setText(QStringLiteral("300"));
    page.Combo_RoamingUnit->setCurrentIndex(int(BudgetUnit::Megabytes));
    page.ApplyButtonClick();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(stored.roaming.bytes, 300 * kMegabyte);
    EXPECT_EQ(stored.home.bytes, 2 * kGigabyte);
    EXPECT_EQ(stored.warningPercent, 50);
    EXPECT_FALSE(page.ApplyButton->isEnabled());
}

TEST_F(BudgetPage, ResetIsAskedFirstAndAFailureIsSaid)
{
    TSet_budgetform page(host, calls());
    answer = 2;  // the user says no
    page.ResetButtonClick();
    EXPECT_EQ(resets, 0);
    answer = 1;
    resetStatus = 3;
    page.ResetButtonClick();
    EXPECT_EQ(resets, 1);
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_TRUE(boxes.back().endsWith(QStringLiteral("3")));
}

}  // namespace
