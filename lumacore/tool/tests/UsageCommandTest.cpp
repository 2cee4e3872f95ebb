// lumacore-tool usage on a store the engine filled: days and billing periods as JSON, a
// billing day past February's end, and options it refuses.
#include "UsageCommand.h"

#include "lumacore.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(UsageCommand, PrintsDaysAndBillingPeriodsAndRefusesBadOptions)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("lumacore-usage-tool-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    const std::string store = (folder / "db.dat").string();
    setenv("LUMACORE_DB", store.c_str(), 1);
    ASSERT_EQ(_MEC_AddUsage("a", 20260227, 0, 100, 1000), 0);
    ASSERT_EQ(_MEC_AddUsage("a", 20260228, 0, 150, 1500), 0);  // 50 and 500 on the 28th
    ASSERT_EQ(_MEC_AddUsage("a", 20260228, 1, 160, 1600), 0);  // roaming
    ASSERT_EQ(_MEC_AddUsage("b", 20260330, 0, 1, 2), 0);

    testing::internal::CaptureStdout();
    ASSERT_EQ(lumacore::usageCommand({"--billing-day", "31", "--store", store}), 0);
    const std::string json = testing::internal::GetCapturedStdout();
    auto compact = [](std::string text) {
        std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
        return text;
    };
    const std::string out = compact(json);
    EXPECT_NE(out.find(R"({"day":"2026-02-28","home":{"sent":50,"received":500},)"
                       R"("roaming":{"sent":10,"received":100}})"),
              std::string::npos)
        << json;
    // The 27th is January's period (31st, so February's starts on the 28th), the 28th and
    // 30 March February's.
    EXPECT_NE(out.find(R"({"start":"2026-01-31","end":"2026-02-27","home":{"sent":100,"received":1000})"),
              std::string::npos)
        << json;
    EXPECT_NE(out.find(R"({"start":"2026-02-28","end":"2026-03-30","home":{"sent":51,"received":502},)"
                       R"("roaming":{"sent":10,"received":100}})"),
              std::string::npos)
        << json;

    testing::internal::CaptureStdout();
    ASSERT_EQ(lumacore::usageCommand({"--from", "2026-03-01", "--store", store}), 0);
    EXPECT_EQ(compact(testing::internal::GetCapturedStdout()).find("2026-02-28"), std::string::npos);

    for (const auto &bad : std::vector<std::vector<std::string>>{
             {"--billing-day", "32"}, {"--from", "2026-02-30"}, {"--to"}, {"--what", "1"}})
        EXPECT_EQ(lumacore::usageCommand(bad), 2) << bad[0];
    (void)_MEC_Shutdown();
    std::filesystem::remove_all(folder);
}

}  // namespace
