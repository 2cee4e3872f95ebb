// Recipient texts as people type them: separators of both widths, empty numbers, a trailing
// separator, the 200-number limit, and numbers with characters a number cannot hold.
#include "logic/BL_SmsRecipients.h"

#include <gtest/gtest.h>

namespace {

TEST(SmsRecipients, SplitsOnBothSemicolons)
{
    struct Case {
        std::string text;
        uint16_t status;
        std::vector<std::string> numbers;
    };
    std::string twoHundred;
    for (int i = 0; i < 200; ++i)
        twoHundred += std::to_string(1000 + i) + ";";
    const Case cases[] = {
        {"", 0, {}},
        {"123", 0, {"123"}},
        {"123;456", 0, {"123", "456"}},
        {"123;", 0, {"123"}},
        {"123;;456", 0, {"123", "", "456"}},
        {"123\xA3\xBB"
         "456;789",
         0,
         {"123", "456", "789"}},
        {twoHundred, 0, {}},  // 200 numbers, the last separator adds nothing
        {twoHundred + "5", kSmsTooManyRecipients, {}},
    };
    for (const Case &c : cases) {
        std::vector<std::string> numbers;
        EXPECT_EQ(SplitRecipients(c.text, numbers), c.status) << c.text.substr(0, 30);
        if (c.text == twoHundred) {
            EXPECT_EQ(numbers.size(), 200u);
        } else if (c.status == 0) {
            EXPECT_EQ(numbers, c.numbers) << c.text;
        }
    }
}

TEST(SmsRecipients, ValidatesEachNumber)
{
    const std::string allowed = "0123456789+*#pPwW";
    EXPECT_EQ(ValidateRecipients({}, allowed), 0);
    EXPECT_EQ(ValidateRecipients({"+5491140001111", "*111#"}, allowed), 0);
    EXPECT_EQ(ValidateRecipients({"123", ""}, allowed), kSmsBadRecipient);
    EXPECT_EQ(ValidateRecipients({std::string(33, '1')}, allowed), kSmsBadRecipient);
    EXPECT_EQ(ValidateRecipients({std::string(32, '1')}, allowed), 0);
    EXPECT_EQ(ValidateRecipients({"12a"}, allowed), kSmsBadRecipient);
}

}  // namespace
