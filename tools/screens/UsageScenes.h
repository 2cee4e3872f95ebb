// What the main window's scenes of the usage window and the budget page put in place before
// they draw: a year of use in the fake engine's store, and the budget.
#pragma once

class TData_connectform;
class TSet_budgetform;
class TUsageForm;

namespace screens {

// Seeds the store, gives the Internet page's budget the scene's limits, and opens the window.
void prepareUsagePage(TUsageForm &page, TData_connectform *internet);
// Writes the scene's budget where the program keeps it and shows it on the page.
void prepareBudgetPage(TSet_budgetform &page);

}  // namespace screens
